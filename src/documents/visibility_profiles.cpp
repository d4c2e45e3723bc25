#include "documents/visibility_profiles.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "engine/failure.h"
#include "engine/number_format.h"
#include "engine/text.h"
#include "settings/helpers.h"

namespace kesta {

namespace {

constexpr std::string_view kLow = "Low";
constexpr std::string_view kMiddleClip = "middle_clip";

// One value line of a profile block; a pair line fills two fields (density first, distance second).
struct ValueLine {
  std::string_view key;  // written with two tabs in front, found without them
  std::string_view defaultValue;
  std::string TOpti::*first;
  std::string TOpti::*second = nullptr;
};

// In the order of a new block; an update writes "lod" first.
constexpr ValueLine kValueLines[] = {
    {"near_clip", "0.2", &TOpti::NearClip},
    {kMiddleClip, "4", &TOpti::MiddleClip},
    {"far_clip", "80000", &TOpti::FarClip},
    {"structures", "{40, 5000}", &TOpti::StructuresDensity, &TOpti::StructuresClip},
    {"trees", "{100000, 8000}", &TOpti::TreesDensity, &TOpti::TreesClip},
    {"dynamic", "{300, 20000}", &TOpti::DynamicDensity, &TOpti::DynamicClip},
    {"objects", "{3000, 50000}", &TOpti::ObjectsDensity, &TOpti::ObjectsClip},
    {"mirage", "{3000, 15000}", &TOpti::MirageDensity, &TOpti::MirageClip},
    {"surface", "{14000, 80000}", &TOpti::SurfaceDensity, &TOpti::SurfaceClip},
    {"lights", "{100, 30000}", &TOpti::LightsDensity, &TOpti::LightsClip},
    {"lod", "1", &TOpti::Lod},
};

bool HasValue(const TOpti& opti, const ValueLine& value) {
  return value.key != kMiddleClip || opti.Name != kLow;
}

std::string ValueText(const TOpti& opti, const ValueLine& value) {
  if (!value.second) return opti.*value.first;
  return "{" + opti.*value.first + ", " + opti.*value.second + "}";
}

void StoreValueText(TOpti& opti, const ValueLine& value, std::string text) {
  if (!value.second) {
    opti.*value.first = std::move(text);
    return;
  }
  auto [first, second] = SplitPair(std::move(text));
  opti.*value.first = std::move(first);
  opti.*value.second = std::move(second);
}

// "\t\tkey = value;", made as one string: an Apply writes every value of every profile.
std::string ValueLineOf(const TOpti& opti, const ValueLine& value) {
  const std::string& first = opti.*value.first;
  std::string line;
  line.reserve(value.key.size() + first.size() + (value.second ? (opti.*value.second).size() + 4 : 0) + 6);
  line.append("\t\t").append(value.key).append(" = ");
  if (value.second)
    line.append("{").append(first).append(", ").append(opti.*value.second).append("}");
  else
    line.append(first);
  return line.append(";");
}

[[noreturn]] void ThrowIndexError(int index) {
  throw EKestaError("List index out of bounds (" + std::to_string(index) + ")");
}

const ProfileNameLine* FindNameLine(const CameraScan& scan, std::string_view name, bool last) {
  const auto matches = [name](const ProfileNameLine& entry) { return entry.name == name; };
  if (!last) {
    const auto found = std::find_if(scan.names.begin(), scan.names.end(), matches);
    return found == scan.names.end() ? nullptr : &*found;
  }
  const auto found = std::find_if(scan.names.rbegin(), scan.names.rend(), matches);
  return found == scan.names.rend() ? nullptr : &*found;
}

// Values are searched from the line after the name line: a profile named "No trees" must not read its
// own name line as its "trees" value. A value missing from the block is taken from a later block.
std::string ReadProfileValue(const Lines& lines, int nameLine, std::string_view key,
                             std::string_view defaultValue) {
  const int index = FindParamLine(lines, key, nameLine + 1, "");
  if (index == -1) return std::string(defaultValue);
  // The text after the first "=" without its first ";", trimmed: made as one string, since a file of many
  // profiles reads thousands of values.
  std::string_view text = lines[index];
  if (const size_t equals = text.find('='); equals != std::string_view::npos) text.remove_prefix(equals + 1);
  const size_t semicolon = text.find(';');
  if (semicolon == std::string_view::npos) return Trim(text);
  std::string value;
  value.reserve(text.size());
  value.append(text.substr(0, semicolon)).append(text.substr(semicolon + 1));
  const std::string_view trimmed = TrimView(value);
  return trimmed.size() == value.size() ? value : std::string(trimmed);
}

// The scan of the Camera block, and for each line whether the scan stood inside a profile block when it
// reached it. Such a line counts for the scan only when it closes the block: replacing it by a value line, or
// adding a value line before the block's closing line, leaves every name and block where it was, the lines
// after it merely moved. A write made only of such changes keeps the index; any other change needs a scan.
struct CameraIndex {
  CameraScan scan;
  std::vector<char> inProfile;
  // The first name line of each name, by its place in scan.names: a write looks up every profile.
  std::unordered_map<std::string_view, size_t> firstOfName;

