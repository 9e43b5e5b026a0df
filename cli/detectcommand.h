#pragma once

#include "cli/reportcommand.h"

namespace report {

// Whether the arguments ask for the layout of a workbook's sheet.
bool isDetect(const QStringList &arguments);

// score-report --detect WORKBOOK [--sheet S] [--json]: where the header,
// the rows and the columns of a class list lie, as found.
Output runDetect(const QStringList &arguments);

} // namespace report
