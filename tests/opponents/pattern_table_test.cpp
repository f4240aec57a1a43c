#include "opponents/pattern_table.h"

#include "opponents/opponents.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "resources/pattern_strings.h"
#include "support/fake_network.h"

namespace qrv {
namespace {

using testing::MakeBoard;
using testing::StoredPatterns;
using testing::Text;

// A string table a test can damage, served through the lookup's contract.
std::map<unsigned, std::string> strings;

int LookUpTestString(unsigned id, char* buffer, int size) {
    const auto found = strings.find(id);
    if (found == strings.end() || size <= 0) {
        return 0;
    }
    const int length = std::min(static_cast<int>(found->second.size()), size - 1);
    std::memcpy(buffer, found->second.data(), static_cast<std::size_t>(length));
    buffer[length] = '\0';
    return length;
}

class PatternLoading : public ::testing::Test {
protected:
    void SetUp() override {
        strings.clear();
        char text[32];
        for (unsigned id = 1; id <= 17; ++id) {
            ASSERT_EQ(LoadPatternString(id, text, sizeof text), 9);
            strings[id] = text;
        }
    }
};

TEST_F(PatternLoading, LoadsTheSeventeenPositionsWithBlanksForStars) {
    PatternTable table;
    ASSERT_TRUE(LoadPatternTable(table, LookUpTestString, 1));
    EXPECT_EQ(table.count, kPatternCount);
    EXPECT_STREQ(table.slots[0].data(), " X       ");
    EXPECT_STREQ(table.slots[3].data(), "      OXX");
    EXPECT_STREQ(table.slots[16].data(), "  XO X XO");
    for (int unused = kPatternCount; unused < kPatternSlotCapacity; ++unused) {
        EXPECT_STREQ(table.slots[unused].data(), "         ");
    }
}

TEST_F(PatternLoading, RefusesDamagedStrings) {
    struct Damage {
        unsigned id;
        const char* text;  // null: the string is missing
    };
    for (const Damage& damage :
         {Damage{5, "*X**O***"}, Damage{5, "*X**O***X*"}, Damage{17, nullptr},
          Damage{1, "*X*******ABCDEFGHIJ"}, Damage{9, ""}}) {
        SetUp();
        if (damage.text == nullptr) {
            strings.erase(damage.id);
        } else {
            strings[damage.id] = damage.text;
        }
        PatternTable table;
        EXPECT_FALSE(LoadPatternTable(table, LookUpTestString, 1)) << damage.id;
        EXPECT_EQ(table.count, kPatternCount);
        // Slots before the damaged one keep their positions.
        if (damage.id > 1) {
            EXPECT_STREQ(table.slots[0].data(), " X       ");
        }
    }
    PatternTable table;
    EXPECT_FALSE(LoadPatternTable(table, nullptr, 1));
    EXPECT_FALSE(LoadPatternTable(table, LookUpTestString, 2));  // runs past id 17
}

TEST_F(PatternLoading, TranslatesOnlyStars) {
    strings[1] = " X       ";
    strings[2] = "****x****";
    PatternTable table;
    ASSERT_TRUE(LoadPatternTable(table, LookUpTestString, 1));
    EXPECT_STREQ(table.slots[0].data(), " X       ");
    EXPECT_STREQ(table.slots[1].data(), "    x    ");
    EXPECT_EQ(FindPattern(table.slots, MakeBoard("    X    "), 0, 3, 17), 17);
}

TEST(PatternSearch, StaysInsideItsWindow) {
    const PatternTable& table = StoredPatterns();
    const Board slot4 = MakeBoard(" X  O   X");
    EXPECT_EQ(FindPattern(table.slots, slot4, 3, 11, 17), 4);
    EXPECT_EQ(FindPattern(table.slots, slot4, 0, 3, 17), 17);
    EXPECT_EQ(FindPattern(table.slots, slot4, 5, 11, 17), 17);
    // The last group's stop lies past the count; the count ends the search.
    EXPECT_EQ(FindPattern(table.slots, MakeBoard("  XO X XO"), 11, 32, 17), 16);
    EXPECT_EQ(FindPattern(table.slots, MakeBoard("         "), 11, 32, 17), 17);
}

struct RotatedCase {
    const char* board;
    int slot;
    int turns;
};

class RotatedSearch : public ::testing::TestWithParam<RotatedCase> {};

TEST_P(RotatedSearch, TakesTheFewestTurnsThenTheLowestSlot) {
    const RotatedCase& c = GetParam();
    const PatternTable& table = StoredPatterns();
    const Board board = MakeBoard(c.board);
    const SearchWindow window = c.slot < 3 ? SearchWindow{0, 3} : SearchWindow{3, 11};
    int turns = -5;
    EXPECT_EQ(MatchPatternRotated(board, table.slots, turns, window.first, window.stop, 17),
              c.slot);
    EXPECT_EQ(turns, c.slot == 17 ? -5 : c.turns);
    EXPECT_EQ(Text(board), c.board);  // the caller's board is not turned
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RotatedSearch,
    ::testing::Values(RotatedCase{" X       ", 0, 0}, RotatedCase{"   X     ", 0, 1},
                      RotatedCase{"     X   ", 0, 3}, RotatedCase{"       X ", 0, 2},
                      RotatedCase{"    X    ", 1, 0}, RotatedCase{"X        ", 2, 0},
                      RotatedCase{"  X      ", 2, 3}, RotatedCase{"        X", 2, 2},
                      RotatedCase{"      X  ", 2, 1},
                      // Slot 10 after one turn and after three: one wins.
                      RotatedCase{"X   O   X", 10, 1},
                      // Mirrored only: no number of turns finds it.
                      RotatedCase{"X  X  O  ", 17, 0}));

TEST(Transformations, GiveTheBoardBack) {
    const Board board = MakeBoard("XO  X O X");
    Board turned = board;
    for (int i = 0; i < 4; ++i) {
        RotateBoard(turned);
        if (i < 3) {
            EXPECT_NE(turned, board);
        }
    }
    EXPECT_EQ(turned, board);
    Board mirrored = board;
    MirrorBoard(mirrored);
    EXPECT_EQ(Text(mirrored), " OX X X O");
    MirrorBoard(mirrored);
    EXPECT_EQ(mirrored, board);
    EXPECT_EQ(mirrored[9], '\0');
}

TEST(Transformations, QuarterTurnMovesEachMarkClockwise) {
    // The mark on square s moves to kTo[s].
    const int kTo[9] = {2, 5, 8, 1, 4, 7, 0, 3, 6};
    for (int s = 0; s < 9; ++s) {
        Board board = EmptyBoard();
        board[s] = 'X';
        RotateBoard(board);
        EXPECT_EQ(board[kTo[s]], 'X') << s;
    }
}

TEST(Transformations, UnrotateUndoesEveryTurn) {
    for (int s = 0; s < 9; ++s) {
        if (s == 4) {
            continue;
        }
        for (int k = 1; k <= 3; ++k) {
            Board board = EmptyBoard();
            board[s] = 'X';
            for (int i = 0; i < k; ++i) {
                RotateBoard(board);
            }
            int q = static_cast<int>(Text(board).find('X'));
            UnrotateSquare(k, q);
            EXPECT_EQ(q, s) << "square " << s << " turns " << k;
        }
    }
    int centre = 4;
    UnrotateSquare(2, centre);
    EXPECT_EQ(centre, 4);
    int untouched = 0;
    UnrotateSquare(0, untouched);
    EXPECT_EQ(untouched, 0);
}

TEST(Transformations, MirrorSquareSwapsColumns) {
    const int kMirror[9] = {2, 1, 0, 5, 4, 3, 8, 7, 6};
    for (int s = 0; s < 9; ++s) {
        EXPECT_EQ(MirrorSquare(s), kMirror[s]);
        EXPECT_EQ(MirrorSquare(MirrorSquare(s)), s);
    }
    EXPECT_EQ(MirrorSquare(-1), -1);
}

TEST(Transformations, MappingBackExample) {
    // X on 0 and 3, O on 6: mirrored it equals slot 3 after one turn, and an answer of 0 in
    // slot 3's frame lands on square 8 of the real board.
    const PatternTable& table = StoredPatterns();
    Board board = MakeBoard("X  X  O  ");
    int turns = 0;
    EXPECT_EQ(MatchPatternRotated(board, table.slots, turns, 3, 11, 17), 17);
    MirrorBoard(board);
    EXPECT_EQ(MatchPatternRotated(board, table.slots, turns, 3, 11, 17), 3);
    EXPECT_EQ(turns, 1);
    int square = 0;
    UnrotateSquare(turns, square);
    EXPECT_EQ(MirrorSquare(square), 8);
}

}  // namespace
}  // namespace qrv
