#include "analysis/grade/gradejson.h"

#include "analysis/export/analysisjson.h"

#include <QJsonArray>

namespace analysis {

namespace {

// The figures the comparison shows, taken from the class analysis's own
// object so that they read the same.
QJsonObject figures(const ClassAnalysis &analysis) {
    ClassAnalysis brief = analysis;
    brief.ranking.clear(); // the rank list is the grade's
    const QJsonObject full = analysisJson(brief);
    QJsonObject out;
    for (const char *key :
         {"expected", "sat", "absent", "mean", "highest", "lowest", "standardDeviation",
          "excellent", "pass", "low", "excellentOrGood", "bands"})
        out.insert(QLatin1String(key), full.value(QLatin1String(key)));
    return out;
}

QJsonValue optional(const std::optional<double> &value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

} // namespace

QJsonObject gradeJson(const GradeComparison &comparison) {
    QJsonArray classes, students, failures;
    for (const ComparedClass &c : comparison.classes) {
        QJsonObject object = figures(c.analysis);
        object.insert("name", c.name);
        object.insert("source", c.source);
        object.insert("aboveMeanRate", optional(c.aboveMeanRate));
        object.insert("rank", c.rank ? QJsonValue(c.rank) : QJsonValue(QJsonValue::Null));
        classes.append(object);
    }
    for (const GradeStudent &s : comparison.students)
        students.append(QJsonObject{{"class", comparison.classes[std::size_t(s.classIndex)].name},
                                    {"number", s.student.number},
                                    {"name", s.student.name},
                                    {"score", s.score.toDouble()},
                                    {"gradeRank", s.gradeRank},
                                    {"classRank", s.classRank}});
    for (const SourceFailure &f : comparison.failures)
        failures.append(
            QJsonObject{{"source", f.source},
                        {"number", f.number ? QJsonValue(*f.number) : QJsonValue(QJsonValue::Null)},
                        {"message", f.message}});
    return {{"classes", classes},
            {"grade", figures(comparison.grade)},
            {"students", students},
            {"failures", failures}};
}

} // namespace analysis