  CameraIndex() = default;
  CameraIndex(CameraIndex&&) = default;
  CameraIndex& operator=(CameraIndex&&) = default;
  // A copy's views would still point into the names of the original.
  CameraIndex(const CameraIndex&) = delete;
  CameraIndex& operator=(const CameraIndex&) = delete;

  const ProfileNameLine* FirstNameLine(std::string_view name) const {
    const auto found = firstOfName.find(name);
    return found == firstOfName.end() ? nullptr : &scan.names[found->second];
  }

  // A value line went in at `at`, inside a profile block.
  void Inserted(int at) {
    const auto move = [at](int& index) {
      if (index >= at) ++index;
    };
    for (ProfileNameLine& entry : scan.names) {
      move(entry.index);
      move(entry.end);
    }
    move(scan.closingLine);
    inProfile.insert(inProfile.begin() + at, 1);
  }
};

// Writes inside the profile's own block only; a line the block lacks is added at its end. Left to a
// plain search, the write would overwrite a later profile's line or a name line containing the key.
// Clears `indexKept` when the change may have moved what the index holds.
void WriteProfileValue(Lines& lines, int nameLine, int& end, const ValueLine& value, const TOpti& opti,
                       CameraIndex& index, bool& indexKept) {
  const int limit = end == -1 ? static_cast<int>(lines.size()) : end;
  int found = nameLine + 1;
  while (found < limit && !Contains(lines[found], value.key)) ++found;
  if (found < limit) {
    if (indexKept && !index.inProfile[found]) indexKept = false;
    lines[found] = ValueLineOf(opti, value);
    return;
  }
  std::string line = ValueLineOf(opti, value);
  if (end == -1) ThrowIndexError(end);
  if (indexKept && !index.inProfile[end]) indexKept = false;
  lines.insert(lines.begin() + end, std::move(line));
  if (indexKept) index.Inserted(end);
  ++end;
}

// Returns whether the index still holds for the lines.
bool UpdateBlock(Lines& lines, const ProfileNameLine& nameLine, const TOpti& opti, CameraIndex& index) {
  // Copies: the index moves its entries as lines go in.
  int end = nameLine.end;
  const int name = nameLine.index;
  bool indexKept = true;
  const ValueLine& lod = std::end(kValueLines)[-1];
  WriteProfileValue(lines, name, end, lod, opti, index, indexKept);
  for (const ValueLine& value : kValueLines)
    if (&value != &lod && HasValue(opti, value))
      WriteProfileValue(lines, name, end, value, opti, index, indexKept);
  return indexKept;
}

void InsertBlock(Lines& lines, int closingLine, const TOpti& opti) {
  if (closingLine == -1) ThrowIndexError(closingLine);
  Lines block{"\t" + opti.Name, "\t{"};
  for (const ValueLine& value : kValueLines)
    if (HasValue(opti, value)) block.push_back(ValueLineOf(opti, value));
  block.push_back("\t}");
  lines.insert(lines.begin() + closingLine, block.begin(), block.end());
}

// Returns whether lines were deleted.
bool DeleteBlock(Lines& lines, const CameraScan& scan, const std::string& name) {
  // With the name twice, the last name line comes after the first block's end and nothing is deleted.
  const int from = FindNameLine(scan, name, true)->index;
  const int through = FindNameLine(scan, name, false)->end;
  if (through == -1 || from > through) return false;
  lines.erase(lines.begin() + from, lines.begin() + through + 1);
  return true;
}

TOpti DefaultOpti(std::string name) {
  TOpti opti;
  opti.Name = std::move(name);
  for (const ValueLine& value : kValueLines)
    if (HasValue(opti, value)) StoreValueText(opti, value, std::string(value.defaultValue));
  return opti;
}

}  // namespace

namespace {

CameraIndex IndexCameraBlock(const Lines& lines) {
  CameraIndex index;
  CameraScan& scan = index.scan;
  index.inProfile.resize(lines.size());
  bool inCamera = false;
  bool inBlock = false;
  bool inProfile = false;
  size_t openEnds = 0;  // first name line still waiting for its profile's closing line
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    index.inProfile[i] = inProfile;
    const std::string_view t = TrimView(lines[i]);
    if (Contains(t, "Camera")) inCamera = true;
    if (inCamera && t == "{") {
      if (!inBlock)
        inBlock = true;
      else if (!inProfile)
        inProfile = true;
    } else if (inCamera && t == "}") {
      if (inProfile) {
        inProfile = false;
        for (; openEnds < scan.names.size(); ++openEnds) scan.names[openEnds].end = i;
      } else {
        inBlock = inCamera = false;
        scan.closingLine = i;
      }
    }
    // A blank line names no profile: read as one, it would take another profile's values and write
    // them back over that profile.
    if (inBlock && !inProfile && !t.empty() && t != "{" && t != "}" && !Contains(t, "current"))
      scan.names.push_back({std::string(t), i, -1});
  }
  // Views of the names: the list no longer changes, and moving the index keeps its strings where they are.
  for (size_t n = 0; n < scan.names.size(); ++n) index.firstOfName.try_emplace(scan.names[n].name, n);
  return index;
}

// Returns whether the index still holds for the lines.
bool WriteOpti(Lines& lines, const TOpti& opti, CameraIndex& index) {
  const ProfileNameLine* nameLine = index.FirstNameLine(opti.Name);
  if (opti.Deleted) return !nameLine || !DeleteBlock(lines, index.scan, opti.Name);
  if (nameLine) return UpdateBlock(lines, *nameLine, opti, index);
  // Any other name would never be found again, and every write would add another block.
  if (!IsValidProfileName(opti.Name)) return true;
  InsertBlock(lines, index.scan.closingLine, opti);
  return false;
}

}  // namespace

