// The backup page: one file chosen from the catalogue, loaded from the game, from its default copy or
// from any file, or saved into any file. Built on its first visit, like the file pages.

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QToolButton>
#include <optional>

#include "pages/game_page.h"
#include "platform/game_paths.h"
#include "sets/backup_page.h"
#include "sets/game_file_set.h"
#include "settings/settings_file.h"
#include "ui/dialog_service.h"
#include "ui/group_box.h"
#include "ui/main_window.h"
#include "ui/ribbon_icons.h"

namespace kesta {

namespace {

// The files of the list, in list order (the export configuration is not offered), with the page that
// shows a file's values after a load.
constexpr std::pair<std::string_view, const char*> kBackupFiles[] = {
    {"Graphics", "dxButtonGraphicsStandard"},
    {"Cockpit", "dxButtonGraphicsCockpit"},
    {"Network", "dxButtonMultiClient"},
    {"Stats", "dxButtonMultiClient"},
    {"Server", "dxButtonMultiServer"},
    {"View", "dxButtonView"},
    {"SnapView", "dxButtonView"},
    {"Producer", "dxButtonOther"},
    {"World", "dxButtonOther"},
    {"Drawinfo", "dxButtonSmokeColor"},
    {"MECustom", "dxButtonRealism"},
};

enum class BackupCommand { LoadFromGame, LoadDefault, LoadFromFile, SaveToFile };

struct CommandButton {
  const char* name;
  BackupCommand command;
};
constexpr CommandButton kCommands[] = {{"SpeedButtonLoadLockonSettings", BackupCommand::LoadFromGame},
                                       {"SpeedButtonLoadDefault", BackupCommand::LoadDefault},
                                       {"SpeedButtonLoadFromFile", BackupCommand::LoadFromFile},
                                       {"SpeedButtonSaveToFile", BackupCommand::SaveToFile}};

// "Config\\network\\config.lua" -> "config.lua"
std::string FileNameOf(const std::string& catalogPath) {
  const size_t slash = catalogPath.find_last_of("\\/");
  return slash == std::string::npos ? catalogPath : catalogPath.substr(slash + 1);
}

class TBackupPage final : public TGamePage {
 public:
  TBackupPage(TFrmKESTA& window, TTabSheet* sheet) : TGamePage(window, sheet) {
    auto* group = new TGroupBox("GroupBoxBackup", this);
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(8);

    m_comboBoxBackup = new QComboBox(group);
    m_comboBoxBackup->setObjectName("ComboBoxBackup");
    for (const auto& [key, pageButton] : kBackupFiles)
      m_comboBoxBackup->addItem(QString::fromStdString(window.GameFiles().CatalogPath(key)));
    connect(m_comboBoxBackup, &QComboBox::activated, this, [this] { ComboBoxBackupChange(); });
    grid->addWidget(m_comboBoxBackup, 0, 0, 1, 2);
    m_labelBackupInfo = new QLabel(group);
    m_labelBackupInfo->setObjectName("LabelBackupInfo");
    m_labelBackupInfo->setWordWrap(true);
    m_labelBackupInfo->setMinimumHeight(48);
    m_labelBackupInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(m_labelBackupInfo, 1, 0, 1, 2);

    // Two rows of two: each command with its words, so nobody has to guess from an icon.
    for (int i = 0; i < 4; ++i) {
      auto* button = new QToolButton(group);
      button->setObjectName(kCommands[i].name);
      button->setIcon(RibbonIcon(kCommands[i].name));
      button->setIconSize(QSize(16, 16));
      button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
      button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
      const BackupCommand command = kCommands[i].command;
      connect(button, &QToolButton::clicked, this,
              [this, command] { SpeedButtonLoadLockonSettingsClick(command); });
      grid->addWidget(button, 2 + i / 2, i % 2);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    layout()->addWidget(group);
  }

 private:
  // The list's explanation is a message of the language; it follows a change of language.
  void Fill() override { ComboBoxBackupChange(); }

  void ComboBoxBackupChange() {
    m_labelBackupInfo->setText(m_window.LookupMessage(m_comboBoxBackup->currentText()));
  }

  void SpeedButtonLoadLockonSettingsClick(BackupCommand command) {
    const std::string relativePath = m_comboBoxBackup->currentText().toStdString();
    TGameFileSet& files = m_window.GameFiles();
    const auto file = std::find_if(std::begin(kBackupFiles), std::end(kBackupFiles), [&](const auto& entry) {
      return files.CatalogPath(entry.first) == relativePath;
    });
    if (file == std::end(kBackupFiles)) return;

    const std::string extension =
        std::filesystem::path(WindowsToNativeSeparators(relativePath)).extension().string();
    FileDialogRequest request;
    const std::string backupPath = m_window.Settings().ReadSetting("Config", "BackupPath");
    request.folder =
        QString::fromStdString(backupPath.empty() ? m_window.Folder().Backups().string() : backupPath);
    const QString bare = QString::fromStdString(extension.empty() ? extension : extension.substr(1));
    request.filter = m_window.LookupMessage("File") + " " + bare + " (*" + QString::fromStdString(extension) +
                     ")|*" + QString::fromStdString(extension);
    request.defaultExtension = bare;

    std::filesystem::path source;
    switch (command) {
      case BackupCommand::LoadFromGame:
        source = m_window.GamePathOf(file->first);
        break;
      // The default copies keep the letter case of the game's own names ("Config.lua" for "config.lua").
      case BackupCommand::LoadDefault:
        source = ResolveCaseInsensitive(m_window.Folder().Defaults() / FileNameOf(relativePath));
        break;
      case BackupCommand::LoadFromFile: {
        const auto chosen = m_window.Dialogs().OpenFileName(request);
        if (!chosen || chosen->isEmpty()) return;
        source = chosen->toStdString();
        break;
      }
      case BackupCommand::SaveToFile: {
        request.fileName = QString::fromStdString(FileNameOf(relativePath));
        const auto chosen = m_window.Dialogs().SaveFileName(request);
        if (!chosen || chosen->isEmpty()) return;
        if (!files.Apply(file->first, chosen->toStdString())) return;  // reported, nothing saved
        m_window.EnableApplyCancel(false, false);
        m_window.ShowStatusMessage(m_window.LookupMessage("Saved"));
        return;
      }
    }
    // Only a file whose values were read is shown and reported as loaded.
    if (!files.Load(file->first, source)) return;
    m_window.PageButtonClick(m_window.RibbonButton(file->second));
    m_window.EnableApplyCancel(false, false);
    m_window.ShowStatusMessage(m_window.LookupMessage("Loaded"));
  }

  QComboBox* m_comboBoxBackup = nullptr;
  QLabel* m_labelBackupInfo = nullptr;
};

}  // namespace

TGamePage* MakeBackupPage(TFrmKESTA& window, TTabSheet* sheet) { return new TBackupPage(window, sheet); }

}  // namespace kesta
