#pragma once
// The entries of a language file: message texts by name, and the controls each text labels. Read with a
// quick reader for the plain XML the files are written in, and with QXmlStreamReader for anything else.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace kesta {

// One entry of the file, as far as the program reads it: the texts of its first name, string,
// controls and values elements. An element without text counts as absent.
struct LanguageEntry {
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
  friend bool operator==(const LanguageEntry&, const LanguageEntry&) = default;
};

// The entries of a language file's bytes as QXmlStreamReader reads them; `error` gets its
// complaint with line and column, or stays empty for well-formed XML.
QList<LanguageEntry> ReadLanguageEntries(const QByteArray& xml, QString* error);
// The same entries without QXmlStreamReader, for the plain XML the language files are written in
// (UTF-8, elements, attributes, comments, the five named entities). Anything else, well-formed or
// not, gives nothing, and ReadLanguageEntries settles it.
std::optional<QList<LanguageEntry>> ReadPlainLanguageEntries(const QByteArray& xml);
// Reads and parses the file; fails with EKestaError naming the file and the reason.
QList<LanguageEntry> ReadLanguageFile(const QString& filePath);

}  // namespace kesta
