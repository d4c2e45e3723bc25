#pragma once
// The program's own settings: an INI file beside the executable with the sections "Config", "Files"
// and "Lockon". Reading a missing key stores its default, so the file documents every option in use.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kesta {

// The default of a key (the section plays no part); "" for a key the table does not know.
std::string DefaultSetting(std::string_view key);

class IniDocument;

class SettingsFile {
 public:
  explicit SettingsFile(std::filesystem::path path);
  ~SettingsFile();

  const std::filesystem::path& Path() const { return m_path; }

  // The stored value; an empty value gives the default without writing; a missing key gives the
  // default and writes it back. Fails when that write-back fails, unless a failure handler is set: then
  // the handler hears of it and the default is returned all the same.
  std::string ReadSetting(std::string_view section, std::string_view key) const;

  void SetWriteFailureHandler(std::function<void(const std::string& failure)> handler) {
    m_onWriteFailure = std::move(handler);
  }

  // Stores a value; an empty value deletes the key. Failures are swallowed.
  void WriteSetting(std::string_view section, std::string_view key, std::string_view value) const;

 private:
  // The file as last parsed, kept while the file stays the same one: start-up reads some sixty values.
  struct Parsed;
  std::optional<std::string> Stored(std::string_view section, std::string_view key) const;

  std::filesystem::path m_path;
  std::function<void(const std::string&)> m_onWriteFailure;
  mutable std::unique_ptr<Parsed> m_parsed;
};

}  // namespace kesta
