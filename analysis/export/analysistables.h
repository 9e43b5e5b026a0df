#pragma once

#include "analysis/classanalysis/classanalysis.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace analysis {

// One cell of a printed or exported table: the text shown and, for a number,
// the value a spreadsheet cell holds (the shown value, rounded as shown).
struct TableCell {
    QString text;
    std::optional<double> number;
    bool twoDecimals = false; // a rounded figure, shown with two decimals
};

struct Table {
    QString title;
    QStringList header;
    std::vector<std::vector<TableCell>> rows;
};

// The analysis laid out for people, the same for the terminal, .csv and .xlsx.
struct AnalysisTables {
    Table ranking; // the ranked students, then the rows not counted
    Table figures; // 项目, 数值, 说明
    Table grades;  // 等级, 条件, 人数, 比率（%）
    Table bands;   // 分数段, 人数, 百分比（%）, from the top band down
    QStringList notes;
    QStringList rules;
};

AnalysisTables analysisTables(const ClassAnalysis &analysis);

// The cells of the tables: a text; a count; an exact score as typed, or 无;
// a figure rounded to two decimals, or 无.
TableCell textCell(const QString &value);
TableCell countCell(int value);
TableCell exactCell(const std::optional<Decimal> &value);
TableCell figureCell(const std::optional<double> &value);

// A band as "80≤成绩<90", the top band closed: "90≤成绩≤100".
QString bandName(const ScoreBand &band, bool top);

} // namespace analysis
