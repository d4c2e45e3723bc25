#pragma once
// Three small game files with one option group each: force feedback (producer.cfg), the missions' date
// (World.lua) and the smoke colours of the twelve smoke pods (drawinfo.lua).

#include <array>
#include <cstdint>
#include <string_view>

#include "documents/game_document.h"

namespace kesta {

class ProducerDocument final : public GameDocumentOf<ProducerDocument> {
 public:
  static constexpr std::string_view kCatalogKey = "Producer";

  bool forceFeedback = true;  // RadioGroupFFB: index 0 "Yes", index 1 "No"

  const GameFileKind& Kind() const override;
  void Read(const Lines& lines, const MessageLookup& lookup) override;
  void Write(Lines& lines, const MessageLookup& lookup) const override;
  std::vector<NamedValue> Values() const override;
  void SetValue(std::string_view name, std::string_view value) override;

  bool operator==(const ProducerDocument&) const = default;
};

struct MissionDate {
  int year = 2000;
  int month = 1;
  int day = 1;
  bool operator==(const MissionDate&) const = default;
};
// Whether the three numbers make a day of the proleptic Gregorian calendar from year 1 to 9999.
bool IsValidDate(const MissionDate& date);

class WorldDocument final : public GameDocumentOf<WorldDocument> {
 public:
  static constexpr std::string_view kCatalogKey = "World";

  MissionDate missionDate;  // DateTimePicker

  const GameFileKind& Kind() const override;
  void Read(const Lines& lines, const MessageLookup& lookup) override;
  void Write(Lines& lines, const MessageLookup& lookup) const override;
  std::vector<NamedValue> Values() const override;
  void SetValue(std::string_view name, std::string_view value) override;

  bool operator==(const WorldDocument&) const = default;
};

struct SmokeColor {
  std::uint8_t red = 245;
  std::uint8_t green = 40;
  std::uint8_t blue = 40;
  bool operator==(const SmokeColor&) const = default;
};

struct SmokePod {
  std::string_view panel;   // the colour patch; its button is "Button" + panel
  std::string_view anchor;  // the line that opens the pod's block in drawinfo.lua
};
// The twelve pods in the order they are read and written: six US, then six Russian.
inline constexpr std::array<SmokePod, 12> kSmokePods{{
    {"PodUSRed", "Smokes[67]"},
    {"PodUSGreen", "Smokes[87]"},
    {"PodUSBlue", "Smokes[88]"},
    {"PodUSWhite", "Smokes[89]"},
    {"PodUSYellow", "Smokes[90]"},
    {"PodUSOrange", "Smokes[91]"},
    {"PodRURed", "Smokes[66]"},
    {"PodRUGreen", "Smokes[82]"},
    {"PodRUBlue", "Smokes[83]"},
    {"PodRUWhite", "Smokes[84]"},
    {"PodRUYellow", "Smokes[85]"},
    {"PodRUOrange", "Smokes[86]"},
}};

class DrawinfoDocument final : public GameDocumentOf<DrawinfoDocument> {
 public:
  static constexpr std::string_view kCatalogKey = "Drawinfo";

  std::array<SmokeColor, 12> colors;  // in kSmokePods order

  const GameFileKind& Kind() const override;
  void Read(const Lines& lines, const MessageLookup& lookup) override;
  void Write(Lines& lines, const MessageLookup& lookup) const override;
  std::vector<NamedValue> Values() const override;
  void SetValue(std::string_view name, std::string_view value) override;

  bool operator==(const DrawinfoDocument&) const = default;
};

}  // namespace kesta
