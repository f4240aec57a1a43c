#include "ui/qt/command_line.h"

#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace qrv::qt {

namespace {

constexpr char kUsage[] =
    "Usage: quorvane [OPTION...]\n"
    "Noughts and crosses against a neural network, in a window.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "\n"
    "Qt's own options, such as -platform NAME, -display DISPLAY or -style STYLE,\n"
    "are taken as well.\n";

// Read by hand, not with QCommandLineParser: this runs before QApplication exists, so that
// --help and --version work without a display, and that parser knows nothing of Qt's own
// options, which QGuiApplication takes out of argv only once it is made. It would refuse them
// as unknown and take their values for arguments, unless every one were declared to it, which
// is this same list, and then print them in its own help.
//
// Qt's own options, without their dash: QGuiApplication's, QApplication's and those of its X11
// platform. Qt takes them with one dash or two, and the value in the next argument.
constexpr std::string_view kQtOptionsWithValue[] = {"platform",
                                                    "platformpluginpath",
                                                    "platformtheme",
                                                    "plugin",
                                                    "qwindowgeometry",
                                                    "qwindowicon",
                                                    "qwindowtitle",
                                                    "session",
                                                    "display",
                                                    "geometry",
                                                    "title",
                                                    "icon",
                                                    "name",
                                                    "visual",
                                                    "style",
                                                    "stylesheet"};
constexpr std::string_view kQtFlags[] = {"reverse", "widgetcount", "sync", "nograb", "dograb"};
// Those that also take their value after '='.
constexpr std::string_view kQtOptionsWithEquals[] = {"style=", "stylesheet=", "qmljsdebugger="};

template <typename List>
bool Contains(const List& list, std::string_view name) {
    return std::ranges::find(list, name) != std::end(list);
}

CommandLine Refuse(const char* what, const char* argument) {
    std::fprintf(stderr, "quorvane: %s '%s'\nTry 'quorvane --help' for more information.\n", what,
                 argument);
    return {false, 1};
}

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

QtMessageHandler previousHandler = nullptr;

void EndOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        ReportNoDisplay();
        std::fflush(stderr);
        std::_Exit(1);  // nothing of Qt's half-made state may run its destructors
    }
    previousHandler(type, context, message);
}

}  // namespace

CommandLine ReadCommandLine(int argc, char** argv, const char* version) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") {
            return i + 1 < argc ? Refuse("unexpected argument", argv[i + 1]) : line;
        }
        if (argument.size() < 2 || argument[0] != '-') {
            return Refuse("unexpected argument", argv[i]);
        }
        if (argument == "-h" || argument == "--help") {
            std::fputs(kUsage, stdout);
            return {false, 0};
        }
        if (argument == "-v" || argument == "--version") {
            std::printf("quorvane %s\n", version);
            return {false, 0};
        }
        const std::string_view name = argument.substr(argument[1] == '-' ? 2 : 1);
        if (Contains(kQtOptionsWithValue, name)) {
            if (i + 1 < argc) {
                ++i;
                line.platform = name == "platform" ? argv[i] : line.platform;
                line.displayNamed = line.displayNamed || name == "display";
            }
            continue;
        }
        const std::size_t equals = name.find('=');
        if (Contains(kQtFlags, name) ||
            (equals != std::string_view::npos &&
             Contains(kQtOptionsWithEquals, name.substr(0, equals + 1)))) {
            continue;
        }
        return Refuse("unknown option", argv[i]);
    }
    return line;
}

bool NeedsDisplayServer(const CommandLine& line) {
    const char* requested =
        line.platform != nullptr ? line.platform : std::getenv("QT_QPA_PLATFORM");
    std::string_view platforms = requested != nullptr ? requested : "";
    // A ';'-separated list that Qt tries in turn, each entry "name" or "name:options"; an empty
    // one is Qt's default, xcb or wayland.
    for (;;) {
        const std::string_view entry = platforms.substr(0, platforms.find(';'));
        const std::string_view name = entry.substr(0, entry.find(':'));
        if (!name.empty() && name != "xcb" && !name.starts_with("wayland")) {
            return false;
        }
        if (entry.size() == platforms.size()) {
            return true;
        }
        platforms.remove_prefix(entry.size() + 1);
    }
}

bool DisplayNamed(const CommandLine& line) {
    return line.displayNamed || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

void ReportNoDisplay() {
    std::fputs("quorvane: cannot open a display (is DISPLAY or WAYLAND_DISPLAY set?)\n", stderr);
}

DisplayFailureGuard::DisplayFailureGuard() {
    previousHandler = qInstallMessageHandler(EndOnFatal);
}

DisplayFailureGuard::~DisplayFailureGuard() {
    qInstallMessageHandler(previousHandler);
}

}  // namespace qrv::qt
