#include "engine/load_apply_texts.h"

#include "engine/failure.h"
#include "engine/text.h"

namespace kesta {

namespace {
constexpr std::string_view kRule = "----------------------";
constexpr std::string_view kBreak = "\r\n";
}  // namespace

const std::array<GameFileKind, 12>& GameFileKinds() {
  static const std::array<GameFileKind, 12> kinds{{
      {"Graphics", "GraphicsSettings", " (GraphicsSettings)", "Graphics.cfg", EmptyRule::NoLine},
      {"Cockpit", "CockpitSettings", std::nullopt, "Cockpit.cfg", EmptyRule::NoLine},
      {"Network", "NetworkSettings", " (NetworkSettings)", "Config.lua", EmptyRule::NoLineOrBlank},
      {"Stats", "StatsSettings", " (StatsSettings)", "Stats.lua", EmptyRule::NoLineOrBlank},
      {"Server", "ServerSettings", " (ServerSettings)", "Server.lua", EmptyRule::NoLineOrBlank},
      {"View", "ViewSettings", " (ViewSettings)", "View.lua", EmptyRule::NoLine},
      {"SnapView", "SnapViewSettings", " (SnapViewSettings)", "SnapViews.lua", EmptyRule::NoLine},
      {"Producer", "ProducerSettings", " (ProducerSettings)", "producer.cfg", EmptyRule::NoLine},
      {"World", "WorldSettings", " (WorldSettings)", "world.lua", EmptyRule::NoLine},
      {"Drawinfo", "DrawinfoSettings", " (DrawinfoSettings)", "drawinfo.lua", EmptyRule::NoLine},
      {"ExportConfig", "ExportConfig", " (ExportConfigSettings)", "exportconfig.lua", EmptyRule::NoLine},
      {"MECustom", "MECustomSettings", " (MECustomSettings)", "mecustom.xml", EmptyRule::NoLine},
  }};
  return kinds;
}

const GameFileKind& GameFileKindOf(std::string_view catalogKey) {
  for (const GameFileKind& kind : GameFileKinds())
    if (kind.catalogKey == catalogKey) return kind;
  throw EKestaError("Unknown game file \"" + std::string(catalogKey) + "\"");
}

std::string TitleLine(const GameFileKind& kind) {
  std::string text(kind.title);
  text.append(kBreak).append(kRule).append(kBreak);
  return text;
}

bool CountsAsEmpty(const GameFileKind& kind, const Lines& lines) {
  if (lines.empty()) return true;
  if (kind.emptyRule == EmptyRule::NoLine) return false;
  // Joined with line breaks and trimmed: breaks are themselves blank, so every line must be blank.
  for (const std::string& line : lines)
    if (!TrimView(line).empty()) return false;
  return true;
}

std::string EmptyFileQuestion(const GameFileKind& kind, std::string_view path, const MessageLookup& lookup) {
  std::string text = TitleLine(kind);
  text.append(lookup("EmptyFile")).append(kBreak).append(path).append(kBreak);
  text.append(kRule).append(kBreak).append(lookup("LoadDefault"));
  return text;
}

std::string LoadFailureQuestion(const GameFileKind& kind, std::string_view path, std::string_view failure,
                                const MessageLookup& lookup) {
  std::string text = TitleLine(kind);
  text.append(lookup("Loading")).append(kBreak).append(path).append(kBreak).append(failure).append(kBreak);
  text.append(kRule).append(kBreak).append(lookup("LoadDefault"));
  return text;
}

std::string ApplyFailureMessage(const GameFileKind& kind, std::string_view failure,
                                const MessageLookup& lookup) {
  std::string text = lookup("Applying");
  if (kind.applyLabel) text.append(*kind.applyLabel);
  text.append(kBreak).append(failure);
  return text;
}

}  // namespace kesta
