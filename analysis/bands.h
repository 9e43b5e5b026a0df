#pragma once

#include "analysis/decimal.h"

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

// Splits `whole` units between the counts in proportion, each share rounded
// down and the units left over given one each to the largest remainders
// (equal remainders: the earlier count first), so that the shares add up to
// exactly `whole`. The counts add up to more than 0.
std::vector<std::int64_t> largestRemainderShares(const std::vector<int> &counts,
                                                 std::int64_t whole);

} // namespace analysis
