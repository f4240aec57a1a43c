// The network opponent's move inside the WebAssembly module, with the network linked in and its
// weights embedded as on the page: the median time of one ChooseComputerMove, in nanoseconds,
// on positions that take each of its paths. Called by bench/web/web_bench.py in Chromium.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <vector>

#include "opponents/opponents.h"
#include "resources/pattern_strings.h"
#include "rules/random.h"

namespace {

struct Position {
    const char* board;
    int turn;
};

// A win, a block, a stored position found directly, one found only after turning, one after
// mirroring and turning, and the random square of turn 4.
constexpr Position kPositions[] = {
    {"OO XX   X", 3}, {"XX  O    ", 2}, {" X       ", 1},
    {"   X     ", 1}, {"X  X  O  ", 2}, {"XXOOOXX  ", 4},
};
constexpr int kPositionCount = sizeof kPositions / sizeof kPositions[0];

qrv::PatternTable patterns;
qrv::NetworkBinding network;
volatile int sink;

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int qrv_bench_position_count() {
    return kPositionCount;
}

// The median over `batches` batches of `moves` moves each; -1 when the set-up fails.
EMSCRIPTEN_KEEPALIVE double qrv_bench_network_move(int position, int batches, int moves) {
    if (position < 0 || position >= kPositionCount || batches < 1 || moves < 1) {
        return -1;
    }
    if (!qrv::HasNetMove(network) &&
        (!qrv::LoadPatternTable(patterns, qrv::LoadPatternString, qrv::kFirstPatternId) ||
         !qrv::StartNetworkLibrary(network, nullptr))) {
        return -1;
    }
    const qrv::OpponentResources resources{patterns, network};
    qrv::Board start = qrv::EmptyBoard();
    std::copy_n(kPositions[position].board, qrv::kSquareCount, start.begin());
    std::vector<double> times;
    for (int batch = 0; batch < batches; ++batch) {
        const double begin = emscripten_get_now();
        for (int move = 0; move < moves; ++move) {
            qrv::Board board = start;
            int outcome = 0;
            sink = qrv::ChooseComputerMove(board, kPositions[position].turn, qrv::kNetworkOpponent,
                                           outcome, resources);
        }
        times.push_back((emscripten_get_now() - begin) * 1e6 / moves);
    }
    std::nth_element(times.begin(), times.begin() + batches / 2, times.end());
    return times[batches / 2];
}

}  // extern "C"
