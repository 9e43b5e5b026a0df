#include "analysis/export/analysisjson.h"

#include "analysis/classanalysis/analysisrules.h"

#include <QJsonArray>

namespace analysis {

QJsonValue jsonNumber(const std::optional<double> &value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue jsonNumber(const std::optional<Decimal> &value) {
    return value ? QJsonValue(value->toDouble()) : QJsonValue(QJsonValue::Null);
}

namespace {

QJsonObject grade(const GradeCount &count) {
    return {{"count", count.count}, {"rate", jsonNumber(count.rate)}};
}

QJsonArray students(const std::vector<StudentRow> &rows) {
    QJsonArray list;
    for (const StudentRow &row : rows)
        list.append(QJsonObject{{"row", row.gridRow}, {"number", row.number}, {"name", row.name}});
    return list;
}

QJsonObject settingsJson(const AnalysisSettings &settings) {
    return {{"fullMarks", settings.fullMarks.toDouble()},
            {"excellentLine", settings.excellent.score.toDouble()},
            {"goodLine", settings.good.score.toDouble()},
            {"passLine", settings.pass.score.toDouble()},
            {"lowLine", settings.low.score.toDouble()},
            {"bandWidth", settings.bandWidth.toDouble()},
            {"ranking", rankingStyleName(settings.ranking)}};
}

QJsonArray listsJson(const ClassAnalysis &analysis, QJsonArray *bands, QJsonArray *ranking) {
    for (const ScoreBand &band : analysis.bands)
        bands->append(QJsonObject{{"from", band.from.toDouble()},
                                  {"to", band.to.toDouble()},
                                  {"count", band.count},
                                  {"percent", jsonNumber(band.percent)}});
    for (const RankedStudent &student : analysis.ranking)
        ranking->append(QJsonObject{{"row", student.student.gridRow},
                                    {"number", student.student.number},
                                    {"name", student.student.name},
                                    {"score", student.score.toDouble()},
                                    {"rank", student.rank}});
    QJsonArray invalid;
    for (const UncountedRow &row : analysis.uncounted)
        if (row.state == ScoreCell::State::Invalid)
            invalid.append(QJsonObject{{"row", row.student.gridRow}, {"text", row.student.score}});
    return invalid;
}

} // namespace

QJsonObject analysisJson(const ClassAnalysis &analysis) {
    QJsonArray bands, ranking;
    const QJsonArray invalid = listsJson(analysis, &bands, &ranking);
    return {{"settings", settingsJson(analysis.settings)},
            {"expected", analysis.expected},
            {"sat", analysis.sat},
            {"absent", analysis.absent},
            {"exempt", analysis.exempt},
            {"invalid", invalid},
            {"total", jsonNumber(analysis.total)},
            {"mean", jsonNumber(analysis.mean)},
            {"highest", jsonNumber(analysis.highest)},
            {"highestStudents", students(analysis.highestStudents)},
            {"lowest", jsonNumber(analysis.lowest)},
            {"lowestStudents", students(analysis.lowestStudents)},
            {"median", jsonNumber(analysis.median)},
            {"standardDeviation", jsonNumber(analysis.standardDeviation)},
            {"difficulty", jsonNumber(analysis.difficulty)},
            {"discrimination", jsonNumber(analysis.discrimination)},
            {"discriminationGroup", analysis.discrimination
                                        ? QJsonValue(analysis.discriminationGroup)
                                        : QJsonValue(QJsonValue::Null)},
            {"excellent", grade(analysis.excellent)},
            {"good", grade(analysis.good)},
            {"pass", grade(analysis.pass)},
            {"fail", grade(analysis.fail)},
            {"low", grade(analysis.low)},
            {"excellentOrGood", grade(analysis.excellentOrGood)},
            {"bands", bands},
            {"ranking", ranking},
            {"notes", QJsonArray::fromStringList(analysis.notes)},
            {"rules", analysisRules(analysis.settings).join(u'\n')}};
}

} // namespace analysis
