// The network library in use: one GetNetMove call, one whole move of the network opponent, and
// every possible game against each opponent. Run from the release build:
//   build/release/bench/qrv_synaptra_bench --benchmark_repetitions=10
//       --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "game_sweep.h"
#include "netlib/network_binding.h"
#include "opponents/opponents.h"
#include "opponents/pattern_table.h"
#include "resources/pattern_strings.h"

namespace {

struct Setup {
    qrv::PatternTable patterns;
    qrv::NetworkBinding network;

    Setup() {
        if (!qrv::LoadPatternTable(patterns, qrv::LoadPatternString, qrv::kFirstPatternId) ||
            !qrv::LoadNetworkLibrary(network, QRV_GAME_DIR "/")) {
            std::abort();  // no figures without the real library and weights
        }
    }
};

Setup& Shared() {
    static Setup setup;
    return setup;
}

qrv::Board BoardOf(const char* squares) {
    qrv::Board board = qrv::EmptyBoard();
    std::memcpy(board.data(), squares, qrv::kSquareCount);
    return board;
}

void BM_GetNetMove(benchmark::State& state) {
    Setup& setup = Shared();
    std::vector<qrv::NetInput> inputs;
    for (int slot = 0; slot < qrv::kPatternCount; ++slot) {
        inputs.push_back(qrv::EncodeNetInput(BoardOf(setup.patterns.slots[slot].data())));
    }
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(setup.network.GetNetMove(inputs[next].data()));
        next = next + 1 == inputs.size() ? 0 : next + 1;
    }
}
BENCHMARK(BM_GetNetMove);

// The network opponent's whole move, through the dispatch, on boards that need the network:
// found unchanged, found mirrored, found only after turning.
struct MoveCase {
    const char* board;
    int turn;
};
constexpr MoveCase kMoveCases[] = {
    {" X       ", 1},  // stored position 0 as it stands
    {"  X      ", 1},  // stored position 2 mirrored
    {"   X     ", 1},  // stored position 0 after one quarter turn
    {"X   X   O", 2},  // stored position 6 as it stands
    {"X   O   X", 2},  // stored position 10 after one quarter turn
};

void BM_NetworkOpponentMove(benchmark::State& state) {
    Setup& setup = Shared();
    const MoveCase& move = kMoveCases[state.range(0)];
    const qrv::Board start = BoardOf(move.board);
    const qrv::OpponentResources resources{setup.patterns, setup.network};
    for (auto _ : state) {
        qrv::Board board = start;
        int outcome = 0;
        benchmark::DoNotOptimize(
            qrv::ChooseComputerMove(board, move.turn, qrv::kNetworkOpponent, outcome, resources));
        benchmark::DoNotOptimize(board);
    }
    state.SetLabel(move.board);
}
BENCHMARK(BM_NetworkOpponentMove)->DenseRange(0, std::size(kMoveCases) - 1);

void BM_EveryGame(benchmark::State& state) {
    Setup& setup = Shared();
    const int kind = static_cast<int>(state.range(0));
    std::uint64_t games = 0;
    for (auto _ : state) {
        games = qrv::testing::SweepAllGames(kind, setup.patterns, setup.network).games;
    }
    state.counters["games"] = static_cast<double>(games);
}
BENCHMARK(BM_EveryGame)
    ->Arg(qrv::kRuleOpponent)
    ->Arg(qrv::kNetworkOpponent)
    ->Arg(qrv::kGeneticOpponent)
    ->Unit(benchmark::kMillisecond);

// The whole exhaustive sweep: all three opponents in a row.
void BM_EveryGameAllOpponents(benchmark::State& state) {
    Setup& setup = Shared();
    for (auto _ : state) {
        for (int kind : {qrv::kRuleOpponent, qrv::kNetworkOpponent, qrv::kGeneticOpponent}) {
            benchmark::DoNotOptimize(
                qrv::testing::SweepAllGames(kind, setup.patterns, setup.network));
        }
    }
}
BENCHMARK(BM_EveryGameAllOpponents)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
