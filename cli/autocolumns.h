#pragma once

#include "analysis/grade/gradesource.h"
#include "analysis/grid/workbookimport.h"

#include <QString>

#include <optional>

namespace report {

// Whether the option types a first row or a column, which --columns auto
// finds instead.
bool isFieldOption(const QString &name);

// The usage error of --columns auto given with such an option.
QString autoWithFields();

// What --columns auto found for one workbook.
struct AutoColumns {
    std::optional<analysis::ImportFields> fields; // nothing when it found too little
    std::optional<int> errorNumber;               // the workbook could not be read
    QString message;                              // why there are no fields
    QString notes;    // for standard error: what was used, and what was guessed
    int dataRows = 0; // rows from the first data row to the footer; 0 when no footer was seen
};

// The sheet, first row and columns the detection finds in the workbook, in
// the named sheet or, without one, in the first sheet with a header.
AutoColumns autoColumns(const QString &path, const std::optional<QString> &sheet);

// Fills each file source's fields that it does not type itself, and its
// sheet when it names none, from the detection; returns the message of the
// first source where too little was found, or nothing. Notes go to *notes.
std::optional<QString> autoSourceColumns(std::vector<analysis::ClassSource> &sources,
                                         const std::optional<QString> &sheet, QString *notes);

} // namespace report
