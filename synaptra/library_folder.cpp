#include "synaptra/library_folder.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if !defined(__EMSCRIPTEN__)
#include <dlfcn.h>
#endif
#endif

namespace synaptra {

#if !defined(__EMSCRIPTEN__)
namespace {

// Any address inside the library names the module that holds it.
void AnchorInThisLibrary() {}

#if defined(_WIN32)

// The longest path the system's wide-character functions take.
constexpr DWORD kMaxWidePath = 32768;

// The library's full file name in wide characters, read whole however long it is; false when
// it cannot be, never a cut path.
bool LibraryFileName(std::wstring& name) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&AnchorInThisLibrary), &module)) {
        return false;
    }
    for (DWORD size = MAX_PATH;; size *= 2) {
        name.resize(size);
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetModuleFileNameW(module, name.data(), size);
        if (length == 0) {
            return false;
        }
        if (length < size && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            name.resize(length);
            return true;
        }
        if (size >= kMaxWidePath) {
            return false;
        }
    }
}

// Appends 8-bit text of the ANSI code page in wide characters.
bool AppendAnsi(const char* text, std::wstring& wide) {
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    const std::size_t start = wide.size();
    wide.resize(start + static_cast<std::size_t>(length));
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, wide.data() + start, length) !=
        length) {
        return false;
    }
    wide.resize(wide.size() - 1);  // the terminating zero
    return true;
}

#endif

}  // namespace
#endif

namespace {

#if defined(_WIN32)

std::FILE* OpenRegularFile(const std::wstring& path, const char*& reason) {
    // A folder would only fail to open as "Permission denied".
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        reason = kNotRegularFile;
        return nullptr;
    }
    std::FILE* file = _wfopen(path.c_str(), L"rb");
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

#else

std::FILE* OpenRegularFile(const char* path, const char*& reason) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer that never comes.
    const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        reason = std::strerror(errno);
        return nullptr;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        reason = kNotRegularFile;
        return nullptr;
    }
    std::FILE* file = fdopen(descriptor, "rb");
    if (file == nullptr) {
        reason = std::strerror(errno);
        close(descriptor);
    }
    return file;
}

#endif

}  // namespace

bool IsAbsolutePath(const char* name) {
    if (name == nullptr || name[0] == '\0') {
        return false;
    }
#if defined(_WIN32)
    // "\dir", "/dir", "\\server\share" and "C:\dir"; "C:name" is relative to a drive's current
    // folder, which a library cannot rely on, so it counts as relative.
    if (name[0] == '\\' || name[0] == '/') {
        return true;
    }
    return name[1] == ':' && (name[2] == '\\' || name[2] == '/');
#else
    return name[0] == '/';
#endif
}

std::FILE* OpenBesideLibrary(const char* name, const char*& reason) {
    if (name == nullptr || name[0] == '\0') {
        reason = "no file name";
        return nullptr;
    }
    // Where the library cannot tell its own folder.
    reason = "the library's folder cannot be found";
#if defined(__EMSCRIPTEN__)
    // Linked into the web module, whose file system holds the weights at its root.
    std::string path = IsAbsolutePath(name) ? "" : "/";
    path += name;
    return OpenRegularFile(path.c_str(), reason);
#elif defined(_WIN32)
    // The wide forms: the ANSI ones would turn every character of the folder outside the code
    // page into '?'.
    std::wstring path;
    if (!IsAbsolutePath(name)) {
        if (!LibraryFileName(path)) {
            return nullptr;
        }
        const std::size_t separator = path.find_last_of(L"\\/");
        if (separator == std::wstring::npos) {
            return nullptr;
        }
        path.resize(separator + 1);
    }
    if (!AppendAnsi(name, path)) {
        reason = "the file name is not text of the code page";
        return nullptr;
    }
    return OpenRegularFile(path, reason);
#else
    if (IsAbsolutePath(name)) {
        return OpenRegularFile(name, reason);
    }
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&AnchorInThisLibrary), &info) == 0 ||
        info.dli_fname == nullptr) {
        return nullptr;
    }
    const char* separator = std::strrchr(info.dli_fname, '/');
    if (separator == nullptr) {
        return nullptr;
    }
    // A bounded, checked copy: a path that does not fit is refused, never cut.
    char path[PATH_MAX];
    const int folderLength = static_cast<int>(separator - info.dli_fname) + 1;
    const int length =
        std::snprintf(path, sizeof path, "%.*s%s", folderLength, info.dli_fname, name);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof path) {
        reason = std::strerror(ENAMETOOLONG);
        return nullptr;
    }
    return OpenRegularFile(path, reason);
#endif
}

}  // namespace synaptra
