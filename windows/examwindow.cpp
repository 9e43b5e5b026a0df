#include "windows/examwindow.h"

#include "analysis/exam/examexport.h"
#include "analysis/exam/examoptions.h"
#include "analysis/exam/examtable.h"
#include "analysis/exam/examtables.h"
#include "analysis/layout/filelayout.h"
#include "analysis/texts/exammessages.h"
#include "analysis/texts/messages.h"
#include "pages/examlayout.h"
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
#include "windows/progresspanel.h"
#include "windows/resulttable.h"
#include "windows/slipspanel.h"
#include "windows/windowplacement.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>

namespace {

enum SubjectColumn { SubjectName, SubjectLetters, SubjectFullMarks, SubjectTotals };

QString cellText(const QTableWidget *table, int row, int column) {
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text().trimmed() : QString();
}

// The subjects a total item "语数英=语文+数学+英语" names.
QStringList totalSubjects(const QString &item) {
    QStringList subjects;
    for (const QString &name : item.section(u'=', 1).split(u'+'))
        subjects << name.trimmed();
    return subjects;
}

} // namespace

ExamWindow::ExamWindow()
    : DocumentWindow(QStringLiteral("考试分析"), QStringLiteral("ExamWindow")) {
    QWidget *sources = buildSources();
    QWidget *results = buildResults();
    auto *commands = new QHBoxLayout;
    buildCommands(commands);
    layOut(sources, results, commands, 8);
}

ExamWindow::~ExamWindow() {
    m_cancel = true;
    if (m_thread) m_thread->wait();
    delete m_thread;
}

QWidget *ExamWindow::buildSources() {
    QWidget *panel = fieldPanel(380);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(6, 4, 6, 6);
    column->setSpacing(4);
    examSources =
        new SourceList(this, panel, column,
                       {QStringLiteral("成绩来源"), QStringLiteral("读取工作簿的每个工作表"),
                        QStringLiteral("（每个工作表）"),
                        QStringLiteral("选择成绩工作簿所在的文件夹"), "examSourceList"},
                       76, [this] { return isComputing(); });
    connect(examSources, &SourceList::changed, this, &ExamWindow::detectFirstSource);
    buildColumns(column);
    settings = addSettingsFields(column, QStringLiteral("85%"), QStringLiteral("75%"), false);
    return panel;
}

// The columns of the first source as the detection found them, every one
// editable; the other sources are read by their own headers, their subjects
// matched by name.
void ExamWindow::buildColumns(QVBoxLayout *column) {
    column->addWidget(headingLabel(QStringLiteral("各列（按第一个来源的表头识别）")));
    detectionLabel = new QLabel(QStringLiteral("添加来源后自动识别表头"));
    detectionLabel->setObjectName(QStringLiteral("detectionLabel"));
    detectionLabel->setWordWrap(true);
    column->addWidget(detectionLabel);
    auto *grid = new QGridLayout;
    firstRowField = addGridField(grid, 0, QStringLiteral("数据起始行"), "firstRowField", "2");
    classColumnField = addGridField(grid, 1, QStringLiteral("班级在列"), "classColumnField", {});
    numberColumnField = addGridField(grid, 2, QStringLiteral("学号在列"), "numberColumnField", "A");
    nameColumnField = addGridField(grid, 3, QStringLiteral("姓名在列"), "nameColumnField", "B");
    subjectColumnField =
        addGridField(grid, 4, QStringLiteral("科目在列"), "subjectColumnField", {});
    remarkColumnField = addGridField(grid, 5, QStringLiteral("评语在列"), "remarkColumnField", {});
    remarkColumnField->setToolTip(
        QStringLiteral("教师评语所在的列，印在该生本人的成绩条上；没有评语列时留空"));
    subjectColumnField->setToolTip(QStringLiteral(
        "一行一科的成绩表（每行是一个学生的一科）的科目列；每个学生一行的成绩表留空"));
    column->addLayout(grid);
    examSubjectTable = new QTableWidget(0, 4);
    examSubjectTable->setObjectName(QStringLiteral("examSubjectTable"));
    examSubjectTable->setHorizontalHeaderLabels({QStringLiteral("学科"), QStringLiteral("列"),
                                                 QStringLiteral("满分"),
                                                 QStringLiteral("计入总分")});
    examSubjectTable->verticalHeader()->hide();
    examSubjectTable->setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    examSubjectTable->horizontalHeader()->setStretchLastSection(true);
    examSubjectTable->setColumnWidth(SubjectName, 90);
    examSubjectTable->setColumnWidth(SubjectLetters, 40);
    examSubjectTable->setColumnWidth(SubjectFullMarks, 60);
    examSubjectTable->setToolTip(QStringLiteral("满分留空：100分；成绩有高于100分且都不超过150分"
                                                "时按150分。勾选的学科计入“总分”。"));
    column->addWidget(examSubjectTable, 1);
    auto *totals = new QGridLayout;
    totalsField = addGridField(totals, 0, QStringLiteral("其他总分"), "totalsField", {});
    totalsField->setPlaceholderText(QStringLiteral("如 语数英=语文+数学+英语；多个用分号隔开"));
    totals->addWidget(totalsField, totals->rowCount() - 1, 1, 1, 3);
    marginField = addGridField(totals, 2, QStringLiteral("临界分差"), "marginField", "5%");
    column->addLayout(totals);
    connect(totalsField, &QLineEdit::textChanged, this, &ExamWindow::showTotals);
    connect(examSubjectTable, &QTableWidget::itemChanged, this, &ExamWindow::showTotals);
}

