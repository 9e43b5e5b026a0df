#include "analysis/exam/examanalysis.h"

#include "analysis/classanalysis/analysisrules.h"

namespace analysis {

namespace {

QString shareText(const char16_t *name, const ScoreLine &line) {
    return line.percent
               ? QStringLiteral("%1为满分的%2%").arg(QString::fromUtf16(name), line.percent->text())
               : QStringLiteral("%1%2分").arg(QString::fromUtf16(name), line.score.text());
}

} // namespace

QStringList examRules(const ExamAnalysis &exam) {
    const AnalysisSettings &s = exam.settings;
    QStringList lines;
    QStringList marks;
    for (const ExamSubject &subject : exam.subjects)
        marks << subject.name + subject.fullMarks.text() + u'分';
    lines << QStringLiteral("各学科满分：%1（未给出的默认100分；有高于100分的成绩且都不超过150分时"
                            "按150分）；总分的满分是其各学科满分之和。")
                 .arg(marks.join(u'、'));
    lines << QStringLiteral("每个学科和每个总分都用同一套口径：") +
                 shareText(u"优秀线", s.excellent) + u'，' + shareText(u"良好线", s.good) + u'，' +
                 shareText(u"及格线", s.pass) + u'，' + shareText(u"低分线", s.low) + u'。';
    // The class analysis's own rules, less its line of lines and full marks.
    QStringList own = analysisRules(s);
    own.removeFirst();
    lines << own;
    lines << QStringLiteral("得分率＝平均分÷满分×100。超均率＝（班级平均分－年级平均分）÷"
                            "年级平均分×100；班级名次按平均分，同分并列。");
    lines << QStringLiteral("某来源没有的学科（没有该列，或该列既无表头也无成绩）、一个班全班都"
                            "空白的学科，以及一行一科的成绩表中学生没有成绩行的学科，其学生记为"
                            "未考：不算缺考，也不算0分，不计入该学科，也不计入含该学科的总分；"
                            "同一学生同一科的重复行只计第一行。");
    lines << QStringLiteral("总分：各学科都计入的学生才有总分；任一学科缺考、免考或成绩无效的学生"
                            "没有该总分，按缺考计，并列出缺的学科。");
    lines << QStringLiteral("标准分按全年级计算：Z＝（成绩－平均分）÷标准差（总体标准差），"
                            "T＝50＋10×Z；成绩全都相同的学科没有标准分。总分的T分数是其各学科"
                            "T分数之和，另排名次。");
    lines << QStringLiteral("偏科：有总分的学生中，T分数最低的学科比该生各学科T分数的平均低10"
                            "（一个标准差）以上者。");
    lines << QStringLiteral("临界生：总分低于优秀线或及格线、差距不超过临界分差%1分的学生，"
                            "列出差距和T分数最低的学科。偏科和临界生都按第一个总分。")
                 .arg(exam.marginScore.text());
    return lines;
}

} // namespace analysis
