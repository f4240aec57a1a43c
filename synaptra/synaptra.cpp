// The library's entry points. One network per process, replaced by each InitNet.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "synaptra/library_folder.h"
#include "synaptra/network.h"

#if defined(_WIN32)
#define SYNAPTRA_EXPORT extern "C" __declspec(dllexport)
#else
#define SYNAPTRA_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

synaptra::Network network;

// Why the last InitNet failed, for NetLastError; empty after a success. A fixed buffer: the
// system's texts it copies do not outlive the next call into the C library.
char lastError[128] = "";

bool Refuse(const char* reason) {
    std::snprintf(lastError, sizeof lastError, "%s", reason);
    return false;
}

// Reads at most one byte more than any valid file may hold, so that an oversized file is
// recognised without reading it all.
bool ReadWeightsFile(const char* name, std::vector<unsigned char>& bytes) {
    const char* reason = "";
    std::FILE* file = synaptra::OpenBesideLibrary(name, reason);
    if (file == nullptr) {
        return Refuse(reason);
    }
    bytes.resize(synaptra::kMaxFileSize + 1);
    errno = 0;
    const std::size_t count = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    bytes.resize(count);
    return !failed || Refuse(error != 0 ? std::strerror(error) : "read error");
}

bool LoadNetwork(const char* name) {
    std::vector<unsigned char> bytes;
    if (!ReadWeightsFile(name, bytes)) {
        return false;
    }
    synaptra::Network loaded;
    const synaptra::LoadError error = synaptra::ParseNetwork(bytes.data(), bytes.size(), loaded);
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
    try {
        return LoadNetwork(weightsFileName) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        network = synaptra::Network{};
        Refuse(synaptra::DescribeLoadError(synaptra::LoadError::kOutOfMemory));
        return 0;
    }
}

// Optional: a library without it is still whole, callers look it up by name.
SYNAPTRA_EXPORT const char* NetLastError() {
    return lastError;
}

SYNAPTRA_EXPORT int GetNetMove(const std::int32_t* input) {
    return synaptra::BestEmptySquare(network, input);
}

SYNAPTRA_EXPORT int KillNet() {
    network = synaptra::Network{};  // frees the parameters
    return 1;
}
