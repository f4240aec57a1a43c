#include "synaptra/library_folder.h"

#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#elif !defined(__EMSCRIPTEN__)
#include <dlfcn.h>
#endif

namespace synaptra {

#if !defined(__EMSCRIPTEN__)
namespace {

// Any address inside the library names the module that holds it.
void AnchorInThisLibrary() {}

bool CopyFolderOf(const char* path, char* buffer, std::size_t size) {
    const char* lastSeparator = std::strrchr(path, '/');
#if defined(_WIN32)
    const char* lastBackslash = std::strrchr(path, '\\');
    if (lastBackslash != nullptr && (lastSeparator == nullptr || lastBackslash > lastSeparator)) {
        lastSeparator = lastBackslash;
    }
#endif
    if (lastSeparator == nullptr) {
        return false;
    }
    const std::size_t length = static_cast<std::size_t>(lastSeparator - path) + 1;
    if (length + 1 > size) {
        return false;
    }
    std::memcpy(buffer, path, length);
    buffer[length] = '\0';
    return true;
}

}  // namespace
#endif

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

bool LibraryFolder(char* buffer, std::size_t size) {
    if (buffer == nullptr || size < 2) {
        return false;
    }
#if defined(__EMSCRIPTEN__)
    // Linked into the web module, whose file system holds the weights at its root.
    buffer[0] = '/';
    buffer[1] = '\0';
    return true;
#elif defined(_WIN32)
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCSTR>(&AnchorInThisLibrary), &module)) {
        return false;
    }
    char path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return false;  // a full buffer means a cut path
    }
    return CopyFolderOf(path, buffer, size);
#else
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&AnchorInThisLibrary), &info) == 0 ||
        info.dli_fname == nullptr) {
        return false;
    }
    return CopyFolderOf(info.dli_fname, buffer, size);
#endif
}

}  // namespace synaptra
