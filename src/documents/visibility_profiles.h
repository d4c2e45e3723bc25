#pragma once
// Visibility-range profiles: the named blocks inside the Camera block of graphics.cfg. Everything here
// works on the file's lines and the profile list; the pages only show and edit the records.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/load_apply_texts.h"
#include "engine/param_lines.h"

namespace kesta {

// One profile; every value is kept as the text written to the file.
struct TOpti {
  std::string Name;
  std::string NearClip;
  std::string MiddleClip;  // stays empty for "Low", which has no middle plane
  std::string FarClip;
  std::string Lod;
  std::string StructuresClip, TreesClip, DynamicClip, ObjectsClip, MirageClip, SurfaceClip, LightsClip;
  std::string StructuresDensity, TreesDensity, DynamicDensity, ObjectsDensity, MirageDensity, SurfaceDensity,
      LightsDensity;
  bool Deleted = false;  // its block leaves the file at the next write

  bool operator==(const TOpti&) const = default;
};

// A name line of the Camera block.
struct ProfileNameLine {
  std::string name;
  int index = -1;
  int end = -1;  // the first profile-closing line after the name line, -1 when there is none
};

struct CameraScan {
  std::vector<ProfileNameLine> names;  // in file order
  int closingLine = -1;                // the Camera block's closing "}", -1 when it is missing
};

// Walks the lines once: the Camera block opens at its first lone "{", profile blocks nest one level
// inside it, and every other line at the Camera block's own level is a profile name, except the
// "current" line and blank lines. Braces count only when they stand alone on their line.
CameraScan ScanCameraBlock(const Lines& lines);

// "{40, 5000}" -> ("40", "5000"); a text without "," gives the whole text twice.
std::pair<std::string, std::string> SplitPair(std::string text);

// The profiles in the order of their name lines; a missing value takes the game's default. Fails with
// the "VisibilityRange" text when the file has no profile.
std::vector<TOpti> ReadOptis(const Lines& lines, const MessageLookup& lookup);

// Updates the profile's block in place, inserts a new block before the Camera block's closing line, or
// deletes the block of a removed profile. Placing a new block without that closing line fails with the
// line list's index error.
void WriteOpti(Lines& lines, const TOpti& opti);
void WriteOptis(Lines& lines, const std::vector<TOpti>& optis);

// A name the Camera block scan reads back as this same name: not blank, no surrounding blanks, no lone
// brace, not containing "current" or "]". A new profile with any other name is never written.
bool IsValidProfileName(std::string_view name);

// The first of the profile's lines as WriteOpti would write them ("lod = ...") whose value holds "]", which
// could end the long Lua string the profiles sit in; nothing when there is none.
std::optional<std::string> ValueLineWithBracket(const TOpti& opti);

// "Low", "Medium" and "High" can be edited but never removed.
bool IsStockProfile(std::string_view name);

// The record the pages show for a list box text: the last one of that name, else the first; nullptr for
// an empty list.
const TOpti* ShownOpti(const std::vector<TOpti>& optis, std::string_view name);
TOpti* ShownOpti(std::vector<TOpti>& optis, std::string_view name);

// A new profile copying the values of the profile shown under `shownName`; a copy of "Low" gets the
// middle plane it lacks.
TOpti NewOpti(const std::vector<TOpti>& optis, std::string_view shownName, std::string newName);

// Marks every record of that name removed; false (and nothing marked) for a stock profile.
bool MarkOptiDeleted(std::vector<TOpti>& optis, std::string_view name);

// One slider of the two profile pages.
struct OptiSlider {
  std::string_view sliderName;
  int page;  // 2 or 3
  int min, max;
  double multiplier;
  int valueLow, valueMedium, valueHigh;  // reference positions colouring the value box
  std::string_view key;
  std::string_view format;
  std::string TOpti::*field;
};

const std::array<OptiSlider, 18>& OptiSliders();
// The slider stored under `key`; fails for an unknown key.
const OptiSlider& OptiSliderOf(std::string_view key);

// Slider position of a stored value: value / multiplier, halves to even, not yet clamped to the slider. Fails
// with ParseFloat's text for a value that is not a number.
int OptiSliderPosition(std::string_view value, double multiplier);

// Stores position x multiplier, in the key's format, into the profile shown under `shownName`; the
// middle plane of "Low" is never stored.
void StoreOptiValue(std::vector<TOpti>& optis, std::string_view shownName, std::string_view key, int position,
                    double multiplier);

// "visibilityrange_0.jpg" for Low (or no name), "_2" for High, "_1" for any other profile.
std::string VisibilityRangePicture(std::string_view name);

}  // namespace kesta
