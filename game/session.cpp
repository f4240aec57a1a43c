#include "game/session.h"

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
    hasGame_ = true;
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
        PlayComputerMove(game_);
        for (int square = 0; square < kSquareCount; ++square) {
            if (before[square] != kComputerMark && game_.Board[square] == kComputerMark) {
                SayMove(kComputerMark, square, false);
            }
        }
    });
}

void Session::Reset() {
    Operate(
        [&] {
            NewGame(game_);
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
    if (view_ != nullptr) {
        view_->ShowUpdate(update_);
    }
}

}  // namespace qrv
