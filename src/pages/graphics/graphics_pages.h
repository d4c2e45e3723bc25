#pragma once
// The pages of graphics.cfg and cockpit.cfg, each built on its first visit.

namespace kesta {

class TFrmKESTA;
class TGamePage;
class TTabSheet;

TGamePage* MakeGraphicsStandardsPage(TFrmKESTA& window, TTabSheet* sheet);
TGamePage* MakeResolutionPage(TFrmKESTA& window, TTabSheet* sheet);
TGamePage* MakeScreenshotPage(TFrmKESTA& window, TTabSheet* sheet);
TGamePage* MakeOptimization1Page(TFrmKESTA& window, TTabSheet* sheet);
TGamePage* MakeClippingPage(TFrmKESTA& window, TTabSheet* sheet);  // visibility ranges: clipping and detail
TGamePage* MakeDensityPage(TFrmKESTA& window, TTabSheet* sheet);   // visibility ranges: object densities
TGamePage* MakeCockpitPage(TFrmKESTA& window, TTabSheet* sheet);

}  // namespace kesta
