// Edit controls that accept input only through a mask, and the time field built on them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/core/mask_engine.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace vantrel::controls {

// The form H:MM:SS of every duration field.
inline constexpr char kTimeMask[] = "[0-9]:[0-5][0-9]:[0-5][0-9]";
inline constexpr char kInitFailedText[] = "Init failed.";
inline constexpr char kSetValidCharsFailedText[] = "SetValidChars failed.";

// A single-line edit whose every position is a fixed literal or an input position with its
// own set of valid characters; empty input positions show the prompt character. Bound to an
// edit control with SubclassDlgItem/Subclass, or made with Create.
class CmEdit : public fw::Window {
 public:
  CmEdit();
  ~CmEdit() override;
  CmEdit(const CmEdit&) = delete;
  CmEdit& operator=(const CmEdit&) = delete;
  // The field bound to `window`, or null when it is not one.
  static CmEdit* FromWindow(HWND window) noexcept;

  // Makes its own edit control, disabled until Init succeeds.
  bool Create(HWND parent, const RECT& rect, int id);

  // Parses the mask and shows the raw text through it. An invalid mask leaves the control
  // disabled with "Init failed." (brackets) or "SetValidChars failed." (sets) as its text.
  bool Init(const std::string& mask, const std::string& raw);
  // Exactly one character; the shown text is not redrawn.
  bool SetPromptChar(const std::string& prompt);
  // Shows `raw` through the mask; the current position stays.
  void SetInputText(const std::string& raw);
  // The characters at the input positions that are not the prompt.
  std::string GetInputText() const;

  int current_position() const noexcept { return current_; }
  const std::vector<MaskElement>& elements() const noexcept { return elements_; }
  const std::string& prompt() const noexcept { return prompt_; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  MaskRules Rules() const noexcept { return MaskRules(elements_, prompt_[0]); }
  void Fail(const char* text);
  void OnKeyDown(UINT key);
  void OnChar(unsigned char c);
  void GetSelection(int& start, int& end) const;
  void SetCaret(int position);
  void Replace(int from, int to, const std::string& text);
  void BlankSelection(int start, int end);
  std::string Text() const;

  std::string prompt_ = "_";
  std::vector<MaskElement> elements_;
  int current_ = 0;
  bool shift_held_ = false;
};

// A time field H:MM:SS with a popup of preset durations on the right mouse button.
class CTimeEdit : public CmEdit {
 public:
  CTimeEdit();

  // Builds the popup again in the current language.
  void RebuildPresets();
  HMENU presets() const noexcept { return presets_.get(); }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void OnPreset(UINT command);

  fw::UniqueMenu presets_;
};

}  // namespace vantrel::controls
