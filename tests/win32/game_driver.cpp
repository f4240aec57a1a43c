#include "game_driver.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace driver {

namespace {

int failures = 0;

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* caption;
    HWND exclude;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || window == search->exclude || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (search->className != nullptr && ClassName(window) != search->className) {
        return TRUE;
    }
    if (search->caption != nullptr && WindowText(window) != search->caption) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindGameWindow(DWORD processId, const char* className, const char* caption, HWND exclude) {
    WindowSearch search{processId, className, caption, exclude, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The screen's pixels in a rectangle, read once.
class ScreenShot {
public:
    explicit ScreenShot(const RECT& area) : area_(area) {
        width_ = area.right - area.left;
        height_ = area.bottom - area.top;
        if (width_ <= 0 || height_ <= 0) {
            return;
        }
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap != nullptr) {
            HGDIOBJ kept = SelectObject(memory, bitmap);
            BitBlt(memory, 0, 0, width_, height_, screen, area.left, area.top, SRCCOPY);
            GdiFlush();
            const auto* words = static_cast<const DWORD*>(bits);
            pixels_.assign(words, words + static_cast<size_t>(width_) * height_);
            SelectObject(memory, kept);
            DeleteObject(bitmap);
        }
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }

    bool Valid() const { return !pixels_.empty(); }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Colour at a screen position, as a COLORREF; CLR_INVALID outside.
    COLORREF At(int x, int y) const {
        x -= area_.left;
        y -= area_.top;
        if (!Valid() || x < 0 || y < 0 || x >= width_ || y >= height_) {
            return CLR_INVALID;
        }
        const DWORD bgr = pixels_[static_cast<size_t>(y) * width_ + x];
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }

    const std::vector<DWORD>& Pixels() const { return pixels_; }

private:
    RECT area_;
    int width_ = 0;
    int height_ = 0;
    std::vector<DWORD> pixels_;
};

RECT ScreenRectOfClient(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    POINT topLeft{rect.left, rect.top};
    POINT bottomRight{rect.right, rect.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

bool IsPen(COLORREF colour) {
    return colour == kRed || colour == kLightBlue;
}

// Whether a pen-coloured pixel lies within one pixel of (x, y).
bool PenNear(const ScreenShot& shot, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (IsPen(shot.At(x + dx, y + dy))) {
                return true;
            }
        }
    }
    return false;
}

SquareLook LookAtSquare(const ScreenShot& shot, const RECT& square) {
    SquareLook look;
    RECT marks{square.right, square.bottom, square.left - 1, square.top - 1};
    for (int y = square.top; y < square.bottom; ++y) {
        for (int x = square.left; x < square.right; ++x) {
            const COLORREF colour = shot.At(x, y);
            if (IsPen(colour)) {
                marks.left = std::min<LONG>(marks.left, x);
                marks.top = std::min<LONG>(marks.top, y);
                marks.right = std::max<LONG>(marks.right, x);
                marks.bottom = std::max<LONG>(marks.bottom, y);
            }
            if (colour == kRed) {
                ++look.redPixels;
            } else if (colour == kLightBlue) {
                ++look.bluePixels;
            } else if (GetRValue(colour) > 200 && GetGValue(colour) < 60 &&
                       GetBValue(colour) < 60) {
                ++look.otherPenPixels;  // nearly red: a mark drawn in a wrong colour
            }
        }
    }
    // The figure's box is the square inset by 4 at the top left and 6 at the bottom right.
    const int left = square.left + 4;
    const int top = square.top + 4;
    const int right = square.right - 6;
    const int bottom = square.bottom - 6;
    const int midX = (left + right) / 2;
    const int midY = (top + bottom) / 2;
    const bool centre = PenNear(shot, midX, midY);
    const bool leftEdge = PenNear(shot, left + 1, midY);
    const bool diagonal = PenNear(shot, left + (right - left) / 4, top + (bottom - top) / 4);
    const int penPixels = look.redPixels + look.bluePixels;
    if (penPixels > 0) {
        // The pen is 3 wide, so its pixels reach one beyond the figure's box; the last pixel
        // of a line or an ellipse stops one short of its right and bottom coordinates.
        look.leftOut = left - marks.left;
        look.topOut = top - marks.top;
        look.rightOut = marks.right - (right - 1);
        look.bottomOut = marks.bottom - (bottom - 1);
    }
    if (penPixels == 0) {
        look.mark = ' ';
    } else if (centre && diagonal && !leftEdge) {
        look.mark = 'X';
    } else if (!centre && leftEdge) {
        look.mark = 'O';
    }
    return look;
}

}  // namespace

void Fail(const char* format, ...) {
    ++failures;
    std::va_list args;
    va_start(args, format);
    std::fputs("FAILED: ", stdout);
    std::vprintf(format, args);
    std::fputc('\n', stdout);
    va_end(args);
    std::fflush(stdout);
}

int FailureCount() {
    return failures;
}

void Note(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    std::fputc('\n', stdout);
    va_end(args);
    std::fflush(stdout);
}

namespace {

struct CaughtEvent {
    DWORD event;
    HWND window;
    LONG object;
    LONG child;
    std::string name;  // of a live region, read when its event comes in
};
std::vector<CaughtEvent> caughtEvents;

// The name of an accessible object's child, or what went wrong; releases the object.
std::string NameOf(IAccessible* accessible, VARIANT child) {
    BSTR name = nullptr;
    const HRESULT named = accessible->get_accName(child, &name);
    char result[128] = "";
    if (SUCCEEDED(named) && name != nullptr) {
        WideCharToMultiByte(CP_ACP, 0, name, -1, result, sizeof result, nullptr, nullptr);
        SysFreeString(name);
    } else {
        std::snprintf(result, sizeof result, "<get_accName: %08lx>",
                      static_cast<unsigned long>(named));
    }
    accessible->Release();
    return result;
}

void InitializeCom() {
    static const HRESULT com = CoInitialize(nullptr);
    (void)com;
}

void CALLBACK CatchEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                         DWORD) {
    if (event != EVENT_OBJECT_NAMECHANGE && event != EVENT_OBJECT_LIVEREGIONCHANGED) {
        return;
    }
    std::string name;
    if (event == EVENT_OBJECT_LIVEREGIONCHANGED) {
        // What a screen reader says for the event: the name of the event's object.
        InitializeCom();
        IAccessible* accessible = nullptr;
        VARIANT self;
        VariantInit(&self);
        const HRESULT found = AccessibleObjectFromEvent(
            window, static_cast<DWORD>(object), static_cast<DWORD>(child), &accessible, &self);
        name = SUCCEEDED(found) && accessible != nullptr ? NameOf(accessible, self)
                                                         : "<AccessibleObjectFromEvent>";
    }
    caughtEvents.push_back({event, window, object, child, name});
}

}  // namespace

