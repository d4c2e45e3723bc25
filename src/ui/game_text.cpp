#include "ui/game_text.h"

#include <QLineEdit>

#include "platform/code_page.h"

namespace kesta {

QString FromGameText(const std::string& bytes) { return QString::fromStdString(GameText().ToUtf8(bytes)); }

std::optional<std::string> GameTextOf(const QString& text) { return GameText().FromUtf8(text.toStdString()); }

std::string ToGameText(const QString& text) {
  if (auto bytes = GameTextOf(text)) return *bytes;
  // Only text set around the validator gets here: each character the page lacks becomes "?".
  std::string bytes;
  for (const QChar character : text) {
    const std::optional<std::string> one = GameTextOf(QString(character));
    bytes += one ? *one : "?";
  }
  return bytes;
}

QValidator::State TGameTextValidator::validate(QString& input, int&) const {
  return GameTextOf(input) ? Acceptable : Invalid;
}

void AcceptGameTextOnly(QLineEdit* edit) { edit->setValidator(new TGameTextValidator(edit)); }

}  // namespace kesta
