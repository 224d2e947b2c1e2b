// The History page of the main window: per battery, the full-charged capacity against the
// design capacity over months with the wear and the cycles, the charge over the last three
// days with the mains and battery stretches, the run time at full charge now and when new,
// and "Save report...", which writes the whole history as one HTML file and opens it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "battery/core/history.h"
#include "battery/history_recorder.h"
#include "ui/page.h"

namespace vantrel::battery {

// Redraws the charts while the page is on screen, as new samples come in.
inline constexpr UINT_PTR kHistoryPageTimer = 257;
inline constexpr UINT kHistoryPageRefreshMs = 60000;

class CHistoryPage : public ui::CPage {
 public:
  explicit CHistoryPage(HWND parent);
  ~CHistoryPage() override;

  void ApplyLanguage() override;

  // Series shown in the list, in its order; the entry chosen, -1 when none.
  const std::vector<int>& series() const noexcept { return series_; }
  int Selected() const noexcept;
  // Reads the history again and shows it.
  void Refresh();
  // Writes the report into `report_folder` and hands it to `open_report`; true when written.
  bool SaveReport();

  // Where reports go (the user's documents by default) and how one is opened (with the
  // program the system associates with it by default); tests put their own.
  std::string report_folder;
  std::function<void(HWND owner, const std::string& file)> open_report;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void FillList();
  void ShowFigures();
  void Layout();
  void DrawChart(const DRAWITEMSTRUCT& item) const;

  // The timer stops while the page is off screen and starts again when it is painted.
  void StartTimer() noexcept;
  bool OnScreen() const noexcept;

  history::History history_;
  bool timer_running_ = false;
  std::vector<int> series_;
  HistoryNotice notice_;  // the recorder's, or the last report's outcome
  int64_t now_ = 0;
};

}  // namespace vantrel::battery
