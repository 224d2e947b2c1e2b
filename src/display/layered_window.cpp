#include "display/layered_window.h"

namespace vantrel::display {

namespace {

SetLayeredWindowAttributesFn LookUpInUser32() {
  // USER32 is always loaded in a program with windows: no reference is taken or released.
  HMODULE user32 = ::GetModuleHandleA("USER32.DLL");
  if (!user32) return nullptr;
  return reinterpret_cast<SetLayeredWindowAttributesFn>(
      reinterpret_cast<void*>(::GetProcAddress(user32, "SetLayeredWindowAttributes")));
}

LayeredLookup g_lookup = &LookUpInUser32;

}  // namespace

LayeredLookup SetLayeredLookup(LayeredLookup lookup) noexcept {
  LayeredLookup previous = g_lookup;
  g_lookup = lookup ? lookup : &LookUpInUser32;
  return previous;
}

int SetLayered(HWND window, bool on) {
  if (!g_lookup()) return -1;
  LONG_PTR style = ::GetWindowLongPtrA(window, GWL_EXSTYLE);
  style = on ? (style | WS_EX_LAYERED) : (style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
  ::SetWindowLongPtrA(window, GWL_EXSTYLE, style);
  return 0;
}

int SetAlpha(HWND window, COLORREF key, BYTE alpha, DWORD flags) {
  SetLayeredWindowAttributesFn set = g_lookup();
  if (!set) return -1;
  set(window, key, alpha, flags);
  return 0;
}

bool IsLayered(HWND window) { return (::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

}  // namespace vantrel::display
