#include "language/message_catalogue.h"

#include <algorithm>
#include <memory>

#include "engine/failure.h"

namespace kesta {

namespace {

// Names compare with only a to z folded, so a non-ASCII letter never matches its other case.
char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c; }

}  // namespace

// Setting bit 5 maps both cases of a letter alike, which is all a hash of folded names needs.
size_t AsciiFoldedHash::operator()(QStringView text) const {
  size_t hash = 14695981039346656037ull;
  for (QChar c : text) hash = (hash ^ (c.unicode() | 0x20u)) * 1099511628211ull;
  return hash;
}

bool AsciiFoldedEqual::operator()(QStringView a, QStringView b) const noexcept {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](QChar x, QChar y) {
           return FoldAscii(x.unicode()) == FoldAscii(y.unicode());
         });
}

// Read once into plain lists and indexed by name: the file is looked up many times and a document
// tree would cost more to build than everything else the window does with it.
TMessageCatalogue::TMessageCatalogue(const QString& filePath)
    : m_filePath(filePath), m_entries(ReadLanguageFile(filePath)) {
  m_messages.reserve(m_entries.size());
  for (qsizetype i = 0; i < m_entries.size(); ++i) {
    const LanguageEntry& entry = m_entries.at(i);
    if (!entry.name.isEmpty()) m_messages.try_emplace(entry.name, int(i));  // the first entry wins
  }
}

const QString* TMessageCatalogue::Find(QStringView key) const {
  const auto found = m_messages.find(key);
  if (found == m_messages.end() || m_entries.at(found->second).text.isEmpty()) return nullptr;
  return &m_entries.at(found->second).text;
}

QString TMessageCatalogue::LookupMessage(const QString& key) const {
  const QString* text = Find(key);
  return text ? *text : QString::fromLatin1(kTranslationNotFound);
}

std::string TMessageCatalogue::LookupMessageUtf8(std::string_view key) const {
  return LookupMessage(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()))).toStdString();
}

MessageLookup MessagesOrKeys(const std::filesystem::path& file) {
  struct Lazy {
    bool read = false;
    std::unique_ptr<TMessageCatalogue> catalogue;  // none when the file cannot be read
  };
  auto lazy = std::make_shared<Lazy>();
  return [path = QString::fromStdString(file.string()), lazy](std::string_view key) {
    if (!lazy->read) {
      lazy->read = true;
      try {
        lazy->catalogue = std::make_unique<TMessageCatalogue>(path);
      } catch (const EKestaError&) {
      }
    }
    const QString* text = lazy->catalogue
                              ? lazy->catalogue->Find(QString::fromUtf8(key.data(), qsizetype(key.size())))
                              : nullptr;
    return text ? text->toStdString() : std::string(key);
  };
}

}  // namespace kesta
