#include "analysis/classanalysis/classanalysis.h"

#include "analysis/classanalysis/ranking.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace analysis {

namespace {

// Sums are kept exact in integer units of 10^-scale; digits beyond the ninth
// decimal are dropped from the sums (never from the comparisons).
constexpr int MaximumScale = 9;

double tenToThe(int exponent) {
    return std::pow(10.0, exponent);
}

// Sorts the counted rows from the highest score down, equal scores in row
// order, and ranks them; returns the scores in that order.
std::vector<Decimal> rankStudents(ClassAnalysis &analysis) {
    // Positions are sorted, not the rows: a stable sort of the rows themselves
    // takes a buffer as large as them for every class and subject.
    std::vector<std::uint32_t> order(analysis.ranking.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = std::uint32_t(i);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return analysis.ranking[a].score > analysis.ranking[b].score;
    });
    std::vector<RankedStudent> sorted;
    sorted.reserve(order.size());
    for (const std::uint32_t i : order)
        sorted.push_back(std::move(analysis.ranking[i]));
    analysis.ranking = std::move(sorted);
    std::vector<Decimal> scores;
    scores.reserve(analysis.ranking.size());
    for (const RankedStudent &student : analysis.ranking)
        scores.push_back(student.score);
    const std::vector<int> ranks = ranksOfSorted(scores, analysis.settings.ranking);
    for (std::size_t i = 0; i < ranks.size(); ++i)
        analysis.ranking[i].rank = ranks[i];
    return scores;
}

// Each row counted or set aside by the state of its score cell.
void sortByState(ClassAnalysis &analysis, const std::vector<StudentRow> &rows) {
    analysis.ranking.reserve(rows.size());
    for (const StudentRow &row : rows) {
        const ScoreCell cell = readScoreCell(row.score, analysis.settings.fullMarks);
        switch (cell.state) {
        case ScoreCell::State::Counted:
            analysis.ranking.push_back({row, cell.value, 0});
            continue;
        case ScoreCell::State::Absent:
            ++analysis.absent;
            break;
        case ScoreCell::State::Exempt:
            ++analysis.exempt;
            break;
        case ScoreCell::State::Invalid:
            ++analysis.invalid;
            break;
        }
        analysis.uncounted.push_back({row, cell.state});
    }
    analysis.expected = int(rows.size());
    analysis.sat = int(analysis.ranking.size());
}

std::vector<StudentRow> studentsWith(const ClassAnalysis &analysis, const Decimal &score) {
    std::vector<StudentRow> students;
    for (const RankedStudent &student : analysis.ranking)
        if (student.score == score) students.push_back(student.student);
    return students;
}

// Total, mean, median, standard deviation, difficulty and discrimination,
// from the ranking (at least one score, highest first).
void scoreFigures(ClassAnalysis &analysis) {
    const std::vector<RankedStudent> &ranking = analysis.ranking;
    const std::int64_t n = std::int64_t(ranking.size());
    int scale = 0;
    for (const RankedStudent &student : ranking)
        scale = std::max(scale, std::min(student.score.fractionDigits(), MaximumScale));
    std::vector<std::int64_t> units;
    std::int64_t sum = 0;
    __int128 sumOfSquares = 0;
    for (const RankedStudent &student : ranking) {
        units.push_back(student.score.units(scale));
        sum += units.back();
        sumOfSquares += __int128(units.back()) * units.back();
    }
    const double unit = tenToThe(scale);
    const double fullMarks = analysis.settings.fullMarks.toDouble();
    // The total keeps every digit; the other figures are rounded in the end anyway.
    analysis.total = Decimal();
    for (const RankedStudent &student : ranking)
        analysis.total = *analysis.total + student.score;
    analysis.highest = ranking.front().score;
    analysis.lowest = ranking.back().score;
    analysis.highestStudents = studentsWith(analysis, *analysis.highest);
    analysis.lowestStudents = studentsWith(analysis, *analysis.lowest);
    analysis.mean = double(sum) / (double(n) * unit);
    const std::size_t middle = std::size_t(n / 2);
    analysis.median = n % 2 ? double(units[middle]) / unit
                            : double(units[middle - 1] + units[middle]) / (2 * unit);
    // Population variance as one exact fraction: (n Σx² − (Σx)²) / n².
    const __int128 spread = __int128(n) * sumOfSquares - __int128(sum) * sum;
    analysis.standardDeviation = std::sqrt(double(spread)) / (double(n) * unit);
    analysis.difficulty = *analysis.mean / fullMarks;
    if (n < 4) return;
    const std::int64_t k = std::max<std::int64_t>(1, (27 * n + 50) / 100);
    std::int64_t top = 0, bottom = 0;
    for (std::int64_t i = 0; i < k; ++i) {
        top += units[std::size_t(i)];
        bottom += units[std::size_t(n - 1 - i)];
    }
    analysis.discriminationGroup = int(k);
    analysis.discrimination = double(top - bottom) / (double(k) * unit) / fullMarks;
}

void gradeCounts(ClassAnalysis &analysis) {
    const AnalysisSettings &s = analysis.settings;
    for (const RankedStudent &student : analysis.ranking) {
        const Decimal &score = student.score;
        analysis.excellent.count += score >= s.excellent.score;
        analysis.good.count += score >= s.good.score && score < s.excellent.score;
        analysis.pass.count += score >= s.pass.score;
        analysis.fail.count += score < s.pass.score;
        analysis.low.count += score < s.low.score;
        analysis.excellentOrGood.count += score >= s.good.score;
    }
    if (analysis.sat == 0) return;
    for (GradeCount *grade : {&analysis.excellent, &analysis.good, &analysis.pass, &analysis.fail,
                              &analysis.low, &analysis.excellentOrGood})
        grade->rate = double(grade->count) * 100.0 / double(analysis.sat);
}

void addNotes(ClassAnalysis &analysis) {
    if (analysis.sat == 0)
        analysis.notes.append(QStringLiteral("没有可计入的成绩：总分、平均分、最高分、最低分、"
                                             "中位数、标准差、难度、区分度和各项比率都为无。"));
    else if (analysis.sat < 4)
        analysis.notes.append(QStringLiteral("实考人数少于4人，不计算区分度。"));
    if (analysis.absent + analysis.exempt + analysis.invalid > 0)
        analysis.notes.append(
            QStringLiteral("缺考%1人、免考%2人、无效成绩%3人，都不计入本分析；主窗口的九项统计"
                           "把空白或不是数字的成绩算作0分，所以与本分析不同。")
                .arg(analysis.absent)
                .arg(analysis.exempt)
                .arg(analysis.invalid));
    const bool fractions =
        std::any_of(analysis.ranking.begin(), analysis.ranking.end(),
                    [](const RankedStudent &s) { return s.score.fractionDigits(); });
    if (fractions)
        analysis.notes.append(QStringLiteral("有带小数的成绩：本分析按原值计算，主窗口的九项统计"
                                             "先把成绩取整，所以与本分析不同。"));
}

} // namespace

ClassAnalysis analyseClass(AnalysisInput input, const AnalysisSettings &settings) {
    ClassAnalysis analysis;
    analysis.settings = settings;
    analysis.notes = input.notes;
    sortByState(analysis, input.rows);
    const std::vector<Decimal> scores = rankStudents(analysis);
    if (!analysis.ranking.empty()) scoreFigures(analysis);
    gradeCounts(analysis);
    analysis.bands = scoreBands(scores, settings.fullMarks, settings.bandWidth);
    addNotes(analysis);
    return analysis;
}

} // namespace analysis
