// The squares: each button draws its cross or nought in the pen of its square, and the focus
// rectangle once the keyboard is in use; its window text is its name for assistive technology.
#include "game/square_name.h"
#include "resources/resource_ids.h"
#include "resources/window_layout.h"
#include "ui/win32/main_window.h"

namespace qrv::win32 {

namespace {

void PaintSquare(HWND button, int square) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(button, &paint);
    HPEN pen = GameSession.Highlighted(square) ? Ui.HighlightPen : Ui.NormalPen;
    HGDIOBJ keptPen = SelectObject(dc, pen);
    HGDIOBJ keptBrush = SelectObject(dc, GetSysColorBrush(COLOR_BTNFACE));
    RECT box;
    GetClientRect(button, &box);
    // The figure fills the whole square, whatever part is repainted; it sits one pixel off
    // centre towards the top left (at 96 DPI; the insets grow with the DPI).
    const int nearInset = ScaleToDpi(QRV_MARK_NEAR_INSET, Ui.Dpi);
    const int farInset = ScaleToDpi(QRV_MARK_FAR_INSET, Ui.Dpi);
    const int left = box.left + nearInset;
    const int top = box.top + nearInset;
    const int right = box.right - farInset;
    const int bottom = box.bottom - farInset;
    switch (GameSession.Mark(square)) {
        case kPersonMark:
            MoveToEx(dc, left, top, nullptr);
            LineTo(dc, right, bottom);
            MoveToEx(dc, left, bottom, nullptr);
            LineTo(dc, right, top);
            break;
        case kComputerMark:
            Ellipse(dc, left, top, right, bottom);
            break;
        default:
            break;
    }
    SelectObject(dc, keptBrush);
    SelectObject(dc, keptPen);
    // Inside the square's edges, clear of the mark; hidden, as on every button, until the
    // keyboard is used in the window.
    if (GetFocus() == button &&
        (SendMessageA(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0) {
        RECT focus = box;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(dc, &focus);
    }
    EndPaint(button, &paint);
}

}  // namespace

LRESULT CALLBACK SquareButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    const int square = GetDlgCtrlID(button) - IDC_FIRST_SQUARE;
    if (!IsSquare(square) || Ui.SavedSquareProcs[square] == nullptr) {
        return DefWindowProcA(button, message, wParam, lParam);  // never hooked: cannot happen
    }
    if (message != WM_PAINT) {
        const LRESULT result =
            CallWindowProcA(Ui.SavedSquareProcs[square], button, message, wParam, lParam);
        // The focus rectangle comes and goes with the focus and the keyboard cues.
        if (message == WM_SETFOCUS || message == WM_KILLFOCUS ||
            (message == WM_UPDATEUISTATE && GetFocus() == button)) {
            InvalidateRect(button, nullptr, TRUE);
        }
        return result;
    }
    PaintSquare(button, square);
    return 1;
}

int WindowDpi(HWND window) {
    HDC dc = GetDC(window);
    if (dc == nullptr) {
        return USER_DEFAULT_SCREEN_DPI;
    }
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi;
}

int ScaleToDpi(int pixels, int dpi) {
    const int scaled = MulDiv(pixels, dpi, USER_DEFAULT_SCREEN_DPI);
    return scaled > pixels ? scaled : pixels;
}

void RepaintSquare(HWND window, int square) {
    HWND button = GetDlgItem(window, IDC_FIRST_SQUARE + square);
    if (button == nullptr) {
        return;
    }
    InvalidateRect(button, nullptr, TRUE);
    UpdateWindow(button);  // erase and paint now, before the game goes on
}

void NameSquares(HWND window, const SessionUpdate& update) {
    for (int k = 0; k < update.SquareCount; ++k) {
        const SquareChange& change = update.Squares[k];
        // The window text is the button's name for assistive technology. The button draws no
        // text, but clears where its old one would stand: the square is repainted.
        SetWindowTextA(GetDlgItem(window, IDC_FIRST_SQUARE + change.Square), change.Name.data());
        RepaintSquare(window, change.Square);
    }
}

}  // namespace qrv::win32
