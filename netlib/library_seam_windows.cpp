#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// The multimedia timer needs the types of windows.h first.
#include <mmsystem.h>

#include <cstring>

#include "netlib/library_seam.h"

namespace qrv::seam {

const char kNetworkLibraryFileName[] = "Synaptra.dll";

LibraryHandle OpenLibrary(const char* fullPath) {
    if (fullPath == nullptr || std::strpbrk(fullPath, "\\/") == nullptr) {
        return nullptr;
    }
    // Only the library's own folder and System32 are searched for what it imports; the current
    // folder and the PATH never are.
    HMODULE module = LoadLibraryExA(
        fullPath, nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    return reinterpret_cast<LibraryHandle>(module);
}

void* FindEntryPoint(LibraryHandle library, const char* name) {
    if (library == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

const char* LibraryErrorText() {
    static char text[256];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, GetLastError(), 0, text, sizeof text, nullptr);
    return length != 0 ? text : "unknown error";
}

void CloseLibrary(LibraryHandle library) {
    if (library != nullptr) {
        FreeLibrary(static_cast<HMODULE>(library));
    }
}

bool ProgramFolder(char* buffer, std::size_t size) {
    if (buffer == nullptr || size < 2) {
        return false;
    }
    const DWORD length = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(size));
    if (length == 0 || length >= size) {
        return false;  // a full buffer means a cut path
    }
    char* lastSeparator = nullptr;
    for (char* p = buffer; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/') {
            lastSeparator = p;
        }
    }
    if (lastSeparator == nullptr) {
        return false;
    }
    lastSeparator[1] = '\0';
    return true;
}

std::uint32_t MillisecondClock() {
    return static_cast<std::uint32_t>(timeGetTime());
}

}  // namespace qrv::seam
