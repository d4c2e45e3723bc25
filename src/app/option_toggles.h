#pragma once
// The program's option toggles: shown as check boxes on the options page, kept by the window, most of
// them stored in the settings file.

#include <array>
#include <string_view>

namespace kesta {

enum class OptionToggle {
  CheckForUpdateWhenStarting,
  StartMinimize,
  StartWithWindows,  // the desktop session's autostart entry, not a setting
  Minimize,          // to the notification area
  ReloadSettings,
  SynchronizeDate,
  DeleteTrackIrIni,
  CheckTrackIR,
};

struct OptionToggleDesign {
  OptionToggle toggle;
  std::string_view control;      // the check box's name
  std::string_view settingsKey;  // "" when not stored in the settings file
};

// In the page's order.
inline constexpr std::array<OptionToggleDesign, 8> kOptionToggles{{
    {OptionToggle::CheckForUpdateWhenStarting, "MenuCheckForUpdateWhenStarting",
     "CheckForUpdateWhenStarting"},
    {OptionToggle::StartMinimize, "MenuStartMinimize", "StartMinimize"},
    {OptionToggle::StartWithWindows, "MenuStartWithWindows", ""},
    {OptionToggle::Minimize, "MenuMinimize", "MinimizeInSysTray"},
    {OptionToggle::ReloadSettings, "MenuReloadSettings", "ReloadSettingsMessage"},
    {OptionToggle::SynchronizeDate, "MenuSynchronizeDate", "SynchronizeDate"},
    {OptionToggle::DeleteTrackIrIni, "MenuDeleteTrackIrIni", "AutoDeleteTrackIrIni"},
    {OptionToggle::CheckTrackIR, "MenuCheckTrackIR", "CheckTrackIR"},
}};

}  // namespace kesta
