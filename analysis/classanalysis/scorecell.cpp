#include "analysis/classanalysis/scorecell.h"

#include "analysis/texts/spaces.h"

namespace analysis {

ScoreCell readScoreCell(const QString &text, const Decimal &fullMarks) {
    const QStringView trimmed = wideTrimmedView(text);
    if (trimmed.isEmpty() || trimmed == u"缺考" || trimmed == u"缺" || trimmed == u"缺席")
        return {ScoreCell::State::Absent, {}};
    if (trimmed == u"免考" || trimmed == u"免") return {ScoreCell::State::Exempt, {}};
    const std::optional<SignedDecimal> number = readPlainDecimal(trimmed);
    if (!number || number->negative || number->magnitude > fullMarks) return {};
    return {ScoreCell::State::Counted, number->magnitude};
}

} // namespace analysis
