// Where the library lives on Windows. The wide forms throughout: the ANSI ones would turn every
// character of the folder outside the code page into '?'.
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "synaptra/library_folder.h"

namespace synaptra {

namespace {

// Any address inside the library names the module that holds it.
void AnchorInThisLibrary() {}

// The longest path the system's wide-character functions take, its terminating zero included.
constexpr DWORD kMaxWidePath = 32768;

// Writes the library's full file name into path (kMaxWidePath characters) and returns the length
// of its folder with the last separator; 0 when the name cannot be read whole: never a cut path.
std::size_t LibraryFolder(wchar_t* path) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&AnchorInThisLibrary), &module)) {
        return 0;
    }
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetModuleFileNameW(module, path, kMaxWidePath);
    if (length == 0 || length >= kMaxWidePath || GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        return 0;
    }
    std::size_t folder = length;
    while (folder > 0 && path[folder - 1] != L'\\' && path[folder - 1] != L'/') {
        --folder;
    }
    return folder;
}

// Writes 8-bit text of the ANSI code page in wide characters at path[start], with its
// terminating zero; false, with the reason, when it is no text of the code page or does not fit.
bool AppendAnsi(const char* text, wchar_t* path, std::size_t start, const char*& reason) {
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, path + start,
                            static_cast<int>(kMaxWidePath - start)) > 0) {
        return true;
    }
    reason = GetLastError() == ERROR_INSUFFICIENT_BUFFER
                 ? std::strerror(ENAMETOOLONG)
                 : "the file name is not text of the code page";
    return false;
}

std::FILE* OpenRegularFile(const wchar_t* path, const char*& reason) {
    // A folder would only fail to open as "Permission denied".
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        reason = kNotRegularFile;
        return nullptr;
    }
    std::FILE* file = _wfopen(path, L"rb");
    if (file == nullptr) {
        reason = std::strerror(errno);
        return nullptr;
    }
    // CON, NUL or a pipe open like files, and reading the console waits for a key.
    if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != FILE_TYPE_DISK) {
        std::fclose(file);
        reason = kNotRegularFile;
        return nullptr;
    }
    return file;
}

}  // namespace

bool IsAbsolutePath(const char* name) {
    if (name == nullptr || name[0] == '\0') {
        return false;
    }
    // "\dir", "/dir", "\\server\share" and "C:\dir"; "C:name" is relative to a drive's current
    // folder, which a library cannot rely on, so it counts as relative.
    if (name[0] == '\\' || name[0] == '/') {
        return true;
    }
    return name[1] == ':' && (name[2] == '\\' || name[2] == '/');
}

std::FILE* OpenBesideLibrary(const char* name, const char*& reason) {
    if (name == nullptr || name[0] == '\0') {
        reason = "no file name";
        return nullptr;
    }
    // The path is on the heap: the longest one takes 64 KiB.
    auto* path = static_cast<wchar_t*>(std::malloc(kMaxWidePath * sizeof(wchar_t)));
    if (path == nullptr) {
        reason = std::strerror(ENOMEM);
        return nullptr;
    }
    std::size_t folder = 0;
    const bool found = IsAbsolutePath(name) || (folder = LibraryFolder(path)) != 0;
    if (!found) {
        reason = "the library's folder cannot be found";
    }
    std::FILE* file =
        found && AppendAnsi(name, path, folder, reason) ? OpenRegularFile(path, reason) : nullptr;
    std::free(path);
    return file;
}

}  // namespace synaptra
