#pragma once

#include "analysis/classanalysis/analysissettings.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QString;
class QVBoxLayout;

class QWidget;

// The column of fields beside a window's pages: a flat panel of the skin's
// base colour, on which black captions stay legible down to the dark end of
// the window's gradient.
QWidget *fieldPanel(int width);

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

    analysis::AnalysisSettingsTexts texts() const; // full marks 100 without their field
    analysis::AnalysisSettingsOutcome read() const;
};

// Adds the block's heading, fields and hint to column. Without full marks
// (each subject has its own) fullMarks stays null.
SettingsFields addSettingsFields(QVBoxLayout *column, const QString &excellentLine = {},
                                 const QString &goodLine = {}, bool withFullMarks = true);
