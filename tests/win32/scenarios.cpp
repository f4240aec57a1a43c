// End-to-end scenarios of the Windows program, run under Wine beside the game. The fake network
// library beside the game answers the first empty square of the position it is asked about, so
// the network opponents' games are known in advance.
//
// Usage: qrv_win32_driver SCENARIO GAME-FOLDER [OUTPUT-FOLDER]
// The scenarios of the game as Windows users get it are in installation_scenarios.cpp.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "scenarios.h"

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

}  // namespace

void driver::PlaySteps(HWND main, const Step* steps, int count) {
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

namespace {

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

}  // namespace

void driver::EndByEscape(GameProcess& game) {
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

namespace {

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
