#include "cli/examcommand.h"

namespace report {

QString examHelpText() {
    return QStringLiteral(
        "用法：score-report --subjects 来源… [选项…]\n"
        "\n"
        "一次分析一场考试的全部学科、总分和各班：每个来源是一个成绩表（学号、姓名、[班级]、\n"
        "各科成绩），来源的写法同 --compare（文件、文件:表名、文件:*、文件夹）。各来源的学科按\n"
        "表头文字对应；某来源没有的学科，其学生记为“未考”（不是缺考，也不是0分）。\n"
        "有班级列时按该列分班，否则一个来源是一个班，班名同 --compare。\n"
        "\n"
        "列（二选一）：\n"
        "  --columns auto          按各表的表头自动找出学号、姓名、班级和各科成绩的列\n"
        "  --first-row 行 --number-column 列 --name-column 列 [--class-column 列]\n"
        "  --score-columns 列,列,…  列可写列号或列字母；数据起始行上一行的表头为学科名，\n"
        "                          没有表头时以列字母为学科名\n"
        "\n"
        "选项（值跟在选项之后，或用等号连写）：\n"
        "  --sheet 文字            只给出文件时读的工作表，默认第一个\n"
        "  --full-marks-of 语文=150,数学=150  各学科的满分；未给出的默认100分，该列有高于\n"
        "                          100分且都不超过150分的成绩时按150分（并在说明中注明）\n"
        "  --full-marks 分数       未在 --full-marks-of 中给出的学科的满分\n"
        "  --total 名称=学科+学科+…  另计一个总分（可多次给出）；不给出时为“总分”，含全部学科\n"
        "  --excellent-line、--good-line、--pass-line、--low-line  按满分的百分比（如85%），\n"
        "                          对每个学科和总分按其满分换算；--band-width、--ranking 同\n"
        "                          成绩质量分析\n"
        "  --margin 分数或百分比   临界生与分数线的最大差距，默认第一个总分满分的5%\n"
        "  --export 文件           写入 .xlsx（每张表一个工作表，表头冻结，班级对比得分率图表）、\n"
        "                          .csv（UTF-8）或 .pdf\n"
        "  --json                  输出一个 JSON 对象，见下\n"
        "\n"
        "输出：学科分析（每科及每个总分：实考、平均分、得分率、最高分、最低分、中位数、标准差、\n"
        "各项比率）、班级对比（每班每科：平均分、得分率、超均率、优秀率、及格率、名次）、各班\n"
        "得分率、成绩总表（每科成绩、年级名次、班级名次、T分数，总分及其名次和T分数）、偏科、\n"
        "临界生、说明和口径说明。任一学科缺考、免考或无效的学生没有该总分，按缺考计。\n"
        "\n"
        "JSON：{subjects, totals, classes, students, weak, borderline, notes, rules,\n"
        "  failures}，键名见 man score-report；数字不取整，不能给出的为 null。\n"
        "\n"
        "退出状态：0 成功；2 选项的值不能用、导出失败或没有一个来源能读取，附提示；\n"
        "64 命令行无法理解。\n");
}

} // namespace report
