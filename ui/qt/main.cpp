// The Linux program: the game in a Qt window.
#include <QApplication>

#include "ui/qt/main_window.h"
#include "ui/qt/program_icon.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvane"));
    QApplication::setWindowIcon(qrv::qt::ProgramIcon());

    // The set-up, with the library's error box if need be, runs before the window shows.
    qrv::qt::MainWindow window;
    window.show();
    QApplication::exec();
    // Every way out is the window's closing, and the program always ends with 0.
    return 0;
}
