// The documents of config.lua, stats.lua and server.lua without a window: the server list's [n] lines,
// the interface rule, the inverted combat-view switch, the rear camera's lines, the names kesta-cli uses,
// and the Lua check that keeps a file the game reads from being written into one it cannot read.

#include "documents/network_document.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "documents/document_fields.h"
#include "documents/server_document.h"
#include "engine/failure.h"
#include "engine/game_file.h"
#include "engine/lua_text.h"
#include "platform/host_address.h"
#include "sets/game_file_set.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

std::string Lookup(std::string_view key) { return std::string(key); }

Lines Sample(const char* name) { return ReadGameFile(test::SourceFolder() / "resources/Default" / name); }

// config.lua with the sample's server list replaced by `entries` (lines between "serverList = {" and "};").
Lines ConfigWithList(const std::vector<std::string>& entries) {
  Lines lines = Sample("Config.lua");
  const auto open = std::find(lines.begin(), lines.end(), "\tserverList = {");
  const auto close = std::find(open, lines.end(), "\t};");
  lines.erase(open + 1, close);
  lines.insert(std::find(lines.begin(), lines.end(), "\tserverList = {") + 1, entries.begin(), entries.end());
  return lines;
}

// The lines from "serverList = {" to its closing line.
Lines ListLines(const Lines& lines) {
  const auto open = std::find(lines.begin(), lines.end(), "\tserverList = {");
  const auto close = std::find(open, lines.end(), "\t};");
  return Lines(open, close + 1);
}

template <typename Document>
Document Read(const Lines& lines) {
  Document document;
  document.Read(lines, Lookup);
  return document;
}

// Writing the document into the sample fails with the InvalidNumber message and leaves the lines.
void ExpectNotANumber(const GameDocument& document, const char* sample, std::string_view message) {
  Lines lines = Sample(sample);
  try {
    document.Write(lines, Lookup);
    ADD_FAILURE() << "written";
  } catch (const EKestaError& error) {
    EXPECT_TRUE(std::string(error.what()).starts_with(message)) << error.what();
  }
  EXPECT_EQ(lines, Sample(sample));
}

TEST(NetworkDocumentTest, ReadsTheSampleFile) {
  const auto d = Read<NetworkDocument>(Sample("Config.lua"));
  EXPECT_EQ(d.playerName, "Pilot");
  EXPECT_EQ(d.chatHeight, "10");
  EXPECT_EQ(d.chatDelay, "30");
  EXPECT_EQ(d.clientPort, "10308");
  EXPECT_EQ(d.connectionType, "xDSL 1024/128 Kbit/s");
  EXPECT_EQ(d.defaultServer, "192.168.0.10");
  EXPECT_EQ(d.servers, (std::vector<std::string>{"192.168.0.10", "lockon.example.org"}));
  EXPECT_EQ(d.serverName, "Lock On server");
  EXPECT_EQ(d.serverPort, "10308");
  EXPECT_EQ(d.maxPlayers, "16");
  EXPECT_EQ(d.serverConnectionType, "LAN 100 Mbit/s");
  EXPECT_EQ(d.serverInterface, ServerInterface::LanAndInternet);
}

