#include "app/mainwindow.h"

#include "skin/captionbutton.h"
#include "skin/chrome.h"
#include "skin/colors.h"
#include "app/filedialog.h"
#include "app/scoregridview.h"
#include "app/messagebox.h"
#include "app/numerickeyfilter.h"
#include "windows/aboutpanel.h"
#include "skin/skinnedbutton.h"
#include "analysis/statistics.h"
#include "skin/twips.h"
#include "skin/windowshape.h"
#include "analysis/workbookimport.h"

#include "app/captionframe.h"
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace {

QFont songFont(double points) {
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(points);
    return font;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, QRect twips,
                  QColor color = Qt::black, bool song = false) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(twips);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    if (song) label->setFont(songFont(10.5));
    return label;
}

QLineEdit *makeField(QWidget *parent, const QString &name, const QString &text, QRect twips) {
    auto *field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setGeometry(twips);
    return field;
}

CaptionFrame *makeFrame(QWidget *parent, const char *name, const QString &caption, QRect twips) {
    auto *frame = new CaptionFrame(caption, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setGeometry(twips);
    return frame;
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    // The window draws its own title strip and is moved by dragging its body.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("墨序成绩统计软件"));
    setWindowIcon(QIcon(QPixmap::fromImage(skin::logoPicture())));
    setFixedSize(twipsToPixels(11745), twipsToPixels(8025));
    setFont(songFont(9));

    buildControls();
    buildTitleStrip();
    setTabOrder();
    applySkin();

    for (QLineEdit *field : {Text1, Text9, Text10, Text11, Text12})
        NumericKeyFilter::install(field);
    for (QLineEdit *field : Txt)
        NumericKeyFilter::install(field);
    for (SkinnedButton *button : c1)
        connect(button, &SkinnedButton::clickedIndex, this, &Form1::c1_Click);
    connect(MSFlexGrid1, &FlexGrid::LeaveCell, this, &Form1::leaveCell);
    connect(MSFlexGrid1, &FlexGrid::EnterCell, this, &Form1::enterCell);
    connect(MSFlexGrid1, &FlexGrid::scrolled, this, &Form1::placeEditor);
    Text2->installEventFilter(this);
    MSFlexGrid1->setFocus();
}

void Form1::buildControls() {
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setGeometry(twipsRect(240, 840, 3255, 6375));

    makeLabel(this, "Label34", QStringLiteral("  学号"), twipsRect(360, 600, 735, 255));
    makeLabel(this, "Label35", QStringLiteral("  姓名"), twipsRect(1320, 600, 735, 255));
    makeLabel(this, "Label36", QStringLiteral(" 成绩"), twipsRect(2280, 600, 615, 255));

    const QColor magenta(255, 0, 255);
    makeLabel(this, "Label17", QStringLiteral("优秀分数段"), twipsRect(3840, 600, 1095, 255),
              magenta);
    Txt[0] = makeField(this, QStringLiteral("Txt(0)"), QStringLiteral("85"),
                       twipsRect(3720, 840, 495, 270));
    makeLabel(this, "Label16", QStringLiteral("到"), twipsRect(4215, 885, 255, 255));
    Txt[1] = makeField(this, QStringLiteral("Txt(1)"), QStringLiteral("100"),
                       twipsRect(4440, 840, 495, 270));
    makeLabel(this, "Label18", QStringLiteral("良好分数段"), twipsRect(5400, 600, 975, 255),
              magenta);
    Txt[2] = makeField(this, QStringLiteral("Txt(2)"), QStringLiteral("75"),
                       twipsRect(5160, 840, 495, 270));
    makeLabel(this, "Label19", QStringLiteral("到"), twipsRect(5760, 885, 255, 255));
    Txt[3] = makeField(this, QStringLiteral("Txt(3)"), QStringLiteral("85"),
                       twipsRect(6000, 840, 495, 270));

    // The command buttons, with their caption offsets in twips.
    const auto button = [this](int index, const QString &caption, int posx, int posy,
                               QWidget *parent, QRect geometry) {
        auto *b = new SkinnedButton(index, caption, posx, posy, parent);
        b->setObjectName(QStringLiteral("c1(%1)").arg(index));
        b->setGeometry(geometry);
        c1[std::size_t(index)] = b;
    };
    button(4, QStringLiteral("成 绩  统 计 与 分 析"), 600, 80, this,
           twipsRect(3720, 1440, 2775, 375));
    button(1, QStringLiteral("帮　　助"), 1050, 80, this, twipsRect(3720, 2160, 2775, 375));
    button(0, QStringLiteral("退  出"), 1200, 80, this, twipsRect(3720, 2880, 2775, 375));

    Frame3 =
        makeFrame(this, "Frame3", QStringLiteral("导 入 数 据"), twipsRect(3720, 3480, 2775, 4335));
    makeLabel(Frame3, "Label28", QStringLiteral("文件路径"), twipsRect(140, 580, 735, 255));
    Text7 = makeField(Frame3, QStringLiteral("Text7"), QString(), twipsRect(840, 480, 1215, 270));
    button(5, QStringLiteral("浏览"), 90, 35, Frame3, twipsRect(2070, 480, 560, 280));
    makeLabel(Frame3, "Label29", QStringLiteral("表格名称"), twipsRect(140, 1060, 735, 255));
    Text8 = makeField(Frame3, QStringLiteral("Text8"), QStringLiteral("Sheet1"),
                      twipsRect(1080, 960, 1575, 270));
    makeLabel(Frame3, "Label30", QStringLiteral("数据起始行"), twipsRect(140, 1420, 1095, 255));
    Text9 = makeField(Frame3, QStringLiteral("Text9"), QStringLiteral("2"),
                      twipsRect(1080, 1320, 1575, 270));
    Frame4 = makeFrame(Frame3, "Frame4", QStringLiteral("数据对应关系"),
                       twipsRect(120, 1800, 2535, 1815));
    makeLabel(Frame4, "Label25", QStringLiteral("学号在"), twipsRect(120, 360, 735, 255));
    Text10 = makeField(Frame4, QStringLiteral("Text10"), QStringLiteral("1"),
                       twipsRect(1080, 360, 735, 270));
    makeLabel(Frame4, "Label31", QStringLiteral("列"), twipsRect(1920, 360, 375, 255));
    makeLabel(Frame4, "Label26", QStringLiteral("姓名在"), twipsRect(120, 840, 615, 255));
    Text11 = makeField(Frame4, QStringLiteral("Text11"), QStringLiteral("2"),
                       twipsRect(1080, 840, 735, 270));
    makeLabel(Frame4, "Label32", QStringLiteral("列"), twipsRect(1920, 840, 375, 255));
    makeLabel(Frame4, "Label27", QStringLiteral("成绩在"), twipsRect(120, 1320, 735, 255));
    Text12 = makeField(Frame4, QStringLiteral("Text12"), QStringLiteral("3"),
                       twipsRect(1080, 1320, 735, 270));
    makeLabel(Frame4, "Label33", QStringLiteral("列"), twipsRect(1920, 1320, 375, 255));
    button(3, QStringLiteral("数　据　导　入"), 450, 80, Frame3, twipsRect(360, 3840, 2175, 375));

    Frame1 =
        makeFrame(this, "Frame1", QStringLiteral("分 析 结 果"), twipsRect(6720, 840, 4815, 6975));
    struct Row {
        int top;
        const char *captionName;
        const char *caption;
        int captionWidth;
        QLabel **figure;
        const char *figureName;
        int figureWidth;
        QColor color;
        const char *unitName;
        int unitWidth;
    };
    const Row rows[] = {
        {600, "Label3", "总成绩", 975, &Label2, "Label2", 1095, QColor(255, 128, 0), nullptr, 0},
        {1200, "Label4", "平均成绩", 855, &Label5, "Label5", 855, QColor(255, 255, 0), nullptr, 0},
        {1800, "Label14", "优秀人数", 1095, &Label15, "Label15", 615, QColor(255, 0, 0), nullptr,
         0},
        {2400, "Label20", "良好人数", 1095, &Label21, "Label21", 735, QColor(255, 0, 255), nullptr,
         0},
        {3120, "Label22", "合格人数", 855, &Label23, "Label23", 975, QColor(255, 0, 255), nullptr,
         0},
        {3840, "Label6", "不及格人数", 1095, &Label7, "Label7", 1095, QColor(255, 0, 0), nullptr,
         0},
        {4560, "Label11", "优秀率", 735, &Label12, "Label12", 615, QColor(255, 0, 0), "Label13",
         495},
        {5280, "Label8", "及格率", 735, &Label9, "Label9", 615, QColor(255, 128, 0), "Label10",
         495},
        {6000, "Label37", "良好率", 855, &Label38, "Label38", 615, QColor(255, 0, 255), "Label39",
         375},
    };
    for (const Row &row : rows) {
        makeLabel(Frame1, row.captionName, QString::fromUtf8(row.caption),
                  twipsRect(120, row.top, row.captionWidth, 255), Qt::black, true);
        const int height = row.figure == &Label5 ? 375 : 255;
        *row.figure = makeLabel(Frame1, row.figureName, QString(),
                                twipsRect(2160, row.top, row.figureWidth, height), row.color, true);
        if (row.unitName)
            makeLabel(Frame1, row.unitName, QStringLiteral("%"),
                      twipsRect(2880, row.top, row.unitWidth, 255), Qt::black, true);
    }

    makeLabel(this, "Label1", QStringLiteral("班级人数"), twipsRect(240, 7540, 855, 255),
              QColor(255, 0, 0), true);
    Text1 = makeField(this, QStringLiteral("Text1"), QString(), twipsRect(1080, 7500, 495, 270));
    button(2, QStringLiteral("降　序　排　列"), 300, 80, this, twipsRect(1680, 7440, 1815, 375));

    Text2 = makeField(this, QStringLiteral("Text2"), QString(), twipsRect(5760, 240, 855, 200));
    Text2->setFrame(false);
    Text2->hide();
    Text2->raise();
}

void Form1::buildTitleStrip() {
    Logo = new QLabel(this);
    Logo->setObjectName(QStringLiteral("Logo"));
    Logo->setGeometry(twipsRect(120, 120, 300, 300));
    Logo->setPixmap(QPixmap::fromImage(skin::logoPicture()));
    Logo->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    CP0 = new CaptionButton(this);
    CP0->setObjectName(QStringLiteral("CP(0)"));
    CP0->setGeometry(twipsRect(11280, 120, 300, 300));
    connect(CP0, &PictureBox::clicked, this, &QWidget::close);
}

// The colours and the outline set when the window loads.
void Form1::applySkin() {
    for (SkinnedButton *button : c1)
        button->setFaceColor(toQColor(skin::ButtonColor));
    CP0->setBackgroundColor(toQColor(skin::Base));
    const auto tint = [](CaptionFrame *frame, std::int16_t amount) {
        QPalette palette = frame->palette();
        palette.setColor(QPalette::Window, toQColor(ShiftColor(skin::Base, amount)));
        frame->setPalette(palette);
    };
    tint(Frame1, 10);
    tint(Frame4, 50);
    tint(Frame3, 50);
    ApplyRoundRegion(this, 20);
}

void Form1::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    PaintChrome(this, painter,
                {QStringLiteral("成绩分析软件"), QPoint(450, 210), QPoint(440, 200), skin::Base});
}

