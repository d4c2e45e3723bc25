#pragma once
// Every message box, input box, file dialog and colour dialog of the program goes through this one
// service. The window shows the language's words on every box; tests stand in for the person answering.

#include <QColor>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QWidget;

namespace kesta {

enum class MessageKind { Warning, Error, Information };
enum class MessageButtons { Ok, YesNo };
enum class DialogAnswer { Ok, Yes, No };

// The seven looked-up texts: button captions and box titles.
struct DialogTexts {
  QString yes = "Yes";
  QString no = "No";
  QString warning = "Warning";
  QString error = "Error";
  QString information = "Information";
  QString cancel = "Cancel";
  QString ok = "OK";
};

struct FileDialogRequest {
  QString title;
  QString folder;            // where the dialog starts
  QString filter;            // "Description|pattern[;pattern]|Description|pattern" as the program writes them
  QString defaultExtension;  // added to a typed name without one (save dialogs)
  QString fileName;          // proposed name
};

// The progress of a long command, shown while this object lives. The window stays responsive to
// repainting but takes no commands meanwhile.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual void SetProgress(int done) = 0;
};

class DialogService {
 public:
  virtual ~DialogService() = default;

  virtual DialogAnswer ShowMessage(MessageKind kind, const QString& text, MessageButtons buttons) = 0;
  // The text typed, or nothing when cancelled.
  virtual std::optional<QString> InputText(const QString& caption, const QString& prompt,
                                           const QString& initial) = 0;
  // The index of the entry of `items` chosen, or nothing when cancelled.
  virtual std::optional<int> ChooseItem(const QString& caption, const QString& prompt, const QStringList& items) = 0;
  // The chosen file, or nothing when cancelled.
  virtual std::optional<QString> OpenFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<QString> SaveFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<QColor> ChooseColor(const QColor& initial) = 0;
  // `maximum` steps of work described by `text`.
  virtual std::unique_ptr<ProgressDisplay> ShowProgress(const QString& text, int maximum) = 0;

  void SetTexts(const DialogTexts& texts) { m_texts = texts; }
  const DialogTexts& Texts() const { return m_texts; }

  // Shorthands for the shapes the program uses.
  void Warning(const QString& text) { ShowMessage(MessageKind::Warning, text, MessageButtons::Ok); }
  void Error(const QString& text) { ShowMessage(MessageKind::Error, text, MessageButtons::Ok); }
  void Information(const QString& text) { ShowMessage(MessageKind::Information, text, MessageButtons::Ok); }
  bool ErrorQuestion(const QString& text) {
    return ShowMessage(MessageKind::Error, text, MessageButtons::YesNo) == DialogAnswer::Yes;
  }

 private:
  DialogTexts m_texts;
};

// "Text|pattern|Text|pattern" → Qt's "Text (pattern);;Text (pattern)". Patterns match without regard
// to letter case, as Windows names do: "lockon.exe" also finds "LockOn.exe".
QString ConvertFileFilter(const QString& filter);

// The real dialogs, with Qt's own widgets so that filters and texts behave the same on every desktop.
class QtDialogService : public DialogService {
 public:
  explicit QtDialogService(QWidget* parent) : m_parent(parent) {}

  DialogAnswer ShowMessage(MessageKind kind, const QString& text, MessageButtons buttons) override;
  std::optional<QString> InputText(const QString& caption, const QString& prompt, const QString& initial) override;
  std::optional<int> ChooseItem(const QString& caption, const QString& prompt, const QStringList& items) override;
  std::optional<QString> OpenFileName(const FileDialogRequest& request) override;
  std::optional<QString> SaveFileName(const FileDialogRequest& request) override;
  std::optional<QColor> ChooseColor(const QColor& initial) override;
  std::unique_ptr<ProgressDisplay> ShowProgress(const QString& text, int maximum) override;

 private:
  QWidget* m_parent;
};

}  // namespace kesta
