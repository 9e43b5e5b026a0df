#pragma once

#include <functional>

class QString;
class QWidget;
class SkinnedButton;

namespace pages {
struct ReportLayout;
}

// What the windows that show printed pages (the report and the grade
// comparison) do alike: their command buttons, saving a document and printing.

// A command button of the skin's colour, 375 twips high.
SkinnedButton *commandButton(QWidget *parent, const char *name, const QString &caption,
                             int widthTwips = 1575);

// Asks where to save suggested (its suffix "pdf", "xlsx" or "csv" picks the
// dialog's filter), lets write make the file and shows the message write
// returns when it could not.
void saveDocument(QWidget *parent, const QString &suggested, const QString &suffix,
                  const std::function<QString(const QString &path)> &write);

// The print dialog behind a preview of the pages.
void printPages(QWidget *parent, const pages::ReportLayout &layout);
