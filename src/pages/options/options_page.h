#pragma once
// The options page, built on its first visit.

namespace kesta {

class TFrmKESTA;
class TGamePage;
class TTabSheet;

TGamePage* MakeOptionsPage(TFrmKESTA& window, TTabSheet* sheet);

}  // namespace kesta
