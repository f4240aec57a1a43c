// libFuzzer target for the weights loader: any bytes at all must be either refused or read
// into a network that answers every position with an empty square.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "synaptra/weights_writer.h"

namespace {

// A few positions, from the empty board to one with a single empty square.
constexpr const char* kPositions[] = {"         ", "    X    ", "X O  X  O", "XOXOXOXO ",
                                      "OXOXOXOXO"};

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    synaptra::Network network;
    const synaptra::LoadError error = synaptra::ParseNetwork(data, size, network);
    Check((error == synaptra::LoadError::kNone) == network.Ready());
    if (error != synaptra::LoadError::kNone) {
        return 0;
    }
    // What was accepted writes back to the very same bytes.
    const std::vector<unsigned char> written = synaptra::SerializeNetwork(network);
    Check(written.size() == size && std::memcmp(written.data(), data, size) == 0);
    for (const char* position : kPositions) {
        std::int32_t input[synaptra::kInputCount] = {};
        for (int square = 0; square < 9; ++square) {
            input[2 * square] = position[square] == 'O' ? 1 : 0;
            input[2 * square + 1] = position[square] == 'X' ? 1 : 0;
        }
        const int answer = synaptra::BestEmptySquare(network, input);
        if (std::strchr(position, ' ') == nullptr) {
            Check(answer == -1);
        } else {
            Check(answer >= 0 && answer < 9 && position[answer] == ' ');
        }
    }
    return 0;
}
