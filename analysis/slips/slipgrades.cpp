#include "analysis/slips/slipgrades.h"

namespace analysis {

namespace {

using Wide = __int128;

// A line's share of full marks: a share typed as such, or the typed score
// over the settings' full marks.
GradeLine lineShare(const ScoreLine &line, const Decimal &settingsFullMarks) {
    if (line.percent) return {QChar(), line.percent->units(2), 100 * 100, Decimal()};
    return {QChar(), line.score.units(2), settingsFullMarks.units(2), Decimal()};
}

Decimal cutOffScore(const GradeLine &line, const Decimal &fullMarks) {
    // share × full marks in ten-thousandths, rounded up so that a score with
    // fewer decimals reaches the printed figure exactly when it reaches the line.
    const Wide scaled = Wide(line.share) * fullMarks.units(4);
    const Wide units = (scaled + line.of - 1) / line.of;
    return Decimal::fromScaled(std::int64_t(units), 4);
}

} // namespace

std::vector<GradeLine> gradeLines(const AnalysisSettings &settings, const Decimal &fullMarks,
                                  bool fiveGrades) {
    std::vector<std::pair<QChar, const ScoreLine *>> chosen = {
        {u'A', &settings.excellent}, {u'B', &settings.good}, {u'C', &settings.pass}};
    if (fiveGrades) chosen.push_back({u'D', &settings.low});
    std::vector<GradeLine> lines;
    for (const auto &[grade, line] : chosen) {
        GradeLine share = lineShare(*line, settings.fullMarks);
        share.grade = grade;
        share.cutOff = cutOffScore(share, fullMarks);
        lines.push_back(share);
    }
    return lines;
}

QChar gradeOf(const Decimal &score, const Decimal &fullMarks, const std::vector<GradeLine> &lines,
              bool fiveGrades) {
    // score ÷ full marks ≥ share ÷ of, multiplied out so that nothing rounds.
    for (const GradeLine &line : lines)
        if (Wide(score.units(6)) * line.of >= Wide(line.share) * fullMarks.units(6))
            return line.grade;
    return fiveGrades ? u'E' : u'D';
}

QString shareText(const GradeLine &line) {
    // Hundredths of a percent, rounded up as the cut-off is.
    const Wide hundredths = (Wide(line.share) * 10000 + line.of - 1) / line.of;
    return Decimal::fromScaled(std::int64_t(hundredths), 2).text() + QStringLiteral(" %");
}

} // namespace analysis
