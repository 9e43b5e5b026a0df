#include "analysis/slips/slipxlsx.h"

#include "analysis/export/analysisexport.h"
#include "analysis/export/xlsxbook.h"
#include "analysis/slips/slipcontent.h"
#include "analysis/texts/messages.h"

namespace analysis {

namespace {

// The strip of one student: the slip's table spread along one row.
std::pair<QStringList, std::vector<TableCell>> stripRow(const SlipStudent &student,
                                                        const SlipContent &content) {
    QStringList header{QStringLiteral("学号"), QStringLiteral("姓名")};
    std::vector<TableCell> row{{student.number, std::nullopt}, {student.name, std::nullopt}};
    for (std::size_t r = 0; r < content.rows.size(); ++r) {
        const SlipFigure &figure = student.figures[r];
        for (qsizetype c = 1; c < content.header.size(); ++c) {
            const bool score = content.header[c] == slipItemTitle(SlipItem::Score);
            header << (score ? figure.subject : figure.subject + content.header[c]);
            TableCell cell{content.rows[r][c], std::nullopt};
            if (score && figure.score) cell.number = figure.score->toDouble();
            row.push_back(cell);
        }
    }
    if (!student.remark.trimmed().isEmpty()) {
        header << QStringLiteral("教师评语");
        row.push_back({student.remark.trimmed(), std::nullopt});
    }
    return {header, row};
}

void fillBook(const XlsxApi &x, lxw_workbook *book, const SlipExam &exam,
              const std::vector<SlipStudent> &students, const SlipOptions &options,
              const AnalysisSettings &settings) {
    SheetWriter strips(x, book, "成绩条");
    QStringList notes;
    for (const SlipStudent &student : students) {
        const SlipContent content = slipContent(exam, student, options, settings);
        const auto [header, row] = stripRow(student, content);
        strips.header(header);
        strips.line(row);
        strips.skip();
        for (const QString &note : content.notes)
            if (!note.startsWith(QStringLiteral("教师评语")) && !notes.contains(note))
                notes << note;
    }
    strips.fitColumns();
    SheetWriter about(x, book, "说明");
    const SlipContent blank = slipContent(exam, SlipStudent{}, options, settings);
    about.lines(blank.title, QStringList{blank.examLine, blank.preset} + notes);
    about.fitColumns();
}

} // namespace

QString writeSlipsXlsx(const SlipExam &exam, const std::vector<SlipStudent> &students,
                       const SlipOptions &options, const AnalysisSettings &settings,
                       const QString &path, const QStringList &protectedPaths) {
    if (!path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        return messages::slipExportNameInvalid(path);
    return exportTables(
        path, protectedPaths,
        [&](QByteArray *bytes) {
            return writeWorkbook(bytes, [&](const XlsxApi &x, lxw_workbook *book) {
                fillBook(x, book, exam, students, options, settings);
            });
        },
        [] { return QByteArray(); });
}

} // namespace analysis
