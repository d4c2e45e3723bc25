#pragma once
// The game's export switch (Config\Export\config.lua), and the run lines of export scripts in export.lua,
// which the script page rewrites at once rather than through Apply.

#include <string>
#include <string_view>
#include <vector>

#include "documents/game_document.h"

namespace kesta {

class ExportConfigDocument final : public GameDocumentOf<ExportConfigDocument> {
 public:
  static constexpr std::string_view kCatalogKey = "ExportConfig";

  bool exportEnabled = false;  // RadioGroupActiveExport: index 0 "Yes", index 1 "No"

  const GameFileKind& Kind() const override;
  void Read(const Lines& lines, const MessageLookup& lookup) override;
  void Write(Lines& lines, const MessageLookup& lookup) const override;
  std::vector<NamedValue> Values() const override;
  void SetValue(std::string_view name, std::string_view value) override;

  bool operator==(const ExportConfigDocument&) const = default;
};

// export.lua runs a script named N with this line.
std::string ExportRunLine(std::string_view script);
// Whether the line names the script's run line: letters compared in any case, everything else exactly.
bool BelongsToScript(std::string_view line, std::string_view script);
// A line of the script that is not commented out anywhere.
bool RunsScript(std::string_view line, std::string_view script);
// Removes every line of the script, commented or not, and appends one clean run line when `enabled`.
void SetScriptEnabled(Lines& lines, std::string_view script, bool enabled);

// A line of the program's script catalogue: name;description;author;address (";" splits, nothing trimmed).
std::vector<std::string> CatalogueFields(std::string_view line);

}  // namespace kesta
