#include "windows/progresspanel.h"

#include "analysis/texts/messages.h"
#include "pages/reportlayout.h"
#include "pages/trendchart.h"
#include "windows/filedialog.h"
#include "windows/messagebox.h"
#include "workbook/workbook.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace windows {

// A student's rank over the exams, painted as the pages paint it.
class TrendView : public QWidget {
public:
    explicit TrendView(QWidget *parent) : QWidget(parent) { setMinimumSize(360, 200); }
    const pages::TrendChart &chart() const { return m_chart; }
    void setChart(pages::TrendChart chart) {
        m_chart = std::move(chart);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.fillRect(rect(), Qt::white);
        QFont font = pages::pageFont(12);
        font.setPixelSize(12);
        pages::paintTrendChart(painter, QRectF(rect()).adjusted(4, 4, -4, -4), m_chart, font);
    }

private:
    pages::TrendChart m_chart;
};

namespace {

QTableWidget *tableWidget(QWidget *parent, const QString &name) {
    auto *table = new QTableWidget(parent);
    table->setObjectName(name);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    return table;
}

// The table's cells; 进步… in red and 退步… in green, as Chinese reports colour them.
void fillTable(QTableWidget *widget, const analysis::Table &table) {
    widget->clear();
    widget->setColumnCount(int(table.header.size()));
    widget->setRowCount(int(table.rows.size()));
    widget->setHorizontalHeaderLabels(table.header);
    for (int r = 0; r < widget->rowCount(); ++r)
        for (int c = 0; c < int(table.rows[std::size_t(r)].size()); ++c) {
            const QString &text = table.rows[std::size_t(r)][std::size_t(c)].text;
            auto *item = new QTableWidgetItem(text);
            if (text.startsWith(u"进步"_s)) item->setForeground(QColor(200, 30, 30));
            if (text.startsWith(u"退步"_s)) item->setForeground(QColor(20, 130, 40));
            widget->setItem(r, c, item);
        }
    widget->resizeColumnsToContents();
}

// 新增 and 缺少 in one list, each row saying which.
analysis::Table unmatchedTable(const analysis::ProgressTables &t) {
    analysis::Table table{{}, QStringList{u"类别"_s} + t.onlyThis.header, {}};
    for (const auto *part : {&t.onlyThis, &t.onlyLast})
        for (const std::vector<analysis::TableCell> &row : part->rows) {
            std::vector<analysis::TableCell> cells{
                analysis::textCell(part == &t.onlyThis ? u"新增"_s : u"缺少"_s)};
            cells.insert(cells.end(), row.begin(), row.end());
            table.rows.push_back(std::move(cells));
        }
    return table;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text) {
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

ProgressPanel::ProgressPanel(QWidget *parent)
    : QWidget(parent), m_sources(new QListWidget(this)), m_compare(nullptr),
      m_pages(new QStackedWidget(this)), m_summary(new QLabel(this)),
      m_notes(new QPlainTextEdit(this)), m_match(tableWidget(this, u"progressMatch"_s)),
      m_conflicts(tableWidget(this, u"progressConflicts"_s)),
      m_unmatched(tableWidget(this, u"progressUnmatched"_s)),
      m_changes(tableWidget(this, u"progressChanges"_s)),
      m_classes(tableWidget(this, u"progressClasses"_s)), m_trend(new TrendView(this)) {
    m_pages->setObjectName(u"progressPages"_s);
    m_summary->setObjectName(u"progressSummary"_s);
    m_notes->setObjectName(u"progressNotes"_s);
    m_notes->setReadOnly(true);
    m_notes->setMaximumHeight(90);
    m_trend->setObjectName(u"progressTrend"_s);
    m_trend->hide();
    auto *column = new QVBoxLayout(this);
    column->addWidget(sourcesPage());
    m_pages->addWidget(matchPage());
    m_pages->addWidget(changesPage());
    m_pages->hide();
    column->addWidget(m_pages, 1);
    connect(m_changes, &QTableWidget::itemSelectionChanged, this, &ProgressPanel::studentChosen);
}

QWidget *ProgressPanel::sourcesPage() {
    auto *page = new QWidget(this);
    m_sources->setObjectName(u"progressSources"_s);
    QPushButton *addLast = button(page, u"progressAddLast"_s, u"添加上次考试的来源…"_s);
    QPushButton *addEarlier = button(page, u"progressAddEarlier"_s, u"添加更早的一次考试…"_s);
    QPushButton *remove = button(page, u"progressRemove"_s, u"移除"_s);
    m_compare = button(page, u"progressCompare"_s, u"对　比"_s);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {addLast, addEarlier, remove, m_compare})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_sources, 1);
    row->addLayout(buttons);
    m_sources->setMaximumHeight(90);
    connect(addLast, &QPushButton::clicked, this, [this] { addSources(false); });
    connect(addEarlier, &QPushButton::clicked, this, [this] { addSources(true); });
    connect(remove, &QPushButton::clicked, this, &ProgressPanel::removeSource);
    connect(m_compare, &QPushButton::clicked, this, &ProgressPanel::compare);
    return page;
}

