#pragma once

#include "analysis/export/analysistables.h"

#include <QJsonObject>
#include <QString>

namespace report {

// An object as one line of compact JSON.
QString jsonText(const QJsonObject &object);

// A cell's text on one line: tabs and line breaks become spaces.
QString oneLine(QString text);

// A table as plain text under its title, in columns aligned by display width
// (a Chinese character takes two columns of a terminal), numbers to the right.
QString tableText(const analysis::Table &table);

// The analysis as plain text, each table in columns aligned by display width
// (a Chinese character takes two columns of a terminal), numbers to the right.
QString analysisText(const analysis::AnalysisTables &tables);

} // namespace report
