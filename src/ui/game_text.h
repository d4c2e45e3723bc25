#pragma once
// Game files hold text in the game's Windows code page; the controls hold Unicode. Every conversion
// between the two goes through here.

#include <QString>
#include <string>

namespace kesta {

QString FromGameText(const std::string& bytes);
// The bytes of the text in the game's code page; characters the page cannot hold become "?".
std::string ToGameText(const QString& text);

}  // namespace kesta
