// The browser front end's half in the module: the game session behind the few calls that the
// page script makes, and what each operation changed, which the page draws.
#include <emscripten/emscripten.h>

#include <array>
#include <cstdint>

#include "game/session.h"
#include "resources/pattern_strings.h"

namespace {

// clang-format off
EM_JS(void, PageRepaintSquare, (int square, int mark, int highlighted, const char* name), {
    Module["repaintSquare"](square, String.fromCharCode(mark), highlighted != 0,
                            UTF8ToString(name));
});
EM_JS(void, PageSetStatusText, (const char* text), {
    Module["setStatusText"](UTF8ToString(text));
});
EM_JS(void, PageAnnounce, (const char* sentence), {
    if (Module["announce"]) Module["announce"](UTF8ToString(sentence));
});
EM_JS(void, PageSetLabels, (const char* boardName, const char* statusName), {
    Module["setLabels"](UTF8ToString(boardName), UTF8ToString(statusName));
});
EM_JS(void, PageReportLibraryFailure, (), {
    Module["reportLibraryFailure"]();
});
// The texts come as fixed-size runs of characters, `size` apart.
EM_JS(void, PageShowThinking, (const char* how, const char* opponent, const char* records,
                               int recordSize, int network, const char* stored,
                               const char* values, const char* words, int valueSize,
                               const float* heat,
                               const char* before, float losingBelow, int square,
                               const char* noValues), {
    const texts = (start, count, size) =>
        Array.from({length: count}, (_, k) => UTF8ToString(start + k * size));
    Module["showThinking"]({
        how: UTF8ToString(how), opponent: UTF8ToString(opponent),
        records: texts(records, 3, recordSize), network: network != 0,
        stored: UTF8ToString(stored), values: values ? texts(values, 9, valueSize) : null,
        words: values ? texts(words, 9, valueSize) : null,
        heat: Array.from(HEAPF32.subarray(heat >> 2, (heat >> 2) + 9)),
        before: UTF8ToString(before), losingBelow, square, noValues: UTF8ToString(noValues),
    });
});
EM_JS(void, PageSaveRecords, (const int* counts), {
    const at = counts >> 2;
    Module["saveRecords"]([0, 3, 6].map((k) => Array.from(HEAP32.subarray(at + k, at + k + 3))));
});
// clang-format on

// One session per page.
qrv::Session session;

// The network's thinking, for the panel beside the board.
void ShowThinking(const qrv::Thinking& thinking) {
    std::array<qrv::ThinkingText, qrv::kOpponentCount> records{};
    for (int k = 0; k < qrv::kOpponentCount; ++k) {
        records[k] = qrv::DescribeRecord(qrv::kOpponentChoices[k].Kind, session.Records()[k]);
    }
    PageShowThinking(
        thinking.How.data(), qrv::OpponentName(thinking.Opponent), records[0].data(),
        qrv::kThinkingTextSize, thinking.Reason.Path == qrv::MovePath::NetworkAnswer ? 1 : 0,
        thinking.Stored.data(), thinking.HasValues ? thinking.Values[0].data() : nullptr,
        thinking.Words[0].data(), qrv::kValueTextSize, thinking.BoardValues.data(),
        thinking.Before.data(), qrv::kLosingValueBelow, thinking.Square, qrv::kNoValuesText);
}

// Won, drawn and lost against each opponent by OpponentIndex, kept by the page so that the
// person's results count on from one visit to the next.
void SaveRecords() {
    std::array<int, 3 * qrv::kOpponentCount> counts{};
    for (int k = 0; k < qrv::kOpponentCount; ++k) {
        const qrv::GameRecord& record = session.Records()[k];
        counts[3 * k] = record.Won;
        counts[3 * k + 1] = record.Drawn;
        counts[3 * k + 2] = record.Lost;
    }
    PageSaveRecords(counts.data());
}

class PageView final : public qrv::SessionView {
public:
    void ShowUpdate(const qrv::SessionUpdate& update) override {
        for (int k = 0; k < update.SquareCount; ++k) {
            const qrv::SquareChange& change = update.Squares[k];
            PageRepaintSquare(change.Square, static_cast<unsigned char>(change.Mark),
                              change.Highlighted ? 1 : 0, change.Name.data());
        }
        if (update.StatusText != nullptr) {
            PageSetStatusText(update.StatusText);
        }
        if (update.Spoken[0] != '\0') {
            PageAnnounce(update.Spoken.data());
        }
        if (update.Thinking != nullptr) {
            ShowThinking(*update.Thinking);
        }
        if (update.RecordsChanged) {
            SaveRecords();
        }
    }
};

PageView view;
// What the page remembered from earlier visits, handed over before the session starts.
qrv::GameRecords remembered{};

}  // namespace

extern "C" {

// The person's results against one opponent (by OpponentIndex) from an earlier visit; before
// qrv_start, which hands them to the session.
EMSCRIPTEN_KEEPALIVE void qrv_remember_record(int index, int won, int drawn, int lost) {
    if (index >= 0 && index < qrv::kOpponentCount) {
        remembered[index] = {won, drawn, lost};
    }
}

// Starts the session; a seed other than the clock's, for tests, replaces it before the first
// move. False when the stored positions are damaged.
EMSCRIPTEN_KEEPALIVE int qrv_start(int useSeed, std::uint32_t seed, int showThinking) {
    if (session.HasGame()) {
        return 1;
    }
    PageSetLabels(qrv::kBoardName, qrv::kStatusName);
    qrv::SessionSetup setup;
    setup.PatternStrings = qrv::LoadPatternString;
    setup.ReportFailure = [](const qrv::LoadFailure&) { PageReportLibraryFailure(); };
    setup.UseSeed = useSeed != 0;
    setup.Seed = seed;
    setup.ShowThinking = showThinking != 0;
    setup.Records = remembered;
    session.Start(view, setup);
    return session.HasGame() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void qrv_click_square(int square) {
    session.ClickSquare(square);
}

EMSCRIPTEN_KEEPALIVE void qrv_play_o() {
    session.PlayO();
}

EMSCRIPTEN_KEEPALIVE void qrv_reset() {
    session.Reset();
}

// A choice in the File menu; the page resets once the choice is handled.
EMSCRIPTEN_KEEPALIVE void qrv_choose_opponent(int kind) {
    session.ChooseOpponent(kind);
}

// The View menu's "Show the Network's Thinking".
EMSCRIPTEN_KEEPALIVE void qrv_show_thinking(int shown) {
    session.ShowThinking(shown != 0);
}

}  // extern "C"
