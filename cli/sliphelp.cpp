#include "cli/slipcommand.h"

namespace report {

QString slipsHelpText() {
    return QStringLiteral(
        "用法：score-report --slips 来源… --export 文件.pdf|文件.xlsx [选项…]\n"
        "\n"
        "为一场考试的每个学生生成一张成绩条，只写该生本人的成绩和本班平均分，不出现其他学生\n"
        "的学号、姓名、成绩、名次或等级，供发给学生本人和家长。来源和列的写法同 --subjects\n"
        "（--columns auto，或 --first-row、--number-column、--name-column、--class-column、\n"
        "--score-columns；--sheet、--full-marks-of、--full-marks、--total、--excellent-line、\n"
        "--good-line、--pass-line、--low-line、--ranking 亦同）。\n"
        "表头为“评语”或“寄语”（如 教师评语）的列是给该生的评语，印在他本人的成绩条上；\n"
        "--columns auto 自行找出，给出各列时用 --remark-column 列。\n"
        "\n"
        "选项（值跟在选项之后，或用等号连写）：\n"
        "  --export 文件           .pdf：A4成绩条，每页几条，条间有剪切虚线，每条不跨页；\n"
        "                          .xlsx：工资条式，每个学生一行表头、一行成绩、一行空行\n"
        "  --preset 预设           compulsory（义务教育，默认：等级和班级平均分，不写分数和名次）\n"
        "                          或 senior（高中：分数、班级名次、年级名次、比上次）\n"
        "  --items 项目,项目,…     代替预设的项目：score 分数，grade 等级，classRank 班级名次，\n"
        "                          gradeRank 年级名次，band 名次段，change 比上次，\n"
        "                          classMean 班级平均分\n"
        "  --five-grades           等级分五等：低分线以下为E（默认四等A、B、C、D）\n"
        "  --previous 来源…        上次考试的来源（到下一个选项为止），用于“比上次”；\n"
        "                          先列出两次考试学生的对应情况，未对应的为“无上次成绩”\n"
        "  --page-per-student      每人一页，不排成多条一页\n"
        "  --per-student-folder 文件夹  另为每人写一个PDF，名为“学号 姓名.pdf”；不能作文件名\n"
        "                          的字符改为“_”，空学号写“无学号”，改过的名字逐一列出；\n"
        "                          只替换本软件为同一学生写过的成绩条，其他同名文件原样保留，\n"
        "                          新文件另加“（2）”\n"
        "  --school、--class-name、--exam、--date 文字  成绩条抬头的学校、班级、考试和日期\n"
        "\n"
        "等级按得分占满分的比例：A ≥ 优秀线，B ≥ 良好线，C ≥ 及格线，其下为D；分界分数印在\n"
        "每张成绩条上。不给出 --previous 时 senior 预设不含“比上次”，--items 中写 change 则\n"
        "报错。\n"
        "\n"
        "退出状态：0 成功；2 选项的值不能用、来源不能读取或导出失败，附提示；\n"
        "64 命令行无法理解。\n");
}

} // namespace report
