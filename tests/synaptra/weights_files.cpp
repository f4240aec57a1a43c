#include "weights_files.h"

#include <cstring>
#include <limits>

namespace synaptra::testing {

namespace {

constexpr std::size_t kLayerCountOffset = 8;
constexpr std::size_t kFirstSizeOffset = 12;

std::size_t FirstFloatOffset(std::uint32_t layerCount) {
    return 12 + 4 * layerCount;
}

std::uint32_t Bits(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

Bytes Valid() {
    return FileOf(PreferringNetwork(4));
}

Bytes WithU32(std::size_t offset, std::uint32_t value, bool reseal = true) {
    Bytes bytes = Valid();
    PutU32(bytes, offset, value);
    if (reseal) {
        Reseal(bytes);
    }
    return bytes;
}

}  // namespace

Network PreferringNetwork(int favourite, std::vector<std::uint32_t> hidden) {
    Network network;
    network.layerCount = static_cast<std::uint32_t>(hidden.size() + 2);
    network.sizes[0] = kInputCount;
    for (std::size_t i = 0; i < hidden.size(); ++i) {
        network.sizes[i + 1] = hidden[i];
    }
    network.sizes[network.layerCount - 1] = kOutputCount;
    network.parameters.assign(ParameterCount(network.layerCount, network.sizes.data()), 0.0f);
    // Zero weights everywhere; the output biases alone rank the squares, the favourite first
    // and then square 0 down to square 8.
    float* outputBiases = network.parameters.data() + network.parameters.size() - kOutputCount;
    for (std::uint32_t square = 0; square < kOutputCount; ++square) {
        outputBiases[square] = static_cast<int>(square) == favourite
                                   ? 10.0f
                                   : 1.0f - 0.1f * static_cast<float>(square);
    }
    // Non-zero weights that cancel out, so a reader that mixes up the layout gets it wrong.
    network.parameters[0] = 0.5f;
    network.parameters[1] = -0.5f;
    return network;
}

Bytes FileOf(const Network& network) {
    return SerializeNetwork(network);
}

void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

void Reseal(Bytes& bytes) {
    const std::size_t end = bytes.size() - 4;
    PutU32(bytes, end, Crc32(bytes.data(), end));
}

std::vector<BrokenFile> BrokenFiles() {
    const Bytes valid = Valid();
    const std::size_t floats = FirstFloatOffset(3);
    std::vector<BrokenFile> files;

    files.push_back({"empty", {}, LoadError::kEmpty});
    files.push_back(
        {"only the magic", Bytes(valid.begin(), valid.begin() + 4), LoadError::kTruncated});
    files.push_back({"cut in the layer sizes", Bytes(valid.begin(), valid.begin() + 18),
                     LoadError::kTruncated});
    files.push_back(
        {"cut in the weights", Bytes(valid.begin(), valid.begin() + 100), LoadError::kTruncated});
    files.push_back(
        {"last byte missing", Bytes(valid.begin(), valid.end() - 1), LoadError::kTruncated});

    Bytes trailing = valid;
    trailing.push_back(0);
    files.push_back({"one byte after the end", trailing, LoadError::kTrailingBytes});
    Bytes resealedTrailing = valid;
    resealedTrailing.insert(resealedTrailing.end(), 8, 0);
    Reseal(resealedTrailing);
    files.push_back(
        {"bytes after the end, checksum over all", resealedTrailing, LoadError::kTrailingBytes});

    Bytes oversized = valid;
    oversized.resize(kMaxFileSize + 1, 0);
    files.push_back({"larger than any valid file", oversized, LoadError::kTooLarge});

    files.push_back({"wrong magic", WithU32(0, 0x4E504252u), LoadError::kBadMagic});
    files.push_back({"short file with wrong magic", {'M', 'Z', 0x90, 0, 3}, LoadError::kBadMagic});
    files.push_back({"version 0", WithU32(4, 0), LoadError::kBadVersion});
    files.push_back({"version 2", WithU32(4, 2), LoadError::kBadVersion});
    files.push_back({"two layers", WithU32(kLayerCountOffset, 2), LoadError::kBadLayerCount});
    files.push_back({"seven layers", WithU32(kLayerCountOffset, 7), LoadError::kBadLayerCount});
    files.push_back(
        {"absurd layer count", WithU32(kLayerCountOffset, 0xFFFFFFFFu), LoadError::kBadLayerCount});
    files.push_back({"17 inputs", WithU32(kFirstSizeOffset, 17), LoadError::kBadLayerSize});
    files.push_back({"10 outputs", WithU32(kFirstSizeOffset + 8, 10), LoadError::kBadLayerSize});
    files.push_back(
        {"empty hidden layer", WithU32(kFirstSizeOffset + 4, 0), LoadError::kBadLayerSize});
    files.push_back({"hidden layer too wide", WithU32(kFirstSizeOffset + 4, kMaxLayerWidth + 1),
                     LoadError::kBadLayerSize});
    files.push_back({"absurd hidden layer", WithU32(kFirstSizeOffset + 4, 0x40000000u),
                     LoadError::kBadLayerSize});

    Bytes flipped = valid;
    flipped[floats + 7] ^= 0x01;
    files.push_back({"weight changed, checksum not", flipped, LoadError::kBadChecksum});
    Bytes badChecksum = valid;
    badChecksum.back() ^= 0x80;
    files.push_back({"checksum changed", badChecksum, LoadError::kBadChecksum});

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    files.push_back({"NaN weight", WithU32(floats, Bits(nan)), LoadError::kNotFinite});
    files.push_back(
        {"signalling NaN weight", WithU32(floats + 4, 0x7F800001u), LoadError::kNotFinite});
    files.push_back({"infinite weight", WithU32(floats + 8, Bits(inf)), LoadError::kNotFinite});
    files.push_back(
        {"negative infinite bias", WithU32(valid.size() - 8, Bits(-inf)), LoadError::kNotFinite});
    return files;
}

}  // namespace synaptra::testing
