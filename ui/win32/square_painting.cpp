// The squares: each button draws its cross or nought in the pen of its square.
#include "resources/resource_ids.h"
#include "ui/win32/main_window.h"

namespace qrv::win32 {

namespace {

void PaintSquare(HWND button, int square) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(button, &paint);
    HPEN pen = Game.Highlighted[square] ? Ui.HighlightPen : Ui.NormalPen;
    HGDIOBJ keptPen = SelectObject(dc, pen);
    HGDIOBJ keptBrush = SelectObject(dc, GetSysColorBrush(COLOR_BTNFACE));
    RECT box;
    GetClientRect(button, &box);
    // The figure fills the whole square, whatever part is repainted; it sits one pixel off
    // centre towards the top left (at 96 DPI; the insets grow with the DPI).
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    const int nearInset = ScaleToDpi(4, dpi);
    const int farInset = ScaleToDpi(6, dpi);
    const int left = box.left + nearInset;
    const int top = box.top + nearInset;
    const int right = box.right - farInset;
    const int bottom = box.bottom - farInset;
    switch (Game.Board[square]) {
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
    EndPaint(button, &paint);
}

}  // namespace

LRESULT CALLBACK SquareButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    const int square = GetDlgCtrlID(button) - IDC_FIRST_SQUARE;
    if (!IsSquare(square) || Ui.SavedSquareProcs[square] == nullptr) {
        return DefWindowProcA(button, message, wParam, lParam);  // never hooked: cannot happen
    }
    if (message != WM_PAINT) {
        return CallWindowProcA(Ui.SavedSquareProcs[square], button, message, wParam, lParam);
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

}  // namespace qrv::win32
