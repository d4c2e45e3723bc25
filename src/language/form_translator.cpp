#include "language/form_translator.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QVariant>
#include <QXmlStreamReader>

#include "engine/failure.h"

namespace kesta {

namespace {

using ObjectIndex = QHash<QString, QList<QObject*>>;

// Keys compare with only a to z folded, so a non-ASCII letter never matches its other case.
QString AsciiUpper(QString text) {
  for (QChar& c : text)
    if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - (u'a' - u'A'));
  return text;
}

QString AsciiLower(QString text) {
  for (QChar& c : text)
    if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
  return text;
}

using Entry = TFormTranslator::Entry;

// The text of the element just started, nested elements included; whitespace between elements is
// layout, not text.
QString ElementText(QXmlStreamReader& reader) {
  QString text;
  for (int depth = 1; depth > 0 && !reader.atEnd();) {
    switch (reader.readNext()) {
      case QXmlStreamReader::StartElement:
        ++depth;
        break;
      case QXmlStreamReader::EndElement:
        --depth;
        break;
      case QXmlStreamReader::Characters:
        if (!reader.isWhitespace()) text += reader.text();
        break;
      default:
        break;
    }
  }
  return text;
}

// Entries are the root's child elements, whatever their tag; only the first of each part counts.
Entry ReadEntry(QXmlStreamReader& reader) {
  Entry entry;
  bool seenName = false, seenString = false, seenControls = false, seenValues = false;
  while (reader.readNextStartElement()) {
    const QStringView tag = reader.name();
    if (tag == u"name" && !seenName) {
      entry.name = ElementText(reader);
      seenName = true;
    } else if (tag == u"string" && !seenString) {
      entry.text = ElementText(reader);
      seenString = true;
    } else if (tag == u"controls" && !seenControls) {
      while (reader.readNextStartElement()) entry.controls.append(ElementText(reader));
      seenControls = true;
    } else if (tag == u"values" && !seenValues) {
      while (reader.readNextStartElement()) {
        Entry::StepCaption step;
        step.hasPosition = reader.attributes().hasAttribute(QStringLiteral("value"));
        step.position = reader.attributes().value(QStringLiteral("value")).toString();
        step.caption = ElementText(reader);
        entry.values.append(step);
      }
      seenValues = true;
    } else {
      reader.skipCurrentElement();
    }
  }
  return entry;
}

[[noreturn]] void Fail(const QString& text) { throw EKestaError(text.toStdString()); }

ObjectIndex IndexByName(QObject* window) {
  ObjectIndex index;
  const auto add = [&index](QObject* object) {
    if (!object->objectName().isEmpty()) index[AsciiLower(object->objectName())].append(object);
  };
  add(window);
  for (QObject* child : window->findChildren<QObject*>()) add(child);
  return index;
}

// The Qt property behind a string property of the language file, or nullptr for names we ignore.
const char* QtPropertyFor(const QObject& object, const QString& property) {
  if (property == u"Caption") {
    const QMetaObject& meta = *object.metaObject();
    if (meta.indexOfProperty("caption") >= 0) return "caption";
    return meta.indexOfProperty("text") >= 0 ? "text" : "title";
  }
  if (property == u"Text") return "text";
  if (property == u"Hint") return "toolTip";
  if (property == u"Description") return "description";
  if (property == u"Title") return "title";
  if (property == u"ExtraPane.Header") return "extraPaneHeader";
  return nullptr;
}

void SetStringProperty(QObject& object, const QString& property, const QString& value) {
  const char* qtName = QtPropertyFor(object, property);
  if (qtName == nullptr) return;
  if (object.metaObject()->indexOfProperty(qtName) < 0)
    Fail(QStringLiteral("Property %1 does not exist on %2").arg(property, object.objectName()));
  if (!object.setProperty(qtName, value))
    Fail(QStringLiteral("Property %1 of %2 cannot be set").arg(property, object.objectName()));
}

int StepPosition(const Entry::StepCaption& step, const QObject& object) {
  bool ok = false;
  const int position = step.position.toInt(&ok, 10);
  if (!step.hasPosition || !ok)
    Fail(QStringLiteral("'%1' is not a valid step position for %2").arg(step.position, object.objectName()));
  return position;
}

// Only stepped sliders take step captions; every other control is left alone.
void AddStepCaptions(QObject& object, const Entry& entry) {
  if (object.metaObject()->indexOfMethod("AddTitleValue(int,QString)") < 0) return;
  for (const Entry::StepCaption& step : entry.values) {
    const int position = StepPosition(step, object);
    QMetaObject::invokeMethod(&object, "AddTitleValue", Qt::DirectConnection, Q_ARG(int, position),
                              Q_ARG(QString, step.caption));
  }
}

void ApplyReference(const ObjectIndex& index, const QString& reference, const Entry& entry) {
  const qsizetype dot = reference.indexOf(u'.');
  if (dot <= 0) return;
  const auto found = index.constFind(AsciiLower(reference.left(dot)));
  if (found == index.constEnd()) return;
  const QString property = reference.mid(dot + 1);
  for (QObject* object : *found) {
    if (property == u"Values")
      AddStepCaptions(*object, entry);
    else
      SetStringProperty(*object, property, entry.text);
  }
}

}  // namespace

// Read once into plain lists: the file is looked up many times and a document tree would cost
// more to build than everything else the translator does.
TFormTranslator::TFormTranslator(QObject* window, const QString& filePath)
    : m_window(window), m_filePath(filePath) {
  QFile file(filePath);
  if (!file.open(QIODevice::ReadOnly))
    Fail(QStringLiteral("Cannot read the language file %1: %2").arg(filePath, file.errorString()));
  QXmlStreamReader reader(file.readAll());
  if (reader.readNextStartElement())
    while (reader.readNextStartElement()) m_entries.append(ReadEntry(reader));
  while (!reader.atEnd()) reader.readNext();  // anything after the root must be well-formed too
  if (reader.hasError())
    Fail(QStringLiteral("The language file %1 is not valid XML: %2 (line %3, column %4)")
             .arg(filePath, reader.errorString())
             .arg(reader.lineNumber())
             .arg(reader.columnNumber()));
}

QString TFormTranslator::LookupMessage(const QString& key) const {
  const QString wanted = AsciiUpper(key);
  for (const Entry& entry : m_entries) {
    if (entry.name.isEmpty() || AsciiUpper(entry.name) != wanted) continue;
    return entry.text.isEmpty() ? QString::fromLatin1(kTranslationNotFound) : entry.text;
  }
  return QString::fromLatin1(kTranslationNotFound);
}

std::string TFormTranslator::LookupMessageUtf8(std::string_view key) const {
  return LookupMessage(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()))).toStdString();
}

void TFormTranslator::TranslateControls() { TranslateControls(m_window); }

void TFormTranslator::TranslateControls(QObject* root) {
  const ObjectIndex index = IndexByName(root);
  for (const Entry& entry : m_entries)
    for (const QString& reference : entry.controls) ApplyReference(index, reference, entry);
}

}  // namespace kesta
