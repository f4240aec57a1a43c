// The smallest dialog programs: yardsticks for the game's start-up time under Wine. Built
// twice: with a one-button template of its own, and with the game's own main window template
// (its class, menu and 23 controls) and none of the game behind it.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#if defined(QRV_BARE_GAME_TEMPLATE)
#include "resources/resource_ids.h"
#endif

namespace {

INT_PTR CALLBACK BareDialogProc(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#if defined(QRV_BARE_GAME_TEMPLATE)
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefDlgProcA;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = QRV_MAIN_WINDOW_CLASS;
    RegisterClassExA(&windowClass);
    const int templateId = IDD_MAIN_WINDOW;
#else
    const int templateId = 1;
#endif
    HWND window =
        CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), nullptr, BareDialogProc, 0);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return 0;
}
