#pragma once
// The message texts of one language file by key, for the window and for kesta-cli alike, in UTF-8.

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/load_apply_texts.h"
#include "language/language_file.h"

namespace kesta {

// What a message key without a text in the language file shows instead.
inline constexpr char kTranslationNotFound[] = "(Translation not found)";

// Compares and hashes names ignoring only the case of a to z. The hash is not noexcept so that
// libstdc++ stores each key's hash instead of hashing the keys again on every lookup.
struct AsciiFoldedHash {
  size_t operator()(std::string_view text) const;
};
struct AsciiFoldedEqual {
  bool operator()(std::string_view a, std::string_view b) const noexcept;
};

class TMessageCatalogue {
 public:
  // Reads and parses the file; fails with EKestaError naming the file and the reason.
  explicit TMessageCatalogue(const std::filesystem::path& file);
  // The index points into the entries.
  TMessageCatalogue(const TMessageCatalogue&) = delete;
  TMessageCatalogue& operator=(const TMessageCatalogue&) = delete;

  // The text of the first entry whose name equals the key, ignoring the case of a to z; nullptr
  // when that entry has no text or there is none.
  const std::string* Find(std::string_view key) const;
  // The same, kTranslationNotFound for a key without a text.
  std::string LookupMessage(std::string_view key) const;

  // Every entry in file order, never changed after reading.
  const std::vector<LanguageEntry>& Entries() const { return m_entries; }
  const std::filesystem::path& FilePath() const { return m_filePath; }

 private:
  std::filesystem::path m_filePath;
  std::vector<LanguageEntry> m_entries;
  // Views into m_entries.
  std::unordered_map<std::string_view, int, AsciiFoldedHash, AsciiFoldedEqual> m_messages;
};

// The messages of the language file for code without a window, read at the first lookup (most runs
// look nothing up: a failure is the only reason to). A key without a text, or every key when the file
// cannot be read, stands for itself: a terminal shows the key more usefully than a placeholder.
MessageLookup MessagesOrKeys(const std::filesystem::path& file);

}  // namespace kesta
