#include "analysis/classanalysis/ranking.h"

namespace analysis {

std::vector<int> ranksOfSorted(const std::vector<Decimal> &descending, RankingStyle style) {
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
