// The weights file format and the network's answer, without the library around them.
#include <gtest/gtest.h>

#include <cstring>

#include "synaptra/network.h"
#include "weights_files.h"

namespace synaptra {
namespace {

using testing::Bytes;

TEST(Crc32, MatchesTheCommonCheckValue) {
    const char text[] = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const unsigned char*>(text), 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
}

TEST(ParseNetwork, RefusesEveryBrokenFileForItsReason) {
    for (const testing::BrokenFile& file : testing::BrokenFiles()) {
        SCOPED_TRACE(file.name);
        Network network = testing::PreferringNetwork(0);  // must be emptied by the refusal
        EXPECT_EQ(ParseNetwork(file.bytes.data(), file.bytes.size(), network), file.expected)
            << DescribeLoadError(ParseNetwork(file.bytes.data(), file.bytes.size(), network));
        EXPECT_FALSE(network.Ready());
        EXPECT_TRUE(network.parameters.empty());
    }
}

TEST(ParseNetwork, RefusesEveryShorterPrefixOfAValidFile) {
    const Bytes valid = testing::FileOf(testing::PreferringNetwork(3, {5, 6}));
    for (std::size_t size = 0; size < valid.size(); ++size) {
        // A copy of exactly `size` bytes, so a sanitizer catches any read beyond it.
        const Bytes prefix(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(size));
        Network network;
        EXPECT_NE(ParseNetwork(prefix.data(), prefix.size(), network), LoadError::kNone) << size;
        EXPECT_FALSE(network.Ready());
    }
}

TEST(ParseNetwork, ReadsBackWhatWasWrittenForEveryDepth) {
    const std::vector<std::vector<std::uint32_t>> shapes = {
        {1}, {32}, {kMaxLayerWidth}, {8, 8}, {kMaxLayerWidth, kMaxLayerWidth, kMaxLayerWidth, 3}};
    for (const auto& hidden : shapes) {
        const Network written = testing::PreferringNetwork(7, hidden);
        const Bytes bytes = testing::FileOf(written);
        ASSERT_EQ(bytes.size(), FileSize(written.layerCount, written.sizes.data()));
        ASSERT_LE(bytes.size(), kMaxFileSize);
        Network read;
        ASSERT_EQ(ParseNetwork(bytes.data(), bytes.size(), read), LoadError::kNone);
        EXPECT_EQ(read.layerCount, written.layerCount);
        EXPECT_EQ(read.sizes, written.sizes);
        EXPECT_EQ(read.parameters, written.parameters);
    }
}

TEST(ParseNetwork, StoresIntegersAndFloatsLittleEndian) {
    const Bytes bytes = testing::FileOf(testing::PreferringNetwork(4));
    const unsigned char header[] = {'Q', 'B', 'P', 'N', 1, 0, 0, 0, 3, 0, 0, 0,
                                    18,  0,   0,   0,   4, 0, 0, 0, 9, 0, 0, 0};
    ASSERT_GE(bytes.size(), sizeof header);
    EXPECT_EQ(std::memcmp(bytes.data(), header, sizeof header), 0);
    // The first weight is 0.5f: 0x3F000000.
    const unsigned char half[] = {0x00, 0x00, 0x00, 0x3F};
    EXPECT_EQ(std::memcmp(bytes.data() + sizeof header, half, 4), 0);
}

// An empty network, a position and the answer a hand-made network must give.
std::array<std::int32_t, kInputCount> Position(const char* squares) {
    std::array<std::int32_t, kInputCount> input{};
    for (int square = 0; square < 9; ++square) {
        input[2 * square] = squares[square] == 'O' ? 1 : 0;
        input[2 * square + 1] = squares[square] == 'X' ? 1 : 0;
    }
    return input;
}

TEST(BestEmptySquare, TakesTheBestEmptySquareAndSkipsTakenOnes) {
    const Network network = testing::PreferringNetwork(4);
    EXPECT_EQ(BestEmptySquare(network, Position("         ").data()), 4);
    // The favourite taken: the next best is square 0, then 1.
    EXPECT_EQ(BestEmptySquare(network, Position("    X    ").data()), 0);
    EXPECT_EQ(BestEmptySquare(network, Position("O   X    ").data()), 1);
    EXPECT_EQ(BestEmptySquare(network, Position("OXOXOXOX ").data()), 8);
}

TEST(BestEmptySquare, UsesTheHiddenLayer) {
    // One hidden unit fires for an X on square 0 and drives square 8 to the top; a network
    // that skipped the rectifier or misplaced a weight answers otherwise.
    Network network = testing::PreferringNetwork(4, {1});
    network.parameters.assign(network.parameters.size(), 0.0f);
    network.parameters[1] = 1.0f;             // hidden unit: weight of input 1 (X on square 0)
    network.parameters[kInputCount] = -0.5f;  // its bias
    float* output = network.parameters.data() + kInputCount + 1;
    output[8] = 10.0f;     // weight from the hidden unit to square 8
    output[9 + 4] = 1.0f;  // bias of square 4
    EXPECT_EQ(BestEmptySquare(network, Position("         ").data()), 4);
    EXPECT_EQ(BestEmptySquare(network, Position("X        ").data()), 8);
    EXPECT_EQ(BestEmptySquare(network, Position(" X       ").data()), 4);
}

TEST(BestEmptySquare, AnswersMinusOneForWhatIsNoPosition) {
    const Network network = testing::PreferringNetwork(4);
    EXPECT_EQ(BestEmptySquare(network, nullptr), -1);
    EXPECT_EQ(BestEmptySquare(Network{}, Position("         ").data()), -1);
    EXPECT_EQ(BestEmptySquare(network, Position("XOXOXOXOX").data()), -1);  // no empty square
    for (int element = 0; element < static_cast<int>(kInputCount); ++element) {
        for (std::int32_t value : {2, -1, 0x7FFFFFFF, static_cast<std::int32_t>(0x80000000)}) {
            auto input = Position("         ");
            input[element] = value;
            EXPECT_EQ(BestEmptySquare(network, input.data()), -1) << element << " " << value;
        }
        if (element % 2 == 0) {
            auto both = Position("         ");
            both[element] = 1;
            both[element + 1] = 1;
            EXPECT_EQ(BestEmptySquare(network, both.data()), -1) << "square " << element / 2;
        }
    }
}

TEST(BestEmptySquare, OverflowingScoresStillNameAnEmptySquare) {
    Network network = testing::PreferringNetwork(4, {2});
    for (float& value : network.parameters) {
        value = 3e38f;  // finite, but the sums overflow to infinity and then to NaN
    }
    network.parameters[kInputCount * 2 + 2 + 2 * 4] = -3e38f;
    for (const char* squares : {"         ", "XOX O    ", "XOXOXOXO "}) {
        const auto input = Position(squares);
        const int square = BestEmptySquare(network, input.data());
        ASSERT_GE(square, 0) << squares;
        EXPECT_EQ(squares[square], ' ') << squares;
    }
}

}  // namespace
}  // namespace synaptra

