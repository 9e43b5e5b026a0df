#pragma once

#include "analysis/exam/examanalysis.h"
#include "analysis/export/analysistables.h"

namespace analysis {

// The line every table that lists students carries in its header: they are
// teachers' documents.
QString teachersOnlyLine(); // "仅供教师使用，请勿公开"

// The exam laid out for people, the same for the terminal, .csv, .xlsx and
// the printed pages; figures rounded to two decimals.
struct ExamTables {
    Table scores;     // 成绩总表: every student, every subject and total, in `order`
    Table subjects;   // 学科分析: a row a subject, then a row a total
    Table classes;    // 班级对比: a row a class and subject or total
    Table rates;      // 各班得分率: class × subject and total, then 年级
    Table weak;       // 偏科
    Table borderline; // 临界生
    Table failures;   // the sources not read; no rows when there are none
    QStringList notes, rules;
};

ExamTables examTables(const ExamAnalysis &exam);

// Whether a table lists students and so carries teachersOnlyLine().
bool listsStudents(const ExamTables &tables, const Table &table);

// A mark as shown: the score, or 缺考, 免考, 无效, 未考.
QString markText(const SubjectMark &mark);

} // namespace analysis
