#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

#include "netlib/library_seam.h"

namespace qrv::seam {

const char kNetworkLibraryFileName[] = "libSynaptra.so";

LibraryHandle OpenLibrary(const char* fullPath) {
    // A path with a slash is never searched for; RTLD_LOCAL keeps its names out of ours.
    if (fullPath == nullptr || std::strchr(fullPath, '/') == nullptr) {
        return nullptr;
    }
    return dlopen(fullPath, RTLD_NOW | RTLD_LOCAL);
}

void* FindEntryPoint(LibraryHandle library, const char* name) {
    return library != nullptr ? dlsym(library, name) : nullptr;
}

const char* LibraryErrorText() {
    const char* text = dlerror();
    return text != nullptr ? text : "unknown error";
}

void CloseLibrary(LibraryHandle library) {
    if (library != nullptr) {
        dlclose(library);
    }
}

bool ProgramFolder(char* buffer, std::size_t size) {
    if (buffer == nullptr || size < 2) {
        return false;
    }
    const ssize_t length = readlink("/proc/self/exe", buffer, size - 1);
    if (length <= 0 || static_cast<std::size_t>(length) >= size - 1) {
        return false;  // a full buffer may mean a cut path
    }
    buffer[length] = '\0';
    char* lastSlash = std::strrchr(buffer, '/');
    if (lastSlash == nullptr) {
        return false;
    }
    lastSlash[1] = '\0';
    return true;
}

std::uint32_t MillisecondClock() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                             static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

}  // namespace qrv::seam
