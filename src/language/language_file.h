#pragma once
// The entries of a language file: message texts by name, and the controls each text labels. Read with a
// quick reader for the plain XML the files are written in, and with pugixml for anything else. Texts are
// UTF-8, as in the file.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesta {

// One entry of the file, as far as the program reads it: the texts of its first name, string,
// controls and values elements. An element without text counts as absent.
struct LanguageEntry {
  struct StepCaption {
    bool hasPosition = false;
    std::string position;  // the value attribute, checked when the caption is used
    std::string caption;
    friend bool operator==(const StepCaption&, const StepCaption&) = default;
  };
  std::string name;
  std::string text;
  std::vector<std::string> controls;
  std::vector<StepCaption> values;
  friend bool operator==(const LanguageEntry&, const LanguageEntry&) = default;
};

// The entries of a language file's bytes (UTF-8, a byte order mark allowed) read with pugixml and checked
// for everything XML requires that pugixml lets pass; `error` gets the complaint with line and column, and
// stays empty for well-formed XML.
std::vector<LanguageEntry> ReadLanguageEntries(std::string_view xml, std::string* error);
// The same entries without pugixml, for the plain XML the language files are written in (UTF-8,
// elements, attributes, comments, the five named entities). Anything else, well-formed or not, gives
// nothing, and ReadLanguageEntries settles it.
std::optional<std::vector<LanguageEntry>> ReadPlainLanguageEntries(std::string_view xml);
// Reads and parses the file; fails with EKestaError naming the file and the reason.
std::vector<LanguageEntry> ReadLanguageFile(const std::filesystem::path& file);

}  // namespace kesta
