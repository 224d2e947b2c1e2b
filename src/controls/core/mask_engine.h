// The input mask of the masked edit: parsing a mask such as "[0-9]:[0-5][0-9]" into elements,
// and the text rules that the edit applies to its shown text (positions, blanking, raw input).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::controls {

struct MaskElement {
  std::string characters;  // the literal character, or the set accepted at this position
  bool literal = false;
};

inline constexpr size_t kMaxMaskElements = 256;

// "[" and "]" must alternate, starting with "[", and end balanced: no nesting, no stray "]".
bool CheckBrackets(std::string_view mask) noexcept;

// Parses a mask whose brackets passed CheckBrackets. Fails on a range without a start ("[-9]")
// and on masks of more than kMaxMaskElements elements; `elements` is then left empty.
bool ParseMask(std::string_view mask, std::vector<MaskElement>& elements);

// Position rules over parsed elements. Positions are character indexes of the shown text;
// -1 means "none". The rules only look at the elements, which must outlive them.
class MaskRules {
 public:
  MaskRules(const std::vector<MaskElement>& elements, char prompt) noexcept
      : elements_(elements), prompt_(prompt) {}
  MaskRules(std::vector<MaskElement>&&, char) = delete;

  int count() const noexcept { return static_cast<int>(elements_.size()); }
  bool IsInput(int pos) const noexcept;
  // The first input position at or after `from`, or -1.
  int NextInput(int from) const noexcept;
  // The last input position at or before `from`, or -1.
  int PrevInput(int from) const noexcept;
  int FirstInput() const noexcept { return NextInput(0); }
  int LastInput() const noexcept { return PrevInput(count() - 1); }
  // Whether `c` may stand at `pos` (a literal position accepts only its own character).
  bool Accepts(int pos, char c) const noexcept;
  // What an emptied position shows: its literal, or the prompt.
  char BlankAt(int pos) const noexcept;
  // The blanked form of the positions [from, to).
  std::string Blank(int from, int to) const;

  // The shown text for raw input: every input position takes the next raw character, shown
  // when valid and as the prompt otherwise; positions beyond the raw text show the prompt.
  std::string Shown(std::string_view raw) const;
  // The raw input read back from a shown text: the characters at input positions that are
  // not the prompt (positions beyond the text count as the prompt and give the prompt).
  std::string Raw(std::string_view shown) const;

 private:
  const std::vector<MaskElement>& elements_;
  char prompt_;
};

}  // namespace vantrel::controls
