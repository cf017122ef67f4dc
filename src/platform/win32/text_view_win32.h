// The read-only text view control of the win32 back end: paints the lines in
// view and routes scrolling, keys, the mouse, the clipboard and the edit
// control's text messages to the portable TextViewModel.
#pragma once

#include <windows.h>

#include <string_view>

namespace tanavo {

extern const char kTextViewClass[];

// Registers the window class once per process.
void RegisterTextViewClass(HINSTANCE instance);
// Shows bytes held by the caller without copying them; false when hwnd is no
// text view.
bool ShowTextViewBytes(HWND hwnd, std::string_view bytes);

}  // namespace tanavo
