#include "analysis/progress/progressreport.h"

#include <cmath>
#include <cstdlib>

namespace analysis {

std::vector<MatchStudent> matchStudentsOf(const ExamAnalysis &exam, const ExamRequest &request) {
    std::vector<MatchStudent> students;
    students.reserve(exam.students.size());
    for (const ExamStudent &s : exam.students) {
        const std::size_t source = std::size_t(s.source);
        students.push_back(
            {s.number, s.name, exam.classes[std::size_t(s.classIndex)].name,
             source < request.sources.size() ? request.sources[source].label : QString(), s.row});
    }
    return students;
}

namespace {

// One side of a change: a subject's or a total's mark, read alike.
struct Side {
    std::optional<Decimal> score;
    int gradeRank = 0, classRank = 0;
    std::optional<double> t;
};

Side sideOf(const ExamStudent &s, const ProgressItem &item, bool current) {
    const std::size_t i = std::size_t(current ? item.thisIndex : item.lastIndex);
    if (item.total) {
        const TotalMark &m = s.totals[i];
        if (!m.value) return {};
        return {m.value, m.gradeRank, m.classRank, m.t};
    }
    const SubjectMark &m = s.subjects[i];
    if (m.state != MarkState::Counted) return {};
    return {m.score, m.gradeRank, m.classRank, m.t};
}

SignedDecimal difference(const Decimal &from, const Decimal &to) {
    const int scale = std::max(from.fractionDigits(), to.fractionDigits());
    const std::int64_t d = to.units(scale) - from.units(scale);
    return {d < 0, Decimal::fromScaled(d < 0 ? -d : d, scale)};
}

ProgressChange changeOf(const Side &last, const Side &current, int lastRanked, int thisRanked) {
    ProgressChange c{last.score,
                     current.score,
                     {},
                     last.gradeRank,
                     current.gradeRank,
                     last.classRank,
                     current.classRank,
                     {},
                     {},
                     {},
                     {},
                     {}};
    if (last.score && current.score) c.scoreChange = difference(*last.score, *current.score);
    if (last.gradeRank > 0 && current.gradeRank > 0)
        c.rankChange = last.gradeRank - current.gradeRank;
    if (last.t && current.t) c.tChange = *current.t - *last.t;
    if (last.gradeRank > 0 && lastRanked > 0)
        c.lastPercentile = 100.0 * last.gradeRank / lastRanked;
    if (current.gradeRank > 0 && thisRanked > 0)
        c.thisPercentile = 100.0 * current.gradeRank / thisRanked;
    if (c.lastPercentile && c.thisPercentile)
        c.percentileChange = *c.lastPercentile - *c.thisPercentile;
    return c;
}

// The names of `from` that `in` lacks, each as a note.
template <typename List>
void noteMissing(QStringList &notes, const List &from, const List &in, const QString &kind,
                 const QString &only) {
    for (const auto &a : from) {
        bool found = false;
        for (const auto &b : in)
            found = found || b.name == a.name;
        if (!found) notes << QStringLiteral("%1“%2”只有%3有，不作比较。").arg(kind, a.name, only);
    }
}

template <typename List>
void addItems(std::vector<ProgressItem> &items, const List &last, const List &current, bool total) {
    for (std::size_t t = 0; t < current.size(); ++t)
        for (std::size_t l = 0; l < last.size(); ++l)
            if (last[l].name == current[t].name) {
                items.push_back({current[t].name, total, int(l), int(t)});
                break;
            }
}

// How many students each item ranks in the grade, in one exam.
std::vector<int> rankedCounts(const ExamAnalysis &exam, const std::vector<ProgressItem> &items,
                              bool current) {
    std::vector<int> counts(items.size(), 0);
    for (const ExamStudent &s : exam.students)
        for (std::size_t i = 0; i < items.size(); ++i)
            counts[i] += sideOf(s, items[i], current).gradeRank > 0;
    return counts;
}

int firstTotal(const std::vector<ProgressItem> &items) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].total) return int(i);
    return -1;
}

void addChanges(ProgressReport &report, const ExamAnalysis &last, const ExamAnalysis &current) {
    const std::vector<int> lastRanked = rankedCounts(last, report.items, false),
                           thisRanked = rankedCounts(current, report.items, true);
    report.students.reserve(current.students.size());
    for (std::size_t t = 0; t < current.students.size(); ++t) {
        ProgressStudent s{int(t), report.match.lastOf[t], report.match.matchedBy[t], {}, {}};
        if (s.last >= 0)
            for (std::size_t i = 0; i < report.items.size(); ++i)
                s.changes.push_back(
                    changeOf(sideOf(last.students[std::size_t(s.last)], report.items[i], false),
                             sideOf(current.students[t], report.items[i], true), lastRanked[i],
                             thisRanked[i]));
        report.students.push_back(std::move(s));
    }
}

