// The About box: the product's name and version from the version resource, and the maker's
// contact lines.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/handles.h"
#include "i18n/lang_dialog.h"

namespace vantrel::app {

// "Vantrel 1.00": the product name and version the program's version resource states; the
// built-in name and "1.00" when it cannot be read.
std::string ProductLine();

class CAboutDialog : public i18n::CLangDialog {
 public:
  explicit CAboutDialog(HWND parent) noexcept;
  // The caption and the OK button; the painted lines follow on the next paint.
  void ApplyLanguage() override;
  // The painted lines, top to bottom.
  std::vector<std::string> Lines() const;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void Paint(HDC dc);
  fw::UniqueFont bold_font_;
};

}  // namespace vantrel::app
