#include "windows/reportwindow.h"

#include "analysis/export/analysisexport.h"
#include "analysis/grid/gridrows.h"
#include "analysis/texts/messages.h"
#include "pages/reportpainter.h"
#include "pages/reportpdf.h"
#include "skin/colors.h"
#include "skin/picturebox.h"
#include "skin/skinnedbutton.h"
#include "skin/songfont.h"
#include "skin/twips.h"
#include "skin/windowshape.h"
#include "windows/documentcommands.h"
#include "windows/examwindow.h"
#include "windows/gradewindow.h"
#include "windows/messagebox.h"
#include "windows/pageview.h"
#include "windows/settingsfields.h"
#include "windows/windowplacement.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

namespace {

QPlainTextEdit *addTextBox(QVBoxLayout *column, const QString &caption, const char *name) {
    column->addWidget(new QLabel(caption));
    auto *box = new QPlainTextEdit;
    box->setObjectName(QLatin1String(name));
    box->setTabChangesFocus(true);
    box->setFixedHeight(56);
    column->addWidget(box);
    return box;
}

} // namespace

ReportWindow::ReportWindow()
    : DocumentWindow(QStringLiteral("成绩分析报告"), QStringLiteral("ReportWindow")) {
    QWidget *fields = buildFields();
    pageView = new PageView;
    pageView->setObjectName(QStringLiteral("pageView"));
    layOut(fields, pageView, buildCommands(this), -1);
    refresh();
}

QWidget *ReportWindow::buildFields() {
    QWidget *panel = fieldPanel(340);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(6, 4, 6, 6);
    column->addWidget(headingLabel(QStringLiteral("报告抬头")));
    auto *header = new QGridLayout;
    schoolField = addGridField(header, 0, QStringLiteral("学校"), "schoolField", {});
    classNameField = addGridField(header, 1, QStringLiteral("班级"), "classNameField", {});
    subjectField = addGridField(header, 2, QStringLiteral("科目"), "subjectField", {});
    examField = addGridField(header, 3, QStringLiteral("考试名称"), "examField", {});
    teacherField = addGridField(header, 4, QStringLiteral("任课教师"), "teacherField", {});
    dateField =
        addGridField(header, 5, QStringLiteral("日期"), "dateField", analysis::ReportHeader().date);
    column->addLayout(header);
    settings = addSettingsFields(column);
    paperAnalysisBox = addTextBox(column, QStringLiteral("试卷分析"), "paperAnalysisBox");
    problemsBox = addTextBox(column, QStringLiteral("存在问题"), "problemsBox");
    measuresBox = addTextBox(column, QStringLiteral("改进措施"), "measuresBox");
    column->addStretch(1);

    // Full marks other than 100 make the band fields' lines meaningless; the
    // lines follow before the pages are laid out.
    connect(settings.fullMarks, &QLineEdit::textChanged, this, &ReportWindow::followBandFields);
    for (QLineEdit *field : panel->findChildren<QLineEdit *>())
        connect(field, &QLineEdit::textChanged, this, &ReportWindow::refresh);
    for (QPlainTextEdit *box : {paperAnalysisBox, problemsBox, measuresBox})
        connect(box, &QPlainTextEdit::textChanged, this, &ReportWindow::refresh);
    connect(settings.ranking, &QComboBox::currentIndexChanged, this, &ReportWindow::refresh);
    for (QLineEdit *line : {settings.excellentLine, settings.goodLine})
        connect(line, &QLineEdit::textEdited, this, [this] { m_linesTyped = true; });
    return panel;
}

QHBoxLayout *ReportWindow::buildCommands(QWidget *body) {
    auto *row = new QHBoxLayout;
    pdfButton = commandButton(body, "pdfButton", QStringLiteral("导出 PDF"));
    printButton = commandButton(body, "printButton", QStringLiteral("打　印"));
    excelButton = commandButton(body, "excelButton", QStringLiteral("导出 Excel"));
    csvButton = commandButton(body, "csvButton", QStringLiteral("导出 CSV"));
    gradeButton = commandButton(body, "gradeButton", QStringLiteral("年级对比"));
    examButton = commandButton(body, "examButton", QStringLiteral("考试分析"));
    for (SkinnedButton *button :
         {pdfButton, printButton, excelButton, csvButton, gradeButton, examButton})
        row->addWidget(button);
    row->addStretch(1);
    connect(pdfButton, &SkinnedButton::clicked, this, &ReportWindow::exportPdf);
    connect(gradeButton, &SkinnedButton::clicked, this, [] { GradeWindow::showWindow(); });
    connect(examButton, &SkinnedButton::clicked, this, [] { ExamWindow::showWindow(); });
    connect(printButton, &SkinnedButton::clicked, this, &ReportWindow::print);
    connect(excelButton, &SkinnedButton::clicked, this,
            [this] { exportSheet(QStringLiteral("xlsx")); });
    connect(csvButton, &SkinnedButton::clicked, this,
            [this] { exportSheet(QStringLiteral("csv")); });
    return row;
}

