#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <utility>

namespace kesta::test {

namespace {
QString KindName(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning: return "Warning";
    case MessageKind::Error: return "Error";
    case MessageKind::Information: return "Information";
  }
  return {};
}
}  // namespace

template <typename T>
T ScriptedDialogs::Take(const QString& what, T fallback) {
  if (m_answers.empty()) {
    ADD_FAILURE() << "unexpected dialog: " << what.toStdString();
    return fallback;
  }
  Answer answer = m_answers.front();
  m_answers.pop_front();
  if (!std::holds_alternative<T>(answer)) {
    ADD_FAILURE() << "queued answer does not fit the dialog: " << what.toStdString();
    return fallback;
  }
  return std::get<T>(answer);
}

DialogAnswer ScriptedDialogs::ShowMessage(MessageKind kind, const QString& text, MessageButtons buttons) {
  m_recorded.push_back({KindName(kind), text, buttons, {}});
  if (m_whileShowing) std::exchange(m_whileShowing, nullptr)();
  if (buttons == MessageButtons::Ok) return DialogAnswer::Ok;
  return Take<DialogAnswer>(text, DialogAnswer::No);
}

std::optional<QString> ScriptedDialogs::InputText(const QString&, const QString& prompt, const QString&) {
  m_recorded.push_back({"Input", prompt, MessageButtons::Ok, {}});
  return Take<std::optional<QString>>(prompt, std::nullopt);
}

std::optional<int> ScriptedDialogs::ChooseItem(const QString&, const QString& prompt, const QStringList& items) {
  m_recorded.push_back({"Choice", prompt, MessageButtons::Ok, {}, 0, {}, items});
  const std::optional<int> chosen = Take<std::optional<int>>(prompt, std::nullopt);
  if (chosen && (*chosen < 0 || *chosen >= items.size())) ADD_FAILURE() << "no entry " << *chosen << " to choose";
  return chosen;
}

std::optional<QString> ScriptedDialogs::OpenFileName(const FileDialogRequest& request) {
  m_recorded.push_back({"Open", request.title, MessageButtons::Ok, request});
  return Take<std::optional<QString>>("open file " + request.filter, std::nullopt);
}

std::optional<QString> ScriptedDialogs::SaveFileName(const FileDialogRequest& request) {
  m_recorded.push_back({"Save", request.title, MessageButtons::Ok, request});
  return Take<std::optional<QString>>("save file " + request.filter, std::nullopt);
}

std::optional<QColor> ScriptedDialogs::ChooseColor(const QColor& initial) {
  m_recorded.push_back({"Color", initial.name(), MessageButtons::Ok, {}});
  return Take<std::optional<QColor>>("colour", std::nullopt);
}

std::unique_ptr<ProgressDisplay> ScriptedDialogs::ShowProgress(const QString& text, int maximum) {
  // Steps go to the record by index: the record may grow while the progress is shown.
  class Recorder final : public ProgressDisplay {
   public:
    Recorder(std::vector<RecordedDialog>& recorded, size_t index) : m_recorded(recorded), m_index(index) {}
    void SetProgress(int done) override {
      if (m_index < m_recorded.size()) m_recorded[m_index].steps.push_back(done);
    }

   private:
    std::vector<RecordedDialog>& m_recorded;
    size_t m_index;
  };
  m_recorded.push_back({"Progress", text, MessageButtons::Ok, {}, maximum, {}});
  return std::make_unique<Recorder>(m_recorded, m_recorded.size() - 1);
}

}  // namespace kesta::test
