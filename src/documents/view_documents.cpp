#include "documents/view_documents.h"

#include <algorithm>

#include "documents/document_fields.h"
#include "engine/failure.h"
#include "engine/number_format.h"
#include "engine/text.h"

namespace kesta {

namespace {

std::string LimitsLine(const Aircraft& aircraft) {
  return "CameraViewAngleLimits[" + std::string(aircraft.planeIndex) + "]";
}
std::string HudColorLine(const Aircraft& aircraft) {
  return "HUDColor[" + std::string(aircraft.planeIndex) + "]";
}
std::string SnapLine(size_t position, std::string_view angle) {
  return "Snap[" + std::to_string(position + 1) + "][13][\"" + std::string(angle) + "\"]";
}

// "{20.000000, 140.000000}" -> "20.000000, 140.000000"
std::string WithoutBraces(std::string text) {
  RemoveFirst(text, "{");
  RemoveFirst(text, "}");
  return text;
}

// The whole part of a decimal text: cut at its first ".", not rounded.
std::string WholePart(std::string text) {
  const size_t point = text.find('.');
  if (point != std::string::npos) text.erase(point);
  return Trim(text);
}

// A whole number as its slider shows it; any other text is kept, for showing and applying to report.
std::string OnSlider(std::string text, AngleRange range) {
  int value = 0;
  try {
    value = WholeNumber(text);
  } catch (const EKestaError&) {
    return text;
  }
  return std::to_string(std::clamp(value, range.min, range.max));
}

bool SwitchValue(const Lines& lines, std::string_view name) {
  return GetParam(lines, name, "", "", false) == "true";
}

// A value named "Control[Aircraft]": the aircraft's position, or a failure naming what is wrong.
size_t AircraftOf(std::string_view name, std::string_view& control) {
  const auto [head, entry] = SplitEntry(name);
  control = head;
  if (entry.empty()) FailUnknownValue(name);
  for (size_t p = 0; p < kViewAircraft.size(); ++p)
    if (kViewAircraft[p].entry == entry) return p;
  std::string list;
  for (const Aircraft& aircraft : kViewAircraft)
    list += (list.empty() ? "" : ", ") + std::string(aircraft.entry);
  throw EKestaError("\"" + std::string(entry) + "\" is not one of the aircraft: " + list);
}

std::string Named(std::string_view control, const Aircraft& aircraft) {
  return std::string(control) + "[" + std::string(aircraft.entry) + "]";
}

// A slider value as the page holds it: the position in decimal.
std::string Position(std::string_view text, AngleRange range) {
  return std::to_string(ParsePosition(text, range.min, range.max));
}

constexpr std::string_view kColor = "PanelColor";

std::string HeldColor(const ViewDocument::Limits& view) {
  return view.hudColorR + "," + view.hudColorG + "," + view.hudColorB;
}

}  // namespace

int AircraftPosition(std::string_view entry) {
  for (size_t p = 0; p < kViewAircraft.size(); ++p)
    if (EqualsNoCase(kViewAircraft[p].entry, entry)) return static_cast<int>(p);
  return -1;
}

const GameFileKind& ViewDocument::Kind() const { return GameFileKindOf(kCatalogKey); }

void ViewDocument::Read(const Lines& lines, const MessageLookup&) {
  ViewDocument read;
  read.cockpitMouse = SwitchValue(lines, "CockpitMouse");
  read.externalMouse = SwitchValue(lines, "ExternalMouse");
  for (size_t p = 0; p < kViewAircraft.size(); ++p) {
    Limits& view = read.views[p];
    std::string limits = WithoutBraces(GetParam(lines, LimitsLine(kViewAircraft[p]), "", "", false));
    view.viewAngleMin = OnSlider(WholePart(SplitAtFirst(limits, ",")), kViewAngleMinRange);
    view.viewAngleMax = OnSlider(WholePart(limits), kViewAngleMaxRange);
  }
  for (size_t p = 0; p < kViewAircraft.size(); ++p) {
    Limits& view = read.views[p];
    std::string color = WithoutBraces(GetParam(lines, HudColorLine(kViewAircraft[p]), "", "", false));
    view.hudColorR = Trim(SplitAtFirst(color, ","));
    view.hudColorG = Trim(SplitAtFirst(color, ","));
    view.hudColorB = Trim(color);
  }
  *this = std::move(read);
}

void ViewDocument::Write(Lines& lines, const MessageLookup& lookup) const {
  SetParam(lines, "CockpitMouse", cockpitMouse ? "true" : "false", "", true);
  SetParam(lines, "ExternalMouse", externalMouse ? "true" : "false", "", true);
  for (size_t p = 0; p < kViewAircraft.size(); ++p) {
    const Limits& view = views[p];
    SetParam(lines, LimitsLine(kViewAircraft[p]),
             "{" + FormatFloat("##0.0", WholeNumber(view.viewAngleMin)) + ", " +
                 FormatFloat("##0.0", WholeNumber(view.viewAngleMax)) + "}",
             "", true);
  }
  for (size_t p = 0; p < kViewAircraft.size(); ++p) {
    const Limits& view = views[p];
    const std::string color = "{" + view.hudColorR + ", " + view.hudColorG + ", " + view.hudColorB + "}";
    // Written as held, but only numbers: the colour may come from a shared configuration.
    for (const std::string* component : {&view.hudColorR, &view.hudColorG, &view.hudColorB})
      if (!IsLuaNumber(*component))
        throw EKestaError("- " + lookup("InvalidNumber") + " " + HudColorLine(kViewAircraft[p]) + " = " +
                          color);
    SetParam(lines, HudColorLine(kViewAircraft[p]), color, "", true);
  }
}

std::vector<NamedValue> ViewDocument::Values() const {
  std::vector<NamedValue> values{{"CheckboxCockpitMouse", cockpitMouse ? "1" : "0"},
                                 {"CheckboxExternalMouse", externalMouse ? "1" : "0"}};
  for (size_t p = 0; p < kViewAircraft.size(); ++p) {
    const Limits& view = views[p];
    values.push_back({Named("SpecialSliderViewAngleMin", kViewAircraft[p]), view.viewAngleMin});
    values.push_back({Named("SpecialSliderViewAngleMax", kViewAircraft[p]), view.viewAngleMax});
    values.push_back({Named(kColor, kViewAircraft[p]), HeldColor(view)});
  }
  return values;
}

void ViewDocument::SetValue(std::string_view name, std::string_view value) {
  if (name == "CheckboxCockpitMouse") {
    cockpitMouse = ParseCheck(value);
    return;
  }
  if (name == "CheckboxExternalMouse") {
    externalMouse = ParseCheck(value);
    return;
  }
  std::string_view control;
  Limits& view = views[AircraftOf(name, control)];
  if (control == "SpecialSliderViewAngleMin") {
    view.viewAngleMin = Position(value, kViewAngleMinRange);
  } else if (control == "SpecialSliderViewAngleMax") {
    view.viewAngleMax = Position(value, kViewAngleMaxRange);
  } else if (control == kColor) {
    // A colour the file holds otherwise (outside 0 to 255, or with decimals) is kept as it is, as the page
    // keeps it until another colour is chosen.
    if (value == HeldColor(view)) return;
    const auto [red, green, blue] = ParseRgb(value);
    view.hudColorR = std::to_string(red);
    view.hudColorG = std::to_string(green);
    view.hudColorB = std::to_string(blue);
  } else {
    FailUnknownValue(name);
  }
}

const GameFileKind& SnapViewDocument::Kind() const { return GameFileKindOf(kCatalogKey); }

void SnapViewDocument::Read(const Lines& lines, const MessageLookup&) {
  SnapViewDocument read;
  for (size_t p = 0; p < kViewAircraft.size(); ++p) {
    DefaultView& view = read.views[p];
    view.viewAngle =
        OnSlider(WholePart(GetParam(lines, SnapLine(p, "viewAngle"), "", "", false)), kViewAngleDefaultRange);
    view.hAngle = OnSlider(WholePart(GetParam(lines, SnapLine(p, "hAngle"), "", "", false)), kSnapAngleRange);
    view.vAngle = OnSlider(WholePart(GetParam(lines, SnapLine(p, "vAngle"), "", "", false)), kSnapAngleRange);
  }
  *this = std::move(read);
}

void SnapViewDocument::Write(Lines& lines, const MessageLookup&) const {
  // Each value is a whole number, or nothing is written: it may come from a shared configuration.
  for (const DefaultView& view : views)
    for (const std::string* angle : {&view.viewAngle, &view.vAngle, &view.hAngle}) WholeNumber(*angle);
  for (size_t p = 0; p < kViewAircraft.size(); ++p) {
    SetParam(lines, SnapLine(p, "viewAngle"), views[p].viewAngle, "", true);
    SetParam(lines, SnapLine(p, "vAngle"), views[p].vAngle, "", true);
    SetParam(lines, SnapLine(p, "hAngle"), views[p].hAngle, "", true);
  }
}

std::vector<NamedValue> SnapViewDocument::Values() const {
  std::vector<NamedValue> values;
  for (size_t p = 0; p < kViewAircraft.size(); ++p) {
    values.push_back({Named("SpecialSliderViewAngleDefault", kViewAircraft[p]), views[p].viewAngle});
    values.push_back({Named("SpecialSliderVAngle", kViewAircraft[p]), views[p].vAngle});
    values.push_back({Named("SpecialSliderHAngle", kViewAircraft[p]), views[p].hAngle});
  }
  return values;
}

void SnapViewDocument::SetValue(std::string_view name, std::string_view value) {
  std::string_view control;
  DefaultView& view = views[AircraftOf(name, control)];
  if (control == "SpecialSliderViewAngleDefault") {
    view.viewAngle = Position(value, kViewAngleDefaultRange);
  } else if (control == "SpecialSliderVAngle") {
    view.vAngle = Position(value, kSnapAngleRange);
  } else if (control == "SpecialSliderHAngle") {
    view.hAngle = Position(value, kSnapAngleRange);
  } else {
    FailUnknownValue(name);
  }
}

}  // namespace kesta