void ReportWindow::setSource(const ReportSource &source) {
    // The workbook's path only names the export: a change of it alone (a
    // keystroke in the path field, a cell left unchanged) lays out nothing.
    const bool same =
        m_sourceTaken && source.grid == m_source.grid && source.classSize == m_source.classSize &&
        source.excellentLow == m_source.excellentLow && source.goodLow == m_source.goodLow;
    m_source = source;
    if (same) return;
    m_sourceTaken = true;
    m_hasSource = false;
    for (int row = 0; row < analysis::ScoreGrid::Rows && !m_hasSource; ++row)
        m_hasSource = !source.grid.isRowBlank(row);
    followBandFields();
    refresh();
}

const pages::ReportContent &ReportWindow::content() const {
    return m_content;
}

// While full marks are 100 the excellent and good lines are the low bounds of
// the main window's bands, until the teacher types a line.
void ReportWindow::followBandFields() {
    if (m_linesTyped) return;
    const bool hundred = settings.fullMarks->text().trimmed() == QLatin1String("100");
    const auto line = [hundred](const QString &band, const char *fallback) {
        return hundred && !band.trimmed().isEmpty() ? band : QString::fromLatin1(fallback);
    };
    // Quietly: the caller lays the pages out once, after both lines are set.
    const QSignalBlocker excellent(settings.excellentLine), good(settings.goodLine);
    settings.excellentLine->setText(line(m_source.excellentLow, "85%"));
    settings.goodLine->setText(line(m_source.goodLow, "75%"));
}

void ReportWindow::refresh() {
    pages::ReportContent content;
    content.header = {schoolField->text(), classNameField->text(), subjectField->text(),
                      examField->text(),   teacherField->text(),   dateField->text()};
    content.paperAnalysis = paperAnalysisBox->toPlainText();
    content.problems = problemsBox->toPlainText();
    content.measures = measuresBox->toPlainText();
    const analysis::AnalysisSettingsOutcome read = settings.read();
    const analysis::GridRowsOutcome rows =
        analysis::gridAnalysisInput(m_source.grid, m_source.classSize);
    if (!m_hasSource)
        content.explanation = analysis::messages::reportWithoutScores();
    else if (!read.settings)
        content.explanation = read.message;
    else if (!rows.input)
        content.explanation = rows.message;
    else
        content.analysis = analysis::analyseClass(*rows.input, *read.settings);
    m_content = std::move(content);
    pageView->setPages(pages::layoutReport(m_content));
}

bool ReportWindow::checkResults() {
    if (content().analysis) return true;
    MessageBox::show(this, content().explanation);
    return false;
}

void ReportWindow::exportTo(const QString &suffix,
                            const std::function<QString(const QString &path)> &write) {
    if (!checkResults()) return;
    const QString name =
        QStringLiteral("成绩分析报告") +
        (classNameField->text().isEmpty() ? QString() : u'-' + classNameField->text());
    const QString folder = m_source.workbookPath.isEmpty()
                               ? QString()
                               : QFileInfo(m_source.workbookPath).absolutePath() + u'/';
    saveDocument(this, folder + name + u'.' + suffix, suffix, write);
}

void ReportWindow::exportPdf() {
    exportTo(QStringLiteral("pdf"), [this](const QString &path) {
        return pages::writeReportPdf(pageView->document(), path, {m_source.workbookPath});
    });
}

void ReportWindow::exportSheet(const QString &suffix) {
    exportTo(suffix, [this](const QString &path) {
        return analysis::exportAnalysis(*content().analysis, path, m_source.workbookPath);
    });
}

void ReportWindow::print() {
    if (checkResults()) printPages(this, pageView->document());
}