QWidget *ExamWindow::buildResults() {
    examTabs = new QTabWidget;
    examTabs->setObjectName(QStringLiteral("examTabs"));
    scoresTable = resultTable("scoresTable");
    figuresTable = resultTable("figuresTable");
    classesTable = resultTable("classesTable");
    ratesTable = resultTable("ratesTable");
    weakTable = resultTable("weakTable");
    borderlineTable = resultTable("borderlineTable");
    const auto stacked = [](const QString &first, QWidget *top, const QString &second,
                            QWidget *bottom) {
        auto *page = new QWidget;
        auto *column = new QVBoxLayout(page);
        column->addWidget(headingLabel(first));
        column->addWidget(top, 3);
        column->addWidget(headingLabel(second));
        column->addWidget(bottom, 2);
        return page;
    };
    examTabs->addTab(scoresTable, QStringLiteral("成绩总表"));
    examTabs->addTab(figuresTable, QStringLiteral("学科分析"));
    examTabs->addTab(stacked(QStringLiteral("班级对比"), classesTable,
                             QStringLiteral("各班得分率（%）"), ratesTable),
                     QStringLiteral("班级对比"));
    examTabs->addTab(
        stacked(QStringLiteral("偏科"), weakTable, QStringLiteral("临界生"), borderlineTable),
        QStringLiteral("偏科与临界生"));
    auto *charts = new QScrollArea;
    charts->setObjectName(QStringLiteral("chartArea"));
    charts->setWidgetResizable(true);
    auto *chartPage = new QWidget;
    chartColumn = new QVBoxLayout(chartPage);
    chartColumn->addStretch(1);
    charts->setWidget(chartPage);
    examTabs->addTab(charts, QStringLiteral("得分率"));
    notesView = new QPlainTextEdit;
    notesView->setObjectName(QStringLiteral("notesView"));
    notesView->setReadOnly(true);
    examTabs->addTab(notesView, QStringLiteral("说明"));
    // The two take this exam once it is analysed; the slips take the change
    // once the exams are compared.
    progressPanel = new windows::ProgressPanel;
    progressPanel->setObjectName(QStringLiteral("progressPanel"));
    examTabs->addTab(progressPanel, QStringLiteral("与上次考试对比"));
    slipsPanel = new windows::SlipsPanel;
    slipsPanel->setObjectName(QStringLiteral("slipsPanel"));
    examTabs->addTab(slipsPanel, QStringLiteral("成绩条"));
    connect(progressPanel, &windows::ProgressPanel::compared, this,
            [this] { slipsPanel->setProgress(progressPanel->report()); });
    return examTabs;
}

