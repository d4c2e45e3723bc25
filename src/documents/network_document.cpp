#include "documents/network_document.h"

#include <charconv>

#include "documents/document_fields.h"
#include "engine/failure.h"
#include "engine/lua_text.h"
#include "engine/text.h"
#include "platform/host_address.h"

namespace kesta {

namespace {

constexpr std::string_view kClientAnchor = "client {";
constexpr std::string_view kServerAnchor = "server {";
constexpr std::string_view kServerListAnchor = "serverList = {";
// The interface line's value that lets a server listen everywhere; anything else means the local network.
constexpr std::string_view kAllInterfaces = "\"All interfaces\"";

const std::vector<std::string_view>& InterfaceEntries() {
  static const std::vector<std::string_view> entries{"Lan & Internet", "Lan"};
  return entries;
}

// The list's entry equal to the file's text in any letter case, or "" when none is.
std::string ConnectionTypeOf(std::string_view text) {
  for (std::string_view entry : ConnectionTypes())
    if (EqualsNoCase(entry, text)) return std::string(entry);
  return {};
}

std::string EntryName(size_t position) { return "[" + std::to_string(position) + "]"; }

// A connection type box holds one of the entries, or none.
DocumentField<NetworkDocument> ConnectionTypeField(std::string_view name,
                                                   std::string NetworkDocument::*member) {
  return {name, [member](const NetworkDocument& d) { return d.*member; },
          [member](NetworkDocument& d, std::string_view text) {
            std::vector<std::string_view> entries = ConnectionTypes();
            entries.insert(entries.begin(), "");
            d.*member = CheckedEntry(text, entries);
          }};
}

const std::vector<DocumentField<NetworkDocument>>& Fields() {
  using D = NetworkDocument;
  static const std::vector<DocumentField<D>> fields{
      TextField<D>("EditPlayerName", &D::playerName, 50),
      NumberField<D>("EditClientPort", &D::clientPort, 5),
      ConnectionTypeField("ComboBoxConnexionType", &D::connectionType),
      TextField<D>("EditServerDefault", &D::defaultServer, 100),
      NumberField<D>("EditChatHeight", &D::chatHeight, 4),
      NumberField<D>("EditChatDelay", &D::chatDelay, 5),
      TextField<D>("EditServerName", &D::serverName, 50),
      ConnectionTypeField("ComboBoxConnexionTypeServer", &D::serverConnectionType),
      NumberField<D>("EditServerPort", &D::serverPort, 5),
      NumberField<D>("EditMaxPlayers", &D::maxPlayers, 5),
      {"ComboBoxInterface",
       [](const D& d) { return std::string(InterfaceEntries()[static_cast<size_t>(d.serverInterface)]); },
       [](D& d, std::string_view text) {
         d.serverInterface = CheckedEntry(text, InterfaceEntries()) == InterfaceEntries()[0]
                                 ? ServerInterface::LanAndInternet
                                 : ServerInterface::Lan;
       }},
  };
  return fields;
}

constexpr std::string_view kServerList = "ComboBoxServerList";

size_t ParseCount(std::string_view text, size_t max) {
  size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > max)
    throw EKestaError("\"" + std::string(text) + "\" is not a whole number from 0 to " + std::to_string(max));
  return value;
}

// The server list is read while its entries follow each other from [1] on without a gap or an empty one.
std::vector<std::string> ReadServerList(const Lines& lines) {
  std::vector<std::string> servers;
  for (size_t n = 1;; ++n) {
    std::string entry = GetQuotedParam(lines, EntryName(n), kServerListAnchor);
    if (entry.empty()) return servers;
    servers.push_back(std::move(entry));
  }
}

// Each entry's line goes below the one written before it, so a list that grew keeps its order in the file;
// the lines of entries the list no longer has are removed as far as they follow each other. Empty entries
// are left out: in the file, an empty entry ends the list, and every entry after it would be lost at the
// next load and Apply.
void WriteServerList(Lines& lines, const std::vector<std::string>& servers) {
  std::string anchor(kServerListAnchor);
  size_t n = 0;
  for (const std::string& server : servers) {
    if (server.empty()) continue;
    anchor = Trim(SetParam(lines, "\t\t" + EntryName(++n), LuaQuoted(server), anchor, false));
  }
  for (size_t k = n + 1; !GetParam(lines, EntryName(k), "", kServerListAnchor, false).empty(); ++k)
    DeleteParam(lines, EntryName(k), kServerListAnchor);
}

}  // namespace

const std::vector<std::string_view>& ConnectionTypes() {
  static const std::vector<std::string_view> types{
      "Modem 33.6K",          "Modem 56.6K",           "xDSL 128/128 Kbit/s", "xDSL 256/128 Kbit/s",
      "xDSL 1024/128 Kbit/s", "xDSL 2048/2048 Kbit/s", "LAN 10 Mbit/s",       "LAN 100 Mbit/s"};
  return types;
}

