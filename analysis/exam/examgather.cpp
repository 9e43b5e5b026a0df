#include "analysis/exam/examparts.h"

#include "analysis/classanalysis/scorecell.h"
#include "analysis/grade/sourcereading.h"

#include <map>

namespace analysis {

namespace {

// A subject's index, added when first met; a name met twice in one sheet is
// told apart by its column.
std::vector<int> subjectsOf(const ExamTable &table, ExamAnalysis &exam,
                            std::map<QString, int> &known) {
    std::vector<int> indices;
    QStringList seen;
    for (qsizetype c = 0; c < table.subjects.size(); ++c) {
        QString name = table.subjects[c];
        if (seen.contains(name)) name += QStringLiteral("（%1）").arg(table.columns[c]);
        seen << name;
        const auto [found, added] = known.try_emplace(name, int(exam.subjects.size()));
        if (added) {
            ExamSubject subject;
            subject.name = name;
            subject.column = table.columns[c];
            exam.subjects.push_back(std::move(subject));
        }
        indices.push_back(found->second);
    }
    return indices;
}

int classOf(const ExamTable &table, const QStringList &texts, ExamAnalysis &exam,
            std::map<QString, int> &known) {
    QString name = table.hasClassColumn ? texts[2] : table.className;
    if (name.isEmpty()) name = table.className;
    const auto [found, added] = known.try_emplace(name, int(exam.classes.size()));
    if (added) exam.classes.push_back({name, table.label, {}, {}});
    return found->second;
}

// Full marks as set for the subject, else as set for every one, else 150 when the column holds a
// score above 100 and none above 150, else 100.
void chooseFullMarks(ExamSubject &subject, const std::vector<QString> &texts,
                     const ExamRequest &request) {
    for (const SubjectFullMarks &marks : request.fullMarks)
        if (marks.subject == subject.name) {
            subject.fullMarks = marks.fullMarks;
            return;
        }
    if (request.everyFullMarks) {
        subject.fullMarks = *request.everyFullMarks;
        return;
    }
    bool above100 = false, above150 = false;
    for (const QString &text : texts) {
        const std::optional<SignedDecimal> number = readPlainDecimal(text);
        if (!number || number->negative) continue;
        above100 = above100 || number->magnitude > Decimal::whole(100);
        above150 = above150 || number->magnitude > Decimal::whole(150);
    }
    subject.fullMarksGuessed = above100 && !above150;
    subject.fullMarks = Decimal::whole(subject.fullMarksGuessed ? 150 : 100);
}

MarkState stateOf(ScoreCell::State state) {
    switch (state) {
    case ScoreCell::State::Counted:
        return MarkState::Counted;
    case ScoreCell::State::Absent:
        return MarkState::Absent;
    case ScoreCell::State::Exempt:
        return MarkState::Exempt;
    case ScoreCell::State::Invalid:
        break;
    }
    return MarkState::Invalid;
}

// A class none of whose students has any text in a subject did not take it:
// in a sheet of the whole grade, its cells there are empty, not absent.
void untakenByClass(const ExamAnalysis &exam, const std::vector<QString> &texts,
                    std::vector<bool> &taken) {
    std::vector<bool> written(exam.classes.size(), false);
    for (std::size_t i = 0; i < exam.students.size(); ++i)
        if (taken[i] && !texts[i].isEmpty())
            written[std::size_t(exam.students[i].classIndex)] = true;
    for (std::size_t i = 0; i < exam.students.size(); ++i)
        if (!written[std::size_t(exam.students[i].classIndex)]) taken[i] = false;
}

} // namespace

std::vector<std::vector<QString>> gatherExam(const ExamSheets &tables, const ExamRequest &request,
                                             ExamAnalysis &exam) {
    std::map<QString, int> subjects, classes;
    std::vector<std::vector<int>> columnsOf;
    for (const ExamTable &table : tables.tables) {
        columnsOf.push_back(subjectsOf(table, exam, subjects));
        exam.notes << table.notes;
    }
    std::vector<std::vector<QString>> texts(exam.subjects.size());
    std::vector<std::vector<bool>> taken(exam.subjects.size());
    std::size_t students = 0;
    for (const ExamTable &table : tables.tables)
        students += table.rows.size();
    exam.students.reserve(students);
    for (std::size_t s = 0; s < texts.size(); ++s) {
        texts[s].reserve(students);
        taken[s].reserve(students);
    }
    for (std::size_t t = 0; t < tables.tables.size(); ++t) {
        const ExamTable &table = tables.tables[t];
        const std::size_t first = table.hasClassColumn ? 3 : 2;
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            const QStringList &row = table.texts[r];
            exam.students.push_back({classOf(table, row, exam, classes),
                                     table.source,
                                     table.rows[r],
                                     row[0],
                                     row[1],
                                     table.remarks.value(qsizetype(r)),
                                     std::vector<SubjectMark>(exam.subjects.size()),
                                     {}});
            for (std::size_t s = 0; s < texts.size(); ++s) {
                texts[s].emplace_back();
                taken[s].push_back(false);
            }
            for (std::size_t c = 0; c < columnsOf[t].size(); ++c) {
                const std::size_t s = std::size_t(columnsOf[t][c]);
                texts[s].back() = row[qsizetype(first + c)];
                taken[s].back() = table.missing.empty() || !table.missing[r][c];
            }
        }
    }
    // Each subject's cells are read apart from the others', on a thread per core.
    runOnThreads(exam.subjects.size(), 0, [&]() -> IndexWork {
        return [&](std::size_t s) {
            untakenByClass(exam, texts[s], taken[s]);
            ExamSubject &subject = exam.subjects[s];
            chooseFullMarks(subject, texts[s], request);
            for (std::size_t i = 0; i < exam.students.size(); ++i) {
                if (!taken[s][i]) continue;
                const ScoreCell cell = readScoreCell(texts[s][i], subject.fullMarks);
                SubjectMark &mark = exam.students[i].subjects[s];
                mark.state = stateOf(cell.state);
                mark.score = cell.value;
            }
        };
    });
    return texts;
}

} // namespace analysis
