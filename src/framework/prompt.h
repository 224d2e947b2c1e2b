// Message boxes go through one function so that tests can record them instead of blocking
// on a modal box.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vantrel::fw {

// Shows a message box (MessageBoxA semantics) and returns the button chosen.
int Prompt(HWND owner, const std::string& text, const std::string& caption, UINT type);

// The program's own message box: captioned with the program's name.
int AppPrompt(HWND owner, const std::string& text, UINT type = MB_OK);
const char* ProductName() noexcept;

using PromptHandler = std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)>;
// Replaces the message box; an empty handler restores the real one. Returns the previous one.
PromptHandler SetPromptHandler(PromptHandler handler);

// Records every prompt while it lives and answers with a fixed button.
class PromptRecorder {
 public:
  struct Entry {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
  };

  explicit PromptRecorder(int answer = IDOK);
  ~PromptRecorder();
  PromptRecorder(const PromptRecorder&) = delete;
  PromptRecorder& operator=(const PromptRecorder&) = delete;

  void set_answer(int answer) noexcept { answer_ = answer; }
  const std::vector<Entry>& entries() const noexcept { return entries_; }
  void clear() noexcept { entries_.clear(); }

 private:
  int answer_;
  std::vector<Entry> entries_;
  PromptHandler previous_;
};

}  // namespace vantrel::fw
