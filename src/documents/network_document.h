#pragma once
// config.lua: the player, the client's connection and its server list, the chat window, and the server
// a player hosts. stats.lua: whether the chat is logged.

#include <string>
#include <vector>

#include "documents/game_document.h"

namespace kesta {

// The connection types the game knows, in the order the pages list them.
const std::vector<std::string_view>& ConnectionTypes();

enum class ServerInterface { LanAndInternet = 0, Lan = 1 };

class NetworkDocument final : public GameDocumentOf<NetworkDocument> {
 public:
  static constexpr std::string_view kCatalogKey = "Network";

  // Texts are game bytes, as typed; the file gets them as Lua strings.
  std::string playerName;            // EditPlayerName, 50
  std::string clientPort;            // EditClientPort, 5
  std::string connectionType;        // ComboBoxConnexionType: an entry of ConnectionTypes(), or "" for none
  std::string defaultServer;         // EditServerDefault, 100
  std::vector<std::string> servers;  // ComboBoxServerList's entries: order kept, repeats and empties allowed
  std::string chatHeight;            // EditChatHeight, 4
  std::string chatDelay;             // EditChatDelay, 5
  std::string serverName;            // EditServerName, 50
  std::string serverConnectionType;  // ComboBoxConnexionTypeServer, as connectionType
  std::string serverPort;            // EditServerPort, 5
  std::string maxPlayers;            // EditMaxPlayers, 5
  ServerInterface serverInterface = ServerInterface::Lan;  // ComboBoxInterface

  const GameFileKind& Kind() const override;
  void Read(const Lines& lines, const MessageLookup& lookup) override;
  void Write(Lines& lines, const MessageLookup& lookup) const override;
  std::vector<NamedValue> Values() const override;
  void SetValue(std::string_view name, std::string_view value) override;

  bool operator==(const NetworkDocument&) const = default;
};

class StatsDocument final : public GameDocumentOf<StatsDocument> {
 public:
  static constexpr std::string_view kCatalogKey = "Stats";

  bool chatLog = false;  // CheckBoxShowMessage

  const GameFileKind& Kind() const override;
  void Read(const Lines& lines, const MessageLookup& lookup) override;
  void Write(Lines& lines, const MessageLookup& lookup) const override;
  std::vector<NamedValue> Values() const override;
  void SetValue(std::string_view name, std::string_view value) override;

  bool operator==(const StatsDocument&) const = default;
};

}  // namespace kesta
