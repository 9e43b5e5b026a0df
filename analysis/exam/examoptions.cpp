#include "analysis/exam/examoptions.h"

#include "analysis/classanalysis/decimal.h"
#include "analysis/grade/gradesource.h"
#include "analysis/texts/exammessages.h"
#include "analysis/texts/spaces.h"

namespace analysis {

namespace {

// A setting number: plain, from `low` to 1000, at most two decimals.
std::optional<Decimal> settingNumber(const QString &text, const Decimal &low) {
    const std::optional<SignedDecimal> number = readPlainDecimal(trimWideSpaces(text));
    if (!number || number->negative || number->magnitude.fractionDigits() > 2 ||
        number->magnitude < low || number->magnitude > Decimal::whole(1000))
        return std::nullopt;
    return number->magnitude;
}

// "语文=150,数学=150" (each option may hold several, split by commas).
std::optional<QString> readFullMarks(const QStringList &items, ExamRequest &request) {
    for (const QString &option : items)
        for (const QString &item : option.split(u',', Qt::SkipEmptyParts)) {
            const qsizetype equals = item.lastIndexOf(u'=');
            const std::optional<Decimal> marks =
                equals > 0 ? settingNumber(item.mid(equals + 1), Decimal::whole(1)) : std::nullopt;
            if (!marks) return messages::examFullMarksInvalid(item);
            request.fullMarks.push_back({trimWideSpaces(item.left(equals)), *marks});
        }
    return std::nullopt;
}

// "语数英=语文+数学+英语".
std::optional<QString> readTotals(const QStringList &items, ExamRequest &request) {
    for (const QString &item : items) {
        const qsizetype equals = item.indexOf(u'=');
        TotalRequest total{trimWideSpaces(item.left(equals)), {}};
        for (const QString &name : item.mid(equals + 1).split(u'+'))
            total.subjects << trimWideSpaces(name);
        if (equals <= 0 || total.name.isEmpty() || total.subjects.contains(QString()))
            return messages::examTotalInvalid(item);
        request.totals.push_back(std::move(total));
    }
    return std::nullopt;
}

std::optional<QString> readMargin(const std::optional<QString> &text, ExamRequest &request) {
    if (!text) return std::nullopt;
    const QString trimmed = trimWideSpaces(*text);
    const bool share = trimmed.endsWith(u'%') || trimmed.endsWith(u'％');
    const std::optional<Decimal> value =
        settingNumber(share ? trimmed.chopped(1) : trimmed, Decimal::whole(0));
    if (!value || (share && *value > Decimal::whole(100))) return messages::examMarginInvalid();
    request.margin = share ? ScoreLine{Decimal(), value} : ScoreLine{*value, {}};
    return std::nullopt;
}

} // namespace

std::variant<ExamRequest, QString> readExamRequest(const ExamOptionTexts &options) {
    ExamRequest request;
    AnalysisSettingsTexts texts = options.settings;
    // Lines given as shares are checked against any full marks; a plain line
    // only against the largest, each subject's own taking their place.
    texts.fullMarks = options.fullMarks.value_or(QStringLiteral("1000"));
    const AnalysisSettingsOutcome settings = readAnalysisSettings(texts);
    if (!settings.settings) return settings.message;
    request.settings = *settings.settings;
    if (options.fullMarks) request.everyFullMarks = settings.settings->fullMarks;
    if (auto e = readFullMarks(options.fullMarksOf, request)) return *e;
    if (auto e = readTotals(options.totals, request)) return *e;
    if (auto e = readMargin(options.margin, request)) return *e;
    QStringList columns;
    for (const QString &item : options.columns.scoreColumns)
        columns << item.split(u',', Qt::SkipEmptyParts);
    request.columns = options.columns;
    request.columns.scoreColumns = columns;
    request.detectColumns = options.columnsMode.has_value();
    if (!request.detectColumns && columns.isEmpty()) return messages::examNoScoreColumns();
    request.sources = expandFolders(options.sources);
    for (ClassSource &source : request.sources)
        if (source.kind == ClassSource::Kind::File && source.sheet.isEmpty())
            source.sheet = options.sheet.value_or(QString());
    return request;
}

} // namespace analysis
