// The browser front end's half in the module: the game core behind the few calls that the page
// script makes, and the two screen requests, which the page carries out.
#include <emscripten/emscripten.h>

#include <cstdint>

#include "game/game_state.h"
#include "game/square_name.h"
#include "netlib/network_binding.h"
#include "opponents/pattern_table.h"
#include "resources/pattern_strings.h"
#include "rules/random.h"

namespace {

// clang-format off
EM_JS(void, PageRepaintSquare, (int square, int mark, int highlighted, const char* name), {
    Module["repaintSquare"](square, String.fromCharCode(mark), highlighted != 0,
                            UTF8ToString(name));
});
EM_JS(void, PageNameSquare, (int square, const char* name), {
    Module["nameSquare"](square, UTF8ToString(name));
});
EM_JS(void, PageSetStatusText, (const char* text), {
    Module["setStatusText"](UTF8ToString(text));
});
EM_JS(void, PageSetLabels, (const char* boardName, const char* statusName), {
    Module["setLabels"](UTF8ToString(boardName), UTF8ToString(statusName));
});
EM_JS(void, PageReportLibraryFailure, (), {
    Module["reportLibraryFailure"]();
});
// clang-format on

class PageScreen final : public qrv::GameScreen {
public:
    void RepaintSquare(int square) override;
    void SetStatusText(const char* text) override { PageSetStatusText(text); }
};

// One game, one pattern table and one library binding per page, as the game core expects.
qrv::GameState game;
qrv::PatternTable patterns;
qrv::NetworkBinding network;
PageScreen screen;
bool hasGame = false;

void PageScreen::RepaintSquare(int square) {
    if (!qrv::IsSquare(square)) {
        return;
    }
    const qrv::SquareName name = qrv::DescribeSquare(game, square);
    PageRepaintSquare(square, static_cast<unsigned char>(game.Board[square]),
                      game.Highlighted[square] ? 1 : 0, name.data());
}

// The game commits the pending X, or ends the game under it, without repainting that square:
// after every operation each square's name is brought up to date.
void NameSquares() {
    for (int square = 0; square < qrv::kSquareCount; ++square) {
        PageNameSquare(square, qrv::DescribeSquare(game, square).data());
    }
}

void ReportLibraryFailure(const qrv::LoadFailure& /*failure*/) {
    PageReportLibraryFailure();
}

}  // namespace

extern "C" {

// Sets the game up in the Windows program's order: the stored positions, the network library
// (which seeds the random source from the clock), then the game. A seed other than the clock's,
// for tests, replaces it before the first move. False when the stored positions are damaged.
EMSCRIPTEN_KEEPALIVE int qrv_start(int useSeed, std::uint32_t seed) {
    if (hasGame) {
        return 1;
    }
    if (!qrv::LoadPatternTable(patterns, qrv::LoadPatternString, qrv::kFirstPatternId)) {
        return 0;
    }
    qrv::StartNetworkLibrary(network, ReportLibraryFailure);
    if (useSeed != 0) {
        qrv::SeedRandom(seed);
    }
    PageSetLabels(qrv::kBoardName, qrv::kStatusName);
    qrv::InitGameState(game, screen, patterns, network);
    hasGame = true;
    // The page's squares are drawn for the first time now, as a window's are when it is shown.
    for (int square = 0; square < qrv::kSquareCount; ++square) {
        screen.RepaintSquare(square);
    }
    return 1;
}

EMSCRIPTEN_KEEPALIVE void qrv_click_square(int square) {
    if (hasGame && qrv::CanSelectSquare(game, square)) {
        qrv::SelectSquare(game, square);
        NameSquares();
    }
}

EMSCRIPTEN_KEEPALIVE void qrv_play_o() {
    if (hasGame) {
        qrv::PlayComputerMove(game);
        NameSquares();
    }
}

EMSCRIPTEN_KEEPALIVE void qrv_reset() {
    if (hasGame) {
        qrv::NewGame(game);
    }
}

// A choice in the File menu: the opponent, then a new game against it.
EMSCRIPTEN_KEEPALIVE void qrv_choose_opponent(int kind) {
    if (hasGame) {
        qrv::SetOpponent(game, kind);
        qrv::NewGame(game);
    }
}

}  // extern "C"
