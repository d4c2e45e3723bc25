#include "sets/game_file_set.h"

#include "engine/failure.h"
#include "settings/settings_file.h"
#include "ui/dialog_service.h"

namespace kesta {

const std::array<std::string_view, 12>& WholeSetOrder() {
  static constexpr std::array<std::string_view, 12> order{"Graphics", "Cockpit", "Network",  "Stats",
                                                          "Server",   "View",    "SnapView", "Producer",
                                                          "World",    "Drawinfo", "MECustom", "ExportConfig"};
  return order;
}

TGameFileSet::TGameFileSet(Context context) : m_context(std::move(context)) {}
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

void TGameFileSet::Register(std::unique_ptr<GameFileHandler> handler) {
  Slot* slot = Find(handler->Kind().catalogKey);
  if (!slot) throw EKestaError("Unknown game file \"" + std::string(handler->Kind().catalogKey) + "\"");
  slot->handler = std::move(handler);
}

bool TGameFileSet::HasHandler(std::string_view catalogKey) const {
  const Slot* slot = Find(catalogKey);
  return slot && slot->handler;
}

std::optional<std::filesystem::path> TGameFileSet::RememberedPath(std::string_view catalogKey) const {
  const Slot* slot = Find(catalogKey);
  return slot ? slot->rememberedPath : std::nullopt;
}

std::string TGameFileSet::CatalogPath(std::string_view catalogKey) const {
  return m_context.settings->ReadSetting("Files", catalogKey);
}

std::optional<QString> TGameFileSet::LoadOnce(Slot& slot, const std::filesystem::path& path) {
  const GameFileKind& kind = slot.handler->Kind();
  slot.rememberedPath = path;
  try {
    Lines lines;
    if (!m_access.LoadGameFile(lines, path, CatalogPath(kind.catalogKey))) return std::nullopt;
    if (CountsAsEmpty(kind, lines)) {
      m_context.enableApplyCancel(false, false);
      return QString::fromStdString(EmptyFileQuestion(kind, path.string(), m_context.lookup));
    }
    slot.handler->ReadLines(lines);
    return std::nullopt;
  } catch (const std::exception& failure) {
    m_context.enableApplyCancel(false, false);
    return QString::fromStdString(LoadFailureQuestion(kind, path.string(), failure.what(), m_context.lookup));
  }
}

void TGameFileSet::Load(std::string_view catalogKey, const std::filesystem::path& path) {
  Slot* slot = Find(catalogKey);
  if (!slot || !slot->handler) return;
  std::filesystem::path current = path;
  // Each Yes retries with the default copy, which may itself be missing or empty.
  while (const std::optional<QString> question = LoadOnce(*slot, current)) {
    if (!m_context.dialogs->ErrorQuestion(*question)) return;
    current = m_context.defaultsFolder / std::string(slot->handler->Kind().defaultCopy);
  }
}

bool TGameFileSet::Apply(std::string_view catalogKey, const std::filesystem::path& targetPath) {
  Slot* slot = Find(catalogKey);
  if (!slot || !slot->handler) return true;
  const GameFileKind& kind = slot->handler->Kind();
  try {
    if (!slot->rememberedPath) throw EKestaError("The file was never loaded.");
    Lines lines = ReadGameFile(*slot->rememberedPath);
    slot->handler->WriteLines(lines);
    m_access.SaveGameFile(lines, targetPath, CatalogPath(kind.catalogKey));
    slot->handler->AfterSave(targetPath);
    return true;
  } catch (const std::exception& failure) {
    m_context.dialogs->Error(QString::fromStdString(ApplyFailureMessage(kind, failure.what(), m_context.lookup)));
    return false;
  }
}

}  // namespace kesta
