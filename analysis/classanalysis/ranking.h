#pragma once

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/classanalysis/decimal.h"

#include <vector>

namespace analysis {

// The rank of each value of a list sorted from the highest down; equal values
// share a rank. Scores are exact decimals; T scores and totals of T are doubles.
template <typename Value>
std::vector<int> ranksOfSorted(const std::vector<Value> &descending, RankingStyle style) {
    std::vector<int> ranks(descending.size());
    for (std::size_t i = 0; i < descending.size(); ++i) {
        if (i > 0 && descending[i] == descending[i - 1])
            ranks[i] = ranks[i - 1];
        else
            ranks[i] = style == RankingStyle::Dense && i > 0 ? ranks[i - 1] + 1 : int(i) + 1;
    }
    return ranks;
}

} // namespace analysis
