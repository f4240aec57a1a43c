// The Windows front end: its process-wide state and the procedures of its windows.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <array>

#include "game/session.h"

namespace qrv::win32 {

// The user interface's handles, one set per process.
struct UiState {
    HINSTANCE Instance = nullptr;  // stored first thing by the entry point
    HWND MainWindow = nullptr;     // null until the main window's creation has returned
    HICON ProgramIcon = nullptr;
    HPEN NormalPen = nullptr;     // marks of squares not in a completed line
    HPEN HighlightPen = nullptr;  // marks of the squares of a completed line
    // Read once at set-up: the program is aware of the system's DPI, which stays as it is
    // while the program runs. The pens and the squares' insets are scaled by it.
    int Dpi = USER_DEFAULT_SCREEN_DPI;
    std::array<WNDPROC, kSquareCount> SavedSquareProcs{};  // null while a square is not hooked
};

// The process's one window state and its one game session.
extern UiState Ui;
extern Session GameSession;

// Start-up.
void RegisterMainWindowClass(HINSTANCE instance);
bool CreateMainWindow(HINSTANCE instance);
int RunMessageLoop();

// The main window.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void SetStatusText(HWND window, const char* text);

// The squares.
LRESULT CALLBACK SquareButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
void RepaintSquare(HWND window, int square);
// The DPI of the screen the window is drawn on, and a length of `pixels` at 96 DPI scaled to
// it, never below its 96-DPI value.
int WindowDpi(HWND window);
int ScaleToDpi(int pixels, int dpi);
// Gives every square that the operation changed its new name, and repaints it: the game
// commits the pending X, or ends the game under it, without a repaint request.
void NameSquares(HWND window, const SessionUpdate& update);

// The About box.
INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The texts of the box shown when the network library cannot be used.
inline constexpr char kLibraryFailureCaption[] = "Error...Failed to load Synaptra.dll!";
inline constexpr char kLibraryFailureText[] =
    "Close app, place DLL & qrv.bpn in same folder as exe";

}  // namespace qrv::win32