CameraScan ScanCameraBlock(const Lines& lines) { return IndexCameraBlock(lines).scan; }

std::pair<std::string, std::string> SplitPair(std::string text) {
  RemoveFirst(text, "{");
  RemoveFirst(text, "}");
  const std::string head = SplitAtFirst(text, ",");
  return {Trim(head), Trim(text)};
}

std::vector<TOpti> ReadOptis(const Lines& lines, const MessageLookup& lookup) {
  const CameraScan scan = ScanCameraBlock(lines);
  if (scan.names.empty()) throw EKestaError(lookup("VisibilityRange"));
  // A name given twice reads the first block, the one its updates go to.
  std::unordered_map<std::string_view, int> firstNameLine;
  for (const ProfileNameLine& entry : scan.names) firstNameLine.try_emplace(entry.name, entry.index);
  std::vector<TOpti> optis;
  optis.reserve(scan.names.size());
  for (const ProfileNameLine& entry : scan.names) {
    const int nameLine = firstNameLine.at(entry.name);
    TOpti opti;
    opti.Name = entry.name;
    for (const ValueLine& value : kValueLines)
      if (HasValue(opti, value))
        StoreValueText(opti, value, ReadProfileValue(lines, nameLine, value.key, value.defaultValue));
    optis.push_back(std::move(opti));
  }
  return optis;
}

void WriteOpti(Lines& lines, const TOpti& opti) {
  CameraIndex index = IndexCameraBlock(lines);
  WriteOpti(lines, opti, index);
}

void WriteOptis(Lines& lines, const std::vector<TOpti>& optis) {
  // Each profile is written as if the file were scanned afresh before it; scanning only when a write may
  // have changed what the scan finds keeps a file of many profiles from being scanned once per profile.
  CameraIndex index = IndexCameraBlock(lines);
  for (const TOpti& opti : optis)
    if (!WriteOpti(lines, opti, index)) index = IndexCameraBlock(lines);
}

bool IsValidProfileName(std::string_view name) {
  // A "]" could end the long Lua string the profiles sit in, and make the rest code the game runs.
  return !name.empty() && TrimView(name) == name && name != "{" && name != "}" &&
         !Contains(name, "current") && !Contains(name, "]");
}

std::optional<std::string> ValueLineWithBracket(const TOpti& opti) {
  for (const ValueLine& value : kValueLines) {
    if (!HasValue(opti, value)) continue;
    // The braces and the comma a pair is written with hold no "]": only the values can.
    if (!Contains(opti.*value.first, "]") && !(value.second && Contains(opti.*value.second, "]"))) continue;
    return std::string(value.key) + " = " + ValueText(opti, value);
  }
  return std::nullopt;
}

bool IsStockProfile(std::string_view name) { return name == "Low" || name == "Medium" || name == "High"; }

const TOpti* ShownOpti(const std::vector<TOpti>& optis, std::string_view name) {
  const auto last =
      std::find_if(optis.rbegin(), optis.rend(), [name](const TOpti& o) { return o.Name == name; });
  if (last != optis.rend()) return &*last;
  return optis.empty() ? nullptr : &optis.front();
}

TOpti* ShownOpti(std::vector<TOpti>& optis, std::string_view name) {
  return const_cast<TOpti*>(ShownOpti(std::as_const(optis), name));
}

