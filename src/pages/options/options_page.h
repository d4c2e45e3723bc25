#pragma once
// The options page, built on its first visit.

#include <functional>

#include "app/option_toggles.h"

namespace kesta {

class TPageHost;
class TGamePage;
class TTabSheet;

// What the page shows and changes belongs to others, who act on each change: the language, the option
// toggles and the game folder.
struct OptionsPageLinks {
  std::function<int()> languageIndex;  // in the page's list of languages
  std::function<void(int index)> chooseLanguage;
  std::function<bool(OptionToggle toggle)> toggleOn;
  std::function<void(OptionToggle toggle, bool on)> setToggle;
  std::function<void()> changeGameFolder;
};

TGamePage* MakeOptionsPage(TPageHost& host, TTabSheet* sheet, OptionsPageLinks links);

}  // namespace kesta
