#pragma once
// The twelve game files behind the pages. Each file's document is loaded and applied by one pattern
// (remember the path, read, offer the default copy when the file is empty or unreadable, report
// failures), and the program-wide Apply and Cancel walk the files in one fixed order. Nothing here
// touches a widget: the questions and reports go through the functions the owner gives.

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "documents/game_document.h"
#include "engine/game_file.h"

namespace kesta {

class SettingsFile;

// The catalogue keys in the order Apply, Cancel and saved configurations process them.
const std::array<std::string_view, 12>& WholeSetOrder();

// A new document for the file; nullptr for a key that names no game file.
std::unique_ptr<GameDocument> MakeGameDocument(std::string_view catalogKey);

class GraphicsDocument;
class MissionEditorDocument;
// The scenes slider shows the mission editor's value, which graphics.cfg's "SceneFile" line follows; a
// mission editor's file that was never read leaves that line as the graphics file has it.
void CarryScenes(const MissionEditorDocument* readMissionEditor, GraphicsDocument& graphics);

// Writes the document into the file's lines. A file whose text parsed as Lua, whatever its name, must
// parse after the write too: otherwise this fails with Lua's message and the lines are of no use.
void WriteDocument(const GameDocument& document, Lines& lines, std::string_view fileName,
                   const MessageLookup& lookup);

class TGameFileSet {
 public:
  struct Context {
    const SettingsFile* settings = nullptr;
    MessageLookup lookup;
    std::filesystem::path defaultsFolder;
    std::function<void(bool apply, bool cancel)> enableApplyCancel;  // may be empty
    // An error question with Yes and No; true for Yes. Empty: a failed load is reported through
    // `reportError` as "KEY (PATH): REASON" and no default copy is offered.
    std::function<bool(const std::string& question)> askErrorQuestion;
    // An error report with an OK button.
    std::function<void(const std::string& message)> reportError;
    // Where Apply keeps its journal; empty: no journal (tests of the documents alone).
    std::filesystem::path journalFolder;
    // After a load that read the file's document, whatever followed: the pages showing it refresh.
    std::function<void(std::string_view catalogKey)> documentRead;
  };
  // Runs after a document was read, inside the load's guard: a failure it raises is the load's failure.
  using LoadedHook = std::function<void(GameDocument& document, const GameDocument& before)>;
  // Runs after the file was written to the target path (not after a section of a saved configuration).
  using SavedHook = std::function<void(const std::filesystem::path& targetPath)>;

  explicit TGameFileSet(Context context);
  ~TGameFileSet();

  // Puts a document in for its file, in place of the one it had (tests plug in stand-ins that record
  // what the set does with them).
  void Register(std::unique_ptr<GameDocument> document);
  // The file's document; fails for a key that names no game file.
  GameDocument& Document(std::string_view catalogKey);
  // The file's document as its own type; nullptr when a stand-in of another type is plugged in.
  template <typename T>
  T* Find() {
    return dynamic_cast<T*>(&Document(T::kCatalogKey));
  }
  template <typename T>
  T& Get() {
    return dynamic_cast<T&>(Document(T::kCatalogKey));
  }

  void SetLoadedHook(std::string_view catalogKey, LoadedHook hook);
  void SetSavedHook(std::string_view catalogKey, SavedHook hook);

  // The servers of config.lua changed, by a load or by an edit: whatever offers them follows.
  void SetServerListChangedHook(std::function<void()> hook) { m_serverListChanged = std::move(hook); }
  void ServerListChanged() const {
    if (m_serverListChanged) m_serverListChanged();
  }

  // The file's loader: remembers the path, reads the file, asks for the default copy when the file is
  // empty or cannot be read. Never fails. True when a document was read.
  bool Load(std::string_view catalogKey, const std::filesystem::path& path);
  // The file's applier: Prepare, then Write, through the journal as every Apply. Reports a failure and
  // returns false; never fails. `command` names it in the journal's history.
  bool Apply(std::string_view catalogKey, const std::filesystem::path& targetPath,
             std::string_view command = "Apply");
  // The lines Apply would write to `targetPath`: the remembered file re-read with the document written
  // into it. Writes nothing; fails with the reason (ENulInGameFile when a file's bytes hold a NUL).
  Lines Prepare(std::string_view catalogKey, const std::filesystem::path& targetPath);
  // Saves lines that Prepare gave to `targetPath`, or into the attached saved configuration; fails with
  // the reason.
  void Write(std::string_view catalogKey, const Lines& lines, const std::filesystem::path& targetPath);
  // Reports a failure of Apply's (or of Prepare's or Write's) as Apply does.
  void ReportApplyFailure(std::string_view catalogKey, std::string_view failure) const;
  // A load has read the file's values at least once (not only its defaults).
  bool EverRead(std::string_view catalogKey) const;

  std::optional<std::filesystem::path> RememberedPath(std::string_view catalogKey) const;
  const std::filesystem::path& JournalFolder() const { return m_context.journalFolder; }
  // A message of the language file.
  std::string Message(std::string_view key) const { return m_context.lookup(key); }
  GameFileAccess& Access() { return m_access; }

  // Catalogue path of the file, read from the settings at the moment it is needed.
  std::string CatalogPath(std::string_view catalogKey) const;

 private:
  struct Slot {
    std::unique_ptr<GameDocument> document;
    std::optional<std::filesystem::path> rememberedPath;
    LoadedHook loaded;
    SavedHook saved;
    bool everRead = false;  // the document holds values of a file, not only its defaults
  };
  Slot* Find(std::string_view catalogKey);
  const Slot* Find(std::string_view catalogKey) const;
  // Fails for a key that names no game file.
  Slot& SlotOf(std::string_view catalogKey);
  struct LoadFailure {
    bool empty = false;  // else `reason` says what failed
    std::string reason;
  };
  // Reads the file into the document; says what failed, when the default copy should be offered.
  std::optional<LoadFailure> LoadOnce(Slot& slot, const std::filesystem::path& path, bool defaultCopy,
                                      bool& read);
  // Without a question to ask: reports the failure, naming the file or section.
  void ReportLoadFailure(const Slot& slot, const std::filesystem::path& path,
                         const LoadFailure& failure) const;

  Context m_context;
  GameFileAccess m_access;
  std::array<Slot, 12> m_slots;  // in catalogue order
  std::function<void()> m_serverListChanged;
};

}  // namespace kesta
