#pragma once
// The commands on the whole set of game files: Apply and Cancel, the reload when the player comes back
// after the game rewrote the files, saved configurations with their recent list, and what a load of
// graphics.cfg or cockpit.cfg does beyond its pages. It sees the file set, the dialogs, the messages, the
// settings, the command table and the page host, never the window.

#include <QMetaObject>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_times.h"
#include "sets/recent_configurations.h"

class QObject;
class QWidget;

namespace kesta {

class DialogService;
class ProgramFolder;
class SettingsFile;
class TApplicationMenu;
class TCommandTable;
class TGameFileSet;
class TPageHost;
struct FileDialogRequest;

class TConfigurationCommands {
 public:
  struct Collaborators {
    TGameFileSet& gameFiles;
    DialogService& dialogs;
    std::function<QString(const QString& key)> lookupMessage;
    const SettingsFile& settings;  // the folder of saved configurations ("BackupPath")
    const ProgramFolder& folder;   // the recent list's file and the default folder of backups
    // Set while the sections of a saved configuration stand in for the game files: whatever would
    // reload or write files on its own waits.
    bool& busy;
    TCommandTable& commands;
    TPageHost& host;  // game paths and folder, status messages, preview pictures
    std::function<bool()> confirmApplyWhileGameRuns;
    std::function<bool()> reloadSettingsOn;  // the option to ask before the reactivation reload
    // Fails with a text for the user when the picture cannot be shown.
    std::function<void(const QString& name)> checkPreviewPicture;
    // Shows a picture of the images folder above the page; fails with a text for the user.
    std::function<void(const QString& name)> loadPreviewPicture;
    TApplicationMenu& applicationMenu;  // shows the recent list
    // The program's window: its own hiding is no box of ours closing.
    const QWidget* frame = nullptr;
  };

  explicit TConfigurationCommands(Collaborators collaborators);
  ~TConfigurationCommands();

  // --- Apply and Cancel ---
  void EnableApplyCancel(bool apply, bool cancel);
  bool ApplyEnabled() const;
  bool CancelEnabled() const;
  void dxButtonApplyClick();
  void dxButtonCancelClick();
  // Shows what Apply would change, file by file, writing nothing; its Apply button runs `apply`.
  void dxButtonReviewClick(const std::function<void()>& apply);

  // Start-up: an Apply cut short by a crash is finished or rolled back, and the player is told in a box.
  void RecoverInterruptedApplies();

  // --- Taking an Apply back ---
  // After asking (and naming the pages' edits that would be lost), each file of the journal's entry with
  // that number (the newest when nothing) that still holds what it wrote gets its bytes before back; a
  // file changed since is left alone and named. The pages then read the files again.
  void UndoApply(std::optional<std::uint64_t> number);
  void dxButtonUndoApplyClick() { UndoApply(std::nullopt); }

  // --- Reload on reactivation ---
  // Watches the program become the active one again; the window calls it once.
  void ConnectReactivation();
  // The program became the active one again: reloads every file when the graphics file changed outside.
  void JvAppEvents1Activate();
  // Start-up: the time of graphics.cfg the reactivation check compares with.
  void TakeGraphicsTimeStamp(const std::filesystem::path& graphics);

  // --- Saved configurations and the recent list ---
  void dxButtonSaveConfigClick();
  void dxButtonOpenConfigClick();
  // Loads every page from the file's sections and marks them modified; false when the file cannot be
  // read (reported, nothing changed).
  bool OpenConfiguration(const std::filesystem::path& path);
  void AddRecentConfiguration(const std::string& path);
  void dxBarApplicationMenu1ExtraPaneItemClick(int index);
  const std::vector<std::string>& RecentConfigurationPaths() const { return m_recentList.Entries(); }
  void LoadRecentList();  // start-up
  void ShowRecentList();

  // --- graphics.cfg and cockpit.cfg ---
  // Returns true only when `checkAspectOnly` is set and the file's aspect differs from the selected one.
  bool LoadGraphicsSettings(const std::filesystem::path& path, bool checkAspectOnly);
  void ApplyGraphicsSettings(const std::filesystem::path& targetPath);
  void LoadCockpitSettings(const std::filesystem::path& path);
  void ApplyCockpitSettings(const std::filesystem::path& targetPath);
  // The pictures, the aspect check, the modified state and the time stamp of our own writes; the window
  // calls it once.
  void ConnectGraphicsFileLoads();

 private:
  FileDialogRequest ConfigurationDialog() const;  // the open and save dialogs of saved configurations
  QString LookupMessage(const QString& key) const { return m_with.lookupMessage(key); }
  std::filesystem::path GamePathOf(std::string_view catalogKey) const;

  Collaborators m_with;
  RecentConfigurations m_recentList;
  std::unique_ptr<QObject> m_returnWatch;
  QMetaObject::Connection m_recentItemClicked;
  std::optional<FileTime> m_graphicsTimeStamp;  // none until a time was read
  bool m_reactivationRunning = false;
  bool m_checkAspectOnly = false;
  bool m_aspectDiffers = false;
  std::filesystem::path m_graphicsLoadPath;  // the path given to LoadGraphicsSettings, not the default copy
};

}  // namespace kesta
