#include "language/form_translator.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QVariant>

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

// An element without text counts as absent.
QString TextOf(const QDomElement& entry, const QString& childName) {
  return entry.firstChildElement(childName).text();
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

int StepPosition(const QDomElement& item, const QObject& object) {
  bool ok = false;
  const int position = item.attribute(QStringLiteral("value")).toInt(&ok, 10);
  if (!item.hasAttribute(QStringLiteral("value")) || !ok)
    Fail(QStringLiteral("'%1' is not a valid step position for %2")
             .arg(item.attribute(QStringLiteral("value")), object.objectName()));
  return position;
}

// Only stepped sliders take step captions; every other control is left alone.
void AddStepCaptions(QObject& object, const QDomElement& entry) {
  if (object.metaObject()->indexOfMethod("AddTitleValue(int,QString)") < 0) return;
  const QDomElement values = entry.firstChildElement(QStringLiteral("values"));
  for (QDomElement item = values.firstChildElement(); !item.isNull(); item = item.nextSiblingElement()) {
    const int position = StepPosition(item, object);
    QMetaObject::invokeMethod(&object, "AddTitleValue", Qt::DirectConnection, Q_ARG(int, position),
                              Q_ARG(QString, item.text()));
  }
}

void ApplyReference(const ObjectIndex& index, const QString& reference, const QDomElement& entry) {
  const qsizetype dot = reference.indexOf(u'.');
  if (dot <= 0) return;
  const auto found = index.constFind(AsciiLower(reference.left(dot)));
  if (found == index.constEnd()) return;
  const QString property = reference.mid(dot + 1);
  for (QObject* object : *found) {
    if (property == u"Values")
      AddStepCaptions(*object, entry);
    else
      SetStringProperty(*object, property, TextOf(entry, QStringLiteral("string")));
  }
}

}  // namespace

TFormTranslator::TFormTranslator(QObject* window, const QString& filePath)
    : m_window(window), m_filePath(filePath) {
  QFile file(filePath);
  if (!file.open(QIODevice::ReadOnly))
    Fail(QStringLiteral("Cannot read the language file %1: %2").arg(filePath, file.errorString()));
  QString message;
  int line = 0;
  int column = 0;
  if (!m_document.setContent(file.readAll(), &message, &line, &column))
    Fail(QStringLiteral("The language file %1 is not valid XML: %2 (line %3, column %4)")
             .arg(filePath, message)
             .arg(line)
             .arg(column));
}

QString TFormTranslator::LookupMessage(const QString& key) const {
  const QString wanted = AsciiUpper(key);
  for (QDomElement entry = Root().firstChildElement(); !entry.isNull(); entry = entry.nextSiblingElement()) {
    const QString name = TextOf(entry, QStringLiteral("name"));
    if (name.isEmpty() || AsciiUpper(name) != wanted) continue;
    const QString text = TextOf(entry, QStringLiteral("string"));
    return text.isEmpty() ? QString::fromLatin1(kTranslationNotFound) : text;
  }
  return QString::fromLatin1(kTranslationNotFound);
}

std::string TFormTranslator::LookupMessageUtf8(std::string_view key) const {
  return LookupMessage(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()))).toStdString();
}

void TFormTranslator::TranslateControls() {
  const ObjectIndex index = IndexByName(m_window);
  for (QDomElement entry = Root().firstChildElement(); !entry.isNull(); entry = entry.nextSiblingElement()) {
    const QDomElement controls = entry.firstChildElement(QStringLiteral("controls"));
    for (QDomElement reference = controls.firstChildElement(); !reference.isNull();
         reference = reference.nextSiblingElement())
      ApplyReference(index, reference.text(), entry);
  }
}

}  // namespace kesta
