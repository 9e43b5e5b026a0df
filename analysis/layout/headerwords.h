#pragma once

#include <QString>

namespace analysis {

// What a header cell names.
enum class HeaderKind {
    None,    // no header word, or a rank or grade of one subject
    Number,  // 学号, 考号, 准考证号, 学籍号, 编号
    Name,    // 姓名, 名字
    Class,   // 班级, 班别
    Subject, // a subject's name
    Score,   // 成绩, 分数, 得分 without a subject
    Total,   // 总分
    Rank,    // 名次, 排名 of the whole list
    Course,  // 科目, 课程, 学科: a long table's subject, one row per student and subject
    Remark,  // 评语, 寄语: the teacher's words for the student's slip
};

// A cell's text as the detection sees it: every kind of space (ordinary,
// ideographic, no-break, tab) and line break one ordinary space, runs of them
// one, both ends trimmed.
QString blankedText(const QString &text);

// What a header cell's text names. Words compare after removing spaces,
// full-width and half-width alike, and may carry a prefix or suffix
// ("语文成绩", "数学（150）"); a label with its value ("班级：3班"), a
// table's title ("成绩表") and a long text name nothing.
HeaderKind headerKind(const QString &text);

// Whether a header text names a score column: a subject, a score or the total.
inline bool isScoreKind(HeaderKind kind) {
    return kind == HeaderKind::Subject || kind == HeaderKind::Score || kind == HeaderKind::Total;
}

// Whether a row's first text opens the rows below the students: 平均, 合计,
// 总计, 最高, 最低, 制表, 审核, 备注, or average, total, sum, count, std.
bool isFooterText(const QString &text);

} // namespace analysis
