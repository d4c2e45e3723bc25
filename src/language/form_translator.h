#pragma once
// The captions of the window's controls from one language file, found by object name and set through
// Qt's property system so any kind of control can be labelled.

#include <filesystem>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "language/message_catalogue.h"

class QObject;

namespace kesta {

class TFormTranslator {
 public:
  // Reads and parses the file; fails with EKestaError naming the file and the reason.
  TFormTranslator(QObject* window, const std::filesystem::path& file);
  // The indexes point into the catalogue's entries.
  TFormTranslator(const TFormTranslator&) = delete;
  TFormTranslator& operator=(const TFormTranslator&) = delete;

  // The message texts of the same file.
  const TMessageCatalogue& Catalogue() const { return m_catalogue; }

  // Writes every entry's text into the properties its control references name. Fails with
  // EKestaError on a property the control lacks or a step position that is not a whole number.
  void TranslateControls();
  // The same for the controls under `root` only: a page built after the language was chosen.
  void TranslateControls(QObject* root);

  const std::filesystem::path& FilePath() const { return m_catalogue.FilePath(); }

 private:
  enum class Property { Caption, Text, Hint, Description, Title, ExtraPaneHeader, Values };
  struct Reference {
    int entry;
    Property property;
  };

  void IndexReferences();
  void Apply(QObject& object, const Reference& reference) const;

  QObject* m_window;
  TMessageCatalogue m_catalogue;
  // Every control reference the translator acts on, in file order, and their indexes by control name
  // (views into the catalogue's entries).
  std::vector<Reference> m_references;
  std::unordered_multimap<std::string_view, int, AsciiFoldedHash, AsciiFoldedEqual> m_referencesByControl;
};

}  // namespace kesta
