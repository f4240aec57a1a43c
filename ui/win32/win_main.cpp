// The Windows entry point: the program takes no arguments and always ends with exit code 0.
#include <cstdint>

#include "ui/win32/main_window.h"

namespace {

// While the game runs it holds a mutex named after its folder, so that the installer and the
// uninstaller can tell that its files are in use. The name is "Local\Quorvane-" and eight hex
// digits: the 32-bit FNV-1a hash of the folder's full path without the last backslash, in upper
// case, taken over its UTF-16 units. The installer computes the same name; change both or
// neither. Nothing here is shown, and a failure only means the installer cannot warn.
void HoldFolderMutex() {
    constexpr DWORD kMaxWidePath = 32768;
    // The wide form: the ANSI one turns every character outside the code page into '?'.
    static wchar_t path[kMaxWidePath];
    const DWORD length = GetModuleFileNameW(nullptr, path, kMaxWidePath);
    if (length == 0 || length >= kMaxWidePath) {
        return;
    }
    DWORD folderLength = 0;
    for (DWORD i = 0; i < length; ++i) {
        if (path[i] == L'\\') {
            folderLength = i;
        }
    }
    CharUpperBuffW(path, folderLength);
    std::uint32_t hash = 2166136261u;
    for (DWORD i = 0; i < folderLength; ++i) {
        hash = (hash ^ path[i]) * 16777619u;
    }
    wchar_t name[] = L"Local\\Quorvane-00000000";
    constexpr int kFirstDigit = sizeof name / sizeof name[0] - 9;
    for (int digit = 0; digit < 8; ++digit) {
        name[kFirstDigit + digit] = L"0123456789ABCDEF"[(hash >> (28 - 4 * digit)) & 0xF];
    }
    // Never closed: the system releases it when the process ends, however it ends.
    CreateMutexW(nullptr, FALSE, name);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showState*/) {
    using namespace qrv::win32;
    Ui.Instance = instance;
    HoldFolderMutex();
    RegisterMainWindowClass(instance);
    if (!CreateMainWindow(instance)) {
        return 0;
    }
    return RunMessageLoop();
}
