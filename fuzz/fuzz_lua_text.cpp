// Feeds arbitrary bytes through the reading of quoted Lua texts and the documents of the multiplayer files.
// Checks that every text written as a Lua string reads back unchanged and parses.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_checks.h"
#include "documents/network_document.h"
#include "documents/server_document.h"
#include "engine/failure.h"
#include "engine/game_file.h"
#include "engine/lua_text.h"

using kesta::fuzz::Check;
using kesta::fuzz::Lookup;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // Any bytes become a literal that holds exactly them and that Lua accepts.
  const std::string quoted = kesta::LuaQuoted(input);
  const std::optional<std::string> back = kesta::LuaStringValue(quoted + ";");
  Check(back && *back == input);
  Check(!kesta::LuaSyntaxError("name = " + quoted + ";", "fuzz.lua"));

  // Any value may be read; a literal found in it is no longer than the value.
  if (const std::optional<std::string> text = kesta::LuaStringValue(input)) Check(text->size() <= input.size());

  // The documents read any file without failing.
  const kesta::Lines lines = kesta::SplitGameText(input);
  kesta::NetworkDocument network;
  network.Read(lines, Lookup);
  kesta::ServerDocument server;
  server.Read(lines, Lookup);
  kesta::StatsDocument stats;
  stats.Read(lines, Lookup);
  // The server list read stops at its first empty entry.
  for (const std::string& entry : network.servers) Check(!entry.empty());
  return 0;
}