TEST(NetworkDocumentTest, ServerListLinesOnReadAndWrite) {
  struct Case {
    const char* name;
    std::vector<std::string> file;
    std::vector<std::string> read;
    std::vector<std::string> written;  // the list's entries as the page then holds them
    Lines expected;                    // the lines of the table after the write
  };
  const Case cases[] = {
      {"a gap ends the list; the line after it stays",
       {"\t\t[1] = \"a\";", "\t\t[2] = \"b\";", "\t\t[4] = \"d\";"},
       {"a", "b"},
       {"a", "b"},
       {"\tserverList = {", "\t\t[1] = \"a\";", "\t\t[2] = \"b\";", "\t\t[4] = \"d\";", "\t};"}},
      {"an empty entry ends the list; the write removes it and what follows it",
       {"\t\t[1] = \"a\";", "\t\t[2] = \"\";", "\t\t[3] = \"c\";", "\t\t[5] = \"e\";"},
       {"a"},
       {"a"},
       {"\tserverList = {", "\t\t[1] = \"a\";", "\t\t[5] = \"e\";", "\t};"}},
      {"an emptied list removes every entry and keeps the table",
       {"\t\t[1] = \"a\";", "\t\t[2] = \"b\";", "\t\t[3] = \"c\";"},
       {"a", "b", "c"},
       {},
       {"\tserverList = {", "\t};"}},
      {"a new entry lands below its predecessor",
       {"\t\t[1] = \"a\";", "\t\t[2] = \"b\";", "\t\t[3] = \"c\";", "\t\t-- more to come"},
       {"a", "b", "c"},
       {"a", "b", "c", "d"},
       {"\tserverList = {", "\t\t[1] = \"a\";", "\t\t[2] = \"b\";", "\t\t[3] = \"c\";", "\t\t[4] = \"d\";",
        "\t\t-- more to come", "\t};"}},
      {"an empty entry is left out, so the entries after it are read again",
       {"\t\t[1] = \"x\";", "\t\t[2] = \"y\";", "\t\t[3] = \"z\";", "\t\t[4] = \"w\";"},
       {"x", "y", "z", "w"},
       {"a", "", "c", ""},
       {"\tserverList = {", "\t\t[1] = \"a\";", "\t\t[2] = \"c\";", "\t};"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Lines lines = ConfigWithList(c.file);
    auto d = Read<NetworkDocument>(lines);
    EXPECT_EQ(d.servers, c.read);
    d.servers = c.written;
    d.Write(lines, Lookup);
    EXPECT_EQ(ListLines(lines), c.expected);
    EXPECT_FALSE(LuaSyntaxError(JoinGameText(lines), "config.lua"));
  }
}

TEST(NetworkDocumentTest, InterfaceAndConnectionTypeRules) {
  struct Case {
    const char* fileInterface;  // nullptr: no interface line
    ServerInterface read;
  };
  const Case cases[] = {
      {"\tinterface = \"All interfaces\";", ServerInterface::LanAndInternet},
      {"\tinterface = \"all interfaces\";", ServerInterface::Lan},
      {"\tinterface = All interfaces;", ServerInterface::Lan},
      {"\tinterface = \"10.0.0.7\";", ServerInterface::Lan},
      {nullptr, ServerInterface::Lan},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fileInterface ? c.fileInterface : "none");
    Lines lines = Sample("Config.lua");
    const auto line = std::find(lines.begin(), lines.end(), "\tinterface = \"All interfaces\";");
    if (c.fileInterface)
      *line = c.fileInterface;
    else
      lines.erase(line);
    EXPECT_EQ(Read<NetworkDocument>(lines).serverInterface, c.read);
  }

  // "Lan" announces this machine's address as it is now, not the one the file had.
  Lines lines = Sample("Config.lua");
  *std::find(lines.begin(), lines.end(), "\tinterface = \"All interfaces\";") = "\tinterface = \"10.0.0.7\";";
  auto d = Read<NetworkDocument>(lines);
  // A type in any letter case selects the entry; an unknown one selects none and is written empty.
  *std::find(lines.begin(), lines.end(), "\ttype = \"xDSL 1024/128 Kbit/s\";") =
      "\ttype = \"lan 10 mbit/S\";";
  *std::find(lines.begin(), lines.end(), "\ttype = \"LAN 100 Mbit/s\";") = "\ttype = \"Carrier pigeon\";";
  d = Read<NetworkDocument>(lines);
  EXPECT_EQ(d.connectionType, "LAN 10 Mbit/s");
  EXPECT_EQ(d.serverConnectionType, "");
  d.Write(lines, Lookup);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "\tinterface = " + LuaQuoted(LocalIPv4Address()) + ";"),
            lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "\ttype = \"LAN 10 Mbit/s\";"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "\ttype = \"\";"), lines.end());
  d.serverInterface = ServerInterface::LanAndInternet;
  d.Write(lines, Lookup);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "\tinterface = \"All interfaces\";"), lines.end());
}