const GameFileKind& NetworkDocument::Kind() const { return GameFileKindOf(kCatalogKey); }

void NetworkDocument::Read(const Lines& lines, const MessageLookup&) {
  NetworkDocument read;
  read.playerName = GetQuotedParam(lines, "playerName", "");
  read.chatHeight = GetNumberParam(lines, "height", "", "");
  read.chatDelay = GetNumberParam(lines, "delay", "", "");
  read.clientPort = GetNumberParam(lines, "port", "", kClientAnchor);
  read.connectionType = ConnectionTypeOf(GetQuotedParam(lines, "type", kClientAnchor));
  read.defaultServer = GetQuotedParam(lines, "server", kClientAnchor);
  read.servers = ReadServerList(lines);
  read.serverName = GetQuotedParam(lines, "name", kServerAnchor);
  read.serverPort = GetNumberParam(lines, "port", "", kServerAnchor);
  read.maxPlayers = GetNumberParam(lines, "maxPlayers", "", kServerAnchor);
  read.serverConnectionType = ConnectionTypeOf(GetQuotedParam(lines, "type", kServerAnchor));
  read.serverInterface = GetParam(lines, "interface", "", kServerAnchor, false) == kAllInterfaces
                             ? ServerInterface::LanAndInternet
                             : ServerInterface::Lan;
  *this = std::move(read);
}

void NetworkDocument::Write(Lines& lines, const MessageLookup& lookup) const {
  // Nothing is written unless every unquoted value is a number.
  const std::string& height = WrittenNumber("height", chatHeight, lookup);
  const std::string& delay = WrittenNumber("delay", chatDelay, lookup);
  const std::string& port = WrittenNumber("port", clientPort, lookup);
  const std::string& hostPort = WrittenNumber("port", serverPort, lookup);
  const std::string& players = WrittenNumber("maxPlayers", maxPlayers, lookup);
  SetParam(lines, "playerName", LuaQuoted(playerName), "", false);
  SetParam(lines, "\theight", height, "", false);
  SetParam(lines, "\tdelay", delay, "", false);
  SetParam(lines, "\tport", port, kClientAnchor, false);
  SetParam(lines, "\ttype", LuaQuoted(connectionType), kClientAnchor, false);
  SetParam(lines, "\tserver", LuaQuoted(defaultServer), kClientAnchor, false);
  WriteServerList(lines, servers);
  SetParam(lines, "\tname", LuaQuoted(serverName), kServerAnchor, false);
  SetParam(lines, "\tport", hostPort, kServerAnchor, false);
  SetParam(lines, "\tmaxPlayers", players, kServerAnchor, false);
  SetParam(lines, "\ttype", LuaQuoted(serverConnectionType), kServerAnchor, false);
  // A server on the local network only is announced under this machine's address as it is now.
  SetParam(lines, "\tinterface",
           serverInterface == ServerInterface::LanAndInternet ? std::string(kAllInterfaces)
                                                              : LuaQuoted(LocalIPv4Address()),
           kServerAnchor, false);
}

std::vector<NamedValue> NetworkDocument::Values() const {
  std::vector<NamedValue> values = FieldValues(Fields(), *this);
  // The number of entries first, so that show's lines given back to apply keep the list as it is.
  values.push_back({std::string(kServerList), std::to_string(servers.size())});
  for (size_t n = 1; n <= servers.size(); ++n)
    values.push_back({std::string(kServerList) + EntryName(n), servers[n - 1]});
  return values;
}

void NetworkDocument::SetValue(std::string_view name, std::string_view value) {
  if (SetFieldValue(Fields(), *this, name, value)) return;
  // The list takes a new number of entries (cut, or grown with empty ones), or one entry's text; the
  // entry one past the last is added.
  constexpr size_t kMaxServers = 10000;
  if (name == kServerList) {
    servers.resize(ParseCount(value, kMaxServers));
    return;
  }
  const auto [control, entry] = SplitEntry(name);
  if (control != kServerList || entry.empty()) FailUnknownValue(name);
  const size_t position = ParseCount(entry, servers.size() + 1);
  if (position == 0) FailUnknownValue(name);
  if (position > servers.size()) servers.emplace_back();
  servers[position - 1] = std::string(value);
}

const GameFileKind& StatsDocument::Kind() const { return GameFileKindOf(kCatalogKey); }

void StatsDocument::Read(const Lines& lines, const MessageLookup&) {
  chatLog = GetParam(lines, "chat_log", "", "", false) == "true";
}

void StatsDocument::Write(Lines& lines, const MessageLookup&) const {
  SetParam(lines, "chat_log", chatLog ? "true" : "false", "", false);
}

std::vector<NamedValue> StatsDocument::Values() const {
  return {{"CheckBoxShowMessage", chatLog ? "1" : "0"}};
}

void StatsDocument::SetValue(std::string_view name, std::string_view value) {
  if (name != "CheckBoxShowMessage") FailUnknownValue(name);
  chatLog = ParseCheck(value);
}

}  // namespace kesta
