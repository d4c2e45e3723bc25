// What the window does around config.lua beyond showing its values: the tray's join entries follow the
// server list, loaded or edited.

#include "app/tray_and_options.h"
#include "sets/game_file_set.h"
#include "ui/main_window.h"

namespace kesta {

void TFrmKESTA::ConnectMultiplayerFileLoads() {
  m_gameFiles->SetLoadedHook(
      "Network", [this](GameDocument&, const GameDocument&) { m_gameFiles->ServerListChanged(); });
  m_gameFiles->SetServerListChangedHook([this] { m_tray->RebuildJoinMenu(); });
}

}  // namespace kesta
