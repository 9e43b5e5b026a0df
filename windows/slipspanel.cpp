#include "windows/slipspanel.h"

#include "analysis/slips/examslips.h"
#include "pages/slippainter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace windows {

// The first page of slips, scaled to the widget's width.
class SlipPreview : public QWidget {
public:
    explicit SlipPreview(const pages::SlipLayout &layout, QWidget *parent)
        : QWidget(parent), m_layout(layout) {
        setMinimumSize(420, 594);
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
      m_preview(new SlipPreview(m_layout, this)) {
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
    auto *column = new QVBoxLayout(this);
    column->addLayout(controls);
    column->addLayout(items);
    column->addWidget(m_preview, 1);
    connect(m_preset, &QComboBox::currentIndexChanged, this, &SlipsPanel::presetChosen);
    connect(m_form, &QComboBox::currentIndexChanged, this, &SlipsPanel::refresh);
    presetChosen();
}

void SlipsPanel::setExam(const analysis::ExamRequest &request, const analysis::ExamAnalysis &exam) {
    m_settings = request.settings;
    m_students = analysis::slipStudents(exam);
    refresh();
}

void SlipsPanel::setProgress(const analysis::ProgressReport *) {
    refresh();
}

void SlipsPanel::presetChosen() {
    const auto preset = analysis::SlipPreset(m_preset->currentIndex());
    const analysis::SlipItems on = analysis::presetItems(preset);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const QSignalBlocker blocker(m_items[i]);
        m_items[i]->setChecked(on.has(analysis::AllSlipItems[i]));
    }
    refresh();
}

void SlipsPanel::refresh() {
    analysis::SlipOptions options;
    options.preset = analysis::SlipPreset(m_preset->currentIndex());
    for (std::size_t i = 0; i < m_items.size(); ++i)
        options.items.set(analysis::AllSlipItems[i], m_items[i]->isChecked());
    std::vector<analysis::SlipContent> slips;
    for (const analysis::SlipStudent &student : m_students)
        slips.push_back(analysis::slipContent({}, student, options, m_settings));
    const auto form =
        m_form->currentIndex() == 0 ? pages::SlipForm::Strips : pages::SlipForm::PagePerStudent;
    m_layout = pages::layoutSlips(std::move(slips), form);
    m_preview->update();
}

} // namespace windows
