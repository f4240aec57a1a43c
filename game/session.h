// The one session between the game and a front end: it starts everything up, carries out what a
// person does, and tells the front end once per operation what changed.
#pragma once

#include <array>
#include <cstdint>

#include "game/game_state.h"
#include "game/opponent_choices.h"
#include "game/square_name.h"
#include "game/thinking.h"
#include "netlib/network_binding.h"
#include "opponents/pattern_table.h"
#include "resources/pattern_strings.h"

namespace qrv {

// Long enough for the longest, "X moved to Bottom centre. Give up - it's a drawn game!", or the
// longest opponent's name after "New game against the ", followed by the longest short reason
// of the network's thinking.
inline constexpr int kAnnouncementSize = 96 + kThinkingTextSize;
using Announcement = std::array<char, kAnnouncementSize>;

// What one square shows.
struct SquareChange {
    int Square = 0;
    char Mark = kEmptyMark;
    bool Highlighted = false;
    SquareName Name{};
};

// What one operation changed, handed to the front end once when the operation is done.
struct SessionUpdate {
    // The squares whose mark, highlight or name changed, in square order.
    std::array<SquareChange, kSquareCount> Squares{};
    int SquareCount = 0;
    // The status text the game set, null when it set none. It may be the text already shown:
    // the person can type into the status field, and the game's text replaces whatever is there.
    const char* StatusText = nullptr;
    // One short sentence for assistive technology saying what just happened, such as
    // "O on Top right. Blocked you there!"; empty when the operation changed nothing.
    Announcement Spoken{};
    // While the network's thinking is shown: about the computer's last move in this game.
    // Null while it is hidden.
    const qrv::Thinking* Thinking = nullptr;
    // A game ended with a result in this operation: Records() has counted it.
    bool RecordsChanged = false;
};

// What a front end does with the session's news.
class SessionView {
public:
    // Once per operation, after the operation is done.
    virtual void ShowUpdate(const SessionUpdate& update) = 0;
    // The game's own requests, forwarded at the moment it makes them, for a front end that
    // must repaint in the middle of an operation; the others draw from the update alone.
    virtual void RepaintSquareNow(int /*square*/) {}
    virtual void SetStatusTextNow(const char* /*text*/) {}

protected:
    ~SessionView() = default;
};

// Starts the network library into `binding`; false, with `failure` filled, when the network is
// not ready.
using NetworkStart = bool (*)(NetworkBinding& binding, LoadFailure& failure);
// Shows the person why the network is not ready, in the front end's own box.
using FailureReport = void (*)(const LoadFailure& failure);

// What a session starts from, filled the same way by every front end: its string table and its
// box for a failure; tests replace the network's start and seed the random source.
struct SessionSetup {
    StringLookup PatternStrings = nullptr;            // the program's string table
    NetworkStart StartNetwork = StartNetworkLibrary;  // the library beside the program
    FailureReport ReportFailure = nullptr;            // none: the failure is only returned
    int FirstPatternId = kFirstPatternId;
    // Replaces the clock's seed before the first move, so that a test can repeat a game.
    bool UseSeed = false;
    std::uint32_t Seed = 0;
    // What the front end remembered from earlier runs.
    int Opponent = DefaultOpponentChoice().Kind;
    bool ShowThinking = false;
    GameRecords Records{};
};

class Session final : private GameScreen {
public:
    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Loads the stored positions, starts the network library (reporting its failure before
    // anything is shown) and the first game, then tells `view` about all nine squares and the
    // status. Returns the library's failure, which the session keeps, or null. Damaged stored
    // positions leave no game: the library is not started, and every operation but ShutDown
    // does nothing.
    const LoadFailure* Start(SessionView& view, const SessionSetup& setup);

    // What a person can do.
    void ClickSquare(int square);
    void PlayO();
    void Reset();
    // Takes effect with the next Reset, which names the new opponent. A front end follows it
    // with Reset once the menu command is done: Windows posts it, Qt and the page queue it.
    void ChooseOpponent(int kind);
    // Shows or hides the network's thinking. Shown, the update carries it and each sentence
    // about a computer move ends with its short reason.
    void ShowThinking(bool shown);
    // Releases the library; true the first time. A second call, and every operation after it,
    // does nothing.
    bool ShutDown();

    bool HasGame() const { return hasGame_ && !shutDown_; }
    bool ThinkingShown() const { return thinkingShown_; }
    // The person's results against each opponent, by OpponentIndex.
    const GameRecords& Records() const { return records_; }

    // The squares as they stand now, also in the middle of an operation.
    char Mark(int square) const;
    bool Highlighted(int square) const;
    SquareName Name(int square) const { return DescribeSquare(game_, square); }

    // For tests and tools that look below the session.
    const GameState& Game() const { return game_; }
    const NetworkBinding& Network() const { return network_; }

private:
    void RepaintSquare(int square) override;
    void SetStatusText(const char* text) override;

    // One operation of a running game: the step, then one update to the view. A new game says
    // its own sentence; the others say the status text they led to.
    template <typename Step>
    void Operate(Step step, bool sayStatus = true) {
        if (!HasGame()) {
            return;
        }
        BeginOperation();
        step();
        EndOperation(sayStatus);
    }
    void BeginOperation();
    void EndOperation(bool sayStatus);
    void SayMove(char mark, int square, bool moved);
    void CountResult();
    void ForgetMove();

    GameState game_;
    PatternTable patterns_;
    NetworkBinding network_;
    SessionView* view_ = nullptr;
    bool hasGame_ = false;
    bool shutDown_ = false;
    int chosenOpponent_ = 0;  // chosen since the last new game; 0 when none was
    bool thinkingShown_ = false;
    // The computer's last move; explained, which may ask the library, only while shown.
    qrv::Thinking thinking_;
    bool explained_ = false;
    bool moved_ = false;    // the operation in progress made a computer move
    bool wasOver_ = false;  // the game was over when it began
    GameRecords records_{};

    // What the view was last told, and what the operation in progress has said so far.
    std::array<SquareChange, kSquareCount> shown_{};
    SessionUpdate update_;
    // Why the network is not ready; emptied by Start. No initialiser: it would put the whole
    // session, 4.5 KiB of it empty text, into the Windows program as an image to copy from.
    LoadFailure failure_;
};

}  // namespace qrv
