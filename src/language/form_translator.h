#pragma once
// One language file, read once: message texts by key, and the captions of the window's controls,
// found by object name and set through Qt's property system so any kind of control can be labelled.

#include <QList>
#include <QString>
#include <QStringList>
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
  // The same for the controls under `root` only: a page built after the language was chosen.
  void TranslateControls(QObject* root);

  const QString& FilePath() const { return m_filePath; }

  // One entry of the file, as far as the program reads it: the texts of its first name, string,
  // controls and values elements. An element without text counts as absent.
  struct Entry {
    struct StepCaption {
      bool hasPosition = false;
      QString position;  // the value attribute, checked when the caption is used
      QString caption;
    };
    QString name;
    QString text;
    QStringList controls;
    QList<StepCaption> values;
  };

 private:
  QObject* m_window;
  QString m_filePath;
  QList<Entry> m_entries;
};

}  // namespace kesta
