// The language files: how a line reads, the table's lookups and reloads, the shipped files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"

namespace vantrel::i18n {
namespace {

// The entries of a file as "id|text" lines.
std::vector<std::string> Parse(std::string_view bytes) {
  std::vector<LanguageEntry> entries;
  ParseLanguageFile(bytes, entries);
  std::vector<std::string> out;
  for (const auto& e : entries) out.push_back(std::to_string(e.id) + "|" + e.text);
  return out;
}
using Lines = std::vector<std::string>;

TEST(LineScannerTest, OneLineGivesAtMostOneEntryAndLinesFollowTextModeRules) {
  const std::pair<const char*, const char*> cases[] = {
      // exactly one separator is consumed; nothing is trimmed or unescaped
      {"120 Hours", "120|Hours"}, {"120=Hours", "120|Hours"}, {"120\tHours", "120|Hours"}, {"120  Hours", "120| Hours"},
      {"4001 Word  ", "4001|Word  "}, {"7 a\\nb # %s", "7|a\\nb # %s"}, {"4001 ", "4001|"}, {"0001 x", "1|x"},
      {"3 \xDC\xC0\xFF", "3|\xDC\xC0\xFF"},
      {" 4001 Word", "0|4001 Word"},  // a leading blank starts the text at once, under identifier 0
      {"4294967297 x", "2147483647|x"},  // too many digits saturate rather than wrap (2^32 + 1)
      {"# 4001 Word", nullptr}, {"4001", nullptr}, {"40a Word", nullptr}, {"", nullptr}, {"Word", nullptr},
      {"-5 x", nullptr}, {"\r4001 x", nullptr}};
  for (const auto& [line, expected] : cases) {
    EXPECT_EQ(Parse(line), expected ? Lines{expected} : Lines{}) << "line: " << line;
  }
  // Files split as in text mode: CR LF and LF end a line, a lone CR stays in it, the last line needs no end.
  EXPECT_EQ(Parse("1 a\r\n2 b\n3 c\rd\n4 e\r\r\n5 f"), (Lines{"1|a", "2|b", "3|c\rd", "4|e\r", "5|f"}));
  EXPECT_EQ(Parse("1 a\n2 b\x1a" "c\n3 d\n"), (Lines{"1|a", "2|b"}));  // byte 26 ends the file, also inside a line
  EXPECT_EQ(Parse("1 " + std::string(100000, 'x'))[0].size(), 100002u);
}

class LanguageTableTest : public ::testing::Test {
 protected:
  static constexpr char kFolder[] = "C:\\Vantrel\\Languages\\";

  std::map<std::string, std::string> files_;
  std::vector<std::string> asked_;
  LanguageTable table_{kFolder, [this](const std::string& path, std::string& bytes) {
                         asked_.push_back(path);
                         auto it = files_.find(path);
                         if (it == files_.end()) return false;
                         bytes = it->second;
                         return true;
                       }};
};

// A failed reload keeping everything and the first of duplicates winning are fuzzed as well.
TEST_F(LanguageTableTest, BuiltInTextsUntilALanguageIsLoadedWhichIsReadAfreshEachTime) {
  EXPECT_FALSE(table_.Load("Missing"));
  EXPECT_EQ(table_.name(), "");
  EXPECT_EQ(table_.GetText(1), "OK");
  EXPECT_EQ(table_.GetText(8001), "");
  // Misspelled on purpose: the built-in texts are kept byte for byte.
  EXPECT_EQ(table_.GetText(IDS_NO_BATTERIES) + "|" + table_.GetText(IDS_BATTERY_RECHARGEABLE) + "|" +
                table_.GetText(IDS_BATTERY_NOT_RECHARGEABLE),
            "This computer don't have batteries!|Rechargable|NoRechargeble");

  files_[table_.FilePath("X")] = "3001 A\n3001 B\n 3302 About\n";
  ASSERT_TRUE(table_.Load("X"));
  // The folder keeps its own trailing backslash, so two of them precede the name.
  EXPECT_EQ(asked_.back(), "C:\\Vantrel\\Languages\\\\X.lng");
  EXPECT_EQ(table_.GetText(3001), "A");
  EXPECT_EQ(table_.GetText(3302), "");  // no fall-back to "About"
  std::string out = "stale";
  table_.GetText(1, out);
  EXPECT_EQ(out, "");

  files_[table_.FilePath("X")] = "1 Uno\n";
  ASSERT_TRUE(table_.Load("X"));
  EXPECT_EQ(table_.entries().size(), 1u);
  EXPECT_EQ(table_.GetText(1), "Uno");

  asked_.clear();
  EXPECT_TRUE(table_.Load(""));
  EXPECT_TRUE(asked_.empty());
  EXPECT_EQ(table_.GetText(1), "OK");
}

TEST(LanguageFileTest, RealFilesThroughTheTablesOwnReader) {
  namespace fsys = std::filesystem;
  std::error_code ec;
  // The table joins with a backslash, so off Windows its files sit beside the folder, not in
  // it: name everything per process and clear what an interrupted run may have left.
  const fsys::path dir =
      fsys::temp_directory_path(ec) / ("vantrel-language-file-test-" + std::to_string(getpid()));
  LanguageTable table(dir.string());
  const std::string file = table.FilePath("Real");
  const std::string folder_as_file = table.FilePath("Folder");
  const auto clear = [&] {
    for (const fsys::path& p : {dir, fsys::path(file), fsys::path(folder_as_file)}) fsys::remove_all(p, ec);
  };
  clear();
  ASSERT_TRUE(fsys::create_directories(dir, ec)) << ec.message();
  ASSERT_TRUE(std::ofstream(file, std::ios::binary) << "# test\r\n1 Gut\r\n2 Nein\x1a" "3 hidden\r\n") << file;
  // Where the file should be, a folder: it opens on some systems but cannot be read.
  ASSERT_TRUE(fsys::create_directory(folder_as_file, ec)) << ec.message();

  EXPECT_TRUE(table.Load("Real"));
  EXPECT_EQ(table.GetText(2), "Nein");
  EXPECT_FALSE(table.Load("Absent"));
  EXPECT_FALSE(table.Load("Folder"));
  EXPECT_EQ(table.GetText(1), "Gut");
  EXPECT_EQ(table.entries().size(), 2u);
  clear();
}

TEST(FormatTextTest, FillsOnlyItsOwnPlaceholders) {
  EXPECT_EQ(FormatText("Delete power scheme ('%s')?", {"Max Battery"}), "Delete power scheme ('Max Battery')?");
  EXPECT_EQ(FormatText("%s - %s: %d%%", {"Vantrel", "Control", "42"}), "Vantrel - Control: 42%");
  // A translated text is not a trusted format: anything else passes through untouched.
  EXPECT_EQ(FormatText("%n%x%s%p%", {"a"}), "%n%xa%p%");
  EXPECT_EQ(FormatText("%s and %s", {"%s%d"}), "%s%d and ");
}

std::vector<std::string> Placeholders(const std::string& text) {
  std::vector<std::string> found;
  for (size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i + 2)) found.push_back(text.substr(i, 2));
  return found;
}

// The shipped files translate every text once, keep the placeholders the program fills in, and
// are stored in their own 8-bit code page.
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
