#include "documents/option_documents.h"

#include <algorithm>
#include <cstdio>

#include "documents/document_fields.h"
#include "engine/failure.h"
#include "engine/lua_text.h"
#include "engine/text.h"

namespace kesta {

namespace {

// Removes every occurrence of `word` in any letter case.
std::string RemoveAllNoCase(std::string text, std::string_view word) {
  for (size_t at = 0; at + word.size() <= text.size();) {
    if (EqualsNoCase(std::string_view(text).substr(at, word.size()), word))
      text.erase(at, word.size());
    else
      ++at;
  }
  return text;
}

std::string DateText(const MissionDate& date) {
  return std::to_string(date.year) + "-" + std::to_string(date.month) + "-" + std::to_string(date.day);
}

// "0,255,0"
std::string ColorText(const SmokeColor& color) {
  return std::to_string(color.red) + "," + std::to_string(color.green) + "," + std::to_string(color.blue);
}

}  // namespace

const GameFileKind& ProducerDocument::Kind() const { return GameFileKindOf(kCatalogKey); }

void ProducerDocument::Read(const Lines& lines, const MessageLookup&) {
  forceFeedback = GetParam(lines, "ForceFeedbackEnabled", "true", "", false) == "true";
}

void ProducerDocument::Write(Lines& lines, const MessageLookup&) const {
  SetParam(lines, "ForceFeedbackEnabled", forceFeedback ? "true" : "false", "", false);
}

std::vector<NamedValue> ProducerDocument::Values() const {
  return {{"RadioGroupFFB", forceFeedback ? "Yes" : "No"}};
}

void ProducerDocument::SetValue(std::string_view name, std::string_view value) {
  if (name != "RadioGroupFFB") FailUnknownValue(name);
  forceFeedback = CheckedEntry(value, {"Yes", "No"}) == "Yes";
}

bool IsValidDate(const MissionDate& date) {
  if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
  return date.day <= kDays[date.month - 1] + (date.month == 2 && leap ? 1 : 0);
}

const GameFileKind& WorldDocument::Kind() const { return GameFileKindOf(kCatalogKey); }

void WorldDocument::Read(const Lines& lines, const MessageLookup&) {
  // "{ Year = 2005, Month = 6, Day = 1 }" in any letter case
  const std::string value = GetParam(lines, "MissionDate", "", "", false);
  std::string text = value;
  for (std::string_view mark : {"{", "}", "="}) text = RemoveAll(text, mark);
  for (std::string_view word : {"Year", "Month", "Day"}) text = RemoveAllNoCase(text, word);
  // A date has three numbers: with one missing, the last one there would be taken for two of them.
  if (std::count(text.begin(), text.end(), ',') != 2)
    throw EKestaError("'" + value + "' is not a valid date");
  MissionDate date;
  date.year = WholeNumber(Trim(SplitAtFirst(text, ",")));
  date.month = WholeNumber(Trim(SplitAtFirst(text, ",")));
  date.day = WholeNumber(Trim(text));
  if (!IsValidDate(date)) throw EKestaError("'" + DateText(date) + "' is not a valid date");
  missionDate = date;
}

void WorldDocument::Write(Lines& lines, const MessageLookup&) const {
  SetParam(lines, "MissionDate",
           "{ Year = " + std::to_string(missionDate.year) + ", Month = " + std::to_string(missionDate.month) +
               ", Day = " + std::to_string(missionDate.day) + " }",
           "", true);
}

std::vector<NamedValue> WorldDocument::Values() const {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", missionDate.year, missionDate.month, missionDate.day);
  return {{"DateTimePicker", text}};
}

void WorldDocument::SetValue(std::string_view name, std::string_view value) {
  if (name != "DateTimePicker") FailUnknownValue(name);
  // YYYY-MM-DD
  const auto fail = [value] {
    throw EKestaError("\"" + std::string(value) + "\" is not a date as year-month-day, such as 2005-06-01");
  };
  std::string rest(value);
  MissionDate date;
  try {
    if (std::count(value.begin(), value.end(), '-') != 2 || value.starts_with('-')) fail();
    date.year = WholeNumber(SplitAtFirst(rest, "-"));
    date.month = WholeNumber(SplitAtFirst(rest, "-"));
    date.day = WholeNumber(rest);
  } catch (const EKestaError&) {
    fail();
  }
  if (!IsValidDate(date)) fail();
  missionDate = date;
}

const GameFileKind& DrawinfoDocument::Kind() const { return GameFileKindOf(kCatalogKey); }

void DrawinfoDocument::Read(const Lines& lines, const MessageLookup&) {
  // Read whole before anything changes: a colour that is no number fails the load, and the pods keep the
  // colours they had, never a mix of old and new.
  std::array<SmokeColor, 12> read;
  for (size_t i = 0; i < kSmokePods.size(); ++i) {
    const std::string_view anchor = kSmokePods[i].anchor;
    // The colour is the number's low byte, as the game's colour type takes it.
    read[i] = {static_cast<std::uint8_t>(WholeNumber(GetParam(lines, "r", "245", anchor, true))),
               static_cast<std::uint8_t>(WholeNumber(GetParam(lines, "g", "40", anchor, true))),
               static_cast<std::uint8_t>(WholeNumber(GetParam(lines, "b", "40", anchor, true)))};
  }
  colors = read;
}

void DrawinfoDocument::Write(Lines& lines, const MessageLookup&) const {
  for (size_t i = 0; i < kSmokePods.size(); ++i) {
    const std::string_view anchor = kSmokePods[i].anchor;
    SetParam(lines, "\t\tr", std::to_string(colors[i].red) + ",", anchor, true);
    SetParam(lines, "\t\tg", std::to_string(colors[i].green) + ",", anchor, true);
    SetParam(lines, "\t\tb", std::to_string(colors[i].blue) + ",", anchor, true);
  }
}

std::vector<NamedValue> DrawinfoDocument::Values() const {
  std::vector<NamedValue> values;
  for (size_t i = 0; i < kSmokePods.size(); ++i) values.push_back({std::string(kSmokePods[i].panel), ColorText(colors[i])});
  return values;
}

void DrawinfoDocument::SetValue(std::string_view name, std::string_view value) {
  for (size_t i = 0; i < kSmokePods.size(); ++i) {
    if (kSmokePods[i].panel != name) continue;
    const auto [red, green, blue] = ParseRgb(value);
    colors[i] = {static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green), static_cast<std::uint8_t>(blue)};
    return;
  }
  FailUnknownValue(name);
}

}  // namespace kesta
