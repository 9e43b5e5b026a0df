#pragma once

#include "workbook/text/gridworkbook.h"
#include "workbook/text/textencoding.h"

#include <QStringView>

namespace analysis::text {

// The field separator of a text table, sniffed from its first lines: the one
// of comma, tab and semicolon that splits the most lines into the same number
// of fields (a title line above the header has none); comma when none does.
QChar sniffSeparator(QStringView text);

// The lines of a text table (RFC 4180: fields in double quotes may hold
// separators, line breaks and doubled quotes; lines end in CR LF, LF or CR)
// as the sheet's rows, each field as written, read a line at a time as the
// rows are asked for. An unterminated quote on the last line ends with the
// file; one that would swallow the lines after it, a line of more fields
// than a sheet has columns or more lines than it has rows make the text
// unreadable from there: CannotOpen.
// The text is decoded as far as the rows read need it.
std::shared_ptr<PendingRows> csvRows(std::unique_ptr<DecodedText> text, QChar separator);

} // namespace analysis::text
