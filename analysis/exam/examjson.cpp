#include "analysis/exam/examjson.h"

#include "analysis/export/analysisjson.h"
#include "analysis/export/jsonlist.h"
#include "analysis/grade/gradejson.h"
#include "analysis/texts/wellformed.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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
            {"subjects",
             classFiguresJson(c.subjects, [&](std::size_t i) { return exam.subjects[i].name; })},
            {"totals",
             classFiguresJson(c.totals, [&](std::size_t i) { return exam.totals[i].name; })}});
    return {{"subjects", subjects}, {"totals", totals}, {"classes", classes}};
}

// Opens a student's object with what identifies them.
void appendStudent(JsonText &out, const ExamAnalysis &exam, const ExamStudent &s) {
    appendJsonStudent(out, exam.classes[std::size_t(s.classIndex)].name, s.number, s.name);
}

// The 偏科 and 临界生 lists, written by hand: with a district's students they
// are thousands of entries long.
JsonText studentListsJson(const ExamAnalysis &exam) {
    JsonText out;
    out += "\"weak\":[";
    const auto subjectName = [&](int subject) {
        appendJsonString(out, exam.subjects[std::size_t(subject)].name);
    };
    for (std::size_t i = 0; i < exam.weak.size(); ++i) {
        const WeakSubject &w = exam.weak[i];
        if (i) out += ',';
        appendStudent(out, exam, exam.students[std::size_t(w.student)]);
        out += ",\"subject\":";
        subjectName(w.subject);
        out += ",\"t\":";
        appendJsonNumber(out, w.t);
        out += ",\"meanT\":";
        appendJsonNumber(out, w.meanT);
        out += '}';
    }
    out += "],\"borderline\":[";
    for (std::size_t i = 0; i < exam.borderline.size(); ++i) {
        const Borderline &b = exam.borderline[i];
        if (i) out += ',';
        appendStudent(out, exam, exam.students[std::size_t(b.student)]);
        out += b.line == Borderline::Line::Excellent ? ",\"line\":\"excellent\""
                                                     : ",\"line\":\"pass\"";
        out += ",\"total\":";
        appendJsonNumber(out, b.total.toDouble());
        out += ",\"gap\":";
        appendJsonNumber(out, b.gap.toDouble());
        out += ",\"weakest\":";
        if (b.weakest)
            subjectName(*b.weakest);
        else
            out += "null";
        out += '}';
    }
    out += ']';
    return out;
}

// Writes the students by hand, a piece at a time: a district's list is too
// long to be held as one tree of JSON values, or as one text.
class StudentWriter {
public:
    explicit StudentWriter(const ExamAnalysis &exam) {
        for (const ExamSubject &subject : exam.subjects)
            m_subjects.push_back(keyOf(subject.name));
        for (const ExamTotal &total : exam.totals)
            m_totals.push_back(keyOf(total.name));
        for (const MarkState state : {MarkState::Counted, MarkState::Absent, MarkState::Exempt,
                                      MarkState::Invalid, MarkState::NotTaken})
            m_states.push_back(text(markStateKey(state)));
    }
    void write(const ExamAnalysis &exam, const ExamStudent &s, JsonText &out) const;

private:
    static QByteArray text(const QString &value) {
        QByteArray out;
        appendJsonString(out, value);
        return out;
    }
    static QByteArray keyOf(const QString &name) { return text(name) + ':'; }
    const QByteArray &key(std::size_t i) const {
        return i < m_subjects.size() ? m_subjects[i] : m_totals[i - m_subjects.size()];
    }
    // "name":{"key":value,…} over count keys from the first subject on.
    template <typename Value>
    void map(JsonText &out, const char *name, std::size_t count, const Value &value) const {
        out += ",\"";
        out += name;
        out += "\":{";
        for (std::size_t i = 0; i < count; ++i) {
            if (i) out += ',';
            out += key(i);
            value(i);
        }
        out += '}';
    }

    std::vector<QByteArray> m_subjects, m_totals, m_states;
};

void StudentWriter::write(const ExamAnalysis &exam, const ExamStudent &s, JsonText &out) const {
    const auto orNull = [&](bool has, double value) {
        appendJsonNumber(out, has ? std::optional<double>(value) : std::nullopt);
    };
    const std::size_t n = exam.subjects.size(), m = exam.totals.size();
    appendStudent(out, exam, s);
    map(out, "scores", n, [&](std::size_t i) {
        orNull(s.subjects[i].state == MarkState::Counted, s.subjects[i].score.toDouble());
    });
    map(out, "states", n,
        [&](std::size_t i) { out += m_states[std::size_t(s.subjects[i].state)]; });
    out += ",\"totals\":{";
    for (std::size_t i = 0; i < m; ++i) {
        out += i ? "," : "";
        out += m_totals[i];
        orNull(s.totals[i].value.has_value(), s.totals[i].value.value_or(Decimal()).toDouble());
    }
    out += '}';
    const auto ranks = [&](const char *name, int SubjectMark::*own, int TotalMark::*ofTotal) {
        map(out, name, n + m, [&](std::size_t i) {
            const int rank = i < n ? s.subjects[i].*own : s.totals[i - n].*ofTotal;
            orNull(rank != 0, rank);
        });
    };
    ranks("gradeRanks", &SubjectMark::gradeRank, &TotalMark::gradeRank);
    ranks("classRanks", &SubjectMark::classRank, &TotalMark::classRank);
    map(out, "t", n + m, [&](std::size_t i) {
        const std::optional<double> &t = i < n ? s.subjects[i].t : s.totals[i - n].t;
        orNull(t.has_value(), t.value_or(0));
    });
    out += '}';
}

} // namespace

void writeExamJson(const ExamAnalysis &exam, const std::function<void(const QByteArray &)> &write) {
    QJsonObject root = headJson(exam);
    root.insert("notes", QJsonArray::fromStringList(exam.notes));
    root.insert("rules", QJsonArray::fromStringList(examRules(exam)));
    root.insert("failures", gradeFailuresJson(exam.failures));
    const StudentWriter writer(exam);
    writeJsonWithList(
        root, "students", exam.order.size(),
        [&](std::size_t k, JsonText &out) {
            writer.write(exam, exam.students[std::size_t(exam.order[k])], out);
        },
        write, studentListsJson(exam));
}

QByteArray examJson(const ExamAnalysis &exam) {
    QByteArray whole;
    writeExamJson(exam, [&](const QByteArray &piece) { whole += piece; });
    return whole;
}

} // namespace analysis
