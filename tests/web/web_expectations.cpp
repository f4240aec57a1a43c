// What the web page must show: plays the page's clicks on the native core with the real network
// library and its committed weights, from the same seed, for the browser test.
//
//   qrv_web_expect SEED KIND ACTIONS   the screen after the clicks
//   qrv_web_expect SEED KIND =TEXT     the same after the first clicks that end with TEXT
//
// The screen is printed a line each: the clicks, the nine marks, the nine highlight flags (0 or
// 1), the status text and the nine squares' names.
// ACTIONS: a digit clicks that square, 'p' presses "Play O", 'r' presses "Reset"; the opponent
// KIND is chosen first, as from the File menu.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/game_state.h"
#include "game/square_name.h"
#include "resources/pattern_strings.h"
#include "rules/random.h"

namespace {

class Screen final : public qrv::GameScreen {
public:
    void RepaintSquare(int) override {}
    void SetStatusText(const char* text) override { status = text; }
    std::string status;
};

qrv::PatternTable patterns;
qrv::NetworkBinding network;

struct Play {
    qrv::GameState game;
    Screen screen;
};

// The page's set-up and clicks, in its order: the seed replaces the clock's before the game.
void Replay(Play& play, std::uint32_t seed, int kind, const std::string& actions) {
    qrv::SeedRandom(seed);
    play.game = qrv::GameState{};
    qrv::InitGameState(play.game, play.screen, patterns, network);
    qrv::SetOpponent(play.game, kind);
    qrv::NewGame(play.game);
    for (const char action : actions) {
        if (action == 'p') {
            qrv::PlayComputerMove(play.game);
        } else if (action == 'r') {
            qrv::NewGame(play.game);
        } else if (qrv::CanSelectSquare(play.game, action - '0')) {
            qrv::SelectSquare(play.game, action - '0');
        }
    }
}

// Depth first over the person's squares, lowest first.
bool Find(std::uint32_t seed, int kind, const std::string& text, std::string& actions) {
    for (int square = 0; square < qrv::kSquareCount; ++square) {
        Play play;
        Replay(play, seed, kind, actions);
        if (!qrv::CanSelectSquare(play.game, square)) {
            continue;
        }
        for (const char* step : {"", "p"}) {
            std::string next = actions + static_cast<char>('0' + square) + step;
            Replay(play, seed, kind, next);
            if (play.game.Turn == qrv::kGameOver) {
                if (play.screen.status == text) {
                    actions = next;
                    return true;
                }
                break;
            }
            if (*step != '\0' && Find(seed, kind, text, next)) {
                actions = next;
                return true;
            }
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: qrv_web_expect SEED KIND ACTIONS|=TEXT\n");
        return 2;
    }
    if (!qrv::LoadPatternTable(patterns, qrv::LoadPatternString, qrv::kFirstPatternId) ||
        !qrv::LoadNetworkLibrary(network, QRV_GAME_DIR "/")) {
        std::fprintf(stderr, "qrv_web_expect: cannot load the stored positions or the library\n");
        return 1;
    }
    const auto seed = static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10));
    const int kind = std::atoi(argv[2]);
    std::string actions = argv[3];
    if (actions[0] == '=') {
        const std::string text = actions.substr(1);
        actions.clear();
        if (!Find(seed, kind, text, actions)) {
            std::fprintf(stderr, "qrv_web_expect: no game ends with \"%s\"\n", text.c_str());
            return 1;
        }
    }
    Play play;
    Replay(play, seed, kind, actions);
    std::string marks, highlighted;
    for (int square = 0; square < qrv::kSquareCount; ++square) {
        marks += play.game.Board[square];
        highlighted += play.game.Highlighted[square] ? '1' : '0';
    }
    std::printf("%s\n%s\n%s\n%s\n", actions.c_str(), marks.c_str(), highlighted.c_str(),
                play.screen.status.c_str());
    for (int square = 0; square < qrv::kSquareCount; ++square) {
        std::printf("%s\n", qrv::DescribeSquare(play.game, square).data());
    }
    qrv::ReleaseNetworkLibrary(network);
    return 0;
}
