#include "analysis/grade/gradejson.h"

#include "analysis/export/analysisjson.h"
#include "analysis/export/jsontext.h"
#include "analysis/texts/wellformed.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace analysis {

namespace {

// The figures the comparison shows, taken from the class analysis's own
// object so that they read the same.
QJsonObject figures(const ClassAnalysis &analysis) {
    const QJsonObject full = analysisJson(analysis);
    QJsonObject out;
    for (const char *key :
         {"expected", "sat", "absent", "mean", "highest", "lowest", "standardDeviation",
          "excellent", "pass", "low", "excellentOrGood", "bands"})
        out.insert(QLatin1String(key), full.value(QLatin1String(key)));
    return out;
}

} // namespace

QJsonArray gradeFailuresJson(const std::vector<SourceFailure> &failures) {
    QJsonArray list;
    for (const SourceFailure &f : failures)
        list.append(
            QJsonObject{{"source", f.source},
                        {"number", f.number ? QJsonValue(*f.number) : QJsonValue(QJsonValue::Null)},
                        {"message", f.message}});
    return list;
}

QByteArray gradeJson(const GradeComparison &comparison) {
    QJsonArray classes;
    for (const ComparedClass &c : comparison.classes) {
        QJsonObject object = figures(c.analysis);
        object.insert("name", c.name);
        object.insert("source", c.source);
        object.insert("aboveMeanRate", jsonNumber(c.aboveMeanRate));
        object.insert("rank", c.rank ? QJsonValue(c.rank) : QJsonValue(QJsonValue::Null));
        classes.append(object);
    }
    const QJsonObject rest{{"classes", classes},
                           {"grade", figures(comparison.grade)},
                           {"failures", gradeFailuresJson(comparison.failures)}};
    // The rank list of a whole district is written one student at a time,
    // never held as one tree of JSON values; "students" sorts last.
    QByteArray out = QJsonDocument(rest).toJson(QJsonDocument::Compact);
    out.chop(1);
    out += ",\"students\":[";
    for (std::size_t i = 0; i < comparison.students.size(); ++i) {
        const GradeStudent &s = comparison.students[i];
        out += i > 0 ? ",{\"class\":" : "{\"class\":";
        appendJsonString(out, comparison.classes[std::size_t(s.classIndex)].name);
        out += ",\"classRank\":" + QByteArray::number(s.classRank) +
               ",\"gradeRank\":" + QByteArray::number(s.gradeRank) + ",\"name\":";
        appendJsonString(out, s.student.name);
        out += ",\"number\":";
        appendJsonString(out, s.student.number);
        out += ",\"score\":" +
               QByteArray::number(s.score.toDouble(), 'g', QLocale::FloatingPointShortest) + '}';
    }
    out += "]}";
    return wellFormedJson(out);
}

} // namespace analysis
