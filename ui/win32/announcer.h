// The announcer: a line that no one sees and screen readers read out, one sentence per
// operation of the game.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace qrv::win32 {

// Creates the announcer in `window`, after its other controls: a static control of one pixel
// in the top-left corner that draws nothing and takes no focus, marked as a polite live
// region. Null when it cannot be created.
HWND CreateAnnouncer(HWND window);

// Makes `sentence` the announcer's text and tells screen readers that the live region changed,
// also when the sentence is the one it already holds. Does nothing for a null announcer.
void Announce(HWND announcer, const char* sentence);

}  // namespace qrv::win32
