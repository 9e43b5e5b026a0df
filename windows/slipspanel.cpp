#include "windows/slipspanel.h"

#include "analysis/slips/examslips.h"
#include "analysis/slips/slipchanges.h"
#include "analysis/slips/slipxlsx.h"
#include "analysis/texts/exammessages.h"
#include "pages/slippainter.h"
#include "pages/slippdf.h"
#include "skin/skinnedbutton.h"
#include "windows/documentcommands.h"
#include "windows/messagebox.h"
#include "windows/printdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace windows {

// The first page of slips, scaled to the widget's width.
class SlipPreview : public QWidget {
public:
    explicit SlipPreview(const pages::SlipLayout &layout, QWidget *parent)
        : QWidget(parent), m_layout(layout) {
        setMinimumSize(210, 297); // A4 at a tenth; it grows with the panel
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (m_layout.pages.empty()) return;
        const double scale = std::min(width() / 2100.0, height() / 2970.0);
        painter.scale(scale, scale);
        pages::paintSlipPage(painter, m_layout, 0);
    }

private:
    const pages::SlipLayout &m_layout;
};

SlipsPanel::SlipsPanel(QWidget *parent)
    : QWidget(parent), m_preset(new QComboBox(this)), m_form(new QComboBox(this)),
      m_preview(new SlipPreview(m_layout, this)), m_remarks(new QTableWidget(0, 3, this)) {
    m_preset->setObjectName(u"slipPreset"_s);
    m_preset->addItem(analysis::presetName(analysis::SlipPreset::Compulsory));
    m_preset->addItem(analysis::presetName(analysis::SlipPreset::Senior));
    m_form->setObjectName(u"slipForm"_s);
    m_form->addItems({u"成绩条（每页多条）"_s, u"每人一页"_s});
    m_preview->setObjectName(u"slipPreview"_s);
    auto *controls = new QHBoxLayout;
    controls->addWidget(new QLabel(u"方案"_s, this));
    controls->addWidget(m_preset);
    controls->addWidget(new QLabel(u"版式"_s, this));
    controls->addWidget(m_form);
    auto *items = new QHBoxLayout;
    for (analysis::SlipItem item : analysis::AllSlipItems) {
        auto *box = new QCheckBox(analysis::slipItemTitle(item), this);
        box->setObjectName(u"slipItem_"_s + analysis::slipItemKey(item));
        items->addWidget(box);
        m_items.push_back(box);
        connect(box, &QCheckBox::toggled, this, &SlipsPanel::refresh);
    }
    auto *commands = new QHBoxLayout;
    SkinnedButton *pdf = commandButton(this, "slipPdfButton", u"导出 PDF"_s);
    SkinnedButton *excel = commandButton(this, "slipExcelButton", u"导出 Excel"_s);
    SkinnedButton *print = commandButton(this, "slipPrintButton", u"打　印"_s);
    for (SkinnedButton *button : {pdf, excel, print})
        commands->addWidget(button);
    commands->addStretch(1);
    connect(pdf, &SkinnedButton::clicked, this, &SlipsPanel::exportPdf);
    connect(excel, &SkinnedButton::clicked, this, &SlipsPanel::exportSheet);
    connect(print, &SkinnedButton::clicked, this, &SlipsPanel::print);
    m_remarks->setObjectName(u"slipRemarks"_s);
    m_remarks->setHorizontalHeaderLabels({u"学号"_s, u"姓名"_s, u"教师评语"_s});
    m_remarks->verticalHeader()->hide();
    m_remarks->horizontalHeader()->setStretchLastSection(true);
    m_remarks->setColumnWidth(0, 70);
    m_remarks->setColumnWidth(1, 60);
    m_remarks->setToolTip(u"双击“教师评语”一栏输入对该生的评语，只印在他本人的成绩条上；"
                          "成绩表有“评语”列时已按该列填好"_s);
    connect(m_remarks, &QTableWidget::cellChanged, this, &SlipsPanel::remarkTyped);
    auto *pageAndRemarks = new QHBoxLayout;
    pageAndRemarks->addWidget(m_preview, 3);
    pageAndRemarks->addWidget(m_remarks, 2);
    auto *column = new QVBoxLayout(this);
    column->addLayout(controls);
    column->addLayout(items);
    column->addLayout(pageAndRemarks, 1);
    column->addLayout(commands);
    connect(m_preset, &QComboBox::currentIndexChanged, this, &SlipsPanel::presetChosen);
    connect(m_form, &QComboBox::currentIndexChanged, this, &SlipsPanel::refresh);
    presetChosen();
}