TOpti NewOpti(const std::vector<TOpti>& optis, std::string_view shownName, std::string newName) {
  const TOpti* source = ShownOpti(optis, shownName);
  TOpti opti = source ? *source : DefaultOpti(newName);
  if (opti.Name == kLow) opti.MiddleClip = "4";
  opti.Name = std::move(newName);
  opti.Deleted = false;
  return opti;
}

bool MarkOptiDeleted(std::vector<TOpti>& optis, std::string_view name) {
  if (IsStockProfile(name)) return false;
  for (TOpti& opti : optis)
    if (opti.Name == name) opti.Deleted = true;
  return true;
}

const std::array<OptiSlider, 18>& OptiSliders() {
  static const std::array<OptiSlider, 18> sliders{{
      {"SliderLod", 2, 1, 20, 0.1, 7, 10, 15, "lod", "0.0", &TOpti::Lod},
      {"SliderNearClip", 2, 1, 40, 0.1, 40, 2, 2, "near_clip", "0.0", &TOpti::NearClip},
      {"SliderMiddleClip", 2, 1, 80, 0.1, 40, 40, 40, "middle_clip", "0.0", &TOpti::MiddleClip},
      {"SliderFarClip", 2, 2, 40, 5000, 12, 16, 16, "far_clip", "#####0", &TOpti::FarClip},
      {"SliderStructuresClip", 2, 2, 80, 500, 4, 10, 20, "structures_clip", "#####0", &TOpti::StructuresClip},
      {"SliderTreesClip", 2, 2, 80, 500, 6, 16, 40, "trees_clip", "#####0", &TOpti::TreesClip},
      {"SliderDynamicClip", 2, 2, 60, 1000, 20, 20, 20, "dynamic_clip", "#####0", &TOpti::DynamicClip},
      {"SliderObjectsClip", 2, 2, 60, 5000, 8, 10, 16, "objects_clip", "#####0", &TOpti::ObjectsClip},
      {"SliderMirageClip", 2, 2, 60, 1000, 10, 15, 20, "mirage_clip", "#####0", &TOpti::MirageClip},
      {"SliderSurfaceClip", 2, 2, 60, 5000, 10, 16, 16, "surface_clip", "#####0", &TOpti::SurfaceClip},
      {"SliderLightsClip", 2, 2, 120, 2500, 4, 12, 32, "lights_clip", "#####0", &TOpti::LightsClip},
      {"SliderStructuresDensity", 3, 2, 100, 5, 6, 8, 40, "structures_", "#####0", &TOpti::StructuresDensity},
      {"SliderTreesDensity", 3, 2, 80, 5000, 12, 20, 40, "trees_", "#####0", &TOpti::TreesDensity},
      {"SliderDynamicDensity", 3, 2, 24, 25, 12, 12, 12, "dynamic_", "#####0", &TOpti::DynamicDensity},
      {"SliderObjectsDensity", 3, 2, 16, 500, 6, 6, 10, "objects_", "#####0", &TOpti::ObjectsDensity},
      {"SliderMirageDensity", 3, 2, 16, 500, 6, 6, 10, "mirage_", "#####0", &TOpti::MirageDensity},
      {"SliderSurfaceDensity", 3, 2, 40, 1000, 10, 14, 20, "surface_", "#####0", &TOpti::SurfaceDensity},
      {"SliderLightsDensity", 3, 2, 100, 5, 10, 20, 40, "lights_", "#####0", &TOpti::LightsDensity},
  }};
  return sliders;
}

const OptiSlider& OptiSliderOf(std::string_view key) {
  for (const OptiSlider& slider : OptiSliders())
    if (slider.key == key) return slider;
  throw EKestaError("Unknown profile value \"" + std::string(key) + "\"");
}

int OptiSliderPosition(std::string_view value, double multiplier) {
  // Far beyond any slider's range, but a value the int can hold.
  return static_cast<int>(std::clamp(std::nearbyint(ParseFloat(value) / multiplier), -1e9, 1e9));
}

void StoreOptiValue(std::vector<TOpti>& optis, std::string_view shownName, std::string_view key, int position,
                    double multiplier) {
  TOpti* opti = ShownOpti(optis, shownName);
  if (!opti) return;
  const OptiSlider& slider = OptiSliderOf(key);
  if (slider.key == kMiddleClip && opti->Name == kLow) return;
  opti->*slider.field = FormatFloat(slider.format, position * multiplier);
}

std::string VisibilityRangePicture(std::string_view name) {
  name = TrimView(name);
  if (name.empty() || name == kLow) return "visibilityrange_0.jpg";
  return name == "High" ? "visibilityrange_2.jpg" : "visibilityrange_1.jpg";
}

}  // namespace kesta
