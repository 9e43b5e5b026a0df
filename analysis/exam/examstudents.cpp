#include "analysis/exam/examparts.h"

#include <algorithm>

namespace analysis {

namespace {

// T scores are sums of doubles: a gap of exactly 10 must not be lost to
// their last binary digit.
constexpr double Tolerance = 1e-9;

void orderStudents(ExamAnalysis &exam) {
    std::vector<int> ranked, rest;
    for (std::size_t i = 0; i < exam.students.size(); ++i)
        (exam.totals.empty() || !exam.students[i].totals[0].value ? rest : ranked)
            .push_back(int(i));
    std::stable_sort(ranked.begin(), ranked.end(), [&](int a, int b) {
        return exam.students[std::size_t(a)].totals[0].gradeRank <
               exam.students[std::size_t(b)].totals[0].gradeRank;
    });
    exam.order = std::move(ranked);
    exam.order.insert(exam.order.end(), rest.begin(), rest.end());
}

// The subject of lowest T among the first total's, the first of equals; the
// mean T over those that have one.
struct Weakest {
    std::optional<int> subject;
    double t = 0, meanT = 0;
    int withT = 0;
};

Weakest weakestOf(const ExamAnalysis &exam, const ExamStudent &student) {
    Weakest weakest;
    double sum = 0;
    for (const int s : exam.totals[0].subjects) {
        const std::optional<double> &t = student.subjects[std::size_t(s)].t;
        if (!t) continue;
        sum += *t;
        ++weakest.withT;
        if (!weakest.subject || *t < weakest.t) {
            weakest.subject = s;
            weakest.t = *t;
        }
    }
    if (weakest.withT) weakest.meanT = sum / weakest.withT;
    return weakest;
}

void borderlineOf(ExamAnalysis &exam, Borderline::Line line, const Decimal &score) {
    for (const int i : exam.order) {
        const ExamStudent &student = exam.students[std::size_t(i)];
        const std::optional<Decimal> &total = student.totals[0].value;
        if (!total || *total >= score) continue;
        const Decimal gap = decimalDifference(score, *total);
        if (gap > exam.marginScore) continue;
        exam.borderline.push_back({line, i, *total, gap, weakestOf(exam, student).subject});
    }
}

} // namespace

void studentLists(ExamAnalysis &exam, const ScoreLine &margin) {
    orderStudents(exam);
    if (exam.totals.empty()) return;
    const ExamTotal &total = exam.totals[0];
    exam.marginScore = margin.percent ? shareOf(total.fullMarks, *margin.percent) : margin.score;
    for (const int i : exam.order) {
        const ExamStudent &student = exam.students[std::size_t(i)];
        if (!student.totals[0].value) continue;
        const Weakest weakest = weakestOf(exam, student);
        if (weakest.withT > 1 && weakest.meanT - weakest.t >= 10.0 - Tolerance)
            exam.weak.push_back({i, *weakest.subject, weakest.t, weakest.meanT});
    }
    borderlineOf(exam, Borderline::Line::Excellent, total.grade.settings.excellent.score);
    borderlineOf(exam, Borderline::Line::Pass, total.grade.settings.pass.score);
}

} // namespace analysis
