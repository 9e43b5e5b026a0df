#include "analysis/exam/examtables.h"

#include <QCoreApplication>

namespace analysis {

namespace {

TableCell rankCell(int rank) {
    return rank ? countCell(rank) : textCell(QString());
}

TableCell countAndRate(const GradeCount &count) {
    return figureCell(count.rate);
}

std::vector<TableCell> figureCells(const ClassAnalysis &a, const std::optional<double> &rate) {
    return {countCell(a.sat),          countCell(a.absent + a.exempt + a.invalid),
            figureCell(a.mean),        figureCell(rate),
            exactCell(a.highest),      exactCell(a.lowest),
            figureCell(a.median),      figureCell(a.standardDeviation),
            countAndRate(a.excellent), countAndRate(a.good),
            countAndRate(a.pass),      countAndRate(a.low),
            countAndRate(a.excellentOrGood)};
}

Table subjectTable(const ExamAnalysis &exam) {
    Table table{QStringLiteral("学科分析"),
                {"学科", "满分", "实考", "未计入", "平均分", "得分率（%）", "最高分", "最低分",
                 "中位数", "标准差", "优秀率（%）", "良好率（%）", "及格率（%）", "低分率（%）",
                 "优良率（%）"},
                {}};
    const auto add = [&](const QString &name, const Decimal &fullMarks, const ClassAnalysis &a,
                         const std::optional<double> &rate) {
        std::vector<TableCell> row{textCell(name), exactCell(fullMarks)};
        for (TableCell &cell : figureCells(a, rate))
            row.push_back(std::move(cell));
        table.rows.push_back(std::move(row));
    };
    for (const ExamSubject &s : exam.subjects)
        add(s.name, s.fullMarks, s.grade, s.scoreRate);
    for (const ExamTotal &t : exam.totals)
        add(t.name, t.fullMarks, t.grade, t.scoreRate);
    return table;
}

Table classTable(const ExamAnalysis &exam) {
    Table table{QStringLiteral("班级对比"),
                {"班级", "学科", "实考", "平均分", "得分率（%）", "超均率（%）", "优秀率（%）",
                 "及格率（%）", "名次"},
                {}};
    const auto add = [&](const ExamClass &c, const QString &name, const ExamClassFigures &f) {
        if (!f.taken) return;
        const ClassAnalysis &a = f.analysis;
        table.rows.push_back({textCell(c.name), textCell(name), countCell(a.sat),
                              figureCell(a.mean), figureCell(f.scoreRate),
                              figureCell(f.aboveMeanRate), figureCell(a.excellent.rate),
                              figureCell(a.pass.rate), rankCell(f.rank)});
    };
    for (const ExamClass &c : exam.classes) {
        for (std::size_t s = 0; s < exam.subjects.size(); ++s)
            add(c, exam.subjects[s].name, c.subjects[s]);
        for (std::size_t t = 0; t < exam.totals.size(); ++t)
            add(c, exam.totals[t].name, c.totals[t]);
    }
    return table;
}

Table rateTable(const ExamAnalysis &exam) {
    Table table{QStringLiteral("各班得分率（%）"), {QStringLiteral("班级")}, {}};
    for (const ExamSubject &s : exam.subjects)
        table.header << s.name;
    for (const ExamTotal &t : exam.totals)
        table.header << t.name;
    for (const ExamClass &c : exam.classes) {
        std::vector<TableCell> row{textCell(c.name)};
        for (const ExamClassFigures &f : c.subjects)
            row.push_back(figureCell(f.scoreRate));
        for (const ExamClassFigures &f : c.totals)
            row.push_back(figureCell(f.scoreRate));
        table.rows.push_back(std::move(row));
    }
    std::vector<TableCell> grade{textCell(QStringLiteral("年级"))};
    for (const ExamSubject &s : exam.subjects)
        grade.push_back(figureCell(s.scoreRate));
    for (const ExamTotal &t : exam.totals)
        grade.push_back(figureCell(t.scoreRate));
    table.rows.push_back(std::move(grade));
    return table;
}

std::vector<TableCell> studentCells(const ExamAnalysis &exam, int index) {
    const ExamStudent &s = exam.students[std::size_t(index)];
    return {textCell(exam.classes[std::size_t(s.classIndex)].name), textCell(s.number),
            textCell(s.name)};
}

// The subjects a student lacks for each total without a value.
QString missingText(const ExamAnalysis &exam, const ExamStudent &student) {
    QStringList parts;
    for (std::size_t t = 0; t < exam.totals.size(); ++t) {
        QStringList names;
        for (const int s : student.totals[t].missing)
            names << exam.subjects[std::size_t(s)].name +
                         markText(student.subjects[std::size_t(s)]);
        if (!names.isEmpty())
            parts << QStringLiteral("无%1：%2").arg(exam.totals[t].name, names.join(u'、'));
    }
    return parts.join(u'；');
}

Table scoreTable(const ExamAnalysis &exam) {
    Table table{QStringLiteral("成绩总表"), {"班级", "学号", "姓名"}, {}};
    for (const ExamSubject &s : exam.subjects)
        table.header << s.name << s.name + QStringLiteral("年级名次")
                     << s.name + QStringLiteral("班级名次") << s.name + QStringLiteral("T分数");
    for (const ExamTotal &t : exam.totals)
        table.header << t.name << t.name + QStringLiteral("年级名次")
                     << t.name + QStringLiteral("班级名次") << t.name + QStringLiteral("T分数")
                     << t.name + QStringLiteral("T分数名次");
    table.header << QStringLiteral("说明");
    table.rows.reserve(exam.order.size());
    for (const int i : exam.order) {
        const ExamStudent &s = exam.students[std::size_t(i)];
        std::vector<TableCell> row = studentCells(exam, i);
        for (const SubjectMark &mark : s.subjects) {
            row.push_back(mark.state == MarkState::Counted ? exactCell(mark.score)
                                                           : textCell(markText(mark)));
            row.insert(row.end(), {rankCell(mark.gradeRank), rankCell(mark.classRank),
                                   mark.t ? figureCell(mark.t) : textCell(QString())});
        }
        for (const TotalMark &mark : s.totals)
            row.insert(row.end(),
                       {mark.value ? exactCell(mark.value) : textCell(QString()),
                        rankCell(mark.gradeRank), rankCell(mark.classRank),
                        mark.t ? figureCell(mark.t) : textCell(QString()), rankCell(mark.tRank)});
        row.push_back(textCell(missingText(exam, s)));
        table.rows.push_back(std::move(row));
    }
    return table;
}

Table weakTable(const ExamAnalysis &exam) {
    Table table{QStringLiteral("偏科"), {"班级", "学号", "姓名", "偏科学科", "T分数", "平均T分数"},
                {}};
    for (const WeakSubject &w : exam.weak) {
        std::vector<TableCell> row = studentCells(exam, w.student);
        row.insert(row.end(), {textCell(exam.subjects[std::size_t(w.subject)].name),
                               figureCell(w.t), figureCell(w.meanT)});
        table.rows.push_back(std::move(row));
    }
    return table;
}

Table borderlineTable(const ExamAnalysis &exam) {
    const QString total = exam.totals.empty() ? QStringLiteral("总分") : exam.totals[0].name;
    Table table{QStringLiteral("临界生"),
                {QStringLiteral("分数线"), QStringLiteral("班级"), QStringLiteral("学号"),
                 QStringLiteral("姓名"), total, QStringLiteral("差距"),
                 QStringLiteral("最弱学科")},
                {}};
    for (const Borderline &b : exam.borderline) {
        std::vector<TableCell> row{textCell(b.line == Borderline::Line::Excellent
                                                ? QStringLiteral("优秀线")
                                                : QStringLiteral("及格线"))};
        for (TableCell &cell : studentCells(exam, b.student))
            row.push_back(std::move(cell));
        row.insert(row.end(),
                   {exactCell(b.total), exactCell(b.gap),
                    textCell(b.weakest ? exam.subjects[std::size_t(*b.weakest)].name : QString())});
        table.rows.push_back(std::move(row));
    }
    return table;
}

Table failureTable(const ExamAnalysis &exam) {
    Table table{QStringLiteral("未能读取的来源"), {"来源", "错误号", "原因"}, {}};
    for (const SourceFailure &f : exam.failures)
        table.rows.push_back({textCell(f.source), f.number ? countCell(*f.number) : textCell({}),
                              textCell(f.message)});
    return table;
}

} // namespace

QString teachersOnlyLine() {
    return QStringLiteral("仅供教师使用，请勿公开");
}

QString markText(const SubjectMark &mark) {
    switch (mark.state) {
    case MarkState::Counted:
        return mark.score.text();
    case MarkState::Absent:
        return QStringLiteral("缺考");
    case MarkState::Exempt:
        return QStringLiteral("免考");
    case MarkState::Invalid:
        return QStringLiteral("无效");
    case MarkState::NotTaken:
        break;
    }
    return QStringLiteral("未考");
}

ExamTables examTables(const ExamAnalysis &exam) {
    return {scoreTable(exam),      subjectTable(exam), classTable(exam),   rateTable(exam),
            weakTable(exam),       borderlineTable(exam), failureTable(exam), exam.notes,
            examRules(exam)};
}

bool listsStudents(const ExamTables &tables, const Table &table) {
    return &table == &tables.scores || &table == &tables.weak || &table == &tables.borderline;
}

} // namespace analysis
