#pragma once
// Stands for the person answering dialogs: records every dialog's text and answers from a queue.
// A question with no answer queued is a test failure.

#include <deque>
#include <functional>
#include <variant>
#include <vector>

#include "ui/dialog_service.h"

namespace kesta::test {

struct RecordedDialog {
  QString kind;  // "Warning", "Error", "Information", "Input", "Open", "Save", "Color", "Progress", "Choice"
  QString text;  // message text, input prompt, file dialog title, or the colour offered ("#rrggbb")
  MessageButtons buttons = MessageButtons::Ok;
  FileDialogRequest file;  // for "Open" and "Save"
  int maximum = 0;         // for "Progress": the steps announced, and each step shown
  std::vector<int> steps{};
  QStringList items{};  // for "Choice": the entries offered
};

class ScriptedDialogs : public DialogService {
 public:
  using Answer = std::variant<DialogAnswer, std::optional<QString>, std::optional<QColor>, std::optional<int>>;

  // Answers for questions (Yes/No), inputs, file and colour dialogs, used in order. Plain OK messages
  // take no answer.
  void Queue(Answer answer) { m_answers.push_back(std::move(answer)); }
  void QueueYes() { Queue(DialogAnswer::Yes); }
  void QueueNo() { Queue(DialogAnswer::No); }
  void QueueText(const QString& text) { Queue(std::optional<QString>(text)); }
  void QueueCancel() { Queue(std::optional<QString>()); }
  void QueueChoice(int index) { Queue(std::optional<int>(index)); }
  void QueueCancelChoice() { Queue(std::optional<int>()); }

  // Runs once while the next message box is open, before it is answered: what the person does meanwhile.
  void WhileNextMessageShows(std::function<void()> action) { m_whileShowing = std::move(action); }

  const std::vector<RecordedDialog>& Recorded() const { return m_recorded; }
  void ClearRecorded() { m_recorded.clear(); }
  size_t PendingAnswers() const { return m_answers.size(); }

  DialogAnswer ShowMessage(MessageKind kind, const QString& text, MessageButtons buttons) override;
  std::optional<QString> InputText(const QString& caption, const QString& prompt, const QString& initial) override;
  std::optional<int> ChooseItem(const QString& caption, const QString& prompt, const QStringList& items) override;
  std::optional<QString> OpenFileName(const FileDialogRequest& request) override;
  std::optional<QString> SaveFileName(const FileDialogRequest& request) override;
  std::optional<QColor> ChooseColor(const QColor& initial) override;
  // Recorded with every step it shows; needs no answer.
  std::unique_ptr<ProgressDisplay> ShowProgress(const QString& text, int maximum) override;

 private:
  template <typename T>
  T Take(const QString& what, T fallback);

  std::deque<Answer> m_answers;
  std::vector<RecordedDialog> m_recorded;
  std::function<void()> m_whileShowing;
};

}  // namespace kesta::test
