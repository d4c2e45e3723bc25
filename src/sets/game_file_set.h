#pragma once
// The twelve game files behind the pages: each file's loader and applier follow one pattern (remember
// the path, read, offer the default copy when the file is empty or unreadable, report failures), and
// the program-wide Apply and Cancel walk the files in one fixed order.

#include <QString>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/game_file.h"
#include "sets/game_file_handler.h"

namespace kesta {

class DialogService;
class SettingsFile;

// The catalogue keys in the order Apply, Cancel and saved configurations process them.
const std::array<std::string_view, 12>& WholeSetOrder();

class TGameFileSet {
 public:
  struct Context {
    const SettingsFile* settings = nullptr;
    DialogService* dialogs = nullptr;
    MessageLookup lookup;
    std::filesystem::path defaultsFolder;
    std::function<void(bool apply, bool cancel)> enableApplyCancel;
  };

  explicit TGameFileSet(Context context);
  ~TGameFileSet();

  // Plugs a file's page logic in; files without a handler are skipped by every operation.
  void Register(std::unique_ptr<GameFileHandler> handler);
  bool HasHandler(std::string_view catalogKey) const;

  // The file's loader: remembers the path, reads the file, asks for the default copy when the file is
  // empty or cannot be read. Never fails.
  void Load(std::string_view catalogKey, const std::filesystem::path& path);
  // The file's applier: re-reads the remembered file, writes the page values and saves the result to
  // `targetPath`. Reports a failure and returns false; never fails.
  bool Apply(std::string_view catalogKey, const std::filesystem::path& targetPath);

  std::optional<std::filesystem::path> RememberedPath(std::string_view catalogKey) const;
  GameFileAccess& Access() { return m_access; }

  // Catalogue path of the file, read from the settings at the moment it is needed.
  std::string CatalogPath(std::string_view catalogKey) const;

 private:
  struct Slot {
    std::unique_ptr<GameFileHandler> handler;
    std::optional<std::filesystem::path> rememberedPath;
  };
  Slot* Find(std::string_view catalogKey);
  const Slot* Find(std::string_view catalogKey) const;
  // Reads the file into the page; returns the question to ask when the default copy should be offered.
  std::optional<QString> LoadOnce(Slot& slot, const std::filesystem::path& path);

  Context m_context;
  GameFileAccess m_access;
  std::array<Slot, 12> m_slots;  // in catalogue order
};

}  // namespace kesta
