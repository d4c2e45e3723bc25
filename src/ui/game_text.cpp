#include "ui/game_text.h"

namespace kesta {

QString FromGameText(const std::string& bytes) {
  return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string ToGameText(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace kesta
