#include "skin/songfont.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

void installSongFaceSubstitutes() {
    const QStringList candidates = {"AR PL UMing CN",    "AR PL UMing TW",   "AR PL SungtiL GB",
                                    "Noto Serif CJK SC", "Noto Sans CJK SC", "WenQuanYi Zen Hei"};
    const QStringList installed = QFontDatabase::families();
    QStringList available;
    for (const QString &family : candidates)
        if (installed.contains(family)) available.append(family);
    if (available.isEmpty()) return;
    QFont::insertSubstitutions(QStringLiteral("宋体"), available);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), available);
}

QFont readingSongFont(double points) {
    QFont font = songFont(points);
    font.setFamilies({QStringLiteral("Noto Serif CJK SC"), QStringLiteral("宋体")});
    return font;
}

QFont songFont(double points) {
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(points);
    return font;
}