TEST(NetworkDocumentTest, MissingAnchorsLeaveFieldsEmptyAndFailTheWrite) {
  for (const char* anchor : {"client {", "server {"}) {
    SCOPED_TRACE(anchor);
    Lines lines = Sample("Config.lua");
    lines.erase(std::find(lines.begin(), lines.end(), anchor));
    auto d = Read<NetworkDocument>(lines);
    EXPECT_EQ(std::string(anchor) == "client {" ? d.clientPort : d.serverPort, "");
    EXPECT_THROW(d.Write(lines, Lookup), EKestaError);
  }
  // Without the list's table an empty list is no error.
  Lines lines = Sample("Config.lua");
  const auto open = std::find(lines.begin(), lines.end(), "\tserverList = {");
  lines.erase(open, std::find(open, lines.end(), "\t};") + 1);
  auto d = Read<NetworkDocument>(lines);
  EXPECT_TRUE(d.servers.empty());
  EXPECT_NO_THROW(d.Write(lines, Lookup));
  d.servers = {"a"};
  EXPECT_THROW(d.Write(lines, Lookup), EKestaError);
}

TEST(NetworkDocumentTest, NamedValuesShowAndSetTheServerList) {
  auto d = Read<NetworkDocument>(Sample("Config.lua"));
  const auto values = d.Values();
  const auto value = [&values](std::string_view name) {
    const auto found =
        std::find_if(values.begin(), values.end(), [&](const NamedValue& v) { return v.name == name; });
    return found == values.end() ? std::string("<none>") : found->value;
  };
  EXPECT_EQ(value("ComboBoxServerList"), "2");
  EXPECT_EQ(value("ComboBoxServerList[2]"), "lockon.example.org");
  EXPECT_EQ(value("ComboBoxInterface"), "Lan & Internet");
  EXPECT_EQ(value("ComboBoxConnexionType"), "xDSL 1024/128 Kbit/s");

  d.SetValue("ComboBoxServerList[3]", "third");  // one past the end adds
  d.SetValue("ComboBoxServerList[1]", "first");
  EXPECT_EQ(d.servers, (std::vector<std::string>{"first", "lockon.example.org", "third"}));
  d.SetValue("ComboBoxServerList", "1");
  EXPECT_EQ(d.servers, (std::vector<std::string>{"first"}));
  d.SetValue("ComboBoxConnexionType", "");
  d.SetValue("ComboBoxInterface", "Lan");
  EXPECT_EQ(d.serverInterface, ServerInterface::Lan);

  const std::pair<const char*, std::string> refused[] = {
      {"ComboBoxServerList[3]", "beyond the end"},
      {"ComboBoxServerList[0]", "x"},
      {"ComboBoxServerList[x]", "x"},
      {"ComboBoxServerList", "-1"},
      {"ComboBoxConnexionType", "ISDN"},
      {"ComboBoxInterface", "Wifi"},
      {"EditClientPort", "123456"},
      {"EditPlayerName", std::string(51, 'x')},
      {"EditNothing", "1"},
  };
  for (const auto& [name, text] : refused) {
    SCOPED_TRACE(name);
    const NetworkDocument before = d;
    EXPECT_THROW(d.SetValue(name, text), EKestaError);
    EXPECT_TRUE(d == before);
  }
}

TEST(StatsDocumentTest, ChatLogIsOnForExactlyTrue) {
  const std::pair<const char*, bool> cases[] = {
      {"chat_log = true;", true}, {"chat_log = True;", false}, {"chat_log = false;", false}, {"", false}};
  for (const auto& [line, on] : cases) {
    SCOPED_TRACE(line);
    Lines lines{"-- stats", line, "kills_log = true;"};
    auto d = Read<StatsDocument>(lines);
    EXPECT_EQ(d.chatLog, on);
    d.chatLog = !on;
    d.Write(lines, Lookup);
    EXPECT_NE(std::find(lines.begin(), lines.end(), on ? "chat_log = false;" : "chat_log = true;"),
              lines.end());
  }
}

