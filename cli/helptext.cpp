#include "cli/helptext.h"

namespace report {

QString usage() {
    return QStringLiteral(
        "用法：score-report 工作簿 [选项…]；score-report --help 列出全部选项。\n");
}

QString versionText() {
    return QStringLiteral("score-report " SCORE_VERSION "\n");
}

QString helpText() {
    return QStringLiteral(
        "用法：score-report 工作簿 [选项…]\n"
        "\n"
        "读取工作簿（.xls、.xlsx、.xlsm、.ods、.et、.ett、.csv、."
        "txt）中一个班一门课的学号、姓名和成绩，列出表格；\n"
        "给出班级人数时算出主窗口的九项统计，加 --analysis 时做成绩质量分析。\n"
        "选项的值跟在选项之后，或用等号连写：--class-size=30。\n"
        "\n"
        "导入（值按主窗口输入框的规则读）：\n"
        "  --sheet 文字            表格名称，默认 Sheet1\n"
        "  --first-row 文字        数据起始行，默认 2\n"
        "  --number-column 文字    学号所在列，默认 1\n"
        "  --name-column 文字      姓名所在列，默认 2\n"
        "  --score-column 文字     成绩所在列，默认 3\n"
        "  --sort-column K         统计前按第 K 列降序排列：0 学号，1 姓名，2 成绩\n"
        "\n"
        "九项统计：\n"
        "  --class-size 文字       班级人数（1到100）；不给出时不做九项统计\n"
        "  --excellent 下限:上限   优秀分数段，默认 85:100\n"
        "  --good 下限:上限        良好分数段，默认 75:85\n"
        "\n"
        "成绩质量分析（不给出班级人数时分析表格中有内容的全部行）：\n"
        "  --analysis              加上成绩质量分析\n"
        "  --full-marks 分数       满分，1到1000，默认 100\n"
        "  --excellent-line 线     优秀线：分数，或满分的百分比如 85%，默认 85%\n"
        "  --good-line 线          良好线，默认 75%\n"
        "  --pass-line 线          及格线，默认 60%\n"
        "  --low-line 线           低分线，默认 40%\n"
        "  --band-width 分数       分数段宽度，1到满分，默认 10\n"
        "  --ranking 方式          competition（同分并列，其后空出：1、1、3，默认）\n"
        "                          或 dense（同分并列，其后接续：1、1、2）\n"
        "  --export 文件           把分析写入 .xlsx、.csv 或 .pdf 文件，并加上 --analysis；\n"
        "                          .pdf 是与报告窗口相同的 A4 分析报告\n"
        "  --school 文字           PDF 报告抬头的学校；--class-name 班级，--subject 科目，\n"
        "                          --exam 考试名称，--teacher 任课教师，--date 日期（默认今天）\n"
        "\n"
        "输出：\n"
        "  --json                  输出一个 JSON 对象，见下\n"
        "  -h, --help              显示本说明\n"
        "  --version               显示版本\n"
        "\n"
        "JSON：{\"grid\": [[学号, 姓名, 成绩] × 100], \"statistics\": {…}, \"analysis\": {…}}\n"
        "  statistics  total, average, excellent, good, qualified, failing, excellentRate,\n"
        "              passRate, goodRate：九项统计，各为主窗口标签上的文字\n"
        "  analysis    settings {fullMarks, excellentLine, goodLine, passLine, lowLine,\n"
        "              bandWidth, ranking}；expected 应考人数，sat 实考人数，absent 缺考，\n"
        "              exempt 免考，invalid [{row, text}] 无效成绩；total, mean, highest,\n"
        "              highestStudents, lowest, lowestStudents, median, standardDeviation\n"
        "              （总体），difficulty, discrimination, discriminationGroup；excellent,\n"
        "              good, pass, fail, low, excellentOrGood 各为 {count, rate}；bands\n"
        "              [{from, to, count, percent}] 从最高段起；ranking [{row, number, name,\n"
        "              score, rank}]；notes [说明]；rules 口径说明。数字不取整（percent\n"
        "              除外），不能给出的为 null，行号从 1 起。\n"
        "  失败时      {\"error\": {\"number\": 错误号, \"message\": 提示}}，错误号只在读工作簿\n"
        "              失败时给出\n"
        "\n"
        "年级各班对比：score-report --compare 来源…（一个班一个工作簿或工作表，或一个\n"
        "文件夹），列出各班的平均分、超均率、各项比率、名次和年级名次表；\n"
        "score-report --compare --help 列出其来源、选项和 JSON。\n"
        "\n"
        "退出状态：\n"
        "  0   成功\n"
        "  2   导入、统计、分析或导出失败，或选项的值不能用，附提示\n"
        "  64  命令行无法理解，附用法\n");
}

} // namespace report
