// The window's commands, each declared once with the places it appears and its handler.

#include <QAction>
#include <QMenu>

#include "app/tray_and_options.h"
#include "launch/launcher.h"
#include "sets/configuration_commands.h"
#include "ui/about_window.h"
#include "ui/appearance.h"
#include "ui/command_table.h"
#include "ui/main_window.h"
#include "ui/ribbon_button.h"
#include "ui/ribbon_layout.h"
#include "ui/setting_finder.h"

namespace kesta {

void TFrmKESTA::ConnectCommands() {
  m_commands = std::make_unique<TCommandTable>(this);
  const auto buttons = [this](std::initializer_list<const char*> names) {
    QList<QPointer<TRibbonButton>> found;
    for (const char* name : names) found.append(RibbonButton(name));
    return found;
  };
  const auto items = [this](std::initializer_list<const char*> names) {
    QList<QPointer<QAction>> found;
    for (const char* name : names) found.append(m_tray->PopupDroit()->findChild<QAction*>(name));
    return found;
  };
  const auto all = [](const QList<TRibbonButton*>& copies) {
    return QList<QPointer<TRibbonButton>>(copies.begin(), copies.end());
  };
  const auto handler = [this](void (TFrmKESTA::*method)()) { return [this, method] { (this->*method)(); }; };
  const auto launch = [this](void (TLauncher::*method)()) {
    return [this, method] { (m_launcher.get()->*method)(); };
  };
  const auto look = [this](void (TAppearance::*method)()) {
    return [this, method] { (m_appearance.get()->*method)(); };
  };
  const auto configuration = [this](void (TConfigurationCommands::*method)()) {
    return [this, method] { (m_configuration.get()->*method)(); };
  };

  // Apply writes the edits to the game's files: it takes the key of saving; Save Config writes them to
  // a file of the player's choice, as Save As does.
  const TCommand commands[] = {
      {command::kApply,
       configuration(&TConfigurationCommands::dxButtonApplyClick),
       all(m_layout->applyButtons),
       {},
       QKeySequence(Qt::CTRL | Qt::Key_S)},
      {command::kCancel,
       configuration(&TConfigurationCommands::dxButtonCancelClick),
       all(m_layout->cancelButtons),
       {},
       QKeySequence(Qt::CTRL | Qt::Key_R)},
      {command::kOpenConfig,
       configuration(&TConfigurationCommands::dxButtonOpenConfigClick),
       buttons({"dxButtonOpenConfig"}),
       {},
       QKeySequence(Qt::CTRL | Qt::Key_O)},
      {command::kSaveConfig,
       configuration(&TConfigurationCommands::dxButtonSaveConfigClick),
       buttons({"dxButtonSaveConfig"}),
       {},
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
      {command::kPlay, launch(&TLauncher::MenuPlayClick), buttons({"dxButtonPlay"}),
       items({"MenuSysTrayPlay"}), QKeySequence(Qt::CTRL | Qt::Key_P)},
      {command::kCreateServer, launch(&TLauncher::MenuSysTrayCreateServerClick),
       buttons({"dxButtonOpenServer"}), items({"MenuSysTrayCreateServer"})},
      {command::kJoinServer, launch(&TLauncher::MenuJoinIPClick), buttons({"dxButtonJoinServer"}),
       items({"MenuSysTrayJoinIP"})},
      {command::kLotatcClient, launch(&TLauncher::MenuLOTATCClientClick), buttons({"dxButtonLotatcClient"}),
       items({"SeparateurLOTATC", "MenuSysTrayLOTATCClient"})},
      {command::kLotatcServer, launch(&TLauncher::MenuLOTATCServerClick), buttons({"dxButtonLotatcServer"}),
       items({"SeparateurLOTATC", "MenuSysTrayLOTATCServer"})},
      {command::kLotatcNet, launch(&TLauncher::dxButtonLotatcNetClick), buttons({"dxButtonLotatcNet"}),
       items({"SeparateurLOTATC", "MenuSysTrayLotatcNet"})},
      {command::kUpdate, [this] { CheckForUpdate(false); }, buttons({"dxButtonKESTAUpdate"}),
       items({"MenuCheckForUpdate"})},
      {command::kReportBug, [this] { m_about->MenuBugReportClick(); }, buttons({"dxButtonReportBug"}),
       items({"MenuBugReport"})},
      {command::kAbout, [this] { m_about->MenuAboutClick(); }, buttons({"dxButtonAbout"}),
       items({"MenuAbout"})},
      {command::kShowWindow, [this] { m_tray->RestoreFromTray(); }, {}, items({"MenuSysTrayShow"})},
      {command::kQuit, handler(&TFrmKESTA::BitBtnQuitClick), buttons({"dxButtonExit"}),
       items({"MenuSysTrayQuit"}), QKeySequence(Qt::CTRL | Qt::Key_Q)},
      {command::kThemeBlue, look(&TAppearance::dxButtonBlueStyleClick), buttons({"dxButtonThemesBlue"})},
      {command::kThemeSilver, look(&TAppearance::dxButtonGreyStyleClick), buttons({"dxButtonThemesSilver"})},
      {command::kThemeBlack, look(&TAppearance::dxButtonBlackStyleClick), buttons({"dxButtonThemesBlack"})},
      {command::kFormStyle, look(&TAppearance::dxButtonFormStyleClick), buttons({"dxButtonFormStyle"})},
      // Review changes: its Apply button is the window's Apply, offered while Apply is.
      {command::kReview,
       [this] {
         std::function<void()> apply;
         if (m_commands->Enabled(command::kApply)) apply = [this] { m_commands->Trigger(command::kApply); };
         m_configuration->dxButtonReviewClick(apply);
       },
       all(m_layout->reviewButtons),
       {},
       QKeySequence(Qt::CTRL | Qt::Key_D)},
      // Taking an Apply back. A text box with the focus takes Ctrl+Z for its own undo (Qt gives it the
      // key first), so the key reaches the files only from elsewhere.
      {command::kUndoApply,
       configuration(&TConfigurationCommands::dxButtonUndoApplyClick),
       buttons({"dxButtonUndoApply"}),
       {},
       QKeySequence(Qt::CTRL | Qt::Key_Z)},
      {command::kFindSetting, [this] { m_finder->FocusField(); }, {}, {}, QKeySequence::Find},
  };
  for (const TCommand& declared : commands) m_commands->Register(declared);
  // The companion commands stay hidden until start-up finds their programs.
  for (const QString& id : {command::kLotatcClient, command::kLotatcServer, command::kLotatcNet})
    m_commands->SetVisible(id, false);
}

}  // namespace kesta
