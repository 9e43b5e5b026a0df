#include "analysis/classanalysis/analysissettings.h"

#include "analysis/texts/messages.h"
#include "analysis/texts/spaces.h"

namespace analysis {

namespace {

constexpr int MaximumDecimals = 2;

// A number of the settings: plain, not negative, at most two decimals.
std::optional<Decimal> settingNumber(const QString &text) {
    const std::optional<SignedDecimal> number = readPlainDecimal(text);
    if (!number || number->negative || number->magnitude.fractionDigits() > MaximumDecimals)
        return std::nullopt;
    return number->magnitude;
}

std::optional<Decimal> numberBetween(const QString &text, const Decimal &low, const Decimal &high) {
    const std::optional<Decimal> number = settingNumber(text);
    if (!number || *number < low || *number > high) return std::nullopt;
    return number;
}

// A score, or a share of full marks when the text ends with a percent sign.
std::optional<ScoreLine> readLine(const QString &text, const Decimal &fullMarks) {
    const QString trimmed = trimWideSpaces(text);
    if (trimmed.endsWith(u'%') || trimmed.endsWith(u'％')) {
        const std::optional<Decimal> percent =
            numberBetween(trimmed.chopped(1), Decimal::whole(0), Decimal::whole(100));
        if (!percent) return std::nullopt;
        // Hundredths of a percent times hundredths of a point: 10^-6 points.
        const std::int64_t units =
            percent->units(MaximumDecimals) * fullMarks.units(MaximumDecimals);
        return ScoreLine{Decimal::fromScaled(units, 6), percent};
    }
    const std::optional<Decimal> score = numberBetween(trimmed, Decimal::whole(0), fullMarks);
    if (!score) return std::nullopt;
    return ScoreLine{*score, std::nullopt};
}

AnalysisSettingsOutcome refused(const QString &message) {
    return {std::nullopt, message};
}

} // namespace

AnalysisSettingsOutcome readAnalysisSettings(const AnalysisSettingsTexts &texts) {
    const std::optional<Decimal> fullMarks =
        numberBetween(texts.fullMarks, Decimal::whole(1), Decimal::whole(1000));
    if (!fullMarks) return refused(messages::fullMarksInvalid());
    AnalysisSettings settings;
    settings.fullMarks = *fullMarks;

    const struct {
        const QString &text;
        ScoreLine AnalysisSettings::*line;
        const char16_t *name;
    } lines[] = {{texts.excellentLine, &AnalysisSettings::excellent, u"优秀线"},
                 {texts.goodLine, &AnalysisSettings::good, u"良好线"},
                 {texts.passLine, &AnalysisSettings::pass, u"及格线"},
                 {texts.lowLine, &AnalysisSettings::low, u"低分线"}};
    for (const auto &line : lines) {
        const std::optional<ScoreLine> read = readLine(line.text, *fullMarks);
        if (!read) return refused(messages::scoreLineInvalid(QString::fromUtf16(line.name)));
        settings.*line.line = *read;
    }
    if (settings.low.score > settings.pass.score || settings.pass.score > settings.good.score ||
        settings.good.score > settings.excellent.score)
        return refused(messages::scoreLinesOutOfOrder());

    const std::optional<Decimal> bandWidth =
        numberBetween(texts.bandWidth, Decimal::whole(1), *fullMarks);
    if (!bandWidth) return refused(messages::bandWidthInvalid());
    settings.bandWidth = *bandWidth;

    if (texts.ranking == u"competition")
        settings.ranking = RankingStyle::Competition;
    else if (texts.ranking == u"dense")
        settings.ranking = RankingStyle::Dense;
    else
        return refused(messages::rankingStyleInvalid());
    return {settings, {}};
}

AnalysisSettings defaultAnalysisSettings() {
    return *readAnalysisSettings({}).settings;
}

QString rankingStyleName(RankingStyle style) {
    return style == RankingStyle::Dense ? QStringLiteral("dense") : QStringLiteral("competition");
}

} // namespace analysis
