// Starting the game alone, as a server or as a client joining a server, and the tray's join entries.

#include <QAction>
#include <QMenu>

#include "documents/network_document.h"
#include "launch/command_lines.h"
#include "platform/code_page.h"
#include "platform/game_paths.h"
#include "platform/processes.h"
#include "platform/wine_registry.h"
#include "platform/wine_start.h"
#include "sets/game_file_set.h"
#include "ui/dialog_service.h"
#include "ui/game_text.h"
#include "ui/main_window.h"

namespace kesta {

namespace {

std::string Utf8(const std::string& gameBytes) { return GameText().ToUtf8(gameBytes); }

}  // namespace

std::filesystem::path TFrmKESTA::GamePrefix() const {
  return PrefixHolding(m_gameFolder).value_or(WineRegistry::DefaultPrefix());
}

bool TFrmKESTA::StartUnderWineOrReport(const std::string& program, const std::vector<std::string>& arguments,
                                       const std::filesystem::path& workingFolder,
                                       const std::filesystem::path& prefix, const QString& failureTitle) {
  const WineStartOutcome outcome = StartUnderWine(program, arguments, workingFolder, prefix);
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
  m_dialogs->Error(failureTitle.isEmpty() ? detail : failureTitle + "\n\n" + detail);
  return false;
}

void TFrmKESTA::StartLockOn(const std::string& parameters) {
  DeleteTrackIrIni();
  if (!ConfirmTrackIR()) return;
  const std::filesystem::path folder = GamePath(m_gameFolder, "");
  StartUnderWineOrReport(GamePath(m_gameFolder, "LockOn.exe").string(), SplitParameters(parameters), folder,
                         GamePrefix(), {});
}

void TFrmKESTA::MenuPlayClick() { StartLockOn(""); }

void TFrmKESTA::MenuSysTrayCreateServerClick() {
  const NetworkDocument& network = m_gameFiles->Get<NetworkDocument>();
  if (network.playerName.empty()) return m_dialogs->Error(LookupMessage("PlayerNameEmpty"));
  if (network.maxPlayers.empty()) return m_dialogs->Error(LookupMessage("MaxPlayersEmpty"));
  StartLockOn(ServerParameters(Utf8(network.playerName), Utf8(network.serverName), Utf8(ServerRoomPassword()),
                               Utf8(network.maxPlayers)));
}

void TFrmKESTA::MenuJoinIPClick() {
  const QString ip = LookupMessage("IP");
  const std::optional<QString> address = m_dialogs->InputText(ip, ip, QString());
  if (address && !address->isEmpty()) JoinServer(*address);
}

void TFrmKESTA::JoinClick(const QAction* item) { JoinServer(item->data().toString()); }

void TFrmKESTA::JoinServer(const QString& address) {
  const NetworkDocument& network = m_gameFiles->Get<NetworkDocument>();
  if (network.playerName.empty()) return m_dialogs->Error(LookupMessage("PlayerNameEmpty"));
  const std::optional<QString> password =
      m_dialogs->InputText(LookupMessage("Password"), LookupMessage("PasswordEmpty"), QString());
  if (!password) return;
  StartLockOn(ClientParameters(address.toStdString(), Utf8(network.playerName), password->toStdString()));
}

void TFrmKESTA::FillTrayJoinMenu() {
  const QList<QAction*> items = m_menuSysTrayJoin->actions();
  for (qsizetype i = 2; i < items.size(); ++i) {
    m_menuSysTrayJoin->removeAction(items[i]);
    delete items[i];
  }
  const NetworkDocument* network = m_gameFiles->Find<NetworkDocument>();
  if (!network) return;  // a stand-in document of another type (tests)
  for (const std::string& entry : network->servers) {
    const QString text = FromGameText(entry);
    // "&" in a caption marks a keyboard key; the entry is shown as written.
    QAction* item = m_menuSysTrayJoin->addAction(QString(text).replace('&', "&&"));
    item->setData(text);
    connect(item, &QAction::triggered, this, [this, item] { JoinClick(item); });
  }
}

bool TFrmKESTA::ConfirmApplyWhileGameRuns() {
  if (!FindProcessInPrefix("LockOn", GamePrefix())) return true;
  return m_dialogs->ShowMessage(MessageKind::Warning, LookupMessage("GameRunningApply"),
                                MessageButtons::YesNo) == DialogAnswer::Yes;
}

}  // namespace kesta
