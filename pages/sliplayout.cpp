#include "pages/sliplayout.h"

#include "pages/reportlayout.h"

#include <QFontMetricsF>
#include <QHash>

namespace pages {

namespace {

// The notes repeat from slip to slip (the cut-offs, the bands): each text is
// measured once.
class NoteMeasure {
public:
    double height(const QStringList &notes) {
        double total = 0;
        for (const QString &note : notes) {
            auto found = m_heights.constFind(note);
            if (found == m_heights.constEnd())
                found = m_heights.insert(note, m_metrics
                                                   .boundingRect(QRectF(0, 0, slipNoteWidth(), 1e6),
                                                                 Qt::TextWordWrap, note)
                                                   .height());
            total += *found + 6;
        }
        return total;
    }

private:
    QFontMetricsF m_metrics{pageFont(BodySize - 4)};
    QHash<QString, double> m_heights;
};

double slipHeight(const analysis::SlipContent &slip, double notes) {
    return 2 * SlipPadding + SlipTitleHeight + 2 * SlipLineHeight +
           double(slip.rows.size() + 1) * slipRowHeight() + 10 + notes + SlipPresetHeight;
}

} // namespace

double slipRowHeight() {
    return QFontMetricsF(pageFont(BodySize)).height() + 2 * Padding;
}

double slipNoteWidth() {
    return PageWidth - 2 * Margin - 2 * SlipPadding;
}

SlipLayout layoutSlips(std::vector<analysis::SlipContent> slips, SlipForm form) {
    SlipLayout layout;
    layout.form = form;
    layout.slips = std::move(slips);
    NoteMeasure measure;
    double top = Margin;
    for (int s = 0; s < int(layout.slips.size()); ++s) {
        const double notes = measure.height(layout.slips[std::size_t(s)].notes);
        layout.noteHeights.push_back(notes);
        const double height = slipHeight(layout.slips[std::size_t(s)], notes);
        const bool fresh = layout.pages.empty() || form == SlipForm::PagePerStudent ||
                           top + height > PageHeight - Margin;
        if (fresh) {
            layout.pages.emplace_back();
            top = Margin;
        }
        layout.pages.back().push_back({s, top, height});
        top += height + SlipGap;
    }
    return layout;
}

} // namespace pages
