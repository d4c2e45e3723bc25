#pragma once
// The pages of config.lua, stats.lua and server.lua, each built on its first visit.

namespace kesta {

class TFrmKESTA;
class TGamePage;
class TTabSheet;

TGamePage* MakeMultiplayerClientPage(TFrmKESTA& window, TTabSheet* sheet);
TGamePage* MakeMultiplayerServerPage(TFrmKESTA& window, TTabSheet* sheet);

}  // namespace kesta
