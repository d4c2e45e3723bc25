#pragma once
// The pages of view.lua and snapviews.lua, each built on its first visit: the view limits, HUD colour
// and default view of one aircraft at a time, and the two mouse-view switches.

namespace kesta {

class TFrmKESTA;
class TGamePage;
class TTabSheet;

TGamePage* MakeViewCockpitPage(TFrmKESTA& window, TTabSheet* sheet);
TGamePage* MakeViewGlobalPage(TFrmKESTA& window, TTabSheet* sheet);

}  // namespace kesta
