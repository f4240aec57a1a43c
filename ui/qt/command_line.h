// The program's own options and the display check, both before Qt starts: --help and --version
// must work where no window can open, and a missing display must not end in Qt's abort.
#pragma once

namespace qrv::qt {

struct CommandLine {
    bool run = true;  // false: end at once with exitCode
    int exitCode = 0;
    const char* platform = nullptr;  // Qt's -platform value, if given
    bool displayNamed = false;       // Qt's -display, which stands in for DISPLAY
};

// Reads the options: --help and --version print to standard output, anything that is neither
// ours nor one of Qt's own is refused on standard error. Qt's options stay in argv for it.
CommandLine ReadCommandLine(int argc, char** argv, const char* version);

// Whether every platform Qt would try needs a display server (X11 or Wayland).
bool NeedsDisplayServer(const CommandLine& line);

// Whether one is named: DISPLAY, WAYLAND_DISPLAY or -display.
bool DisplayNamed(const CommandLine& line);

// Writes the one line that says there is no display, for exit status 1.
void ReportNoDisplay();

// Until the returned guard ends, a fatal error of Qt (its display platform failing to start,
// say because the X server named is gone) ends the program with that line and status 1
// instead of an abort.
class DisplayFailureGuard {
public:
    DisplayFailureGuard();
    ~DisplayFailureGuard();
    DisplayFailureGuard(const DisplayFailureGuard&) = delete;
    DisplayFailureGuard& operator=(const DisplayFailureGuard&) = delete;
};

}  // namespace qrv::qt
