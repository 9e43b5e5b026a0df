#pragma once

// The messages of the exam analysis (every subject at once).

#include <QString>

namespace analysis::messages {

inline QString examColumnInvalid(const QString &text) {
    return QStringLiteral("列号输入有误：%1（请输入从1起的列号或A、B、AA这样的列字母）！")
        .arg(text);
}
inline QString examNoScoreColumns() {
    return QStringLiteral("没有给出成绩所在的列（--score-columns 或 --columns auto）！");
}
inline QString examLongTableScores() {
    return QStringLiteral("一行一科的成绩表只有一个成绩列，请只给出一列！");
}
inline QString examLongTableRead(const QString &source, const QString &column) {
    return QStringLiteral("%1是一行一科的成绩表，按%2列的科目分列读取；"
                          "没有某科成绩行的学生按未考该科计。")
        .arg(source, column);
}
inline QString examLongRowWithoutSubject(const QString &source, int row) {
    return QStringLiteral("%1第%2行没有科目，未计入。").arg(source).arg(row);
}
inline QString examLongRowRepeated(const QString &source, int row, const QString &number,
                                   const QString &name, const QString &subject) {
    return QStringLiteral("%1第%2行：%3 %4的%5已有成绩，重复的这一行未计入。")
        .arg(source)
        .arg(row)
        .arg(number, name, subject);
}
inline QString examPlainLine() {
    return QStringLiteral("多个学科时分数线须按满分的百分比给出（如85%），各学科按各自满分换算！");
}
inline QString examFullMarksInvalid(const QString &text) {
    return QStringLiteral("学科满分输入有误：%1（请写成 学科=分数，分数为1到1000，最多两位小数）！")
        .arg(text);
}
inline QString examUnknownSubject(const QString &subject) {
    return QStringLiteral("没有名为“%1”的学科！").arg(subject);
}
inline QString examTotalInvalid(const QString &text) {
    return QStringLiteral("总分输入有误：%1（请写成 名称=学科+学科+…）！").arg(text);
}
inline QString examMarginInvalid() {
    return QStringLiteral("临界分差输入有误：请输入0以上的分数或满分的百分比（如5%）！");
}
inline QString examLayoutMissing() {
    return QStringLiteral("没有找到学号、姓名和成绩的表头，请给出数据起始行和各列！");
}
inline QString examNoSources() {
    return QStringLiteral("请先添加考试成绩的工作簿或其所在的文件夹！");
}
inline QString examNotYet() {
    return QStringLiteral("尚无考试分析结果。请先添加考试成绩的工作簿，再按“计　算”。");
}
inline QString examNoTotal() {
    return QStringLiteral("请至少勾选一个计入总分的学科，或在“其他总分”中写出一个总分！");
}
inline QString examNothingRead() {
    return QStringLiteral("没有可以分析的成绩：每个来源都未能读取！");
}
inline QString examNoSubject() {
    return QStringLiteral("没有可以分析的成绩：给出的成绩列在各来源中都不存在！");
}
inline QString examExportNameInvalid(const QString &path) {
    return QStringLiteral("导出文件名须以.xlsx、.csv或.pdf结尾：%1").arg(path);
}

} // namespace analysis::messages
