#include "launch/launcher.h"

#include <QDateTime>
#include <cstdlib>
#include <system_error>

#include "documents/network_document.h"
#include "launch/command_lines.h"
#include "launch/companion_lookup.h"
#include "platform/code_page.h"
#include "platform/game_paths.h"
#include "platform/processes.h"
#include "platform/wine_registry.h"
#include "sets/game_file_set.h"
#include "settings/settings_file.h"
#include "ui/command_table.h"
#include "ui/dialog_service.h"
#include "ui/game_text.h"

namespace kesta {

namespace {

std::string Utf8(const std::string& gameBytes) { return GameText().ToUtf8(gameBytes); }

// The names are the managers' own, the same in every language.
const char* ManagerName(PrefixManager manager) {
  switch (manager) {
    case PrefixManager::Lutris:
      return "Lutris";
    case PrefixManager::Bottles:
      return "Bottles";
    case PrefixManager::PlayOnLinux:
      return "PlayOnLinux";
    case PrefixManager::Steam:
      return "Steam";
    case PrefixManager::None:
      break;
  }
  return "Wine";
}

}  // namespace

TLauncher::TLauncher(Collaborators collaborators) : m_with(std::move(collaborators)) {}

std::filesystem::path TLauncher::GamePrefix() const {
  return PrefixHolding(m_with.gameFolder).value_or(WineRegistry::DefaultPrefix());
}

PrefixRunner TLauncher::RunnerOfPrefixAtHome(const std::filesystem::path& prefix) {
  const char* home = std::getenv("HOME");
  return RunnerOfPrefix(prefix, home ? home : "");
}

QString TLauncher::FailureText(WineStartOutcome outcome, const PrefixRunner& runner, const StartCheck& check,
                               const std::string& program, const std::filesystem::path& prefix) const {
  const QString prefixText = QString::fromStdString(prefix.string());
  switch (outcome) {
    case WineStartOutcome::Started:
      break;
    case WineStartOutcome::WineMissing:
      return LookupMessage("WineNotFound").arg(QString::fromStdString(WineCommand()));
    case WineStartOutcome::ProgramMissing:
      return LookupMessage("ProgramNotFound").arg(QString::fromStdString(program));
    case WineStartOutcome::Refused:
      return LookupMessage("ProgramStartFailed").arg(QString::fromStdString(program));
    case WineStartOutcome::CommandMissing:
      return LookupMessage("ProgramNotFound").arg(QString::fromStdString(check.missing));
    case WineStartOutcome::BuildMissing:
      return LookupMessage("RunnerBuildMissing")
          .arg(QString::fromStdString(ManagerName(runner.manager)), QString::fromStdString(check.missing),
               prefixText);
    case WineStartOutcome::OtherWineServer:
      return LookupMessage("OtherWineServer")
          .arg(prefixText, QString::fromStdString(check.otherServer.string()),
               QString::number(check.otherServerPid), QString::fromStdString(check.wineLabel));
  }
  return {};
}

bool TLauncher::StartInPrefixOrReport(const std::string& program, const std::vector<std::string>& arguments,
                                      const std::filesystem::path& workingFolder,
                                      const std::filesystem::path& prefix, const QString& failureTitle) {
  const auto report = [&](const QString& detail) {
    m_with.dialogs.Error(failureTitle.isEmpty() ? detail : failureTitle + "\n\n" + detail);
    return false;
  };
  PrefixRunner runner;
  try {
    runner = m_with.runnerOf(prefix);
  } catch (const std::exception& error) {  // a manager's file we could not make sense of
    return report(QString::fromStdString(error.what()));
  }
  StartCheck check = CheckStart(runner, program, prefix, WineOverride());
  WineStartOutcome outcome = check.refusal;
  if (outcome == WineStartOutcome::Started) {
    if (const std::optional<PrefixUpdate>& update = check.prefixUpdate) {
      const QString madeBy = update->madeBy ? QString::fromStdString(*update->madeBy)
                             : update->prefixStamp
                                 ? LookupMessage("PrefixMadeByUnknown")
                                       .arg(QDateTime::fromSecsSinceEpoch(*update->prefixStamp, Qt::UTC)
                                                .toString("yyyy-MM-dd HH:mm 'UTC'"))
                                 : LookupMessage("PrefixMadeByNoRecord");
      const QString question =
          LookupMessage("PrefixUpdateQuestion")
              .arg(QString::fromStdString(prefix.string()), madeBy, QString::fromStdString(check.wineLabel));
      if (m_with.dialogs.ShowMessage(MessageKind::Warning, question, MessageButtons::YesNo) !=
          DialogAnswer::Yes)
        return false;
    }
    outcome = m_with.start(runner, program, arguments, workingFolder, prefix);
    if (outcome == WineStartOutcome::Started) return true;
    // Refused by a check after all (the prefix changed meanwhile): its details.
    check = CheckStart(runner, program, prefix, WineOverride());
  }
  return report(FailureText(outcome, runner, check, program, prefix));
}

void TLauncher::StartLockOn(const std::string& parameters) {
  DeleteTrackIrIni();
  if (!ConfirmTrackIR()) return;
  const std::filesystem::path folder = GamePath(m_with.gameFolder, "");
  StartInPrefixOrReport(GamePath(m_with.gameFolder, "LockOn.exe").string(), SplitParameters(parameters),
                        folder, GamePrefix(), {});
}

void TLauncher::MenuPlayClick() { StartLockOn(""); }

void TLauncher::MenuSysTrayCreateServerClick() {
  const NetworkDocument& network = m_with.gameFiles.Get<NetworkDocument>();
  if (network.playerName.empty()) return m_with.dialogs.Error(LookupMessage("PlayerNameEmpty"));
  if (network.maxPlayers.empty()) return m_with.dialogs.Error(LookupMessage("MaxPlayersEmpty"));
  StartLockOn(ServerParameters(Utf8(network.playerName), Utf8(network.serverName), Utf8(m_serverRoomPassword),
                               Utf8(network.maxPlayers)));
}

void TLauncher::MenuJoinIPClick() {
  const QString ip = LookupMessage("IP");
  const std::optional<QString> address = m_with.dialogs.InputText(ip, ip, QString());
  if (address && !address->isEmpty()) JoinServer(*address);
}

void TLauncher::JoinServer(const QString& address) {
  const NetworkDocument& network = m_with.gameFiles.Get<NetworkDocument>();
  if (network.playerName.empty()) return m_with.dialogs.Error(LookupMessage("PlayerNameEmpty"));
  const std::optional<QString> password =
      m_with.dialogs.InputText(LookupMessage("Password"), LookupMessage("PasswordEmpty"), QString());
  if (!password) return;
  StartLockOn(ClientParameters(address.toStdString(), Utf8(network.playerName), password->toStdString()));
}

bool TLauncher::ConfirmApplyWhileGameRuns() {
  if (!FindProcessInPrefix("LockOn", GamePrefix())) return true;
  return m_with.dialogs.ShowMessage(MessageKind::Warning, LookupMessage("GameRunningApply"),
                                    MessageButtons::YesNo) == DialogAnswer::Yes;
}

void TLauncher::DetectCompanions() {
  const CompanionInstallations found = FindCompanions();
  m_lotatcClientPath = found.lotatcClientPath;
  m_lotatcServerPath = found.lotatcServerPath;
  m_lotatcNetInstalledAddress = found.lotatcNetInstalledAddress;
  // All hidden first: the three share the tray's separator, which shows while any of them does.
  for (const QString& id : {command::kLotatcClient, command::kLotatcServer, command::kLotatcNet})
    m_with.commands.SetVisible(id, false);
  if (!found.lotatcClientPath.empty()) {
    m_with.commands.SetVisible(command::kLotatcClient, true);
    m_with.commands.SetVisible(command::kLotatcServer, true);
  }
  if (found.lotatcNet) m_with.commands.SetVisible(command::kLotatcNet, true);
}

std::string TLauncher::LotatcNetAddress() const {
  return kesta::LotatcNetAddress(m_with.settings.ReadSetting("Config", "LotatcNetHost"),
                                 m_lotatcNetInstalledAddress);
}

void TLauncher::StartLotatc(const std::string& windowsPath, const char* failureKey) {
  const std::filesystem::path prefix = CompanionPrefix();
  const std::filesystem::path program = MapWindowsPath(prefix, windowsPath);
  StartInPrefixOrReport(program.string(), {}, program.parent_path(), prefix, LookupMessage(failureKey));
}

void TLauncher::MenuLOTATCClientClick() { StartLotatc(m_lotatcClientPath, "LOTATCClient"); }
void TLauncher::MenuLOTATCServerClick() { StartLotatc(m_lotatcServerPath, "LOTATCServer"); }

void TLauncher::dxButtonLotatcNetClick() {
  const std::string address = LotatcNetAddress();
  if (address.empty()) return m_with.dialogs.Error(LookupMessage("LoTATCNetStartError"));
  StartInPrefixOrReport("rundll32.exe", {"dfshim.dll,ShOpenVerbApplication", address}, {}, CompanionPrefix(),
                        LookupMessage("LoTATCNetStartError"));
}

void TLauncher::DeleteTrackIrIni() {
  if (!m_with.optionOn(OptionToggle::DeleteTrackIrIni)) return;
  const std::filesystem::path file = GamePath(m_with.gameFolder, "Input\\trackir.ini");
  std::error_code ignored;  // a file that stays is no reason to keep the game from starting
  if (std::filesystem::is_regular_file(file, ignored)) std::filesystem::remove(file, ignored);
}

bool TLauncher::ConfirmTrackIR() {
  // opentrack is what players on Linux run in TrackIR's place; the game sees it as TrackIR.
  if (!m_with.optionOn(OptionToggle::CheckTrackIR) || FindProcess("TrackIR") || FindProcess("opentrack"))
    return true;
  return m_with.dialogs.ShowMessage(MessageKind::Warning, LookupMessage("TrackIRNotStarted"),
                                    MessageButtons::YesNo) == DialogAnswer::Yes;
}

}  // namespace kesta
