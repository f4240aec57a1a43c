// qrv_trainer: finds the square each stored position must get, trains the network on those
// targets by backpropagation and writes the weights file.
//
//   qrv_trainer [output file]      (default: qrv.bpn in the current folder)
//
// Deterministic: a fixed seed, a fixed order of everything and no threads, so the same command
// writes the same bytes.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "netlib/network_binding.h"
#include "opponents/pattern_table.h"
#include "resources/pattern_strings.h"
#include "synaptra/weights_writer.h"
#include "trainer/target_search.h"

namespace {

using synaptra::kInputCount;
using synaptra::kOutputCount;

constexpr std::uint32_t kHiddenCount = 32;
constexpr std::uint32_t kInitialSeed = 0x51A7A5EDu;
constexpr float kLearningRate = 0.05f;
constexpr float kMomentum = 0.9f;
// Each stored position must prefer its target over every other empty square by this much.
constexpr float kRequiredMargin = 0.5f;
constexpr int kMaxEpochs = 100000;
constexpr int kReportEvery = 10;

struct Sample {
    float input[kInputCount];
    std::int32_t encoded[kInputCount];
    int target;
};

std::uint32_t NextBits(std::uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// Uniform in [-range, range), from integer arithmetic only.
float Uniform(std::uint32_t& state, float range) {
    const float unit = static_cast<float>(NextBits(state) >> 8) * (1.0f / 16777216.0f);
    return (2.0f * unit - 1.0f) * range;
}

// Layout of the one hidden layer network inside Network::parameters.
struct Layout {
    std::size_t w1 = 0;
    std::size_t b1 = kHiddenCount * kInputCount;
    std::size_t w2 = b1 + kHiddenCount;
    std::size_t b2 = w2 + kOutputCount * kHiddenCount;
    std::size_t total = b2 + kOutputCount;
};

synaptra::Network InitialNetwork() {
    synaptra::Network network;
    network.layerCount = 3;
    network.sizes = {kInputCount, kHiddenCount, kOutputCount};
    const Layout layout;
    if (!network.parameters.assign(layout.total, 0.0f)) {
        std::fputs("qrv_trainer: out of memory\n", stderr);
        std::exit(1);
    }
    std::uint32_t state = kInitialSeed;
    const float range1 = 1.0f / std::sqrt(static_cast<float>(kInputCount));
    const float range2 = 1.0f / std::sqrt(static_cast<float>(kHiddenCount));
    for (std::size_t i = 0; i < layout.b1; ++i) {
        network.parameters[layout.w1 + i] = Uniform(state, range1);
    }
    for (std::size_t i = 0; i < kHiddenCount; ++i) {
        network.parameters[layout.b1 + i] = 0.1f;  // keeps the rectifiers alive at the start
    }
    for (std::size_t i = 0; i < kOutputCount * kHiddenCount; ++i) {
        network.parameters[layout.w2 + i] = Uniform(state, range2);
    }
    return network;
}

// One full-batch step of gradient descent with momentum on the mean squared error against
// one-hot targets. Returns the loss before the step.
float TrainStep(synaptra::Network& network, const std::vector<Sample>& samples,
                std::vector<float>& velocity) {
    const Layout layout;
    std::vector<float> gradient(layout.total, 0.0f);
    float* p = network.parameters.data();
    float* g = gradient.data();
    const float scale = 1.0f / static_cast<float>(samples.size());
    float loss = 0.0f;
    for (const Sample& sample : samples) {
        float z1[kHiddenCount];
        float a1[kHiddenCount];
        for (std::uint32_t h = 0; h < kHiddenCount; ++h) {
            float sum = p[layout.b1 + h];
            for (std::uint32_t i = 0; i < kInputCount; ++i) {
                sum += p[layout.w1 + h * kInputCount + i] * sample.input[i];
            }
            z1[h] = sum;
            a1[h] = sum > 0.0f ? sum : 0.0f;
        }
        float dy[kOutputCount];
        for (std::uint32_t o = 0; o < kOutputCount; ++o) {
            float sum = p[layout.b2 + o];
            for (std::uint32_t h = 0; h < kHiddenCount; ++h) {
                sum += p[layout.w2 + o * kHiddenCount + h] * a1[h];
            }
            const float error = sum - (static_cast<int>(o) == sample.target ? 1.0f : 0.0f);
            loss += 0.5f * error * error * scale;
            dy[o] = error * scale;
        }
        for (std::uint32_t o = 0; o < kOutputCount; ++o) {
            g[layout.b2 + o] += dy[o];
            for (std::uint32_t h = 0; h < kHiddenCount; ++h) {
                g[layout.w2 + o * kHiddenCount + h] += dy[o] * a1[h];
            }
        }
        for (std::uint32_t h = 0; h < kHiddenCount; ++h) {
            if (z1[h] <= 0.0f) {
                continue;
            }
            float back = 0.0f;
            for (std::uint32_t o = 0; o < kOutputCount; ++o) {
                back += p[layout.w2 + o * kHiddenCount + h] * dy[o];
            }
            g[layout.b1 + h] += back;
            for (std::uint32_t i = 0; i < kInputCount; ++i) {
                g[layout.w1 + h * kInputCount + i] += back * sample.input[i];
            }
        }
    }
    for (std::size_t i = 0; i < layout.total; ++i) {
        velocity[i] = kMomentum * velocity[i] - kLearningRate * g[i];
        p[i] += velocity[i];
    }
    return loss;
}

// The smallest lead of a target over the best other empty square, measured with the
// library's own forward pass; negative when some position picks another square.
float SmallestMargin(const synaptra::Network& network, const std::vector<Sample>& samples) {
    float smallest = INFINITY;
    for (const Sample& sample : samples) {
        float scores[kOutputCount];
        synaptra::Forward(network, sample.input, scores);
        float bestOther = -INFINITY;
        for (std::uint32_t square = 0; square < kOutputCount; ++square) {
            const bool empty =
                sample.encoded[2 * square] == 0 && sample.encoded[2 * square + 1] == 0;
            if (empty && static_cast<int>(square) != sample.target && scores[square] > bestOther) {
                bestOther = scores[square];
            }
        }
        const float margin = scores[sample.target] - bestOther;
        if (margin < smallest) {
            smallest = margin;
        }
    }
    return smallest;
}

std::vector<Sample> MakeSamples(const qrv::PatternTable& table, const qrv::trainer::Targets& targets) {
    std::vector<Sample> samples;
    for (int slot = 0; slot < qrv::kPatternCount; ++slot) {
        qrv::Board position = qrv::EmptyBoard();
        std::memcpy(position.data(), table.slots[slot].data(), qrv::kSquareCount);
        const qrv::NetInput encoded = qrv::EncodeNetInput(position);
        Sample sample{};
        for (std::uint32_t i = 0; i < kInputCount; ++i) {
            sample.encoded[i] = encoded[i];
            sample.input[i] = static_cast<float>(encoded[i]);
        }
        sample.target = targets[slot];
        samples.push_back(sample);
    }
    return samples;
}

void PrintPosition(const qrv::PatternSlot& slot) {
    for (int square = 0; square < qrv::kSquareCount; ++square) {
        std::putchar(slot[square] == qrv::kEmptyMark ? '*' : slot[square]);
    }
}

bool WriteFile(const char* path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: %s [output file, default qrv.bpn]\n", argv[0]);
        return 2;
    }
    const char* output = argc == 2 ? argv[1] : "qrv.bpn";

    qrv::PatternTable table;
    if (!qrv::LoadPatternTable(table, qrv::LoadPatternString, qrv::kFirstPatternId)) {
        std::fprintf(stderr, "qrv_trainer: the stored positions could not be loaded\n");
        return 1;
    }

    std::printf("Searching the game tree for targets...\n");
    const qrv::trainer::TargetSearchResult search = qrv::trainer::SearchTargets(table);
    std::printf("%llu positions expanded, %llu target choices given up\n",
                static_cast<unsigned long long>(search.expandedPositions),
                static_cast<unsigned long long>(search.backtracks));
    if (!search.found) {
        std::fprintf(stderr,
                     "qrv_trainer: no choice of targets keeps both network opponents from losing "
                     "and inside the table; no weights written\n");
        return 1;
    }
    const qrv::trainer::Targets& targets = search.targets;
    for (int slot = 0; slot < qrv::kPatternCount; ++slot) {
        const bool asked = (search.askedSlots & (1u << slot)) != 0;
        std::printf("position %2d  ", slot);
        PrintPosition(table.slots[slot]);
        std::printf("  -> square %d%s\n", targets[slot], asked ? "" : "  (never asked)");
    }
    const qrv::trainer::TreeCheck check = qrv::trainer::CheckTargets(table, targets);
    if (!check.safe) {
        std::fprintf(stderr, "qrv_trainer: the targets found fail the check; no weights written\n");
        return 1;
    }
    std::printf("Both network opponents: %llu games, %llu computer wins, %llu draws, no loss\n",
                static_cast<unsigned long long>(check.games),
                static_cast<unsigned long long>(check.computerWins),
                static_cast<unsigned long long>(check.draws));

    const std::vector<Sample> samples = MakeSamples(table, targets);
    synaptra::Network network = InitialNetwork();
    std::vector<float> velocity(network.parameters.size(), 0.0f);
    int epoch = 0;
    float margin = SmallestMargin(network, samples);
    while (margin < kRequiredMargin) {
        if (epoch == kMaxEpochs) {
            std::fprintf(stderr,
                         "qrv_trainer: no clear margin after %d epochs; no weights written\n",
                         kMaxEpochs);
            return 1;
        }
        const float loss = TrainStep(network, samples, velocity);
        ++epoch;
        margin = SmallestMargin(network, samples);
        if (epoch % kReportEvery == 0 || margin >= kRequiredMargin) {
            std::printf("epoch %5d  loss %.6f  smallest margin %.4f\n", epoch,
                        static_cast<double>(loss), static_cast<double>(margin));
        }
    }

    // What the library will read back must answer every target.
    const std::vector<unsigned char> bytes = synaptra::SerializeNetwork(network);
    synaptra::Network reloaded;
    if (synaptra::ParseNetwork(bytes.data(), bytes.size(), reloaded) !=
        synaptra::LoadError::kNone) {
        std::fprintf(stderr, "qrv_trainer: the weights do not read back\n");
        return 1;
    }
    for (const Sample& sample : samples) {
        if (synaptra::BestEmptySquare(reloaded, sample.encoded) != sample.target) {
            std::fprintf(stderr, "qrv_trainer: the trained network misses a target\n");
            return 1;
        }
    }
    if (!WriteFile(output, bytes)) {
        std::fprintf(stderr, "qrv_trainer: cannot write %s\n", output);
        return 1;
    }
    std::printf("Wrote %s (%zu bytes) after %d epochs\n", output, bytes.size(), epoch);
    return 0;
}
