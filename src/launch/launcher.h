#pragma once
// Starting the game alone, as a server or as a client, and its companion programs (LoTATC, LoTATC .NET),
// with the TrackIR steps before each game start. It sees the game's files, the dialogs, the messages, the
// settings and the commands it shows, never the window.

#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/option_toggles.h"
#include "platform/wine_start.h"

namespace kesta {

class DialogService;
class SettingsFile;
class TCommandTable;
class TGameFileSet;

class TLauncher {
 public:
  using StartFunction = std::function<WineStartOutcome(
      const PrefixRunner& runner, const std::string& program, const std::vector<std::string>& arguments,
      const std::filesystem::path& workingFolder, const std::filesystem::path& prefix)>;
  // How programs start in a prefix: as the game manager that owns it starts them.
  using RunnerFunction = std::function<PrefixRunner(const std::filesystem::path& prefix)>;
  static PrefixRunner RunnerOfPrefixAtHome(const std::filesystem::path& prefix);

  struct Collaborators {
    TGameFileSet& gameFiles;
    DialogService& dialogs;
    std::function<QString(const QString& key)> lookupMessage;
    const SettingsFile& settings;
    const std::string& gameFolder;  // read at each start: the player may change it
    std::function<bool(OptionToggle)> optionOn;
    TCommandTable& commands;  // shows the companion commands that were found
    StartFunction start = StartInPrefix;
    RunnerFunction runnerOf = RunnerOfPrefixAtHome;
  };

  explicit TLauncher(Collaborators collaborators);

  void MenuPlayClick();
  void MenuSysTrayCreateServerClick();
  void MenuJoinIPClick();
  void JoinServer(const QString& address);
  void DetectCompanions();  // loading sequence step 12
  void MenuLOTATCClientClick();
  void MenuLOTATCServerClick();
  void dxButtonLotatcNetClick();
  void DeleteTrackIrIni();
  bool ConfirmTrackIR();
  // The game rewrites some of its files when it ends: Apply while it runs asks first.
  bool ConfirmApplyWhileGameRuns();

  const std::string& LotatcClientPath() const { return m_lotatcClientPath; }
  const std::string& LotatcServerPath() const { return m_lotatcServerPath; }
  // The address LoTATC .NET is started by: from the setting "LotatcNetHost", else the one it was installed
  // from; empty when neither is known.
  std::string LotatcNetAddress() const;
  // The room password typed on the server page, in the game's code page; empty while the page was never
  // built. No file holds it.
  const std::string& ServerRoomPassword() const { return m_serverRoomPassword; }
  void SetServerRoomPassword(const std::string& password) { m_serverRoomPassword = password; }
  // The Wine prefix the game folder lies in, else the environment's.
  std::filesystem::path GamePrefix() const;

 private:
  void StartLockOn(const std::string& parameters);  // after the TrackIR steps
  // Starts through the prefix's runner after the checks that keep the prefix from harm; reports a start
  // that failed or was refused, under `failureTitle` when not empty. True when it started.
  bool StartInPrefixOrReport(const std::string& program, const std::vector<std::string>& arguments,
                             const std::filesystem::path& workingFolder, const std::filesystem::path& prefix,
                             const QString& failureTitle);
  QString FailureText(WineStartOutcome outcome, const PrefixRunner& runner, const StartCheck& check,
                      const std::string& program, const std::filesystem::path& prefix) const;
  void StartLotatc(const std::string& windowsPath, const char* failureKey);
  QString LookupMessage(const QString& key) const { return m_with.lookupMessage(key); }

  Collaborators m_with;
  std::string m_lotatcClientPath;  // Windows paths, as the registry names them
  std::string m_lotatcServerPath;
  std::string m_lotatcNetInstalledAddress;
  std::string m_serverRoomPassword;
};

}  // namespace kesta
