// The main window: set-up, background painting, commands and shutdown.
#include "ui/win32/main_window.h"

#include <oleacc.h>

#include <cstring>

#include "resources/resource_ids.h"

namespace qrv::win32 {

UiState Ui;
Session GameSession;

namespace {

// The game's requests are carried out the moment they are made, so that every repaint and
// status change comes in the game's own order; the update then names the changed squares and
// tells screen readers what changed.
class MainWindowView final : public SessionView {
public:
    void Attach(HWND window) { window_ = window; }
    void RepaintSquareNow(int square) override { win32::RepaintSquare(window_, square); }
    void SetStatusTextNow(const char* text) override {
        char shown[128] = "";
        GetDlgItemTextA(window_, IDC_STATUS_FIELD, shown, sizeof shown);
        statusChanged_ = statusChanged_ || std::strcmp(shown, text) != 0;
        win32::SetStatusText(window_, text);
    }
    void ShowUpdate(const SessionUpdate& update) override;

private:
    HWND window_ = nullptr;
    bool statusChanged_ = false;
};

void MainWindowView::ShowUpdate(const SessionUpdate& update) {
    NameSquares(window_, update);
    // Every square in the update has a new name. The events go out once the window is on
    // screen; a system that does not know an event ignores it.
    if (IsWindowVisible(window_)) {
        for (int k = 0; k < update.SquareCount; ++k) {
            HWND button = GetDlgItem(window_, IDC_FIRST_SQUARE + update.Squares[k].Square);
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, button, OBJID_CLIENT, CHILDID_SELF);
        }
        if (statusChanged_) {
            NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, GetDlgItem(window_, IDC_STATUS_FIELD),
                           OBJID_CLIENT, CHILDID_SELF);
        }
    }
    statusChanged_ = false;
}

MainWindowView View;

// LoadStringA on the program's own string table.
int LoadProgramString(unsigned id, char* buffer, int size) {
    return LoadStringA(Ui.Instance, id, buffer, size);
}

// Marks the status field as a polite live region, as Windows 10 and 11 screen readers expect of
// a line whose changes they should read out. The services come with COM, which is loaded only
// here: where it or they are missing, the field stays a plain edit field.
void MakeLiveRegion(HWND field) {
    constexpr GUID kAccPropServicesClass = {
        0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
    constexpr GUID kAccPropServicesInterface = {
        0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
    // UI Automation's LiveSetting property, and its value Polite.
    constexpr GUID kLiveSettingProperty = {
        0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
    constexpr LONG kPolite = 1;

    HMODULE ole32 = LoadLibraryExA("ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (ole32 == nullptr) {
        return;
    }
    const auto initialize = reinterpret_cast<decltype(&CoInitializeEx)>(
        reinterpret_cast<void*>(GetProcAddress(ole32, "CoInitializeEx")));
    const auto create = reinterpret_cast<decltype(&CoCreateInstance)>(
        reinterpret_cast<void*>(GetProcAddress(ole32, "CoCreateInstance")));
    // COM stays initialised on this thread, and ole32 loaded, for the annotation's lifetime.
    if (initialize == nullptr || create == nullptr ||
        FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED))) {
        return;
    }
    IAccPropServices* services = nullptr;
    if (FAILED(create(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                      kAccPropServicesInterface, reinterpret_cast<void**>(&services))) ||
        services == nullptr) {
        return;
    }
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    services->SetHwndProp(field, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                          kLiveSettingProperty, polite);
    services->Release();
}

void ReportLibraryFailure(const LoadFailure&) {
    // No owner: the main window is still being created and is not visible yet.
    MessageBoxA(nullptr, kLibraryFailureText, kLibraryFailureCaption, MB_OK | MB_ICONERROR);
}

BOOL SetUp(HWND window) {
    View.Attach(window);
    GameSession.Start(View, {LoadProgramString, StartNetworkLibrary, ReportLibraryFailure});
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
    MakeLiveRegion(GetDlgItem(window, IDC_STATUS_FIELD));
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
    if (!GameSession.ShutDown()) {
        return;
    }
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
        case IDC_PLAY_O_BUTTON:
            GameSession.PlayO();
            return;
        case IDC_RESET_BUTTON:
            GameSession.Reset();
            return;
        default:
            break;
    }
    if (OpponentChoiceIndex(command - IDM_OPPONENT_BASE) >= 0) {
        GameSession.ChooseOpponent(command - IDM_OPPONENT_BASE);
        // The new game starts once this menu command has been handled.
        PostMessageA(window, WM_COMMAND, IDC_RESET_BUTTON, 0);
    } else if (command >= IDC_FIRST_SQUARE && command <= IDC_LAST_SQUARE) {
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
