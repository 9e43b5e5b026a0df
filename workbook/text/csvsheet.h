#pragma once

#include "workbook/text/gridworkbook.h"

#include <QStringView>

namespace analysis::text {

// The field separator of a text table, sniffed from its first lines: the one
// of comma, tab and semicolon that splits the most lines into the same number
// of fields (a title line above the header has none); comma when none does.
QChar sniffSeparator(QStringView text);

// Reads the fields of a text table (RFC 4180: fields in double quotes may hold
// separators, line breaks and doubled quotes; lines end in CR LF, LF or CR)
// into the sheet, each as written. An unterminated quote on the last line
// ends with the file; one that would swallow the lines after it, a line of
// more fields than a sheet has columns or more lines than it has rows make
// the text unreadable: CannotOpen, else NoError.
int readCsv(QStringView text, QChar separator, GridSheet *sheet);

} // namespace analysis::text
