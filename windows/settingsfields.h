#pragma once

#include "analysis/analysissettings.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QString;
class QVBoxLayout;

// A block's heading, in the bold Song face.
QLabel *headingLabel(const QString &text);

// A label and its field in the next place of a grid of two pairs a row.
QLineEdit *addGridField(QGridLayout *grid, int index, const QString &caption, const char *name,
                        const QString &text);

// The 分析口径 block the windows share: full marks, band width, the four
// lines and the ranking style.
struct SettingsFields {
    QLineEdit *fullMarks, *bandWidth, *excellentLine, *goodLine, *passLine, *lowLine;
    QComboBox *ranking;

    analysis::AnalysisSettingsOutcome read() const;
};

// Adds the block's heading, fields and hint to column.
SettingsFields addSettingsFields(QVBoxLayout *column, const QString &excellentLine = {},
                                 const QString &goodLine = {});
