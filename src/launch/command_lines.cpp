#include "launch/command_lines.h"

#include "engine/text.h"

namespace kesta {

std::string CommandLineValue(std::string_view text) {
  std::string value;
  for (const char c : TrimView(text))
    value += c == ' ' ? std::string_view("\xC2\xA0") : std::string_view(&c, 1);
  return value;
}

std::string ServerParameters(std::string_view playerName, std::string_view serverName,
                             std::string_view roomPassword, std::string_view maxPlayers) {
  return "-server playername=" + CommandLineValue(playerName) + " roomname=" + CommandLineValue(serverName) +
         " roompassword=" + CommandLineValue(roomPassword) + " maxplayers=" + CommandLineValue(maxPlayers);
}

std::string ClientParameters(std::string_view address, std::string_view playerName,
                             std::string_view password) {
  std::string server = Trim(address);
  if (const std::size_t mark = server.find('&'); mark != std::string::npos) server.erase(mark, 1);
  return "-client serverip=" + server + " playername=" + CommandLineValue(playerName) +
         " roompassword=" + CommandLineValue(password);
}

std::vector<std::string> SplitParameters(std::string_view parameters) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while ((start = parameters.find_first_not_of(" \t", start)) != std::string_view::npos) {
    const std::size_t end = parameters.find_first_of(" \t", start);
    words.emplace_back(parameters.substr(start, end - start));
    start = end;
  }
  return words;
}

}  // namespace kesta
