// End-to-end scenarios of the Windows program, run under Wine beside the game. The fake network
// library beside the game answers the first empty square of the position it is asked about, so
// the network opponents' games are known in advance.
//
// Usage: qrv_win32_driver SCENARIO GAME-FOLDER [OUTPUT-FOLDER]
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "game_driver.h"

using namespace driver;

namespace {

std::string outputFolder = ".";

void ExpectExitCode(GameProcess& game, const char* how) {
    const int code = game.WaitForExit();
    if (code != 0) {
        Fail("ending the game by %s: exit code %d, expected 0", how, code);
    }
}

void CheckUnchanged(HWND main, const char* board, const char* red, const char* status,
                    const char* what) {
    Settle(main);
    ExpectGame(main, board, red, status, what, 300);
}

struct Step {
    int square;          // clicked first
    bool playO;          // then "Play O"
    const char* board;   // what the board shows afterwards
    const char* red;     // its highlighted squares
    const char* status;  // and the status line
};

// Plays the steps, checking the board and the status after every click and every "Play O".
void PlaySteps(HWND main, const Step* steps, int count) {
    char what[64];
    for (int i = 0; i < count; ++i) {
        const Step& step = steps[i];
        if (step.square >= 0) {
            ClickSquare(main, step.square);
        }
        if (step.playO) {
            ClickControl(main, kPlayOId);
        }
        std::snprintf(what, sizeof what, "step %d (square %d%s)", i + 1, step.square,
                      step.playO ? ", Play O" : "");
        ExpectGame(main, step.board, step.red, step.status, what);
    }
}

// After the end of a game, clicks on free and taken squares and "Play O" change nothing.
void CheckGameOverIgnoresInput(HWND main, const char* board, const char* red, const char* status) {
    for (int square = 0; square < 9; ++square) {
        ClickSquare(main, square);
    }
    ClickControl(main, kPlayOId);
    CheckUnchanged(main, board, red, status, "input after the end of the game");
}

// From an empty board: an X on `square` and "Play O" against an opponent that answers with a
// random square. Only the X and that there is exactly one O can be known.
void PlayAgainstRandomSquare(HWND main, int square, const char* what) {
    ClickSquare(main, square);
    ClickControl(main, kPlayOId);
    Settle(main);
    std::string board;
    for (int waited = 0; waited < 5000; waited += 100) {
        board = BoardText(LookAtBoard(main));
        if (board.find('O') != std::string::npos) {
            break;
        }
        Sleep(100);
    }
    int crosses = 0;
    int noughts = 0;
    for (char mark : board) {
        crosses += mark == 'X';
        noughts += mark == 'O';
    }
    if (crosses != 1 || noughts != 1 || board[square] != 'X' || StatusText(main) != kOpening) {
        Fail("%s: the board shows [%s] and the status \"%s\"", what, board.c_str(),
             StatusText(main).c_str());
    }
}

void SaveScreenshot(HWND main, const char* name) {
    const std::string path = outputFolder + "\\" + name + ".bmp";
    if (!SaveWindowBitmap(main, path)) {
        Fail("cannot save %s", path.c_str());
    }
}

void EndByCloseBox(GameProcess& game) {
    PostMessageA(game.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectExitCode(game, "the close box");
}

void EndByExitButton(GameProcess& game) {
    ClickControl(game.Main(), kExitId);
    ExpectExitCode(game, "the Exit button");
}

void EndByFileExit(GameProcess& game) {
    PostMessageA(game.Main(), WM_COMMAND, MAKEWPARAM(kFileExitCommand, 0), 0);
    ExpectExitCode(game, "File > Exit");
}

void EndByEscape(GameProcess& game) {
    // The key goes to the control with the focus; the dialog manager turns it into IDCANCEL.
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    HWND target = game.Main();
    if (GetGUIThreadInfo(game.ThreadId(), &thread) && thread.hwndFocus != nullptr) {
        target = thread.hwndFocus;
    }
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(target, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
    ExpectExitCode(game, "the Escape key");
}

// --- The window as it opens -------------------------------------------------------------------

struct ControlTemplate {
    int id;
    const char* className;
    const char* text;
    DWORD style;  // beyond WS_CHILD and WS_VISIBLE
    int x, y, width, height;
};

// Template order. The button and static kinds sit in the low bits of the style.
const ControlTemplate kControls[] = {
    {8, "Button", "Exit", BS_PUSHBUTTON | WS_TABSTOP, 126, 171, 50, 14},
    {111, "Static", "", SS_ETCHEDHORZ | WS_DISABLED, 7, 7, 184, 1},
    {-1, "Button", "", BS_GROUPBOX, 19, 17, 53, 44},
    {-1, "Button", "", BS_GROUPBOX, 19, 57, 53, 44},
    {-1, "Button", "", BS_GROUPBOX, 19, 97, 53, 44},
    {-1, "Button", "", BS_GROUPBOX, 71, 17, 53, 44},
    {-1, "Button", "", BS_GROUPBOX, 71, 57, 53, 44},
    {-1, "Button", "", BS_GROUPBOX, 71, 97, 53, 44},
    {-1, "Button", "", BS_GROUPBOX, 123, 17, 53, 44},
    {-1, "Button", "", BS_GROUPBOX, 123, 57, 53, 44},
    {-1, "Button", "", BS_GROUPBOX, 123, 97, 53, 44},
    {1004, "Button", "Top left: empty", BS_OWNERDRAW | BS_FLAT | WS_TABSTOP, 20, 22, 51, 38},
    {1005, "Button", "Top centre: empty", BS_OWNERDRAW | BS_FLAT | WS_TABSTOP, 72, 22, 51, 38},
    {1006, "Button", "Top right: empty", BS_OWNERDRAW | BS_FLAT | WS_TABSTOP, 124, 22, 51, 38},
    {1007, "Button", "Middle left: empty", BS_OWNERDRAW | BS_FLAT | WS_TABSTOP, 20, 62, 51, 38},
    {1008, "Button", "Centre: empty", BS_OWNERDRAW | BS_FLAT | WS_TABSTOP, 72, 62, 51, 38},
    {1009, "Button", "Middle right: empty", BS_OWNERDRAW | BS_FLAT | WS_TABSTOP, 124, 62, 51, 38},
    {1010, "Button", "Bottom left: empty", BS_OWNERDRAW | BS_FLAT | WS_TABSTOP, 20, 102, 51, 38},
    {1011, "Button", "Bottom centre: empty", BS_OWNERDRAW | BS_FLAT | WS_TABSTOP, 72, 102, 51, 38},
    {1012, "Button", "Bottom right: empty", BS_OWNERDRAW | BS_FLAT | WS_TABSTOP, 124, 102, 51, 38},
    {9, "Button", "Play O", BS_PUSHBUTTON | WS_TABSTOP, 20, 171, 50, 14},
    {10, "Button", "Reset", BS_PUSHBUTTON | WS_TABSTOP, 73, 171, 50, 14},
    {-1, "Static", "Status", SS_LEFT | SS_NOPREFIX, 19, 150, 0, 0},
    {1013, "Edit", kOpening, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 19, 150, 156, 13},
};
constexpr int kControlCount = sizeof kControls / sizeof kControls[0];

// Styles the check compares: the ones the template sets, and the kind of control.
constexpr DWORD kComparedStyles = WS_TABSTOP | WS_DISABLED | WS_BORDER | WS_GROUP | 0xFFFF;

RECT ControlRectInClient(HWND main, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Finds the dialog base units for which every control sits exactly where the template puts it.
bool MatchesTemplateLayout(HWND main, const HWND* controls, int baseX, int baseY) {
    for (int i = 0; i < kControlCount; ++i) {
        const ControlTemplate& wanted = kControls[i];
        const RECT rect = ControlRectInClient(main, controls[i]);
        // The system sizes an etched line itself, by up to its two edges.
        const int slack = (wanted.style & 0xFFFF) == SS_ETCHEDHORZ && wanted.id == 111 ? 2 : 0;
        const int widthError = rect.right - rect.left - MulDiv(wanted.width, baseX, 4);
        const int heightError = rect.bottom - rect.top - MulDiv(wanted.height, baseY, 8);
        if (rect.left != MulDiv(wanted.x, baseX, 4) || rect.top != MulDiv(wanted.y, baseY, 8) ||
            widthError < 0 || widthError > slack || heightError < 0 || heightError > slack) {
            return false;
        }
    }
    return true;
}

// The window's menu cannot be read from another process under Wine, so its items are read
// from the program's menu resource, and the window is checked to have a menu.
void CheckMenu(HWND main, const std::string& program) {
    if (GetMenu(main) == nullptr) {
        Fail("the main window has no menu");
    }
    HMODULE resources = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HMENU menu = resources != nullptr ? LoadMenuA(resources, MAKEINTRESOURCEA(104)) : nullptr;
    if (menu == nullptr) {
        Fail("cannot read menu 104 of %s", program.c_str());
        return;
    }
    struct Item {
        int popup;
        int position;
        const char* text;
        UINT id;
    };
    const Item items[] = {
        {0, 0, "Play against the &Random Number Generator", 40001},
        {0, 1, "Play against the &Neural Network", 40002},
        {0, 2, "Play against the &Genetic Algorithm", 40003},
        {0, 3, "E&xit", 106},
        {1, 0, "&About ...", 105},
    };
    const char* popups[] = {"&File", "&Help"};
    if (GetMenuItemCount(menu) != 2) {
        Fail("menu bar has %d menus, expected 2", GetMenuItemCount(menu));
    }
    for (int popup = 0; popup < 2; ++popup) {
        char text[128] = "";
        GetMenuStringA(menu, popup, text, sizeof text, MF_BYPOSITION);
        if (std::strcmp(text, popups[popup]) != 0) {
            Fail("menu %d is \"%s\", expected \"%s\"", popup, text, popups[popup]);
        }
    }
    const int expectedCounts[] = {4, 1};
    for (int popup = 0; popup < 2; ++popup) {
        const int count = GetMenuItemCount(GetSubMenu(menu, popup));
        if (count != expectedCounts[popup]) {
            Fail("menu %s has %d items, expected %d", popups[popup], count, expectedCounts[popup]);
        }
    }
    for (const Item& item : items) {
        HMENU sub = GetSubMenu(menu, item.popup);
        char text[128] = "";
        GetMenuStringA(sub, item.position, text, sizeof text, MF_BYPOSITION);
        const UINT id = GetMenuItemID(sub, item.position);
        if (std::strcmp(text, item.text) != 0 || id != item.id) {
            Fail("menu item %d.%d is \"%s\" (%u), expected \"%s\" (%u)", item.popup, item.position,
                 text, id, item.text, item.id);
        }
    }
    DestroyMenu(menu);
    FreeLibrary(resources);
}

void ScenarioLayout(GameProcess& game) {
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    if (WindowText(main) != kCaption) {
        Fail("caption \"%s\", expected \"%s\"", WindowText(main).c_str(), kCaption);
    }
    const DWORD style = static_cast<DWORD>(GetWindowLongA(main, GWL_STYLE));
    const DWORD wanted = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    if ((style & wanted) != wanted || (style & (WS_MAXIMIZEBOX | WS_THICKFRAME)) != 0) {
        Fail("main window style %08lx: wants caption, system menu and minimise box only", style);
    }
    // The children in creation order are the template's controls in template order.
    HWND controls[kControlCount] = {};
    HWND child = GetWindow(main, GW_CHILD);
    int count = 0;
    for (; child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (count < kControlCount) {
            controls[count] = child;
        }
        ++count;
    }
    if (count != kControlCount) {
        Fail("the main window has %d controls, expected %d", count, kControlCount);
        return;
    }
    for (int i = 0; i < kControlCount; ++i) {
        const ControlTemplate& wanted = kControls[i];
        HWND control = controls[i];
        const int id = static_cast<short>(GetDlgCtrlID(control));
        const DWORD controlStyle = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        if (id != wanted.id) {
            Fail("control %d has id %d, expected %d", i + 1, id, wanted.id);
        }
        if (_stricmp(ClassName(control).c_str(), wanted.className) != 0) {
            Fail("control %d (id %d) is a %s, expected %s", i + 1, id, ClassName(control).c_str(),
                 wanted.className);
        }
        if (!IsWindowVisible(control) || (controlStyle & WS_CHILD) == 0) {
            Fail("control %d (id %d) is not a visible child", i + 1, id);
        }
        DWORD shownStyle = controlStyle & kComparedStyles;
        // Dialogs with the 3D look draw an edit field's border as a sunken edge instead.
        if ((GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0 &&
            (wanted.style & WS_BORDER) != 0 && _stricmp(wanted.className, "Edit") == 0) {
            shownStyle |= WS_BORDER;
        }
        if (shownStyle != wanted.style) {
            Fail("control %d (id %d) has style %08lx, expected %08lx", i + 1, id, shownStyle,
                 wanted.style);
        }
        if (WindowText(control) != wanted.text) {
            Fail("control %d (id %d) shows \"%s\", expected \"%s\"", i + 1, id,
                 WindowText(control).c_str(), wanted.text);
        }
    }
    bool placed = false;
    for (int baseX = 4; baseX <= 16 && !placed; ++baseX) {
        for (int baseY = 8; baseY <= 32 && !placed; ++baseY) {
            placed = MatchesTemplateLayout(main, controls, baseX, baseY);
            if (placed) {
                Note("controls placed with dialog base units %d x %d", baseX, baseY);
            }
        }
    }
    if (!placed) {
        Fail("the controls do not stand at the template's positions for any dialog base units");
        for (int i = 0; i < kControlCount; ++i) {
            const RECT rect = ControlRectInClient(main, controls[i]);
            Note("  control %d: %ld,%ld %ldx%ld", i + 1, rect.left, rect.top,
                 rect.right - rect.left, rect.bottom - rect.top);
        }
    }
    // Assistive technology names the status field after the label before it.
    if (AccessibleName(GetDlgItem(main, kStatusId)) != "Status") {
        Fail("the status field is named \"%s\"",
             AccessibleName(GetDlgItem(main, kStatusId)).c_str());
    }
    CheckMenu(main, game.Program());
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (!GetGUIThreadInfo(game.ThreadId(), &thread) ||
        thread.hwndFocus != GetDlgItem(main, kExitId)) {
        Fail("the keyboard focus is not on \"Exit\" after start");
    }
    ExpectGame(main, "         ", "", kOpening, "the opening");
    EndByEscape(game);
}

// The dialog keys work because the message loop offers every message to the dialog manager:
// Tab moves the focus, the space bar presses the focused square, Enter the focused "Exit".
HWND FocusOf(GameProcess& game) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    return GetGUIThreadInfo(game.ThreadId(), &thread) ? thread.hwndFocus : nullptr;
}

void PressKey(GameProcess& game, WPARAM key) {
    HWND target = FocusOf(game);
    if (target == nullptr) {
        target = game.Main();
    }
    PostMessageA(target, WM_KEYDOWN, key, 0x00000001);
    PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    Settle(game.Main());
}

bool WaitForFocus(GameProcess& game, HWND wanted) {
    for (int waited = 0; waited < 3000; waited += 50) {
        if (FocusOf(game) == wanted) {
            return true;
        }
        Sleep(50);
    }
    return false;
}

void ScenarioKeyboard(GameProcess& game) {
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    if (!WaitForFocus(game, GetDlgItem(main, kExitId))) {
        Fail("the focus is not on \"Exit\" after start");
        return;
    }
    PressKey(game, VK_TAB);
    if (!WaitForFocus(game, GetDlgItem(main, kFirstSquareId))) {
        Fail("Tab from \"Exit\" did not move the focus to the first square");
        return;
    }
    // The keyboard shows the focus rectangle inside the focused square, and only there.
    if (FocusPixels(main, 0) == 0 || FocusPixels(main, 1) != 0) {
        Fail("focus rectangle pixels: %d on the focused square, %d on the next",
             FocusPixels(main, 0), FocusPixels(main, 1));
    }
    PressKey(game, VK_SPACE);
    ExpectGame(main, "X        ", "", kOpening, "the space bar on the first square");
    PressKey(game, VK_TAB);
    PressKey(game, VK_TAB);
    PressKey(game, VK_SPACE);  // the third square: the pending X moves there
    ExpectGame(main, "  X      ", "", kOpening, "the space bar on the third square");
    // Back to "Exit": Tab past the other squares, "Play O", "Reset" and the status field.
    for (int presses = 0; presses < 10; ++presses) {
        PressKey(game, VK_TAB);
    }
    if (!WaitForFocus(game, GetDlgItem(main, kExitId))) {
        Fail("Tab did not come round to \"Exit\" after the status field");
        return;
    }
    PressKey(game, VK_RETURN);
    ExpectExitCode(game, "Enter on \"Exit\"");
}

// --- Whole games ----------------------------------------------------------------------------

// The squares' names, as assistive technology reads them: their window texts, and through the
// system's accessibility.
void ExpectSquareNames(HWND main, const char* const (&names)[9], const char* what) {
    for (int square = 0; square < 9; ++square) {
        HWND button = GetDlgItem(main, kFirstSquareId + square);
        for (const std::string& name : {WindowText(button), AccessibleName(button)}) {
            if (name != names[square]) {
                Fail("%s: square %d is named \"%s\", expected \"%s\"", what, square, name.c_str(),
                     names[square]);
            }
        }
    }
}

void ScenarioWin(GameProcess& game) {
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    const Step steps[] = {
        {0, false, "X        ", "", kOpening},   {-1, true, "XO       ", "", kOpening},
        {4, false, "XO  X    ", "", kOpening},   {-1, true, "XO  X   O", "", kBlocked},
        {3, false, "XO XX   O", "", kBlocked},   {-1, true, "XO XXO  O", "", kBlocked},
        {6, false, "XO XXOX O", "036", kYouWin},  // wins at once, without "Play O"
    };
    EventTrace events(game.Id());
    PlaySteps(main, steps, 1);
    // A click moves the focus to the square; its rectangle shows only while the keyboard cues
    // do (Wine keeps no keyboard cue state: they always show there).
    const bool cues = (SendMessageA(GetDlgItem(main, kFirstSquareId), WM_QUERYUISTATE, 0, 0) &
                       UISF_HIDEFOCUS) == 0;
    if ((FocusPixels(main, 0) != 0) != cues) {
        Fail("after a click, %d focus rectangle pixels with keyboard cues %s", FocusPixels(main, 0),
             cues ? "shown" : "hidden");
    }
    ExpectSquareNames(main,
                      {"Top left: X, not played yet", "Top centre: empty", "Top right: empty",
                       "Middle left: empty", "Centre: empty", "Middle right: empty",
                       "Bottom left: empty", "Bottom centre: empty", "Bottom right: empty"},
                      "a pending X");
    PlaySteps(main, steps + 1, sizeof steps / sizeof steps[0] - 1);
    ExpectSquareNames(
        main,
        {"Top left: X, in the winning line", "Top centre: O", "Top right: empty",
         "Middle left: X, in the winning line", "Centre: X", "Middle right: O",
         "Bottom left: X, in the winning line", "Bottom centre: empty", "Bottom right: O"},
        "a won game");
    // A screen reader hears of every square whose name changed, operation by operation, and
    // of the status field's two changes.
    const std::string trace = events.Take(main);
    Note("events: %s", trace.c_str());
    if (trace != "0 0 1 4 4 8 status 3 3 5 0 3 6 status") {
        Fail("the name and live-region events were %s", trace.c_str());
    }
    SaveScreenshot(main, "won-game");
    CheckGameOverIgnoresInput(main, "XO XXOX O", "036", kYouWin);
    EndByCloseBox(game);
}

void ScenarioLoss(GameProcess& game) {
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    const Step steps[] = {
        {1, true, "OX       ", "", kOpening},
        {2, true, "OXX   O  ", "", kOpening},
        {4, true, "OXXOX O  ", "036", kYouLose},
    };
    PlaySteps(main, steps, sizeof steps / sizeof steps[0]);
    SaveScreenshot(main, "lost-game");
    CheckGameOverIgnoresInput(main, "OXXOX O  ", "036", kYouLose);
    EndByExitButton(game);
}

void ScenarioDraw(GameProcess& game) {
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    const Step steps[] = {
        {4, true, "O   X    ", "", kOpening},
        {8, true, "O   X  OX", "", kOpening},
        {1, true, "OX  XO OX", "", kOpening},
        {6, true, "OXO XOXOX", "", kDrawn},  // the computer sees the draw; the game goes on
        {3, false, "OXOXXOXOX", "", kDrawn},
    };
    PlaySteps(main, steps, sizeof steps / sizeof steps[0]);
    CheckGameOverIgnoresInput(main, "OXOXXOXOX", "", kDrawn);
    EndByFileExit(game);
}

// Moving the pending X, ignored clicks and presses within a game, a block and a loss.
void ScenarioBlocked(GameProcess& game) {
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    ClickControl(main, kPlayOId);  // no X yet: nothing happens
    CheckUnchanged(main, "         ", "", kOpening, "Play O before any X");
    const Step opening[] = {
        {4, false, "    X    ", "", kOpening},
        {0, false, "X        ", "", kOpening},  // the pending X moves
    };
    PlaySteps(main, opening, 2);
    ClickSquare(main, 0);  // the pending X itself
    CheckUnchanged(main, "X        ", "", kOpening, "a click on the pending X");
    const Step rest[] = {
        {-1, true, "XO       ", "", kOpening},
        {3, true, "XO X  O  ", "", kBlocked},
        {5, true, "XO XOXO  ", "", kBlocked},
    };
    PlaySteps(main, rest, 3);
    ClickControl(main, kPlayOId);  // a second "Play O" without a new X
    ClickSquare(main, 0);          // a committed X
    ClickSquare(main, 1);          // an O
    CheckUnchanged(main, "XO XOXO  ", "", kBlocked, "clicks on taken squares");
    const Step last[] = {{2, true, "XOXXOXOO ", "147", kYouLose}};
    PlaySteps(main, last, 1);
    // Two requests to end before the first one is handled: the program ends once, normally.
    PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ExpectExitCode(game, "three close requests in a row");
}

void ScenarioGeneticError(GameProcess& game) {
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    MenuCommand(main, kGeneticOpponentCommand);
    // The genetic opponent does not know the position after X on 0 and 2: an error ends the game.
    const Step steps[] = {
        {0, true, "XO       ", "", kOpening},
        {2, true, "XOX      ", "", kError},
    };
    PlaySteps(main, steps, 2);
    CheckGameOverIgnoresInput(main, "XOX      ", "", kError);
    ClickControl(main, kResetId);
    ExpectGame(main, "         ", "", kOpening, "Reset after an error");
    EndByEscape(game);
}

// "Reset" and each opponent choice start a new game at any moment.
void ScenarioNewGames(GameProcess& game) {
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    ClickControl(main, kResetId);
    ExpectGame(main, "         ", "", kOpening, "Reset before any move");
    // Each choice, the opponent already in play included, ends the game against the one before.
    const int choices[] = {kRuleOpponentCommand, kNetworkOpponentCommand, kGeneticOpponentCommand,
                           kGeneticOpponentCommand};
    int current = kNetworkOpponentCommand;
    for (int command : choices) {
        if (current == kRuleOpponentCommand) {
            PlayAgainstRandomSquare(main, 4, "the random-number opponent");
        } else {
            const Step steps[] = {
                {4, true, "O   X    ", "", kOpening},
                {8, false, "O   X   X", "", kOpening},
            };
            PlaySteps(main, steps, 2);
        }
        MenuCommand(main, command);
        char what[64];
        std::snprintf(what, sizeof what, "opponent choice %d in the middle of a game", command);
        ExpectGame(main, "         ", "", kOpening, what);
        current = command;
    }
    const Step steps[] = {{4, false, "    X    ", "", kOpening}};
    PlaySteps(main, steps, 1);
    ClickControl(main, kResetId);
    ExpectGame(main, "         ", "", kOpening, "Reset in the middle of a game");
    // After the end of a game too.
    const Step loss[] = {
        {1, true, "OX       ", "", kOpening},
        {2, true, "OXX   O  ", "", kOpening},
        {4, true, "OXXOX O  ", "036", kYouLose},
    };
    PlaySteps(main, loss, 3);
    ClickControl(main, kResetId);
    ExpectGame(main, "         ", "", kOpening, "Reset after a lost game");
    EndByExitButton(game);
}

// --- About box ----------------------------------------------------------------------------------

HWND OpenAbout(GameProcess& game) {
    PostMessageA(game.Main(), WM_COMMAND, MAKEWPARAM(kAboutCommand, 0), 0);
    HWND about = game.WaitForWindow("#32770", "About");
    if (about == nullptr) {
        Fail("the About box did not open");
    }
    return about;
}

void CheckAboutBox(HWND main, HWND about) {
    const char* texts[] = {"Quorvane Version 1.2", "Made by the Quorvane developers",
                           "https://quorvane.example.org", "OK"};
    for (const char* text : texts) {
        bool found = false;
        for (HWND child = GetWindow(about, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            found = found || (IsWindowVisible(child) && WindowText(child) == text);
        }
        if (!found) {
            Fail("the About box does not show \"%s\"", text);
        }
    }
    HWND icon = GetDlgItem(about, 108);
    if (icon == nullptr || SendMessageA(icon, STM_GETICON, 0, 0) == 0) {
        Fail("the About box shows no icon");
    }
    if (IsWindowEnabled(main)) {
        Fail("the main window takes input while the About box is open");
    }
}

void ExpectAboutClosed(GameProcess& game, HWND about, const char* how) {
    for (int waited = 0; IsWindow(about) && waited < 5000; waited += 50) {
        Sleep(50);
    }
    if (IsWindow(about)) {
        Fail("the About box did not close with %s", how);
    }
    Settle(game.Main());
    if (!IsWindowEnabled(game.Main())) {
        Fail("the main window stays disabled after the About box closed with %s", how);
    }
}

void ScenarioAbout(GameProcess& game) {
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    const Step steps[] = {
        {0, true, "XO       ", "", kOpening},
        {4, false, "XO  X    ", "", kOpening},  // a pending X stays pending
    };
    PlaySteps(main, steps, 2);
    if (HWND about = OpenAbout(game)) {
        CheckAboutBox(main, about);
        ClickControl(about, IDOK);
        ExpectAboutClosed(game, about, "OK");
        CheckUnchanged(main, "XO  X    ", "", kOpening, "after the About box closed with OK");
    }
    if (HWND about = OpenAbout(game)) {
        HWND ok = GetDlgItem(about, IDOK);
        PostMessageA(ok, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(ok, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
        ExpectAboutClosed(game, about, "Escape");
        CheckUnchanged(main, "XO  X    ", "", kOpening, "after the About box closed with Escape");
    }
    if (HWND about = OpenAbout(game)) {
        PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
        ExpectAboutClosed(game, about, "its close box");
    }
    // The game goes on where it was.
    const Step more[] = {{-1, true, "XO  X   O", "", kBlocked}};
    PlaySteps(main, more, 1);
    EndByCloseBox(game);
}

// --- The network library --------------------------------------------------------------------

constexpr char kBoxCaption[] = "Error...Failed to load Synaptra.dll!";
constexpr char kBoxText[] = "Close app, place DLL & qrv.bpn in same folder as exe";

// The start-up box: shown before the main window is visible, with its exact texts; OK closes it.
bool DismissLibraryBox(GameProcess& game) {
    HWND box = game.WaitForWindow("#32770", kBoxCaption);
    if (box == nullptr) {
        Fail("no message box \"%s\" at start", kBoxCaption);
        return false;
    }
    HWND main = FindWindowA(kMainClass, nullptr);
    if (main != nullptr && IsWindowVisible(main)) {
        Fail("the main window is visible while the library message box is open");
    }
    bool textFound = false;
    int buttons = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        textFound = textFound || WindowText(child) == kBoxText;
        if (_stricmp(ClassName(child).c_str(), "Button") == 0 && IsWindowVisible(child)) {
            ++buttons;
            if (WindowText(child) != "OK") {
                Fail("the message box has a button \"%s\"", WindowText(child).c_str());
            }
        }
    }
    if (!textFound) {
        Fail("the message box does not say \"%s\"", kBoxText);
    }
    if (buttons != 1) {
        Fail("the message box has %d buttons, expected OK alone", buttons);
    }
    if (GetWindow(box, GW_OWNER) != nullptr) {
        Fail("the message box has an owner window");
    }
    ClickControl(box, IDOK);
    return true;
}

void ScenarioMissingLibrary(GameProcess& game) {
    if (!DismissLibraryBox(game)) {
        return;
    }
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    ExpectGame(main, "         ", "", kOpening, "the opening after the message box");
    // Without a network the network opponent falls back on random squares...
    PlayAgainstRandomSquare(main, 4, "the network opponent without a library");
    // ...the genetic-algorithm opponent cannot move at all...
    MenuCommand(main, kGeneticOpponentCommand);
    ExpectGame(main, "         ", "", kOpening, "choosing the genetic-algorithm opponent");
    const Step steps[] = {{4, true, "    X    ", "", kError}};
    PlaySteps(main, steps, 1);
    // ...and the random-number opponent needs none.
    MenuCommand(main, kRuleOpponentCommand);
    ExpectGame(main, "         ", "", kOpening, "choosing the random-number opponent");
    ClickSquare(main, 0);
    ClickSquare(main, 1);  // the pending X moves
    ExpectGame(main, " X       ", "", kOpening, "moving the pending X");
    ClickControl(main, kResetId);
    PlayAgainstRandomSquare(main, 2, "the random-number opponent without a library");
    EndByFileExit(game);
}

void ScenarioLibraryWithoutGetNetMove(GameProcess& game) {
    if (!DismissLibraryBox(game)) {
        return;
    }
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    // A library without GetNetMove: the genetic-algorithm opponent fails with the error line.
    MenuCommand(main, kGeneticOpponentCommand);
    const Step steps[] = {{4, true, "    X    ", "", kError}};
    PlaySteps(main, steps, 1);
    CheckGameOverIgnoresInput(main, "    X    ", "", kError);
    EndByExitButton(game);
}

void ScenarioLibraryInitFails(GameProcess& game) {
    if (!DismissLibraryBox(game)) {
        return;
    }
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    // The network still answers when it was found, whatever its initialisation said.
    const Step steps[] = {{4, true, "O   X    ", "", kOpening}};
    PlaySteps(main, steps, 1);
    EndByEscape(game);
}

// The real library and its weights beside the game: no message box, and the network answers.
void ScenarioRealLibrary(GameProcess& game) {
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    if (HWND other = game.FindOtherWindow()) {
        Fail("a window \"%s\" opened beside the main window", WindowText(other).c_str());
    }
    ExpectGame(main, "         ", "", kOpening, "the opening");
    for (int opponent : {kNetworkOpponentCommand, kGeneticOpponentCommand}) {
        MenuCommand(main, opponent);
        ExpectGame(main, "         ", "", kOpening, "choosing an opponent");
        ClickSquare(main, 4);
        ClickControl(main, kPlayOId);
        Settle(main);
        std::string board;
        for (int waited = 0; waited < 5000 && board.find('O') == std::string::npos; waited += 100) {
            Sleep(100);
            board = BoardText(LookAtBoard(main));
        }
        if (std::count(board.begin(), board.end(), 'O') != 1 || board[4] != 'X' ||
            StatusText(main) != kOpening) {
            Fail("opponent %d's first answer: [%s] \"%s\"", opponent, board.c_str(),
                 StatusText(main).c_str());
        }
    }
    EndByEscape(game);

    // The same library in this process: a device or a folder is refused unread, and says so.
    const std::string folder = game.Program().substr(0, game.Program().find_last_of('\\'));
    HMODULE library = LoadLibraryA((folder + "\\Synaptra.dll").c_str());
    const auto initNet = reinterpret_cast<int (*)(const char*)>(
        reinterpret_cast<void*>(GetProcAddress(library, "InitNet")));
    const auto lastError = reinterpret_cast<const char* (*)()>(
        reinterpret_cast<void*>(GetProcAddress(library, "NetLastError")));
    if (initNet == nullptr || lastError == nullptr) {
        Fail("the library has no InitNet or NetLastError");
        return;
    }
    for (const std::string& name : {std::string("NUL"), folder}) {
        if (initNet(name.c_str()) != 0 || std::strcmp(lastError(), "not a regular file") != 0) {
            Fail("InitNet(\"%s\"): \"%s\"", name.c_str(), lastError());
        }
    }
    if (initNet("qrv.bpn") != 1 || lastError()[0] != '\0') {
        Fail("InitNet of the weights beside it: \"%s\"", lastError());
    }
    FreeLibrary(library);
}

// --- A program whose stored positions are damaged ---------------------------------------------

void ScenarioNoGame(GameProcess& game) {
    HWND main = game.WaitForMainWindow();
    if (main == nullptr) {
        return;
    }
    if (HWND other = game.FindOtherWindow()) {
        Fail("a window \"%s\" opened beside the main window", WindowText(other).c_str());
    }
    ExpectGame(main, "         ", "", "", "the window without a game");
    for (int square = 0; square < 9; ++square) {
        ClickSquare(main, square);
    }
    ClickControl(main, kPlayOId);
    ClickControl(main, kResetId);
    MenuCommand(main, kRuleOpponentCommand);
    MenuCommand(main, kNetworkOpponentCommand);
    MenuCommand(main, kGeneticOpponentCommand);
    ClickSquare(main, 4);
    ClickControl(main, kPlayOId);
    CheckUnchanged(main, "         ", "", "", "input to the window without a game");
    EndByExitButton(game);
}

// Started minimised, maximised or hidden, the game still opens in its normal size and place.
void ScenarioShowStates(const std::string& folder) {
    const int states[] = {SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED, SW_HIDE, SW_SHOWMINNOACTIVE};
    RECT normal{};
    for (int state : {SW_SHOWNORMAL, states[0], states[1], states[2], states[3]}) {
        GameProcess game;
        if (!game.Start(folder, state)) {
            return;
        }
        HWND main = game.WaitForMainWindow();
        if (main == nullptr) {
            Fail("started with show state %d, the window did not show", state);
            continue;
        }
        RECT rect{};
        GetWindowRect(main, &rect);
        if (state == SW_SHOWNORMAL) {
            normal = rect;
        } else if (IsIconic(main) || IsZoomed(main) || !EqualRect(&rect, &normal)) {
            Fail("started with show state %d, the window is at %ld,%ld-%ld,%ld%s%s", state,
                 rect.left, rect.top, rect.right, rect.bottom, IsIconic(main) ? ", minimised" : "",
                 IsZoomed(main) ? ", maximised" : "");
        }
        ExpectGame(main, "         ", "", kOpening, "the opening");
        EndByCloseBox(game);
    }
}

// --- As Windows users get it: any folder, a high DPI, file properties, the installer --------

// The real library answers an X on square 2 with an O on the centre; the genetic-algorithm
// opponent has no fallback, so that O shows that the network itself answered.
void PlayOneNetworkMove(GameProcess& game) {
    HWND main = game.WaitForMainWindow();
    if (HWND other = game.FindOtherWindow()) {
        Fail("a window \"%s\" opened", WindowText(other).c_str());
    }
    if (main == nullptr) {
        return;
    }
    MenuCommand(main, kGeneticOpponentCommand);
    const Step steps[] = {{2, true, "  X O    ", "", kOpening}};
    PlaySteps(main, steps, 1);
    EndByEscape(game);
}

// The mutex that the game holds while it runs from `folder`, and that the installer looks for:
// named by the 32-bit FNV-1a hash of the folder's path in upper case, over its UTF-16 units.
std::wstring FolderMutexName(std::wstring folder) {
    CharUpperBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    std::uint32_t hash = 2166136261u;
    for (const wchar_t unit : folder) {
        hash = (hash ^ unit) * 16777619u;
    }
    wchar_t name[32];
    std::swprintf(name, 32, L"Local\\Quorvane-%08X", static_cast<unsigned>(hash));
    return name;
}

void ExpectFolderMutex(const std::wstring& folder) {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, FolderMutexName(folder).c_str());
    if (mutex == nullptr) {
        Fail("the running game holds no mutex named %ls", FolderMutexName(folder).c_str());
    }
    CloseHandle(mutex);
}

// The game, the real library and its weights from `folder`, copied into a folder whose name
// lies outside the ANSI code page.
void ScenarioAnyFolderName(const std::string& folder) {
    const std::wstring from(folder.begin(), folder.end());  // the build's ASCII path
    const std::wstring to = from + L"\\\u0418\u0433\u0440\u0430 \u6e38\u620f";
    CreateDirectoryW(to.c_str(), nullptr);
    for (const wchar_t* name : {L"\\quorvane.exe", L"\\Synaptra.dll", L"\\qrv.bpn"}) {
        if (!CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE)) {
            Fail("cannot copy %ls", name);
        }
    }
    GameProcess game;
    if (game.Start(to) && game.WaitForMainWindow() != nullptr) {
        ExpectFolderMutex(to);
        PlayOneNetworkMove(game);
    }
}

// A file's version resource, read back as its Properties page reads it.
void CheckVersionInfo(const std::string& file, const char* description, const char* internal) {
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeA(file.c_str(), &ignored) + 1);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(file.c_str(), 0, data.size(), data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
        fixed->dwFileVersionMS != MAKELONG(2, 1) || fixed->dwFileVersionLS != 0 ||
        fixed->dwProductVersionMS != MAKELONG(2, 1) || fixed->dwProductVersionLS != 0) {
        Fail("%s has no version resource of version 1.2.0.0", file.c_str());
        return;
    }
    const std::string original = file.substr(file.rfind('\\') + 1);
    const char* values[][2] = {{"ProductName", "Quorvane"},
                               {"FileDescription", description},
                               {"CompanyName", "Quorvane developers"},
                               {"InternalName", internal},
                               {"OriginalFilename", original.c_str()},
                               {"LegalCopyright", "Copyright (C) 2026 The Quorvane developers"},
                               {"FileVersion", "1.2.0.0"},
                               {"ProductVersion", "1.2.0.0"}};
    for (const auto& value : values) {
        const std::string key = std::string("\\StringFileInfo\\040904b0\\") + value[0];
        char* text = nullptr;
        if (!VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) ||
            std::strcmp(text, value[1]) != 0) {
            Fail("%s: %s is not \"%s\"", file.c_str(), value[0], value[1]);
        }
    }
}

void ScenarioFileProperties(const std::string& folder) {
    CheckVersionInfo(folder + "\\quorvane.exe", "Quorvane noughts and crosses", "quorvane");
    CheckVersionInfo(folder + "\\Synaptra.dll", "Quorvane neural network library", "Synaptra");
    // Wine draws every program at the screen's DPI, manifest or not: only the manifest itself
    // shows that Windows will not stretch the game.
    HMODULE program =
        LoadLibraryExA((folder + "\\quorvane.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const std::string manifest =
        program == nullptr || found == nullptr
            ? ""
            : std::string(static_cast<const char*>(LockResource(LoadResource(program, found))),
                          SizeofResource(program, found));
    for (const char* wanted :
         {"\"asInvoker\"", ">true</dpiAware>", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
        if (manifest.find(wanted) == std::string::npos) {
            Fail("the manifest of quorvane.exe lacks %s", wanted);
        }
    }
    if (manifest.find("Common-Controls") != std::string::npos) {
        Fail("the manifest asks for common controls 6");
    }
    FreeLibrary(program);
}

// After a lost game: the window's size; the O of square 0 (red) read inwards from each edge of
// its square (the stroke's width, and how far in its middle lies); the X of square 1 (light
// blue) read down a column, where a diagonal is thicker than its width by its length over the
// figure's width.
struct DpiLook {
    int width = 0;
    int height = 0;
    int stroke[4]{};
    int inset[4]{};
    int crossStroke = 0;
};

DpiLook LookAtLostGame(const std::string& folder) {
    DpiLook look;
    GameProcess game;
    HWND main = game.Start(folder) ? game.WaitForMainWindow() : nullptr;
    if (main == nullptr) {
        return look;
    }
    RECT box{};
    GetWindowRect(main, &box);
    look.width = box.right - box.left;
    look.height = box.bottom - box.top;
    for (int square : {1, 2, 4}) {
        ClickSquare(main, square);
        ClickControl(main, kPlayOId);
    }
    Settle(main);
    HWND nought = GetDlgItem(main, kFirstSquareId);
    GetClientRect(nought, &box);
    const int starts[4][4] = {{0, box.bottom / 2, 1, 0},
                              {box.right - 1, box.bottom / 2, -1, 0},
                              {box.right / 2, 0, 0, 1},
                              {box.right / 2, box.bottom - 1, 0, -1}};
    for (int side = 0; side < 4; ++side) {
        const int* at = starts[side];
        int margin = 0;
        look.stroke[side] = ColourRun(nought, at[0], at[1], at[2], at[3], kRed, &margin);
        look.inset[side] = margin + look.stroke[side] / 2;
    }
    const int run =
        ColourRun(GetDlgItem(main, kFirstSquareId + 1), box.right / 4, 0, 0, 1, kLightBlue);
    look.crossStroke = static_cast<int>(run * box.right / std::hypot(box.right, box.bottom) + 0.5);
    EndByEscape(game);
    return look;
}

// With the prefix's screen at 192 DPI (put back afterwards), the game is twice its size at 96
// DPI and draws its marks in their colours, twice as thick and twice as far in.
void ScenarioHighDpi(const std::string& folder) {
    const DpiLook normal = LookAtLostGame(folder);
    const DWORD dpi = 192;
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi,
                    sizeof dpi);
    const DpiLook high = LookAtLostGame(folder);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
    const double grown[] = {static_cast<double>(high.width) / normal.width,
                            static_cast<double>(high.height) / normal.height};
    if (grown[0] < 1.7 || grown[0] > 2.3 || grown[1] < 1.7 || grown[1] > 2.3) {
        Fail("at 192 DPI the window is %.2f x %.2f times its size at 96", grown[0], grown[1]);
    }
    for (int side = 0; side < 4; ++side) {
        if (high.stroke[side] < 5 || high.stroke[side] > 7 ||
            std::abs(high.inset[side] - 2 * normal.inset[side]) > 2) {
            Fail("at 192 DPI the O's stroke from edge %d is %d wide and %d in (at 96: %d in)", side,
                 high.stroke[side], high.inset[side], normal.inset[side]);
        }
    }
    // Read through a column, the diagonal's rounded edges add about a pixel (4 at 96 DPI).
    if (high.crossStroke < 5 || high.crossStroke > 8) {
        Fail("at 192 DPI the X's strokes are %d pixels wide, expected about 6", high.crossStroke);
    }
}

// Runs a command line to its end: its exit code, or -1.
int RunToEnd(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return -1;
    }
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(info.hProcess, &code);
    }
    TerminateProcess(info.hProcess, 99);  // nothing if it has ended
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return static_cast<int>(code);
}

int RunToEnd(const std::string& asciiCommandLine) {
    return RunToEnd(std::wstring(asciiCommandLine.begin(), asciiCommandLine.end()));
}

std::string Expanded(const char* text) {
    char path[MAX_PATH * 2] = "";
    ExpandEnvironmentStringsA(text, path, sizeof path);
    return path;
}

// A value of the game's uninstall entry as text, numbers in decimal; empty when missing.
std::string UninstallValue(const std::string& name) {
    char value[1024] = "";
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegGetValueA(
            HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane",
            name.c_str(), RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, value, &size) != ERROR_SUCCESS) {
        return "";
    }
    return type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(value)) : value;
}

