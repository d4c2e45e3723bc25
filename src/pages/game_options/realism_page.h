#pragma once
// The realism page: the player's realism options of the game's mission editor (MeCustom.xml).

namespace kesta {

class TPageHost;
class TGamePage;
class TTabSheet;

TGamePage* MakeRealismPage(TPageHost& host, TTabSheet* sheet);

}  // namespace kesta
