#include "analysis/exam/examparts.h"

#include <algorithm>

namespace analysis {

namespace {

// Digits beyond the ninth decimal are dropped, as the class analysis drops
// them from its sums.
constexpr int MaximumScale = 9;

int scaleOf(const std::vector<const Decimal *> &values) {
    int scale = 0;
    for (const Decimal *value : values)
        scale = std::max(scale, std::min(value->fractionDigits(), MaximumScale));
    return scale;
}

} // namespace

Decimal decimalSum(const std::vector<const Decimal *> &values) {
    const int scale = scaleOf(values);
    std::int64_t units = 0;
    for (const Decimal *value : values)
        units += value->units(scale);
    return Decimal::fromScaled(units, scale);
}

Decimal decimalDifference(const Decimal &larger, const Decimal &smaller) {
    const int scale = scaleOf({&larger, &smaller});
    return Decimal::fromScaled(
        std::max<std::int64_t>(larger.units(scale) - smaller.units(scale), 0), scale);
}

Decimal shareOf(const Decimal &fullMarks, const Decimal &percent) {
    // Hundredths of a percent times hundredths of a point: 10^-6 points.
    return Decimal::fromScaled(percent.units(2) * fullMarks.units(2), 6);
}

AnalysisSettings settingsFor(const AnalysisSettings &given, const Decimal &fullMarks) {
    AnalysisSettings settings = given;
    settings.fullMarks = fullMarks;
    for (ScoreLine *line : {&settings.excellent, &settings.good, &settings.pass, &settings.low})
        if (line->percent) line->score = shareOf(fullMarks, *line->percent);
    settings.bandWidth = std::min(settings.bandWidth, fullMarks);
    return settings;
}

} // namespace analysis