// A file's bytes; empty when it is missing.
std::string FileBytes(const std::string& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        for (int c; (c = std::fgetc(file)) != EOF;) {
            bytes += static_cast<char>(c);
        }
        std::fclose(file);
    }
    return bytes;
}

// The installer run silently twice (the second run upgrades the first install), the installed
// game; while it runs, the silent installer and uninstaller fail and change nothing; once it is
// closed, both succeed, and the uninstall takes away everything the installer put there.
void ScenarioInstaller(const std::string& setup) {
    const std::string folder = Expanded("%LOCALAPPDATA%\\Programs\\Quorvane");
    const std::string uninstaller = "\"" + folder + "\\Uninstall.exe\"";
    const std::string shortcut =
        Expanded("%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs\\Quorvane.lnk");
    const std::vector<std::string> placed = {folder + "\\quorvane.exe",  folder + "\\Synaptra.dll",
                                             folder + "\\qrv.bpn",       folder + "\\LICENSE.txt",
                                             folder + "\\Uninstall.exe", shortcut};
    // The installer finds the mutex of a folder named outside the code page and with quotes,
    // held here instead of by the game, so that no file in use can be what stops it.
    const std::wstring wideFolder(folder.begin(), folder.end());  // the prefix's ASCII path
    const std::wstring elsewhere = wideFolder + L" \u0418\u0433\u0440\u0430 '\u6e38\u620f'";
    HANDLE held = CreateMutexW(nullptr, FALSE, FolderMutexName(elsewhere).c_str());
    const int heldCode =
        RunToEnd(L"\"" + std::wstring(setup.begin(), setup.end()) + L"\" /S /D=" + elsewhere);
    CloseHandle(held);
    if (heldCode == 0 || GetFileAttributesW(elsewhere.c_str()) != INVALID_FILE_ATTRIBUTES) {
        Fail("setup /S went on into a folder whose mutex was held (exit code %d)", heldCode);
        RunToEnd(L"\"" + elsewhere + L"\\Uninstall.exe\" /S _?=" + elsewhere);  // for the next run
        return;
    }
    if (RunToEnd("\"" + setup + "\" /S") != 0 || RunToEnd("\"" + setup + "\" /S") != 0) {
        Fail("the silent install failed");
        return;
    }
    DWORD bytes = 0;
    for (const std::string& path : placed) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
            Fail("%s is not installed", path.c_str());
        } else if (path != shortcut) {
            bytes += data.nFileSizeLow;
        }
    }
    char today[16] = "";
    GetDateFormatA(LOCALE_INVARIANT, 0, nullptr, "yyyyMMdd", today, sizeof today);
    const std::string values[][2] = {{"DisplayName", "Quorvane"},
                                     {"DisplayVersion", "1.2"},
                                     {"Publisher", "Quorvane developers"},
                                     {"DisplayIcon", folder + "\\quorvane.exe,0"},
                                     {"UninstallString", uninstaller + " _?=" + folder},
                                     {"QuietUninstallString", uninstaller + " /S _?=" + folder},
                                     {"URLInfoAbout", "https://quorvane.example.org"},
                                     {"InstallDate", today},
                                     {"EstimatedSize", std::to_string((bytes + 1023) / 1024)},
                                     {"NoModify", "1"},
                                     {"NoRepair", "1"}};
    for (const auto& value : values) {
        if (UninstallValue(value[0]) != value[1]) {
            Fail("uninstall entry %s is \"%s\", expected \"%s\"", value[0].c_str(),
                 UninstallValue(value[0]).c_str(), value[1].c_str());
        }
    }
    // The shortcut's description, stored in UTF-16.
    std::string description;
    for (const char c : std::string("Noughts and crosses against a neural network")) {
        description += std::string{c, '\0'};
    }
    if (FileBytes(shortcut).find(description) == std::string::npos) {
        Fail("the shortcut has no description of the package's words");
    }
    // Everything installed, to tell that a failed run changed nothing.
    const auto snapshot = [&] {
        std::string all;
        for (const std::string& path : placed) {
            all += FileBytes(path) + '\n';
        }
        for (const auto& value : values) {
            all += UninstallValue(value[0]) + '\n';
        }
        return all;
    };
    {
        GameProcess game;
        if (game.Start(folder) && game.WaitForMainWindow() != nullptr) {
            ExpectFolderMutex(wideFolder);
            const std::string before = snapshot();
            const int setupCode = RunToEnd("\"" + setup + "\" /S");
            const int uninstallCode = RunToEnd(UninstallValue("QuietUninstallString"));
            Note("with the game running: setup /S ended with %d, the uninstaller /S with %d",
                 setupCode, uninstallCode);
            if (setupCode != 2 || uninstallCode != 2) {
                Fail("with the game running, the silent installer or uninstaller did not fail");
            }
            if (snapshot() != before) {
                Fail("with the game running, the install was changed");
            }
            PlayOneNetworkMove(game);
        }
    }
    if (RunToEnd("\"" + setup + "\" /S") != 0) {
        Fail("the silent install failed once the game was closed");
    }
    if (RunToEnd(UninstallValue("QuietUninstallString")) != 0) {
        Fail("the silent uninstall failed");
    }
    // A copy of the uninstaller removes its file and the folder once the uninstaller has ended.
    for (int waited = 0; waited < 30000; waited += 200) {
        if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
            break;
        }
        Sleep(200);
    }
    for (const std::string& path : {shortcut, folder}) {  // the folder goes once empty
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            Fail("%s is still there after the uninstall", path.c_str());
        }
    }
    if (!UninstallValue("DisplayName").empty()) {
        Fail("the uninstall entry is still there after the uninstall");
    }
}

