#include "analysis/classanalysis/ranking.h"
#include "analysis/exam/examparts.h"

#include "analysis/texts/exammessages.h"

#include <algorithm>
#include <numeric>
#include <variant>

namespace analysis {

namespace {

// The subjects a total names, or the first name not found.
std::variant<std::vector<int>, QString> subjectsOf(const ExamAnalysis &exam,
                                                   const TotalRequest &request) {
    std::vector<int> indices;
    if (request.subjects.isEmpty()) {
        indices.resize(exam.subjects.size());
        std::iota(indices.begin(), indices.end(), 0);
        return indices;
    }
    for (const QString &name : request.subjects) {
        const auto found = std::find_if(exam.subjects.begin(), exam.subjects.end(),
                                        [&](const ExamSubject &s) { return s.name == name; });
        if (found == exam.subjects.end()) return messages::examUnknownSubject(name);
        indices.push_back(int(found - exam.subjects.begin()));
    }
    return indices;
}

// A student's mark in a total: its value when every subject is counted, the
// subjects missing when one is absent, exempt or invalid; false when the
// student did not take a subject of it and so has no place in it.
bool markOf(const ExamStudent &student, const std::vector<int> &subjects, TotalMark &mark) {
    std::vector<const Decimal *> scores;
    std::optional<double> t;
    for (const int s : subjects) {
        const SubjectMark &subject = student.subjects[std::size_t(s)];
        if (subject.state == MarkState::NotTaken) return false;
        if (subject.state != MarkState::Counted) mark.missing.push_back(s);
        scores.push_back(&subject.score);
        if (subject.t) t = t.value_or(0) + *subject.t;
    }
    if (mark.missing.empty()) {
        mark.value = decimalSum(scores);
        mark.t = t;
    }
    return true;
}

// Grade ranks by T score, in the chosen style; equal T in source order.
void rankByT(ExamAnalysis &exam, std::size_t total) {
    std::vector<int> withT;
    for (std::size_t i = 0; i < exam.students.size(); ++i)
        if (exam.students[i].totals[total].t) withT.push_back(int(i));
    const auto tOf = [&](int i) { return *exam.students[std::size_t(i)].totals[total].t; };
    std::stable_sort(withT.begin(), withT.end(), [&](int a, int b) { return tOf(a) > tOf(b); });
    std::vector<double> values;
    for (const int i : withT)
        values.push_back(tOf(i));
    const std::vector<int> ranks = ranksOfSorted(values, exam.settings.ranking);
    for (std::size_t r = 0; r < withT.size(); ++r)
        exam.students[std::size_t(withT[r])].totals[total].tRank = ranks[r];
}

void oneTotal(ExamAnalysis &exam, ExamTotal &total) {
    const std::size_t index = exam.totals.size();
    std::vector<const Decimal *> fullMarks;
    for (const int s : total.subjects)
        fullMarks.push_back(&exam.subjects[std::size_t(s)].fullMarks);
    total.fullMarks = decimalSum(fullMarks);
    std::vector<int> rows;
    std::vector<QString> texts(exam.students.size());
    for (std::size_t i = 0; i < exam.students.size(); ++i) {
        ExamStudent &student = exam.students[i];
        student.totals.emplace_back();
        if (!markOf(student, total.subjects, student.totals.back())) continue;
        rows.push_back(int(i));
        // Without a total the student counts as 缺考 for it.
        texts[i] = student.totals.back().value ? student.totals.back().value->text()
                                               : QStringLiteral("缺考");
    }
    RankedFigures figures =
        rankedFigures(exam, rows, texts, settingsFor(exam.settings, total.fullMarks));
    total.grade = std::move(figures.grade);
    if (total.grade.mean) total.scoreRate = *total.grade.mean / total.fullMarks.toDouble() * 100.0;
    for (std::size_t c = 0; c < exam.classes.size(); ++c)
        exam.classes[c].totals.push_back(std::move(figures.classes[c]));
    for (std::size_t i = 0; i < exam.students.size(); ++i) {
        exam.students[i].totals.back().gradeRank = figures.gradeRanks[i];
        exam.students[i].totals.back().classRank = figures.classRanks[i];
    }
    exam.totals.push_back(std::move(total));
    rankByT(exam, index);
}

} // namespace

QString totalFigures(ExamAnalysis &exam, const std::vector<TotalRequest> &requests) {
    std::vector<TotalRequest> totals = requests;
    if (totals.empty()) totals.push_back({QStringLiteral("总分"), {}});
    for (const TotalRequest &request : totals) {
        std::variant<std::vector<int>, QString> subjects = subjectsOf(exam, request);
        if (const QString *message = std::get_if<QString>(&subjects)) return *message;
        ExamTotal total;
        total.name = request.name;
        total.subjects = std::get<std::vector<int>>(std::move(subjects));
        oneTotal(exam, total);
    }
    return {};
}

} // namespace analysis