void SlipsPanel::setExam(const analysis::ExamRequest &request, const analysis::ExamAnalysis &exam) {
    m_settings = request.settings;
    m_examStudents = analysis::slipStudents(exam);
    m_students = m_examStudents;
    m_compared = false;
    m_sourcePaths.clear();
    for (const analysis::ClassSource &source : request.sources)
        m_sourcePaths << source.path;
    showRemarks();
    presetChosen();
}

// Every student with the words for their slip, which only the third column takes.
void SlipsPanel::showRemarks() {
    const QSignalBlocker quiet(m_remarks);
    m_remarks->setRowCount(int(m_examStudents.size()));
    for (int r = 0; r < m_remarks->rowCount(); ++r) {
        const analysis::SlipStudent &student = m_examStudents[std::size_t(r)];
        const QString texts[] = {student.number, student.name, student.remark};
        for (int c = 0; c < 3; ++c) {
            auto *item = new QTableWidgetItem(texts[c]);
            if (c < 2) item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            m_remarks->setItem(r, c, item);
        }
    }
}

void SlipsPanel::remarkTyped(int row, int column) {
    if (column != 2 || row < 0 || std::size_t(row) >= m_examStudents.size()) return;
    const QString remark = m_remarks->item(row, column)->text();
    m_examStudents[std::size_t(row)].remark = remark;
    if (std::size_t(row) < m_students.size()) m_students[std::size_t(row)].remark = remark;
    refresh();
}

// The change since the last exam is there only once the exams are compared.
void SlipsPanel::setProgress(const analysis::ProgressReport *report) {
    m_students = m_examStudents;
    m_compared = report != nullptr;
    if (report) analysis::addSlipChanges(m_students, *report);
    presetChosen();
}

void SlipsPanel::presetChosen() {
    const auto preset = analysis::SlipPreset(m_preset->currentIndex());
    const analysis::SlipItems on = analysis::presetItems(preset);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const QSignalBlocker blocker(m_items[i]);
        const bool change = analysis::AllSlipItems[i] == analysis::SlipItem::Change;
        m_items[i]->setChecked(on.has(analysis::AllSlipItems[i]) && (!change || m_compared));
        if (change) m_items[i]->setEnabled(m_compared);
    }
    refresh();
}

analysis::SlipOptions SlipsPanel::options() const {
    analysis::SlipOptions options;
    options.preset = analysis::SlipPreset(m_preset->currentIndex());
    for (std::size_t i = 0; i < m_items.size(); ++i)
        options.items.set(analysis::AllSlipItems[i], m_items[i]->isChecked());
    return options;
}

void SlipsPanel::refresh() {
    const analysis::SlipOptions chosen = options();
    std::vector<analysis::SlipContent> slips;
    for (const analysis::SlipStudent &student : m_students)
        slips.push_back(analysis::slipContent({}, student, chosen, m_settings));
    const auto form =
        m_form->currentIndex() == 0 ? pages::SlipForm::Strips : pages::SlipForm::PagePerStudent;
    m_layout = pages::layoutSlips(std::move(slips), form);
    m_preview->update();
}

bool SlipsPanel::checkStudents() {
    if (!m_students.empty()) return true;
    MessageBox::show(this, analysis::messages::examNotYet());
    return false;
}

// Beside the exam's first workbook, as the exam's own exports.
static QString suggestedSlipsPath(const QStringList &sources, const QString &suffix) {
    const QString folder =
        sources.isEmpty() ? QString() : QFileInfo(sources.front()).absolutePath() + u'/';
    return folder + u"成绩条."_s + suffix;
}

void SlipsPanel::exportPdf() {
    if (!checkStudents()) return;
    saveDocument(this, suggestedSlipsPath(m_sourcePaths, u"pdf"_s), u"pdf"_s,
                 [this](const QString &path) {
                     return pages::writeSlipsPdf(m_layout, path, m_sourcePaths);
                 });
}

void SlipsPanel::exportSheet() {
    if (!checkStudents()) return;
    saveDocument(this, suggestedSlipsPath(m_sourcePaths, u"xlsx"_s), u"xlsx"_s,
                 [this](const QString &path) {
                     return analysis::writeSlipsXlsx({}, m_students, options(), m_settings, path,
                                                     m_sourcePaths);
                 });
}

void SlipsPanel::print() {
    if (!checkStudents()) return;
    PrintDialog::preview(this, [layout = m_layout](QPagedPaintDevice &device) {
        pages::paintSlipPages(device, layout);
    });
}

} // namespace windows
