#include "launch/command_lines.h"

#include <gtest/gtest.h>

namespace kesta {
namespace {

constexpr char kNbsp[] = "\xC2\xA0";

TEST(CommandLines, ServerValuesAreTrimmedOneWordEach) {
  struct Case {
    const char *player, *server, *password, *maxPlayers, *expected;
  };
  const Case cases[] = {
      {"Ace Pilot", "My Server", "pw", "16",
       "-server playername=Ace\xC2\xA0Pilot roomname=My\xC2\xA0Server roompassword=pw maxplayers=16"},
      {" \t Ace  Pilot \r\n", "  x ", "", " 8",
       "-server playername=Ace\xC2\xA0\xC2\xA0Pilot roomname=x roompassword= maxplayers=8"},
      // Blanks only: the emptiness check lets them through, the value is empty.
      {"   ", "a=b", "\"q\"", "abc", "-server playername= roomname=a=b roompassword=\"q\" maxplayers=abc"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ServerParameters(c.player, c.server, c.password, c.maxPlayers), c.expected) << c.player;
}

TEST(CommandLines, ClientAddressLosesBlanksAndItsFirstAmpersand) {
  EXPECT_EQ(ClientParameters("  &192.168.0.&10 ", "Ace Pilot", "se cret"),
            std::string("-client serverip=192.168.0.&10 playername=Ace") + kNbsp + "Pilot roompassword=se" +
                kNbsp + "cret");
  EXPECT_EQ(ClientParameters("host", "p", ""), "-client serverip=host playername=p roompassword=");
}

TEST(CommandLines, NonAsciiTextKeepsItsCharacters) {
  // "Жора Ас": the no-break space goes between, the letters pass as they are.
  EXPECT_EQ(CommandLineValue("\xD0\x96\xD0\xBE\xD1\x80\xD0\xB0 \xD0\x90\xD1\x81"),
            std::string("\xD0\x96\xD0\xBE\xD1\x80\xD0\xB0") + kNbsp + "\xD0\x90\xD1\x81");
}

TEST(CommandLines, SplitsAtRunsOfBlanks) {
  EXPECT_EQ(SplitParameters(""), std::vector<std::string>{});
  EXPECT_EQ(SplitParameters("  -server  a\tb=\xC2\xA0 "),
            (std::vector<std::string>{"-server", "a", "b=\xC2\xA0"}));
}

}  // namespace
}  // namespace kesta
