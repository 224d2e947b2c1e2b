// Layered-window access for the meter. The layering function is looked up by name each time,
// so the program also runs on systems without it (the meter is then simply opaque).
#pragma once

#include <windows.h>

namespace vantrel::display {

using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Adds (on) or removes the layered extended style. -1 when the system has no layered windows
// (nothing is changed), else 0.
int SetLayered(HWND window, bool on);
// Sets the window's colour key and alpha. -1 when the system has no layered windows, else 0.
int SetAlpha(HWND window, COLORREF key, BYTE alpha, DWORD flags);
bool IsLayered(HWND window);

// Tests act out a system without layered windows by replacing the lookup; null restores the
// real one. Returns the previous lookup.
using LayeredLookup = SetLayeredWindowAttributesFn (*)();
LayeredLookup SetLayeredLookup(LayeredLookup lookup) noexcept;

}  // namespace vantrel::display
