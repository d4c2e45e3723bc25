// The program-wide Apply and Cancel, the modified state, and the file commands of the backup page.

#include <QComboBox>
#include <QLabel>
#include <QToolButton>

#include "platform/game_paths.h"
#include "sets/game_file_set.h"
#include "ui/dialog_service.h"
#include "ui/main_window.h"
#include "ui/ribbon.h"
#include "ui/ribbon_layout.h"

namespace kesta {

namespace {

// The page that shows a file's values after a load from the backup page.
constexpr std::pair<std::string_view, const char*> kPageButtonOfFile[] = {
    {"Graphics", "dxButtonGraphicsStandard"}, {"Cockpit", "dxButtonGraphicsCockpit"},
    {"Network", "dxButtonMultiClient"},       {"Stats", "dxButtonMultiClient"},
    {"Server", "dxButtonMultiServer"},        {"View", "dxButtonView"},
    {"SnapView", "dxButtonView"},             {"Producer", "dxButtonOther"},
    {"World", "dxButtonOther"},               {"Drawinfo", "dxButtonSmokeColor"},
    {"MECustom", "dxButtonRealism"},
};

enum class BackupCommand { LoadFromGame, LoadDefault, LoadFromFile, SaveToFile };

std::optional<BackupCommand> BackupCommandOf(const QString& name) {
  if (name == "SpeedButtonLoadLockonSettings") return BackupCommand::LoadFromGame;
  if (name == "SpeedButtonLoadDefault") return BackupCommand::LoadDefault;
  if (name == "SpeedButtonLoadFromFile") return BackupCommand::LoadFromFile;
  if (name == "SpeedButtonSaveToFile") return BackupCommand::SaveToFile;
  return std::nullopt;
}

// "Config\\network\\config.lua" → "config.lua"
std::string FileNameOf(const std::string& catalogPath) {
  const size_t slash = catalogPath.find_last_of("\\/");
  return slash == std::string::npos ? catalogPath : catalogPath.substr(slash + 1);
}

}  // namespace

void TFrmKESTA::EnableApplyCancel(bool apply, bool cancel) {
  for (TRibbonButton* button : m_layout->applyButtons) button->setEnabled(apply);
  for (TRibbonButton* button : m_layout->cancelButtons) button->setEnabled(cancel);
}

bool TFrmKESTA::ApplyEnabled() const { return m_layout->applyButtons.front()->isEnabled(); }
bool TFrmKESTA::CancelEnabled() const { return m_layout->cancelButtons.front()->isEnabled(); }

void TFrmKESTA::dxButtonApplyClick() {
  RunWithHourglass([this] {
    bool allWritten = true;
    for (std::string_view key : WholeSetOrder()) allWritten &= m_gameFiles->Apply(key, GamePathOf(key));
    // A file that was not written keeps the pages marked modified, so the edits are not lost from view.
    if (!allWritten) return;
    ShowStatusMessage(LookupMessage("Applyed"));
    EnableApplyCancel(false, false);
  });
}

void TFrmKESTA::dxButtonCancelClick() {
  RunWithHourglass([this] {
    for (std::string_view key : WholeSetOrder())
      if (const auto path = m_gameFiles->RememberedPath(key)) m_gameFiles->Load(key, *path);
    EnableApplyCancel(false, false);
  });
}

void TFrmKESTA::ComboBoxBackupChange() {
  for (QToolButton* button : m_backupButtons) button->setVisible(true);
  m_labelBackupInfo->setText(LookupMessage(m_comboBoxBackup->currentText()));
}

void TFrmKESTA::SpeedButtonLoadLockonSettingsClick(QObject* sender) {
  const auto command = BackupCommandOf(sender->objectName());
  if (!command) return;
  const std::string relativePath = m_comboBoxBackup->currentText().toStdString();
  const auto file = std::find_if(std::begin(kPageButtonOfFile), std::end(kPageButtonOfFile),
                                 [&](const auto& entry) { return m_gameFiles->CatalogPath(entry.first) == relativePath; });
  if (file == std::end(kPageButtonOfFile)) return;

  const std::string extension = std::filesystem::path(WindowsToNativeSeparators(relativePath)).extension().string();
  FileDialogRequest request;
  const std::string backupPath = m_settings.ReadSetting("Config", "BackupPath");
  request.folder = QString::fromStdString(backupPath.empty() ? Folder().Backups().string() : backupPath);
  const QString bare = QString::fromStdString(extension.empty() ? extension : extension.substr(1));
  request.filter = LookupMessage("File") + " " + bare + " (*" + QString::fromStdString(extension) + ")|*" +
                   QString::fromStdString(extension);
  request.defaultExtension = bare;

  std::filesystem::path source;
  switch (*command) {
    case BackupCommand::LoadFromGame: source = GamePathOf(file->first); break;
    // The default copies keep the letter case of the game's own names ("Config.lua" for "config.lua").
    case BackupCommand::LoadDefault: source = ResolveCaseInsensitive(Folder().Defaults() / FileNameOf(relativePath)); break;
    case BackupCommand::LoadFromFile: {
      const auto chosen = m_dialogs->OpenFileName(request);
      if (!chosen || chosen->isEmpty()) return;
      source = chosen->toStdString();
      break;
    }
    case BackupCommand::SaveToFile: {
      request.fileName = QString::fromStdString(FileNameOf(relativePath));
      const auto chosen = m_dialogs->SaveFileName(request);
      if (!chosen || chosen->isEmpty()) return;
      m_gameFiles->Apply(file->first, chosen->toStdString());
      EnableApplyCancel(false, false);
      ShowStatusMessage(LookupMessage("Saved"));
      return;
    }
  }
  m_gameFiles->Load(file->first, source);
  PageButtonClick(RibbonButton(file->second));
  EnableApplyCancel(false, false);
  ShowStatusMessage(LookupMessage("Loaded"));
}

}  // namespace kesta
