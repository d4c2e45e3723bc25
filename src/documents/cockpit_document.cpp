#include "documents/cockpit_document.h"

#include <algorithm>

#include "documents/document_fields.h"

namespace kesta {

namespace {

const std::vector<DocumentField<CockpitDocument>>& Fields() {
  using D = CockpitDocument;
  static const std::vector<DocumentField<D>> fields{
      PositionField<D>("SpecialSliderMirrors", &D::mirrors, 0, 1),
      PositionField<D>("SpecialSliderMirrorResolution", &D::mirrorResolution, 0, 2),
      PositionField<D>("SpecialSliderReflections", &D::reflections, 0, 1),
      CheckField<D>("CheckboxRussianHUD", &D::russianHud),
  };
  return fields;
}

}  // namespace

const GameFileKind& CockpitDocument::Kind() const { return GameFileKindOf(kCatalogKey); }

void CockpitDocument::Read(const Lines& lines, const MessageLookup&) {
  CockpitDocument read;
  // The sliders hold any number the file has within their range.
  read.mirrors = std::clamp(IntegerValue(lines, "Mirrors", "0"), 0, 1);
  read.mirrorResolution = std::clamp(IntegerValue(lines, "MirrorResolution", "0"), 0, 2);
  read.reflections = std::clamp(IntegerValue(lines, "Reflections", "1"), 0, 1);
  read.russianHud = GetParam(lines, "RussianHUD", "1", "", false) == "1";
  *this = read;
}

void CockpitDocument::Write(Lines& lines, const MessageLookup&) const {
  SetParam(lines, "Mirrors", std::to_string(mirrors), "", false);
  SetParam(lines, "MirrorResolution", std::to_string(mirrorResolution), "", false);
  SetParam(lines, "Reflections", std::to_string(reflections), "", false);
  SetParam(lines, "RussianHUD", russianHud ? "1" : "0", "", false);
}

std::vector<NamedValue> CockpitDocument::Values() const { return FieldValues(Fields(), *this); }

void CockpitDocument::SetValue(std::string_view name, std::string_view value) {
  if (!SetFieldValue(Fields(), *this, name, value)) FailUnknownValue(name);
}

}  // namespace kesta
