#include "synaptra/network.h"

#include <cstring>

namespace synaptra {

namespace {

constexpr std::size_t kHeaderFixedBytes = 12;  // magic, version, layer count
constexpr std::size_t kChecksumBytes = 4;

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

std::uint32_t ReadU32(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

float BitsFloat(std::uint32_t bits) {
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Read from the bits, so that no compiler setting can make a NaN look finite.
bool IsFiniteBits(std::uint32_t bits) {
    return (bits & 0x7F800000u) != 0x7F800000u;
}

}  // namespace

const char* DescribeLoadError(LoadError error) {
    switch (error) {
        case LoadError::kNone:
            return "no error";
        case LoadError::kEmpty:
            return "empty file";
        case LoadError::kTooLarge:
            return "file too large";
        case LoadError::kTruncated:
            return "truncated";
        case LoadError::kBadMagic:
            return "not a weights file";
        case LoadError::kBadVersion:
            return "unsupported version";
        case LoadError::kBadLayerCount:
            return "unsupported number of layers";
        case LoadError::kBadLayerSize:
            return "layer sizes do not fit";
        case LoadError::kBadChecksum:
            return "checksum does not match";
        case LoadError::kTrailingBytes:
            return "bytes after the end";
        case LoadError::kNotFinite:
            return "weight not a finite number";
        case LoadError::kOutOfMemory:
            return "out of memory";
    }
    return "unknown error";
}

std::uint32_t Crc32(const unsigned char* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc = kCrcTable[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

std::size_t ParameterCount(std::uint32_t layerCount, const std::uint32_t* sizes) {
    if (layerCount < kMinLayerCount || layerCount > kMaxLayerCount || sizes == nullptr) {
        return 0;
    }
    if (sizes[0] != kInputCount || sizes[layerCount - 1] != kOutputCount) {
        return 0;
    }
    std::size_t count = 0;
    for (std::uint32_t layer = 1; layer < layerCount; ++layer) {
        if (sizes[layer] == 0 || sizes[layer] > kMaxLayerWidth) {
            return 0;
        }
        // Bounded by the width limit: at most 64 * 65 floats a layer.
        count += static_cast<std::size_t>(sizes[layer]) * (sizes[layer - 1] + 1);
    }
    return count;
}

std::size_t FileSize(std::uint32_t layerCount, const std::uint32_t* sizes) {
    return kHeaderFixedBytes + 4 * static_cast<std::size_t>(layerCount) +
           4 * ParameterCount(layerCount, sizes) + kChecksumBytes;
}

LoadError ParseNetwork(const unsigned char* data, std::size_t size, Network& network) {
    network = Network{};
    if (data == nullptr || size == 0) {
        return LoadError::kEmpty;
    }
    if (size > kMaxFileSize) {
        return LoadError::kTooLarge;
    }
    if (size < kHeaderFixedBytes) {
        // Too short even for the fixed header; a wrong start still says "not ours" first.
        if (size >= 4 && ReadU32(data) != kMagic) {
            return LoadError::kBadMagic;
        }
        return LoadError::kTruncated;
    }
    if (ReadU32(data) != kMagic) {
        return LoadError::kBadMagic;
    }
    if (ReadU32(data + 4) != kFormatVersion) {
        return LoadError::kBadVersion;
    }
    const std::uint32_t layerCount = ReadU32(data + 8);
    if (layerCount < kMinLayerCount || layerCount > kMaxLayerCount) {
        return LoadError::kBadLayerCount;
    }
    if (size < kHeaderFixedBytes + 4 * static_cast<std::size_t>(layerCount)) {
        return LoadError::kTruncated;
    }
    std::array<std::uint32_t, kMaxLayerCount> sizes{};
    for (std::uint32_t layer = 0; layer < layerCount; ++layer) {
        sizes[layer] = ReadU32(data + kHeaderFixedBytes + 4 * layer);
    }
    const std::size_t parameterCount = ParameterCount(layerCount, sizes.data());
    if (parameterCount == 0) {
        return LoadError::kBadLayerSize;
    }
    const std::size_t expected = FileSize(layerCount, sizes.data());
    if (size < expected) {
        return LoadError::kTruncated;
    }
    if (size > expected) {
        return LoadError::kTrailingBytes;
    }
    if (Crc32(data, expected - kChecksumBytes) != ReadU32(data + expected - kChecksumBytes)) {
        return LoadError::kBadChecksum;
    }
    const unsigned char* floats =
        data + kHeaderFixedBytes + 4 * static_cast<std::size_t>(layerCount);
    Network loaded;
    if (!loaded.parameters.assign(parameterCount, 0.0f)) {
        return LoadError::kOutOfMemory;
    }
    for (std::size_t i = 0; i < parameterCount; ++i) {
        const std::uint32_t bits = ReadU32(floats + 4 * i);
        if (!IsFiniteBits(bits)) {
            return LoadError::kNotFinite;
        }
        loaded.parameters[i] = BitsFloat(bits);
    }
    loaded.layerCount = layerCount;
    loaded.sizes = sizes;
    network = std::move(loaded);
    return LoadError::kNone;
}

namespace {

// One layer: out[o] = bias[o] + the sum of row[i] * in[i] in increasing i, rectified unless it
// is the output layer. Returns where the next layer's parameters start.
const float* DenseLayer(const float* parameter, const float* in, std::uint32_t inCount,
                        std::uint32_t outCount, bool last, float* out) {
    const float* biases = parameter + static_cast<std::size_t>(outCount) * inCount;
    for (std::uint32_t o = 0; o < outCount; ++o) {
        const float* row = parameter + static_cast<std::size_t>(o) * inCount;
        float sum = biases[o];
        for (std::uint32_t i = 0; i < inCount; ++i) {
            sum += row[i] * in[i];
        }
        // Hidden layers are rectified; the output layer is linear.
        out[o] = last || sum > 0.0f ? sum : 0.0f;
    }
    return biases + outCount;
}

// The layers after the first, given the first hidden layer's values.
void ForwardFromFirstHidden(const Network& network, const float* parameter, const float* hidden,
                            float* scores) {
    std::array<float, kMaxLayerWidth> buffers[2];
    const float* in = hidden;
    for (std::uint32_t layer = 2; layer < network.layerCount; ++layer) {
        const bool last = layer + 1 == network.layerCount;
        float* out = last ? scores : buffers[layer % 2].data();
        parameter =
            DenseLayer(parameter, in, network.sizes[layer - 1], network.sizes[layer], last, out);
        in = out;
    }
}

}  // namespace

void Forward(const Network& network, const float* input, float* scores) {
    std::array<float, kMaxLayerWidth> hidden;
    const float* parameter = DenseLayer(network.parameters.data(), input, kInputCount,
                                        network.sizes[1], false, hidden.data());
    ForwardFromFirstHidden(network, parameter, hidden.data(), scores);
}

bool IsPosition(const std::int32_t* input) {
    if (input == nullptr) {
        return false;
    }
    for (std::uint32_t square = 0; square < kSquareCount; ++square) {
        const std::int32_t o = input[2 * square];
        const std::int32_t x = input[2 * square + 1];
        if ((o != 0 && o != 1) || (x != 0 && x != 1) || (o == 1 && x == 1)) {
            return false;
        }
    }
    return true;
}

bool PositionScores(const Network& network, const std::int32_t* input, float* scores) {
    if (!network.Ready() || !IsPosition(input) || scores == nullptr) {
        return false;
    }
    // A position's inputs are 0 or 1, so the first layer only adds the weights of the inputs
    // that are 1, in the same order as Forward: the same sums, since the skipped terms are zero.
    std::uint32_t active[kInputCount];
    std::uint32_t activeCount = 0;
    for (std::uint32_t i = 0; i < kInputCount; ++i) {
        if (input[i] != 0) {
            active[activeCount++] = i;
        }
    }
    const std::uint32_t hiddenCount = network.sizes[1];
    const float* weights = network.parameters.data();
    const float* biases = weights + static_cast<std::size_t>(hiddenCount) * kInputCount;
    std::array<float, kMaxLayerWidth> hidden;
    for (std::uint32_t h = 0; h < hiddenCount; ++h) {
        const float* row = weights + static_cast<std::size_t>(h) * kInputCount;
        float sum = biases[h];
        for (std::uint32_t k = 0; k < activeCount; ++k) {
            sum += row[active[k]];
        }
        hidden[h] = sum > 0.0f ? sum : 0.0f;
    }
    ForwardFromFirstHidden(network, biases + hiddenCount, hidden.data(), scores);
    return true;
}

int BestEmptySquare(const Network& network, const std::int32_t* input) {
    float scores[kOutputCount];
    if (!PositionScores(network, input, scores)) {
        return -1;
    }
    int best = -1;
    for (std::uint32_t square = 0; square < kSquareCount; ++square) {
        if (input[2 * square] != 0 || input[2 * square + 1] != 0) {
            continue;
        }
        // The first empty square stands even if every score is NaN (finite weights can still
        // overflow), so a valid position with room always gets an empty square.
        if (best < 0 || scores[square] > scores[best]) {
            best = static_cast<int>(square);
        }
    }
    return best;
}

}  // namespace synaptra
