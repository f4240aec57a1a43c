// The library's three entry points. One network per process, replaced by each InitNet.
#include <cstdint>
#include <cstdio>
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

// Reads at most one byte more than any valid file may hold, so that an oversized file is
// recognised without reading it all.
bool ReadWeightsFile(const char* name, std::vector<unsigned char>& bytes) {
    std::FILE* file = synaptra::OpenBesideLibrary(name);
    if (file == nullptr) {
        return false;
    }
    bytes.resize(synaptra::kMaxFileSize + 1);
    const std::size_t count = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    bytes.resize(count);
    return !failed;
}

bool LoadNetwork(const char* name) {
    if (name == nullptr || name[0] == '\0') {
        return false;
    }
    std::vector<unsigned char> bytes;
    if (!ReadWeightsFile(name, bytes)) {
        return false;
    }
    synaptra::Network loaded;
    if (synaptra::ParseNetwork(bytes.data(), bytes.size(), loaded) != synaptra::LoadError::kNone) {
        return false;
    }
    network = std::move(loaded);
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
        return 0;
    }
}

SYNAPTRA_EXPORT int GetNetMove(const std::int32_t* input) {
    return synaptra::BestEmptySquare(network, input);
}

SYNAPTRA_EXPORT int KillNet() {
    network = synaptra::Network{};  // frees the parameters
    return 1;
}
