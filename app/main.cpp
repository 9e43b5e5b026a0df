#include "fonts.h"
#include "form1.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    installSongFaceSubstitutes();
    Form1 window;
    // Closing the main window by any path ends the program with every window.
    QObject::connect(&window, &Form1::programEnded, &application, [] {
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
    window.show();
    return application.exec();
}
