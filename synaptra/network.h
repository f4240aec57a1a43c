// The feed-forward network of the Synaptra library and its weights file (see FORMAT.md).
// Shared by the library, the trainer, the loader's fuzz target and the tests; it knows nothing
// of the game beyond the meaning of its 18 inputs and 9 outputs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace synaptra {

inline constexpr std::uint32_t kMagic = 0x4E504251u;  // "QBPN" as stored, little-endian
inline constexpr std::uint32_t kFormatVersion = 1;

inline constexpr std::uint32_t kInputCount = 18;  // two per square: 'O', then 'X'
inline constexpr std::uint32_t kOutputCount = 9;  // one score per square
inline constexpr std::uint32_t kSquareCount = 9;

// Layer counts include the input and the output layer: one to four hidden layers.
inline constexpr std::uint32_t kMinLayerCount = 3;
inline constexpr std::uint32_t kMaxLayerCount = 6;
inline constexpr std::uint32_t kMaxLayerWidth = 64;

// No valid file comes near this; anything larger is refused before it is parsed.
inline constexpr std::size_t kMaxFileSize = 64 * 1024;

// A network's floats in one block of the C heap. The library links no C++ runtime: no
// containers, and no operator new, which throws.
class Parameters {
public:
    using iterator = float*;
    using const_iterator = const float*;

    Parameters() = default;
    Parameters(const Parameters&) = delete;
    Parameters& operator=(const Parameters&) = delete;
    Parameters(Parameters&& other) noexcept
        : values_(std::exchange(other.values_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    Parameters& operator=(Parameters&& other) noexcept {
        if (this != &other) {
            std::free(values_);
            values_ = std::exchange(other.values_, nullptr);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    ~Parameters() { std::free(values_); }

    // count copies of value; false, and empty, when there is no memory for them.
    bool assign(std::size_t count, float value) {
        std::free(values_);
        values_ = nullptr;
        size_ = 0;
        if (count == 0) {
            return true;
        }
        values_ = static_cast<float*>(std::malloc(count * sizeof(float)));
        if (values_ == nullptr) {
            return false;
        }
        size_ = count;
        for (float& each : *this) {
            each = value;
        }
        return true;
    }

    float* data() { return values_; }
    const float* data() const { return values_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    float& operator[](std::size_t i) { return values_[i]; }
    const float& operator[](std::size_t i) const { return values_[i]; }
    float* begin() { return values_; }
    float* end() { return values_ + size_; }
    const float* begin() const { return values_; }
    const float* end() const { return values_ + size_; }

    // Bit for bit, as the file stores them.
    friend bool operator==(const Parameters& a, const Parameters& b) {
        return a.size_ == b.size_ &&
               (a.size_ == 0 || std::memcmp(a.values_, b.values_, a.size_ * sizeof(float)) == 0);
    }

private:
    float* values_ = nullptr;
    std::size_t size_ = 0;
};

struct Network {
    std::uint32_t layerCount = 0;  // 0: no network
    std::array<std::uint32_t, kMaxLayerCount> sizes{};
    // Layer by layer from the first hidden one: the weights row by row ([out][in]), then the
    // biases ([out]).
    Parameters parameters;

    bool Ready() const { return layerCount != 0; }
};

enum class LoadError {
    kNone,
    kEmpty,
    kTooLarge,
    kTruncated,
    kBadMagic,
    kBadVersion,
    kBadLayerCount,
    kBadLayerSize,
    kBadChecksum,
    kTrailingBytes,
    kNotFinite,
    kOutOfMemory,
};

const char* DescribeLoadError(LoadError error);

// CRC-32 as in zip and PNG (reflected polynomial 0xEDB88320, initial and final XOR all ones).
std::uint32_t Crc32(const unsigned char* data, std::size_t size);

// The number of floats that layer sizes describe; 0 when the sizes are not a valid network.
std::size_t ParameterCount(std::uint32_t layerCount, const std::uint32_t* sizes);

// The exact byte size of a file with these layer sizes (header, floats and checksum).
std::size_t FileSize(std::uint32_t layerCount, const std::uint32_t* sizes);

// Checks and decodes a whole weights file. On any error `network` is left empty; nothing is
// read outside [data, data + size) and nothing is allocated before the sizes are checked.
LoadError ParseNetwork(const unsigned char* data, std::size_t size, Network& network);

// Scores of the nine squares for an input of kInputCount values.
void Forward(const Network& network, const float* input, float* scores);

// Whether the 18 values describe a position: each 0 or 1, no square both 'O' and 'X'.
bool IsPosition(const std::int32_t* input);

// The nine scores of a position, as BestEmptySquare compares them; false, writing nothing,
// when there is no network or the input is no position.
bool PositionScores(const Network& network, const std::int32_t* input, float* scores);

// The highest-scoring empty square of the position (the lowest square on a tie), or -1 when
// there is no network, the input is no position, or no square is empty.
int BestEmptySquare(const Network& network, const std::int32_t* input);

}  // namespace synaptra
