#pragma once

#include "analysis/classanalysis/decimal.h"
#include "analysis/exam/examanalysis.h"
#include "analysis/progress/studentmatch.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace analysis {

// A subject or total that both exams have, by its name.
struct ProgressItem {
    QString name;
    bool total = false;
    int lastIndex = 0, thisIndex = 0; // into that exam's subjects or totals
};

// One matched student's change in one subject or total. A side without a
// counted score has no score, rank, T or percentile, and there is no change.
struct ProgressChange {
    std::optional<Decimal> last, current;
    std::optional<SignedDecimal> scoreChange; // 本次 − 上次
    int lastGradeRank = 0, thisGradeRank = 0, lastClassRank = 0, thisClassRank = 0; // 0: none
    std::optional<int> rankChange; // 上次名次 − 本次名次: above 0 is 进步
    std::optional<double> tChange; // 本次 T − 上次 T
    // 名次百分位 = grade rank ÷ students ranked in it × 100, lower is better;
    // the change is 上次 − 本次, above 0 is 进步, as the rank change.
    std::optional<double> lastPercentile, thisPercentile, percentileChange;
};

enum class Trend { None, Up, Down, Steady };

// One student of this exam, in this exam's order.
struct ProgressStudent {
    int student = 0; // into this exam's students
    int last = -1;   // into the last exam's students; −1: 无上次成绩
    MatchedBy matchedBy = MatchedBy::None;
    std::vector<ProgressChange> changes; // by ProgressReport::items; empty when unmatched
    Trend trend = Trend::None;           // by the first total's grade rank change
};

// A class of this exam: its matched students' trends in the first total.
struct ProgressClass {
    QString name;
    int up = 0, down = 0, steady = 0;
    std::optional<double> meanRankChange;
};

// One exam of a student's history (历次成绩), the first total's.
struct HistoryPoint {
    std::optional<Decimal> total;
    int gradeRank = 0; // 0: no rank, or not matched in that exam
};

struct ProgressReport {
    QStringList examNames;                                // as the teacher gave them, in time order
    std::vector<MatchStudent> lastStudents, thisStudents; // what the match saw
    StudentMatch match;                                   // the last two exams
    std::vector<ProgressItem> items;                      // subjects, then totals
    std::vector<ProgressStudent> students;                // every student of this exam
    std::vector<ProgressClass> classes;                   // this exam's classes, in its order
    double steadyShare = 5;                               // percent of the students ranked in both
    int rankedInBoth = 0;  // matched, with a first-total grade rank in both
    double steadyBand = 0; // |rank change| at most this: 稳定
    // With three or more exams: per student of this exam, one point per exam.
    std::vector<std::vector<HistoryPoint>> history;
    QStringList notes;
};

// Each exam's students as the matching sees them; the class by name and the
// source by its label.
std::vector<MatchStudent> matchStudentsOf(const ExamAnalysis &exam, const ExamRequest &request);

// Compares the last two exams (in time order, at least two) and follows each
// student of this exam back through the earlier ones for the history.
// steadyShare: the 稳定 band in percent of the students ranked in both.
ProgressReport compareExams(const std::vector<const ExamAnalysis *> &exams,
                            const std::vector<const ExamRequest *> &requests,
                            const QStringList &examNames, double steadyShare = 5);

// The 口径说明 of the comparison: the matching rule, the signs and the band.
QStringList progressRules(const ProgressReport &report);

// "进步 5 名", "退步 3 名" or "持平".
QString rankChangeText(int change);
// The change with its sign: "+5", "−3.5", "0".
QString signedText(const SignedDecimal &value);
QString trendText(Trend trend); // 进步, 退步, 稳定 or 暂无对比
QString trendKey(Trend trend);  // "up", "down", "steady" or empty for none
QString conflictText(ConflictKind kind);
QString conflictKey(ConflictKind kind);

} // namespace analysis
