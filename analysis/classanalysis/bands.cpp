#include "analysis/classanalysis/bands.h"

#include <algorithm>
#include <numeric>

namespace analysis {

namespace {

constexpr int Scale = 2; // the width and full marks have at most two decimals

// Splits `whole` units between the counts in proportion, each share rounded
// down and the units left over given one each to the largest remainders
// (equal remainders: the earlier count first), so that the shares add up to
// exactly `whole`. The counts add up to more than 0.
std::vector<std::int64_t> largestRemainderShares(const std::vector<int> &counts,
                                                 std::int64_t whole) {
    const std::int64_t total = std::accumulate(counts.begin(), counts.end(), std::int64_t(0));
    std::vector<std::int64_t> shares(counts.size());
    std::vector<std::int64_t> remainders(counts.size());
    std::int64_t given = 0;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        shares[i] = counts[i] * whole / total;
        remainders[i] = counts[i] * whole % total;
        given += shares[i];
    }
    std::vector<std::size_t> order(counts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&remainders](std::size_t a, std::size_t b) {
        return remainders[a] > remainders[b];
    });
    for (std::size_t i = 0; given < whole; ++i, ++given)
        ++shares[order[i]];
    return shares;
}

} // namespace

std::vector<ScoreBand> scoreBands(const std::vector<Decimal> &scores, const Decimal &fullMarks,
                                  const Decimal &width) {
    const std::int64_t top = fullMarks.units(Scale);
    const std::int64_t step = width.units(Scale);
    const std::int64_t bandCount = (top + step - 1) / step;
    std::vector<int> counts(std::size_t(bandCount), 0);
    // floor(floor(100 s) / w) is floor(100 s / w): dropping the digits beyond
    // the scale never moves a score across a band edge.
    for (const Decimal &score : scores)
        ++counts[std::size_t(bandCount - 1 - std::min(score.units(Scale) / step, bandCount - 1))];

    std::vector<ScoreBand> bands(counts.size());
    std::vector<std::int64_t> hundredths;
    if (!scores.empty()) hundredths = largestRemainderShares(counts, 100 * 100);
    for (std::int64_t i = 0; i < bandCount; ++i) {
        ScoreBand &band = bands[std::size_t(bandCount - 1 - i)];
        band.from = Decimal::fromScaled(i * step, Scale);
        band.to = Decimal::fromScaled(std::min((i + 1) * step, top), Scale);
        band.count = counts[std::size_t(bandCount - 1 - i)];
        if (!scores.empty())
            band.percent = double(hundredths[std::size_t(bandCount - 1 - i)]) / 100;
    }
    return bands;
}

} // namespace analysis
