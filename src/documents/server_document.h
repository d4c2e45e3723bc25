#pragma once
// server.lua: the views a server allows its players, and where the rear (F4) camera sits.

#include <string>

#include "documents/game_document.h"

namespace kesta {

class ServerDocument final : public GameDocumentOf<ServerDocument> {
 public:
  static constexpr std::string_view kCatalogKey = "Server";

  bool combatViewsDisabled = true;        // CheckboxDisableCombatViews: on unless the file says "true"
  bool cameraTerrainRestriction = false;  // CheckboxCameraTerrainRestriction
  // The rear camera as text, exactly as read (spaces removed) or as the F4 window formatted it ("+ 4.57").
  std::string f4ViewX;  // lateral position
  std::string f4ViewY;  // longitudinal offset from the aircraft's p[1]
  std::string f4ViewZ;  // vertical offset from the aircraft's p[2]

  const GameFileKind& Kind() const override;
  void Read(const Lines& lines, const MessageLookup& lookup) override;
  void Write(Lines& lines, const MessageLookup& lookup) const override;
  std::vector<NamedValue> Values() const override;
  void SetValue(std::string_view name, std::string_view value) override;

  bool operator==(const ServerDocument&) const = default;
};

}  // namespace kesta
