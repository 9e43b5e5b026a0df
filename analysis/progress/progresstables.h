#pragma once

#include "analysis/export/analysistables.h"
#include "analysis/progress/progressreport.h"

#include <QStringList>

namespace analysis {

// The comparison laid out for people, the same for the terminal, .csv and
// .xlsx. Every list names every student: a teachers' document.
struct ProgressTables {
    Table match;     // 对应方式, 人数
    Table conflicts; // 冲突, 学号, 姓名, 考试, 来源, 行
    Table onlyThis;  // 新增
    Table onlyLast;  // 缺少
    Table changes;   // one row per student of this exam
    Table classes;   // 班级, 进步, 退步, 稳定, 平均名次变化
    Table history;   // 历次成绩, with three or more exams
    QStringList notes;
    QStringList rules;
    // The subjects and totals compared, in the change table's order, ten
    // columns each after the first five; the trend follows trendItem (the
    // first total, −1: none).
    QStringList items;
    int trendItem = -1;
};

ProgressTables progressTables(const ProgressReport &report, const ExamAnalysis &current);

// The first line of every list of the comparison.
QString teachersOnly(); // 仅供教师使用，请勿公开

// Where the change table's trend column is, for colouring it, and how many
// columns each subject or total has in it after the first.
inline constexpr int ChangeTrendColumn = 4;
inline constexpr int ChangeColumnsPerItem = 10;

// The change table of one subject or total: 班级, 学号, 姓名, then 上次, 本次,
// 分数变化, 年级名次 and 班级名次 as "上次→本次", 名次变化, T分变化 and 百分位变化;
// with trend, 趋势 after the name and every student, else the matched ones.
Table itemChanges(const ProgressTables &tables, int item, bool trend);

} // namespace analysis
