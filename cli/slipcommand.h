#pragma once

#include "cli/reportcommand.h"

namespace report {

bool isSlips(const QStringList &arguments); // whether --slips is given

// score-report --slips SOURCE… --export FILE.pdf|FILE.xlsx: a slip for each
// student of the exam, each naming that student alone; with
// --per-student-folder also one PDF per student.
Output runSlips(const QStringList &arguments);

QString slipsHelpText(); // what --slips --help prints

} // namespace report
