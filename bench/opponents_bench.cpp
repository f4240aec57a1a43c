// How long one computer move takes, for each opponent, on positions that take each path:
// a win, a block, a stored position found directly, one found only after turning, and a
// random square.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "opponents/opponents.h"
#include "resources/pattern_strings.h"
#include "rules/random.h"

namespace qrv {
namespace {

struct Position {
    const char* name;
    const char* board;
    int turn;
};

constexpr Position kPositions[] = {
    {"win", "OO XX   X", 3},
    {"block", "XX  O    ", 2},
    {"direct", " X       ", 1},
    {"turned", "   X     ", 1},
    {"mirrored_turned", "X  X  O  ", 2},
    {"turn4_random", "XXOOOXX  ", 4},
};

struct Setup {
    PatternTable patterns;
    NetworkBinding network;

    Setup() {
        if (!LoadPatternTable(patterns, LoadPatternString, kFirstPatternId) ||
            !LoadNetworkLibrary(network, QRV_FAKE_LIBRARY_ROOT "fake_ready/")) {
            std::fprintf(stderr, "cannot set up the opponents\n");
            std::exit(1);
        }
    }
};

Setup& Shared() {
    static Setup setup;
    return setup;
}

Board ToBoard(const char* text) {
    Board board = EmptyBoard();
    for (int square = 0; square < kSquareCount; ++square) {
        board[square] = text[square];
    }
    return board;
}

void ComputerMove(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const Position& position = kPositions[state.range(1)];
    const OpponentResources resources{Shared().patterns, Shared().network};
    const Board start = ToBoard(position.board);
    SeedRandom(kInitialRandomState);
    for (auto _ : state) {
        Board board = start;
        int outcome = 0;
        const int square = ChooseComputerMove(board, position.turn, kind, outcome, resources);
        benchmark::DoNotOptimize(square);
        benchmark::DoNotOptimize(board);
    }
    state.SetLabel(position.name);
}

BENCHMARK(ComputerMove)
    ->ArgsProduct({{kRuleOpponent, kNetworkOpponent, kGeneticOpponent}, {0, 1, 2, 3, 4, 5}})
    ->ArgNames({"kind", "position"});

}  // namespace
}  // namespace qrv

BENCHMARK_MAIN();
