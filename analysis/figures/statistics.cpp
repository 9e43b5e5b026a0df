#include "analysis/figures/statistics.h"

#include "analysis/figures/limits.h"
#include "analysis/grid/fieldnumber.h"
#include "analysis/texts/messages.h"
#include "analysis/texts/spaces.h"
#include "workbook/numbertext.h"

#include <optional>

namespace analysis {

namespace {

StatisticsOutcome failure(const QString &message) {
    return {false, message, {}};
}

} // namespace

StatisticsOutcome computeStatistics(const StatisticsFields &fields, const ScoreGrid &grid) {
    // A field counts as empty only when it holds no character at all.
    if (fields.classSize.isEmpty()) return failure(messages::classSizeMissing());
    if (fields.excellentLow.isEmpty() || fields.excellentHigh.isEmpty())
        return failure(messages::excellentBandMissing());
    if (fields.goodLow.isEmpty() || fields.goodHigh.isEmpty())
        return failure(messages::goodBandMissing());

    const std::optional<std::int16_t> excellentLow = readFieldInteger(fields.excellentLow);
    const std::optional<std::int16_t> excellentHigh = readFieldInteger(fields.excellentHigh);
    if (!excellentLow || !excellentHigh) return failure(messages::excellentBandOutOfRange());
    if (*excellentLow > *excellentHigh) return failure(messages::excellentBandReversed());
    const std::optional<std::int16_t> goodLow = readFieldInteger(fields.goodLow);
    const std::optional<std::int16_t> goodHigh = readFieldInteger(fields.goodHigh);
    if (!goodLow || !goodHigh) return failure(messages::goodBandOutOfRange());
    if (*goodLow > *goodHigh) return failure(messages::goodBandReversed());

    // The average divides by the class size and only the grid's rows exist.
    const std::optional<std::int16_t> classSize = readFieldInteger(fields.classSize);
    if (!classSize || *classSize < 1 || *classSize > ScoreGrid::Rows)
        return failure(messages::classSizeOutOfRange());
    const int n = *classSize;

    float total = 0;
    int failing = 0, excellent = 0, good = 0, qualified = 0;
    for (int row = 0; row < n; ++row) {
        const std::optional<std::int16_t> read =
            readFieldInteger(trimSpaces(grid.text(row, ScoreGrid::ScoreColumn)));
        if (!read) return failure(messages::scoreOutOfRange(row + 1));
        const int score = *read;
        total += static_cast<float>(score);
        if (score < PassMark) ++failing;
        if (*excellentLow <= score && score <= *excellentHigh) ++excellent;
        if (*goodLow <= score && score < *goodHigh) ++good;
        if (PassMark <= score && score < QualifiedEnd) ++qualified;
    }

    const auto rate = [n](int count) { return double(count) / double(n) * 100.0; };
    StatisticsOutcome outcome;
    outcome.ok = true;
    StatisticsFigures &figures = outcome.figures;
    figures.total = singleText(total);
    figures.average = singleText(total / static_cast<float>(n));
    figures.excellent = QString::number(excellent);
    figures.good = QString::number(good);
    figures.qualified = QString::number(qualified);
    figures.failing = QString::number(failing);
    figures.excellentRate = doubleText(rate(excellent));
    figures.passRate = doubleText((1.0 - double(failing) / double(n)) * 100.0);
    // The good rate counts the students that the good count shows.
    figures.goodRate = doubleText(rate(good));
    outcome.counts = {excellent, good, qualified, failing};
    return outcome;
}

} // namespace analysis