EventTrace::EventTrace(DWORD processId)
    : hook_(SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                            CatchEvent, processId, 0, WINEVENT_OUTOFCONTEXT)) {
    if (hook_ == nullptr) {
        Fail("SetWinEventHook failed (error %lu)", GetLastError());
    }
    caughtEvents.clear();
}

EventTrace::~EventTrace() {
    if (hook_ != nullptr) {
        UnhookWinEvent(hook_);
    }
}

std::string EventTrace::Take(HWND main) {
    // Out-of-context events come in through this thread's message queue.
    for (int round = 0; round < 10; ++round) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        Sleep(50);
    }
    std::string trace;
    for (const CaughtEvent& caught : caughtEvents) {
        const int id = caught.window != nullptr ? GetDlgCtrlID(caught.window) : 0;
        const bool client = caught.object == OBJID_CLIENT && caught.child == CHILDID_SELF &&
                            GetParent(caught.window) == main;
        char word[160];
        if (client && caught.event == EVENT_OBJECT_NAMECHANGE && id >= kFirstSquareId &&
            id < kFirstSquareId + 9) {
            std::snprintf(word, sizeof word, "%d", id - kFirstSquareId);
        } else if (client && caught.event == EVENT_OBJECT_LIVEREGIONCHANGED) {
            std::snprintf(word, sizeof word, "\"%s\"", caught.name.c_str());
        } else {
            std::snprintf(word, sizeof word, "other(%04lx,%d,%ld,%ld)", caught.event, id,
                          caught.object, caught.child);
        }
        trace += (trace.empty() ? "" : " ") + std::string(word);
    }
    caughtEvents.clear();
    return trace;
}

