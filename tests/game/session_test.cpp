#include "game/session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "opponents/opponents.h"
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
    // algorithm, 't' shows the network's thinking; one update each, after the start's.
    const char* actions;
    std::vector<std::string> updates;
    // The record against the network opponent afterwards, when it matters.
    const char* record = nullptr;
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
        } else if (action == 't') {
            session.ShowThinking(true);
        } else if (action == 'g' || action == 'R') {
            session.ChooseOpponent(action == 'g' ? kGeneticOpponent : kRuleOpponent);
        } else {
            session.ClickSquare(action - '0');
        }
    }
    if (game.record != nullptr) {
        EXPECT_STREQ(DescribeRecord(kNetworkOpponent, session.Records()[1]).data(), game.record);
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
              " | " + std::string(kOpeningText) + " | New game | 012345678s"}},
        Game{"thinking",
             true,
             "t10p2p7p3p",
             {kStart, " | - |  | ", "1X | - | X on Top centre, not played yet | 1",
              "0X1  | - | X moved to Top left, not played yet | 10",
              "0X1O | - | O on Top centre. The network chose it. | 1",
              "2X | - | X on Top right, not played yet | 2",
              "2X7O | - | O on Bottom centre. No stored position matched, so a random square. | 7",
              " | - |  | ", " | - |  | ", "3X | - | X on Middle left, not played yet | 3",
              "1o3X4o7o | Game over - you lose! | O on Centre. Game over - you lose! It completed "
              "its line. | 4147s"},
             "Against the Neural Network: 0 won, 0 drawn, 1 lost"}),
    [](const ::testing::TestParamInfo<Game>& info) { return std::string(info.param.name); });

// Each way an opponent chooses, and what the view of the network's thinking says about it.
struct Choice {
    int kind;
    const char* board;  // before the computer's move
    int turn;
    std::vector<int> answers;  // the network's; none means there is no network
    const char* how;
    const char* brief;
    const char* values;  // the chosen square's entry and one other, empty without values
};

// Values in the stored position's frame: (s + 1) / 10, bottom right losing, taken ones lowest.
int FakeOutputs(const std::int32_t* input, float* outputs) {
    for (int s = 0; s < kSquareCount; ++s) {
        const bool taken = input[2 * s] != 0 || input[2 * s + 1] != 0;
        outputs[s] = taken ? -2.0F : s == 8 ? -0.5F : static_cast<float>(s + 1) / 10;
    }
    return 1;
}

class Reasons : public ::testing::TestWithParam<Choice> {};

TEST_P(Reasons, SayHowTheMoveWasChosen) {
    const Choice& choice = GetParam();
    ScriptedNetwork network(choice.answers);
    NetworkBinding binding = choice.answers.empty() ? NetworkBinding{} : network.Binding();
    binding.GetNetOutputs = choice.answers.empty() ? nullptr : &FakeOutputs;
    Thinking thinking;
    thinking.Opponent = choice.kind;
    thinking.Before = testing::MakeBoard(choice.board);
    Board board = thinking.Before;
    int outcome = 0;
    thinking.Square = ChooseComputerMove(board, choice.turn, choice.kind, outcome,
                                         {testing::StoredPatterns(), binding}, &thinking.Reason);
    ExplainMove(thinking, testing::StoredPatterns(), binding);
    EXPECT_STREQ(thinking.How.data(), choice.how);
    EXPECT_STREQ(thinking.Short.data(), choice.brief);
    std::string values;
    for (int s = 0; s < kSquareCount; ++s) {
        if (s == thinking.Square || s == 4 || s == 8) {
            values += std::string(thinking.Values[s].data()) + "; ";
        }
    }
    EXPECT_EQ(values.find_first_not_of("; ") == std::string::npos ? "" : values, choice.values);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, Reasons,
    ::testing::Values(
        Choice{kRuleOpponent,
               "OO XX   X",
               3,
               {0},
               "It completed its line.",
               "It completed its line.",
               ""},
        Choice{kRuleOpponent,
               "XX  O    ",
               2,
               {0},
               "It blocked your line.",
               "It blocked your line.",
               ""},
        Choice{kRuleOpponent,
               "    X    ",
               1,
               {0},
               "A random square: there was no line to complete or block.",
               "A random square.",
               ""},
        Choice{kNetworkOpponent,
               "XXOOOXX  ",
               4,
               {0},
               "A random square at turn 4: there was no line to complete or block.",
               "A random square at turn 4.",
               ""},
        Choice{kNetworkOpponent,
               "    X    ",
               1,
               {0},
               "Stored position 2 of 17 was found as it stands, and the network was asked.",
               "The network rated it 10%.",
               "Top left: 10%, chosen; Centre: taken; Bottom right: loses; "},
        // Slot 0 turned once: stored square 0 is square 6 and stored 8 is square 2.
        Choice{kNetworkOpponent,
               "   X     ",
               1,
               {0},
               "Stored position 1 of 17 was found turned once, and the network was asked.",
               "The network rated it 10%.",
               "Centre: 50%; Bottom left: 10%, chosen; Bottom right: 70%; "},
        Choice{kNetworkOpponent,
               "  X      ",
               1,
               {1},
               "Stored position 3 of 17 was found mirrored, and the network was asked.",
               "The network rated it 20%.",
               "Top centre: 20%, chosen; Centre: 50%; Bottom right: 70%; "},
        Choice{kNetworkOpponent,
               "XO     X ",
               2,
               {0},
               "A random square: no stored position matched the board.",
               "No stored position matched, so a random square.",
               ""},
        Choice{kNetworkOpponent,
               "   X     ",
               1,
               {1},
               "Stored position 1 of 17 was found turned once, but the network named a taken "
               "square, so a random square.",
               "The network named a taken square, so a random square.",
               ""},
        Choice{kNetworkOpponent,
               "    X    ",
               1,
               {4},
               "Stored position 2 of 17 was found as it stands, but the network named a taken "
               "square, so the Neural Network could not move.",
               "It could not move.",
               ""},
        Choice{kGeneticOpponent,
               "XO     X ",
               2,
               {0},
               "No stored position matched the board, so the Genetic Algorithm could not move.",
               "It could not move.",
               ""},
        Choice{kNetworkOpponent,
               "    X    ",
               1,
               {},
               "A random square: there is no network to ask.",
               "There is no network, so a random square.",
               ""},
        Choice{kGeneticOpponent,
               "    X    ",
               1,
               {},
               "There is no network to ask, so the Genetic Algorithm could not move.",
               "It could not move.",
               ""}));

}  // namespace
}  // namespace qrv
