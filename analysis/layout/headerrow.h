#pragma once

#include "analysis/layout/headerwords.h"
#include "analysis/layout/sheetsample.h"

#include <QString>

#include <vector>

namespace analysis {

// What one column's header names, and its text as the layout reports it.
struct ColumnHeader {
    HeaderKind kind = HeaderKind::None;
    QString text;
};

// The header found in a sheet's first rows.
struct HeaderRows {
    int first = 0;                     // 0: no header row
    int count = 0;                     // 1, or 2 for a group row above its parts
    std::vector<ColumnHeader> columns; // by column, from column 1
};

// The rows searched for a header.
constexpr int HeaderSearchRows = 20;

// The first of the sample's first rows that names a number or name column
// and a score column, taken with the row above or below it when the two
// form a header of groups over their parts.
HeaderRows findHeader(const SheetSample &sample);

} // namespace analysis
