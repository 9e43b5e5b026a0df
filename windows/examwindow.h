#pragma once

#include "analysis/exam/examanalysis.h"
#include "windows/documentwindow.h"
#include "windows/settingsfields.h"
#include "windows/singlewindow.h"
#include "windows/sourcelist.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;
class QTableWidget;
class QThread;
class QVBoxLayout;
class SkinnedButton;

namespace windows {
class ProgressPanel;
class SlipsPanel;
} // namespace windows

// The window 考试分析: the workbooks of one exam (files, sheets, folders),
// the columns the detection found in the first of them with each subject's
// full marks and totals, the settings, and the whole exam's tables and
// 得分率 charts once it is analysed off the window's thread, with the
// exports, PDF and print.
class ExamWindow : public DocumentWindow {
    Q_OBJECT

public:
    static ExamWindow *showWindow() { return SingleWindow<ExamWindow>::show(); }
    static ExamWindow *instance() { return SingleWindow<ExamWindow>::instance(); }
    ~ExamWindow() override;

    // Adds workbooks and folders to the list, each folder as its workbooks.
    void addPaths(const QStringList &paths) { examSources->addPaths(paths); }
    bool isComputing() const { return m_thread != nullptr; }

    void compute();
    void exportSheet(const QString &suffix); // "xlsx" or "csv"
    void exportPdf();
    void print();

signals:
    void examAnalysed(); // a run ended: its tables or its message are shown

private:
    friend class SingleWindow<ExamWindow>;
    // Reached from outside by their object names only.
    SourceList *examSources;
    QLabel *detectionLabel;
    QLineEdit *firstRowField, *numberColumnField, *nameColumnField, *classColumnField;
    QLineEdit *subjectColumnField;  // a long table's 科目 column; empty for one row per student
    QLineEdit *remarkColumnField;   // 教师评语 for the slips; empty: none
    QTableWidget *examSubjectTable; // 学科, 列, 满分, 计入总分
    QLineEdit *totalsField, *marginField;
    SettingsFields settings;
    QTabWidget *examTabs;
    QTableWidget *scoresTable, *figuresTable, *classesTable, *ratesTable;
    QTableWidget *weakTable, *borderlineTable;
    QPlainTextEdit *notesView;
    windows::ProgressPanel *progressPanel; // 与上次考试对比
    windows::SlipsPanel *slipsPanel;       // 成绩条
    QVBoxLayout *chartColumn;
    SkinnedButton *computeButton, *excelButton, *csvButton, *pdfButton, *printButton;

    ExamWindow();
    QWidget *buildSources();
    void buildColumns(QVBoxLayout *column);
    QWidget *buildResults();
    void buildCommands(QHBoxLayout *row);
    void detectFirstSource();
    void addSubjectRow(const QString &subject, const QString &column);
    void showTotals();
    QStringList totalItems() const;
    bool everySubjectChecked() const;
    analysis::ExamColumns firstColumns() const;
    std::optional<analysis::ExamRequest> examRequest();
    void finish(const std::shared_ptr<analysis::ExamOutcome> &outcome);
    void showResults();
    void showCharts();
    bool checkResults();
    void exportTo(const QString &suffix, const std::function<QString(const QString &path)> &write);
    QStringList sourcePaths() const;

    std::optional<analysis::ExamRequest> m_computedRequest; // what m_exam was asked, its sources
    // The first source as detected: its label, sheet, first and last row.
    QString m_detectedFrom, m_detectedSheet, m_detectedFirstRow;
    int m_detectedLastRow = 0;
    std::optional<analysis::ExamAnalysis> m_exam;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
};
