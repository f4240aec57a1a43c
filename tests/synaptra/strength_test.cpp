// The proof that the network-based opponents never lose: every possible game, played through
// the game's own operations against the real library and the committed weights.
#include <gtest/gtest.h>

#include <cstdio>

#include "game/game_state.h"
#include "game_sweep.h"
#include "opponents/pattern_table.h"
#include "resources/pattern_strings.h"
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
}

TEST_F(EveryGame, TheGeneticOpponentNeverLosesAndNeverFails) {
    const SweepCounts counts = Sweep(qrv::kGeneticOpponent, "Genetic algorithm");
    EXPECT_GT(counts.games, 0u);
    EXPECT_EQ(counts.personWins, 0u);
    EXPECT_EQ(counts.errors, 0u);
}

TEST_F(EveryGame, TheRandomNumberOpponentCanLoseAndTheSweepSeesIt) {
    // Its counts are information; that it loses some games shows the sweep finds losses.
    const SweepCounts counts = Sweep(qrv::kRuleOpponent, "Random number generator");
    EXPECT_GT(counts.personWins, 0u);
    EXPECT_GT(counts.computerWins, 0u);
    EXPECT_EQ(counts.errors, 0u);
}

TEST_F(EveryGame, AgreesWithTheTrainersOwnCountOfTheSameTree) {
    // Two walks of one game tree: the trainer's, over boards with its table of targets, and
    // this one, through the game state and the trained library. They only agree when the
    // library answers every stored position as the targets say.
    qrv::PatternTable table;
    ASSERT_TRUE(qrv::LoadPatternTable(table, qrv::LoadPatternString, qrv::kFirstPatternId));
    const qrv::trainer::TargetSearchResult search = qrv::trainer::SearchTargets(table);
    ASSERT_TRUE(search.found);
    const qrv::trainer::TreeCheck check = qrv::trainer::CheckTargets(table, search.targets);
    ASSERT_TRUE(check.safe);
    const SweepCounts network = SweepAllGames(qrv::kNetworkOpponent, patterns_, network_);
    const SweepCounts genetic = SweepAllGames(qrv::kGeneticOpponent, patterns_, network_);
    EXPECT_EQ(network.games + genetic.games, check.games);
    EXPECT_EQ(network.computerWins + genetic.computerWins, check.computerWins);
    EXPECT_EQ(network.draws + genetic.draws, check.draws);
}

}  // namespace