struct Scenario {
    const char* name;
    void (*run)(GameProcess&);
};

const Scenario kScenarios[] = {
    {"layout", ScenarioLayout},
    {"keyboard", ScenarioKeyboard},
    {"win", ScenarioWin},
    {"loss", ScenarioLoss},
    {"draw", ScenarioDraw},
    {"blocked", ScenarioBlocked},
    {"genetic-error", ScenarioGeneticError},
    {"new-games", ScenarioNewGames},
    {"about", ScenarioAbout},
    {"missing-library", ScenarioMissingLibrary},
    {"library-without-getnetmove", ScenarioLibraryWithoutGetNetMove},
    {"library-init-fails", ScenarioLibraryInitFails},
    {"no-game", ScenarioNoGame},
    {"real-library", ScenarioRealLibrary},
};

// Scenarios that start the game themselves, from what lies in the folder they are given.
struct FolderScenario {
    const char* name;
    void (*run)(const std::string& folder);
};

const FolderScenario kFolderScenarios[] = {
    {"any-folder-name", ScenarioAnyFolderName},
    {"file-properties", ScenarioFileProperties},
    {"high-dpi", ScenarioHighDpi},
    {"installer", ScenarioInstaller},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SCENARIO GAME-FOLDER [OUTPUT-FOLDER]\n", argv[0]);
        return 2;
    }
    if (argc > 3) {
        outputFolder = argv[3];
    }
    if (std::strcmp(argv[1], "show-states") == 0) {
        ScenarioShowStates(argv[2]);
        Note("show-states: %s", FailureCount() == 0 ? "passed" : "failed");
        return FailureCount() == 0 ? 0 : 1;
    }
    for (const FolderScenario& scenario : kFolderScenarios) {
        if (std::strcmp(scenario.name, argv[1]) == 0) {
            scenario.run(argv[2]);
            Note("%s: %s", scenario.name, FailureCount() == 0 ? "passed" : "failed");
            return FailureCount() == 0 ? 0 : 1;
        }
    }
    for (const Scenario& scenario : kScenarios) {
        if (std::strcmp(scenario.name, argv[1]) != 0) {
            continue;
        }
        GameProcess game;
        if (game.Start(argv[2])) {
            scenario.run(game);
        }
        if (FailureCount() == 0) {
            Note("%s: passed", scenario.name);
            return 0;
        }
        Note("%s: %d checks failed", scenario.name, FailureCount());
        return 1;
    }
    std::fprintf(stderr, "unknown scenario %s\n", argv[1]);
    return 2;
}
