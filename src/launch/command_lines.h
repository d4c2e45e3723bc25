#pragma once
// The game's command lines for a server and a client, as UTF-8 text. Each value is one word: Wine hands
// the no-break space to the game as byte 0xA0 of its ANSI command line, and the game reads that as a
// space within the value.

#include <string>
#include <string_view>
#include <vector>

namespace kesta {

// Trimmed of characters 0 to 32 at both ends, every remaining space turned into U+00A0.
std::string CommandLineValue(std::string_view text);

std::string ServerParameters(std::string_view playerName, std::string_view serverName,
                             std::string_view roomPassword, std::string_view maxPlayers);
// The address is trimmed and loses its first "&" (menu captions used to carry one as a keyboard mark).
std::string ClientParameters(std::string_view address, std::string_view playerName,
                             std::string_view password);

// The parameter text as the game's start-up code splits it: at runs of spaces and tabs.
std::vector<std::string> SplitParameters(std::string_view parameters);

}  // namespace kesta