QWidget *ProgressPanel::matchPage() {
    auto *page = new QWidget(this);
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_summary);
    column->addWidget(new QLabel(u"学生对应（仅供教师使用，请勿公开）"_s, page));
    column->addWidget(m_match);
    column->addWidget(new QLabel(u"对应冲突（不对应，不比较）"_s, page));
    column->addWidget(m_conflicts, 1);
    column->addWidget(new QLabel(u"新增与缺少（无上次成绩）"_s, page));
    column->addWidget(m_unmatched, 1);
    QPushButton *next = button(page, u"progressShowChanges"_s, u"查看成绩变化"_s);
    column->addWidget(next, 0, Qt::AlignRight);
    connect(next, &QPushButton::clicked, this, [this] { m_pages->setCurrentIndex(1); });
    return page;
}

QWidget *ProgressPanel::changesPage() {
    auto *page = new QWidget(this);
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new QLabel(u"成绩变化（仅供教师使用，请勿公开）"_s, page));
    column->addWidget(m_changes, 3);
    auto *lower = new QHBoxLayout;
    lower->addWidget(m_classes, 1);
    lower->addWidget(m_trend, 1);
    column->addWidget(new QLabel(u"各班进步与退步"_s, page));
    column->addLayout(lower, 1);
    column->addWidget(m_notes);
    QPushButton *back = button(page, u"progressShowMatch"_s, u"返回对应情况"_s);
    column->addWidget(back, 0, Qt::AlignRight);
    connect(back, &QPushButton::clicked, this, [this] { m_pages->setCurrentIndex(0); });
    return page;
}

void ProgressPanel::setExam(const analysis::ExamRequest &request,
                            const analysis::ExamAnalysis &exam) {
    m_request = request;
    m_exam = exam;
    m_report.reset();
    m_pages->hide();
}

void ProgressPanel::addSources(bool earlier) {
    const QStringList paths = FileDialog::getOpenFileNames(
        this, u"所有工作簿 (%1);;所有文件 (*)"_s.arg(analysis::workbookPatterns()));
    if (paths.isEmpty()) return;
    QStringList absolute;
    for (const QString &path : paths)
        absolute << QFileInfo(path).absoluteFilePath();
    if (earlier || m_earlier.empty())
        m_earlier.insert(earlier ? m_earlier.begin() : m_earlier.end(), absolute);
    else
        m_earlier.back() << absolute;
    listSources();
}

void ProgressPanel::removeSource() {
    const int row = m_sources->currentRow();
    if (row < 0) return;
    int at = 0;
    for (auto exam = m_earlier.begin(); exam != m_earlier.end(); ++exam) {
        if (row < at + exam->size()) {
            exam->removeAt(row - at);
            if (exam->isEmpty()) m_earlier.erase(exam);
            break;
        }
        at += int(exam->size());
    }
    listSources();
}

// 上次 the last, 第1次, 第2次 … those before it.
void ProgressPanel::listSources() {
    m_sources->clear();
    for (std::size_t e = 0; e < m_earlier.size(); ++e) {
        const QString exam = e + 1 == m_earlier.size() ? u"上次"_s : u"第%1次"_s.arg(e + 1);
        for (const QString &path : m_earlier[e])
            m_sources->addItem(exam + u"："_s + path);
    }
}

