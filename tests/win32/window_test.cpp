// The main window's set-up and shutdown, inside the test's own process, where what the window
// acquired and released can be seen: the library, the pens, the hooks on the squares and the
// quit message. Built twice: with the program's resources ("game"), and with resources whose
// stored positions are damaged ("no-game"). Both stand beside the stand-in network library,
// whose KillNet leaves a line in the file QRV_FAKE_KILL_LOG names.
//
// Usage: qrv_win32_window_test game|no-game LOG-FILE
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "resources/resource_ids.h"
#include "ui/win32/main_window.h"

using namespace qrv;
using namespace qrv::win32;

namespace {

int failures = 0;

void Check(bool condition, const char* format, ...) {
    if (condition) {
        return;
    }
    ++failures;
    std::va_list args;
    va_start(args, format);
    std::fputs("FAILED: ", stdout);
    std::vprintf(format, args);
    std::fputc('\n', stdout);
    va_end(args);
    std::fflush(stdout);
}

HWND Square(int square) {
    return GetDlgItem(Ui.MainWindow, IDC_FIRST_SQUARE + square);
}

WNDPROC ProcOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

// The window procedure every button has before anyone hooks it.
WNDPROC ButtonClassProc() {
    WNDCLASSA buttonClass{};
    GetClassInfoA(nullptr, "Button", &buttonClass);
    return buttonClass.lpfnWndProc;
}

std::string StatusText() {
    char text[256] = "";
    GetDlgItemTextA(Ui.MainWindow, IDC_STATUS_FIELD, text, sizeof text);
    return text;
}

void Command(int id) {
    SendMessageA(Ui.MainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// Takes the messages posted to this thread so far; true when the quit message was among them.
bool TakeQuitMessage(int* exitCode) {
    MSG message;
    bool quit = false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            *exitCode = static_cast<int>(message.wParam);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return quit;
}

int KillNetCalls(const char* log) {
    std::FILE* file = std::fopen(log, "r");
    if (file == nullptr) {
        return 0;
    }
    int calls = 0;
    char line[64];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        calls += std::strncmp(line, "KillNet", 7) == 0;
    }
    std::fclose(file);
    return calls;
}

bool IsPenOf(HPEN pen, COLORREF colour) {
    LOGPEN description{};
    if (GetObjectType(pen) != OBJ_PEN || GetObjectA(pen, sizeof description, &description) == 0) {
        return false;
    }
    return description.lopnStyle == PS_SOLID && description.lopnWidth.x == 3 &&
           description.lopnColor == colour;
}

LRESULT CALLBACK MarkerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

void CheckClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    Check(GetClassInfoExA(instance, QRV_MAIN_WINDOW_CLASS, &windowClass) != 0,
          "the class QRVMainWinClass is not registered");
    Check(windowClass.style == 0x2808, "class styles %x, expected 0x2808", windowClass.style);
    Check(windowClass.cbWndExtra == DLGWINDOWEXTRA, "window extra bytes %d",
          windowClass.cbWndExtra);
    Check(windowClass.hIcon != nullptr, "the class has no icon");
    Check(windowClass.hCursor != nullptr, "the class has no cursor");
    Check(windowClass.hbrBackground == reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
          "the class background is not COLOR_WINDOW + 1");
}

void TestGame(const char* log) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    Ui.Instance = instance;
    RegisterMainWindowClass(instance);
    CheckClass(instance);
    Check(CreateMainWindow(instance), "the main window was not created");
    if (Ui.MainWindow == nullptr) {
        return;
    }
    Check(GameSession.HasGame(), "the set-up did not start a game");
    Check(GameSession.Network().Library != nullptr && GameSession.Network().GetNetMove != nullptr,
          "the network library was not loaded");
    Check(IsPenOf(Ui.HighlightPen, RGB(255, 0, 0)), "no red pen 3 wide");
    Check(IsPenOf(Ui.NormalPen, RGB(127, 127, 255)), "no light blue pen 3 wide");
    Check(Ui.ProgramIcon != nullptr, "no program icon");
    Check(StatusText() == kOpeningText, "status \"%s\" at start", StatusText().c_str());
    Check(GameSession.Game().OpponentKind == kNetworkOpponent, "opponent %d at start",
          GameSession.Game().OpponentKind);
    const WNDPROC buttonProc = ButtonClassProc();
    for (int square = 0; square < kSquareCount; ++square) {
        Check(ProcOf(Square(square)) == SquareButtonProc, "square %d is not hooked", square);
        Check(Ui.SavedSquareProcs[square] == buttonProc, "square %d's own procedure was not kept",
              square);
    }
    // A click reaches the game through the hooked button.
    SendMessageA(Square(4), BM_CLICK, 0, 0);
    Check(GameSession.Game().Board[4] == 'X' && GameSession.Game().PendingSquare == 4,
          "a click on square 4 placed no X");

