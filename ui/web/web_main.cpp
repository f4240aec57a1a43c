// The browser front end's half in the module: the game session behind the few calls that the
// page script makes, and what each operation changed, which the page draws.
#include <emscripten/emscripten.h>

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
// clang-format on

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
    }
};

// One session per page.
qrv::Session session;
PageView view;

}  // namespace

extern "C" {

// Starts the session; a seed other than the clock's, for tests, replaces it before the first
// move. False when the stored positions are damaged.
EMSCRIPTEN_KEEPALIVE int qrv_start(int useSeed, std::uint32_t seed) {
    if (session.HasGame()) {
        return 1;
    }
    PageSetLabels(qrv::kBoardName, qrv::kStatusName);
    session.Start(view, {qrv::LoadPatternString, qrv::StartNetworkLibrary,
                         [](const qrv::LoadFailure&) { PageReportLibraryFailure(); },
                         qrv::kFirstPatternId, useSeed != 0, seed});
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

}  // extern "C"
