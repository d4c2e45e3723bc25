// What the window does around config.lua and server.lua beyond showing their values: the tray's join
// entries follow the server list, loaded or edited, and the F4 window edits the rear camera.

#include "documents/server_document.h"
#include "pages/multiplayer/f4_view_window.h"
#include "sets/game_file_set.h"
#include "ui/main_window.h"

namespace kesta {

void TFrmKESTA::ConnectMultiplayerFileLoads() {
  m_gameFiles->SetLoadedHook("Network",
                             [this](GameDocument&, const GameDocument&) { m_gameFiles->ServerListChanged(); });
  m_gameFiles->SetServerListChangedHook([this] { RebuildJoinMenu(); });
}

void TFrmKESTA::ButtonF4ViewClick() {
  ServerDocument* server = m_gameFiles->Find<ServerDocument>();
  if (!server) return;
  if (OpenF4View(this, Dialogs(), LookupMessage("F4ViewOk"), LookupMessage("F4ViewCancel"), server->f4ViewX,
                 server->f4ViewY, server->f4ViewZ, Folder().Images()))
    EnableApplyCancel(true, true);
}

}  // namespace kesta
