#pragma once
// Which pages show which game files, and how each page is made: most need only their host, a few get
// more from the window (the launcher's room password, the script catalogue, the option links).

#include <QString>
#include <string_view>

namespace kesta {

class TFrmKESTA;
class TGamePage;
class TTabSheet;

// Fills the page's sheet with its controls; the page object, or nullptr for a page without one.
TGamePage* MakeGamePage(TFrmKESTA& window, const QString& page, TTabSheet* sheet);
// Whether the page shows values of the game file.
bool PageShowsFile(const QString& page, std::string_view catalogKey);

}  // namespace kesta
