// How often each opponent wins, draws, loses and fails against a novice and against a random
// person: exact chances over every possible game, with the real library and the committed
// weights, beside the best that a computer which never loses can do.
//   build/release/bench/qrv_strength_table
#include <cstdio>
#include <string>

#include "opponents/opponents.h"
#include "opponents/pattern_table.h"
#include "resources/pattern_strings.h"
#include "trainer/game_tree.h"

namespace {

using qrv::trainer::Ends;
using qrv::trainer::Person;

// "0" for none at all, so that a share that rounds to 0.0% still shows.
std::string Percent(const Ends& ends, std::uint64_t part) {
    if (part == 0) {
        return "0";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", 100.0 * ends.Share(part));
    return text;
}

std::string Cell(const Ends& ends) {
    return Percent(ends, ends.wins) + " / " + Percent(ends, ends.draws) + " / " +
           Percent(ends, ends.losses) + " / " + Percent(ends, ends.failures);
}

void Row(const char* name, const Ends& novice, const Ends& random) {
    std::printf("| %s | %s | %s |\n", name, Cell(novice).c_str(), Cell(random).c_str());
}

}  // namespace

int main() {
    qrv::PatternTable patterns;
    qrv::NetworkBinding network;
    if (!qrv::LoadPatternTable(patterns, qrv::LoadPatternString, qrv::kFirstPatternId) ||
        !qrv::LoadNetworkLibrary(network, QRV_GAME_DIR "/")) {
        std::fprintf(stderr, "qrv_strength_table: no network library with its weights in %s\n",
                     QRV_GAME_DIR);
        return 1;
    }
    const qrv::OpponentResources resources{patterns, network};
    std::printf(
        "| Opponent | vs a novice person: O wins / draws / O loses / fails "
        "| vs a random person: O wins / draws / O loses / fails |\n|---|---|---|\n");
    const std::pair<const char*, int> opponents[] = {{"random-number", qrv::kRuleOpponent},
                                                     {"network", qrv::kNetworkOpponent},
                                                     {"genetic", qrv::kGeneticOpponent}};
    for (const auto& [name, kind] : opponents) {
        qrv::trainer::OpponentTree tree(kind, resources);
        const qrv::trainer::Outlook outlook = tree.WholeGame();
        Row(name, outlook.novice, outlook.random);
    }
    Row("the limit: the best O that never loses", qrv::trainer::LimitOfTheGame(Person::kNovice),
        qrv::trainer::LimitOfTheGame(Person::kRandom));
    qrv::ReleaseNetworkLibrary(network);
    return 0;
}
