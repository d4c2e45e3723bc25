#pragma once
// cockpit.cfg: mirrors, their resolution, reflections and the Russian HUD.

#include "documents/game_document.h"

namespace kesta {

class CockpitDocument final : public GameDocumentOf<CockpitDocument> {
 public:
  static constexpr std::string_view kCatalogKey = "Cockpit";

  int mirrors = 0;           // SpecialSliderMirrors, 0 to 1
  int mirrorResolution = 0;  // SpecialSliderMirrorResolution, 0 to 2
  int reflections = 0;       // SpecialSliderReflections, 0 to 1
  bool russianHud = false;   // CheckboxRussianHUD

  const GameFileKind& Kind() const override;
  void Read(const Lines& lines, const MessageLookup& lookup) override;
  void Write(Lines& lines, const MessageLookup& lookup) const override;
  std::vector<NamedValue> Values() const override;
  void SetValue(std::string_view name, std::string_view value) override;

  bool operator==(const CockpitDocument& other) const {
    return mirrors == other.mirrors && mirrorResolution == other.mirrorResolution &&
           reflections == other.reflections && russianHud == other.russianHud;
  }
};

}  // namespace kesta
