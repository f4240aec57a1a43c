// The Windows entry point: the program takes no arguments and always ends with exit code 0.
#include "ui/win32/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showState*/) {
    using namespace qrv::win32;
    Ui.Instance = instance;
    RegisterMainWindowClass(instance);
    if (!CreateMainWindow(instance)) {
        return 0;
    }
    return RunMessageLoop();
}
