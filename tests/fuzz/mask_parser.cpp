// Masks and raw input from untrusted bytes: "<mask>\n<raw>". The parser must not crash, and
// the shown text must always fit the mask.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "controls/core/mask_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find('\n');
  std::string_view mask = input.substr(0, split);
  std::string_view raw = split == std::string_view::npos ? std::string_view{} : input.substr(split + 1);
  using namespace vantrel::controls;
  std::vector<MaskElement> elements;
  if (!CheckBrackets(mask) || !ParseMask(mask, elements)) return 0;
  if (elements.size() > kMaxMaskElements) std::abort();
  MaskRules rules(elements, '_');
  std::string shown = rules.Shown(raw);
  if (shown.size() != elements.size()) std::abort();
  for (int pos = 0; pos < rules.count(); ++pos) {
    const char c = shown[static_cast<size_t>(pos)];
    if (rules.IsInput(pos) && c != '_' && !rules.Accepts(pos, c)) std::abort();
  }
  // Reading back and showing again gives the same text.
  if (MaskRules(elements, '_').Shown(rules.Raw(shown)) != shown && shown.find('_') == std::string::npos) std::abort();
  return 0;
}
