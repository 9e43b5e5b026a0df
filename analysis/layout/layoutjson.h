#pragma once

#include "analysis/layout/sheetlayout.h"

#include <QJsonObject>

namespace analysis {

// A found layout as JSON: headerRow, firstRow, lastRow, numberColumn,
// nameColumn, classColumn (numbers, null when not found), scores [{column,
// header}], total and rank ({column, header} or null) and notes [text].
QJsonObject layoutJson(const SheetLayout &layout);

} // namespace analysis
