// The About box: the program icon, name, version, maker and web address, and "OK".
#include "ui/win32/main_window.h"

namespace qrv::win32 {

INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;  // the focus goes to "OK"
        case WM_COMMAND: {
            const int command = LOWORD(wParam);
            if (command == IDOK || command == IDCANCEL) {
                EndDialog(window, command);
                return TRUE;
            }
            return FALSE;
        }
        default:
            return FALSE;
    }
}

}  // namespace qrv::win32
