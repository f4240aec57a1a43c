#include "synaptra/library_folder.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

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

#endif

}  // namespace
#endif

namespace {

#if defined(_WIN32)

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
    char path[PATH_MAX];
    const int length =
        std::snprintf(path, sizeof path, "%s%s", IsAbsolutePath(name) ? "" : "/", name);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof path) {
        reason = std::strerror(ENAMETOOLONG);
        return nullptr;
    }
    return OpenRegularFile(path, reason);
#elif defined(_WIN32)
    // The wide forms: the ANSI ones would turn every character of the folder outside the code
    // page into '?'. The path is on the heap: the longest one takes 64 KiB.
    auto* path = static_cast<wchar_t*>(std::malloc(kMaxWidePath * sizeof(wchar_t)));
    if (path == nullptr) {
        reason = std::strerror(ENOMEM);
        return nullptr;
    }
    std::size_t folder = 0;
    const bool found = IsAbsolutePath(name) || (folder = LibraryFolder(path)) != 0;
    std::FILE* file =
        found && AppendAnsi(name, path, folder, reason) ? OpenRegularFile(path, reason) : nullptr;
    std::free(path);
    return file;
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
