#pragma once

#include "analysis/grade/gradecomparison.h"
#include "windows/documentwindow.h"
#include "windows/settingsfields.h"
#include "windows/singlewindow.h"
#include "windows/sourcelist.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class ChartView;
class QHBoxLayout;
class QLineEdit;
class QTableWidget;
class QThread;
class SkinnedButton;

// The window 年级对比: a list of class workbooks (added by the browse dialog,
// a folder or a drop) read and compared off the window's thread, the class
// table with the grade row, the chart of the class means against the grade
// mean, and the comparison's exports, PDF and print.
class GradeWindow : public DocumentWindow {
    Q_OBJECT

public:
    static GradeWindow *showWindow() { return SingleWindow<GradeWindow>::show(); }
    static GradeWindow *instance() { return SingleWindow<GradeWindow>::instance(); }
    ~GradeWindow() override;

    // Adds workbooks and folders to the list, each folder as its workbooks.
    void addPaths(const QStringList &paths) { classSources->addPaths(paths); }
    bool isComputing() const { return m_thread != nullptr; }

    void compute();
    void exportSheet(const QString &suffix); // "xlsx" or "csv"
    void exportPdf();
    void print();

signals:
    void computed();

private:
    friend class SingleWindow<GradeWindow>;
    // Reached from outside by their object names only.
    SourceList *classSources;
    QLineEdit *firstRowField, *numberColumnField, *nameColumnField, *scoreColumnField;
    SettingsFields settings;
    QTableWidget *classTable;
    ChartView *chartView;
    SkinnedButton *computeButton, *excelButton, *csvButton, *pdfButton, *printButton;

    GradeWindow();
    QWidget *buildSources();
    QWidget *buildResults();
    void buildCommands(QHBoxLayout *row);
    void fillFieldsFromHeader(const QString &path);
    void finish(const std::shared_ptr<analysis::GradeComparison> &comparison);
    void showResults();
    bool checkResults();
    void exportTo(const QString &suffix, const std::function<QString(const QString &path)> &write);
    QStringList sourcePaths() const;

    std::vector<analysis::ClassSource> m_computedSources; // those of m_comparison
    std::optional<analysis::GradeComparison> m_comparison;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
    bool m_firstRowFromHeader = false; // the first row field holds the header's first row
};
