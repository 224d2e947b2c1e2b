// A tab control that shows one modeless child dialog per tab, the chosen one in its display
// area and the others hidden.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace vantrel::fw {

class TabHost {
 public:
  // The current index while no page has been shown yet.
  static constexpr unsigned kNoPage = 255;

  TabHost() noexcept : control_(*this) {}
  ~TabHost();
  TabHost(const TabHost&) = delete;
  TabHost& operator=(const TabHost&) = delete;

  // Works with a tab control made elsewhere (a dialog's item): it stays its maker's.
  bool Bind(HWND tab);
  bool BindDlgItem(HWND dialog, int id) { return Bind(::GetDlgItem(dialog, id)); }
  // Makes the tab control, in the parent's font; it is destroyed with this object.
  bool Create(HWND parent, int id, const RECT& area);

  HWND tab() const noexcept { return tab_; }
  unsigned count() const noexcept { return static_cast<unsigned>(pages_.size()); }
  unsigned current() const noexcept { return current_; }

  // Appends a tab for `page`, creating the page as a child of the tab control when it has no
  // window yet. The page stays hidden until its tab is chosen, and is destroyed by its owner.
  // Returns the tab's index, or -1. `image` indexes the image list, -1 for none. A null page
  // makes a tab that shows nothing (its page could not be made).
  int AddTab(const char* text, int image, Dialog* page);
  int AddTab(const char* text, int image, Dialog& page) { return AddTab(text, image, &page); }
  void SetImageList(UniqueImageList images) noexcept;
  HIMAGELIST image_list() const noexcept { return images_.get(); }
  bool SetTabText(unsigned index, const char* text);
  std::string TabText(unsigned index) const;

  // Shows the page of tab `index` and hides the one shown before; choosing the page that is
  // shown already does nothing.
  bool Select(unsigned index);
  // Hides and shows the current page again, so that all of it is painted anew.
  void ReshowCurrent() noexcept;
  // Fits every page to the tab control's display area; done by itself when the control is
  // resized.
  void Layout() noexcept;
  // The page of tab `index` while its window exists, else null.
  Dialog* Page(unsigned index) const noexcept;

  // The change of tab reaches the host through its control's reflected notification. A parent
  // that does not reflect (not a window of this layer) passes its WM_NOTIFY here. True when it
  // was this control's change of tab.
  bool HandleNotify(const NMHDR& header);

 private:
  // The tab control's object: it receives the reflected notifications and sizes.
  class Control : public Window {
   public:
    explicit Control(TabHost& host) noexcept : host_(host) {}

   protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnReflectedNotify(NMHDR& header, LRESULT& result) override;
    void OnFinalDestroy() override { host_.OnControlDestroyed(); }

   private:
    TabHost& host_;
  };

  struct Entry {
    HWND window;
    // Followed only while the window still carries it: tells the page from a later window
    // given the same handle.
    Dialog* object;
  };

  HWND LiveWindow(unsigned index) const noexcept;
  RECT DisplayArea() const noexcept;
  void OnControlDestroyed() noexcept;

  HWND tab_ = nullptr;
  bool created_ = false;
  unsigned current_ = kNoPage;
  std::vector<Entry> pages_;
  UniqueImageList images_;
  Control control_;
};

}  // namespace vantrel::fw