    const HPEN highlightPen = Ui.HighlightPen;
    const HPEN normalPen = Ui.NormalPen;
    Command(IDCANCEL);
    int exitCode = -1;
    Check(TakeQuitMessage(&exitCode) && exitCode == 0, "the shutdown posted no quit message 0");
    Check(GameSession.Network().Library == nullptr,
          "the library is still loaded after the shutdown");
    Check(KillNetCalls(log) == 1, "KillNet called %d times by the shutdown", KillNetCalls(log));
    Check(GetObjectType(highlightPen) == 0 && GetObjectType(normalPen) == 0,
          "the pens were not deleted");
    for (int square = 0; square < kSquareCount; ++square) {
        Check(ProcOf(Square(square)) == buttonProc, "square %d did not get its own procedure back",
              square);
    }

    // A second request before the quit message is taken: nothing more is released.
    SetWindowLongPtrA(Square(0), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MarkerProc));
    Command(IDCANCEL);
    SendMessageA(Ui.MainWindow, WM_CLOSE, 0, 0);  // becomes a posted IDCANCEL
    Check(!TakeQuitMessage(&exitCode), "a second shutdown posted another quit message");
    Check(ProcOf(Square(0)) == MarkerProc, "a second shutdown changed the squares' procedures");
    Check(KillNetCalls(log) == 1, "KillNet called %d times after a second shutdown",
          KillNetCalls(log));
    SetWindowLongPtrA(Square(0), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buttonProc));
}

void TestNoGame() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    Ui.Instance = instance;
    RegisterMainWindowClass(instance);
    Check(CreateMainWindow(instance), "the window without a game did not open");
    if (Ui.MainWindow == nullptr) {
        return;
    }
    Check(IsWindowVisible(Ui.MainWindow), "the window without a game is not shown");
    Check(!GameSession.HasGame(), "a game was started with damaged stored positions");
    Check(GameSession.Network().Library == nullptr,
          "the library was loaded although the set-up stopped");
    Check(Ui.HighlightPen == nullptr && Ui.NormalPen == nullptr, "pens were created");
    const WNDPROC buttonProc = ButtonClassProc();
    for (int square = 0; square < kSquareCount; ++square) {
        Check(ProcOf(Square(square)) == buttonProc, "square %d was hooked", square);
    }
    Check(StatusText().empty(), "status \"%s\" without a game", StatusText().c_str());

    // No input reaches a game.
    SendMessageA(Square(4), BM_CLICK, 0, 0);
    Command(IDC_PLAY_O_BUTTON);
    Command(IDC_RESET_BUTTON);
    Command(IDM_RULE_OPPONENT);
    Command(IDM_GENETIC_OPPONENT);
    int exitCode = -1;
    Check(!TakeQuitMessage(&exitCode), "input without a game ended the program");
    Check(GameSession.Game().Board == EmptyBoard() &&
              GameSession.Game().OpponentKind == kNetworkOpponent && GameSession.Game().Turn == 1,
          "input changed the game that was never started");
    Check(StatusText().empty(), "status \"%s\" after input without a game", StatusText().c_str());

    // The shutdown only posts the quit message: no square loses its procedure.
    Command(IDCANCEL);
    Check(TakeQuitMessage(&exitCode) && exitCode == 0, "the shutdown posted no quit message 0");
    for (int square = 0; square < kSquareCount; ++square) {
        Check(ProcOf(Square(square)) == buttonProc, "square %d's procedure changed at the shutdown",
              square);
    }
    // The squares still work as buttons afterwards.
    SendMessageA(Square(0), BM_SETSTATE, TRUE, 0);
    Check((SendMessageA(Square(0), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0,
          "square 0 no longer works as a button");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s game|no-game LOG-FILE\n", argv[0]);
        return 2;
    }
    std::remove(argv[2]);
    // Read by the stand-in library's KillNet, through the same C runtime.
    const std::string logSetting = std::string("QRV_FAKE_KILL_LOG=") + argv[2];
    _putenv(logSetting.c_str());
    if (std::strcmp(argv[1], "game") == 0) {
        TestGame(argv[2]);
    } else if (std::strcmp(argv[1], "no-game") == 0) {
        TestNoGame();
    } else {
        std::fprintf(stderr, "unknown test %s\n", argv[1]);
        return 2;
    }
    std::printf("%s: %s\n", argv[1], failures == 0 ? "passed" : "failed");
    return failures == 0 ? 0 : 1;
}
