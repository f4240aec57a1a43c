#include "ui/win32/announcer.h"

#include <oleacc.h>

namespace qrv::win32 {

namespace {

WNDPROC StaticProc = nullptr;  // the static control's own procedure

// The announcer stays a static control, whose text the system's accessibility reports as its
// name, but it paints nothing: its text is for the ear only.
LRESULT CALLBACK AnnouncerProc(HWND announcer, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            // Keeps the text, without the control's own repaint of it.
            return DefWindowProcA(announcer, message, wParam, lParam);
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(announcer, &paint);
            EndPaint(announcer, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            return 0;
        default:
            return CallWindowProcA(StaticProc, announcer, message, wParam, lParam);
    }
}

// Marks the control as a polite live region, as Narrator expects of a line whose changes it
// should read out. The services come with COM, which is loaded only here: where it or they
// are missing, the control stays a plain static control, whose event NVDA still reads.
void MarkPoliteLiveRegion(HWND control) {
    constexpr GUID kAccPropServicesClass = {
        0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
    constexpr GUID kAccPropServicesInterface = {
        0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
    // UI Automation's LiveSetting property, and its value Polite.
    constexpr GUID kLiveSettingProperty = {
        0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
    constexpr LONG kPolite = 1;

    HMODULE ole32 = LoadLibraryExA("ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (ole32 == nullptr) {
        return;
    }
    const auto initialize = reinterpret_cast<decltype(&CoInitializeEx)>(
        reinterpret_cast<void*>(GetProcAddress(ole32, "CoInitializeEx")));
    const auto create = reinterpret_cast<decltype(&CoCreateInstance)>(
        reinterpret_cast<void*>(GetProcAddress(ole32, "CoCreateInstance")));
    // COM stays initialised on this thread, and ole32 loaded, for the annotation's lifetime.
    if (initialize == nullptr || create == nullptr ||
        FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED))) {
        return;
    }
    IAccPropServices* services = nullptr;
    if (FAILED(create(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                      kAccPropServicesInterface, reinterpret_cast<void**>(&services))) ||
        services == nullptr) {
        return;
    }
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    services->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                          kLiveSettingProperty, polite);
    services->Release();
}

}  // namespace

HWND CreateAnnouncer(HWND window) {
    // Screen readers pass over hidden windows and windows of no size. WS_GROUP keeps it out of
    // the round that the arrow keys make through the controls before it.
    HWND announcer = CreateWindowExA(
        0, "Static", "", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOPREFIX, 0, 0, 1, 1,
        window, nullptr, reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)),
        nullptr);
    if (announcer == nullptr) {
        return nullptr;
    }
    StaticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(announcer, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AnnouncerProc)));
    MarkPoliteLiveRegion(announcer);
    return announcer;
}

void Announce(HWND announcer, const char* sentence) {
    if (announcer == nullptr) {
        return;
    }
    SetWindowTextA(announcer, sentence);
    // The event goes out even where the live-region mark is missing, and for the sentence that
    // was already there: it is news again.
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, announcer, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace qrv::win32
