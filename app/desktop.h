#pragma once

#include <QString>

class QCommandLineParser;
class QMimeData;

// What the program takes from the desktop around it: Qt's own texts in the
// program's language, a workbook named on the command line (as a file
// manager's "Open with" passes it) and a workbook dropped on the window.
namespace desktop {

// Qt's own texts (the file dialog, the fields' right-click menus, the
// command-line help) in Simplified Chinese whatever the locale, with Chinese
// number and date forms. Called once, right after the application starts.
void installChineseTranslations();

// The options of score-analysis: help, version and one workbook file.
void describeCommandLine(QCommandLineParser &parser);
// The workbook the parsed command line names, or empty.
QString commandLineWorkbook(const QCommandLineParser &parser);

// The first local workbook file among dropped items, or empty.
QString droppedWorkbook(const QMimeData *mime);

} // namespace desktop
