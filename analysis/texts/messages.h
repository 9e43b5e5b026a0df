#pragma once

#include <QString>

// Every message the commands show, in one place so that the front ends and the
// tests use the same texts.
namespace analysis::messages {

// Caption of every message box.
inline QString applicationTitle() {
    return QStringLiteral("墨序成绩分析软件");
}

// Import failures, chosen by the failure number.
inline QString cannotOpenWorkbook() {
    return QStringLiteral("无法打开Excel文件，请检查后重新输入文件名及路径！");
}
inline QString sheetNotFound() {
    return QStringLiteral("输入表格名称有误，无法打开表格，请重新输入！");
}
inline QString notAWorkbook() {
    return QStringLiteral("文件类型不对，请选择Excel文档！");
}
inline QString columnOutOfRange() {
    return QStringLiteral("输入表格列号超界，请重新输入！");
}
// Any other number: the number in decimal with a leading blank when it is not
// negative, closed by a text that begins with an ideographic space.
QString unknownImportError(int number);

// Import settings that can't be used, caught before anything is read. The
// range named is the one in which all 100 rows fit below sheet row 32768;
// a first row past it reads up to row 32767 and stops with failure 6.
inline QString firstRowInvalid() {
    return QStringLiteral("数据起始行输入有误，请输入1到32668之间的行号！");
}

// Statistics checks, in the order they are made.
inline QString classSizeMissing() {
    return QStringLiteral("您还没有输入班级人数");
}
inline QString excellentBandMissing() {
    return QStringLiteral("您还没有输入优秀分数段");
}
inline QString goodBandMissing() {
    return QStringLiteral("您还没有输入良好秀分数段");
}
inline QString excellentBandOutOfRange() {
    return QStringLiteral("优秀分数段数值超界，请输入-32768到32767之间的数值！！！");
}
inline QString excellentBandReversed() {
    return QStringLiteral("优秀分数段数值输入错误，请正确输入数值！！！");
}
inline QString goodBandOutOfRange() {
    return QStringLiteral("良好分数段数值超界，请输入-32768到32767之间的数值！！！");
}
inline QString goodBandReversed() {
    return QStringLiteral("良好分数段数值输入错误，请正确输入数值！！！");
}
inline QString classSizeOutOfRange() {
    return QStringLiteral("班级人数输入有误，请输入1到100之间的人数！");
}
// gridRow counts from 1, as the teacher sees the rows.
QString scoreOutOfRange(int gridRow);

// Settings of the class analysis, in the order they are checked.
inline QString fullMarksInvalid() {
    return QStringLiteral("满分输入有误，请输入1到1000之间的分数（最多两位小数）！");
}
// lineName: 优秀线, 良好线, 及格线 or 低分线.
QString scoreLineInvalid(const QString &lineName);
inline QString scoreLinesOutOfOrder() {
    return QStringLiteral("分数线输入有误，须满足：低分线 ≤ 及格线 ≤ 良好线 ≤ 优秀线！");
}
inline QString bandWidthInvalid() {
    return QStringLiteral("分数段宽度输入有误，请输入1到满分之间的分数（最多两位小数）！");
}
inline QString rankingStyleInvalid() {
    return QStringLiteral("名次方式输入有误，请输入competition（同分并列，其后名次空出：1、1、3）"
                          "或dense（同分并列，其后名次接续：1、1、2）！");
}

// Export of the class analysis; path is the file named for the export.
QString exportNameInvalid(const QString &path);
QString exportIsDirectory(const QString &path);
QString exportIsSourceWorkbook(const QString &path);
QString exportCannotWrite(const QString &path);
QString exportDiskFull(const QString &path);
QString exportNameTooLong(const QString &path);
QString exportNotAFile(const QString &path);
inline QString xlsxWriterMissing() {
    return QStringLiteral("无法载入libxlsxwriter，不能导出.xlsx文件，请安装libxlsxwriter4！");
}

// The comparison of a grade's classes.
inline QString gradeExportNameInvalid(const QString &path) {
    return QStringLiteral("导出文件名须以.xlsx或.csv结尾：%1").arg(path);
}
inline QString folderWithoutWorkbooks() {
    return QStringLiteral(
        "文件夹中没有工作簿（.xls、.xlsx、.xlsm、.ods、.et、.ett、.csv或.txt文件）！");
}
inline QString folderUnlistable(const QString &folder) {
    return QStringLiteral("无法列出文件夹中的文件，请检查是否允许读取：%1").arg(folder);
}
inline QString sourceRepeated(const QString &first) {
    return QStringLiteral("与来源%1是同一个文件的同一个表，只计一次！").arg(first);
}
inline QString nothingCompared() {
    return QStringLiteral("没有可以比较的班级：每个来源都未能读取！");
}
inline QString sourceInvalid(const QString &source) {
    return QStringLiteral("无法识别的来源：%1（@之后只能有first-row、number-column、name-column、"
                          "score-column）")
        .arg(source);
}

// The grade window.
inline QString noSourcesToCompare() {
    return QStringLiteral("请先添加各班的工作簿或其所在的文件夹！");
}
inline QString noComparisonYet() {
    return QStringLiteral("尚无对比结果。请先添加各班的工作簿，再按“计　算”。");
}

// The report window's pages before the main window holds any score.
inline QString reportWithoutScores() {
    return QStringLiteral(
        "尚无成绩数据。请先在主窗口导入工作簿（或在表格中录入成绩）；主窗口的表格、"
        "班级人数和分数段一有改动，本报告随即更新。");
}

// Command lines score-report cannot understand; option is as typed.
inline QString unknownOption(const QString &option) {
    return QStringLiteral("无法识别的选项：%1").arg(option);
}
inline QString optionWithoutValue(const QString &option) {
    return QStringLiteral("选项%1需要一个值").arg(option);
}
inline QString bandOptionInvalid(const QString &option) {
    return QStringLiteral("%1的值须为“下限:上限”").arg(option);
}
inline QString sortColumnInvalid() {
    return QStringLiteral("--sort-column的值须为0、1或2");
}
inline QString secondWorkbook() {
    return QStringLiteral("只能给出一个工作簿");
}
inline QString noWorkbook() {
    return QStringLiteral("没有给出工作簿");
}
inline QString noClassesToCompare() {
    return QStringLiteral("没有给出要比较的班级");
}

} // namespace analysis::messages

