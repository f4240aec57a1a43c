// The library's entry points. One network per process, replaced by each InitNet.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "synaptra/library_folder.h"
#include "synaptra/network.h"

#if defined(_WIN32)
#define SYNAPTRA_EXPORT extern "C" __declspec(dllexport)
#else
#define SYNAPTRA_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The web module keeps and exports it even where the game itself does not call it, so that the
// page can.
#if defined(__EMSCRIPTEN__)
#define SYNAPTRA_FOR_PAGE __attribute__((used))
#else
#define SYNAPTRA_FOR_PAGE
#endif

namespace {

synaptra::Network network;

// Why the last InitNet failed, for NetLastError; empty after a success. A fixed buffer: the
// system's texts it copies do not outlive the next call into the C library.
char lastError[128] = "";

// Copied by hand, cut to fit: snprintf would bring mingw's whole printf into Synaptra.dll.
bool Refuse(const char* reason) {
    std::size_t length = 0;
    for (; reason[length] != '\0' && length + 1 < sizeof lastError; ++length) {
        lastError[length] = reason[length];
    }
    lastError[length] = '\0';
    return false;
}

// A whole weights file in memory, from the C heap.
struct FileBytes {
    unsigned char* data = nullptr;
    std::size_t size = 0;
    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes() { std::free(data); }
};

// Reads at most one byte more than any valid file may hold, so that an oversized file is
// recognised without reading it all.
bool ReadWeightsFile(const char* name, FileBytes& bytes) {
    const char* reason = "";
    std::FILE* file = synaptra::OpenBesideLibrary(name, reason);
    if (file == nullptr) {
        return Refuse(reason);
    }
    bytes.data = static_cast<unsigned char*>(std::malloc(synaptra::kMaxFileSize + 1));
    if (bytes.data == nullptr) {
        std::fclose(file);
        return Refuse(synaptra::DescribeLoadError(synaptra::LoadError::kOutOfMemory));
    }
    errno = 0;
    bytes.size = std::fread(bytes.data, 1, synaptra::kMaxFileSize + 1, file);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    return !failed || Refuse(error != 0 ? std::strerror(error) : "read error");
}

bool LoadNetwork(const char* name) {
    FileBytes bytes;
    if (!ReadWeightsFile(name, bytes)) {
        return false;
    }
    synaptra::Network loaded;
    const synaptra::LoadError error = synaptra::ParseNetwork(bytes.data, bytes.size, loaded);
    if (error != synaptra::LoadError::kNone) {
        return Refuse(synaptra::DescribeLoadError(error));
    }
    network = std::move(loaded);
    lastError[0] = '\0';
    return true;
}

}  // namespace

SYNAPTRA_EXPORT int InitNet(const char* weightsFileName) {
    // The old network goes first: a failed load must not leave it answering.
    network = synaptra::Network{};
    return LoadNetwork(weightsFileName) ? 1 : 0;
}

// Optional: a library without it is still whole, callers look it up by name.
SYNAPTRA_EXPORT const char* NetLastError() {
    return lastError;
}

SYNAPTRA_EXPORT int GetNetMove(const std::int32_t* input) {
    return synaptra::BestEmptySquare(network, input);
}

// Optional, like NetLastError: the nine scores that GetNetMove compares.
SYNAPTRA_EXPORT SYNAPTRA_FOR_PAGE int GetNetOutputs(const std::int32_t* input, float* outputs) {
    return synaptra::PositionScores(network, input, outputs) ? 1 : 0;
}

SYNAPTRA_EXPORT int KillNet() {
    network = synaptra::Network{};  // frees the parameters
    return 1;
}
