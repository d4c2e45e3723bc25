#pragma once
// The game's folder: found in the settings file, then under the game's registry key, then among the
// game managers' prefixes, then asked of the player; and where each game file lies in it.

#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace kesta {

class DialogService;
class ProgramFolder;
class SettingsFile;

class TGameFolder {
 public:
  struct Collaborators {
    const SettingsFile& settings;
    const ProgramFolder& program;
    DialogService& dialogs;
    std::function<QString(const QString& key)> lookup;
    // Stores a setting; reports its own failure.
    std::function<void(std::string_view section, std::string_view key, std::string_view value)> storeSetting;
    // The folder changed: whatever shows it follows.
    std::function<void(const std::string& folder)> shown;
    // Starts a program detached (the relaunch after a change of folder); may be empty.
    std::function<bool(const std::filesystem::path& program, const std::filesystem::path& workingFolder)>
        startProgram;
    std::function<void()> quit;  // the Quit command
  };

  explicit TGameFolder(Collaborators collaborators);

  // Reads the game's registry key path from the settings (start-up reads it before the language).
  void ReadRegistryKeyPath();
  // Finds the folder, or asks for it; false, with the reason shown, when there is none.
  bool DetermineGameFolder();
  // The game's lockon.exe chosen in a file dialog; false when cancelled or not storable.
  bool ChooseGameFolder();
  // Among the game managers' prefixes that each hold the game; false when there are not several or the
  // player cancels.
  bool ChooseGameInPrefixes();
  // The options page's command: a new folder, then the program starts again.
  void MenuChangePath1Click();
  // Uses `folder` from now on and stores it as "LockOnPath"; false, with the reason shown, when its path
  // holds a line break, which the settings file cannot hold.
  bool StoreGameFolder(std::string folder);

  const std::string& Folder() const { return m_folder; }  // ends with a separator; empty until found
  std::filesystem::path GamePathOf(std::string_view catalogKey) const;

 private:
  Collaborators m_collaborators;
  std::string m_registryKeyPath;
  std::string m_folder;
};

}  // namespace kesta
