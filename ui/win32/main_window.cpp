// The main window: set-up, background painting, commands and shutdown.
#include "ui/win32/main_window.h"

#include "resources/resource_ids.h"

namespace qrv::win32 {

UiState Ui;
Session GameSession;

namespace {

// The game's requests are carried out the moment they are made, so that every repaint and
// status change comes in the game's own order; the update then names the changed squares.
class MainWindowView final : public SessionView {
public:
    void Attach(HWND window) { window_ = window; }
    void RepaintSquareNow(int square) override { win32::RepaintSquare(window_, square); }
    void SetStatusTextNow(const char* text) override { win32::SetStatusText(window_, text); }
    void ShowUpdate(const SessionUpdate& update) override { NameSquares(window_, update); }

private:
    HWND window_ = nullptr;
};

MainWindowView View;

// LoadStringA on the program's own string table.
int LoadProgramString(unsigned id, char* buffer, int size) {
    return LoadStringA(Ui.Instance, id, buffer, size);
}

void ReportLibraryFailure(const LoadFailure&) {
    // No owner: the main window is still being created and is not visible yet.
    MessageBoxA(nullptr, kLibraryFailureText, kLibraryFailureCaption, MB_OK | MB_ICONERROR);
}

BOOL SetUp(HWND window) {
    View.Attach(window);
    SessionSetup setup;
    setup.PatternStrings = LoadProgramString;
    if (const LoadFailure* failure = GameSession.Start(View, setup)) {
        ReportLibraryFailure(*failure);
    }
    if (!GameSession.HasGame()) {
        // Damaged resources: the window opens without a game and can only be closed.
        return FALSE;
    }
    // Three pixels wide at 96 DPI, wider on a denser screen.
    Ui.Dpi = WindowDpi(window);
    const int penWidth = ScaleToDpi(3, Ui.Dpi);
    Ui.HighlightPen = CreatePen(PS_SOLID, penWidth, RGB(255, 0, 0));
    Ui.NormalPen = CreatePen(PS_SOLID, penWidth, RGB(127, 127, 255));
    Ui.ProgramIcon = LoadIconA(Ui.Instance, MAKEINTRESOURCEA(IDI_PROGRAM_ICON));
    for (int square = 0; square < kSquareCount; ++square) {
        HWND button = GetDlgItem(window, IDC_FIRST_SQUARE + square);
        if (button == nullptr) {
            continue;
        }
        Ui.SavedSquareProcs[square] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SquareButtonProc)));
    }
    return TRUE;  // the focus goes to the first tab stop, "Exit"
}

// Releases what the set-up acquired, once; a window without a game holds nothing but still
// has to quit.
void ShutDown(HWND window) {
    if (Ui.ShutDown) {
        return;
    }
    Ui.ShutDown = true;
    GameSession.ShutDown();
    if (Ui.HighlightPen != nullptr) {
        DeleteObject(Ui.HighlightPen);
        Ui.HighlightPen = nullptr;
    }
    if (Ui.NormalPen != nullptr) {
        DeleteObject(Ui.NormalPen);
        Ui.NormalPen = nullptr;
    }
    for (int square = 0; square < kSquareCount; ++square) {
        if (Ui.SavedSquareProcs[square] == nullptr) {
            continue;
        }
        SetWindowLongPtrA(GetDlgItem(window, IDC_FIRST_SQUARE + square), GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(Ui.SavedSquareProcs[square]));
        Ui.SavedSquareProcs[square] = nullptr;
    }
    PostQuitMessage(0);
}

void PaintBackground(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (IsIconic(window)) {
        if (Ui.ProgramIcon != nullptr) {
            DrawIcon(dc, 0, 0, Ui.ProgramIcon);
        }
    } else {
        FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
    }
    EndPaint(window, &paint);
}

void ChooseOpponent(HWND window, int kind) {
    GameSession.ChooseOpponent(kind);
    // The new game starts once this menu command has been handled.
    PostMessageA(window, WM_COMMAND, IDC_RESET_BUTTON, 0);
}

void HandleCommand(HWND window, int command) {
    switch (command) {
        case IDCANCEL:
            ShutDown(window);
            return;
        case IDC_EXIT_BUTTON:
        case IDM_EXIT:
            PostMessageA(window, WM_CLOSE, 0, 0);
            return;
        case IDM_ABOUT:
            DialogBoxParamA(Ui.Instance, MAKEINTRESOURCEA(IDD_ABOUT_BOX), window, AboutDialogProc,
                            0);
            return;
        default:
            break;
    }
    switch (command) {
        case IDC_PLAY_O_BUTTON:
            GameSession.PlayO();
            return;
        case IDC_RESET_BUTTON:
            GameSession.Reset();
            return;
        case IDM_RULE_OPPONENT:
            ChooseOpponent(window, kRuleOpponent);
            return;
        case IDM_NETWORK_OPPONENT:
            ChooseOpponent(window, kNetworkOpponent);
            return;
        case IDM_GENETIC_OPPONENT:
            ChooseOpponent(window, kGeneticOpponent);
            return;
        default:
            break;
    }
    if (command >= IDC_FIRST_SQUARE && command <= IDC_LAST_SQUARE) {
        GameSession.ClickSquare(command - IDC_FIRST_SQUARE);
    }
}

}  // namespace

void SetStatusText(HWND window, const char* text) {
    SetWindowTextA(GetDlgItem(window, IDC_STATUS_FIELD), text);
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG:
            return SetUp(window);
        case WM_PAINT:
            PaintBackground(window);
            return TRUE;
        case WM_DRAWITEM:
            return TRUE;  // the squares paint themselves in SquareButtonProc
        case WM_COMMAND:
            HandleCommand(window, LOWORD(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace qrv::win32
