// The Linux program: the game in a Qt window.
#include <QApplication>
#include <QProxyStyle>

#include "ui/qt/main_window.h"
#include "ui/qt/program_icon.h"

namespace {

// The platform's style, less the icon of the menu bar's overflow button: the window is too
// wide for its two menus ever to overflow, and looking that icon up at start-up loads every
// image format plugin there is.
class GameStyle final : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (which == SP_ToolBarHorizontalExtensionButton ||
            which == SP_ToolBarVerticalExtensionButton) {
            return {};
        }
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(new GameStyle);
    QGuiApplication::setDesktopFileName(QStringLiteral(QRV_APP_ID));
    QApplication::setWindowIcon(qrv::qt::ProgramIcon());

    // The set-up, with the library's error box if need be, runs before the window shows.
    qrv::qt::MainWindow window;
    window.show();
    QApplication::exec();
    // Every way out is the window's closing, and the program always ends with 0.
    return 0;
}
