#pragma once
// The pages of view.lua and snapviews.lua, each built on its first visit: the view limits, HUD colour
// and default view of one aircraft at a time, and the two mouse-view switches.

namespace kesta {

class TPageHost;
class TGamePage;
class TTabSheet;

TGamePage* MakeViewCockpitPage(TPageHost& host, TTabSheet* sheet);
TGamePage* MakeViewGlobalPage(TPageHost& host, TTabSheet* sheet);

}  // namespace kesta
