// Registering the main window's class, creating the window and running the message loop.
#include "resources/resource_ids.h"
#include "ui/win32/main_window.h"

namespace qrv::win32 {

void RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS | CS_SAVEBITS | CS_BYTEALIGNWINDOW;
    // Windows of this class are dialogs: the dialog manager drives them.
    windowClass.lpfnWndProc = DefDlgProcA;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM_ICON));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = QRV_MAIN_WINDOW_CLASS;
    windowClass.hIconSm = nullptr;
    RegisterClassExA(&windowClass);  // a failure shows as a failed creation of the window
}

bool CreateMainWindow(HINSTANCE instance) {
    // The whole set-up of the program runs inside this call, in WM_INITDIALOG.
    Ui.MainWindow =
        CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN_WINDOW), nullptr, MainDialogProc, 0);
    if (Ui.MainWindow == nullptr) {
        return false;
    }
    ShowWindow(Ui.MainWindow, SW_SHOW);
    UpdateWindow(Ui.MainWindow);
    return true;
}

int RunMessageLoop() {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            break;  // the quit message
        }
        if (got == -1) {
            return 0;  // no message to read: the loop cannot go on
        }
        if (Ui.MainWindow != nullptr && IsDialogMessageA(Ui.MainWindow, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace qrv::win32
