#pragma once

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/classanalysis/decimal.h"

#include <vector>

namespace analysis {

// The rank of each score of a list sorted from the highest down; equal scores
// share a rank.
std::vector<int> ranksOfSorted(const std::vector<Decimal> &descending, RankingStyle style);

} // namespace analysis
