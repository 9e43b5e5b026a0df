#pragma once

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/slips/slipinput.h"
#include "analysis/slips/slipitems.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace analysis {

// Everything one student's slip says, as text: the student's own results and
// the class means, nothing about any other student.
struct SlipContent {
    QString title;                 // 成绩条 and the exam
    QString examLine;              // school, class, date
    QString studentLine;           // 学号 and 姓名
    QStringList header;            // 科目, then the items switched on
    std::vector<QStringList> rows; // a subject or total each
    QStringList notes;             // the 等级 cut-offs, the rank bands, the change, the remark
    QString preset;                // printed in small type
};

SlipContent slipContent(const SlipExam &exam, const SlipStudent &student,
                        const SlipOptions &options, const AnalysisSettings &settings);

// The rank bands, stated: each bound a share of the students ranked in the
// grade, the last band below the last bound.
inline constexpr int RankBandBounds[] = {10, 30, 50, 70};
QString rankBand(int rank, int ranked); // 年级前 10 %, …, 年级后 30 %; empty without a rank

} // namespace analysis
