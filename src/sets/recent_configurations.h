#pragma once
// The saved configurations used last, most recent first, kept in "lastfile.ini" beside the executable:
// plain text (not an INI file), one UTF-8 path a line.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kesta {

class RecentConfigurations {
 public:
  static constexpr size_t kLimit = 8;

  explicit RecentConfigurations(std::filesystem::path file) : m_file(std::move(file)) {}

  // Start-up: creates an empty file when there is none, then reads it. Lines that are blank or hold a
  // "(" are left out; the file is not rewritten and the list is not cut to the limit. Fails with the
  // system's text, leaving the list empty.
  void Load();
  // Puts the path on top (an entry that differs only in letter case goes), keeps the first kLimit
  // entries and writes the file atomically. The list changes even when the write then fails with the
  // system's text.
  void Add(const std::string& path);

  const std::vector<std::string>& Entries() const { return m_entries; }
  const std::filesystem::path& File() const { return m_file; }

 private:
  std::filesystem::path m_file;
  std::vector<std::string> m_entries;
};

// What a recent entry is shown as: its file name, the text after the last "/".
std::string_view RecentCaption(std::string_view path);

}  // namespace kesta
