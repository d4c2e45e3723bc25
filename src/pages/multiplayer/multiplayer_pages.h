#pragma once
// The pages of config.lua, stats.lua and server.lua, each built on its first visit.

#include <functional>
#include <string>

namespace kesta {

class TPageHost;
class TGamePage;
class TTabSheet;

TGamePage* MakeMultiplayerClientPage(TPageHost& host, TTabSheet* sheet);
// The room password typed on the page goes to `roomPassword` at each change, in the game's code page: no
// file holds it, and the start of a hosted game needs it whether the page is shown or not.
TGamePage* MakeMultiplayerServerPage(TPageHost& host, TTabSheet* sheet,
                                     std::function<void(const std::string& password)> roomPassword);

}  // namespace kesta
