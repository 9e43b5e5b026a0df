#include "windows/settingsfields.h"

#include "skin/colors.h"
#include "skin/songfont.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

QWidget *fieldPanel(int width) {
    auto *panel = new QWidget;
    panel->setFixedWidth(width);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, toQColor(skin::Base));
    palette.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(palette);
    return panel;
}

QLabel *headingLabel(const QString &text) {
    auto *label = new QLabel(text);
    QFont font = songFont(10.5);
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLineEdit *addGridField(QGridLayout *grid, int index, const QString &caption, const char *name,
                        const QString &text) {
    auto *field = new QLineEdit(text);
    field->setObjectName(QLatin1String(name));
    const int row = grid->rowCount() - (index % 2 ? 1 : 0);
    grid->addWidget(new QLabel(caption), row, (index % 2) * 2);
    grid->addWidget(field, row, (index % 2) * 2 + 1);
    return field;
}

SettingsFields addSettingsFields(QVBoxLayout *column, const QString &excellentLine,
                                 const QString &goodLine, bool withFullMarks) {
    column->addWidget(headingLabel(QStringLiteral("分析口径")));
    auto *grid = new QGridLayout;
    SettingsFields f{};
    int place = 0;
    if (withFullMarks)
        f.fullMarks = addGridField(grid, place++, QStringLiteral("满分"), "fullMarksField", "100");
    f.bandWidth = addGridField(grid, place++, QStringLiteral("分数段宽度"), "bandWidthField", "10");
    f.excellentLine =
        addGridField(grid, place++, QStringLiteral("优秀线"), "excellentLineField", excellentLine);
    f.goodLine = addGridField(grid, place++, QStringLiteral("良好线"), "goodLineField", goodLine);
    f.passLine = addGridField(grid, place++, QStringLiteral("及格线"), "passLineField", "60%");
    f.lowLine = addGridField(grid, place++, QStringLiteral("低分线"), "lowLineField", "40%");
    f.ranking = new QComboBox;
    f.ranking->setObjectName(QStringLiteral("rankingField"));
    f.ranking->addItem(QStringLiteral("同分并列，其后名次空出（1、1、3）"), "competition");
    f.ranking->addItem(QStringLiteral("同分并列，其后名次接续（1、1、2）"), "dense");
    grid->addWidget(new QLabel(QStringLiteral("名次")), grid->rowCount(), 0);
    grid->addWidget(f.ranking, grid->rowCount() - 1, 1, 1, 3);
    column->addLayout(grid);
    column->addWidget(new QLabel(QStringLiteral("线可写分数，或满分的百分比如 85%")));
    return f;
}

analysis::AnalysisSettingsTexts SettingsFields::texts() const {
    return {fullMarks ? fullMarks->text() : QStringLiteral("100"),
            excellentLine->text(),
            goodLine->text(),
            passLine->text(),
            lowLine->text(),
            bandWidth->text(),
            ranking->currentData().toString()};
}

analysis::AnalysisSettingsOutcome SettingsFields::read() const {
    return analysis::readAnalysisSettings(texts());
}
