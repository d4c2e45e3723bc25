#include "documents/server_document.h"

#include "documents/document_fields.h"
#include "engine/failure.h"
#include "engine/lua_text.h"
#include "engine/text.h"

namespace kesta {

namespace {

constexpr std::string_view kCameraAnchor = "GetRearCameraPosition";
// The comment the game's own file has after the switch; it is no part of the value.
constexpr std::string_view kCombatViewsComment = "-- F5 & Ctrl-F5";

// A camera value as the file or the F4 window has it: a decimal number, its sign possibly followed by a
// space ("+ 4.57"). Anything else would break the camera function, which the game runs.
std::string CheckedCameraValue(std::string_view text) {
  std::string_view number = text;
  if (number.starts_with('+') || number.starts_with('-')) {
    number.remove_prefix(1);
    if (number.starts_with(' ')) number.remove_prefix(1);
  }
  bool digits = false;
  bool point = false;
  for (const char c : number) {
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      digits = false;
      break;
    }
  }
  if (!digits)
    throw EKestaError("\"" + std::string(text) + "\" is not a number such as 8.61, +4.57 or - 2.5");
  return std::string(text);
}

DocumentField<ServerDocument> CameraField(std::string_view name, std::string ServerDocument::*member) {
  return {name, [member](const ServerDocument& d) { return d.*member; },
          [member](ServerDocument& d, std::string_view text) { d.*member = CheckedCameraValue(text); }};
}

const std::vector<DocumentField<ServerDocument>>& Fields() {
  using D = ServerDocument;
  static const std::vector<DocumentField<D>> fields{
      CheckField<D>("CheckboxDisableCombatViews", &D::combatViewsDisabled),
      CheckField<D>("CheckboxCameraTerrainRestriction", &D::cameraTerrainRestriction),
      CameraField("F4ViewX", &D::f4ViewX),
      CameraField("F4ViewY", &D::f4ViewY),
      CameraField("F4ViewZ", &D::f4ViewZ),
  };
  return fields;
}

}  // namespace

const GameFileKind& ServerDocument::Kind() const { return GameFileKindOf(kCatalogKey); }

void ServerDocument::Read(const Lines& lines, const MessageLookup&) {
  ServerDocument read;
  read.combatViewsDisabled =
      Trim(RemoveAll(GetParam(lines, "DisableCombatViews", "", "", false), kCombatViewsComment)) != "true";
  read.cameraTerrainRestriction = GetParam(lines, "CameraTerrainRestriction", "", "", false) == "true";
  read.f4ViewY = RemoveAll(RemoveAll(GetParam(lines, "r[1]", "", kCameraAnchor, false), "p[1]"), " ");
  read.f4ViewX = RemoveAll(GetParam(lines, "r[3]", "", kCameraAnchor, false), " ");
  read.f4ViewZ = RemoveAll(RemoveAll(GetParam(lines, "r[2]", "", kCameraAnchor, false), "p[2]"), " ");
  *this = std::move(read);
}

void ServerDocument::Write(Lines& lines, const MessageLookup& lookup) const {
  // The camera values may come from a shared configuration: nothing is written unless each is a number.
  const auto number = [&lookup](std::string_view name, const std::string& value) {
    try {
      return CheckedCameraValue(value);
    } catch (const EKestaError&) {
      throw EKestaError("- " + lookup("InvalidNumber") + " " + std::string(name) + " = " + value);
    }
  };
  const std::string y = number("r[1]", f4ViewY);
  const std::string x = number("r[3]", f4ViewX);
  const std::string z = number("r[2]", f4ViewZ);
  SetParam(lines, "DisableCombatViews", combatViewsDisabled ? "false" : "true", "", true);
  SetParam(lines, "CameraTerrainRestriction", cameraTerrainRestriction ? "true" : "false", "", true);
  SetParam(lines, "\tr[1]", "p[1] " + y, kCameraAnchor, true);
  SetParam(lines, "\tr[3]", x, kCameraAnchor, true);
  SetParam(lines, "\tr[2]", "p[2] " + z, kCameraAnchor, true);
}

std::vector<NamedValue> ServerDocument::Values() const { return FieldValues(Fields(), *this); }

void ServerDocument::SetValue(std::string_view name, std::string_view value) {
  if (!SetFieldValue(Fields(), *this, name, value)) FailUnknownValue(name);
}

}  // namespace kesta