TEST(ServerDocumentTest, CombatViewsSwitchIsInvertedAndLosesItsComment) {
  struct Case {
    const char* line;
    bool checked;
    const char* written;  // the switch's line after writing the value read
  };
  const Case cases[] = {
      {"DisableCombatViews = false -- F5 & Ctrl-F5", true, "DisableCombatViews = false"},
      {"DisableCombatViews = true -- F5 & Ctrl-F5", false, "DisableCombatViews = true"},
      {"DisableCombatViews = True", true, "DisableCombatViews = false"},
      {"DisableCombatViews = true;", false, "DisableCombatViews = true"},
      {"-- no switch", true, "DisableCombatViews = false"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Lines lines = Sample("Server.lua");
    *std::find(lines.begin(), lines.end(), "DisableCombatViews = false -- F5 & Ctrl-F5") = c.line;
    const auto d = Read<ServerDocument>(lines);
    EXPECT_EQ(d.combatViewsDisabled, c.checked);
    d.Write(lines, Lookup);
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.written), lines.end());
    EXPECT_FALSE(LuaSyntaxError(JoinGameText(lines), "server.lua"));
  }
}

TEST(ServerDocumentTest, RearCameraLines) {
  Lines lines = Sample("Server.lua");
  auto d = Read<ServerDocument>(lines);
  EXPECT_TRUE(d.cameraTerrainRestriction);
  EXPECT_EQ(d.f4ViewY, "-8.5");
  EXPECT_EQ(d.f4ViewZ, "+1.5");
  EXPECT_EQ(d.f4ViewX, "0");
  // Written unchanged, the lines keep their numbers without the sign's space.
  d.Write(lines, Lookup);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "\tr[1] = p[1] -8.5"), lines.end());
  // As the F4 window formats them.
  d.f4ViewY = "+ 4.57";
  d.f4ViewX = "- 1.39";
  d.f4ViewZ = "- 2.5";
  d.cameraTerrainRestriction = false;
  d.Write(lines, Lookup);
  for (const char* line :
       {"\tr[1] = p[1] + 4.57", "\tr[3] = - 1.39", "\tr[2] = p[2] - 2.5", "CameraTerrainRestriction = false"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
  EXPECT_FALSE(LuaSyntaxError(JoinGameText(lines), "server.lua"));
  EXPECT_EQ(Read<ServerDocument>(lines).f4ViewY, "+4.57");

  // Without the camera function the values are empty and the write fails.
  lines.erase(std::find(lines.begin(), lines.end(), "function GetRearCameraPosition(p)"));
  d = Read<ServerDocument>(lines);
  EXPECT_EQ(d.f4ViewX + d.f4ViewY + d.f4ViewZ, "");
  EXPECT_THROW(d.Write(lines, Lookup), EKestaError);

  for (const char* text : {"", "+", "4,5", "1; os.exit()", "- -1", "1.2.3"})
    EXPECT_THROW(d.SetValue("F4ViewX", text), EKestaError) << text;
  for (const char* text : {"8.61", "+ 4.57", "-2.5", "0"})
    EXPECT_NO_THROW(d.SetValue("F4ViewX", text)) << text;

  // A shared configuration's camera lines reach the game's file only as numbers.
  for (const auto& [from, to] : {std::pair{"\tr[1] = p[1] - 8.5", "\tr[1] = p[1] +(os.exit())"},
                                 std::pair{"\tr[3] = 0", "\tr[3] = os.exit()"},
                                 std::pair{"\tr[2] = p[2] + 1.5", "\tr[2] = p[2] -f()"}}) {
    SCOPED_TRACE(to);
    Lines shared = Sample("Server.lua");
    std::replace(shared.begin(), shared.end(), std::string(from), std::string(to));
    ExpectNotANumber(Read<ServerDocument>(shared), "Server.lua", "- InvalidNumber r[");
  }
}

// Ports, the chat window and the player count stand unquoted in config.lua: only numbers go there, from
// the window (the document's member) or from kesta-cli (SetValue). A number the file holds as a string is
// read as that number.
TEST(NetworkDocumentTest, UnquotedValuesMustBeNumbers) {
  using Member = std::string NetworkDocument::*;
  const std::pair<const char*, Member> boxes[] = {
      {"EditClientPort", &NetworkDocument::clientPort}, {"EditServerPort", &NetworkDocument::serverPort},
      {"EditMaxPlayers", &NetworkDocument::maxPlayers}, {"EditChatHeight", &NetworkDocument::chatHeight},
      {"EditChatDelay", &NetworkDocument::chatDelay},
  };
  for (const auto& [control, member] : boxes) {
    SCOPED_TRACE(control);
    for (const char* bad : {"1;f()", "nil", "", "1 f()", "1,2", "\"1\""}) {
      SCOPED_TRACE(bad);
      auto d = Read<NetworkDocument>(Sample("Config.lua"));
      d.*member = bad;
      ExpectNotANumber(d, "Config.lua", "- InvalidNumber ");
      EXPECT_THROW(Read<NetworkDocument>(Sample("Config.lua")).SetValue(control, bad), EKestaError);
    }
  }
  Lines lines = Sample("Config.lua");
  std::replace(lines.begin(), lines.end(), std::string("\tport = 10308;"),
               std::string("\tport = \"10309\";"));
  auto d = Read<NetworkDocument>(lines);
  EXPECT_EQ(d.clientPort, "10309");
  EXPECT_EQ(d.serverPort, "10309");
  d.Write(lines, Lookup);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "\tport = 10309;"), 2);
}

