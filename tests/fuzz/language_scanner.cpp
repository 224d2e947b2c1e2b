// Language files come from anyone: whatever their bytes, reading one must not fail, and the
// table must keep the properties lookups rely on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/core/language_table.h"

using vantrel::i18n::LanguageEntry;
using vantrel::i18n::LanguageTable;

static void Check(bool condition) {
  if (!condition) std::abort();
}

static std::vector<LanguageEntry> Parse(std::string_view bytes) {
  std::vector<LanguageEntry> entries;
  vantrel::i18n::ParseLanguageFile(bytes, entries);
  return entries;
}

namespace vantrel::i18n {
static bool operator==(const LanguageEntry& a, const LanguageEntry& b) { return a.id == b.id && a.text == b.text; }
}  // namespace vantrel::i18n

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<LanguageEntry> entries = Parse(bytes);

  // Nothing after the end-of-file byte counts; one entry at most per line; texts are parts
  // of lines, so never hold a line feed or the end-of-file byte.
  const std::string_view visible = bytes.substr(0, bytes.find('\x1a'));
  Check(entries == Parse(visible));
  size_t lines = visible.empty() ? 0 : 1, text_bytes = 0;
  for (char c : visible) lines += c == '\n';
  Check(entries.size() <= lines);
  for (const LanguageEntry& entry : entries) {
    Check(entry.id >= 0);
    Check(entry.text.find_first_of("\n\x1a") == std::string::npos);
    text_bytes += entry.text.size();
  }
  Check(text_bytes <= visible.size());

  // The same file with every line ending in CR LF reads the same.
  std::string dos;
  for (size_t i = 0; i < visible.size(); ++i) {
    if (visible[i] == '\n' && (i == 0 || visible[i - 1] != '\r')) dos += '\r';
    dos += visible[i];
  }
  Check(entries == Parse(dos));

  // Loaded, lookups give the first of a duplicated identifier; a failing reload keeps it all.
  bool readable = true;
  LanguageTable table("folder", [&](const std::string&, std::string& out) {
    if (readable) out.assign(bytes);
    return readable;
  });
  Check(table.Load("fuzz") && table.entries() == entries);
  std::map<int32_t, const std::string*> first;
  for (size_t i = 0; i < entries.size() && first.size() < 64; ++i) first.emplace(entries[i].id, &entries[i].text);
  for (const auto& [id, text] : first) Check(table.GetText(id) == *text);
  readable = false;
  Check(!table.Load("other") && table.name() == "fuzz" && table.entries() == entries);
  return 0;
}
