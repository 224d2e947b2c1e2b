// The shipped language files translate every text once, keep the placeholders the program
// fills in, and are stored in their own 8-bit code page.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "i18n/core/language_table.h"

namespace vantrel::i18n {
namespace {

std::vector<std::string> Placeholders(const std::string& text) {
  std::vector<std::string> found;
  for (size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i + 2)) found.push_back(text.substr(i, 2));
  return found;
}

TEST(ShippedLanguagesTest, EachTranslatesEveryTextOnceInItsOwnCodePage) {
  // A text with letters outside ASCII, as the file's code page encodes them (not as UTF-8).
  std::map<std::string, std::pair<int, std::string>> expected = {
      {"Deutsch", {3, "\xDC" "bernehmen"}}, {"Francais", {1030, "Red\xE9marrer"}},  // Windows-1252
      {"Russkiy", {2, "\xCE\xF2\xEC\xE5\xED\xE0"}}};                                // Windows-1251
  const std::vector<int> builtin = BuiltInIds();
  std::error_code ec;
  for (const auto& file : std::filesystem::directory_iterator(VANTREL_LANGUAGE_SOURCE_DIR, ec)) {
    if (file.path().extension() != ".lng") continue;
    const std::string name = file.path().stem().string();
    SCOPED_TRACE(name);
    std::ifstream in(file.path(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<LanguageEntry> entries;
    ParseLanguageFile(bytes, entries);

    std::vector<int> ids;
    for (const LanguageEntry& entry : entries) {
      ids.push_back(entry.id);
      const char* english = BuiltInText(entry.id);
      if (!english) continue;
      EXPECT_EQ(Placeholders(entry.text), Placeholders(english)) << entry.id << " " << entry.text;
      // Only the blank text may be blank.
      EXPECT_EQ(entry.text.find_first_not_of(' ') == std::string::npos, english == std::string(" ")) << entry.id;
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, builtin);  // nothing missing, nothing extra, nothing twice

    auto sample = expected.find(name);
    if (sample == expected.end()) continue;
    auto text = std::find_if(entries.begin(), entries.end(),
                             [&](const LanguageEntry& entry) { return entry.id == sample->second.first; });
    ASSERT_NE(text, entries.end());
    EXPECT_EQ(text->text, sample->second.second);
    expected.erase(sample);
  }
  EXPECT_TRUE(expected.empty()) << "missing: " << expected.begin()->first;
}

}  // namespace
}  // namespace vantrel::i18n
