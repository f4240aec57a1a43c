// qrv_trainer: works out what each square of each stored position is worth, trains the network
// to score the squares so, checks the result and writes the weights file.
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
#include "opponents/opponents.h"
#include "opponents/pattern_table.h"
#include "resources/pattern_strings.h"
#include "synaptra/weights_writer.h"
#include "trainer/game_tree.h"
#include "trainer/target_search.h"

namespace {

using qrv::trainer::kLosingValue;
using qrv::trainer::kTakenValue;
using synaptra::kInputCount;
using synaptra::kOutputCount;

constexpr std::uint32_t kHiddenCount = 32;
constexpr std::uint32_t kInitialSeed = 0x51A7A5EDu;

// Adam, on the mean squared error over every output of every stored position.
constexpr float kLearningRate = 0.003f;
constexpr float kBeta1 = 0.9f;
constexpr float kBeta2 = 0.999f;
constexpr float kEpsilon = 1e-8f;
constexpr int kMaxEpochs = 60000;
constexpr int kCheckEvery = 50;

// What the written network must meet: every output within kTolerance of its value, and the
// answer ahead of every other empty square by kRequiredMargin.
constexpr float kTolerance = 0.02f;
constexpr float kRequiredMargin = 0.005f;
// Training aims closer: the answer kTrainingGap ahead of the rest, squares that cannot lose at
// least kSafeFloor, so that they stay non-negative; and stops when every output is within
// kTrainingFit of its aim.
constexpr float kTrainingGap = 0.01f;
constexpr float kSafeFloor = 0.005f;
constexpr float kTrainingFit = 0.002f;

// The least the two network opponents must win, over every game.
constexpr double kNoviceWinFloor = 0.259;
constexpr double kRandomWinFloor = 0.79;

struct Sample {
    float input[kInputCount];
    std::int32_t encoded[kInputCount];
    float values[kOutputCount];
    float aims[kOutputCount];
    int answer;
};

bool IsEmpty(const Sample& sample, std::uint32_t square) {
    return sample.encoded[2 * square] == 0 && sample.encoded[2 * square + 1] == 0;
}

[[noreturn]] void Refuse(const char* why, int slot = -1) {
    if (slot >= 0) {
        std::fprintf(stderr, "qrv_trainer: stored position %d: %s; no weights written\n", slot,
                     why);
    } else {
        std::fprintf(stderr, "qrv_trainer: %s; no weights written\n", why);
    }
    std::exit(1);
}

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
        Refuse("out of memory");
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

// The gradient of the mean squared error against the aims, for the whole batch.
void Gradient(const synaptra::Network& network, const std::vector<Sample>& samples,
              std::vector<float>& gradient) {
    const Layout layout;
    std::fill(gradient.begin(), gradient.end(), 0.0f);
    const float* p = network.parameters.data();
    float* g = gradient.data();
    const float scale = 1.0f / static_cast<float>(samples.size());
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
            dy[o] = (sum - sample.aims[o]) * scale;
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
}

// Adam's moments and the powers of its betas, kept by multiplication: std::pow may round
// differently from one C library to the next, and the bytes must not.
struct Optimizer {
    std::vector<float> gradient, first, second;
    float beta1Power = 1.0f;
    float beta2Power = 1.0f;

    explicit Optimizer(std::size_t size) : gradient(size), first(size), second(size) {}

