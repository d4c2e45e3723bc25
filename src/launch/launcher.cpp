#include "launch/launcher.h"

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

}  // namespace

TLauncher::TLauncher(Collaborators collaborators) : m_with(std::move(collaborators)) {}

std::filesystem::path TLauncher::GamePrefix() const {
  return PrefixHolding(m_with.gameFolder).value_or(WineRegistry::DefaultPrefix());
}

bool TLauncher::StartUnderWineOrReport(const std::string& program, const std::vector<std::string>& arguments,
                                       const std::filesystem::path& workingFolder,
                                       const std::filesystem::path& prefix, const QString& failureTitle) {
  const WineStartOutcome outcome = m_with.start(program, arguments, workingFolder, prefix);
  QString detail;
  switch (outcome) {
    case WineStartOutcome::Started:
      return true;
    case WineStartOutcome::WineMissing:
      detail = LookupMessage("WineNotFound").arg(QString::fromStdString(WineCommand()));
      break;
    case WineStartOutcome::ProgramMissing:
      detail = LookupMessage("ProgramNotFound").arg(QString::fromStdString(program));
      break;
    case WineStartOutcome::Refused:
      detail = LookupMessage("ProgramStartFailed").arg(QString::fromStdString(program));
      break;
  }
  m_with.dialogs.Error(failureTitle.isEmpty() ? detail : failureTitle + "\n\n" + detail);
  return false;
}

void TLauncher::StartLockOn(const std::string& parameters) {
  DeleteTrackIrIni();
  if (!ConfirmTrackIR()) return;
  const std::filesystem::path folder = GamePath(m_with.gameFolder, "");
  StartUnderWineOrReport(GamePath(m_with.gameFolder, "LockOn.exe").string(), SplitParameters(parameters),
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
  StartUnderWineOrReport(program.string(), {}, program.parent_path(), prefix, LookupMessage(failureKey));
}

void TLauncher::MenuLOTATCClientClick() { StartLotatc(m_lotatcClientPath, "LOTATCClient"); }
void TLauncher::MenuLOTATCServerClick() { StartLotatc(m_lotatcServerPath, "LOTATCServer"); }

void TLauncher::dxButtonLotatcNetClick() {
  const std::string address = LotatcNetAddress();
  if (address.empty()) return m_with.dialogs.Error(LookupMessage("LoTATCNetStartError"));
  StartUnderWineOrReport("rundll32.exe", {"dfshim.dll,ShOpenVerbApplication", address}, {}, CompanionPrefix(),
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
