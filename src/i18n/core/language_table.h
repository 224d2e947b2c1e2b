// The texts of the user interface, by numeric identifier: the built-in English table, or the
// entries of a language file "<name>.lng" from the language folder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::i18n {

struct LanguageEntry {
  int32_t id = 0;
  std::string text;  // bytes in the file's own 8-bit code page
};

class LanguageTable {
 public:
  // Reads a whole file into `bytes`; false when it cannot be opened or read.
  using FileReader = std::function<bool(const std::string& path, std::string& bytes)>;

  // `folder` is kept as given; a language's file is `folder` + "\" + name + ".lng".
  explicit LanguageTable(std::string folder = {}, FileReader reader = {});
  // A table that goes away while installed is uninstalled first.
  ~LanguageTable();
  LanguageTable(const LanguageTable&) = delete;
  LanguageTable& operator=(const LanguageTable&) = delete;

  // Selects a language: the empty name selects the built-in texts and always succeeds. A file
  // that cannot be read changes nothing: the previous language and its texts stay in effect.
  bool Load(const std::string& name);

  // The text for `id`: from the built-in table when no language is selected, otherwise from
  // the first entry with that identifier; the empty text when there is none.
  void GetText(int id, std::string& out) const;
  std::string GetText(int id) const;

  const std::string& name() const noexcept { return name_; }
  const std::string& folder() const noexcept { return folder_; }
  const std::vector<LanguageEntry>& entries() const noexcept { return entries_; }

  // The file's path for a language name.
  std::string FilePath(const std::string& name) const;

 private:
  std::string name_;
  std::string folder_;
  std::vector<LanguageEntry> entries_;
  FileReader reader_;
};

// Splits a language file's bytes into lines by the platform's text-mode rules (CR LF or LF
// ends a line, a lone CR stays in the line, byte 26 ends the file, the last line needs no
// line end) and scans each line; entries are appended in file order.
void ParseLanguageFile(std::string_view bytes, std::vector<LanguageEntry>& entries);
// Scans one line (without its line end); appends at most one entry.
void ScanLine(std::string_view line, std::vector<LanguageEntry>& entries);

// The built-in English text for `id`, or null.
const char* BuiltInText(int id) noexcept;
// Every built-in identifier, ascending.
std::vector<int> BuiltInIds();

// The one table of the program. Until start-up installs its own, a table without a folder
// that shows the built-in texts.
LanguageTable& Texts() noexcept;
// Installs the program's table (not owned; it stays installed until it is destroyed or
// another is installed); null restores the default one.
void InstallTexts(LanguageTable* table) noexcept;
// Shorthand for Texts().GetText(id).
std::string Text(int id);

}  // namespace vantrel::i18n
