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
    // centre towards the top left.
    const int left = box.left + 4;
    const int top = box.top + 4;
    const int right = box.right - 6;
    const int bottom = box.bottom - 6;
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

void RepaintSquare(HWND window, int square) {
    HWND button = GetDlgItem(window, IDC_FIRST_SQUARE + square);
    if (button == nullptr) {
        return;
    }
    InvalidateRect(button, nullptr, TRUE);
    UpdateWindow(button);  // erase and paint now, before the game goes on
}

}  // namespace qrv::win32
