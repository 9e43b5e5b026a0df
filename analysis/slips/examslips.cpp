#include "analysis/slips/examslips.h"

namespace analysis {

namespace {

QString uncountedText(MarkState state) {
    switch (state) {
    case MarkState::Absent:
        return QStringLiteral("缺考");
    case MarkState::Exempt:
        return QStringLiteral("免考");
    case MarkState::Invalid:
        return QStringLiteral("无效");
    case MarkState::Counted:
    case MarkState::NotTaken:
        break;
    }
    return QStringLiteral("未考");
}

// How many students are ranked in each subject and total (subjects first),
// in the grade and in each class.
struct RankedCounts {
    std::vector<int> grade;
    std::vector<std::vector<int>> byClass;
};

RankedCounts rankedCounts(const ExamAnalysis &exam) {
    const std::size_t figures = exam.subjects.size() + exam.totals.size();
    RankedCounts counts{
        std::vector<int>(figures, 0),
        std::vector<std::vector<int>>(exam.classes.size(), std::vector<int>(figures, 0))};
    for (const ExamStudent &student : exam.students) {
        std::vector<int> &own = counts.byClass[std::size_t(student.classIndex)];
        for (std::size_t s = 0; s < student.subjects.size(); ++s)
            if (student.subjects[s].gradeRank > 0) ++counts.grade[s], ++own[s];
        for (std::size_t t = 0; t < student.totals.size(); ++t)
            if (student.totals[t].value) {
                ++counts.grade[exam.subjects.size() + t];
                ++own[exam.subjects.size() + t];
            }
    }
    return counts;
}

SlipFigure subjectFigure(const ExamAnalysis &exam, const ExamStudent &student, std::size_t s,
                         const RankedCounts &counts) {
    const SubjectMark &mark = student.subjects[s];
    SlipFigure figure;
    figure.subject = exam.subjects[s].name;
    figure.fullMarks = exam.subjects[s].fullMarks;
    if (mark.state == MarkState::Counted)
        figure.score = mark.score;
    else
        figure.uncounted = uncountedText(mark.state);
    figure.gradeRank = mark.gradeRank;
    figure.classRank = mark.classRank;
    figure.gradeRanked = counts.grade[s];
    figure.classRanked = counts.byClass[std::size_t(student.classIndex)][s];
    figure.classMean = exam.classes[std::size_t(student.classIndex)].subjects[s].analysis.mean;
    return figure;
}

SlipFigure totalFigure(const ExamAnalysis &exam, const ExamStudent &student, std::size_t t,
                       const RankedCounts &counts) {
    const TotalMark &mark = student.totals[t];
    const std::size_t index = exam.subjects.size() + t;
    SlipFigure figure;
    figure.subject = exam.totals[t].name;
    figure.fullMarks = exam.totals[t].fullMarks;
    figure.score = mark.value;
    // No value and nothing missing: a subject of it was not taken at all.
    if (!mark.value)
        figure.uncounted =
            mark.missing.empty()
                ? QStringLiteral("未考")
                : uncountedText(student.subjects[std::size_t(mark.missing.front())].state);
    figure.gradeRank = mark.gradeRank;
    figure.classRank = mark.classRank;
    figure.gradeRanked = counts.grade[index];
    figure.classRanked = counts.byClass[std::size_t(student.classIndex)][index];
    figure.classMean = exam.classes[std::size_t(student.classIndex)].totals[t].analysis.mean;
    return figure;
}

} // namespace

std::vector<SlipStudent> slipStudents(const ExamAnalysis &exam) {
    const RankedCounts counts = rankedCounts(exam);
    std::vector<SlipStudent> slips;
    slips.reserve(exam.students.size());
    for (const ExamStudent &student : exam.students) {
        SlipStudent slip;
        slip.number = student.number;
        slip.name = student.name;
        slip.className = exam.classes[std::size_t(student.classIndex)].name;
        slip.remark = student.remark;
        for (std::size_t s = 0; s < student.subjects.size(); ++s)
            if (student.subjects[s].state != MarkState::NotTaken)
                slip.figures.push_back(subjectFigure(exam, student, s, counts));
        for (std::size_t t = 0; t < student.totals.size(); ++t)
            slip.figures.push_back(totalFigure(exam, student, t, counts));
        slips.push_back(std::move(slip));
    }
    return slips;
}

} // namespace analysis
