// Owners for every kind of handle the program creates. Each owner releases its handle in its
// destructor; the GDI and USER owners also keep a count of the objects alive right now, which
// tests read around repeated paints and page switches to prove that nothing leaks.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace vantrel::fw {

enum class ObjectKind { Gdi, User, Kernel, Count };

// Objects created through an owner and not yet released.
long LiveObjects(ObjectKind kind) noexcept;
inline long LiveGdiObjects() noexcept { return LiveObjects(ObjectKind::Gdi); }
inline long LiveUserObjects() noexcept { return LiveObjects(ObjectKind::User); }
inline long LiveKernelHandles() noexcept { return LiveObjects(ObjectKind::Kernel); }

namespace detail {
void CountObject(ObjectKind kind, int delta) noexcept;
// The system destroys a window with its parent or owner: only one that still exists is destroyed.
void DestroyLiveWindow(HWND window) noexcept;
}  // namespace detail

template <class Traits>
class Owned {
 public:
  using Handle = typename Traits::Handle;

  Owned() noexcept = default;
  explicit Owned(Handle h) noexcept : h_(h) {
    if (valid()) detail::CountObject(Traits::kKind, +1);
  }
  ~Owned() { reset(); }

  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : h_(std::exchange(other.h_, Traits::Invalid())) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      reset();
      h_ = std::exchange(other.h_, Traits::Invalid());
    }
    return *this;
  }

  Handle get() const noexcept { return h_; }
  operator Handle() const noexcept { return h_; }  // NOLINT: handles are passed to API calls
  bool valid() const noexcept { return Traits::IsValid(h_); }
  explicit operator bool() const noexcept { return valid(); }

  void reset(Handle h = Traits::Invalid()) noexcept {
    if (valid()) {
      Traits::Close(h_);
      detail::CountObject(Traits::kKind, -1);
    }
    h_ = h;
    if (valid()) detail::CountObject(Traits::kKind, +1);
  }

  // Hands the handle to a new owner outside this family (the system, a control).
  [[nodiscard]] Handle release() noexcept {
    if (valid()) detail::CountObject(Traits::kKind, -1);
    return std::exchange(h_, Traits::Invalid());
  }

 private:
  Handle h_ = Traits::Invalid();
};

namespace traits {

// Handles whose empty value is null, released by one function.
template <class T, ObjectKind K, auto CloseFunction>
struct NullHandle {
  using Handle = T;
  static constexpr ObjectKind kKind = K;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { CloseFunction(h); }
};

// Kernel handles come back as null or as INVALID_HANDLE_VALUE on failure.
struct KernelHandle : NullHandle<HANDLE, ObjectKind::Kernel, &::CloseHandle> {
  static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
};

// A file search: FindFirstFile fails with INVALID_HANDLE_VALUE.
struct FindFile : NullHandle<HANDLE, ObjectKind::Kernel, &::FindClose> {
  static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
};

using RegistryKey = NullHandle<HKEY, ObjectKind::Kernel, &::RegCloseKey>;
using Library = NullHandle<HMODULE, ObjectKind::Kernel, &::FreeLibrary>;
template <class T>
using GdiObject = NullHandle<T, ObjectKind::Gdi, &::DeleteObject>;
using MemoryDC = NullHandle<HDC, ObjectKind::Gdi, &::DeleteDC>;
using Icon = NullHandle<HICON, ObjectKind::User, &::DestroyIcon>;
using Menu = NullHandle<HMENU, ObjectKind::User, &::DestroyMenu>;
using ImageList = NullHandle<HIMAGELIST, ObjectKind::User, &::ImageList_Destroy>;
// A window made outside the window layer's objects (a tooltip), destroyed with its owner object.
using WindowHandle = NullHandle<HWND, ObjectKind::User, &detail::DestroyLiveWindow>;

}  // namespace traits

using UniqueHandle = Owned<traits::KernelHandle>;
using UniqueFind = Owned<traits::FindFile>;
using UniqueKey = Owned<traits::RegistryKey>;
using UniqueLibrary = Owned<traits::Library>;
using UniqueBitmap = Owned<traits::GdiObject<HBITMAP>>;
using UniqueFont = Owned<traits::GdiObject<HFONT>>;
using UniqueBrush = Owned<traits::GdiObject<HBRUSH>>;
using UniquePen = Owned<traits::GdiObject<HPEN>>;
using UniqueRegion = Owned<traits::GdiObject<HRGN>>;
using UniqueMemoryDC = Owned<traits::MemoryDC>;
using UniqueIcon = Owned<traits::Icon>;
using UniqueMenu = Owned<traits::Menu>;
using UniqueImageList = Owned<traits::ImageList>;
using UniqueWindow = Owned<traits::WindowHandle>;

// A window's device context, released with ReleaseDC.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd) noexcept;
  ~WindowDC();
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const noexcept { return dc_; }
  operator HDC() const noexcept { return dc_; }  // NOLINT

 private:
  HWND hwnd_;
  HDC dc_;
};

// The device context of one WM_PAINT, ended with EndPaint. Always validates the update region,
// even when the caller draws nothing.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) noexcept;
  ~PaintDC();
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC get() const noexcept { return dc_; }
  operator HDC() const noexcept { return dc_; }  // NOLINT
  const PAINTSTRUCT& paint() const noexcept { return ps_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects an object into a device context and puts the previous one back on scope exit.
class SelectObjectGuard {
 public:
  SelectObjectGuard(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
  ~SelectObjectGuard() {
    if (old_) ::SelectObject(dc_, old_);
  }
  SelectObjectGuard(const SelectObjectGuard&) = delete;
  SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace vantrel::fw
