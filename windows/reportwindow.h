#pragma once

#include "analysis/grid/scoregrid.h"
#include "pages/reportcontent.h"
#include "windows/documentwindow.h"
#include "windows/settingsfields.h"
#include "windows/singlewindow.h"

#include <functional>

class PageView;
class QHBoxLayout;
class QLineEdit;
class QPlainTextEdit;
class SkinnedButton;

// What the report reads from the main window.
struct ReportSource {
    analysis::ScoreGrid grid; // as corrected and sorted
    QString classSize, excellentLow, goodLow;
    QString workbookPath; // never written over by an export
};

// The report window 成绩分析报告: the header fields, the settings of the
// analysis and the teacher's three texts beside the pages as they print,
// with the commands to export and print them.
class ReportWindow : public DocumentWindow {
    Q_OBJECT

public:
    static ReportWindow *showWindow() { return SingleWindow<ReportWindow>::show(); }
    static ReportWindow *instance() { return SingleWindow<ReportWindow>::instance(); }

    // The main window's state; the pages show it at once.
    void setSource(const ReportSource &source);
    const pages::ReportContent &content() const;

    void exportPdf();
    void print();
    void exportSheet(const QString &suffix); // "xlsx" or "csv"

private:
    // Reached from outside by their object names only.
    QLineEdit *schoolField, *classNameField, *subjectField, *examField, *teacherField, *dateField;
    SettingsFields settings;
    QPlainTextEdit *paperAnalysisBox, *problemsBox, *measuresBox;
    SkinnedButton *pdfButton, *printButton, *excelButton, *csvButton;
    SkinnedButton *gradeButton; // opens the window 年级对比
    SkinnedButton *examButton;  // opens the window 考试分析
    PageView *pageView;

    friend class SingleWindow<ReportWindow>;
    ReportWindow();
    QWidget *buildFields();
    QHBoxLayout *buildCommands(QWidget *body);
    void followBandFields();
    void refresh();
    bool checkResults(); // an analysis to export or print, or its explanation shown
    void exportTo(const QString &suffix, const std::function<QString(const QString &path)> &write);

    ReportSource m_source;
    pages::ReportContent m_content; // what the pages show
    bool m_sourceTaken = false;     // the main window handed over its state
    bool m_hasSource = false;
    bool m_linesTyped = false; // the teacher typed a line: it no longer follows the bands
};