// A box takes at most its length when typed into, but keeps a longer text the file holds; kesta-cli takes
// what the box would.
TEST(NetworkDocumentTest, ALongerTextFromTheFileIsKept) {
  Lines lines = Sample("Config.lua");
  const std::string longName(55, 'n');
  std::replace(lines.begin(), lines.end(), std::string("\tname = \"Lock On server\";"),
               "\tname = \"" + longName + "\";");
  auto d = Read<NetworkDocument>(lines);
  ASSERT_EQ(d.serverName, longName);
  for (const std::string& accepted : {longName, std::string(51, 'm'), std::string(3, 'k')})
    EXPECT_NO_THROW(Read<NetworkDocument>(lines).SetValue("EditServerName", accepted)) << accepted.size();
  EXPECT_THROW(Read<NetworkDocument>(lines).SetValue("EditServerName", std::string(56, 'x')), EKestaError);
  EXPECT_THROW(Read<NetworkDocument>(Sample("Config.lua")).SetValue("EditServerName", std::string(51, 'x')),
               EKestaError);
  EXPECT_EQ(BoxLength(50, longName), 55u);
  EXPECT_EQ(BoxLength(50, "short"), 50u);
}

// Stands for a document whose write breaks the file's Lua, whatever the reason.
class BreakingDocument final : public GameDocumentOf<BreakingDocument> {
 public:
  const GameFileKind& Kind() const override { return GameFileKindOf("Graphics"); }
  void Read(const Lines&, const MessageLookup&) override {}
  void Write(Lines& lines, const MessageLookup&) const override { lines.push_back("broken = {"); }
  std::vector<NamedValue> Values() const override { return {}; }
  void SetValue(std::string_view, std::string_view) override {}
};

TEST(WriteDocumentTest, ALuaFileThatParsedIsNeverWrittenIntoOneThatDoesNot) {
  // Whatever its name ends with: the game runs its ".cfg" files as Lua too.
  for (const char* name : {"config.lua", "CONFIG.LUA", "graphics.cfg", "producer.cfg", "noname"}) {
    SCOPED_TRACE(name);
    Lines lines = Sample("Config.lua");
    try {
      WriteDocument(BreakingDocument(), lines, name, Lookup);
      ADD_FAILURE() << "the write was accepted";
    } catch (const EKestaError& error) {
      EXPECT_NE(std::string(error.what()).find(std::string(name) + ":"), std::string::npos) << error.what();
    }
  }
  // A file the game could not read before is written all the same, and so is a file that is not Lua.
  Lines lines = Sample("Config.lua");
  lines.push_back("this is not Lua");
  EXPECT_NO_THROW(WriteDocument(BreakingDocument(), lines, "config.lua", Lookup));
  lines = Sample("mecustom.xml");
  EXPECT_NO_THROW(WriteDocument(BreakingDocument(), lines, "MeCustom.xml", Lookup));
}

}  // namespace
}  // namespace kesta
