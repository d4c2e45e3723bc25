#pragma once
// The backup page, built on its first visit.

namespace kesta {

class TFrmKESTA;
class TGamePage;
class TTabSheet;

TGamePage* MakeBackupPage(TFrmKESTA& window, TTabSheet* sheet);

}  // namespace kesta