void ExamWindow::buildCommands(QHBoxLayout *row) {
    computeButton = commandButton(this, "computeButton", QStringLiteral("计　算"), 1575);
    excelButton = commandButton(this, "excelButton", QStringLiteral("导出 Excel"), 1575);
    csvButton = commandButton(this, "csvButton", QStringLiteral("导出 CSV"), 1575);
    pdfButton = commandButton(this, "pdfButton", QStringLiteral("导出 PDF"), 1575);
    printButton = commandButton(this, "printButton", QStringLiteral("打　印"), 1575);
    for (SkinnedButton *button : {computeButton, excelButton, csvButton, pdfButton, printButton})
        row->addWidget(button);
    row->addStretch(1);
    connect(computeButton, &SkinnedButton::clicked, this, &ExamWindow::compute);
    connect(excelButton, &SkinnedButton::clicked, this,
            [this] { exportSheet(QStringLiteral("xlsx")); });
    connect(csvButton, &SkinnedButton::clicked, this,
            [this] { exportSheet(QStringLiteral("csv")); });
    connect(pdfButton, &SkinnedButton::clicked, this, &ExamWindow::exportPdf);
    connect(printButton, &SkinnedButton::clicked, this, &ExamWindow::print);
}

// The first source's header fills the columns, once for each new first source.
void ExamWindow::detectFirstSource() {
    const std::vector<analysis::ClassSource> &sources = examSources->sources();
    if (sources.empty() || sources.front().label == m_detectedFrom) return;
    const analysis::ClassSource &first = sources.front();
    m_detectedFrom = first.label;
    const bool file = first.kind == analysis::ClassSource::Kind::File;
    const analysis::SheetLayout layout = analysis::detectFileLayout(
        first.path,
        file && !first.sheet.isEmpty() ? std::optional<QString>(first.sheet) : std::nullopt);
    examSubjectTable->setRowCount(0);
    m_detectedSheet = layout.sheetName;
    if (layout.errorNumber || !layout.number.found() || !layout.name.found() ||
        layout.scores.empty()) {
        detectionLabel->setText(layout.errorNumber
                                    ? analysis::importFailureMessage(layout.errorNumber)
                                    : analysis::messages::examLayoutMissing());
        return;
    }
    m_detectedFirstRow = QString::number(layout.firstRow);
    const int rows = analysis::dataRowCount(layout);
    m_detectedLastRow = file && rows > 0 ? layout.firstRow + rows - 1 : 0;
    firstRowField->setText(m_detectedFirstRow);
    numberColumnField->setText(analysis::columnLetters(layout.number.column));
    nameColumnField->setText(analysis::columnLetters(layout.name.column));
    classColumnField->setText(
        layout.className.found() ? analysis::columnLetters(layout.className.column) : QString());
    subjectColumnField->setText(
        layout.course.found() ? analysis::columnLetters(layout.course.column) : QString());
    remarkColumnField->setText(layout.remark.found() ? analysis::columnLetters(layout.remark.column)
                                                     : QString());
    if (layout.course.found()) {
        // A long table names its subjects in its rows: those of the rows sampled.
        const QString letters = analysis::columnLetters(layout.longTableScore().column);
        for (const QString &subject : layout.courses)
            addSubjectRow(subject, letters);
    } else {
        for (const analysis::LayoutColumn &score : layout.scores) {
            const QString letters = analysis::columnLetters(score.column);
            addSubjectRow(score.header.isEmpty() ? letters : score.header, letters);
        }
    }
    QString said = QStringLiteral("已按%1的工作表“%2”识别，可修改。")
                       .arg(QFileInfo(first.path).fileName(), layout.sheetName);
    if (layout.course.found())
        said += QStringLiteral("\n一行一科的成绩表：按科目列分科。上表列出开头各行中的科目；"
                               "全部勾选时，表中未列出的科目也计入总分。");
    if (!layout.fromHeader) said += u'\n' + layout.notes.join(u'\n');
    detectionLabel->setText(said);
    showTotals();
}

void ExamWindow::addSubjectRow(const QString &subject, const QString &column) {
    const QSignalBlocker quiet(examSubjectTable);
    const int row = examSubjectTable->rowCount();
    examSubjectTable->insertRow(row);
    examSubjectTable->setItem(row, SubjectName, new QTableWidgetItem(subject));
    examSubjectTable->setItem(row, SubjectLetters, new QTableWidgetItem(column));
    examSubjectTable->setItem(row, SubjectFullMarks, new QTableWidgetItem());
    auto *totals = new QTableWidgetItem;
    totals->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    totals->setCheckState(Qt::Checked);
    examSubjectTable->setItem(row, SubjectTotals, totals);
}

