#pragma once
// graphics.cfg: the quality levels, resolutions, screenshots, fog and texture distances, and the
// visibility-range profiles with the one shown on the profile pages.

#include <optional>
#include <string>
#include <vector>

#include "documents/game_document.h"
#include "documents/visibility_profiles.h"

namespace kesta {

class GraphicsDocument final : public GameDocumentOf<GraphicsDocument> {
 public:
  static constexpr std::string_view kCatalogKey = "Graphics";

  // Slider positions.
  int textureLevel = 0;   // SpecialSliderTextureLevel, 0 to 2
  int precaching = 0;     // SpecialSliderPrecaching, 0 to 2: 25000, 50000, 100000
  int waterQuality = 0;   // 0 to 3
  int fogQuality = 0;     // 0 to 1
  int lightsLevel = 0;    // 0 to 2
  int effectOptions = 0;  // 0 to 3
  int shadowLevel = 0;    // 0 to 3
  int shadowDensity = 0;  // 0 to 10, tenths
  bool exhaust = false;
  // SpecialSliderScenes shows the mission editor's scenery density, and the "SceneFile" line follows it.
  // Nothing until the mission editor's file was read: a slider that never showed a value must not
  // overwrite the line the file has.
  std::optional<int> sceneFile;  // 0 to 2: "Low", "Medium", "High"

  // Texture distances and fog, as typed.
  std::string landDayL01, landDayL12, landNightL01, landNightL12, mfdL01, mfdL12;
  std::string fogParam1, fogParam2, objectFogMultiplier;

  // Screenshots: the name without its number pattern and extension, and the format.
  std::string screenshotName;
  bool screenshotJpg = false;  // CheckboxJPG; CheckboxBMP shows the opposite
  std::string screenshotQuality;

  // Resolutions as "WxH" (the game resolution as typed), the depth's list entry ("" for none) and the
  // aspect's entry index.
  std::string gameResolution;
  std::string colourDepth = "16bits";
  int aspect = 0;
  bool gameFullScreen = false;
  std::string movieResolution;
  bool movieFullScreen = false;

  // The profiles in file order, then the added ones; removed ones stay marked until the next read.
  std::vector<TOpti> optis;
  // The profile list's text: the profile being shown and edited, "" when "current" names none.
  std::string currentProfile;

  const GameFileKind& Kind() const override;
  void Read(const Lines& lines, const MessageLookup& lookup) override;
  void Write(Lines& lines, const MessageLookup& lookup) const override;
  std::vector<NamedValue> Values() const override;
  void SetValue(std::string_view name, std::string_view value) override;

  // Shows a profile on the profile pages: it becomes the current one, and each of its values takes the
  // value its slider shows (on the slider's grid, within its range), which is what the next write writes.
  // Fails with a text for the user when a value is not a number.
  void ShowProfile(std::string name);
  // The record being shown: the last of the current name, else the first; nullptr without profiles.
  const TOpti* ShownProfile() const { return ShownOpti(optis, currentProfile); }
  // The names the profile lists offer: every record not removed, in order.
  std::vector<std::string> ProfileNames() const;

  bool operator==(const GraphicsDocument&) const = default;
};

// The entries of the fixed lists.
const std::vector<std::string_view>& AspectEntries();       // "4/3 (1.33..)", ...
const std::vector<std::string_view>& ColourDepthEntries();  // "16bits", "32bits"

// The failure of showing a profile, as the profile pages report it.
std::string ProfileShowFailure(std::string_view failure);

// "{1024, 768}" -> "1024x768", as the resolution lists show sizes.
std::string ResolutionText(std::string value);

}  // namespace kesta
