#pragma once

#include "analysis/exam/examanalysis.h"
#include "analysis/progress/progressreport.h"
#include "analysis/slips/slipitems.h"
#include "pages/sliplayout.h"

#include <QWidget>

class QCheckBox;
class QComboBox;

namespace windows {

class SlipPreview;

// 成绩条: the preset, the item switches, the form and a preview of the first
// page of slips, each slip the student's own figures and the class means.
class SlipsPanel : public QWidget {
    Q_OBJECT

public:
    explicit SlipsPanel(QWidget *parent = nullptr);
    void setExam(const analysis::ExamRequest &request, const analysis::ExamAnalysis &exam);
    void setProgress(const analysis::ProgressReport *report); // the change item; null: none
    const pages::SlipLayout &layout() const { return m_layout; }

private:
    void presetChosen();
    void refresh();

    QComboBox *m_preset, *m_form;
    std::vector<QCheckBox *> m_items;
    SlipPreview *m_preview;
    analysis::AnalysisSettings m_settings;
    std::vector<analysis::SlipStudent> m_students;
    pages::SlipLayout m_layout;
};

} // namespace windows
