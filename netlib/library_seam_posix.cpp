#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "netlib/library_seam.h"

namespace qrv::seam {

namespace {

// Why OpenLibrary refused a file before the system's loader saw it; null when it did not.
const char* refusal = nullptr;

constexpr unsigned char kNativeClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;

bool Read(int descriptor, void* buffer, std::size_t size, std::uint64_t offset) {
    return pread(descriptor, buffer, size, static_cast<off_t>(offset)) ==
           static_cast<ssize_t>(size);
}

// Whether [offset, offset + length) lies within a file of `size` bytes.
bool Within(std::uint64_t offset, std::uint64_t length, std::uint64_t size) {
    return offset <= size && length <= size - offset;
}

// The loader opens a FIFO and waits for a writer, and maps the segments a library's program
// headers name straight from the file: one cut short turns the first access beyond its end
// into a bus error. A file of another kind, or of another class, is left to the loader, which
// refuses it in its own words.
const char* CheckLibraryFile(int descriptor) {
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        return "not a regular file";
    }
    const auto size = static_cast<std::uint64_t>(status.st_size);
    ElfW(Ehdr) header{};
    if (!Read(descriptor, &header, SELFMAG, 0) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) {
        return nullptr;
    }
    if (!Read(descriptor, &header, sizeof header, 0)) {
        return "truncated";
    }
    if (header.e_ident[EI_CLASS] != kNativeClass || header.e_phentsize != sizeof(ElfW(Phdr))) {
        return nullptr;
    }
    if (!Within(header.e_phoff, std::uint64_t{header.e_phnum} * header.e_phentsize, size)) {
        return "truncated";
    }
    for (unsigned index = 0; index < header.e_phnum; ++index) {
        ElfW(Phdr) segment{};
        if (!Read(descriptor, &segment, sizeof segment,
                  header.e_phoff + std::uint64_t{index} * sizeof segment) ||
            !Within(segment.p_offset, segment.p_filesz, size)) {
            return "truncated";
        }
    }
    return nullptr;
}

}  // namespace

const char kNetworkLibraryFileName[] = "libSynaptra.so";

LibraryHandle OpenLibrary(const char* fullPath) {
    refusal = nullptr;
    // A path with a slash is never searched for; RTLD_LOCAL keeps its names out of ours.
    if (fullPath == nullptr || std::strchr(fullPath, '/') == nullptr) {
        return nullptr;
    }
    // Without O_NONBLOCK the check itself would wait on a FIFO. A file that cannot be opened
    // is left to the loader, for its message.
    const int descriptor = open(fullPath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor >= 0) {
        refusal = CheckLibraryFile(descriptor);
        close(descriptor);
        if (refusal != nullptr) {
            return nullptr;
        }
    }
    return dlopen(fullPath, RTLD_NOW | RTLD_LOCAL);
}

void* FindEntryPoint(LibraryHandle library, const char* name) {
    refusal = nullptr;
    return library != nullptr ? dlsym(library, name) : nullptr;
}

const char* LibraryErrorText() {
    if (refusal != nullptr) {
        return refusal;
    }
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