namespace synaptra {
namespace {

// The library's answer takes a shortcut through the first layer; it must pick the same square
// as the full forward pass that the trainer measures its margins with, for every position.
TEST(BestEmptySquare, AgreesWithTheFullForwardPassOnEveryPosition) {
    std::uint32_t state = 12345;
    for (const auto& hidden : std::vector<std::vector<std::uint32_t>>{{7}, {12, 5}}) {
        Network network = testing::PreferringNetwork(0, hidden);
        for (float& value : network.parameters) {
            state = state * 1664525u + 1013904223u;
            value = static_cast<float>(static_cast<int>(state >> 20) - 2048) / 512.0f;
        }
        for (int code = 0; code < 19683; ++code) {
            std::int32_t input[kInputCount] = {};
            float values[kInputCount] = {};
            int rest = code;
            for (int square = 0; square < 9; ++square, rest /= 3) {
                if (rest % 3 != 0) {
                    input[2 * square + rest % 3 - 1] = 1;  // 1: O, 2: X
                    values[2 * square + rest % 3 - 1] = 1.0f;
                }
            }
            float scores[kOutputCount];
            Forward(network, values, scores);
            int expected = -1;
            for (int square = 0; square < 9; ++square) {
                const bool empty = input[2 * square] == 0 && input[2 * square + 1] == 0;
                if (empty && (expected < 0 || scores[square] > scores[expected])) {
                    expected = square;
                }
            }
            ASSERT_EQ(BestEmptySquare(network, input), expected) << code;
        }
    }
}

}  // namespace
}  // namespace synaptra
