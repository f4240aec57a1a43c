// The proof that the network-based opponents never lose: every possible game, played through
// the game's own operations against the real library and the committed weights; and how often
// they win, as exact chances over the same games.
#include <gtest/gtest.h>

#include <cstdio>

#include "game/game_state.h"
#include "game_sweep.h"
#include "opponents/pattern_table.h"
#include "resources/pattern_strings.h"
#include "trainer/game_tree.h"
#include "trainer/target_search.h"

namespace {

using qrv::testing::SweepAllGames;
using qrv::testing::SweepCounts;

class EveryGame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(qrv::LoadPatternTable(patterns_, qrv::LoadPatternString, qrv::kFirstPatternId));
        ASSERT_TRUE(qrv::LoadNetworkLibrary(network_, QRV_GAME_DIR "/"));
    }
    static void TearDownTestSuite() { qrv::ReleaseNetworkLibrary(network_); }

    static SweepCounts Sweep(int kind, const char* name) {
        const SweepCounts counts = SweepAllGames(kind, patterns_, network_);
        std::printf(
            "%-22s %7llu games, %7llu computer wins, %7llu draws, %7llu person wins, "
            "%llu errors\n",
            name, static_cast<unsigned long long>(counts.games),
            static_cast<unsigned long long>(counts.computerWins),
            static_cast<unsigned long long>(counts.draws),
            static_cast<unsigned long long>(counts.personWins),
            static_cast<unsigned long long>(counts.errors));
        EXPECT_EQ(counts.games,
                  counts.computerWins + counts.draws + counts.personWins + counts.errors);
        return counts;
    }

    static qrv::trainer::Outlook Chances(int kind, const qrv::NetworkBinding& network) {
        const qrv::OpponentResources resources{patterns_, network};
        return qrv::trainer::OpponentTree(kind, resources).WholeGame();
    }

    // At the limit of 26.0% against the novice; the random person is beaten 79% of the time.
    static void ExpectTheFloors(int kind) {
        const qrv::trainer::Outlook chances = Chances(kind, network_);
        EXPECT_FALSE(chances.canGoWrong);
        EXPECT_GE(chances.novice.Share(chances.novice.wins), 0.259);
        EXPECT_GE(chances.random.Share(chances.random.wins), 0.79);
        EXPECT_EQ(chances.novice.losses + chances.novice.failures, 0u);
    }

    static qrv::PatternTable patterns_;
    static qrv::NetworkBinding network_;
};

qrv::PatternTable EveryGame::patterns_;
qrv::NetworkBinding EveryGame::network_;

TEST_F(EveryGame, TheNetworkOpponentNeverLosesAndNeverFails) {
    const SweepCounts counts = Sweep(qrv::kNetworkOpponent, "Neural network");
    EXPECT_GT(counts.games, 0u);
    EXPECT_EQ(counts.personWins, 0u);
    EXPECT_EQ(counts.errors, 0u);
    ExpectTheFloors(qrv::kNetworkOpponent);
}

TEST_F(EveryGame, TheGeneticOpponentNeverLosesAndNeverFails) {
    const SweepCounts counts = Sweep(qrv::kGeneticOpponent, "Genetic algorithm");
    EXPECT_GT(counts.games, 0u);
    EXPECT_EQ(counts.personWins, 0u);
    EXPECT_EQ(counts.errors, 0u);
    ExpectTheFloors(qrv::kGeneticOpponent);
}

TEST_F(EveryGame, TheRandomNumberOpponentCanLoseAndTheSweepSeesIt) {
    // Its counts are information; that it loses some games shows the sweep finds losses.
    const SweepCounts counts = Sweep(qrv::kRuleOpponent, "Random number generator");
    EXPECT_GT(counts.personWins, 0u);
    EXPECT_GT(counts.computerWins, 0u);
    EXPECT_EQ(counts.errors, 0u);
}

TEST_F(EveryGame, AgreesWithTheTrainersOwnAnswers) {
    // The trainer's answers, asked without the library, give the very same chances: the
    // library answers every position the opponents ask as the trainer decided.
    const qrv::trainer::Targets targets = qrv::trainer::SearchTargets(patterns_);
    ASSERT_TRUE(targets.fixedPoint);
    const qrv::NetworkBinding answers = qrv::trainer::AnsweringNetwork(patterns_, targets.answers);
    for (int kind : {qrv::kNetworkOpponent, qrv::kGeneticOpponent}) {
        const qrv::trainer::Outlook library = Chances(kind, network_);
        const qrv::trainer::Outlook trainer = Chances(kind, answers);
        EXPECT_EQ(library.novice, trainer.novice) << kind;
        EXPECT_EQ(library.random, trainer.random) << kind;
    }
}

}  // namespace
