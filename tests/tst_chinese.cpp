#include "app/desktop.h"
#include "app/mainwindow.h"
#include "app/scoregridview.h"
#include "skin/skinnedbutton.h"
#include "windows/helpwindow.h"
#include "windows/reportwindow.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace {

void rightClick(QWidget *widget) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, {4, 4}, widget->mapToGlobal(QPoint(4, 4)));
    QCoreApplication::sendEvent(widget, &event);
}

// A command of the report window on a one-student class.
void reportCommand(MainWindow *window, const char *button) {
    window->findChild<ScoreGridView *>("scoreGrid")->setCellText(0, 2, QStringLiteral("90"));
    QTest::mouseClick(window->findChild<SkinnedButton *>("reportButton"), Qt::LeftButton);
    QTest::mouseClick(ReportWindow::instance()->findChild<SkinnedButton *>(button), Qt::LeftButton);
}

// Every dialog and menu the program shows besides the fields' menus, opened
// the way the user opens it: one row each.
const std::vector<std::pair<const char *, std::function<void(MainWindow *)>>> Openings = {
    {"browse dialog",
     [](MainWindow *w) {
         QTest::mouseClick(w->findChild<SkinnedButton *>("browseButton"), Qt::LeftButton);
     }},
    {"message box",
     [](MainWindow *w) {
         QTest::mouseClick(w->findChild<SkinnedButton *>("importButton"), Qt::LeftButton);
     }},
    {"grid's scroll bar",
     [](MainWindow *w) {
         rightClick(w->findChild<ScoreGridView *>("scoreGrid")->verticalScrollBar());
     }},
    {"help text", [](MainWindow *) { rightClick(HelpWindow::showWindow()->textBox->viewport()); }},
    {"report's save dialog", [](MainWindow *w) { reportCommand(w, "pdfButton"); }},
    {"print preview", [](MainWindow *w) { reportCommand(w, "printButton"); }},
};

// The texts the user reads: captions, labels, buttons and their tips, menu
// entries without their key names (Ctrl+C), column headings.
QStringList textsOf(QWidget *shown) {
    QStringList texts{shown->windowTitle()};
    QList<QAction *> actions = shown->actions();
    for (QWidget *w : shown->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(shown)) continue;
        actions += w->actions();
        if (auto *label = qobject_cast<QLabel *>(w)) texts << label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            texts << button->text() << button->toolTip();
        if (auto *header = qobject_cast<QHeaderView *>(w); header && header->model())
            for (int i = 0; i < header->count(); ++i)
                texts << header->model()->headerData(i, header->orientation()).toString();
    }
    for (QAction *action : actions)
        texts << action->text().section(u'\t', 0, 0)
              << (action->menu() ? textsOf(action->menu()) : QStringList());
    texts.removeAll(QString());
    return texts;
}

} // namespace

class TestChinese : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { desktop::installChineseTranslations(); }

    void noEnglishWord_data() {
        QTest::addColumn<int>("opening");
        QTest::addColumn<QString>("field"); // whose menu opens, when no opening is given
        for (std::size_t i = 0; i < Openings.size(); ++i)
            QTest::newRow(Openings[i].first) << int(i) << QString();
        const MainWindow form;
        for (QLineEdit *field : form.findChildren<QLineEdit *>())
            QTest::newRow(qPrintable(field->objectName())) << -1 << field->objectName();
    }

    void noEnglishWord() {
        QFETCH(int, opening);
        QFETCH(QString, field);
        MainWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // Reads and closes the first menu or dialog that opens, also from
        // inside the loop of a modal one.
        QStringList texts;
        QTimer catcher;
        connect(&catcher, &QTimer::timeout, this, [&texts] {
            QWidget *shown = QApplication::activePopupWidget();
            if (!shown) shown = QApplication::activeModalWidget();
            if (!shown || !texts.isEmpty()) return;
            texts = textsOf(shown);
            shown->close();
        });
        catcher.start(10);
        if (opening >= 0)
            Openings[std::size_t(opening)].second(&form);
        else
            rightClick(form.findChild<QLineEdit *>(field));
        QTRY_VERIFY(!texts.isEmpty());
        delete HelpWindow::instance();
        delete ReportWindow::instance();
        // Product names and file patterns are written alike in every language.
        static const QRegularExpression allowed(u"Excel|OpenDocument|\\*\\.\\w+"_qs);
        static const QRegularExpression english(u"[A-Za-z]{2,}"_qs);
        QStringList englishTexts;
        for (const QString &text : texts)
            if (QString(text).remove(allowed).contains(english)) englishTexts << text;
        QCOMPARE(englishTexts, QStringList());
    }
};

QTEST_MAIN(TestChinese)
#include "tst_chinese.moc"
