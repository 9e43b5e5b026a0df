#include "windows/gradewindow.h"

#include "analysis/grade/gradeexport.h"
#include "analysis/grade/gradetables.h"
#include "analysis/layout/filelayout.h"
#include "analysis/texts/messages.h"
#include "pages/barchart.h"
#include "pages/gradelayout.h"
#include "pages/reportpainter.h"
#include "pages/reportpdf.h"
#include "skin/colors.h"
#include "skin/picturebox.h"
#include "skin/skinnedbutton.h"
#include "skin/songfont.h"
#include "skin/twips.h"
#include "skin/windowshape.h"
#include "windows/chartview.h"
#include "windows/documentcommands.h"
#include "windows/messagebox.h"
#include "windows/resulttable.h"
#include "windows/windowplacement.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QThread>

namespace {

std::optional<QString> typed(const QLineEdit *field) {
    const QString text = field->text().trimmed();
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

} // namespace

GradeWindow::GradeWindow()
    : DocumentWindow(QStringLiteral("年级对比"), QStringLiteral("GradeWindow")) {
    QWidget *sources = buildSources();
    QWidget *results = buildResults();
    auto *commands = new QHBoxLayout;
    buildCommands(commands);
    layOut(sources, results, commands, 8);
}

GradeWindow::~GradeWindow() {
    m_cancel = true;
    if (m_thread) m_thread->wait();
    delete m_thread;
}

QWidget *GradeWindow::buildSources() {
    QWidget *panel = fieldPanel(340);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(6, 4, 6, 6);
    classSources =
        new SourceList(this, panel, column,
                       {QStringLiteral("班级来源"), QStringLiteral("工作簿的每个工作表是一个班"),
                        QStringLiteral("（每表一班）"),
                        QStringLiteral("选择班级工作簿所在的文件夹"), "sourceList"},
                       0, [this] { return isComputing(); });
    connect(classSources, &SourceList::changed, this, [this](bool wasEmpty) {
        if (wasEmpty && !classSources->sources().empty())
            fillFieldsFromHeader(classSources->sources().front().path);
    });
    column->addWidget(headingLabel(QStringLiteral("数据位置（各班相同）")));
    auto *grid = new QGridLayout;
    firstRowField = addGridField(grid, 0, QStringLiteral("数据起始行"), "firstRowField", "2");
    numberColumnField = addGridField(grid, 1, QStringLiteral("学号在列"), "numberColumnField", "1");
    nameColumnField = addGridField(grid, 2, QStringLiteral("姓名在列"), "nameColumnField", "2");
    scoreColumnField = addGridField(grid, 3, QStringLiteral("成绩在列"), "scoreColumnField", "3");
    column->addLayout(grid);
    settings = addSettingsFields(column, QStringLiteral("85%"), QStringLiteral("75%"));
    return panel;
}

QWidget *GradeWindow::buildResults() {
    auto *panel = new QWidget;
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(headingLabel(QStringLiteral("班级对比")));
    classTable = resultTable("classTable");
    column->addWidget(classTable, 2);
    column->addWidget(headingLabel(QStringLiteral("各班平均分")));
    chartView = new ChartView;
    chartView->setObjectName(QStringLiteral("chartView"));
    column->addWidget(chartView, 3);
    return panel;
}

void GradeWindow::buildCommands(QHBoxLayout *row) {
    computeButton = commandButton(this, "computeButton", QStringLiteral("计　算"), 1575);
    excelButton = commandButton(this, "excelButton", QStringLiteral("导出 Excel"), 1575);
    csvButton = commandButton(this, "csvButton", QStringLiteral("导出 CSV"), 1575);
    pdfButton = commandButton(this, "pdfButton", QStringLiteral("导出 PDF"), 1575);
    printButton = commandButton(this, "printButton", QStringLiteral("打　印"), 1575);
    for (SkinnedButton *button : {computeButton, excelButton, csvButton, pdfButton, printButton})
        row->addWidget(button);
    row->addStretch(1);
    connect(computeButton, &SkinnedButton::clicked, this, &GradeWindow::compute);
    connect(excelButton, &SkinnedButton::clicked, this,
            [this] { exportSheet(QStringLiteral("xlsx")); });
    connect(csvButton, &SkinnedButton::clicked, this,
            [this] { exportSheet(QStringLiteral("csv")); });
    connect(pdfButton, &SkinnedButton::clicked, this, &GradeWindow::exportPdf);
    connect(printButton, &SkinnedButton::clicked, this, &GradeWindow::print);
}

// The first source's header row names the data position; a field the teacher
// has typed in (QLineEdit's modified flag, cleared only by setText) is kept.
void GradeWindow::fillFieldsFromHeader(const QString &path) {
    m_firstRowFromHeader = false;
    const analysis::SheetLayout layout = analysis::detectFileLayout(path, std::nullopt);
    // Columns guessed from content alone are not used: only a header names them.
    const std::optional<analysis::ImportFields> found =
        layout.headerRow > 0 ? analysis::layoutImportFields(layout, path) : std::nullopt;
    if (!found) return;
    const std::pair<QLineEdit *, QString> fields[] = {{firstRowField, found->firstRow},
                                                      {numberColumnField, found->numberColumn},
                                                      {nameColumnField, found->nameColumn},
                                                      {scoreColumnField, found->scoreColumn}};
    for (const auto &[field, text] : fields)
        if (!field->isModified()) field->setText(text);
    m_firstRowFromHeader = !firstRowField->isModified();
}

void GradeWindow::compute() {
    if (isComputing()) return;
    if (classSources->sources().empty()) {
        MessageBox::show(this, analysis::messages::noSourcesToCompare());
        return;
    }
    const analysis::AnalysisSettingsOutcome outcome = settings.read();
    if (!outcome.settings) {
        MessageBox::show(this, outcome.message);
        return;
    }
    classSources->showWaiting();
    analysis::ClassFields fields{typed(firstRowField), typed(numberColumnField),
                                 typed(nameColumnField), typed(scoreColumnField)};
    // Rows below the class the header found (平均分, 制表人) are no students.
    fields.endAtFound = m_firstRowFromHeader && !firstRowField->isModified();
    m_cancel = false;
    analysis::CompareControl control;
    control.cancel = &m_cancel;
    control.progress = classSources->stateWatcher();
    m_thread = QThread::create(
        [this, sources = classSources->sources(), fields, chosen = *outcome.settings, control] {
            auto result = std::make_shared<analysis::GradeComparison>(
                analysis::compareGrade(sources, fields, chosen, control));
            QMetaObject::invokeMethod(
                this, [this, result] { finish(result); }, Qt::QueuedConnection);
        });
    m_computedSources = classSources->sources();
    computeButton->setEnabled(false);
    m_thread->start();
}

void GradeWindow::finish(const std::shared_ptr<analysis::GradeComparison> &comparison) {
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    computeButton->setEnabled(true);
    m_comparison = std::move(*comparison);
    classSources->showFailures(m_comparison->failures);
    showResults();
    emit computed();
}

void GradeWindow::showResults() {
    showTable(classTable, analysis::classTable(*m_comparison));
    chartView->setChart(pages::gradeChart(*m_comparison));
}

bool GradeWindow::checkResults() {
    if (m_comparison) return true;
    MessageBox::show(this, analysis::messages::noComparisonYet());
    return false;
}

QStringList GradeWindow::sourcePaths() const {
    QStringList paths;
    for (const analysis::ClassSource &source : m_computedSources)
        paths << source.path;
    return paths;
}

void GradeWindow::exportTo(const QString &suffix,
                           const std::function<QString(const QString &path)> &write) {
    if (checkResults()) saveDocument(this, QStringLiteral("年级对比.") + suffix, suffix, write);
}

void GradeWindow::exportSheet(const QString &suffix) {
    exportTo(suffix, [this](const QString &path) {
        return analysis::exportGrade(*m_comparison, path, m_computedSources);
    });
}

void GradeWindow::exportPdf() {
    exportTo(QStringLiteral("pdf"), [this](const QString &path) {
        return pages::writeReportPdf(pages::layoutGrade(*m_comparison, {}), path, sourcePaths());
    });
}

void GradeWindow::print() {
    if (checkResults()) printPages(this, pages::layoutGrade(*m_comparison, {}));
}
