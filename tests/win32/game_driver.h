// Drives a running quorvane.exe from another process through window messages only, and reads
// what it shows: window texts, and the painted pixels from the screen.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// Failures are counted, not thrown: a scenario reports every check that failed.
void Fail(const char* format, ...);
int FailureCount();
void Note(const char* format, ...);

// Expected look of the game, and the exact texts it shows.
inline constexpr char kMainClass[] = "QRVMainWinClass";
inline constexpr char kCaption[] = "Play Xs & Os with Neural Network...";
inline constexpr char kOpening[] = "Your move. Click on a square, then 'Play O'...";
inline constexpr char kYouWin[] = "Game over - you win!";
inline constexpr char kDrawn[] = "Give up - it's a drawn game!";
inline constexpr char kYouLose[] = "Game over - you lose!";
inline constexpr char kBlocked[] = "Blocked you there!";
inline constexpr char kError[] = "I'm sorry, there was some kind of an error...";
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kLightBlue = RGB(127, 127, 255);

// Control ids and menu commands of the main window.
inline constexpr int kExitId = 8;
inline constexpr int kPlayOId = 9;
inline constexpr int kResetId = 10;
inline constexpr int kFirstSquareId = 1004;
inline constexpr int kStatusId = 1013;
inline constexpr int kAboutCommand = 105;
inline constexpr int kFileExitCommand = 106;
inline constexpr int kRuleOpponentCommand = 40001;
inline constexpr int kNetworkOpponentCommand = 40002;
inline constexpr int kGeneticOpponentCommand = 40003;

class GameProcess {
public:
    ~GameProcess();
    // Starts folder\quorvane.exe with folder as its working folder, asking for the show state
    // showState when it is not -1.
    bool Start(const std::string& folder, int showState = -1);
    // The same for a folder whose name may hold any character.
    bool Start(const std::wstring& folder);
    // The main window once it is visible; null after the timeout.
    HWND WaitForMainWindow(int timeoutMs = 30000);
    // A top-level window of the game of that class and caption, visible; null after the timeout.
    HWND WaitForWindow(const char* className, const char* caption, int timeoutMs = 15000);
    // Any visible top-level window of the game other than the main window.
    HWND FindOtherWindow();
    // The exit code, or -1 when the game did not end in time (it is then killed).
    int WaitForExit(int timeoutMs = 20000);
    DWORD Id() const { return info_.dwProcessId; }
    DWORD ThreadId() const { return info_.dwThreadId; }
    HWND Main() const { return main_; }
    const std::string& Program() const { return program_; }

private:
    std::string program_;
    PROCESS_INFORMATION info_{};
    HWND main_ = nullptr;
};

std::string WindowText(HWND window);
std::string ClassName(HWND window);
// A window's name as assistive technology reads it through the system's accessibility (MSAA),
// or what went wrong.
std::string AccessibleName(HWND window);
std::string StatusText(HWND main);

// The name and live-region events that a game raises, caught out of its context as a screen
// reader catches them, from the moment the trace is made.
class EventTrace {
public:
    explicit EventTrace(DWORD processId);
    ~EventTrace();
    // What came in so far, oldest first, one word each: the square (0 to 8) whose name changed,
    // the quoted name that a live-region change's object had when the event came in, as a
    // screen reader speaks it, or "other" with the event, the control id and the object id for
    // every other event of the two kinds.
    std::string Take(HWND main);

private:
    HWINEVENTHOOK hook_;
};

// Presses a button of the main window through the button itself, so the notification reaches
// the game the way a mouse click's does.
void ClickControl(HWND main, int id);
void ClickSquare(HWND main, int square);
// A menu command, as the menu sends it.
void MenuCommand(HWND main, int command);
// Waits until the game has handled everything sent and posted to it so far.
void Settle(HWND main);

// What a square shows on screen.
struct SquareLook {
    char mark = '?';  // 'X', 'O', ' ', or '?' when it is none of these
    int redPixels = 0;
    int bluePixels = 0;
    int otherPenPixels = 0;
    // The box of the mark's pixels against the figure's box (the square inset by 4 at the top
    // left and 6 at the bottom right): how far each edge lies outside it.
    int leftOut = 0, topOut = 0, rightOut = 0, bottomOut = 0;
};
std::vector<SquareLook> LookAtBoard(HWND main);
// "XO XXOX O"-style text of the board as painted.
std::string BoardText(const std::vector<SquareLook>& looks);

// Waits until the board shows `board` with the squares of `red` (e.g. "036") in red and every
// other mark light blue, and the status line shows `status`; reports a failure after timeout.
bool ExpectGame(HWND main, const char* board, const char* red, const char* status, const char* what,
                int timeoutMs = 8000);

// The pixels of a square's focus rectangle: those of its outer three-pixel ring, where no mark
// reaches, that are not the button face colour.
int FocusPixels(HWND main, int square);

// Saves the window's area of the screen as a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const std::string& path);

// How many pixels of exactly `colour` follow one another from the first such pixel met going
// from (x, y) by (dx, dy) in the window's client area; `skipped` gets the pixels before it.
int ColourRun(HWND window, int x, int y, int dx, int dy, COLORREF colour, int* skipped = nullptr);

}  // namespace driver
