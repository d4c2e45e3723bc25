#include "sets/game_file_set.h"

#include "documents/cockpit_document.h"
#include "documents/export_document.h"
#include "documents/graphics_document.h"
#include "documents/mission_editor_document.h"
#include "documents/network_document.h"
#include "documents/option_documents.h"
#include "documents/server_document.h"
#include "documents/view_documents.h"
#include "engine/failure.h"
#include "engine/lua_text.h"
#include "engine/text.h"
#include "sets/whole_set.h"
#include "settings/settings_file.h"

namespace kesta {

const std::array<std::string_view, 12>& WholeSetOrder() {
  static constexpr std::array<std::string_view, 12> order{"Graphics", "Cockpit",  "Network",  "Stats",
                                                          "Server",   "View",     "SnapView", "Producer",
                                                          "World",    "Drawinfo", "MECustom", "ExportConfig"};
  return order;
}

std::unique_ptr<GameDocument> MakeGameDocument(std::string_view catalogKey) {
  if (catalogKey == GraphicsDocument::kCatalogKey) return std::make_unique<GraphicsDocument>();
  if (catalogKey == CockpitDocument::kCatalogKey) return std::make_unique<CockpitDocument>();
  if (catalogKey == NetworkDocument::kCatalogKey) return std::make_unique<NetworkDocument>();
  if (catalogKey == StatsDocument::kCatalogKey) return std::make_unique<StatsDocument>();
  if (catalogKey == ServerDocument::kCatalogKey) return std::make_unique<ServerDocument>();
  if (catalogKey == ViewDocument::kCatalogKey) return std::make_unique<ViewDocument>();
  if (catalogKey == SnapViewDocument::kCatalogKey) return std::make_unique<SnapViewDocument>();
  if (catalogKey == ProducerDocument::kCatalogKey) return std::make_unique<ProducerDocument>();
  if (catalogKey == WorldDocument::kCatalogKey) return std::make_unique<WorldDocument>();
  if (catalogKey == DrawinfoDocument::kCatalogKey) return std::make_unique<DrawinfoDocument>();
  if (catalogKey == MissionEditorDocument::kCatalogKey) return std::make_unique<MissionEditorDocument>();
  if (catalogKey == ExportConfigDocument::kCatalogKey) return std::make_unique<ExportConfigDocument>();
  return nullptr;
}

void CarryScenes(const MissionEditorDocument* readMissionEditor, GraphicsDocument& graphics) {
  graphics.sceneFile = readMissionEditor ? std::optional<int>(readMissionEditor->scenes) : std::nullopt;
}

namespace {

// "Config\network\config.lua" -> "config.lua"
std::string_view FileNameOf(std::string_view catalogPath) {
  const size_t separator = catalogPath.find_last_of("\\/");
  return separator == std::string_view::npos ? catalogPath : catalogPath.substr(separator + 1);
}

}  // namespace

void WriteDocument(const GameDocument& document, Lines& lines, std::string_view fileName,
                   const MessageLookup& lookup) {
  // The game runs its ".cfg" files as Lua too, so every file that parses is checked, whatever its name. A
  // file the game could not read before is not made worse by the write, and stays writable. The text
  // before is parsed only when the new one fails: parsing is most of the cost of a write.
  const std::string before = JoinGameText(lines);
  document.Write(lines, lookup);
  const std::optional<std::string> error = LuaSyntaxError(JoinGameText(lines), fileName);
  if (error && !LuaSyntaxError(before, fileName))
    throw EKestaError("The new text of " + std::string(fileName) +
                      " would not be valid Lua, so the file was left as it was. Lua says: " + *error);
}

TGameFileSet::TGameFileSet(Context context) : m_context(std::move(context)) {
  const auto& kinds = GameFileKinds();
  for (size_t i = 0; i < kinds.size(); ++i) m_slots[i].document = MakeGameDocument(kinds[i].catalogKey);
}

TGameFileSet::~TGameFileSet() = default;

TGameFileSet::Slot* TGameFileSet::Find(std::string_view catalogKey) {
  const auto& kinds = GameFileKinds();
  for (size_t i = 0; i < kinds.size(); ++i)
    if (kinds[i].catalogKey == catalogKey) return &m_slots[i];
  return nullptr;
}

const TGameFileSet::Slot* TGameFileSet::Find(std::string_view catalogKey) const {
  return const_cast<TGameFileSet*>(this)->Find(catalogKey);
}

void TGameFileSet::Register(std::unique_ptr<GameDocument> document) {
  SlotOf(document->Kind().catalogKey).document = std::move(document);
}

TGameFileSet::Slot& TGameFileSet::SlotOf(std::string_view catalogKey) {
  Slot* slot = Find(catalogKey);
  if (!slot) throw EKestaError("Unknown game file \"" + std::string(catalogKey) + "\"");
  return *slot;
}

GameDocument& TGameFileSet::Document(std::string_view catalogKey) { return *SlotOf(catalogKey).document; }

void TGameFileSet::SetLoadedHook(std::string_view catalogKey, LoadedHook hook) {
  if (Slot* slot = Find(catalogKey)) slot->loaded = std::move(hook);
}

void TGameFileSet::SetSavedHook(std::string_view catalogKey, SavedHook hook) {
  if (Slot* slot = Find(catalogKey)) slot->saved = std::move(hook);
}

std::optional<std::filesystem::path> TGameFileSet::RememberedPath(std::string_view catalogKey) const {
  const Slot* slot = Find(catalogKey);
  return slot ? slot->rememberedPath : std::nullopt;
}

std::string TGameFileSet::CatalogPath(std::string_view catalogKey) const {
  return m_context.settings->ReadSetting("Files", catalogKey);
}

std::optional<TGameFileSet::LoadFailure> TGameFileSet::LoadOnce(Slot& slot, const std::filesystem::path& path,
                                                                bool defaultCopy, bool& read) {
  const GameFileKind& kind = slot.document->Kind();
  slot.rememberedPath = path;
  const auto failed = [this](LoadFailure failure) {
    if (m_context.enableApplyCancel) m_context.enableApplyCancel(false, false);
    return std::optional(std::move(failure));
  };
  try {
    Lines lines;
    // The default copy offered after a question is a file on disk, also while a saved configuration
    // is open: taking the same section again would only ask the same question again.
    if (defaultCopy)
      lines = ReadGameFile(path);
    else if (!m_access.LoadGameFile(lines, path, CatalogPath(kind.catalogKey)))
      return std::nullopt;
    if (CountsAsEmpty(kind, lines)) return failed({true, {}});
    const std::unique_ptr<GameDocument> before = slot.document->Clone();
    slot.document->Read(lines, m_context.lookup);
    read = true;
    if (slot.loaded) slot.loaded(*slot.document, *before);
    return std::nullopt;
  } catch (const std::exception& failure) {
    return failed({false, failure.what()});
  }
}

void TGameFileSet::ReportLoadFailure(const Slot& slot, const std::filesystem::path& path,
                                     const LoadFailure& failure) const {
  const std::string_view key = slot.document->Kind().catalogKey;
  const bool section = m_access.HasSections();
  const std::string source = section ? "section " + CatalogPath(key) : path.string();
  const std::string reason =
      failure.empty ? (section ? "the section is empty" : "the file is empty") : failure.reason;
  m_context.reportError(std::string(key) + " (" + source + "): " + reason);
}

bool TGameFileSet::Load(std::string_view catalogKey, const std::filesystem::path& path) {
  Slot* slot = &SlotOf(catalogKey);
  const GameFileKind& kind = slot->document->Kind();
  std::filesystem::path current = path;
  bool read = false;
  // Each Yes retries with the default copy, which may itself be missing or empty.
  bool defaultCopy = false;
  while (const std::optional<LoadFailure> failure = LoadOnce(*slot, current, defaultCopy, read)) {
    if (!m_context.askErrorQuestion) {
      ReportLoadFailure(*slot, current, *failure);
      break;
    }
    const std::string question =
        failure->empty ? EmptyFileQuestion(kind, current.string(), m_context.lookup)
                       : LoadFailureQuestion(kind, current.string(), failure->reason, m_context.lookup);
    if (!m_context.askErrorQuestion(question)) break;
    current = m_context.defaultsFolder / std::string(kind.defaultCopy);
    defaultCopy = true;
  }
  slot->everRead |= read;
  if (read && m_context.documentRead) m_context.documentRead(catalogKey);
  return read;
}

bool TGameFileSet::EverRead(std::string_view catalogKey) const {
  const Slot* slot = Find(catalogKey);
  return slot && slot->everRead;
}

Lines TGameFileSet::Prepare(std::string_view catalogKey, const std::filesystem::path& targetPath) {
  Slot* slot = &SlotOf(catalogKey);
  const GameFileKind& kind = slot->document->Kind();
  if (GraphicsDocument* graphics = dynamic_cast<GraphicsDocument*>(slot->document.get())) {
    const Slot& missionEditor = SlotOf(MissionEditorDocument::kCatalogKey);
    CarryScenes(missionEditor.everRead
                    ? dynamic_cast<const MissionEditorDocument*>(missionEditor.document.get())
                    : nullptr,
                *graphics);
  }
  if (!slot->rememberedPath) throw EKestaError("The file was never loaded.");
  // Saving into a saved configuration replaces no file.
  Lines lines = ReadGameFileToWrite(*slot->rememberedPath,
                                    m_access.HasSections() ? std::nullopt : std::optional(targetPath),
                                    m_context.lookup);
  WriteDocument(*slot->document, lines, FileNameOf(CatalogPath(kind.catalogKey)), m_context.lookup);
  return lines;
}

void TGameFileSet::Write(std::string_view catalogKey, const Lines& lines,
                         const std::filesystem::path& targetPath) {
  const Slot& slot = SlotOf(catalogKey);
  m_access.SaveGameFile(lines, targetPath, CatalogPath(catalogKey));
  if (slot.saved && !m_access.HasSections()) slot.saved(targetPath);  // only after a real write
}

void TGameFileSet::ReportApplyFailure(std::string_view catalogKey, std::string_view failure) const {
  m_context.reportError(ApplyFailureMessage(GameFileKindOf(catalogKey), failure, m_context.lookup));
}

bool TGameFileSet::Apply(std::string_view catalogKey, const std::filesystem::path& targetPath,
                         std::string_view command) {
  // An unknown key fails, as before; the kind's key outlives the caller's text.
  const std::string_view key = SlotOf(catalogKey).document->Kind().catalogKey;
  std::vector<PreparedFile> prepared;
  try {
    prepared.push_back({key, targetPath, Prepare(catalogKey, targetPath)});
  } catch (const std::exception& failure) {
    ReportApplyFailure(catalogKey, failure.what());
    return false;
  }
  const WrittenFiles written = WritePrepared(*this, prepared, true, command);
  for (const FileFailure& failure : written.failures) ReportApplyFailure(catalogKey, failure.reason);
  return written.failures.empty();
}

}  // namespace kesta
