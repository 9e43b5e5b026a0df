#include "windows/documentcommands.h"

#include "pages/reportpainter.h"
#include "skin/colors.h"
#include "skin/skinnedbutton.h"
#include "skin/twips.h"
#include "windows/filedialog.h"
#include "windows/messagebox.h"
#include "windows/printdialog.h"

#include <optional>

SkinnedButton *commandButton(QWidget *parent, const char *name, const QString &caption,
                             int widthTwips) {
    auto *button = new SkinnedButton(caption, 240, 80, parent);
    button->setObjectName(QLatin1String(name));
    button->setFaceColor(toQColor(skin::ButtonColor));
    button->setFixedSize(twipsToPixels(widthTwips), twipsToPixels(375));
    return button;
}

void saveDocument(QWidget *parent, const QString &suggested, const QString &suffix,
                  const std::function<QString(const QString &path)> &write) {
    const QString filter = suffix == QLatin1String("pdf") ? QStringLiteral("PDF 文件 (*.pdf)")
                           : suffix == QLatin1String("csv")
                               ? QStringLiteral("CSV 文件 (*.csv)")
                               : QStringLiteral("Excel 工作簿 (*.xlsx)");
    const std::optional<QString> path =
        FileDialog::getSaveFileName(parent, QStringLiteral("导出"), filter, suggested, suffix);
    if (!path) return;
    if (const QString failed = write(*path); !failed.isEmpty()) MessageBox::show(parent, failed);
}

void printPages(QWidget *parent, const pages::ReportLayout &layout) {
    PrintDialog::preview(
        parent, [layout](QPagedPaintDevice &device) { pages::paintPages(device, layout); });
}
