#include "language/message_catalogue.h"

#include <algorithm>
#include <memory>

#include "engine/failure.h"

namespace kesta {

namespace {

// Names compare with only a to z folded, so a non-ASCII letter never matches its other case.
char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; }

}  // namespace

// Setting bit 5 maps both cases of a letter alike, which is all a hash of folded names needs.
size_t AsciiFoldedHash::operator()(std::string_view text) const {
  size_t hash = 14695981039346656037ull;
  for (char c : text) hash = (hash ^ (static_cast<unsigned char>(c) | 0x20u)) * 1099511628211ull;
  return hash;
}

bool AsciiFoldedEqual::operator()(std::string_view a, std::string_view b) const noexcept {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

// Read once into plain lists and indexed by name: the file is looked up many times and a document
// tree would cost more to build than everything else the window does with it.
TMessageCatalogue::TMessageCatalogue(const std::filesystem::path& file)
    : m_filePath(file), m_entries(ReadLanguageFile(file)) {
  m_messages.reserve(m_entries.size());
  for (size_t i = 0; i < m_entries.size(); ++i) {
    const LanguageEntry& entry = m_entries[i];
    if (!entry.name.empty()) m_messages.try_emplace(entry.name, int(i));  // the first entry wins
  }
}

const std::string* TMessageCatalogue::Find(std::string_view key) const {
  const auto found = m_messages.find(key);
  if (found == m_messages.end() || m_entries[found->second].text.empty()) return nullptr;
  return &m_entries[found->second].text;
}

std::string TMessageCatalogue::LookupMessage(std::string_view key) const {
  const std::string* text = Find(key);
  return text ? *text : std::string(kTranslationNotFound);
}

MessageLookup MessagesOrKeys(const std::filesystem::path& file) {
  struct Lazy {
    bool read = false;
    std::unique_ptr<TMessageCatalogue> catalogue;  // none when the file cannot be read
  };
  auto lazy = std::make_shared<Lazy>();
  return [file, lazy](std::string_view key) {
    if (!lazy->read) {
      lazy->read = true;
      try {
        lazy->catalogue = std::make_unique<TMessageCatalogue>(file);
      } catch (const EKestaError&) {
      }
    }
    const std::string* text = lazy->catalogue ? lazy->catalogue->Find(key) : nullptr;
    return text ? *text : std::string(key);
  };
}

}  // namespace kesta
