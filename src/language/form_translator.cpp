#include "language/form_translator.h"

#include <QByteArray>
#include <QMetaObject>
#include <QObject>
#include <QVariant>
#include <algorithm>
#include <utility>
#include <vector>

#include "engine/failure.h"

namespace kesta {

namespace {

using Entry = LanguageEntry;

[[noreturn]] void Fail(const QString& text) { throw EKestaError(text.toStdString()); }

// The properties a control reference may name, in the order of TFormTranslator::Property.
constexpr std::string_view kPropertyNames[] = {"Caption",          "Text",  "Hint", "Description", "Title",
                                               "ExtraPane.Header", "Values"};

// The Qt property behind a string property of the language file.
const char* QtPropertyFor(const QObject& object, int property) {
  static constexpr const char* kQtNames[] = {nullptr,       "text",  "toolTip",
                                             "description", "title", "extraPaneHeader"};
  if (property != 0) return kQtNames[property];
  const QMetaObject& meta = *object.metaObject();
  if (meta.indexOfProperty("caption") >= 0) return "caption";
  return meta.indexOfProperty("text") >= 0 ? "text" : "title";
}

void SetStringProperty(QObject& object, int property, const QString& value) {
  const char* qtName = QtPropertyFor(object, property);
  const QString name = QString::fromLatin1(kPropertyNames[property].data());
  if (object.metaObject()->indexOfProperty(qtName) < 0)
    Fail(QStringLiteral("Property %1 does not exist on %2").arg(name, object.objectName()));
  if (!object.setProperty(qtName, value))
    Fail(QStringLiteral("Property %1 of %2 cannot be set").arg(name, object.objectName()));
}

int StepPosition(const Entry::StepCaption& step, const QObject& object) {
  bool ok = false;
  const QString text = QString::fromStdString(step.position);
  const int position = text.toInt(&ok, 10);
  if (!step.hasPosition || !ok)
    Fail(QStringLiteral("'%1' is not a valid step position for %2").arg(text, object.objectName()));
  return position;
}

// Only stepped sliders take step captions; every other control is left alone.
void AddStepCaptions(QObject& object, const Entry& entry) {
  if (object.metaObject()->indexOfMethod("AddTitleValue(int,QString)") < 0) return;
  for (const Entry::StepCaption& step : entry.values) {
    const int position = StepPosition(step, object);
    QMetaObject::invokeMethod(&object, "AddTitleValue", Qt::DirectConnection, Q_ARG(int, position),
                              Q_ARG(QString, QString::fromStdString(step.caption)));
  }
}

}  // namespace

TFormTranslator::TFormTranslator(QObject* window, const std::filesystem::path& file)
    : m_window(window), m_catalogue(file) {
  IndexReferences();
}

void TFormTranslator::IndexReferences() {
  const std::vector<Entry>& entries = m_catalogue.Entries();
  m_referencesByControl.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& entry = entries[i];
    for (const std::string& control : entry.controls) {
      const size_t dot = control.find('.');
      if (dot == 0 || dot == std::string::npos) continue;
      const std::string_view property = std::string_view(control).substr(dot + 1);
      const auto known = std::find(std::begin(kPropertyNames), std::end(kPropertyNames), property);
      if (known == std::end(kPropertyNames)) continue;  // a property we do not translate
      m_referencesByControl.emplace(std::string_view(control).substr(0, dot), int(m_references.size()));
      m_references.push_back({int(i), Property(known - std::begin(kPropertyNames))});
    }
  }
}

void TFormTranslator::Apply(QObject& object, const Reference& reference) const {
  const Entry& entry = m_catalogue.Entries()[reference.entry];
  if (reference.property == Property::Values)
    AddStepCaptions(object, entry);
  else
    SetStringProperty(object, int(reference.property), QString::fromStdString(entry.text));
}

void TFormTranslator::TranslateControls() { TranslateControls(m_window); }

// Only the objects whose names the file references are looked at. They are labelled in the order of
// the file's references, so a later entry overwrites an earlier one and a failing reference stops
// the ones after it.
void TFormTranslator::TranslateControls(QObject* root) {
  std::vector<std::pair<int, QObject*>> matches;
  const auto match = [this, &matches](QObject* object) {
    // Object names are ASCII but for odd cases: looked up without an allocation.
    const QString objectName = object->objectName();
    char ascii[64];
    QByteArray utf8;
    std::string_view name;
    if (objectName.size() <= qsizetype(sizeof ascii) &&
        std::all_of(objectName.begin(), objectName.end(), [](QChar c) { return c.unicode() < 0x80; })) {
      std::transform(objectName.begin(), objectName.end(), ascii, [](QChar c) { return char(c.unicode()); });
      name = std::string_view(ascii, size_t(objectName.size()));
    } else {
      utf8 = objectName.toUtf8();
      name = std::string_view(utf8.constData(), size_t(utf8.size()));
    }
    const auto [first, last] = m_referencesByControl.equal_range(name);
    for (auto it = first; it != last; ++it) matches.emplace_back(it->second, object);
  };
  match(root);
  for (QObject* child : root->findChildren<QObject*>()) match(child);
  std::stable_sort(matches.begin(), matches.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [reference, object] : matches) Apply(*object, m_references[reference]);
}

}  // namespace kesta
