#pragma once

#include "cli/reportcommand.h"

namespace report {

// Whether the arguments ask for the comparison of a grade's classes.
bool isCompare(const QStringList &arguments);

// score-report --compare SOURCE…: the comparison of a grade's classes.
Output runCompare(const QStringList &arguments);

// What --compare --help prints.
QString compareHelpText();

} // namespace report
