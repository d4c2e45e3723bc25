#pragma once
// Our INI (profile file) reader and writer. Section and key names compare without regard to case;
// changing one key leaves every other byte of the file as it was (comments, order, unknown sections,
// blank lines, line breaks, a UTF-8 byte-order mark). With duplicate sections or keys the first one
// counts, as in Windows.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesta {

class IniDocument {
 public:
  IniDocument() = default;
  explicit IniDocument(std::string_view text);

  // The value with surrounding white space dropped, then one pair of matching quotes, or nothing when
  // the key is missing.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  // Fails with a text for the user, changing nothing, when section, key or value holds a line break:
  // it would split the line and read back as something else.
  void SetValue(std::string_view section, std::string_view key, std::string_view value);
  // Returns whether a key was removed.
  bool RemoveKey(std::string_view section, std::string_view key);

  std::string Text() const;

 private:
  struct Line {
    std::string text;    // without its line break
    std::string ending;  // "\r\n", "\n", "\r" or "" for a last line without one
  };
  struct Range {
    size_t header;  // index of the "[section]" line
    size_t end;     // one past the section's last line
  };

  std::optional<Range> FindSection(std::string_view section) const;
  std::optional<size_t> FindKey(const Range& range, std::string_view key) const;

  std::string m_bom;  // a UTF-8 byte-order mark the file starts with, written back as it was
  std::vector<Line> m_lines;
  std::string m_newline = "\n";  // used for lines we add: the file's own style
};

// The key's value, or nothing when the key or the file is missing or cannot be read.
std::optional<std::string> ReadIniKey(const std::filesystem::path& file, std::string_view section,
                                      std::string_view key);

// Plain read of any profile file: "¤¤¤¤¤" when the key (or the file) is missing, or when section or
// key is empty.
std::string ReadIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key);

// Writes the key, or deletes it when the value is empty. Failures are swallowed: a setting that cannot
// be stored must never stop the program.
void WriteIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value);

// The same write, failing with a text for the user.
void WriteIniValueOrFail(const std::filesystem::path& file, std::string_view section, std::string_view key,
                         std::string_view value);

// Stores the key with this value even when it is empty; fails with a text for the user.
void StoreIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value);

inline constexpr std::string_view kMissingIniValue = "\xC2\xA4\xC2\xA4\xC2\xA4\xC2\xA4\xC2\xA4";

}  // namespace kesta
