#pragma once

#include "workbook/workbook.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace analysis {

// A column of the sheet with the header text that named it: spaces of every
// kind made ordinary, runs of them and line breaks one space, both ends
// trimmed. Column 0 is no column; the header is empty for a column found by
// its content.
struct LayoutColumn {
    int column = 0;
    QString header;

    bool found() const { return column > 0; }
};

// Where a class list lies in a sheet, as found from its first rows. Rows and
// columns count from 1; 0 is "not found".
struct SheetLayout {
    int sheet = -1;          // index in the workbook, -1 when no sheet was usable
    QString sheetName;       // as the workbook spells it
    bool fromHeader = false; // found from a header row; false: guessed from content
    int headerRow = 0;       // the (first) header row; 0 without one
    int headerRows = 0;      // 1, or 2 for a group row above its parts
    int firstRow = 0;        // the first data row
    int lastRow = 0;         // the last data row seen; 0 when the data ran past the rows read
    int footerRow = 0;       // the first row below the class (平均分, 制表人); 0: none seen
    LayoutColumn number;     // 学号, 考号, …
    LayoutColumn name;       // 姓名
    LayoutColumn className;  // 班级
    std::vector<LayoutColumn> scores; // subjects and other score columns, in sheet order
    LayoutColumn total;               // a total written in the sheet, never a subject
    LayoutColumn rank;                // the sheet's own rank column
    // A long table's subject column (科目, 课程): one row per student and
    // subject, the score in the first score column; the subjects met in the
    // rows sampled, in the order met.
    LayoutColumn course;
    QStringList courses;
    LayoutColumn remark; // 评语: the teacher's words for each student's slip
    QStringList notes;   // what was not found or was guessed, in Chinese
    int errorNumber = 0; // a reading failure (importerrors.h) that stopped the search

    // The score column a one-subject import takes: the first subject, else
    // the first score column, else the total.
    LayoutColumn firstScore() const;
    // A long table's score column: the one headed 成绩 or 分数, else the first.
    LayoutColumn longTableScore() const;
    // A header with a number, a name and a score column: enough to fill the
    // import fields without asking.
    bool completeHeader() const;
};

// Finds the layout of one sheet, or, without a sheet, of the first sheet
// with a header row (the first sheet guessed from content when none has
// one). Reads the first 20 rows for the header and at most 200 cells of each
// column below it, whatever the size of the sheet.
SheetLayout detectLayout(Workbook &workbook, std::optional<int> sheet = std::nullopt);

} // namespace analysis