// The totals each subject lies in, beside its check of 总分.
void ExamWindow::showTotals() {
    const QStringList items = totalItems();
    const QSignalBlocker quiet(examSubjectTable);
    for (int row = 0; row < examSubjectTable->rowCount(); ++row) {
        const QString subject = cellText(examSubjectTable, row, SubjectName);
        QStringList names;
        for (const QString &item : items)
            if (totalSubjects(item).contains(subject)) names << item.section(u'=', 0, 0).trimmed();
        if (QTableWidgetItem *cell = examSubjectTable->item(row, SubjectTotals))
            cell->setText(names.join(u'、'));
    }
}

bool ExamWindow::everySubjectChecked() const {
    for (int row = 0; row < examSubjectTable->rowCount(); ++row)
        if (examSubjectTable->item(row, SubjectTotals)->checkState() != Qt::Checked) return false;
    return examSubjectTable->rowCount() > 0;
}

// 总分 over the checked subjects, then the totals typed.
QStringList ExamWindow::totalItems() const {
    QStringList checked;
    for (int row = 0; row < examSubjectTable->rowCount(); ++row)
        if (examSubjectTable->item(row, SubjectTotals)->checkState() == Qt::Checked)
            checked << cellText(examSubjectTable, row, SubjectName);
    QStringList items;
    if (!checked.isEmpty()) items << QStringLiteral("总分=") + checked.join(u'+');
    static const QRegularExpression separators(QStringLiteral("[;；\\n]"));
    for (const QString &item : totalsField->text().split(separators, Qt::SkipEmptyParts))
        if (!item.trimmed().isEmpty()) items << item.trimmed();
    return items;
}

analysis::ExamColumns ExamWindow::firstColumns() const {
    analysis::ExamColumns columns;
    columns.firstRow = firstRowField->text();
    columns.numberColumn = numberColumnField->text();
    columns.nameColumn = nameColumnField->text();
    if (!classColumnField->text().trimmed().isEmpty())
        columns.classColumn = classColumnField->text();
    if (!subjectColumnField->text().trimmed().isEmpty())
        columns.subjectColumn = subjectColumnField->text();
    if (!remarkColumnField->text().trimmed().isEmpty())
        columns.remarkColumn = remarkColumnField->text();
    for (int row = 0; row < examSubjectTable->rowCount(); ++row) {
        columns.scoreColumns << cellText(examSubjectTable, row, SubjectLetters);
        columns.subjectNames << cellText(examSubjectTable, row, SubjectName);
    }
    // What lies below the class found (平均分, 制表人) is no student.
    if (firstRowField->text().trimmed() == m_detectedFirstRow) columns.lastRow = m_detectedLastRow;
    return columns;
}

// The request the window's fields describe, read by the command line's own
// rules (readExamRequest), or nothing when a field is refused (its message shown).
std::optional<analysis::ExamRequest> ExamWindow::examRequest() {
    analysis::ExamOptionTexts options;
    options.sources = examSources->sources();
    options.columnsMode = QStringLiteral("auto");
    options.settings = settings.texts();
    options.totals = totalItems();
    for (int row = 0; row < examSubjectTable->rowCount(); ++row)
        if (const QString marks = cellText(examSubjectTable, row, SubjectFullMarks);
            !marks.isEmpty())
            options.fullMarksOf << cellText(examSubjectTable, row, SubjectName) + u'=' + marks;
    if (!marginField->text().trimmed().isEmpty()) options.margin = marginField->text();
    QString refused;
    if (options.sources.empty())
        refused = analysis::messages::examNoSources();
    else if (options.totals.isEmpty() && examSubjectTable->rowCount() > 0)
        refused = analysis::messages::examNoTotal();
    else if (examSubjectTable->rowCount() > 0)
        refused = analysis::examColumnsProblem(firstColumns());
    std::variant<analysis::ExamRequest, QString> made = analysis::readExamRequest(options);
    if (refused.isEmpty())
        if (const QString *message = std::get_if<QString>(&made)) refused = *message;
    if (!refused.isEmpty()) {
        MessageBox::show(this, refused);
        return std::nullopt;
    }
    analysis::ExamRequest request = std::get<analysis::ExamRequest>(std::move(made));
    // Every subject checked: 总分 over every subject found, among them a long
    // table's beyond the rows listed and those only other sources have.
    if (everySubjectChecked() && !request.totals.empty()) request.totals.front().subjects.clear();
    if (examSubjectTable->rowCount() > 0) {
        request.sourceColumns = {firstColumns()};
        analysis::ClassSource &first = request.sources.front();
        if (first.kind == analysis::ClassSource::Kind::File && first.sheet.isEmpty())
            first.sheet = m_detectedSheet;
    }
    return request;
}