    void Step(synaptra::Network& network, const std::vector<Sample>& samples) {
        Gradient(network, samples, gradient);
        beta1Power *= kBeta1;
        beta2Power *= kBeta2;
        const float rate = kLearningRate * std::sqrt(1.0f - beta2Power) / (1.0f - beta1Power);
        for (std::size_t i = 0; i < gradient.size(); ++i) {
            first[i] = kBeta1 * first[i] + (1.0f - kBeta1) * gradient[i];
            second[i] = kBeta2 * second[i] + (1.0f - kBeta2) * gradient[i] * gradient[i];
            network.parameters[i] -= rate * first[i] / (std::sqrt(second[i]) + kEpsilon);
        }
    }
};

// The largest distance of an output from its aim, with the library's own forward pass.
float WorstFit(const synaptra::Network& network, const std::vector<Sample>& samples) {
    float worst = 0.0f;
    for (const Sample& sample : samples) {
        float scores[kOutputCount];
        synaptra::Forward(network, sample.input, scores);
        for (std::uint32_t o = 0; o < kOutputCount; ++o) {
            worst = std::fmax(worst, std::fabs(scores[o] - sample.aims[o]));
        }
    }
    return worst;
}

// What training aims at: the values, but with the answer clearly ahead of squares that come
// close to it or tie with it, and squares that cannot lose kept off zero from above.
void SetAims(Sample& sample) {
    const float best = sample.values[sample.answer];
    const float answerAim =
        std::fmin(1.0f, std::fmax(best + kTrainingGap / 2, kSafeFloor + kTrainingGap));
    for (std::uint32_t square = 0; square < kOutputCount; ++square) {
        const float value = sample.values[square];
        if (!IsEmpty(sample, square) || value < 0.0f) {
            sample.aims[square] = value;
        } else if (static_cast<int>(square) == sample.answer) {
            sample.aims[square] = answerAim;
        } else {
            sample.aims[square] = std::fmax(kSafeFloor, std::fmin(value, answerAim - kTrainingGap));
        }
    }
}

std::vector<Sample> MakeSamples(const qrv::PatternTable& table,
                                const qrv::trainer::Targets& targets) {
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
        for (std::uint32_t square = 0; square < kOutputCount; ++square) {
            sample.values[square] = static_cast<float>(targets.valuation.values[slot][square]);
        }
        sample.answer = targets.answers[slot];
        if (sample.values[sample.answer] < 0.0f) {
            Refuse("every square can lose", slot);
        }
        SetAims(sample);
        samples.push_back(sample);
    }
    return samples;
}

// Each output near its value, on the right side of zero, taken squares below the empty ones,
// and the answer the library gives is the target's, clearly ahead.
void CheckOutputs(const synaptra::Network& network, const std::vector<Sample>& samples) {
    for (std::size_t slot = 0; slot < samples.size(); ++slot) {
        const Sample& sample = samples[slot];
        const int at = static_cast<int>(slot);
        float scores[kOutputCount];
        if (!synaptra::PositionScores(network, sample.encoded, scores)) {
            Refuse("no outputs", at);
        }
        float lowestEmpty = INFINITY;
        float highestTaken = -INFINITY;
        float bestOther = -INFINITY;
        for (std::uint32_t square = 0; square < kOutputCount; ++square) {
            const float score = scores[square];
            if (!(std::fabs(score - sample.values[square]) <= kTolerance)) {
                Refuse("an output is too far from its value", at);
            }
            if (!IsEmpty(sample, square)) {
                highestTaken = std::fmax(highestTaken, score);
                continue;
            }
            lowestEmpty = std::fmin(lowestEmpty, score);
            if ((score < 0.0f) != (sample.values[square] < 0.0f)) {
                Refuse("an output is on the wrong side of zero", at);
            }
            if (static_cast<int>(square) != sample.answer) {
                bestOther = std::fmax(bestOther, score);
            }
        }
        if (!(highestTaken < lowestEmpty)) {
            Refuse("a taken square is not below every empty one", at);
        }
        if (synaptra::BestEmptySquare(network, sample.encoded) != sample.answer ||
            !(scores[sample.answer] - bestOther >= kRequiredMargin)) {
            Refuse("the answer is not clearly ahead", at);
        }
    }
}

// The network the checks ask: the trained one, as the library answers from it.
const synaptra::Network* trainedNetwork = nullptr;

int AnswerFromTrainedNetwork(const std::int32_t* input) {
    return synaptra::BestEmptySquare(*trainedNetwork, input);
}

