#include "documents/export_document.h"

#include <algorithm>

#include "documents/document_fields.h"
#include "engine/text.h"

namespace kesta {

namespace {

// Lines above the end of the file's opening comment block are explanations, not settings.
constexpr std::string_view kCommentEnd = "--]]";

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

}  // namespace

const GameFileKind& ExportConfigDocument::Kind() const { return GameFileKindOf(kCatalogKey); }

void ExportConfigDocument::Read(const Lines& lines, const MessageLookup&) {
  exportEnabled = Contains(GetParam(lines, "EnableExportScript", "false", kCommentEnd, false), "true");
}

void ExportConfigDocument::Write(Lines& lines, const MessageLookup&) const {
  SetParam(lines, "EnableExportScript", exportEnabled ? "true" : "false", kCommentEnd, true);
}

std::vector<NamedValue> ExportConfigDocument::Values() const {
  return {{"RadioGroupActiveExport", exportEnabled ? "Yes" : "No"}};
}

void ExportConfigDocument::SetValue(std::string_view name, std::string_view value) {
  if (name != "RadioGroupActiveExport") FailUnknownValue(name);
  exportEnabled = CheckedEntry(value, {"Yes", "No"}) == "Yes";
}

std::string ExportRunLine(std::string_view script) {
  return "dofile(\"./config/export/" + std::string(script) + "\")";
}

bool BelongsToScript(std::string_view line, std::string_view script) {
  return UpperAscii(line).find(UpperAscii(ExportRunLine(script))) != std::string::npos;
}

bool RunsScript(std::string_view line, std::string_view script) {
  return BelongsToScript(line, script) && line.find("--") == std::string_view::npos;
}

void SetScriptEnabled(Lines& lines, std::string_view script, bool enabled) {
  std::erase_if(lines, [script](const std::string& line) { return BelongsToScript(line, script); });
  if (enabled) lines.push_back(ExportRunLine(script));
}

std::vector<std::string> CatalogueFields(std::string_view line) {
  std::vector<std::string> fields;
  for (size_t start = 0;;) {
    const size_t separator = line.find(';', start);
    fields.emplace_back(line.substr(start, separator == std::string_view::npos ? line.npos : separator - start));
    if (separator == std::string_view::npos) return fields;
    start = separator + 1;
  }
}

}  // namespace kesta
