#pragma once

#include "analysis/classanalysis/classanalysis.h"
#include "analysis/grid/scoregrid.h"

#include <QString>

#include <optional>

namespace analysis {

struct GridRowsOutcome {
    std::optional<AnalysisInput> input;
    QString message; // why the class size can't be used, when there is no input
};

// The grid rows the class analysis reads: rows 1..N for a class size N (read
// as the statistics read it, 1..100), or, when the class size is empty, every
// row with any text, with a note that says so.
GridRowsOutcome gridAnalysisInput(const ScoreGrid &grid, const QString &classSize);

} // namespace analysis
