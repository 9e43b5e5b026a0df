#include "analysis/exam/examanalysis.h"

#include "analysis/exam/examparts.h"
#include "analysis/texts/exammessages.h"

#include <algorithm>

namespace analysis {

namespace {

bool plainLines(const AnalysisSettings &settings) {
    return !settings.excellent.percent || !settings.good.percent || !settings.pass.percent ||
           !settings.low.percent;
}

void addNotes(ExamAnalysis &exam) {
    for (const ExamSubject &subject : exam.subjects) {
        if (subject.fullMarksGuessed)
            exam.notes << QStringLiteral("%1有高于100分的成绩且都不超过150分，按满分150分计算。")
                              .arg(subject.name);
        if (subject.grade.sat > 0 && !subject.hasSpread)
            exam.notes << QStringLiteral("%1的成绩全都相同，没有标准分（Z分数、T分数），"
                                         "也不计入总分的T分数。")
                              .arg(subject.name);
    }
    for (std::size_t s = 0; s < exam.subjects.size(); ++s)
        for (const ExamClass &c : exam.classes)
            if (!c.subjects[s].taken)
                exam.notes << QStringLiteral(
                                  "%1没有%2的成绩（未考），不算缺考，也不计入含%2的总分。")
                                  .arg(c.name, exam.subjects[s].name);
    for (std::size_t t = 0; t < exam.totals.size(); ++t) {
        int without = 0;
        for (const ExamStudent &student : exam.students)
            without += !student.totals[t].missing.empty();
        if (without)
            exam.notes << QStringLiteral("%1：%2人有学科缺考、免考或成绩无效，没有%1，按缺考计。")
                              .arg(exam.totals[t].name)
                              .arg(without);
    }
}

} // namespace

ExamOutcome analyseExam(const ExamRequest &request, const CompareControl &control) {
    if (request.margin.percent ? *request.margin.percent > Decimal::whole(100) : false)
        return {std::nullopt, messages::examMarginInvalid()};
    if (!request.detectColumns)
        if (const QString problem = examColumnsProblem(request.columns); !problem.isEmpty())
            return {std::nullopt, problem};
    ExamSheets tables = readExamTables(request, control);
    ExamAnalysis exam;
    exam.settings = request.settings;
    exam.failures = std::move(tables.failures);
    exam.cancelled = control.cancel && control.cancel->load();
    if (tables.tables.empty()) return {std::move(exam), messages::examNothingRead()};
    const std::vector<std::vector<QString>> texts = gatherExam(tables, request, exam);
    tables = {};
    // A total over no subject has no full marks to cut into bands.
    if (exam.subjects.empty()) return {std::nullopt, messages::examNoSubject()};
    if (exam.subjects.size() > 1 && plainLines(request.settings))
        return {std::nullopt, messages::examPlainLine()};
    subjectFigures(exam, texts);
    if (const QString message = totalFigures(exam, request.totals); !message.isEmpty())
        return {std::nullopt, message};
    studentLists(exam, request.margin);
    addNotes(exam);
    return {std::move(exam), {}};
}

QString markStateKey(MarkState state) {
    switch (state) {
    case MarkState::Counted:
        return QStringLiteral("counted");
    case MarkState::Absent:
        return QStringLiteral("absent");
    case MarkState::Exempt:
        return QStringLiteral("exempt");
    case MarkState::Invalid:
        return QStringLiteral("invalid");
    case MarkState::NotTaken:
        break;
    }
    return QStringLiteral("notTaken");
}

} // namespace analysis