// Both network opponents, with the trained network answering, in every possible game; and the
// values, worked out again with those answers, are the ones it was trained on.
void CheckGames(const qrv::PatternTable& table, const synaptra::Network& network,
                const qrv::trainer::Targets& targets) {
    trainedNetwork = &network;
    qrv::NetworkBinding binding;
    binding.GetNetMove = &AnswerFromTrainedNetwork;
    const qrv::OpponentResources resources{table, binding};
    const std::pair<const char*, int> opponents[] = {{"network", qrv::kNetworkOpponent},
                                                     {"genetic", qrv::kGeneticOpponent}};
    for (const auto& [name, kind] : opponents) {
        qrv::trainer::OpponentTree tree(kind, resources);
        const qrv::trainer::Outlook outlook = tree.WholeGame();
        const double novice = outlook.novice.Share(outlook.novice.wins);
        const double random = outlook.random.Share(outlook.random.wins);
        std::printf(
            "%s opponent: wins %.2f%% against the novice, %.2f%% against a random person%s\n", name,
            100 * novice, 100 * random,
            outlook.canGoWrong ? ", and can lose or fail" : ", never loses or fails");
        if (outlook.canGoWrong || novice < kNoviceWinFloor || random < kRandomWinFloor) {
            Refuse("the opponents are not as strong as they must be");
        }
    }
    if (qrv::trainer::ValueStoredPositions(table, binding).values != targets.valuation.values) {
        Refuse("the network's own answers give other values");
    }
}

void PrintTargets(const qrv::PatternTable& table, const qrv::trainer::Targets& targets) {
    for (int slot = 0; slot < qrv::kPatternCount; ++slot) {
        std::printf("position %2d  ", slot);
        for (int square = 0; square < qrv::kSquareCount; ++square) {
            const char mark = table.slots[slot][square];
            std::putchar(mark == qrv::kEmptyMark ? '*' : mark);
        }
        std::printf("  -> square %d  ", targets.answers[slot]);
        for (const double value : targets.valuation.values[slot]) {
            if (value == kTakenValue) {
                std::printf("     -");
            } else if (value == kLosingValue) {
                std::printf("  lose");
            } else {
                std::printf(" %5.1f", 100 * value);
            }
        }
        std::putchar('\n');
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
        Refuse("the stored positions could not be loaded");
    }

    std::printf("Valuing every square of the stored positions, chances of a win in %%...\n");
    const qrv::trainer::Targets targets = qrv::trainer::SearchTargets(table);
    PrintTargets(table, targets);
    if (!targets.fixedPoint) {
        Refuse("the answers do not settle");
    }
    std::printf("The answers settled after %d rounds\n", targets.rounds);

    const std::vector<Sample> samples = MakeSamples(table, targets);
    synaptra::Network network = InitialNetwork();
    Optimizer optimizer(network.parameters.size());
    int epoch = 0;
    float fit = WorstFit(network, samples);
    while (fit > kTrainingFit) {
        if (epoch == kMaxEpochs) {
            Refuse("the network does not fit the values");
        }
        for (int step = 0; step < kCheckEvery; ++step) {
            optimizer.Step(network, samples);
        }
        epoch += kCheckEvery;
        fit = WorstFit(network, samples);
        if (epoch % 1000 == 0 || fit <= kTrainingFit) {
            std::printf("epoch %5d  largest distance from the aims %.5f\n", epoch,
                        static_cast<double>(fit));
        }
    }

    // The checks read the bytes back, as the library will.
    const std::vector<unsigned char> bytes = synaptra::SerializeNetwork(network);
    synaptra::Network reloaded;
    if (synaptra::ParseNetwork(bytes.data(), bytes.size(), reloaded) !=
        synaptra::LoadError::kNone) {
        Refuse("the weights do not read back");
    }
    CheckOutputs(reloaded, samples);
    CheckGames(table, reloaded, targets);
    if (!WriteFile(output, bytes)) {
        std::fprintf(stderr, "qrv_trainer: cannot write %s\n", output);
        return 1;
    }
    std::printf("Wrote %s (%zu bytes) after %d epochs\n", output, bytes.size(), epoch);
    return 0;
}