void addTrends(ProgressReport &report, const ExamAnalysis &current) {
    const int total = firstTotal(report.items);
    report.classes.resize(current.classes.size());
    for (std::size_t c = 0; c < current.classes.size(); ++c)
        report.classes[c].name = current.classes[c].name;
    if (total < 0) return;
    for (const ProgressStudent &s : report.students)
        if (!s.changes.empty() && s.changes[std::size_t(total)].rankChange) ++report.rankedInBoth;
    report.steadyBand = report.steadyShare / 100.0 * report.rankedInBoth;
    std::vector<double> sums(report.classes.size(), 0);
    for (ProgressStudent &s : report.students) {
        if (s.changes.empty() || !s.changes[std::size_t(total)].rankChange) continue;
        const int change = *s.changes[std::size_t(total)].rankChange;
        s.trend = std::abs(change) <= report.steadyBand ? Trend::Steady
                  : change > 0                          ? Trend::Up
                                                        : Trend::Down;
        const std::size_t c = std::size_t(current.students[std::size_t(s.student)].classIndex);
        ProgressClass &pc = report.classes[c];
        (s.trend == Trend::Steady ? pc.steady : s.trend == Trend::Up ? pc.up : pc.down) += 1;
        sums[c] += change;
    }
    for (std::size_t c = 0; c < report.classes.size(); ++c) {
        const int n = report.classes[c].up + report.classes[c].down + report.classes[c].steady;
        if (n > 0) report.classes[c].meanRankChange = sums[c] / n;
    }
}

HistoryPoint pointOf(const ExamAnalysis &exam, int student, const QString &total) {
    if (student < 0) return {};
    for (std::size_t i = 0; i < exam.totals.size(); ++i)
        if (exam.totals[i].name == total) {
            const TotalMark &m = exam.students[std::size_t(student)].totals[i];
            return {m.value, m.value ? m.gradeRank : 0};
        }
    return {};
}

// Each student of the last exam followed back, pair of exams by pair, with
// the same matching rule.
void addHistory(ProgressReport &report, const std::vector<const ExamAnalysis *> &exams,
                const std::vector<const ExamRequest *> &requests) {
    const int total = firstTotal(report.items);
    if (exams.size() < 3 || total < 0) return;
    const QString name = report.items[std::size_t(total)].name;
    const std::size_t n = exams.size();
    std::vector<int> at(exams[n - 1]->students.size());
    for (std::size_t t = 0; t < at.size(); ++t)
        at[t] = int(t);
    report.history.assign(at.size(), std::vector<HistoryPoint>(n));
    for (std::size_t e = n; e-- > 0;) {
        if (e + 2 < n) {
            const StudentMatch m = matchStudents(matchStudentsOf(*exams[e], *requests[e]),
                                                 matchStudentsOf(*exams[e + 1], *requests[e + 1]));
            for (int &i : at)
                i = i < 0 ? -1 : m.lastOf[std::size_t(i)];
        } else if (e + 2 == n) {
            for (int &i : at)
                i = i < 0 ? -1 : report.match.lastOf[std::size_t(i)];
        }
        for (std::size_t t = 0; t < at.size(); ++t)
            report.history[t][e] = pointOf(*exams[e], at[t], name);
    }
}

} // namespace

ProgressReport compareExams(const std::vector<const ExamAnalysis *> &exams,
                            const std::vector<const ExamRequest *> &requests,
                            const QStringList &examNames, double steadyShare) {
    ProgressReport report;
    report.examNames = examNames;
    report.steadyShare = steadyShare;
    if (exams.size() < 2 || requests.size() != exams.size()) return report;
    const ExamAnalysis &last = *exams[exams.size() - 2], &current = *exams.back();
    report.lastStudents = matchStudentsOf(last, *requests[exams.size() - 2]);
    report.thisStudents = matchStudentsOf(current, *requests.back());
    report.match = matchStudents(report.lastStudents, report.thisStudents);
    addItems(report.items, last.subjects, current.subjects, false);
    addItems(report.items, last.totals, current.totals, true);
    const QString thisExam = QStringLiteral("本次考试"), lastExam = QStringLiteral("上次考试");
    noteMissing(report.notes, current.subjects, last.subjects, QStringLiteral("科目"), thisExam);
    noteMissing(report.notes, last.subjects, current.subjects, QStringLiteral("科目"), lastExam);
    noteMissing(report.notes, current.totals, last.totals, QStringLiteral("总分"), thisExam);
    noteMissing(report.notes, last.totals, current.totals, QStringLiteral("总分"), lastExam);
    if (firstTotal(report.items) < 0)
        report.notes << QStringLiteral("两次考试没有同名的总分，不判断进步、退步或稳定。");
    addChanges(report, last, current);
    addTrends(report, current);
    addHistory(report, exams, requests);
    return report;
}

} // namespace analysis
