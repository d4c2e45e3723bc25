#include "ui/review_window.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "ui/game_text.h"

namespace kesta {

namespace {

// A line break as the file has it stays out of the view; the diff's text keeps it.
QString WithoutBreak(const std::string& bytes) {
  std::string_view text = bytes;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  return FromGameText(std::string(text));
}

}  // namespace

TReviewWindow::TReviewWindow(QWidget* parent, const Content& content, std::function<void()> apply,
                             const std::function<QString(const QString&)>& message)
    : QDialog(parent) {
  setObjectName(QStringLiteral("ReviewWindow"));
  setWindowTitle(message(QStringLiteral("ReviewTitle")));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);

  m_text = new QPlainTextEdit(this);
  m_text->setObjectName(QStringLiteral("ReviewText"));
  m_text->setReadOnly(true);
  m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  m_text->setFont(font);
  layout->addWidget(m_text);

  // Each line is coloured by what Apply does with it: removed red, added green, headers bold.
  QTextCursor cursor(m_text->document());
  QTextCharFormat plain, header, removed, added, hunk;
  header.setFontWeight(QFont::Bold);
  removed.setForeground(QColor(0xB0, 0x20, 0x20));
  added.setForeground(QColor(0x10, 0x80, 0x20));
  hunk.setForeground(QColor(0x30, 0x50, 0xA0));
  bool first = true;
  const auto line = [&cursor, &first](const QString& text, const QTextCharFormat& format) {
    if (!first) cursor.insertBlock();
    first = false;
    cursor.insertText(text, format);
  };
  const auto shown = [&content](const std::filesystem::path& target) {
    return QString::fromStdString(target.lexically_relative(content.gameFolder).generic_string());
  };
  for (const FileFailure& failure : content.failures)
    line(message(QStringLiteral("ReviewNotWritten"))
                 .arg(QString::fromStdString(std::string(failure.catalogKey))) +
             " " + FromGameText(failure.reason),
         removed);
  for (const FileChange& change : content.changes) {
    line(
        shown(change.target) + (change.created ? "  " + message(QStringLiteral("ReviewNewFile")) : QString()),
        header);
    for (const DiffHunk& h : change.hunks) {
      line(QStringLiteral("@@ -%1,%2 +%3,%4 @@")
               .arg(h.oldStart)
               .arg(h.oldCount)
               .arg(h.newStart)
               .arg(h.newCount),
           hunk);
      for (const DiffLine& l : h.lines)
        line(QChar::fromLatin1(l.kind) + WithoutBreak(l.text), l.kind == '-'   ? removed
                                                               : l.kind == '+' ? added
                                                                               : plain);
    }
    line(QString(), plain);
  }
  if (content.changes.empty()) line(message(QStringLiteral("ReviewNothing")), plain);
  m_text->moveCursor(QTextCursor::Start);

  auto* buttons = new QDialogButtonBox(this);
  m_apply = buttons->addButton(message(QStringLiteral("dxButtonApply")), QDialogButtonBox::AcceptRole);
  m_apply->setObjectName(QStringLiteral("ReviewApply"));
  m_apply->setEnabled(!content.changes.empty() && apply);
  QPushButton* closeButton =
      buttons->addButton(message(QStringLiteral("ReviewClose")), QDialogButtonBox::RejectRole);
  closeButton->setObjectName(QStringLiteral("ReviewClose"));
  closeButton->setDefault(true);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // The window's Apply reports its own failures; this window is gone before it starts.
  connect(m_apply, &QPushButton::clicked, this, [this, apply] {
    // Closing only schedules the deletion, so the copy of `apply` outlives nothing it needs.
    const std::function<void()> run = apply;
    close();
    run();
  });
  resize(760, 520);
}

QString TReviewWindow::Text() const { return m_text->toPlainText(); }

}  // namespace kesta
