#pragma once

#include "analysis/exam/examanalysis.h"
#include "analysis/progress/progressreport.h"
#include "analysis/slips/slipitems.h"
#include "pages/sliplayout.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QTableWidget;

namespace windows {

class SlipPreview;

// 成绩条: the preset, the item switches, the form and a preview of the first
// page of slips, each slip the student's own figures and the class means;
// the slips go out as one PDF to cut apart, a workbook of strips or paper.
class SlipsPanel : public QWidget {
    Q_OBJECT

public:
    explicit SlipsPanel(QWidget *parent = nullptr);
    void setExam(const analysis::ExamRequest &request, const analysis::ExamAnalysis &exam);
    void setProgress(const analysis::ProgressReport *report); // the change item; null: none
    const pages::SlipLayout &layout() const { return m_layout; }

    void exportPdf();
    void exportSheet();
    void print();

private:
    void presetChosen();
    void refresh();
    analysis::SlipOptions options() const;
    bool checkStudents();
    void showRemarks();
    void remarkTyped(int row, int column);

    QComboBox *m_preset, *m_form;
    std::vector<QCheckBox *> m_items;
    SlipPreview *m_preview;
    QTableWidget *m_remarks; // 学号, 姓名, 教师评语: the words typed or read from the sheet
    analysis::AnalysisSettings m_settings;
    std::vector<analysis::SlipStudent> m_examStudents; // as the exam gives them
    std::vector<analysis::SlipStudent> m_students;     // with the change, when compared
    bool m_compared = false;
    QStringList m_sourcePaths; // never written over
    pages::SlipLayout m_layout;
};

} // namespace windows
