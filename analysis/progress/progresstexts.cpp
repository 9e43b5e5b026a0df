#include "analysis/progress/progressreport.h"

namespace analysis {

namespace {

// A share or a band as the rules print it: at most two decimals, no
// trailing zeros.
QString shortNumber(double value) {
    QString text = QString::number(value, 'f', 2);
    while (text.contains(u'.') && (text.endsWith(u'0') || text.endsWith(u'.')))
        text.chop(1);
    return text;
}

} // namespace

QStringList progressRules(const ProgressReport &report) {
    QString total = QStringLiteral("总分");
    for (const ProgressItem &item : report.items)
        if (item.total) {
            total = item.name;
            break;
        }
    return {
        QStringLiteral(
            "学生对应：按学号对应，学号去掉首尾空格，全角数字和字母按半角，字母不分大小写；"
            "某次考试没有学号的学生按姓名对应，须该姓名在两次考试中各只出现一次且班级相同。"),
        QStringLiteral(
            "不对应而列为冲突的：同一次考试中重复的学号（各行都列出）、学号相同姓名不同、"
            "作为依据的姓名重复、作为依据的姓名班级不同。未对应的学生为“无上次成绩”"
            "（暂无对比），不计算变化。"),
        QStringLiteral(
            "分数变化 = 本次 − 上次，带正负号；名次变化 = 上次名次 − 本次名次，正数为进步"
            "（“进步 5 名”），负数为退步（“退步 3 名”），0 为“持平”；"
            "T 分变化 = 本次 T 分 − 上次 T 分，试卷难度不同时也可比较。"),
        QStringLiteral("名次百分位 = 年级名次 ÷ 该次参加排名的人数 × 100，越小越好；"
                       "其变化 = 上次 − 本次，正数为进步。人数不同的两次考试以它比较。"),
        QStringLiteral("进步、退步、稳定按“%1”的年级名次变化判断：两次都有名次的 %2 人的 %3 %，"
                       "即变化不超过 %4 名为稳定，其余正为进步、负为退步。"
                       "班级平均名次变化为该班两次都有名次的学生名次变化的平均数。")
            .arg(total)
            .arg(report.rankedInBoth)
            .arg(shortNumber(report.steadyShare), shortNumber(report.steadyBand)),
    };
}

QString rankChangeText(int change) {
    if (change == 0) return QStringLiteral("持平");
    return change > 0 ? QStringLiteral("进步 %1 名").arg(change)
                      : QStringLiteral("退步 %1 名").arg(-change);
}

QString signedText(const SignedDecimal &value) {
    if (value.magnitude.isZero()) return QStringLiteral("0");
    return (value.negative ? QStringLiteral("−") : QStringLiteral("+")) + value.magnitude.text();
}

QString trendText(Trend trend) {
    switch (trend) {
    case Trend::Up:
        return QStringLiteral("进步");
    case Trend::Down:
        return QStringLiteral("退步");
    case Trend::Steady:
        return QStringLiteral("稳定");
    case Trend::None:
        break;
    }
    return QStringLiteral("暂无对比");
}

QString trendKey(Trend trend) {
    switch (trend) {
    case Trend::Up:
        return QStringLiteral("up");
    case Trend::Down:
        return QStringLiteral("down");
    case Trend::Steady:
        return QStringLiteral("steady");
    case Trend::None:
        break;
    }
    return {};
}

QString conflictText(ConflictKind kind) {
    switch (kind) {
    case ConflictKind::DuplicateNumber:
        return QStringLiteral("学号重复");
    case ConflictKind::NumberNameDiffers:
        return QStringLiteral("学号相同姓名不同");
    case ConflictKind::DuplicateName:
        return QStringLiteral("姓名重复，不能按姓名对应");
    case ConflictKind::ClassDiffers:
        return QStringLiteral("姓名相同班级不同");
    }
    return {};
}

QString conflictKey(ConflictKind kind) {
    switch (kind) {
    case ConflictKind::DuplicateNumber:
        return QStringLiteral("duplicateNumber");
    case ConflictKind::NumberNameDiffers:
        return QStringLiteral("numberNameDiffers");
    case ConflictKind::DuplicateName:
        return QStringLiteral("duplicateName");
    case ConflictKind::ClassDiffers:
        return QStringLiteral("classDiffers");
    }
    return {};
}

} // namespace analysis
