#include "support/fake_network.h"

#include <cstdlib>

#include "resources/pattern_strings.h"
#include "rules/random.h"

namespace qrv::testing {

namespace {

// The binding's entry point is a plain function; it reaches the one live script through here.
ScriptedNetwork* activeNetwork = nullptr;
std::vector<int>* activeAnswers = nullptr;
std::vector<std::string>* activeAsked = nullptr;

}  // namespace

ScriptedNetwork::ScriptedNetwork(std::vector<int> answers) : answers_(std::move(answers)) {
    if (activeNetwork != nullptr) {
        std::abort();  // one scripted network at a time
    }
    activeNetwork = this;
    activeAnswers = &answers_;
    activeAsked = &asked_;
    binding_.GetNetMove = &ScriptedNetwork::Answer;
}

ScriptedNetwork::~ScriptedNetwork() {
    activeNetwork = nullptr;
    activeAnswers = nullptr;
    activeAsked = nullptr;
}

int ScriptedNetwork::Answer(const std::int32_t* input) {
    std::string position(kSquareCount, ' ');
    for (int square = 0; square < kSquareCount; ++square) {
        if (input[2 * square] == 1) {
            position[square] = 'O';
        } else if (input[2 * square + 1] == 1) {
            position[square] = 'X';
        }
    }
    const std::size_t call = activeAsked->size();
    activeAsked->push_back(position);
    const std::vector<int>& answers = *activeAnswers;
    if (answers.empty()) {
        return static_cast<int>(position.find(' '));
    }
    return answers[call < answers.size() ? call : answers.size() - 1];
}

const PatternTable& StoredPatterns() {
    static const PatternTable table = [] {
        PatternTable loaded;
        if (!LoadPatternTable(loaded, LoadPatternString, kFirstPatternId)) {
            std::abort();
        }
        return loaded;
    }();
    return table;
}

Board MakeBoard(const char* nine) {
    Board board = EmptyBoard();
    for (int square = 0; square < kSquareCount && nine[square] != '\0'; ++square) {
        board[square] = nine[square];
    }
    return board;
}

std::string Text(const Board& board) {
    return std::string(board.data(), kSquareCount);
}

void SeedForDraw(int emptyCount, int k) {
    // The first value after seed s is ((s * 214013 + 2531011) >> 16) & 0x7FFF; a small search
    // finds a seed for every remainder.
    for (std::uint32_t seed = 0;; ++seed) {
        const std::uint32_t next = seed * 214013u + 2531011u;
        if (static_cast<int>((next >> 16) & 0x7FFFu) % emptyCount == k) {
            SeedRandom(seed);
            return;
        }
    }
}

}  // namespace qrv::testing
