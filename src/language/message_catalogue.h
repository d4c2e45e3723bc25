#pragma once
// The message texts of one language file by key, for the window and for kesta-cli alike.

#include <QList>
#include <QString>
#include <QStringView>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/load_apply_texts.h"
#include "language/language_file.h"

namespace kesta {

// What a message key without a text in the language file shows instead.
inline constexpr char kTranslationNotFound[] = "(Translation not found)";

// Compares and hashes names ignoring only the case of a to z. The hash is not noexcept so that
// libstdc++ stores each key's hash instead of hashing the keys again on every lookup.
struct AsciiFoldedHash {
  size_t operator()(QStringView text) const;
};
struct AsciiFoldedEqual {
  bool operator()(QStringView a, QStringView b) const noexcept;
};

class TMessageCatalogue {
 public:
  // Reads and parses the file; fails with EKestaError naming the file and the reason.
  explicit TMessageCatalogue(const QString& filePath);
  // The index points into the entries.
  TMessageCatalogue(const TMessageCatalogue&) = delete;
  TMessageCatalogue& operator=(const TMessageCatalogue&) = delete;

  // The text of the first entry whose name equals the key, ignoring the case of a to z; nullptr
  // when that entry has no text or there is none.
  const QString* Find(QStringView key) const;
  // The same, kTranslationNotFound for a key without a text.
  QString LookupMessage(const QString& key) const;
  // The same for the widget-free code, which speaks UTF-8.
  std::string LookupMessageUtf8(std::string_view key) const;

  // Every entry in file order, never changed after reading.
  const QList<LanguageEntry>& Entries() const { return m_entries; }
  const QString& FilePath() const { return m_filePath; }

 private:
  QString m_filePath;
  QList<LanguageEntry> m_entries;
  // Views into m_entries.
  std::unordered_map<QStringView, int, AsciiFoldedHash, AsciiFoldedEqual> m_messages;
};

// The messages of the language file for code without a window, read at the first lookup (most runs
// look nothing up: a failure is the only reason to). A key without a text, or every key when the file
// cannot be read, stands for itself: a terminal shows the key more usefully than a placeholder.
MessageLookup MessagesOrKeys(const std::filesystem::path& file);

}  // namespace kesta
