#pragma once
// The pages of graphics.cfg and cockpit.cfg, each built on its first visit.

namespace kesta {

class TPageHost;
class TGamePage;
class TTabSheet;

TGamePage* MakeGraphicsStandardsPage(TPageHost& host, TTabSheet* sheet);
TGamePage* MakeResolutionPage(TPageHost& host, TTabSheet* sheet);
TGamePage* MakeScreenshotPage(TPageHost& host, TTabSheet* sheet);
TGamePage* MakeOptimization1Page(TPageHost& host, TTabSheet* sheet);
TGamePage* MakeClippingPage(TPageHost& host, TTabSheet* sheet);  // visibility ranges: clipping and detail
TGamePage* MakeDensityPage(TPageHost& host, TTabSheet* sheet);   // visibility ranges: object densities
TGamePage* MakeCockpitPage(TPageHost& host, TTabSheet* sheet);

}  // namespace kesta
