#pragma once
// One language file, read once: message texts by key, and the captions of the window's controls,
// found by object name and set through Qt's property system so any kind of control can be labelled.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QObject;

namespace kesta {

// What a message key without a text in the language file shows instead.
inline constexpr char kTranslationNotFound[] = "(Translation not found)";

class TFormTranslator {
 public:
  // One entry of the file, as far as the program reads it: the texts of its first name, string,
  // controls and values elements. An element without text counts as absent.
  struct Entry {
    struct StepCaption {
      bool hasPosition = false;
      QString position;  // the value attribute, checked when the caption is used
      QString caption;
      friend bool operator==(const StepCaption&, const StepCaption&) = default;
    };
    QString name;
    QString text;
    QStringList controls;
    QList<StepCaption> values;
    friend bool operator==(const Entry&, const Entry&) = default;
  };

  // Reads and parses the file; fails with EKestaError naming the file and the reason.
  TFormTranslator(QObject* window, const QString& filePath);
  // The indexes point into the entries.
  TFormTranslator(const TFormTranslator&) = delete;
  TFormTranslator& operator=(const TFormTranslator&) = delete;

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

  // The entries of a language file's bytes as QXmlStreamReader reads them; `error` gets its
  // complaint with line and column, or stays empty for well-formed XML.
  static QList<Entry> ReadEntries(const QByteArray& xml, QString* error);
  // The same entries without QXmlStreamReader, for the plain XML the language files are written in
  // (UTF-8, elements, attributes, comments, the five named entities). Anything else, well-formed or
  // not, gives nothing, and ReadEntries settles it.
  static std::optional<QList<Entry>> ReadPlainEntries(const QByteArray& xml);

 private:
  // Compares and hashes names ignoring only the case of a to z. The hash is not noexcept so that
  // libstdc++ stores each key's hash instead of hashing the keys again on every lookup.
  struct AsciiFoldedHash {
    size_t operator()(QStringView text) const;
  };
  struct AsciiFoldedEqual {
    bool operator()(QStringView a, QStringView b) const noexcept;
  };
  enum class Property { Caption, Text, Hint, Description, Title, ExtraPaneHeader, Values };
  struct Reference {
    int entry;
    Property property;
  };

  void IndexEntries();
  void Apply(QObject& object, const Reference& reference) const;

  QObject* m_window;
  QString m_filePath;
  QList<Entry> m_entries;
  // The maps hold views into m_entries, which never changes after reading.
  std::unordered_map<QStringView, int, AsciiFoldedHash, AsciiFoldedEqual> m_messages;
  // Every control reference the translator acts on, in file order, and their indexes by control name.
  std::vector<Reference> m_references;
  std::unordered_multimap<QStringView, int, AsciiFoldedHash, AsciiFoldedEqual> m_referencesByControl;
};

}  // namespace kesta
