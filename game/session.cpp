#include "game/session.h"

#include <algorithm>
#include <cstring>

#include "game/bounded_text.h"
#include "rules/random.h"

namespace qrv {
namespace {

bool SameSquare(const SquareChange& a, const SquareChange& b) {
    return a.Mark == b.Mark && a.Highlighted == b.Highlighted &&
           std::strcmp(a.Name.data(), b.Name.data()) == 0;
}

}  // namespace

const LoadFailure* Session::Start(SessionView& view, const SessionSetup& setup) {
    if (hasGame_ || shutDown_) {
        return nullptr;
    }
    view_ = &view;
    // The stored positions first, then the library, whose failure the front end shows before
    // its window, then the game.
    if (setup.PatternStrings == nullptr ||
        !LoadPatternTable(patterns_, setup.PatternStrings, setup.FirstPatternId)) {
        return nullptr;
    }
    failure_ = LoadFailure{};
    const bool ready = setup.StartNetwork == nullptr || setup.StartNetwork(network_, failure_);
    if (!ready && setup.ReportFailure != nullptr) {
        setup.ReportFailure(failure_);
    }
    if (setup.UseSeed) {
        SeedRandom(setup.Seed);
    }
    BeginOperation();
    // No mark is '\0': the first update carries all nine squares.
    for (SquareChange& square : shown_) {
        square.Mark = '\0';
    }
    InitGameState(game_, *this, patterns_, network_);
    SetOpponent(game_, setup.Opponent);
    hasGame_ = true;
    thinkingShown_ = setup.ShowThinking;
    for (int k = 0; k < kOpponentCount; ++k) {
        // Counts from a damaged store start again rather than show a negative number.
        const GameRecord& given = setup.Records[k];
        records_[k] = {std::max(given.Won, 0), std::max(given.Drawn, 0), std::max(given.Lost, 0)};
    }
    ForgetMove();
    EndOperation(false);
    return ready ? nullptr : &failure_;
}

void Session::ClickSquare(int square) {
    Operate([&] {
        if (CanSelectSquare(game_, square)) {
            const bool moved = game_.PendingSquare != kNoPendingSquare;
            SelectSquare(game_, square);
            SayMove(kPersonMark, square, moved);
        }
    });
}

void Session::PlayO() {
    Operate([&] {
        const Board before = game_.Board;
        const int turn = game_.Turn;
        PlayComputerMove(game_);
        if (game_.Turn == turn) {
            return;  // nothing to commit
        }
        ForgetMove();
        thinking_.Reason = game_.LastReason;
        thinking_.Before = before;
        moved_ = true;
        for (int square = 0; square < kSquareCount; ++square) {
            if (before[square] != kComputerMark && game_.Board[square] == kComputerMark) {
                SayMove(kComputerMark, square, false);
                thinking_.Square = square;
            }
        }
    });
}

void Session::Reset() {
    Operate(
        [&] {
            NewGame(game_);
            ForgetMove();
            TextWriter spoken(update_.Spoken);
            spoken << "New game";
            if (chosenOpponent_ != 0) {
                spoken << " against the " << OpponentChoiceOf(chosenOpponent_).Name;
            }
            chosenOpponent_ = 0;
        },
        false);
}

void Session::ChooseOpponent(int kind) {
    Operate([&] {
        SetOpponent(game_, kind);
        chosenOpponent_ = kind;
    });
}

void Session::ShowThinking(bool shown) {
    thinkingShown_ = shown;
    Operate([] {});
}

bool Session::ShutDown() {
    if (shutDown_) {
        return false;
    }
    shutDown_ = true;
    ReleaseNetworkLibrary(network_);
    return true;
}

char Session::Mark(int square) const {
    return IsSquare(square) ? game_.Board[square] : kEmptyMark;
}

bool Session::Highlighted(int square) const {
    return IsSquare(square) && game_.Highlighted[square];
}

void Session::RepaintSquare(int square) {
    if (view_ != nullptr) {
        view_->RepaintSquareNow(square);
    }
}

void Session::SetStatusText(const char* text) {
    update_.StatusText = text;
    if (view_ != nullptr) {
        view_->SetStatusTextNow(text);
    }
}

void Session::BeginOperation() {
    update_ = SessionUpdate{};
    moved_ = false;
    wasOver_ = game_.Turn == kGameOver;
}

void Session::ForgetMove() {
    thinking_ = Thinking{};
    thinking_.Opponent = game_.OpponentKind;
    explained_ = false;
}

void Session::CountResult() {
    if (wasOver_ || game_.Turn != kGameOver) {
        return;
    }
    // A completed line is highlighted; a full board without one is a draw; the error is neither.
    char winner = kEmptyMark;
    for (int square = 0; square < kSquareCount; ++square) {
        if (game_.Highlighted[square]) {
            winner = game_.Board[square];
        }
    }
    const bool full = std::find(game_.Board.begin(), game_.Board.begin() + kSquareCount,
                                kEmptyMark) == game_.Board.begin() + kSquareCount;
    GameRecord& record = records_[OpponentIndex(game_.OpponentKind)];
    if (winner == kPersonMark) {
        ++record.Won;
    } else if (winner == kComputerMark) {
        ++record.Lost;
    } else if (full) {
        ++record.Drawn;
    } else {
        return;
    }
    update_.RecordsChanged = true;
}

void Session::SayMove(char mark, int square, bool moved) {
    TextWriter sentence(update_.Spoken);
    sentence << (mark == kPersonMark ? "X " : "O ") << (moved ? "moved to " : "on ")
             << SquarePosition(square);
    // The X stays pending until "Play O", unless it ended the game.
    if (mark == kPersonMark && IsPendingX(game_, square)) {
        sentence << ", not played yet";
    }
}

void Session::EndOperation(bool sayStatus) {
    // What the move led to; the error comes with no move at all.
    if (sayStatus && update_.StatusText != nullptr) {
        if (update_.Spoken[0] == '\0') {
            TextWriter(update_.Spoken) << update_.StatusText;
        } else {
            TextWriter(update_.Spoken, true) << ". " << update_.StatusText;
        }
    }
    for (int square = 0; square < kSquareCount; ++square) {
        const SquareChange now{square, game_.Board[square], game_.Highlighted[square],
                               Name(square)};
        if (!SameSquare(now, shown_[square])) {
            shown_[square] = now;
            update_.Squares[update_.SquareCount++] = now;
        }
    }
    if (thinkingShown_) {
        if (!explained_) {
            ExplainMove(thinking_, patterns_, network_);
            explained_ = true;
        }
        if (moved_ && thinking_.Short[0] != '\0') {
            const std::size_t length = std::strlen(update_.Spoken.data());
            const bool closed = length > 0 && (update_.Spoken[length - 1] == '.' ||
                                               update_.Spoken[length - 1] == '!');
            TextWriter(update_.Spoken, true) << (closed ? " " : ". ") << thinking_.Short.data();
        }
        update_.Thinking = &thinking_;
    }
    CountResult();
    if (view_ != nullptr) {
        view_->ShowUpdate(update_);
    }
}

}  // namespace qrv
