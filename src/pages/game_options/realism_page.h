#pragma once
// The realism page: the player's realism options of the game's mission editor (MeCustom.xml).

namespace kesta {

class TFrmKESTA;
class TGamePage;
class TTabSheet;

TGamePage* MakeRealismPage(TFrmKESTA& window, TTabSheet* sheet);

}  // namespace kesta