void Form1::mousePressEvent(QMouseEvent *event) {
    // Presses on controls arrive here when the control ignores them (labels,
    // frames, the icon); only the bare surface moves the window.
    if (childAt(event->position().toPoint())) return;
    BeginDragMove(this, event->button(), event->globalPosition().toPoint());
}

void Form1::setTabOrder() {
    const QList<QWidget *> order = {MSFlexGrid1, Text1, Text2, Txt[0], Txt[1], Txt[2], Txt[3],
                                    Text7,       Text8, Text9, Text10, Text11, Text12, c1[4],
                                    c1[0],       c1[1], c1[2], c1[3],  c1[5]};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form1::c1_Click(int index) {
    switch (index) {
    case 0:
        close();
        break;
    case 1:
        Rightform::showPanel();
        break;
    case 2:
        sortCommand();
        break;
    case 3:
        importCommand();
        break;
    case 4:
        statisticsCommand();
        break;
    case 5:
        browseCommand();
        break;
    default:
        break;
    }
}

void Form1::closeEvent(QCloseEvent *event) {
    event->accept();
    emit programEnded();
}

void Form1::browseCommand() {
    // A cancelled dialog leaves the path field as it was, typed text included.
    const std::optional<QString> path =
        FileDialog::getOpenFileName(this,
                                    QStringLiteral("所有工作簿 (*.xls *.xlsx *.xlsm *.ods);;"
                                                   "Excel 97-2003 工作簿 (*.xls);;"
                                                   "Excel 工作簿 (*.xlsx *.xlsm);;"
                                                   "OpenDocument 电子表格 (*.ods)"),
                                    Text7->text());
    if (path) Text7->setText(*path);
}

void Form1::importCommand() {
    const analysis::ImportFields fields{Text7->text(),  Text8->text(),  Text9->text(),
                                        Text10->text(), Text11->text(), Text12->text()};
    const analysis::ImportOutcome outcome = analysis::importWorkbook(fields, MSFlexGrid1->cells());
    MSFlexGrid1->refresh();
    // The grid changed under the box: reload it, or the next leave would
    // write stale text into the current cell.
    loadEditorFromCurrentCell();
    if (!outcome.ok()) MessageBox::show(this, outcome.message);
}

void Form1::statisticsCommand() {
    const analysis::StatisticsFields fields{Text1->text(), Txt[0]->text(), Txt[1]->text(),
                                            Txt[2]->text(), Txt[3]->text()};
    const analysis::StatisticsOutcome outcome =
        analysis::computeStatistics(fields, MSFlexGrid1->cells());
    if (!outcome.ok) {
        MessageBox::show(this, outcome.message);
        return;
    }
    const analysis::StatisticsFigures &f = outcome.figures;
    Label2->setText(f.total);
    Label5->setText(f.average);
    Label7->setText(f.failing);
    Label9->setText(f.passRate);
    Label12->setText(f.excellentRate);
    Label38->setText(f.goodRate);
    Label15->setText(f.excellent);
    Label21->setText(f.good);
    Label23->setText(f.qualified);
    // A rate's fifteen digits may be wider than its label: the tip shows them whole.
    for (QLabel *figure :
         {Label2, Label5, Label7, Label9, Label12, Label38, Label15, Label21, Label23})
        figure->setToolTip(figure->text());
}

void Form1::sortCommand() {
    MSFlexGrid1->setSort(FlexGrid::SortGenericDescending);
    loadEditorFromCurrentCell();
}

void Form1::enterCell() {
    m_editorActive = true;
    placeEditor();
    Text2->setText(MSFlexGrid1->TextMatrix(MSFlexGrid1->Row(), MSFlexGrid1->Col()));
}

void Form1::leaveCell() {
    MSFlexGrid1->setTextMatrix(MSFlexGrid1->Row(), MSFlexGrid1->Col(), Text2->text());
}

// Lays the box over the current cell, or hides it while the cell is scrolled
// out of view, so that what is typed lands in the cell under the box.
void Form1::placeEditor() {
    if (!m_editorActive) return;
    if (!MSFlexGrid1->isCurrentCellVisible()) {
        Text2->hide();
        return;
    }
    Text2->setGeometry(twipsToPixels(MSFlexGrid1->Left() + MSFlexGrid1->CellLeft()),
                       twipsToPixels(MSFlexGrid1->Top() + MSFlexGrid1->CellTop()),
                       twipsToPixels(MSFlexGrid1->CellWidth()), Text2->height());
    Text2->show();
}

void Form1::loadEditorFromCurrentCell() {
    Text2->setText(MSFlexGrid1->TextMatrix(MSFlexGrid1->Row(), MSFlexGrid1->Col()));
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Text2 && event->type() == QEvent::FocusOut)
        leaveCell(); // stores the box's text into the current cell
    return QWidget::eventFilter(watched, event);
}
