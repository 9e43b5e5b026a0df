#include "analysis/slips/slipcontent.h"

#include "analysis/slips/slipgrades.h"

#include <cmath>
#include <map>

namespace analysis {

namespace {

const QString Dash = QStringLiteral("—");

QString changeText(const SlipFigure &figure) {
    if (!figure.scoreChange && !figure.rankChange) return QStringLiteral("无上次成绩");
    QStringList parts;
    if (figure.scoreChange) {
        QString number = QString::number(*figure.scoreChange, 'f', 2);
        while (number.contains(u'.') && (number.endsWith(u'0') || number.endsWith(u'.')))
            number.chop(1);
        if (number == u"-0") number = QStringLiteral("0");
        parts << (*figure.scoreChange > 0 ? u'+' + number : number) + QStringLiteral("分");
    }
    const double direction = figure.rankChange ? *figure.rankChange : *figure.scoreChange;
    if (figure.rankChange && *figure.rankChange != 0)
        parts << QStringLiteral("%1 %2 名")
                     .arg(direction > 0 ? QStringLiteral("进步") : QStringLiteral("退步"))
                     .arg(std::abs(*figure.rankChange));
    else
        parts << (direction > 0   ? QStringLiteral("进步")
                  : direction < 0 ? QStringLiteral("退步")
                                  : QStringLiteral("持平"));
    return parts.join(u'，');
}

QString rankText(int rank, int ranked) {
    return rank > 0 ? QStringLiteral("%1/%2").arg(rank).arg(ranked) : Dash;
}

QString cell(SlipItem item, const SlipFigure &figure, const SlipOptions &options,
             const AnalysisSettings &settings) {
    switch (item) {
    case SlipItem::Score:
        return figure.score ? figure.score->text() : figure.uncounted;
    case SlipItem::Grade:
        return figure.score
                   ? QString(gradeOf(*figure.score, figure.fullMarks,
                                     gradeLines(settings, figure.fullMarks, options.fiveGrades),
                                     options.fiveGrades))
                   : Dash;
    case SlipItem::ClassRank:
        return rankText(figure.classRank, figure.classRanked);
    case SlipItem::GradeRank:
        return rankText(figure.gradeRank, figure.gradeRanked);
    case SlipItem::Band: {
        const QString band = rankBand(figure.gradeRank, figure.gradeRanked);
        return band.isEmpty() ? Dash : band;
    }
    case SlipItem::Change:
        return figure.score ? changeText(figure) : Dash;
    case SlipItem::ClassMean:
        return figure.classMean ? QString::number(*figure.classMean, 'f', 2) : Dash;
    }
    return Dash;
}

// The cut-offs for each full marks on the slip, so that a parent can check a grade.
QString gradeNote(const SlipStudent &student, const SlipOptions &options,
                  const AnalysisSettings &settings) {
    std::map<Decimal, std::vector<GradeLine>> byFullMarks;
    for (const SlipFigure &figure : student.figures)
        byFullMarks.emplace(figure.fullMarks,
                            gradeLines(settings, figure.fullMarks, options.fiveGrades));
    if (byFullMarks.empty()) return {};
    const std::vector<GradeLine> &shares = byFullMarks.begin()->second;
    QStringList lines;
    for (const GradeLine &line : shares)
        lines << QStringLiteral("%1 ≥ %2").arg(line.grade).arg(shareText(line));
    lines << QStringLiteral("%1 低于 %2")
                 .arg(QChar(options.fiveGrades ? u'E' : u'D'))
                 .arg(shareText(shares.back()));
    QStringList scores;
    for (auto it = byFullMarks.rbegin(); it != byFullMarks.rend(); ++it) {
        QStringList cutOffs;
        for (const GradeLine &line : it->second)
            cutOffs << QStringLiteral("%1 ≥ %2").arg(line.grade).arg(line.cutOff.text());
        scores << QStringLiteral("满分 %1：%2").arg(it->first.text(), cutOffs.join(u'，'));
    }
    return QStringLiteral("等级按得分占满分的比例：%1。即%2。")
        .arg(lines.join(u'，'), scores.join(u'；'));
}

QString bandNote() {
    QStringList bands;
    for (int bound : RankBandBounds)
        bands << QStringLiteral("前 %1 %").arg(bound);
    bands << QStringLiteral("后 %1 %").arg(100 - RankBandBounds[std::size(RankBandBounds) - 1]);
    return QStringLiteral("名次段：在年级参加排名的学生中所处的位置，%1。").arg(bands.join(u'、'));
}

QStringList notes(const SlipStudent &student, const SlipOptions &options,
                  const AnalysisSettings &settings) {
    QStringList lines;
    if (options.items.has(SlipItem::Grade)) lines << gradeNote(student, options, settings);
    if (options.items.has(SlipItem::Band)) lines << bandNote();
    if (options.items.has(SlipItem::Change))
        lines << QStringLiteral("比上次：本次得分减上次得分；进步、退步按在年级排名的变化。");
    if (!student.remark.trimmed().isEmpty())
        lines << QStringLiteral("教师评语：") + student.remark.trimmed();
    return lines;
}

QString presetLine(const SlipOptions &options) {
    const bool adjusted = !(options.items == presetItems(options.preset));
    return QStringLiteral("预设：%1%2 · 本成绩条只给学生本人及家长，请勿转发")
        .arg(presetName(options.preset), adjusted ? QStringLiteral("（项目已调整）") : QString());
}

} // namespace

QString rankBand(int rank, int ranked) {
    if (rank <= 0 || ranked <= 0) return {};
    for (int bound : RankBandBounds)
        if (std::int64_t(rank) * 100 <= std::int64_t(bound) * ranked)
            return QStringLiteral("年级前 %1 %").arg(bound);
    return QStringLiteral("年级后 %1 %").arg(100 - RankBandBounds[std::size(RankBandBounds) - 1]);
}

SlipContent slipContent(const SlipExam &exam, const SlipStudent &student,
                        const SlipOptions &options, const AnalysisSettings &settings) {
    SlipContent content;
    content.title = QStringLiteral("成绩条　%1").arg(exam.exam).trimmed();
    QStringList place = {
        exam.school, student.className.isEmpty() ? exam.className : student.className, exam.date};
    place.removeAll(QString());
    content.examLine = place.join(QStringLiteral("　"));
    content.studentLine = QStringLiteral("学号：%1　姓名：%2").arg(student.number, student.name);
    content.header << QStringLiteral("科目");
    for (SlipItem item : AllSlipItems)
        if (options.items.has(item)) content.header << slipItemTitle(item);
    for (const SlipFigure &figure : student.figures) {
        QStringList row{figure.subject};
        for (SlipItem item : AllSlipItems)
            if (options.items.has(item)) row << cell(item, figure, options, settings);
        content.rows.push_back(row);
    }
    content.notes = notes(student, options, settings);
    content.preset = presetLine(options);
    return content;
}

} // namespace analysis
