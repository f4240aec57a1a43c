#include "synaptra/weights_writer.h"

#include <cstring>

namespace synaptra {

namespace {

void AppendU32(std::vector<unsigned char>& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<unsigned char>(value >> shift));
    }
}

std::uint32_t FloatBits(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

std::vector<unsigned char> SerializeNetwork(const Network& network) {
    std::vector<unsigned char> bytes;
    bytes.reserve(FileSize(network.layerCount, network.sizes.data()));
    AppendU32(bytes, kMagic);
    AppendU32(bytes, kFormatVersion);
    AppendU32(bytes, network.layerCount);
    for (std::uint32_t layer = 0; layer < network.layerCount; ++layer) {
        AppendU32(bytes, network.sizes[layer]);
    }
    for (float value : network.parameters) {
        AppendU32(bytes, FloatBits(value));
    }
    AppendU32(bytes, Crc32(bytes.data(), bytes.size()));
    return bytes;
}

}  // namespace synaptra
