#include "trainer/game_tree.h"

#include <algorithm>

#include "trainer/draw_seeds.h"

namespace qrv::trainer {

namespace {

constexpr int kBoardCodes = 19683;  // 3 to the 9th: every filling of the board

int BoardCode(const Board& board) {
    int code = 0;
    for (int square = kSquareCount - 1; square >= 0; --square) {
        const char mark = board[square];
        code = 3 * code + (mark == kPersonMark ? 1 : mark == kComputerMark ? 2 : 0);
    }
    return code;
}

int CountMarks(const Board& board, char mark) {
    return static_cast<int>(std::count(board.begin(), board.begin() + kSquareCount, mark));
}

std::uint64_t Factorial(int n) {
    std::uint64_t product = 1;
    for (int k = 2; k <= n; ++k) {
        product *= static_cast<std::uint64_t>(k);
    }
    return product;
}

// The square a novice is bound to take, or kNoSquare when it chooses at random. Of several
// lines it takes the first; which one makes no difference to how the game ends, since a second
// line of O that it leaves open is completed on the computer's next move.
int NoviceSquare(const Board& board) {
    const int completes = FindOpenSquareInLine(board, kSumTwoXOpen);
    return completes != kNoSquare ? completes : FindOpenSquareInLine(board, kSumTwoOOpen);
}

bool IsLineCode(int outcome) {
    return outcome >= kFirstLineCode && outcome <= kLastLineCode;
}

// The person's side of a position, given how the game goes on after each square; the same for
// the real opponents and for the limit.
template <typename AfterSquare>
Outlook PersonChooses(const Board& board, AfterSquare afterSquare) {
    const int empty = CountMarks(board, kEmptyMark);
    const int turn = CountMarks(board, kPersonMark) + 1;
    Outlook outlook;
    Ends noviceAfter[kSquareCount];
    for (int square = 0; square < kSquareCount; ++square) {
        if (board[square] != kEmptyMark) {
            continue;
        }
        Board next = board;
        next[square] = kPersonMark;
        int outcome = kOutcomeNone;
        const int check = CheckHumanMove(next, turn, outcome);
        Outlook after;
        if (check == kHumanWon) {
            after.random.losses = after.novice.losses = Factorial(empty - 1);
            after.canGoWrong = true;
        } else if (check == kHumanDrew) {
            after.random.draws = after.novice.draws = Factorial(empty - 1);
        } else {
            after = afterSquare(next, turn);
        }
        outlook.random += after.random;
        outlook.novice += after.novice;
        outlook.canGoWrong = outlook.canGoWrong || after.canGoWrong;
        noviceAfter[square] = after.novice;
    }
    const int bound = NoviceSquare(board);
    if (bound != kNoSquare) {
        outlook.novice = noviceAfter[bound].Times(static_cast<std::uint64_t>(empty));
    }
    return outlook;
}

}  // namespace

Ends& Ends::operator+=(const Ends& other) {
    wins += other.wins;
    draws += other.draws;
    losses += other.losses;
    failures += other.failures;
    return *this;
}

Ends Ends::Times(std::uint64_t factor) const {
    return {wins * factor, draws * factor, losses * factor, failures * factor};
}

OpponentTree::OpponentTree(int kind, const OpponentResources& resources)
    : kind_(kind), resources_(resources), memo_(kBoardCodes) {}

const Outlook& OpponentTree::PersonToMove(const Board& board) {
    std::optional<Outlook>& known = memo_[BoardCode(board)];
    if (!known) {
        known = PersonChooses(
            board, [this](const Board& next, int turn) { return ComputerToMove(next, turn); });
    }
    return *known;
}

// Every square the random draw could choose, each with an equal share.
Outlook OpponentTree::ComputerToMove(const Board& board, int turn) {
    const int empty = CountMarks(board, kEmptyMark);
    const std::uint64_t share = Factorial(empty - 1);
    Outlook outlook;
    for (int draw = 0; draw < empty; ++draw) {
        SeedRandom(DrawSeed(empty, draw));
        Board next = board;
        int outcome = kOutcomeNone;
        const int move = ChooseComputerMove(next, turn, kind_, outcome, resources_);
        if (!IsSquare(move)) {
            outlook.random.failures += share;
            outlook.novice.failures += share;
            outlook.canGoWrong = true;
        } else if (IsLineCode(outcome)) {
            outlook.random.wins += share;
            outlook.novice.wins += share;
        } else {
            const Outlook& after = PersonToMove(next);
            outlook.random += after.random;
            outlook.novice += after.novice;
            outlook.canGoWrong = outlook.canGoWrong || after.canGoWrong;
        }
    }
    return outlook;
}

Outlook OpponentTree::AfterComputerSquare(const Board& board, int square) {
    Board next = board;
    next[square] = kComputerMark;
    if (FindLineWithSum(next, kSumThreeO) != 0) {
        Outlook won;
        won.random.wins = won.novice.wins = Factorial(CountMarks(next, kEmptyMark));
        return won;
    }
    return PersonToMove(next);
}

namespace {

// The limit's walk: the computer takes, of the squares after which no person can win, the one
// with the most wins against `person`.
class LimitTree {
public:
    explicit LimitTree(Person person) : person_(person), memo_(kBoardCodes) {}

    const Outlook& PersonToMove(const Board& board) {
        std::optional<Outlook>& known = memo_[BoardCode(board)];
        if (!known) {
            known = PersonChooses(
                board, [this](const Board& next, int /*turn*/) { return ComputerToMove(next); });
        }
        return *known;
    }

private:
    Outlook ComputerToMove(const Board& board) {
        const int empty = CountMarks(board, kEmptyMark);
        std::optional<Outlook> best;
        for (int square = 0; square < kSquareCount; ++square) {
            if (board[square] != kEmptyMark) {
                continue;
            }
            Board next = board;
            next[square] = kComputerMark;
            Outlook after;
            if (FindLineWithSum(next, kSumThreeO) != 0) {
                after.random.wins = after.novice.wins = Factorial(empty - 1);
            } else {
                after = PersonToMove(next);
            }
            if (!best || Better(after, *best)) {
                best = after;
            }
        }
        const auto factor = static_cast<std::uint64_t>(empty);
        return {best->random.Times(factor), best->novice.Times(factor), best->canGoWrong};
    }

    bool Better(const Outlook& a, const Outlook& b) const {
        if (a.canGoWrong != b.canGoWrong) {
            return !a.canGoWrong;
        }
        return a.Against(person_).wins > b.Against(person_).wins;
    }

    const Person person_;
    std::vector<std::optional<Outlook>> memo_;
};

}  // namespace

Ends LimitOfTheGame(Person person) {
    LimitTree tree(person);
    return tree.PersonToMove(EmptyBoard()).Against(person);
}

}  // namespace qrv::trainer
