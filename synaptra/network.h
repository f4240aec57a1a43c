// The feed-forward network of the Synaptra library and its weights file (see FORMAT.md).
// Shared by the library, the trainer, the loader's fuzz target and the tests; it knows nothing
// of the game beyond the meaning of its 18 inputs and 9 outputs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

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

struct Network {
    std::uint32_t layerCount = 0;  // 0: no network
    std::array<std::uint32_t, kMaxLayerCount> sizes{};
    // Layer by layer from the first hidden one: the weights row by row ([out][in]), then the
    // biases ([out]).
    std::vector<float> parameters;

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

// The file bytes of a network whose sizes and parameter count are valid.
std::vector<unsigned char> SerializeNetwork(const Network& network);

// Scores of the nine squares for an input of kInputCount values.
void Forward(const Network& network, const float* input, float* scores);

// Whether the 18 values describe a position: each 0 or 1, no square both 'O' and 'X'.
bool IsPosition(const std::int32_t* input);

// The highest-scoring empty square of the position (the lowest square on a tie), or -1 when
// there is no network, the input is no position, or no square is empty.
int BestEmptySquare(const Network& network, const std::int32_t* input);

}  // namespace synaptra
