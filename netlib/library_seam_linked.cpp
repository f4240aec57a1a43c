// The seam of the web module, which has the network library linked in: "loading" it finds the
// entry points by name at link time, and the module's own file system holds the weights
// at its root, where the library looks for them.
#include <chrono>
#include <cstring>

#include "netlib/library_seam.h"

extern "C" {
int InitNet(const char* weightsFileName);
int GetNetMove(const std::int32_t* input);
int KillNet();
const char* NetLastError();
int GetNetOutputs(const std::int32_t* input, float* outputs);
}

namespace qrv::seam {

namespace {

// Stands for the one library there is; never read.
char linkedLibrary;

struct EntryPoint {
    const char* name;
    void* address;
};

const EntryPoint kEntryPoints[] = {
    {"InitNet", reinterpret_cast<void*>(&InitNet)},
    {"KillNet", reinterpret_cast<void*>(&KillNet)},
    {"GetNetMove", reinterpret_cast<void*>(&GetNetMove)},
    {"NetLastError", reinterpret_cast<void*>(&NetLastError)},
    {"GetNetOutputs", reinterpret_cast<void*>(&GetNetOutputs)},
};

}  // namespace

const char kNetworkLibraryFileName[] = "libSynaptra.a";

LibraryHandle OpenLibrary(const char* fullPath) {
    return fullPath != nullptr ? &linkedLibrary : nullptr;
}

void* FindEntryPoint(LibraryHandle library, const char* name) {
    if (library != &linkedLibrary || name == nullptr) {
        return nullptr;
    }
    for (const EntryPoint& entry : kEntryPoints) {
        if (std::strcmp(entry.name, name) == 0) {
            return entry.address;
        }
    }
    return nullptr;
}

const char* LibraryErrorText() {
    return "the network library is not linked in";
}

void CloseLibrary(LibraryHandle /*library*/) {}

bool ProgramFolder(char* buffer, std::size_t size) {
    if (buffer == nullptr || size < 2) {
        return false;
    }
    std::strcpy(buffer, "/");
    return true;
}

std::uint32_t MillisecondClock() {
    // The wall clock: the page's own clock starts near zero at every load.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace qrv::seam
