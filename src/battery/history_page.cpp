#include "battery/history_page.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

#include "battery/core/battery_figures.h"
#include "battery/core/history_chart.h"
#include "battery/core/history_report.h"
#include "battery/history_recorder.h"
#include "framework/handles.h"
#include "history_ids.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"
#include "resource.h"

namespace vantrel::battery {

namespace h = history;

namespace {

constexpr i18n::ControlText kTexts[] = {
    {i18n::IDS_HISTORY_BATTERY, IDC_HISTORY_BATTERY_LABEL},
    {i18n::IDS_HISTORY_CAPACITY_CHART, IDC_HISTORY_CAPACITY_TITLE},
    {i18n::IDS_HISTORY_CHARGE_CHART, IDC_HISTORY_CHARGE_TITLE},
    {i18n::IDS_HISTORY_SAVE_REPORT, IDC_HISTORY_SAVE_REPORT},
};
constexpr int kHandCursorControls[] = {IDC_HISTORY_BATTERY_LIST, IDC_HISTORY_SAVE_REPORT};

constexpr char kReportName[] = "Vantrel battery report";
constexpr int kGap = 4;  // pixels between the page's rows and around the charts' texts

COLORREF Gdi(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

std::string RunTimeText(uint64_t seconds) {
  return seconds ? TimeText(seconds) : i18n::Text(i18n::IDS_BATTERY_UNKNOWN);
}

RECT RectIn(HWND parent, HWND control) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void OpenWithDefaultProgram(HWND owner, const std::string& file) {
  ::ShellExecuteA(owner, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::string DocumentsFolder() {
  char folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
  return folder;
}

// The lines of a chart in one pen; a line of one point is a dot.
void DrawLines(HDC dc, const std::vector<std::vector<h::Point>>& lines, uint32_t colour, int style, int width) {
  fw::UniquePen pen(::CreatePen(style, width, Gdi(colour)));
  fw::UniqueBrush dot(::CreateSolidBrush(Gdi(colour)));
  fw::SelectObjectGuard selected(dc, pen.get());
  for (const std::vector<h::Point>& line : lines) {
    if (line.size() == 1) {
      const int x = static_cast<int>(line[0].x), y = static_cast<int>(line[0].y);
      RECT r{x - 2, y - 2, x + 2, y + 2};
      ::FillRect(dc, &r, dot);
      continue;
    }
    std::vector<POINT> points;
    points.reserve(line.size());
    for (const h::Point& p : line) points.push_back({static_cast<LONG>(p.x + 0.5), static_cast<LONG>(p.y + 0.5)});
    ::Polyline(dc, points.data(), static_cast<int>(points.size()));
  }
}

}  // namespace

CHistoryPage::CHistoryPage(HWND parent)
    : CPage(IDD_HISTORY_PAGE, parent), report_folder(DocumentsFolder()), open_report(&OpenWithDefaultProgram) {
  SetTexts(kTexts);
  SetHandCursorControls(kHandCursorControls);
}

CHistoryPage::~CHistoryPage() {
  if (hwnd()) ::KillTimer(hwnd(), kHistoryPageTimer);
}

BOOL CHistoryPage::OnInitDialog() {
  Layout();
  Refresh();
  StartTimer();
  return TRUE;
}

void CHistoryPage::StartTimer() noexcept {
  if (!timer_running_ && hwnd() && ::SetTimer(hwnd(), kHistoryPageTimer, kHistoryPageRefreshMs, nullptr))
    timer_running_ = true;
}

bool CHistoryPage::OnScreen() const noexcept {
  if (!hwnd() || !::IsWindowVisible(hwnd())) return false;
  HWND root = ::GetAncestor(hwnd(), GA_ROOT);
  return !(root && ::IsIconic(root));
}

int CHistoryPage::Selected() const noexcept {
  return static_cast<int>(::SendMessageA(Item(IDC_HISTORY_BATTERY_LIST), CB_GETCURSEL, 0, 0));
}

void CHistoryPage::Refresh() {
  // The running recorder's history, else the file as it is.
  history_ = h::History{};
  if (const HistoryRecorder* recorder = RunningHistory()) {
    history_ = recorder->history();
    if (!recorder->notice().empty()) notice_ = recorder->notice();
  } else {
    ReadHistoryFile(DefaultHistoryPath(), history_);
  }
  now_ = HistoryClock();
  FillList();
  ApplyLanguage();
}

void CHistoryPage::FillList() {
  HWND list = Item(IDC_HISTORY_BATTERY_LIST);
  const int chosen = Selected();
  const int chosen_series = chosen >= 0 && chosen < static_cast<int>(series_.size()) ? series_[chosen] : -1;
  series_.clear();
  ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
  // Each series once, by the battery's name and serial number; the one sampled last first chosen.
  int newest = -1;
  int64_t newest_time = INT64_MIN;
  for (const h::Battery& b : history_.batteries) {
    std::string text = b.identity.name.empty() ? i18n::Text(i18n::IDS_BATTERY_UNKNOWN) : b.identity.name;
    // Devices pad their serial numbers with blanks; the list shows the number alone.
    const std::string& serial = b.identity.serial;
    const size_t first = serial.find_first_not_of(' '), last = serial.find_last_not_of(' ');
    if (first != std::string::npos) text += " (" + serial.substr(first, last - first + 1) + ")";
    ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    series_.push_back(b.id);
    for (const h::Sample& s : history_.samples) {
      if (s.battery == b.id && s.time > newest_time) {
        newest_time = s.time;
        newest = static_cast<int>(series_.size()) - 1;
      }
    }
  }
  int select = newest >= 0 ? newest : (series_.empty() ? -1 : 0);
  for (size_t i = 0; i < series_.size(); ++i)
    if (series_[i] == chosen_series) select = static_cast<int>(i);
  if (select >= 0) ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

void CHistoryPage::ApplyLanguage() {
  CPage::ApplyLanguage();
  ShowFigures();
}

void CHistoryPage::ShowFigures() {
  const int k = Selected();
  std::string wear, run_time;
  if (k >= 0 && k < static_cast<int>(series_.size())) {
    const h::SeriesFigures f = h::FiguresOf(history_, series_[k]);
    if (f.has_capacity) {
      wear = i18n::FormatText(i18n::Text(i18n::IDS_HISTORY_WEAR), {std::to_string(f.wear), std::to_string(f.cycles)});
    }
    run_time = i18n::FormatText(i18n::Text(i18n::IDS_HISTORY_RUN_TIME),
                                {RunTimeText(f.run_time_now), RunTimeText(f.run_time_new)});
  }
  SetItemText(IDC_HISTORY_WEAR, wear);
  SetItemText(IDC_HISTORY_RUN_TIME, run_time);
  SetItemText(IDC_HISTORY_NOTICE,
              series_.empty() && notice_.empty() ? i18n::Text(i18n::IDS_HISTORY_NOTHING) : notice_.Text());
  // Repainted without erasing first: each chart covers its whole control.
  ::InvalidateRect(Item(IDC_HISTORY_CAPACITY_CHART), nullptr, FALSE);
  ::InvalidateRect(Item(IDC_HISTORY_CHARGE_CHART), nullptr, FALSE);
}

// ---- layout and drawing ---------------------------------------------------------------------

void CHistoryPage::Layout() {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  const int width = client.right - kGap * 2;
  if (width <= 0) return;
  // Rows of text as high as the page's font, the rest shared by the two charts.
  int line = 13;
  {
    fw::WindowDC dc(hwnd());
    fw::SelectObjectGuard font(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(hwnd(), WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    if (::GetTextMetricsA(dc, &metrics)) line = metrics.tmHeight;
  }
  const RECT list = RectIn(hwnd(), Item(IDC_HISTORY_BATTERY_LIST)),
             label = RectIn(hwnd(), Item(IDC_HISTORY_BATTERY_LABEL));
  const RECT button = RectIn(hwnd(), Item(IDC_HISTORY_SAVE_REPORT));
  const int list_height = list.bottom - list.top, button_width = button.right - button.left;
  const int button_height = button.bottom - button.top, label_width = label.right - label.left;
  auto place = [&](int id, int x, int y, int w, int hgt) {
    ::MoveWindow(Item(id), x, y, std::max(w, 0), std::max(hgt, 0), TRUE);
  };
  int y = kGap;
  place(IDC_HISTORY_BATTERY_LABEL, kGap, y + 3, label_width, line);
  // A combo box's window height is that of its opened list.
  RECT dropped{};
  ::SendMessageA(Item(IDC_HISTORY_BATTERY_LIST), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  place(IDC_HISTORY_BATTERY_LIST, kGap * 2 + label_width, y, width - label_width - kGap,
        std::max<int>(dropped.bottom - dropped.top, list_height));
  RECT field{};
  ::GetWindowRect(Item(IDC_HISTORY_BATTERY_LIST), &field);
  y += (field.bottom - field.top) + kGap;
  const int bottom_row = std::max(button_height, line * 2);
  const int charts = client.bottom - y - bottom_row - kGap * 2 - 4 * (line + kGap);
  const int chart = std::max(charts / 2, 0);
  place(IDC_HISTORY_CAPACITY_TITLE, kGap, y, width, line);
  y += line + kGap;
  place(IDC_HISTORY_CAPACITY_CHART, kGap, y, width, chart);
  y += chart + kGap;
  place(IDC_HISTORY_WEAR, kGap, y, width, line);
  y += line + kGap;
  place(IDC_HISTORY_CHARGE_TITLE, kGap, y, width, line);
  y += line + kGap;
  place(IDC_HISTORY_CHARGE_CHART, kGap, y, width, chart);
  y += chart + kGap;
  place(IDC_HISTORY_RUN_TIME, kGap, y, width, line);
  const int last = client.bottom - kGap - bottom_row;
  place(IDC_HISTORY_NOTICE, kGap, last, width - button_width - kGap, bottom_row);
  place(IDC_HISTORY_SAVE_REPORT, client.right - kGap - button_width, client.bottom - kGap - button_height, button_width,
        button_height);
}

void CHistoryPage::DrawChart(const DRAWITEMSTRUCT& item) const {
  const RECT& area = item.rcItem;
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  // Drawn off-screen and copied in one step: no flicker however often it is redrawn.
  fw::UniqueMemoryDC dc(::CreateCompatibleDC(item.hDC));
  fw::UniqueBitmap bitmap(::CreateCompatibleBitmap(item.hDC, width, height));
  if (!dc || !bitmap) return;
  fw::SelectObjectGuard surface(dc, bitmap.get());
  fw::SelectObjectGuard font(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(hwnd(), WM_GETFONT, 0, 0)));
  RECT whole{0, 0, width, height};
  ::FillRect(dc, &whole, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, Gdi(h::kTextColour));

  const bool capacity = item.CtlID == IDC_HISTORY_CAPACITY_CHART;
  const int k = Selected();
  const int series = k >= 0 && k < static_cast<int>(series_.size()) ? series_[k] : -1;
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  const int line = metrics.tmHeight;
  // Room for the widest value label at the left, the dates below and the key above.
  SIZE label{};
  ::GetTextExtentPoint32A(dc, capacity ? "888.8" : "100", capacity ? 5 : 3, &label);
  const h::Area plot{static_cast<double>(label.cx + kGap * 2), static_cast<double>(line + kGap),
                     static_cast<double>(width - kGap * 2), static_cast<double>(height - line - kGap)};
  h::Chart chart;
  chart.plot = plot;
  if (series >= 0) {
    chart = capacity ? h::CapacityChart(history_, series, now_, LocalOffset(), plot)
                     : h::ChargeChart(history_, series, now_, LocalOffset(), plot);
  }

  for (const h::Band& band : chart.bands) {
    fw::UniqueBrush brush(::CreateSolidBrush(Gdi(band.on_battery ? h::kBatteryBandColour : h::kMainsBandColour)));
    RECT r{static_cast<LONG>(band.left), static_cast<LONG>(plot.top), static_cast<LONG>(band.right + 0.5),
           static_cast<LONG>(plot.bottom)};
    ::FillRect(dc, &r, brush);
  }
  {
    fw::UniquePen grid(::CreatePen(PS_SOLID, 1, Gdi(h::kGridColour)));
    fw::SelectObjectGuard selected(dc, grid.get());
    for (const h::Tick& t : chart.y_ticks) {
      ::MoveToEx(dc, static_cast<int>(plot.left), static_cast<int>(t.at), nullptr);
      ::LineTo(dc, static_cast<int>(plot.right), static_cast<int>(t.at));
      RECT text{0, static_cast<LONG>(t.at) - line / 2, static_cast<LONG>(plot.left) - kGap,
                static_cast<LONG>(t.at) + line / 2 + 1};
      ::DrawTextA(dc, t.label.c_str(), -1, &text, DT_RIGHT | DT_SINGLELINE | DT_NOCLIP);
    }
    for (const h::Tick& t : chart.x_ticks) {
      ::MoveToEx(dc, static_cast<int>(t.at), static_cast<int>(plot.top), nullptr);
      ::LineTo(dc, static_cast<int>(t.at), static_cast<int>(plot.bottom));
      RECT text{static_cast<LONG>(t.at) - 60, static_cast<LONG>(plot.bottom) + 1, static_cast<LONG>(t.at) + 60,
                static_cast<LONG>(plot.bottom) + 1 + line};
      ::DrawTextA(dc, t.label.c_str(), -1, &text, DT_CENTER | DT_SINGLELINE | DT_NOCLIP);
    }
  }
  {
    fw::UniquePen frame(::CreatePen(PS_SOLID, 1, Gdi(h::kTextColour)));
    fw::SelectObjectGuard selected(dc, frame.get());
    fw::SelectObjectGuard hollow(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, static_cast<int>(plot.left), static_cast<int>(plot.top), static_cast<int>(plot.right) + 1,
                static_cast<int>(plot.bottom) + 1);
  }
  DrawLines(dc, chart.reference, h::kDesignColour, PS_DOT, 1);
  DrawLines(dc, chart.lines, chart.line_colour, PS_SOLID, 2);

  // The key, above the plot at its right.
  struct Key {
    uint32_t colour;
    int text;
  };
  const Key keys[2] = {
      capacity ? Key{h::kFullColour, i18n::IDS_HISTORY_FULL} : Key{h::kMainsBandColour, i18n::IDS_HISTORY_ON_MAINS},
      capacity ? Key{h::kDesignColour, i18n::IDS_HISTORY_DESIGN}
               : Key{h::kBatteryBandColour, i18n::IDS_HISTORY_ON_BATTERY}};
  int x = static_cast<int>(plot.right);
  for (int i = 1; i >= 0; --i) {
    const std::string text = i18n::Text(keys[i].text);
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    x -= size.cx;
    ::TextOutA(dc, x, 0, text.c_str(), static_cast<int>(text.size()));
    fw::UniqueBrush swatch(::CreateSolidBrush(Gdi(keys[i].colour)));
    RECT box{x - line - 2, 2, x - 4, line - 2};
    ::FillRect(dc, &box, swatch);
    ::FrameRect(dc, &box, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
    x -= line + kGap * 3;
  }
  if (chart.empty()) {
    RECT middle{static_cast<LONG>(plot.left), static_cast<LONG>(plot.top), static_cast<LONG>(plot.right),
                static_cast<LONG>(plot.bottom)};
    const std::string text = i18n::Text(i18n::IDS_HISTORY_NOTHING);
    ::DrawTextA(dc, text.c_str(), -1, &middle, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  ::BitBlt(item.hDC, area.left, area.top, width, height, dc, 0, 0, SRCCOPY);
}

// ---- the report -----------------------------------------------------------------------------

bool CHistoryPage::SaveReport() {
  const int64_t offset = LocalOffset();
  const std::string file = report_folder + "\\" + kReportName + " " + h::DateText(h::DayOf(now_, offset)) + ".html";
  char charset[32];
  std::snprintf(charset, sizeof charset, "windows-%u", ::GetACP());
  const std::string html = h::ReportHtml(history_, now_, offset, charset);
  bool written = false;
  {
    fw::UniqueHandle out(
        ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD done = 0;
    written = out.valid() && ::WriteFile(out.get(), html.data(), static_cast<DWORD>(html.size()), &done, nullptr) &&
              done == html.size();
    if (!written) {
      notice_ = {i18n::IDS_HISTORY_REPORT_FAILED, {file, std::to_string(::GetLastError())}};
    }
  }
  if (written) {
    notice_ = {i18n::IDS_HISTORY_REPORT_SAVED, {file}};
    if (open_report) open_report(hwnd(), file);
  } else {
    ::DeleteFileA(file.c_str());
  }
  ShowFigures();
  return written;
}

// ---- messages -------------------------------------------------------------------------------

bool CHistoryPage::OnCommand(WORD id, WORD code, HWND control) {
  if (id == IDC_HISTORY_BATTERY_LIST && code == CBN_SELCHANGE) {
    ShowFigures();
    return true;
  }
  if (id == IDC_HISTORY_SAVE_REPORT && code == BN_CLICKED) {
    Refresh();
    SaveReport();
    return true;
  }
  return CPage::OnCommand(id, code, control);
}

bool CHistoryPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (!item || (item->CtlID != IDC_HISTORY_CAPACITY_CHART && item->CtlID != IDC_HISTORY_CHARGE_CHART)) break;
      DrawChart(*item);
      result = TRUE;
      return true;
    }
    case WM_SIZE:
      Layout();
      break;
    case WM_TIMER:
      if (wp != kHistoryPageTimer) break;
      // Off screen there is nothing to redraw: the timer stops until the page is painted again.
      if (OnScreen()) {
        Refresh();
      } else {
        ::KillTimer(hwnd(), kHistoryPageTimer);
        timer_running_ = false;
      }
      result = 0;
      return true;
    case WM_PAINT:
      // Seen, not handled: shown again after a while, the page catches up.
      if (!timer_running_) {
        StartTimer();
        Refresh();
      }
      break;
    default:
      break;
  }
  return CPage::OnMessage(msg, wp, lp, result);
}

}  // namespace vantrel::battery
