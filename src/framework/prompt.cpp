#include "framework/prompt.h"

#include <utility>

namespace vantrel::fw {

namespace {

PromptHandler& CurrentHandler() {
  static PromptHandler handler;
  return handler;
}

}  // namespace

const char* ProductName() noexcept { return "Vantrel"; }

int Prompt(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  if (const PromptHandler& handler = CurrentHandler()) return handler(owner, text, caption, type);
  return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

int AppPrompt(HWND owner, const std::string& text, UINT type) { return Prompt(owner, text, ProductName(), type); }

PromptHandler SetPromptHandler(PromptHandler handler) { return std::exchange(CurrentHandler(), std::move(handler)); }

PromptRecorder::PromptRecorder(int answer) : answer_(answer) {
  previous_ = SetPromptHandler([this](HWND owner, const std::string& text, const std::string& caption, UINT type) {
    entries_.push_back(Entry{owner, text, caption, type});
    return answer_;
  });
}

PromptRecorder::~PromptRecorder() { SetPromptHandler(std::move(previous_)); }

}  // namespace vantrel::fw
