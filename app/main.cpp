#include "app/desktop.h"
#include "app/mainwindow.h"
#include "skin/songfont.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <QWindow>

namespace {

// Ends the program right after the window's first expose, which paints it.
class QuitWhenExposed : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Expose) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    desktop::installChineseTranslations();
    QCommandLineParser parser;
    desktop::describeCommandLine(parser);
    parser.process(application);
    installSongFaceSubstitutes();
    MainWindow window;
    // Closing the main window by any path ends the program with every window.
    QObject::connect(&window, &MainWindow::programEnded, &application, [] {
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
    window.show();
    // A workbook named on the command line is imported once the window shows,
    // so that a failure's message box stands over it.
    const QString workbook = desktop::commandLineWorkbook(parser);
    if (!workbook.isEmpty())
        QTimer::singleShot(0, &window, [&window, workbook] { window.openFromDesktop(workbook); });
    // For the start-up benchmark: end once the window has been painted.
    if (qEnvironmentVariableIsSet("SCORE_ANALYSIS_QUIT_WHEN_SHOWN"))
        window.windowHandle()->installEventFilter(new QuitWhenExposed(&application));
    return application.exec();
}
