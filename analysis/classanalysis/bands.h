#pragma once

#include "analysis/classanalysis/decimal.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace analysis {

// One score band: from ≤ score < to, the top band from ≤ score ≤ to.
struct ScoreBand {
    Decimal from, to;
    int count = 0;
    std::optional<double> percent; // rounded to two decimals; none without scores
};

// The bands of the given width from 0 up to full marks, listed from the top
// band down. The width and full marks have at most two decimals.
std::vector<ScoreBand> scoreBands(const std::vector<Decimal> &scores, const Decimal &fullMarks,
                                  const Decimal &width);

} // namespace analysis
