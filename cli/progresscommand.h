#pragma once

#include "cli/reportcommand.h"

namespace report {

// Whether the arguments ask for the comparison with the last exam.
bool isProgress(const QStringList &arguments);

// score-report --progress LAST THIS [more…]: each exam one source or a
// source list in brackets, in time order.
Output runProgress(const QStringList &arguments, const OutputStream &stream = {});

} // namespace report
