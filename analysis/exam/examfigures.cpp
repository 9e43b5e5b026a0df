#include "analysis/exam/examparts.h"

#include "analysis/grade/sourcereading.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

// Each row's gridRow is its student's index + 1, so that a ranked row leads
// back to its student; the number and name stay with the student, as the
// analysis's lists of students are not kept (takeRanks).
ClassAnalysis analyseRows(const std::vector<int> &rows, const std::vector<QString> &texts,
                          const AnalysisSettings &settings) {
    AnalysisInput input;
    input.rows.reserve(rows.size());
    for (const int i : rows)
        input.rows.push_back({i + 1, {}, {}, texts[std::size_t(i)]});
    return analyseClass(std::move(input), settings);
}

// The ranks the analysis gave, by student; its lists of students emptied,
// as their rows count through the exam, not through a sheet.
void takeRanks(ClassAnalysis &analysis, std::vector<int> &ranks) {
    for (const RankedStudent &ranked : analysis.ranking)
        ranks[std::size_t(ranked.student.gridRow - 1)] = ranked.rank;
    analysis.ranking = {};
    analysis.uncounted = {};
    analysis.highestStudents = {};
    analysis.lowestStudents = {};
}

std::optional<double> rateOf(const ClassAnalysis &analysis) {
    if (!analysis.mean) return std::nullopt;
    return *analysis.mean / analysis.settings.fullMarks.toDouble() * 100.0;
}

// 超均率 against the grade's mean and the rank by mean: equal means share a
// rank, as in the grade comparison.
void rankClasses(std::vector<ExamClassFigures> &classes, const std::optional<double> &mean) {
    std::vector<ExamClassFigures *> withMean;
    for (ExamClassFigures &c : classes) {
        if (!c.analysis.mean) continue;
        withMean.push_back(&c);
        if (mean && *mean != 0) c.aboveMeanRate = (*c.analysis.mean - *mean) / *mean * 100.0;
    }
    std::stable_sort(withMean.begin(), withMean.end(),
                     [](const ExamClassFigures *a, const ExamClassFigures *b) {
                         return *a->analysis.mean > *b->analysis.mean;
                     });
    for (std::size_t i = 0; i < withMean.size(); ++i)
        withMean[i]->rank = i > 0 && *withMean[i]->analysis.mean == *withMean[i - 1]->analysis.mean
                                ? withMean[i - 1]->rank
                                : int(i) + 1;
}

} // namespace

RankedFigures rankedFigures(const ExamAnalysis &exam, const std::vector<int> &rows,
                            const std::vector<QString> &texts, const AnalysisSettings &settings) {
    RankedFigures out;
    out.gradeRanks.assign(exam.students.size(), 0);
    out.classRanks.assign(exam.students.size(), 0);
    std::vector<std::vector<int>> byClass(exam.classes.size());
    for (const int i : rows)
        byClass[std::size_t(exam.students[std::size_t(i)].classIndex)].push_back(i);
    out.grade = analyseRows(rows, texts, settings);
    takeRanks(out.grade, out.gradeRanks);
    out.classes.resize(exam.classes.size());
    for (std::size_t c = 0; c < byClass.size(); ++c) {
        ExamClassFigures &figures = out.classes[c];
        figures.taken = !byClass[c].empty();
        figures.analysis = analyseRows(byClass[c], texts, settings);
        takeRanks(figures.analysis, out.classRanks);
        figures.scoreRate = rateOf(figures.analysis);
    }
    rankClasses(out.classes, out.grade.mean);
    return out;
}

void subjectFigures(ExamAnalysis &exam, const std::vector<std::vector<QString>> &texts) {
    // The subjects are figured apart from each other, on a thread per core;
    // what they give is stored one subject after the other.
    std::vector<RankedFigures> figured(exam.subjects.size());
    runOnThreads(exam.subjects.size(), 0, [&]() -> IndexWork {
        return [&](std::size_t s) {
            std::vector<int> rows;
            for (std::size_t i = 0; i < exam.students.size(); ++i)
                if (exam.students[i].subjects[s].state != MarkState::NotTaken)
                    rows.push_back(int(i));
            figured[s] = rankedFigures(exam, rows, texts[s],
                                       settingsFor(exam.settings, exam.subjects[s].fullMarks));
        };
    });
    for (std::size_t s = 0; s < exam.subjects.size(); ++s) {
        ExamSubject &subject = exam.subjects[s];
        RankedFigures &figures = figured[s];
        subject.grade = std::move(figures.grade);
        subject.scoreRate = rateOf(subject.grade);
        for (std::size_t c = 0; c < exam.classes.size(); ++c)
            exam.classes[c].subjects.push_back(std::move(figures.classes[c]));
        const std::optional<double> mean = subject.grade.mean;
        const std::optional<double> sd = subject.grade.standardDeviation;
        subject.hasSpread = sd && *sd > 0;
        for (std::size_t i = 0; i < exam.students.size(); ++i) {
            SubjectMark &mark = exam.students[i].subjects[s];
            mark.gradeRank = figures.gradeRanks[i];
            mark.classRank = figures.classRanks[i];
            if (mark.state != MarkState::Counted || !subject.hasSpread) continue;
            mark.z = (mark.score.toDouble() - *mean) / *sd;
            mark.t = 50.0 + 10.0 * *mark.z;
        }
        figures = {};
    }
}

} // namespace analysis