GameProcess::~GameProcess() {
    if (info_.hProcess != nullptr) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

bool GameProcess::Start(const std::string& folder, int showState) {
    program_ = folder + "\\quorvane.exe";
    const std::string& program = program_;
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (showState != -1) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showState);
    }
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info_)) {
        Fail("cannot start %s (error %lu)", program.c_str(), GetLastError());
        return false;
    }
    WaitForInputIdle(info_.hProcess, 10000);
    return true;
}

bool GameProcess::Start(const std::wstring& folder) {
    const std::wstring program = folder + L"\\quorvane.exe";
    std::wstring commandLine = L"\"" + program + L"\"";
    program_ = "(wide path)";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info_)) {
        Fail("cannot start quorvane.exe in a wide-named folder (error %lu)", GetLastError());
        return false;
    }
    WaitForInputIdle(info_.hProcess, 10000);
    return true;
}

HWND GameProcess::WaitForMainWindow(int timeoutMs) {
    main_ = WaitForWindow(kMainClass, nullptr, timeoutMs);
    if (main_ == nullptr) {
        Fail("the main window did not appear within %d ms", timeoutMs);
    } else {
        Settle(main_);
    }
    return main_;
}

HWND GameProcess::WaitForWindow(const char* className, const char* caption, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += 50) {
        if (HWND found = FindGameWindow(info_.dwProcessId, className, caption, nullptr)) {
            return found;
        }
        if (WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0) {
            return nullptr;  // the game ended
        }
    }
    return nullptr;
}

HWND GameProcess::FindOtherWindow() {
    return FindGameWindow(info_.dwProcessId, nullptr, nullptr, main_);
}

int GameProcess::WaitForExit(int timeoutMs) {
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
}

std::string WindowText(HWND window) {
    char text[512] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &length)) {
        return "<no answer>";
    }
    return std::string(text, std::strlen(text));
}

std::string AccessibleName(HWND window) {
    InitializeCom();
    IAccessible* accessible = nullptr;
    // The interface's identifier from the header: the import library's IID_IAccessible is the
    // address of an import thunk, not the identifier.
    const HRESULT found =
        AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&accessible));
    if (FAILED(found) || accessible == nullptr) {
        char result[64] = "";
        std::snprintf(result, sizeof result, "<AccessibleObjectFromWindow: %08lx>",
                      static_cast<unsigned long>(found));
        return result;
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return NameOf(accessible, self);
}

std::string ClassName(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string StatusText(HWND main) {
    return WindowText(GetDlgItem(main, kStatusId));
}

void ClickControl(HWND main, int id) {
    HWND control = GetDlgItem(main, id);
    if (control == nullptr) {
        Fail("no control %d", id);
        return;
    }
    // The button goes through its own press and release and notifies the window, as for a
    // click of the mouse.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

void ClickSquare(HWND main, int square) {
    ClickControl(main, kFirstSquareId + square);
}

void MenuCommand(HWND main, int command) {
    // A menu's command: notification 0, no control.
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    Settle(main);
}

void Settle(HWND main) {
    // A sent message is taken before posted ones, so wait a little for posted ones first.
    for (int round = 0; round < 3; ++round) {
        Sleep(60);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    }
}

std::vector<SquareLook> LookAtBoard(HWND main) {
    RECT windowRect{};
    GetWindowRect(main, &windowRect);
    ScreenShot shot(windowRect);
    std::vector<SquareLook> looks(9);
    for (int square = 0; square < 9; ++square) {
        HWND button = GetDlgItem(main, kFirstSquareId + square);
        if (button == nullptr || !shot.Valid()) {
            continue;
        }
        looks[square] = LookAtSquare(shot, ScreenRectOfClient(button));
    }
    return looks;
}

int FocusPixels(HWND main, int square) {
    const RECT area = ScreenRectOfClient(GetDlgItem(main, kFirstSquareId + square));
    const ScreenShot shot(area);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const bool ring = x < area.left + 3 || y < area.top + 3 || x >= area.right - 3 ||
                              y >= area.bottom - 3;
            count += ring && shot.At(x, y) != face;
        }
    }
    return count;
}

