#include "analysis/classanalysis/analysisrules.h"

#include <QStringList>

namespace analysis {

namespace {

QString lineText(const QString &name, const ScoreLine &line) {
    QString text = name + line.score.text() + u'分';
    if (line.percent) text += QStringLiteral("（满分的%1%）").arg(line.percent->text());
    return text;
}

} // namespace

QStringList analysisRules(const AnalysisSettings &settings) {
    QStringList lines;
    lines << QStringLiteral("满分%1分；").arg(settings.fullMarks.text()) +
                 lineText(QStringLiteral("优秀线"), settings.excellent) + u'，' +
                 lineText(QStringLiteral("良好线"), settings.good) + u'，' +
                 lineText(QStringLiteral("及格线"), settings.pass) + u'，' +
                 lineText(QStringLiteral("低分线"), settings.low) + u'。';
    lines << QStringLiteral(
        "优秀：成绩≥优秀线；良好：良好线≤成绩<优秀线；及格：成绩≥及格线；不及格：成绩<及格线；"
        "低分：成绩<低分线；优良：成绩≥良好线。各项比率＝人数÷实考人数×100。");
    lines << QStringLiteral(
        "成绩是0到满分之间的数（可带正负号和小数点，全角数字也可），按原值计算、不取整，0分照常计入"
        "；"
        "空白、缺考、缺、缺席记为缺考，免考、免记为免考，其他内容（如优、85分、负数、超过满分的数）"
        "记为无效；缺考、免考和无效成绩不计入任何一项，另行列出。");
    lines << QStringLiteral("中位数在实考人数为偶数时取中间两个成绩的平均；标准差是总体标准差"
                            "（除以实考人数N）。");
    lines << QStringLiteral("分数段每段%1分，从0分起，含下限、不含上限，最高一段含满分；各段百分比"
                            "按最大余数法保留两位小数，合计恰为100.00。")
                 .arg(settings.bandWidth.text());
    lines << QStringLiteral("难度＝平均分÷满分；区分度＝（最高k人平均分－最低k人平均分）÷满分，"
                            "k＝实考人数×27%四舍五入（至少为1），实考不足4人不计算。");
    lines << (settings.ranking == RankingStyle::Dense
                  ? QStringLiteral("名次：同分同名次，其后名次接续（1、1、2）。")
                  : QStringLiteral("名次：同分同名次，其后名次空出（1、1、3）。"));
    lines << QStringLiteral("判断等级和分数段都用原值；显示的数字四舍五入保留两位小数。");
    return lines;
}

} // namespace analysis
