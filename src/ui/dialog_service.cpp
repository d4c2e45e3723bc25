#include "ui/dialog_service.h"

#include <algorithm>

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStringList>

namespace kesta {

namespace {

// "lockon.exe" → "[lL][oO][cC][kK][oO][nN].[eE][xX][eE]": Qt's own filters count letter case on Linux.
QString CaseInsensitivePattern(const QString& pattern) {
  QString result;
  for (const QChar c : pattern) {
    if (c.isLetter() && c.toLower() != c.toUpper())
      result += QString("[%1%2]").arg(c.toLower()).arg(c.toUpper());
    else
      result += c;
  }
  return result;
}

QString TitleOf(MessageKind kind, const DialogTexts& texts) {
  switch (kind) {
    case MessageKind::Warning:
      return texts.warning;
    case MessageKind::Error:
      return texts.error;
    case MessageKind::Information:
      return texts.information;
  }
  return {};
}

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return QMessageBox::Warning;
    case MessageKind::Error:
      return QMessageBox::Critical;
    case MessageKind::Information:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

// A box shown while its window is not (the questions of start-up) stands in the middle of the screen,
// not around the hidden window's corner where Qt would place it. Moved once it has its size, before it
// is mapped.
template <typename Dialog>
class TPlaced : public Dialog {
 public:
  using Dialog::Dialog;

 protected:
  void showEvent(QShowEvent* event) override {
    Dialog::showEvent(event);
    const QWidget* parent = this->parentWidget();
    if (parent && parent->window()->isVisible()) return;
    const QScreen* screen = parent ? parent->screen() : this->screen();
    if (!screen) return;
    QRect frame = this->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    this->move(frame.topLeft());
  }
};

std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode) {
  TPlaced<QFileDialog> dialog(parent, request.title, request.folder, ConvertFileFilter(request.filter));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Patterns are made case-blind ("[lL][oO]..."), which is no reading for a person: the description says it.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!request.defaultExtension.isEmpty()) dialog.setDefaultSuffix(request.defaultExtension);
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

}  // namespace

QString ConvertFileFilter(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts))
      patterns << CaseInsensitivePattern(pattern.trimmed());
    filters << QString("%1 (%2)").arg(parts[i].trimmed(), patterns.join(' '));
  }
  return filters.join(";;");
}

DialogAnswer QtDialogService::ShowMessage(MessageKind kind, const QString& text, MessageButtons buttons) {
  TPlaced<QMessageBox> box(IconOf(kind), TitleOf(kind, Texts()), text, QMessageBox::NoButton, m_parent);
  if (buttons == MessageButtons::Ok) {
    box.addButton(Texts().ok, QMessageBox::AcceptRole);
    box.exec();
    return DialogAnswer::Ok;
  }
  QPushButton* yes = box.addButton(Texts().yes, QMessageBox::YesRole);
  QPushButton* no = box.addButton(Texts().no, QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes ? DialogAnswer::Yes : DialogAnswer::No;
}

namespace {
void Label(QInputDialog& dialog, const QString& caption, const QString& prompt, const DialogTexts& texts) {
  dialog.setWindowTitle(caption);
  dialog.setLabelText(prompt);
  dialog.setOkButtonText(texts.ok);
  dialog.setCancelButtonText(texts.cancel);
}
}  // namespace

std::optional<QString> QtDialogService::InputText(const QString& caption, const QString& prompt,
                                                  const QString& initial) {
  TPlaced<QInputDialog> dialog(m_parent);
  Label(dialog, caption, prompt, Texts());
  dialog.setTextValue(initial);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

std::optional<int> QtDialogService::ChooseItem(const QString& caption, const QString& prompt,
                                               const QStringList& items) {
  TPlaced<QInputDialog> dialog(m_parent);
  Label(dialog, caption, prompt, Texts());
  dialog.setComboBoxItems(items);
  dialog.setComboBoxEditable(false);
  // A list shows every entry at once; the entries are long paths, so the box is wide enough for them.
  dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
  int widest = 0;
  for (const QString& item : items) widest = std::max(widest, dialog.fontMetrics().horizontalAdvance(item));
  dialog.resize(std::min(widest + 80, dialog.screen()->availableGeometry().width() * 9 / 10),
                dialog.sizeHint().height());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const int chosen = static_cast<int>(items.indexOf(dialog.textValue()));
  if (chosen < 0) return std::nullopt;
  return chosen;
}

std::optional<QString> QtDialogService::OpenFileName(const FileDialogRequest& request) {
  return RunFileDialog(m_parent, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogService::SaveFileName(const FileDialogRequest& request) {
  return RunFileDialog(m_parent, request, QFileDialog::AcceptSave);
}

std::optional<QColor> QtDialogService::ChooseColor(const QColor& initial) {
  TPlaced<QColorDialog> dialog(initial, m_parent);
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid()) return std::nullopt;
  return dialog.selectedColor();
}

namespace {

// Modal, so the window takes no command while QProgressDialog lets events through at each step; without a
// cancel button, as a copy stopped halfway is no backup. Short work ends before it would appear.
class TProgressDialog final : public ProgressDisplay {
 public:
  TProgressDialog(QWidget* parent, const QString& text, int maximum)
      : m_dialog(text, QString(), 0, maximum, parent) {
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(400);
    m_dialog.setAutoClose(false);
    m_dialog.setValue(0);
  }
  void SetProgress(int done) override { m_dialog.setValue(done); }

 private:
  TPlaced<QProgressDialog> m_dialog;
};

}  // namespace

std::unique_ptr<ProgressDisplay> QtDialogService::ShowProgress(const QString& text, int maximum) {
  return std::make_unique<TProgressDialog>(m_parent, text, maximum);
}

}  // namespace kesta
