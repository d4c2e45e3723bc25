#pragma once
// One language file, read once: message texts by key, and the captions of the window's controls,
// found by object name and set through Qt's property system so any kind of control can be labelled.

#include <QDomDocument>
#include <QString>
#include <string>
#include <string_view>

class QObject;

namespace kesta {

// What a message key without a text in the language file shows instead.
inline constexpr char kTranslationNotFound[] = "(Translation not found)";

class TFormTranslator {
 public:
  // Reads and parses the file; fails with EKestaError naming the file and the reason.
  TFormTranslator(QObject* window, const QString& filePath);

  // The text of the first entry whose name equals the key, ignoring the case of a to z.
  QString LookupMessage(const QString& key) const;
  // The same for the widget-free code, which speaks UTF-8.
  std::string LookupMessageUtf8(std::string_view key) const;

  // Writes every entry's text into the properties its control references name. Fails with
  // EKestaError on a property the control lacks or a step position that is not a whole number.
  void TranslateControls();

  const QString& FilePath() const { return m_filePath; }

 private:
  QDomElement Root() const { return m_document.documentElement(); }

  QObject* m_window;
  QString m_filePath;
  QDomDocument m_document;
};

}  // namespace kesta
