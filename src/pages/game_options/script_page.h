#pragma once
// The page of the export scripts: the game's export switch (Config\Export\config.lua), and for each
// script of the program's catalogue its details and whether export.lua runs it. Built on its first visit.

namespace kesta {

class TFrmKESTA;
class TGamePage;
class TTabSheet;

TGamePage* MakeScriptPage(TFrmKESTA& window, TTabSheet* sheet);

}  // namespace kesta
