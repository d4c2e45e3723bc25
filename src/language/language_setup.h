#pragma once
// The language of the window and of every message, chosen once at start: the translator of the
// controls, the message lookup, Qt's own texts and the dialogs' button captions.

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QWidget;

namespace kesta {

class DialogService;
class ProgramFolder;
class TFormTranslator;
class TMessageCatalogue;

class TLanguageSetup {
 public:
  struct Collaborators {
    QWidget& window;  // the root of every control the language file names
    DialogService& dialogs;
    const ProgramFolder& folder;
    // Stores the language chosen for the next start; reports its own failure.
    std::function<void(std::string_view code)> storeLanguage;
  };

  explicit TLanguageSetup(Collaborators collaborators);
  ~TLanguageSetup();

  // Reads the language file of `code` and translates the window; an unknown code or a file that cannot
  // be read falls back to English, with a warning.
  void LoadLanguage(const std::string& code);
  // The options page's language list: stores the choice, which takes effect at the next start.
  void ComboBoxLanguageChange(int index);
  int LanguageIndex() const { return m_languageIndex; }  // in the options page's list

  // The message in the loaded language; kTranslationNotFound before one is loaded.
  QString LookupMessage(const QString& key) const;
  std::string LookupMessageUtf8(std::string_view key) const;

  // Translates a part made after start-up (a page on its first visit, the About window); a failure is
  // reported and the part keeps its design captions.
  void TranslateControls(QWidget* part) const;
  // The loaded language file; nullptr before one is loaded.
  const TMessageCatalogue* Catalogue() const;

 private:
  Collaborators m_collaborators;
  std::unique_ptr<TFormTranslator> m_translator;
  int m_languageIndex = 1;
};

}  // namespace kesta