void ExamWindow::compute() {
    if (isComputing()) return;
    std::optional<analysis::ExamRequest> request = examRequest();
    if (!request) return;
    examSources->showWaiting();
    m_cancel = false;
    analysis::CompareControl control;
    control.cancel = &m_cancel;
    control.progress = examSources->stateWatcher();
    m_thread = QThread::create([this, asked = *request, control] {
        auto outcome =
            std::make_shared<analysis::ExamOutcome>(analysis::analyseExam(asked, control));
        QMetaObject::invokeMethod(
            this, [this, outcome] { finish(outcome); }, Qt::QueuedConnection);
    });
    m_computedRequest = *request;
    computeButton->setEnabled(false);
    m_thread->start();
}

void ExamWindow::finish(const std::shared_ptr<analysis::ExamOutcome> &outcome) {
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    computeButton->setEnabled(true);
    if (outcome->exam) examSources->showFailures(outcome->exam->failures);
    m_exam.reset();
    if (outcome->message.isEmpty()) m_exam = std::move(outcome->exam);
    if (m_exam) {
        progressPanel->setExam(*m_computedRequest, *m_exam);
        slipsPanel->setExam(*m_computedRequest, *m_exam);
    }
    showResults();
    if (!outcome->message.isEmpty()) MessageBox::show(this, outcome->message);
    emit examAnalysed();
}

void ExamWindow::showResults() {
    const analysis::ExamTables tables =
        m_exam ? analysis::examTables(*m_exam) : analysis::ExamTables{};
    showTable(scoresTable, tables.scores);
    showTable(figuresTable, tables.subjects);
    showTable(classesTable, tables.classes);
    showTable(ratesTable, tables.rates);
    showTable(weakTable, tables.weak);
    showTable(borderlineTable, tables.borderline);
    QStringList text;
    if (!tables.notes.isEmpty()) text << QStringLiteral("说明") << tables.notes << QString();
    if (m_exam) text << QStringLiteral("口径说明") << tables.rules;
    notesView->setPlainText(text.join(u'\n'));
    showCharts();
}

// The grade's chart, then each class's when there are several, as they print.
void ExamWindow::showCharts() {
    while (chartColumn->count() > 1)
        delete chartColumn->takeAt(0)->widget();
    if (!m_exam) return;
    std::vector<pages::Block> charts{pages::examGradeChart(*m_exam)};
    if (m_exam->classes.size() > 1)
        for (const analysis::ExamClass &c : m_exam->classes)
            charts.push_back(pages::examClassChart(*m_exam, c));
    int at = 0;
    for (pages::Block &block : charts) {
        chartColumn->insertWidget(at++, headingLabel(block.title));
        auto *view = new ChartView;
        view->setObjectName(QStringLiteral("rateChart"));
        view->setFixedHeight(240);
        view->setChart(std::move(block.chart));
        chartColumn->insertWidget(at++, view);
    }
}

bool ExamWindow::checkResults() {
    if (m_exam) return true;
    MessageBox::show(this, analysis::messages::examNotYet());
    return false;
}

QStringList ExamWindow::sourcePaths() const {
    QStringList paths;
    for (const analysis::ClassSource &source : m_computedRequest->sources)
        paths << source.path;
    return paths;
}

void ExamWindow::exportTo(const QString &suffix,
                          const std::function<QString(const QString &path)> &write) {
    if (!checkResults()) return;
    const QString folder = QFileInfo(m_computedRequest->sources.front().path).absolutePath() + u'/';
    saveDocument(this, folder + QStringLiteral("考试分析.") + suffix, suffix, write);
}

void ExamWindow::exportSheet(const QString &suffix) {
    exportTo(suffix, [this](const QString &path) {
        return analysis::exportExamTables(analysis::examTables(*m_exam), path, sourcePaths());
    });
}

void ExamWindow::exportPdf() {
    exportTo(QStringLiteral("pdf"), [this](const QString &path) {
        return pages::writeReportPdf(pages::layoutExam(*m_exam, {}), path, sourcePaths());
    });
}

void ExamWindow::print() {
    if (checkResults()) printPages(this, pages::layoutExam(*m_exam, {}));
}
