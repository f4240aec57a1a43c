// The Linux program: the game in a Qt window.
#include <QApplication>
#include <QProxyStyle>
#include <optional>

#include "ui/qt/command_line.h"
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
    const qrv::qt::CommandLine line = qrv::qt::ReadCommandLine(argc, argv, QRV_VERSION);
    if (!line.run) {
        return line.exitCode;
    }
    std::optional<qrv::qt::DisplayFailureGuard> guard;
    if (qrv::qt::NeedsDisplayServer(line)) {
        if (!qrv::qt::DisplayNamed(line)) {
            qrv::qt::ReportNoDisplay();
            return 1;
        }
        guard.emplace();
    }
    QApplication app(argc, argv);
    guard.reset();
    QApplication::setStyle(new GameStyle);
    QGuiApplication::setDesktopFileName(QStringLiteral(QRV_APP_ID));
    QApplication::setWindowIcon(qrv::qt::ProgramIcon());

    // The set-up, with the library's error box if need be, runs before the window shows.
    qrv::qt::MainWindow window;
    window.show();
    QApplication::exec();
    // Every way out is the window's closing, which ends the program with 0.
    return 0;
}
