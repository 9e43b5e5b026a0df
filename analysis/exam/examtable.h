#pragma once

#include "analysis/exam/examanalysis.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace analysis {

// One sheet of an exam as read: its subjects' names and columns, and every
// row with text, its texts trimmed: number, name, class (when the sheet has a
// class column), then one text for each subject.
struct ExamTable {
    int source = 0;
    QString label;     // the source as given, with the sheet for FILE:*
    QString className; // when the sheet has no class column
    bool hasClassColumn = false;
    QStringList subjects, columns; // names, and columns as letters
    std::vector<int> rows;         // sheet rows, from 1
    std::vector<QStringList> texts;
    // A long table's students without a row for a subject, by row and
    // subject; empty when every student has every subject's cell.
    std::vector<std::vector<bool>> missing;
    QStringList notes;   // rows read in a way worth saying
    QStringList remarks; // by row, from a 评语 column; empty without one
};

// The sheets read, before any figure: one exam table per sheet.
struct ExamSheets {
    std::vector<ExamTable> tables; // in the order of the sources, sheets in workbook order
    std::vector<SourceFailure> failures;
};

// Reads every source on a thread per core, each thread with workbooks of its
// own, and names the classes of the sheets without a class column as the
// grade comparison names them.
ExamSheets readExamTables(const ExamRequest &request, const CompareControl &control);

// The message refusing typed columns (a first row or a column that can't be
// read), or an empty text.
QString examColumnsProblem(const ExamColumns &columns);

// A column from 1 as letters: 1 → A, 27 → AA.
QString columnLetters(int column);

// A column typed as a number from 1 or as letters (A, b, AA…), or 0.
int readColumn(const QString &text);

} // namespace analysis