// Notes of the layout detection: what it found where, and what it did not.
namespace analysis::messages {
inline QString layoutHeaderFound(const QString &sheet, int row) {
    return QStringLiteral("在工作表“%1”第%2行找到表头").arg(sheet).arg(row);
}
inline QString layoutSheetGuessed(const QString &sheet) {
    return QStringLiteral("各工作表都没有表头，按工作表“%1”的内容推断").arg(sheet);
}
inline QString layoutNoHeader() {
    return QStringLiteral("前20行中没有表头行，各列按内容推断，请核对");
}
inline QString layoutColumnMissing(const QString &what) {
    return QStringLiteral("未找到%1列").arg(what);
}
inline QString layoutColumnGuessed(const QString &what, int column) {
    return QStringLiteral("%1列按内容推断为第%2列").arg(what).arg(column);
}
inline QString layoutLongTable(int column) {
    return QStringLiteral("第%1列是科目：一行一科的成绩表，考试分析按科目分列读取").arg(column);
}
inline QString longTableElsewhere(const QString &sheet, int column) {
    return QStringLiteral("工作表“%1”是一行一科的成绩表（第%2列是科目），请在“成绩分析报告”窗口按"
                          "“考试分析”打开。")
        .arg(sheet)
        .arg(column);
}
inline QString layoutDataRunsOn(int row) {
    return QStringLiteral("只查看到第%1行，数据末行未定").arg(row);
}
inline QString layoutIncomplete(const QString &source) {
    return QStringLiteral("未能在%1中自动找到学号、姓名和成绩所在的列，请给出数据起始行和各列")
        .arg(source);
}
inline QString layoutUsed(const QString &sheet, int firstRow, int number, int name, int score) {
    return QStringLiteral("自动识别：工作表“%1”，数据起始行%2，学号第%3列，姓名第%4列，成绩第%5列")
        .arg(sheet)
        .arg(firstRow)
        .arg(number)
        .arg(name)
        .arg(score);
}
inline QString layoutNoSheet() {
    return QStringLiteral("工作簿中没有工作表");
}

// A slip for each student.
inline QString slipExportNameInvalid(const QString &path) {
    return QStringLiteral("成绩条的导出文件名须以.pdf或.xlsx结尾：%1").arg(path);
}
inline QString slipPresetInvalid() {
    return QStringLiteral("成绩条预设输入有误，请输入compulsory（义务教育）或senior（高中）！");
}
inline QString slipItemsInvalid() {
    return QStringLiteral("成绩条项目输入有误，请输入以逗号分隔的score、grade、classRank、"
                          "gradeRank、band、change、classMean，每项最多一次！");
}
inline QString slipFolderInvalid(const QString &folder) {
    return QStringLiteral("无法写入成绩条文件夹：%1").arg(folder);
}
inline QString slipFileRenamed(const QString &number, const QString &name, const QString &file) {
    return QStringLiteral("学号“%1”姓名“%2”的成绩条另存为：%3").arg(number, name, file);
}
inline QString noSlipStudents() {
    return QStringLiteral("没有可以生成成绩条的学生！");
}

// Beside the main window's import fields once a workbook opened from the
// desktop filled them.
inline QString fieldsFromHeader(const QString &sheet, int headerRow) {
    return QStringLiteral("打开文件时按工作表“%1”第%2行的表头识别，可修改")
        .arg(sheet)
        .arg(headerRow);
}

// The comparison with the last exam.
inline QString progressNoExam() {
    return QStringLiteral("请先分析本次考试，再与上次考试对比！");
}
inline QString progressNoLastExam() {
    return QStringLiteral("请先添加上次考试的成绩工作簿！");
}
inline QString progressNoStudents(const QString &exam) {
    return QStringLiteral("考试“%1”没有读到学生").arg(exam);
}

} // namespace analysis::messages
