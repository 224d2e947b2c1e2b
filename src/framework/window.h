// The thin window layer: a C++ object attached to an HWND with its messages dispatched to
// virtual handlers, for windows of our own classes and for subclassed template controls.
#pragma once

#include <windows.h>

namespace vantrel::fw {

// The module that holds the program's resources (dialog templates, icons, strings).
HINSTANCE ResourceInstance() noexcept;
void SetResourceInstance(HINSTANCE instance) noexcept;

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const noexcept { return hwnd_; }
  bool IsWindow() const noexcept { return hwnd_ != nullptr && ::IsWindow(hwnd_); }

  // The object attached to a window by this layer, or null.
  static Window* FromHandle(HWND hwnd) noexcept;

  // Takes over a control created by a dialog template: its messages reach WindowProc first
  // and Default() passes them on to the control's own procedure.
  bool SubclassDlgItem(HWND dialog, int id);
  bool Subclass(HWND hwnd);
  // Gives the window its own procedure back (also done automatically when it is destroyed).
  // When another subclass was installed after ours, its procedure stays in place: ours then
  // only forwards to the one it replaced, until the window is destroyed.
  void Unsubclass();
  bool IsSubclassed() const noexcept { return subclass_ != nullptr; }

  // Creates a window of a class registered by RegisterClass below.
  bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                int width, int height, HWND parent, HMENU menuOrId);
  // Registers a window class whose procedure dispatches to the attached object.
  static bool RegisterClass(const char* className, UINT style = CS_HREDRAW | CS_VREDRAW,
                            HCURSOR cursor = nullptr, HBRUSH background = nullptr, HICON icon = nullptr);

  // Owner-drawn requests that a parent reflects back to its child control object. Return true
  // when handled.
  virtual bool OnReflectedDrawItem(DRAWITEMSTRUCT&) { return false; }
  virtual bool OnReflectedMeasureItem(MEASUREITEMSTRUCT&) { return false; }
  virtual bool OnReflectedDeleteItem(DELETEITEMSTRUCT&) { return false; }
  // A control's WM_COMMAND and WM_NOTIFY, offered to the control's object before its parent
  // sees them. Return true with the message's result in `result` to keep them from the parent;
  // false lets the parent handle them as well.
  virtual bool OnReflectedCommand(WORD /*code*/, LRESULT& /*result*/) { return false; }
  virtual bool OnReflectedNotify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }

 protected:
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);
  // Called once the window is gone (WM_NCDESTROY); the handle is already detached.
  virtual void OnFinalDestroy() {}

  void Attach(HWND hwnd) noexcept;
  void Detach() noexcept;

 private:
  static LRESULT CALLBACK StaticWindowProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK StaticSubclassProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);

  struct SubclassRecord;
  void EndSubclass() noexcept;

  HWND hwnd_ = nullptr;
  SubclassRecord* subclass_ = nullptr;
  friend class Dialog;
};

// Sends the owner-drawn requests a window receives for its child controls to the child's object.
// Returns true when a child object handled the request.
bool ReflectOwnerDraw(UINT msg, WPARAM wp, LPARAM lp);
// Offers a WM_COMMAND or WM_NOTIFY that `parent` received to the object of the control that
// sent it. Menu and accelerator commands are not a control's. Returns true, with the result,
// when that object handled the message. Dialogs and windows of this layer do this themselves.
bool ReflectControlMessage(HWND parent, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

// Routes menu measure/draw requests to the object that owns the popup holding the item.
class MenuDrawHandler {
 public:
  virtual ~MenuDrawHandler() = default;
  virtual void MeasureItem(MEASUREITEMSTRUCT& mis) = 0;
  virtual void DrawItem(DRAWITEMSTRUCT& dis) = 0;
};
void RegisterMenuHandler(HMENU menu, MenuDrawHandler* handler);
void UnregisterMenuHandler(HMENU menu);
MenuDrawHandler* FindMenuHandler(HMENU menu);
// For WM_MEASUREITEM the platform does not say which popup holds the item; the window that
// tracks a menu names its handler here for the duration of the tracking. Without one, the
// request goes to the registered handler whose popup holds an item with that item data.
void SetTrackedMenuHandler(MenuDrawHandler* handler);
MenuDrawHandler* TrackedMenuHandler();
MenuDrawHandler* FindMenuHandlerForItem(ULONG_PTR itemData);

// Names the tracked handler for one scope and restores the previous one.
class TrackedMenuScope {
 public:
  explicit TrackedMenuScope(MenuDrawHandler* handler) noexcept : previous_(TrackedMenuHandler()) {
    SetTrackedMenuHandler(handler);
  }
  ~TrackedMenuScope() { SetTrackedMenuHandler(previous_); }
  TrackedMenuScope(const TrackedMenuScope&) = delete;
  TrackedMenuScope& operator=(const TrackedMenuScope&) = delete;

 private:
  MenuDrawHandler* previous_;
};

}  // namespace vantrel::fw
