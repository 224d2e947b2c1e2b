#include "controls/core/mask_engine.h"

namespace vantrel::controls {

bool CheckBrackets(std::string_view mask) noexcept {
  int depth = 0;
  for (char c : mask) {
    if (c == '[') ++depth;
    if (c == ']') --depth;
    if (depth < 0 || depth > 1) return false;
  }
  return depth == 0;
}

bool ParseMask(std::string_view mask, std::vector<MaskElement>& elements) {
  elements.clear();
  bool in_set = false;
  bool escaped = false;
  bool range_pending = false;
  unsigned char range_start = 0;
  std::string set;

  // A character that ends a pending range, or joins the set.
  auto add = [&](char c) {
    if (range_pending) {
      for (unsigned code = range_start; code <= static_cast<unsigned char>(c); ++code) {
        set += static_cast<char>(code);
      }
      range_pending = false;
    } else {
      set += c;
    }
  };

  for (char c : mask) {
    if (!in_set) {
      if (c == '[') {
        in_set = true;
        continue;
      }
      // A stray "]" cannot get here once the brackets are checked; it stays a literal.
      if (elements.size() == kMaxMaskElements) {
        elements.clear();
        return false;
      }
      elements.push_back(MaskElement{std::string(1, c), true});
      continue;
    }
    if (c == ']') {
      // Closes the set whatever precedes it, as the bracket check counts it.
      if (elements.size() == kMaxMaskElements) {
        elements.clear();
        return false;
      }
      elements.push_back(MaskElement{set, false});
      set.clear();
      in_set = false;
      escaped = false;
      range_pending = false;
      continue;
    }
    if (escaped) {
      escaped = false;
      if (c == '-') {
        set += '-';
      } else {
        add(c);
      }
      continue;
    }
    if (c == '\\') {
      escaped = true;
    } else if (c == '-') {
      if (set.empty()) {
        elements.clear();
        return false;
      }
      range_start = static_cast<unsigned char>(set.back());
      set.pop_back();
      range_pending = true;
    } else {
      add(c);
    }
  }
  return true;
}

bool MaskRules::IsInput(int pos) const noexcept {
  return pos >= 0 && pos < count() && !elements_[static_cast<size_t>(pos)].literal;
}

int MaskRules::NextInput(int from) const noexcept {
  for (int pos = from < 0 ? 0 : from; pos < count(); ++pos) {
    if (IsInput(pos)) return pos;
  }
  return -1;
}

int MaskRules::PrevInput(int from) const noexcept {
  for (int pos = from >= count() ? count() - 1 : from; pos >= 0; --pos) {
    if (IsInput(pos)) return pos;
  }
  return -1;
}

bool MaskRules::Accepts(int pos, char c) const noexcept {
  if (pos < 0 || pos >= count()) return false;
  return elements_[static_cast<size_t>(pos)].characters.find(c) != std::string::npos;
}

char MaskRules::BlankAt(int pos) const noexcept {
  if (pos < 0 || pos >= count()) return prompt_;
  const MaskElement& element = elements_[static_cast<size_t>(pos)];
  return element.literal && !element.characters.empty() ? element.characters[0] : prompt_;
}

std::string MaskRules::Blank(int from, int to) const {
  std::string blank;
  if (from < 0) from = 0;
  if (to > count()) to = count();
  for (int pos = from; pos < to; ++pos) blank += BlankAt(pos);
  return blank;
}

std::string MaskRules::Shown(std::string_view raw) const {
  std::string shown;
  size_t next = 0;
  for (const MaskElement& element : elements_) {
    if (element.literal) {
      shown += element.characters.empty() ? prompt_ : element.characters[0];
      continue;
    }
    if (next < raw.size()) {
      char c = raw[next++];
      shown += element.characters.find(c) != std::string::npos ? c : prompt_;
    } else {
      shown += prompt_;
    }
  }
  return shown;
}

std::string MaskRules::Raw(std::string_view shown) const {
  std::string raw;
  for (int pos = 0; pos < count(); ++pos) {
    if (!IsInput(pos)) continue;
    if (static_cast<size_t>(pos) >= shown.size()) {
      raw += prompt_;
    } else if (shown[static_cast<size_t>(pos)] != prompt_) {
      raw += shown[static_cast<size_t>(pos)];
    }
  }
  return raw;
}

}  // namespace vantrel::controls
