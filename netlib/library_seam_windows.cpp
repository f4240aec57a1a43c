#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// The multimedia timer needs the types of windows.h first.
#include <mmsystem.h>

#include <cstring>

#include "netlib/library_seam.h"

namespace qrv::seam {

namespace {

// The longest path the system's wide-character functions take. Buffers this long live on the
// stack: the program has no C++ allocation or exceptions to pull in.
constexpr DWORD kMaxWidePath = 32768;

// Why OpenLibrary refused a path before the system's loader saw it; null when it did not.
const char* refusal = nullptr;

}  // namespace

const char kNetworkLibraryFileName[] = "Synaptra.dll";

LibraryHandle OpenLibrary(const char* fullPath) {
    refusal = nullptr;
    if (fullPath == nullptr || std::strpbrk(fullPath, "\\/") == nullptr) {
        return nullptr;
    }
    // The path is UTF-8 (see ProgramFolder): the wide form reaches any folder name.
    wchar_t widePath[kMaxWidePath];
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, fullPath, -1, widePath, kMaxWidePath) <=
        0) {
        return nullptr;  // not UTF-8, or longer than any path
    }
    // The loader would call a folder only "Access is denied".
    const DWORD attributes = GetFileAttributesW(widePath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        refusal = "not a regular file";
        return nullptr;
    }
    // Only the library's own folder and System32 are searched for what it imports; the current
    // folder and the PATH never are.
    HMODULE module = LoadLibraryExW(
        widePath, nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    return reinterpret_cast<LibraryHandle>(module);
}

void* FindEntryPoint(LibraryHandle library, const char* name) {
    refusal = nullptr;
    if (library == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

const char* LibraryErrorText() {
    if (refusal != nullptr) {
        return refusal;
    }
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
    // The ANSI forms would turn every character outside the code page into '?'.
    wchar_t name[kMaxWidePath];
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetModuleFileNameW(nullptr, name, kMaxWidePath);
    if (length == 0 || length >= kMaxWidePath || GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        return false;  // a full buffer means a cut path
    }
    DWORD folderLength = 0;
    for (DWORD i = 0; i < length; ++i) {
        if (name[i] == L'\\' || name[i] == L'/') {
            folderLength = i + 1;
        }
    }
    if (folderLength == 0) {
        return false;
    }
    const int bytes =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, name, static_cast<int>(folderLength),
                            nullptr, 0, nullptr, nullptr);
    if (bytes <= 0 || static_cast<std::size_t>(bytes) >= size) {
        return false;  // too long for the buffer: fail rather than cut it
    }
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, name, static_cast<int>(folderLength),
                            buffer, bytes, nullptr, nullptr) != bytes) {
        return false;
    }
    buffer[bytes] = '\0';
    return true;
}

std::uint32_t MillisecondClock() {
    return static_cast<std::uint32_t>(timeGetTime());
}

}  // namespace qrv::seam
