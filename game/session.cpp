#include "game/session.h"

#include <algorithm>
#include <cstring>

#include "netlib/library_seam.h"
#include "rules/random.h"

namespace qrv {
namespace {

// The opponents as the File menu names them.
const char* OpponentName(int kind) {
    switch (kind) {
        case kRuleOpponent:
            return "Random Number Generator";
        case kGeneticOpponent:
            return "Genetic Algorithm";
        default:
            return "Neural Network";
    }
}

class Writer {
public:
    // Starts the text anew, or goes on after what it holds.
    explicit Writer(Announcement& text, bool append = false)
        : text_(text), length_(append ? std::strlen(text.data()) : 0) {
        text_[length_] = '\0';
    }
    Writer& operator<<(const char* part) {
        const std::size_t count = std::min(std::strlen(part), text_.size() - 1 - length_);
        std::memcpy(text_.data() + length_, part, count);
        length_ += count;
        text_[length_] = '\0';
        return *this;
    }

private:
    Announcement& text_;
    std::size_t length_;
};

bool SameSquare(const SquareChange& a, const SquareChange& b) {
    return a.Mark == b.Mark && a.Highlighted == b.Highlighted &&
           std::strcmp(a.Name.data(), b.Name.data()) == 0;
}

}  // namespace

bool StartNetworkBesideProgram(NetworkBinding& binding, LoadFailure& failure) {
    SeedRandom(seam::MillisecondClock());
    return LoadNetworkLibrary(binding, &failure);
}

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
    static LoadFailure failure;
    failure = LoadFailure{};
    const bool ready = setup.StartNetwork != nullptr && setup.StartNetwork(network_, failure);
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
    EndOperation();
    return ready || setup.StartNetwork == nullptr ? nullptr : &failure;
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
    Operate([&] {
        NewGame(game_);
        Writer spoken(update_.Spoken);
        spoken << "New game";
        if (chosenOpponent_ != 0) {
            spoken << " against the " << OpponentName(chosenOpponent_);
        }
        chosenOpponent_ = 0;
    });
}

void Session::ChooseOpponent(int kind) {
    Operate([&] {
        SetOpponent(game_, kind);
        chosenOpponent_ = kind;
    });
}

void Session::ShutDown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    ReleaseNetworkLibrary(network_);
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
    statusSet_ = text;
    if (view_ != nullptr) {
        view_->SetStatusTextNow(text);
    }
}

void Session::BeginOperation() {
    update_ = SessionUpdate{};
    statusSet_ = nullptr;
}

void Session::SayMove(char mark, int square, bool moved) {
    Writer sentence(update_.Spoken);
    sentence << (mark == kPersonMark ? "X " : "O ") << (moved ? "moved to " : "on ")
             << SquarePosition(square);
    // The X stays pending until "Play O", unless it ended the game.
    if (mark == kPersonMark && statusSet_ == nullptr) {
        sentence << ", not played yet";
    }
}

void Session::EndOperation() {
    // What the move led to; the error comes with no move at all.
    if (statusSet_ != nullptr && std::strcmp(statusSet_, kOpeningText) != 0) {
        if (update_.Spoken[0] == '\0') {
            Writer(update_.Spoken) << statusSet_;
        } else {
            Writer(update_.Spoken, true) << ". " << statusSet_;
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
    update_.StatusText = statusSet_;
    if (view_ != nullptr) {
        view_->ShowUpdate(update_);
    }
}

}  // namespace qrv
