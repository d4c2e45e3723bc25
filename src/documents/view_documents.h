#pragma once
// view.lua and snapviews.lua: for each flyable aircraft its view-angle limits and HUD colour, and the
// default view (snap view 13); and the two mouse-view switches. The values are held as the files give
// them, cut to whole numbers, so that the page shows what the game reads and a failure to show one is
// the page's to report.

#include <array>
#include <string>
#include <string_view>

#include "documents/game_document.h"

namespace kesta {

struct Aircraft {
  std::string_view entry;       // in the page's list and in value names
  std::string_view planeIndex;  // as view.lua names it: "PlaneIndex.iSu_39"
};
// The eight aircraft in list order; a position plus one is the aircraft's index in snapviews.lua.
inline constexpr std::array<Aircraft, 8> kViewAircraft{{
    {"Su-27", "PlaneIndex.iSu_27"},
    {"Su-33", "PlaneIndex.iSu_33"},
    {"Su-25", "PlaneIndex.iSu_25"},
    {"Su-25T", "PlaneIndex.iSu_39"},
    {"MiG-29", "PlaneIndex.iMiG_29"},
    {"MiG-29K", "PlaneIndex.iMiG_29K"},
    {"A-10A", "PlaneIndex.iA_10"},
    {"F-15C", "PlaneIndex.iF_15"},
}};
// The aircraft's position, matched in any letter case; -1 for none.
int AircraftPosition(std::string_view entry);

// The ranges of the view pages' sliders. A whole number the file holds outside one is read as the bound
// the slider shows it at, so the window, kesta-cli's show and every Apply have the same value.
struct AngleRange {
  int min;
  int max;
};
inline constexpr AngleRange kViewAngleMinRange{0, 180};      // SpecialSliderViewAngleMin
inline constexpr AngleRange kViewAngleMaxRange{0, 250};      // SpecialSliderViewAngleMax
inline constexpr AngleRange kViewAngleDefaultRange{0, 180};  // SpecialSliderViewAngleDefault
inline constexpr AngleRange kSnapAngleRange{-40, 40};        // SpecialSliderVAngle, SpecialSliderHAngle

class ViewDocument final : public GameDocumentOf<ViewDocument> {
 public:
  static constexpr std::string_view kCatalogKey = "View";

  struct Limits {
    std::string viewAngleMin;  // kViewAngleMinRange
    std::string viewAngleMax;  // kViewAngleMaxRange
    std::string hudColorR;     // PanelColor, 0 to 255 each
    std::string hudColorG;
    std::string hudColorB;
    bool operator==(const Limits&) const = default;
  };

  bool cockpitMouse = false;    // CheckboxCockpitMouse
  bool externalMouse = false;   // CheckboxExternalMouse
  std::array<Limits, 8> views;  // in kViewAircraft order

  const GameFileKind& Kind() const override;
  void Read(const Lines& lines, const MessageLookup& lookup) override;
  void Write(Lines& lines, const MessageLookup& lookup) const override;
  std::vector<NamedValue> Values() const override;
  void SetValue(std::string_view name, std::string_view value) override;

  bool operator==(const ViewDocument&) const = default;
};

class SnapViewDocument final : public GameDocumentOf<SnapViewDocument> {
 public:
  static constexpr std::string_view kCatalogKey = "SnapView";

  struct DefaultView {
    std::string viewAngle;  // kViewAngleDefaultRange
    std::string hAngle;     // kSnapAngleRange
    std::string vAngle;     // kSnapAngleRange
    bool operator==(const DefaultView&) const = default;
  };

  std::array<DefaultView, 8> views;  // in kViewAircraft order

  const GameFileKind& Kind() const override;
  void Read(const Lines& lines, const MessageLookup& lookup) override;
  void Write(Lines& lines, const MessageLookup& lookup) const override;
  std::vector<NamedValue> Values() const override;
  void SetValue(std::string_view name, std::string_view value) override;

  bool operator==(const SnapViewDocument&) const = default;
};

}  // namespace kesta
