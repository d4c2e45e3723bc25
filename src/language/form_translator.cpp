#include "language/form_translator.h"

#include <QList>
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
constexpr const char* kPropertyNames[] = {"Caption",          "Text",  "Hint", "Description", "Title",
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
  const QString name = QString::fromLatin1(kPropertyNames[property]);
  if (object.metaObject()->indexOfProperty(qtName) < 0)
    Fail(QStringLiteral("Property %1 does not exist on %2").arg(name, object.objectName()));
  if (!object.setProperty(qtName, value))
    Fail(QStringLiteral("Property %1 of %2 cannot be set").arg(name, object.objectName()));
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

}  // namespace

TFormTranslator::TFormTranslator(QObject* window, const QString& filePath)
    : m_window(window), m_catalogue(filePath) {
  IndexReferences();
}

void TFormTranslator::IndexReferences() {
  const QList<Entry>& entries = m_catalogue.Entries();
  m_referencesByControl.reserve(entries.size());
  for (qsizetype i = 0; i < entries.size(); ++i) {
    const Entry& entry = entries.at(i);
    for (const QString& control : entry.controls) {
      const qsizetype dot = control.indexOf(u'.');
      if (dot <= 0) continue;
      const QStringView property = QStringView(control).sliced(dot + 1);
      const auto known =
          std::find_if(std::begin(kPropertyNames), std::end(kPropertyNames),
                       [property](const char* name) { return property == QLatin1String(name); });
      if (known == std::end(kPropertyNames)) continue;  // a property we do not translate
      m_referencesByControl.emplace(QStringView(control).first(dot), int(m_references.size()));
      m_references.push_back({int(i), Property(known - std::begin(kPropertyNames))});
    }
  }
}

void TFormTranslator::Apply(QObject& object, const Reference& reference) const {
  const Entry& entry = m_catalogue.Entries().at(reference.entry);
  if (reference.property == Property::Values)
    AddStepCaptions(object, entry);
  else
    SetStringProperty(object, int(reference.property), entry.text);
}

void TFormTranslator::TranslateControls() { TranslateControls(m_window); }

// Only the objects whose names the file references are looked at. They are labelled in the order of
// the file's references, so a later entry overwrites an earlier one and a failing reference stops
// the ones after it.
void TFormTranslator::TranslateControls(QObject* root) {
  std::vector<std::pair<int, QObject*>> matches;
  const auto match = [this, &matches](QObject* object) {
    const auto [first, last] = m_referencesByControl.equal_range(object->objectName());
    for (auto it = first; it != last; ++it) matches.emplace_back(it->second, object);
  };
  match(root);
  for (QObject* child : root->findChildren<QObject*>()) match(child);
  std::stable_sort(matches.begin(), matches.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [reference, object] : matches) Apply(*object, m_references[reference]);
}

}  // namespace kesta
