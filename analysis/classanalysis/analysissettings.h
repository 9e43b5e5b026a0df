#pragma once

#include "analysis/classanalysis/decimal.h"

#include <QString>

#include <optional>

namespace analysis {

enum class RankingStyle {
    Competition, // equal scores share a rank and the next rank skips: 1, 1, 3
    Dense,       // equal scores share a rank and the next follows on: 1, 1, 2
};

struct ScoreLine {
    Decimal score;                  // the line as a score
    std::optional<Decimal> percent; // the share of full marks it was given as
};

// The settings (口径) of the class analysis.
struct AnalysisSettings {
    Decimal fullMarks;
    ScoreLine excellent, good, pass, low;
    Decimal bandWidth;
    RankingStyle ranking = RankingStyle::Competition;
};

// The settings as typed. A line is a score or, with "%" after it, a share of
// full marks. Every number has at most two decimals.
struct AnalysisSettingsTexts {
    QString fullMarks = QStringLiteral("100");
    QString excellentLine = QStringLiteral("85%");
    QString goodLine = QStringLiteral("75%");
    QString passLine = QStringLiteral("60%");
    QString lowLine = QStringLiteral("40%");
    QString bandWidth = QStringLiteral("10");
    QString ranking = QStringLiteral("competition");
};

struct AnalysisSettingsOutcome {
    std::optional<AnalysisSettings> settings;
    QString message; // the first failed check's message when there are no settings
};

// Full marks 1..1000; each line 0..full marks (or 0%..100%), low ≤ pass ≤
// good ≤ excellent; band width 1..full marks; ranking competition or dense.
AnalysisSettingsOutcome readAnalysisSettings(const AnalysisSettingsTexts &texts);

AnalysisSettings defaultAnalysisSettings();

QString rankingStyleName(RankingStyle style); // "competition" or "dense"

} // namespace analysis
