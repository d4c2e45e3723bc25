#include <QComboBox>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTranslator>

#include "language/language_setup.h"

#include "engine/failure.h"
#include "language/form_translator.h"
#include "settings/program_folder.h"
#include "ui/dialog_service.h"

namespace kesta {

namespace {

struct Language {
  const char* code;
  const char* file;
  const char* qtLocale;  // of Qt's own translations
};

// In the order of the language list on the options page.
constexpr Language kLanguages[] = {
    {"FR", "fr-FR.xml", "fr"}, {"EN", "en-EN.xml", "en"}, {"SP", "sp-SP.xml", "es"},
    {"RU", "ru-RU.xml", "ru"}, {"HR", "hr-HR.xml", "hr"}, {"DE", "de-DE.xml", "de"},
};
constexpr char kQtTranslatorName[] = "QtOwnTexts";

// Qt's own texts (the file dialog, standard buttons) in the language, from the translations Qt ships.
// The translator belongs to the window, so it leaves the application with it. Without the file Qt
// speaks English, its own language, and nobody needs to be told.
void UseQtTranslations(QObject* window, const char* locale) {
  delete window->findChild<QTranslator*>(QLatin1String(kQtTranslatorName), Qt::FindDirectChildrenOnly);
  auto translator = std::make_unique<QTranslator>(window);
  translator->setObjectName(QLatin1String(kQtTranslatorName));
  if (!translator->load(QStringLiteral("qtbase_") + QLatin1String(locale),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return;
  QCoreApplication::installTranslator(translator.release());
}
constexpr int kEnglish = 1;

int LanguageIndexOf(const std::string& code) {
  for (int i = 0; i < static_cast<int>(std::size(kLanguages)); ++i)
    if (code == kLanguages[i].code) return i;
  return -1;
}

// The message as the widgets take it.
QString Message(const TMessageCatalogue& messages, std::string_view key) {
  return QString::fromStdString(messages.LookupMessage(key));
}

// Fills the texts the translator cannot reach by control name, where those controls exist.
void FillLanguageDependentTexts(QObject* window, const TMessageCatalogue& messages) {
  if (auto* memo = window->findChild<QPlainTextEdit*>("MemoInputSaveInfo"))
    memo->setPlainText(Message(messages, "InputSaveInfo"));
  if (auto* memo = window->findChild<QPlainTextEdit*>("MemoInfoAspect"))
    memo->setPlainText(Message(messages, "InfoAspect"));
  for (const char* group : {"RadioGroupFFB", "RadioGroupActiveExport"}) {
    const QList<QRadioButton*> items = window->findChildren<QRadioButton*>(QString(group) + "Item");
    if (items.size() == 2) {
      items[0]->setText(Message(messages, "Yes"));
      items[1]->setText(Message(messages, "No"));
    }
  }
}

}  // namespace

TLanguageSetup::TLanguageSetup(Collaborators collaborators) : m_collaborators(std::move(collaborators)) {}

TLanguageSetup::~TLanguageSetup() = default;

void TLanguageSetup::LoadLanguage(const std::string& code) {
  int index = LanguageIndexOf(code);
  const bool known = index >= 0;
  if (!known) index = kEnglish;
  m_languageIndex = index;
  const auto fileOf = [this](int i) { return m_collaborators.folder.Languages() / kLanguages[i].file; };
  QStringList failures;
  try {
    m_translator = std::make_unique<TFormTranslator>(&m_collaborators.window, fileOf(index));
  } catch (const EKestaError& failure) {
    failures << QString::fromUtf8(failure.what());
    if (index != kEnglish) {
      m_languageIndex = kEnglish;
      try {
        m_translator = std::make_unique<TFormTranslator>(&m_collaborators.window, fileOf(kEnglish));
      } catch (const EKestaError& english) {
        failures << QString::fromUtf8(english.what());
      }
    }
  }
  if (!known || !failures.isEmpty()) {
    // In the language the program goes on in; English as written here when not even that file loads.
    const auto text = [this](const QString& translated, const char* english) {
      return m_translator ? translated : QString::fromLatin1(english);
    };
    if (!known)
      failures.prepend(text(LookupMessage("LanguageUnknown"), "The language code \"%1\" is unknown.")
                           .arg(QString::fromStdString(code)));
    m_collaborators.dialogs.Warning(
        failures.join(u'\n') + "\n\n" +
        text(LookupMessage("LanguageFallback"), "KESTA goes on in English where it can."));
  }
  UseQtTranslations(&m_collaborators.window, kLanguages[m_languageIndex].qtLocale);
  if (!m_translator) return;

  try {
    m_translator->TranslateControls();
  } catch (const EKestaError& failure) {
    m_collaborators.dialogs.Error(QString::fromUtf8(failure.what()));
  }
  DialogTexts texts;
  texts.yes = LookupMessage("Yes");
  texts.no = LookupMessage("No");
  texts.warning = LookupMessage("Warning");
  texts.error = LookupMessage("Error");
  texts.information = LookupMessage("Information");
  texts.cancel = LookupMessage("Cancel");
  texts.ok = LookupMessage("OK");
  m_collaborators.dialogs.SetTexts(texts);
  FillLanguageDependentTexts(&m_collaborators.window, m_translator->Catalogue());
}

QString TLanguageSetup::LookupMessage(const QString& key) const {
  if (!m_translator) return QString(kTranslationNotFound);
  const QByteArray utf8 = key.toUtf8();
  return Message(m_translator->Catalogue(), std::string_view(utf8.constData(), size_t(utf8.size())));
}

std::string TLanguageSetup::LookupMessageUtf8(std::string_view key) const {
  return m_translator ? m_translator->Catalogue().LookupMessage(key) : std::string(kTranslationNotFound);
}

void TLanguageSetup::ComboBoxLanguageChange(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kLanguages))) return;
  m_collaborators.storeLanguage(kLanguages[index].code);
  m_collaborators.dialogs.Information("Please restart KESTA !");
}

void TLanguageSetup::TranslateControls(QWidget* part) const {
  if (!m_translator) return;
  try {
    m_translator->TranslateControls(part);
  } catch (const EKestaError& failure) {
    m_collaborators.dialogs.Error(QString::fromUtf8(failure.what()));
  }
}

const TMessageCatalogue* TLanguageSetup::Catalogue() const {
  return m_translator ? &m_translator->Catalogue() : nullptr;
}

}  // namespace kesta
