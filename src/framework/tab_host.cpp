#include "framework/tab_host.h"

#include <commctrl.h>

#include <cstring>
#include <utility>

namespace vantrel::fw {

namespace {

bool IsTabControl(HWND window) {
  char name[32] = {};
  return ::GetClassNameA(window, name, sizeof name) > 0 && ::lstrcmpiA(name, WC_TABCONTROLA) == 0;
}

}  // namespace

TabHost::~TabHost() {
  if (!tab_ || !::IsWindow(tab_)) return;
  // The control must not keep drawing from an image list about to go.
  if (images_) ::SendMessageA(tab_, TCM_SETIMAGELIST, 0, 0);
  HWND tab = tab_;
  control_.Unsubclass();
  tab_ = nullptr;
  if (created_) ::DestroyWindow(tab);
}

bool TabHost::Bind(HWND tab) {
  if (!tab || tab_ || !IsTabControl(tab)) return false;
  tab_ = tab;
  // A control that already has an object still works; its owner then calls HandleNotify.
  control_.Subclass(tab);
  // Lets the dialog's keyboard navigation go on into the controls of the page.
  ::SetWindowLongPtrA(tab, GWL_EXSTYLE, ::GetWindowLongPtrA(tab, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  if (images_) ::SendMessageA(tab, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
  return true;
}

bool TabHost::Create(HWND parent, int id, const RECT& area) {
  if (tab_) return false;
  HWND tab = ::CreateWindowExA(WS_EX_CONTROLPARENT, WC_TABCONTROLA, "",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, area.left,
                               area.top, area.right - area.left, area.bottom - area.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ResourceInstance(), nullptr);
  if (!tab) return false;
  ::SendMessageA(tab, WM_SETFONT, ::SendMessageA(parent, WM_GETFONT, 0, 0), FALSE);
  if (!Bind(tab)) {
    ::DestroyWindow(tab);
    return false;
  }
  created_ = true;
  return true;
}

int TabHost::AddTab(const char* text, int image, Dialog* page) {
  if (!tab_ || pages_.size() >= kNoPage) return -1;
  pages_.reserve(pages_.size() + 1);  // nothing can fail once the tab is in the control
  if (page && !page->hwnd() && !page->Create(tab_)) return -1;
  HWND window = page ? page->hwnd() : nullptr;
  if (window) {
    if (::GetParent(window) != tab_) ::SetParent(window, tab_);
    ::ShowWindow(window, SW_HIDE);
  }

  std::string label = text ? text : "";
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = label.data();
  item.iImage = image;
  const auto at = static_cast<WPARAM>(pages_.size());
  const auto index = static_cast<int>(::SendMessageA(tab_, TCM_INSERTITEMA, at, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) return -1;
  pages_.push_back(Entry{window, page});
  if (window) {
    const RECT area = DisplayArea();
    ::SetWindowPos(window, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return index;
}

void TabHost::SetImageList(UniqueImageList images) noexcept {
  if (tab_) ::SendMessageA(tab_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
  // The list replaced goes only once the control no longer holds it.
  images_ = std::move(images);
}

bool TabHost::SetTabText(unsigned index, const char* text) {
  if (!tab_ || index >= pages_.size()) return false;
  std::string label = text ? text : "";
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = label.data();
  return ::SendMessageA(tab_, TCM_SETITEMA, index, reinterpret_cast<LPARAM>(&item)) != 0;
}

std::string TabHost::TabText(unsigned index) const {
  if (!tab_ || index >= pages_.size()) return {};
  char buffer[256] = {};
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  if (!::SendMessageA(tab_, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item))) return {};
  // The control may answer with its own buffer instead of filling ours.
  const char* text = item.pszText ? item.pszText : buffer;
  return std::string(text, ::strnlen(text, sizeof buffer - 1));
}

bool TabHost::Select(unsigned index) {
  if (!tab_ || index >= pages_.size()) return false;
  if (index == current_) return true;
  if (::SendMessageA(tab_, TCM_GETCURSEL, 0, 0) != static_cast<LRESULT>(index)) {
    ::SendMessageA(tab_, TCM_SETCURSEL, index, 0);
  }
  HWND previous = current_ < pages_.size() ? LiveWindow(current_) : nullptr;
  current_ = index;
  if (HWND next = LiveWindow(index)) {
    const RECT area = DisplayArea();
    ::SetWindowPos(next, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  if (previous) {
    // Keys typed next must not go to a hidden page.
    HWND focus = ::GetFocus();
    const bool had_focus = focus && (focus == previous || ::IsChild(previous, focus));
    ::ShowWindow(previous, SW_HIDE);
    if (had_focus) ::SetFocus(tab_);
  }
  return true;
}

void TabHost::ReshowCurrent() noexcept {
  HWND page = current_ < pages_.size() ? LiveWindow(current_) : nullptr;
  if (!page) return;
  ::ShowWindow(page, SW_HIDE);
  ::ShowWindow(page, SW_SHOW);
}

void TabHost::Layout() noexcept {
  if (!tab_) return;
  const RECT area = DisplayArea();
  for (unsigned i = 0; i < pages_.size(); ++i) {
    if (HWND page = LiveWindow(i)) {
      ::SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

Dialog* TabHost::Page(unsigned index) const noexcept {
  HWND window = LiveWindow(index);
  return window ? pages_[index].object : nullptr;
}

bool TabHost::HandleNotify(const NMHDR& header) {
  if (!tab_ || header.hwndFrom != tab_ || header.code != static_cast<UINT>(TCN_SELCHANGE)) return false;
  const LRESULT chosen = ::SendMessageA(tab_, TCM_GETCURSEL, 0, 0);
  if (chosen >= 0) Select(static_cast<unsigned>(chosen));
  return true;
}

HWND TabHost::LiveWindow(unsigned index) const noexcept {
  if (index >= pages_.size() || !pages_[index].window) return nullptr;
  const Entry& entry = pages_[index];
  // A page whose window is gone, or whose object let go of it, is no longer shown.
  if (!::IsWindow(entry.window) || Window::FromHandle(entry.window) != entry.object) return nullptr;
  return entry.window;
}

RECT TabHost::DisplayArea() const noexcept {
  RECT area{};
  ::GetClientRect(tab_, &area);
  ::SendMessageA(tab_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  return area;
}

void TabHost::OnControlDestroyed() noexcept {
  // The pages were the control's children and went with it.
  tab_ = nullptr;
  created_ = false;
  pages_.clear();
  current_ = kNoPage;
}

LRESULT TabHost::Control::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  const LRESULT result = Default(msg, wp, lp);
  if (msg == WM_SIZE) host_.Layout();
  return result;
}

bool TabHost::Control::OnReflectedNotify(NMHDR& header, LRESULT&) {
  host_.HandleNotify(header);
  return false;  // the parent may want to know of the change as well
}

}  // namespace vantrel::fw
