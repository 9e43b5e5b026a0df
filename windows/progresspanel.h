#pragma once

#include "analysis/exam/examanalysis.h"
#include "analysis/progress/progressreport.h"
#include "analysis/progress/progresstables.h"
#include "pages/trendchart.h"

#include <QStringList>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;

namespace windows {

class TrendView;

// 与上次考试对比: the earlier exams' sources (the last exam's, and any
// before it for the history), then the match, shown whole before anything
// is compared, then the change table, the class counts and, on choosing a
// student with three or more exams, the line of their rank.
class ProgressPanel : public QWidget {
    Q_OBJECT

public:
    explicit ProgressPanel(QWidget *parent = nullptr);
    // This exam: every earlier one is read with its columns, totals and settings.
    void setExam(const analysis::ExamRequest &request, const analysis::ExamAnalysis &exam);
    // The comparison shown; null before one.
    const analysis::ProgressReport *report() const { return m_report ? &*m_report : nullptr; }
    // The rank line of the student chosen in the change table.
    const pages::TrendChart &trendChart() const;

signals:
    void compared(); // report() holds the new comparison

private:
    QWidget *sourcesPage();
    QWidget *matchPage();
    QWidget *changesPage();
    void addSources(bool earlier);
    void removeSource();
    void listSources();
    void compare();
    std::optional<QString> analyseEarlier(std::vector<analysis::ExamAnalysis> &exams,
                                          std::vector<analysis::ExamRequest> &requests);
    void showReport();
    void studentChosen();

    std::vector<QStringList> m_earlier; // in time order; the last is 上次
    std::optional<analysis::ExamRequest> m_request;
    std::optional<analysis::ExamAnalysis> m_exam;
    std::optional<analysis::ProgressReport> m_report;
    analysis::ProgressTables m_tables;
    QListWidget *m_sources;
    QPushButton *m_compare;
    QStackedWidget *m_pages;
    QLabel *m_summary;
    QPlainTextEdit *m_notes;
    QTableWidget *m_match, *m_conflicts, *m_unmatched, *m_changes, *m_classes;
    TrendView *m_trend;
};

} // namespace windows
