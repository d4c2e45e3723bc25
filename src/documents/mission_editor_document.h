#pragma once
// ME\MeCustom.xml: the player's realism options and two mission options of the game's mission editor.
// Unlike the other game files it is an XML document: only the eighteen attributes below are set, and
// everything else in it (other attributes, their order, other elements, comments) is written back as read.

#include <array>
#include <string_view>

#include "documents/game_document.h"

namespace kesta {

// The thirteen realism switches of the player, in the order they are read and written after the scenes.
inline constexpr std::array<std::string_view, 13> kRealismSwitches{
    "Immortal",     "CrashRecovery", "UnlimitedFuel", "UnlimitedWeapons",  "EasyFlight", "EasyRadar", "RadioAssist",
    "ExternalLabels", "ExternalView", "AwacsView",    "AircraftSwitching", "PadLock",    "MiniHUD"};

class MissionEditorDocument final : public GameDocumentOf<MissionEditorDocument> {
 public:
  static constexpr std::string_view kCatalogKey = "MECustom";

  bool civilTraffic = false;                // CheckBoxTrafficCivil (graphics page)
  int scenes = 1;                           // SpecialSliderScenes (graphics page), 0 to 2: WorldDensity - 1
  std::array<bool, 13> switches{};          // "CheckBox" + name, in kRealismSwitches order
  int gEffects = 0;                         // SpecialSliderGEffects, 0 to 2
  int missilesEffectiveness = 100;          // SpecialSliderMissilesEffectiveness, 0 to 100
  bool mapMyAircraft = false;               // CheckBoxMapMyAircraft: AwacsViewFilter bit 1
  bool mapAllies = false;                   // CheckBoxMapAllies: bit 2
  bool mapEnemies = false;                  // CheckBoxMapEnnemies: bit 4

  const GameFileKind& Kind() const override;
  // Fails for text that is not well-formed XML, and for a missing WorldDensity or AwacsViewFilter or a
  // GEffects or MissilesEffectiveness that is missing or no whole number; the values then stay as they were.
  void Read(const Lines& lines, const MessageLookup& lookup) override;
  // Replaces the lines by the whole document, with missing elements created and the attributes set.
  void Write(Lines& lines, const MessageLookup& lookup) const override;
  std::vector<NamedValue> Values() const override;
  void SetValue(std::string_view name, std::string_view value) override;

  bool operator==(const MissionEditorDocument&) const = default;
};

}  // namespace kesta