void ProgressPanel::compare() {
    if (!m_exam || !m_request) return MessageBox::show(this, analysis::messages::progressNoExam());
    if (m_earlier.empty()) return MessageBox::show(this, analysis::messages::progressNoLastExam());
    std::vector<analysis::ExamAnalysis> exams;
    std::vector<analysis::ExamRequest> requests;
    if (const std::optional<QString> failed = analyseEarlier(exams, requests))
        return MessageBox::show(this, *failed);
    std::vector<const analysis::ExamAnalysis *> examPointers;
    std::vector<const analysis::ExamRequest *> requestPointers;
    QStringList names;
    for (std::size_t e = 0; e < exams.size(); ++e) {
        examPointers.push_back(&exams[e]);
        requestPointers.push_back(&requests[e]);
        names << (e + 1 == exams.size() ? u"上次"_s : u"第%1次"_s.arg(e + 1));
    }
    examPointers.push_back(&*m_exam);
    requestPointers.push_back(&*m_request);
    names << u"本次"_s;
    m_report = analysis::compareExams(examPointers, requestPointers, names);
    m_tables = analysis::progressTables(*m_report, *m_exam);
    showReport();
    emit compared();
}

// Each earlier exam read as this one is, from its own sources.
std::optional<QString> ProgressPanel::analyseEarlier(std::vector<analysis::ExamAnalysis> &exams,
                                                     std::vector<analysis::ExamRequest> &requests) {
    for (std::size_t e = 0; e < m_earlier.size(); ++e) {
        analysis::ExamRequest request = *m_request;
        request.sources.clear();
        request.sourceColumns.clear();
        for (const QString &path : m_earlier[e]) {
            analysis::ClassSource source;
            source.path = source.label = path;
            request.sources.push_back(source);
        }
        analysis::ExamOutcome outcome = analysis::analyseExam(request);
        if (!outcome.exam) return outcome.message;
        if (outcome.exam->students.empty())
            return analysis::messages::progressNoStudents(m_earlier[e].join(u"、"_s));
        exams.push_back(std::move(*outcome.exam));
        requests.push_back(std::move(request));
    }
    return std::nullopt;
}

// The match first: the comparison is looked at only after it.
void ProgressPanel::showReport() {
    const analysis::StudentMatch &m = m_report->match;
    m_summary->setText(
        u"按学号对应 %1 人，按姓名对应 %2 人，新增 %3 人，缺少 %4 人，冲突 %5 处"_s.arg(m.byNumber)
            .arg(m.byName)
            .arg(m.onlyThis.size())
            .arg(m.onlyLast.size())
            .arg(m.conflicts.size()));
    fillTable(m_match, m_tables.match);
    fillTable(m_conflicts, m_tables.conflicts);
    fillTable(m_unmatched, unmatchedTable(m_tables));
    fillTable(m_changes, m_tables.changes);
    fillTable(m_classes, m_tables.classes);
    m_notes->setPlainText(
        (m_tables.notes + QStringList{u"口径说明"_s} + m_tables.rules).join(u'\n'));
    m_trend->hide();
    m_pages->setCurrentIndex(0);
    m_pages->show();
}

// With three or more exams, the chosen student's rank in each.
void ProgressPanel::studentChosen() {
    const QList<QTableWidgetItem *> chosen = m_changes->selectedItems();
    if (!m_report || m_report->history.empty() || chosen.isEmpty()) return m_trend->hide();
    const int row = chosen.first()->row();
    const std::size_t student = std::size_t(m_exam->order[std::size_t(row)]);
    const std::vector<analysis::HistoryPoint> &history = m_report->history[student];
    const analysis::MatchStudent &s = m_report->thisStudents[student];
    pages::TrendChart chart{s.name + u"的名次（"_s +
                                m_report->items[std::size_t(m_tables.trendItem)].name + u"）"_s,
                            {}};
    for (std::size_t e = 0; e < history.size(); ++e)
        chart.points.push_back({m_report->examNames.value(qsizetype(e)), history[e].gradeRank});
    m_trend->setChart(std::move(chart));
    m_trend->show();
}

const pages::TrendChart &ProgressPanel::trendChart() const {
    return m_trend->chart();
}

} // namespace windows
