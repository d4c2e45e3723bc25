#pragma once
// The page of the export scripts: the game's export switch (Config\Export\config.lua), and for each
// script of the program's catalogue its details and whether export.lua runs it. Built on its first visit.

#include <string>
#include <vector>

namespace kesta {

class TPageHost;
class TGamePage;
class TTabSheet;

// `catalogue`: the lines of the program's script catalogue, in file order; it outlives the page.
TGamePage* MakeScriptPage(TPageHost& host, TTabSheet* sheet, const std::vector<std::string>& catalogue);

}  // namespace kesta
