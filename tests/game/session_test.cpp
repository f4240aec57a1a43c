#include "game/session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resources/pattern_strings.h"
#include "support/fake_network.h"

namespace qrv {
namespace {

using testing::ScriptedNetwork;

// The session's network is the test's scripted one, or none at all.
const NetworkBinding* scripted = nullptr;
bool UseScripted(NetworkBinding& binding, LoadFailure& failure) {
    if (scripted == nullptr) {
        std::snprintf(failure.Reason, sizeof failure.Reason, "no network");
        return false;
    }
    binding = *scripted;
    return true;
}

// Each update as one line: the changed squares ("4X" a mark, "4x" a highlighted one, "4 " an
// empty square), the status set or "-", the sentence, and the game's repaint ("4") and status
// ("s") requests as they were forwarded during the operation.
class Recorder final : public SessionView {
public:
    explicit Recorder(const Session& session) : session_(session) {}

    void ShowUpdate(const SessionUpdate& update) override {
        std::string line;
        for (int k = 0; k < update.SquareCount; ++k) {
            const SquareChange& change = update.Squares[k];
            line += std::to_string(change.Square);
            line += change.Highlighted ? static_cast<char>(change.Mark + 'a' - 'A') : change.Mark;
            // Each name is the square's name once the operation is done.
            EXPECT_STREQ(change.Name.data(), session_.Name(change.Square).data()) << line;
        }
        line += " | ";
        line += update.StatusText != nullptr ? update.StatusText : "-";
        line += " | ";
        line += update.Spoken.data();
        line += " | " + requests;
        lines.push_back(line);
        requests.clear();
    }
    void RepaintSquareNow(int square) override { requests += std::to_string(square); }
    void SetStatusTextNow(const char*) override { requests += 's'; }

    std::vector<std::string> lines;
    std::string requests;  // the game's requests since the last update, in their order

private:
    const Session& session_;
};

struct Game {
    const char* name;
    bool withNetwork;
    // A digit clicks that square, 'p' presses "Play O", 'r' "Reset", 'g' chooses the genetic
    // algorithm; one update each, after the start's.
    const char* actions;
    std::vector<std::string> updates;
};

class SessionGames : public ::testing::TestWithParam<Game> {};

TEST_P(SessionGames, TellTheViewWhatEachOperationChanged) {
    const Game& game = GetParam();
    ScriptedNetwork network;  // answers the first empty square
    scripted = game.withNetwork ? &network.Binding() : nullptr;
    Session session;
    Recorder view(session);
    SessionSetup setup;
    setup.PatternStrings = LoadPatternString;
    setup.FirstPatternId = kFirstPatternId;
    setup.StartNetwork = UseScripted;
    setup.UseSeed = true;
    setup.Seed = 20240517;
    const LoadFailure* failure = session.Start(view, setup);
    EXPECT_EQ(failure == nullptr, game.withNetwork);
    for (const char action : std::string(game.actions)) {
        if (action == 'p') {
            session.PlayO();
        } else if (action == 'r') {
            session.Reset();
        } else if (action == 'g' || action == 'R') {
            session.ChooseOpponent(action == 'g' ? kGeneticOpponent : kRuleOpponent);
        } else {
            session.ClickSquare(action - '0');
        }
    }
    session.ShutDown();
    session.ClickSquare(8);  // after the shutdown: nothing
    EXPECT_EQ(view.lines, game.updates);
}

const std::string kStart = "0 1 2 3 4 5 6 7 8  | " + std::string(kOpeningText) + " |  | s";

INSTANTIATE_TEST_SUITE_P(
    Games, SessionGames,
    ::testing::Values(
        Game{"won",
             true,
             "Rr0p4p2p6",
             {kStart, " | - |  | ",
              " | " + std::string(kOpeningText) +
                  " | New game against the Random Number Generator | 012345678s",
              "0X | - | X on Top left, not played yet | 0", "0X3O | - | O on Middle left | 3",
              "4X | - | X on Centre, not played yet | 4",
              "4X8O | Blocked you there! | O on Bottom right. Blocked you there! | 8s",
              "2X | - | X on Top right, not played yet | 2",
              "1O2X | Blocked you there! | O on Top centre. Blocked you there! | 1s",
              "2x4x6x | Game over - you win! | X on Bottom left. Game over - you win! | 6246s"}},
        Game{"lost",
             true,
             "10p2p7p3p5",
             {kStart, "1X | - | X on Top centre, not played yet | 1",
              "0X1  | - | X moved to Top left, not played yet | 10",
              "0X1O | - | O on Top centre | 1", "2X | - | X on Top right, not played yet | 2",
              "2X7O | - | O on Bottom centre | 7", " | - |  | ", " | - |  | ",
              "3X | - | X on Middle left, not played yet | 3",
              "1o3X4o7o | Game over - you lose! | O on Centre. Game over - you lose! | 4147s",
              " | - |  | "}},
        Game{"drawn",
             true,
             "4p8p2p3p5p1",
             {kStart, "4X | - | X on Centre, not played yet | 4", "0O4X | - | O on Top left | 0",
              "8X | - | X on Bottom right, not played yet | 8", "7O8X | - | O on Bottom centre | 7",
              "2X | - | X on Top right, not played yet | 2",
              "2X5O | Blocked you there! | O on Middle right. Blocked you there! | 5s",
              "3X | - | X on Middle left, not played yet | 3",
              "3X6O | Give up - it's a drawn game! | O on Bottom left. Give up - it's a drawn "
              "game! | 6s",
              " | - |  | ", " | - |  | ",
              "1X | Give up - it's a drawn game! | X on Top centre. Give up - it's a drawn game! | "
              "1s"}},
        Game{"error",
             false,
             "g4p4p0rr",
             {kStart, " | - |  | ", "4X | - | X on Centre, not played yet | 4",
              "4X | I'm sorry, there was some kind of an error... | I'm sorry, there was some kind "
              "of an error... | s",
              " | - |  | ", " | - |  | ", " | - |  | ",
              "4  | Your move. Click on a square, then 'Play O'... | New game against the Genetic "
              "Algorithm | 012345678s",
              " | " + std::string(kOpeningText) + " | New game | 012345678s"}}),
    [](const ::testing::TestParamInfo<Game>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrv
