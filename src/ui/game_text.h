#pragma once
// Game files hold text in the game's Windows code page; the controls hold Unicode. Every conversion
// between the two goes through here.

#include <QString>
#include <QValidator>
#include <optional>
#include <string>

class QLineEdit;

namespace kesta {

QString FromGameText(const std::string& bytes);
// The text's bytes in the game's code page, or nothing when it holds a character the page has no byte for.
std::optional<std::string> GameTextOf(const QString& text);
// For controls whose text the game's code page always holds (their validator sees to it).
std::string ToGameText(const QString& text);

// Refuses characters the game's code page cannot store, so that nothing typed is lost on the way to
// the file.
class TGameTextValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;
};

// Gives the edit the validator above.
void AcceptGameTextOnly(QLineEdit* edit);

}  // namespace kesta
