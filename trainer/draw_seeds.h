// Seeds that steer the game's random source: after SeedRandom(DrawSeed(count, k)) the next
// random empty square among `count` empty squares is the k-th of them. Lets a search follow
// every square a random draw could choose.
#pragma once

#include <array>
#include <cstdint>

#include "rules/random.h"

namespace qrv::trainer {

inline std::uint32_t DrawSeed(int count, int k) {
    static const auto seeds = [] {
        std::array<std::array<std::uint32_t, 9>, 10> table{};
        for (int n = 1; n <= 9; ++n) {
            int found = 0;
            for (std::uint32_t seed = 1; found < n; ++seed) {
                qrv::SeedRandom(seed);
                const int drawn = qrv::NextRandom() % n;
                if (table[n][drawn] == 0) {
                    table[n][drawn] = seed;
                    ++found;
                }
            }
        }
        return table;
    }();
    return seeds[count][k];
}

}  // namespace qrv::trainer