std::string BoardText(const std::vector<SquareLook>& looks) {
    std::string text;
    for (const SquareLook& look : looks) {
        text += look.mark;
    }
    return text;
}

namespace {

// Empty when the board looks as expected, else what differs.
std::string BoardDifference(const std::vector<SquareLook>& looks, const char* board,
                            const char* red) {
    std::string problems;
    char line[160];
    for (int square = 0; square < 9; ++square) {
        const SquareLook& look = looks[square];
        const bool shouldBeRed = std::strchr(red, '0' + square) != nullptr;
        if (look.mark != board[square]) {
            std::snprintf(line, sizeof line, " square %d shows '%c' not '%c';", square, look.mark,
                          board[square]);
            problems += line;
        }
        if (look.otherPenPixels > 0) {
            std::snprintf(line, sizeof line, " square %d has %d pixels of a wrong red;", square,
                          look.otherPenPixels);
            problems += line;
        }
        if (board[square] == ' ') {
            continue;
        }
        const int outs[] = {look.leftOut, look.topOut, look.rightOut, look.bottomOut};
        for (int out : outs) {
            if (out < 0 || out > 2) {
                std::snprintf(line, sizeof line,
                              " square %d's mark is not drawn in its box (edges %d %d %d %d "
                              "pixels outside);",
                              square, look.leftOut, look.topOut, look.rightOut, look.bottomOut);
                problems += line;
                break;
            }
        }
        if (shouldBeRed && (look.redPixels == 0 || look.bluePixels != 0)) {
            std::snprintf(line, sizeof line, " square %d should be red (red %d, blue %d);", square,
                          look.redPixels, look.bluePixels);
            problems += line;
        }
        if (!shouldBeRed && (look.bluePixels == 0 || look.redPixels != 0)) {
            std::snprintf(line, sizeof line, " square %d should be light blue (red %d, blue %d);",
                          square, look.redPixels, look.bluePixels);
            problems += line;
        }
    }
    return problems;
}

}  // namespace

bool ExpectGame(HWND main, const char* board, const char* red, const char* status, const char* what,
                int timeoutMs) {
    std::string boardProblems;
    std::string shown;
    for (int waited = 0;; waited += 100) {
        boardProblems = BoardDifference(LookAtBoard(main), board, red);
        shown = StatusText(main);
        if (boardProblems.empty() && shown == status) {
            return true;
        }
        if (waited >= timeoutMs) {
            break;
        }
        Sleep(100);
    }
    if (!boardProblems.empty()) {
        Fail("%s: board [%s] expected, red on \"%s\":%s", what, board, red, boardProblems.c_str());
    }
    if (shown != status) {
        Fail("%s: status \"%s\" expected, shows \"%s\"", what, status, shown.c_str());
    }
    return false;
}

bool SaveWindowBitmap(HWND window, const std::string& path) {
    RECT rect{};
    GetWindowRect(window, &rect);
    ScreenShot shot(rect);
    if (!shot.Valid()) {
        return false;
    }
    const int width = shot.Width();
    const int height = shot.Height();
    const int rowSize = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // bottom row first
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(rowSize * height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::vector<unsigned char> row(rowSize, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const DWORD bgr = shot.Pixels()[static_cast<size_t>(y) * width + x];
            row[3 * x] = bgr & 0xFF;
            row[3 * x + 1] = (bgr >> 8) & 0xFF;
            row[3 * x + 2] = (bgr >> 16) & 0xFF;
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    return std::fclose(out) == 0;
}

int ColourRun(HWND window, int x, int y, int dx, int dy, COLORREF colour, int* skipped) {
    const RECT area = ScreenRectOfClient(window);
    ScreenShot shot(area);
    int before = 0;
    int run = 0;
    for (x += area.left, y += area.top; shot.At(x, y) != CLR_INVALID; x += dx, y += dy) {
        if (shot.At(x, y) == colour) {
            ++run;
        } else if (run > 0) {
            break;
        } else {
            ++before;
        }
    }
    if (skipped != nullptr) {
        *skipped = before;
    }
    return run;
}

}  // namespace driver
