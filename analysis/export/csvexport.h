#pragma once

#include "analysis/export/analysistables.h"

#include <QByteArray>

namespace analysis {

// The analysis as comma-separated values in UTF-8 with a byte-order mark (so
// that spreadsheet programs read the Chinese text as such) and CR LF line
// ends: the rank list, then the figures, the grades, the bands, the notes and
// the rules, each under its title, with an empty line between them.
QByteArray analysisCsv(const AnalysisTables &tables);

// Tables one after another in the same form, each under its title; a table
// without rows is left out.
QByteArray tablesCsv(const std::vector<const Table *> &tables);

} // namespace analysis
