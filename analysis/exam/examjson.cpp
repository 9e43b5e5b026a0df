#include "analysis/exam/examjson.h"

#include "analysis/export/analysisjson.h"
#include "analysis/grade/gradejson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace analysis {

namespace {

QJsonObject countJson(const GradeCount &count) {
    return {{"count", count.count}, {"rate", jsonNumber(count.rate)}};
}

QJsonObject figuresJson(const ClassAnalysis &a, const std::optional<double> &scoreRate) {
    return {{"sat", a.sat},
            {"absent", a.absent},
            {"mean", jsonNumber(a.mean)},
            {"scoreRate", jsonNumber(scoreRate)},
            {"highest", jsonNumber(a.highest)},
            {"lowest", jsonNumber(a.lowest)},
            {"median", jsonNumber(a.median)},
            {"standardDeviation", jsonNumber(a.standardDeviation)},
            {"excellent", countJson(a.excellent)},
            {"good", countJson(a.good)},
            {"pass", countJson(a.pass)},
            {"low", countJson(a.low)},
            {"excellentOrGood", countJson(a.excellentOrGood)}};
}

QJsonValue rankJson(int rank) {
    return rank ? QJsonValue(rank) : QJsonValue(QJsonValue::Null);
}

QJsonArray classFiguresJson(const std::vector<ExamClassFigures> &figures,
                            const std::function<QString(std::size_t)> &nameOf) {
    QJsonArray list;
    for (std::size_t i = 0; i < figures.size(); ++i) {
        const ExamClassFigures &f = figures[i];
        list.append(QJsonObject{{"name", nameOf(i)},
                                {"mean", jsonNumber(f.analysis.mean)},
                                {"aboveMeanRate", jsonNumber(f.aboveMeanRate)},
                                {"excellent", countJson(f.analysis.excellent)},
                                {"pass", countJson(f.analysis.pass)},
                                {"rank", rankJson(f.rank)}});
    }
    return list;
}

QJsonObject headJson(const ExamAnalysis &exam) {
    QJsonArray subjects, totals, classes;
    for (const ExamSubject &s : exam.subjects) {
        QJsonObject object = figuresJson(s.grade, s.scoreRate);
        object.insert("name", s.name);
        object.insert("column", s.column);
        object.insert("fullMarks", s.fullMarks.toDouble());
        subjects.append(object);
    }
    for (const ExamTotal &t : exam.totals) {
        QJsonObject object = figuresJson(t.grade, t.scoreRate);
        QJsonArray names;
        for (const int s : t.subjects)
            names.append(exam.subjects[std::size_t(s)].name);
        object.insert("name", t.name);
        object.insert("subjects", names);
        object.insert("fullMarks", t.fullMarks.toDouble());
        totals.append(object);
    }
    for (const ExamClass &c : exam.classes)
        classes.append(QJsonObject{
            {"name", c.name},
            {"subjects", classFiguresJson(c.subjects,
                                          [&](std::size_t i) { return exam.subjects[i].name; })},
            {"totals",
             classFiguresJson(c.totals, [&](std::size_t i) { return exam.totals[i].name; })}});
    return {{"subjects", subjects}, {"totals", totals}, {"classes", classes}};
}

// Identifies a student in the lists: class, number, name.
QJsonObject studentJson(const ExamAnalysis &exam, int index) {
    const ExamStudent &s = exam.students[std::size_t(index)];
    return {{"class", exam.classes[std::size_t(s.classIndex)].name},
            {"number", s.number},
            {"name", s.name}};
}

QJsonObject listsJson(const ExamAnalysis &exam) {
    QJsonArray weak, borderline;
    for (const WeakSubject &w : exam.weak) {
        QJsonObject object = studentJson(exam, w.student);
        object.insert("subject", exam.subjects[std::size_t(w.subject)].name);
        object.insert("t", w.t);
        object.insert("meanT", w.meanT);
        weak.append(object);
    }
    for (const Borderline &b : exam.borderline) {
        QJsonObject object = studentJson(exam, b.student);
        object.insert("line", b.line == Borderline::Line::Excellent ? "excellent" : "pass");
        object.insert("total", b.total.toDouble());
        object.insert("gap", b.gap.toDouble());
        object.insert("weakest", b.weakest ? QJsonValue(exam.subjects[std::size_t(*b.weakest)].name)
                                           : QJsonValue(QJsonValue::Null));
        borderline.append(object);
    }
    return {{"weak", weak},
            {"borderline", borderline},
            {"notes", QJsonArray::fromStringList(exam.notes)},
            {"rules", QJsonArray::fromStringList(examRules(exam))},
            {"failures", gradeFailuresJson(exam.failures)}};
}

// Writes one student by hand: a district's list is too long to be held as
// one tree of JSON values.
class StudentWriter {
public:
    explicit StudentWriter(QByteArray &out) : m_out(out) {}
    void key(const QString &name) {
        m_out += m_first ? "" : ",";
        m_first = false;
        string(name);
        m_out += ':';
    }
    void string(const QString &text) {
        m_out += '"';
        for (const char c : text.toUtf8()) {
            if (c == '"' || c == '\\') {
                m_out += '\\';
                m_out += c;
            } else if (c >= 0 && c < 0x20) {
                m_out += "\\u" + QByteArray::number(int(c), 16).rightJustified(4, '0');
            } else {
                m_out += c;
            }
        }
        m_out += '"';
    }
    void number(double value) {
        m_out += QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
    }
    void open() {
        m_out += '{';
        m_first = true;
    }
    void close() {
        m_out += '}';
        m_first = false;
    }
    template <typename Value> void map(const char *name, std::size_t count, const Value &value) {
        key(QLatin1String(name));
        open();
        for (std::size_t i = 0; i < count; ++i)
            value(i);
        close();
    }
    QByteArray &m_out;

private:
    bool m_first = true;
};

void writeStudent(StudentWriter &w, const ExamAnalysis &exam, const ExamStudent &s) {
    const auto subject = [&](std::size_t i) { return exam.subjects[i].name; };
    const auto total = [&](std::size_t i) { return exam.totals[i].name; };
    const auto orNull = [&](bool has, double value) {
        has ? w.number(value) : void(w.m_out += "null");
    };
    const std::size_t n = exam.subjects.size(), m = exam.totals.size();
    w.open();
    w.key(QStringLiteral("class"));
    w.string(exam.classes[std::size_t(s.classIndex)].name);
    w.key(QStringLiteral("number"));
    w.string(s.number);
    w.key(QStringLiteral("name"));
    w.string(s.name);
    w.map("scores", n, [&](std::size_t i) {
        w.key(subject(i));
        orNull(s.subjects[i].state == MarkState::Counted, s.subjects[i].score.toDouble());
    });
    w.map("states", n, [&](std::size_t i) {
        w.key(subject(i));
        w.string(markStateKey(s.subjects[i].state));
    });
    w.map("totals", m, [&](std::size_t i) {
        w.key(total(i));
        orNull(s.totals[i].value.has_value(), s.totals[i].value.value_or(Decimal()).toDouble());
    });
    const auto ranks = [&](const char *name, int SubjectMark::*own, int TotalMark::*ofTotal) {
        w.map(name, n + m, [&](std::size_t i) {
            const int rank = i < n ? s.subjects[i].*own : s.totals[i - n].*ofTotal;
            w.key(i < n ? subject(i) : total(i - n));
            orNull(rank != 0, rank);
        });
    };
    ranks("gradeRanks", &SubjectMark::gradeRank, &TotalMark::gradeRank);
    ranks("classRanks", &SubjectMark::classRank, &TotalMark::classRank);
    w.map("t", n + m, [&](std::size_t i) {
        const std::optional<double> &t = i < n ? s.subjects[i].t : s.totals[i - n].t;
        w.key(i < n ? subject(i) : total(i - n));
        orNull(t.has_value(), t.value_or(0));
    });
    w.close();
}

} // namespace

QByteArray examJson(const ExamAnalysis &exam) {
    QJsonObject root = headJson(exam);
    const QJsonObject lists = listsJson(exam);
    for (auto it = lists.begin(); it != lists.end(); ++it)
        root.insert(it.key(), it.value());
    QByteArray out = QJsonDocument(root).toJson(QJsonDocument::Compact);
    out.chop(1);
    out += ",\"students\":[";
    StudentWriter writer(out);
    for (std::size_t k = 0; k < exam.order.size(); ++k) {
        if (k) out += ',';
        writeStudent(writer, exam, exam.students[std::size_t(exam.order[k])]);
    }
    out += "]}";
    return out;
}

} // namespace analysis
