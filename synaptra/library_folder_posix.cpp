// Where the library lives on Linux, and in the web module, which links it in and whose file
// system holds the weights at its root.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "synaptra/library_folder.h"

#if !defined(__EMSCRIPTEN__)
#include <dlfcn.h>
#endif

namespace synaptra {

namespace {

#if !defined(__EMSCRIPTEN__)
// Any address inside the library names the file that holds it.
void AnchorInThisLibrary() {}
#endif

// The folder that relative names are looked up in, up to and with its last '/', whose length
// goes to `length`; null when the library cannot tell its own folder.
const char* LibraryFolder(int& length) {
#if defined(__EMSCRIPTEN__)
    length = 1;
    return "/";
#else
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&AnchorInThisLibrary), &info) == 0 ||
        info.dli_fname == nullptr) {
        return nullptr;
    }
    const char* separator = std::strrchr(info.dli_fname, '/');
    if (separator == nullptr) {
        return nullptr;
    }
    length = static_cast<int>(separator - info.dli_fname) + 1;
    return info.dli_fname;
#endif
}

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

}  // namespace

bool IsAbsolutePath(const char* name) {
    return name != nullptr && name[0] == '/';
}

std::FILE* OpenBesideLibrary(const char* name, const char*& reason) {
    if (name == nullptr || name[0] == '\0') {
        reason = "no file name";
        return nullptr;
    }
    if (IsAbsolutePath(name)) {
        return OpenRegularFile(name, reason);
    }
    int folderLength = 0;
    const char* folder = LibraryFolder(folderLength);
    if (folder == nullptr) {
        reason = "the library's folder cannot be found";
        return nullptr;
    }
    // A bounded, checked copy: a path that does not fit is refused, never cut.
    char path[PATH_MAX];
    const int length = std::snprintf(path, sizeof path, "%.*s%s", folderLength, folder, name);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof path) {
        reason = std::strerror(ENAMETOOLONG);
        return nullptr;
    }
    return OpenRegularFile(path, reason);
}

}  // namespace synaptra
