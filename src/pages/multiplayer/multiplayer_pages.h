#pragma once
// The pages of config.lua, stats.lua and server.lua, each built on its first visit.

#include <string>

namespace kesta {

class TFrmKESTA;
class TGamePage;
class TTabSheet;

TGamePage* MakeMultiplayerClientPage(TFrmKESTA& window, TTabSheet* sheet);
TGamePage* MakeMultiplayerServerPage(TFrmKESTA& window, TTabSheet* sheet);

// The room password typed on the server page, in the game's code page; no file holds it.
std::string ServerRoomPassword(const TFrmKESTA& window);

}  // namespace kesta
