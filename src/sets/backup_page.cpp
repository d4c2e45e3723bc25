// The backup page: one file chosen from the catalogue, loaded from the game, from its default copy or
// from any file, or saved into any file; below, a time-stamped copy of every game file and a copy of
// the game's Input folder. Built on its first visit, like the file pages.

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStringList>
#include <QToolButton>
#include <optional>

#include "pages/game_page.h"
#include "platform/game_paths.h"
#include "sets/backup_page.h"
#include "sets/backups.h"
#include "sets/game_file_set.h"
#include "settings/settings_file.h"
#include "ui/dialog_service.h"
#include "ui/group_box.h"
#include "ui/hourglass.h"
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

QString Native(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

QString FailureLine(const TFrmKESTA& window, const BackupFailure& failure) {
  if (failure.missing) return Native(failure.source) + ": " + window.LookupMessage("BackupSourceMissing");
  return Native(failure.source) + ": " + QString::fromStdString(failure.reason);
}

// The copies made, where they are, then what could not be copied and why.
void ShowBackupReport(TFrmKESTA& window, const std::filesystem::path& folder, const BackupReport& report) {
  QStringList parts;
  if (!report.made.empty()) {
    QStringList made;
    for (const std::filesystem::path& source : report.made) made << Native(source);
    parts << window.LookupMessage("AutomaticBackupMessage") << made.join('\n')
          << window.LookupMessage("AutomaticBackupMessagePath") << Native(std::filesystem::absolute(folder));
  }
  if (!report.folderFailure.empty())
    parts << window.LookupMessage("BackupFolderFailed") << QString::fromStdString(report.folderFailure);
  if (!report.failed.empty()) {
    QStringList failed;
    for (const BackupFailure& failure : report.failed) failed << FailureLine(window, failure);
    parts << window.LookupMessage("BackupFailed") << failed.join('\n');
  }
  const bool allMade = report.failed.empty() && report.folderFailure.empty();
  const MessageKind kind = allMade               ? MessageKind::Information
                           : report.made.empty() ? MessageKind::Error
                                                 : MessageKind::Warning;
  window.Dialogs().ShowMessage(kind, parts.join("\n\n"), MessageButtons::Ok);
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

    // One below the other, each command with its words, so nobody has to guess from an icon: two side by
    // side cut the longer French and Spanish captions.
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
      grid->addWidget(button, 2 + i, 0, 1, 2);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    layout()->addWidget(group);
    BuildBackupGroups();
  }

 private:
  void BuildBackupGroups() {
    auto* automatic = new TGroupBox("GroupBoxAutomaticBackup", this);
    auto* automaticLayout = new QHBoxLayout(automatic);
    auto* buttonAutomaticBackup = MakeButton("ButtonAutomaticBackup", automatic);
    connect(buttonAutomaticBackup, &QToolButton::clicked, this, [this] { ButtonAutomaticBackupClick(); });
    automaticLayout->addWidget(buttonAutomaticBackup);
    layout()->addWidget(automatic);

    auto* input = new TGroupBox("GroupBoxBackupInput", this);
    auto* grid = new QGridLayout(input);
    grid->setHorizontalSpacing(10);
    auto* image2 = new QLabel(input);
    image2->setObjectName("Image2");
    image2->setPixmap(RibbonIcon("dxButtonMouseView").pixmap(32, 32));
    image2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    grid->addWidget(image2, 0, 0, 2, 1);
    // Read-only, but the folder's path can be selected and copied.
    m_memoInputSaveInfo = new QLabel(input);
    m_memoInputSaveInfo->setObjectName("MemoInputSaveInfo");
    m_memoInputSaveInfo->setWordWrap(true);
    m_memoInputSaveInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_memoInputSaveInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(m_memoInputSaveInfo, 0, 1);
    m_buttonBackupInput = MakeButton("ButtonBackupInput", input);
    connect(m_buttonBackupInput, &QToolButton::clicked, this, [this] { ButtonBackupInputClick(); });
    grid->addWidget(m_buttonBackupInput, 1, 1);
    grid->setColumnStretch(1, 1);
    layout()->addWidget(input);
  }

  static QToolButton* MakeButton(const char* name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(RibbonIcon("dxButtonBackup"));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
  }

  std::filesystem::path InputFolder() const { return GamePath(m_window.GameFolder(), "Input"); }

  // The list's explanation and the Input folder's are messages of the language; they follow a change of
  // language.
  void Fill() override {
    ComboBoxBackupChange();
    m_memoInputSaveInfo->setText(m_window.LookupMessage("InputSaveInfo") + "\n" + Native(InputFolder()) +
                                 "/");
  }

  void ButtonAutomaticBackupClick() {
    const std::filesystem::path folder = m_window.Folder().Backups();
    BackupGameFilesAndReport(m_window, NewTimeStampedPrefix(folder, m_clock));
  }

  void ButtonBackupInputClick() {
    // The progress lets events through: no second copy may start meanwhile.
    m_buttonBackupInput->setEnabled(false);
    const std::filesystem::path target = NewInputBackupFolder(m_window.Folder().Backups(), m_clock);
    FolderCopy copy;
    RunWithHourglass([&] {
      std::unique_ptr<ProgressDisplay> progress;
      copy = CopyFolder(InputFolder(), target, [&](int done, int total) {
        if (!progress)
          progress = m_window.Dialogs().ShowProgress(m_window.LookupMessage("InputSaveCopying"), total);
        progress->SetProgress(done);
      });
    });
    m_buttonBackupInput->setEnabled(true);
    if (!copy.failure) {
      m_window.Dialogs().Information(m_window.LookupMessage("InputSaveOk") + "\n" + Native(target));
      return;
    }
    QString text =
        m_window.LookupMessage("InputSaveError") + "\n\n" + FailureLine(m_window, *copy.failure) + "\n\n";
    if (copy.leftOver.empty())
      text += m_window.LookupMessage("InputSaveNothingKept");
    else
      text += m_window.LookupMessage("InputSavePartialLeft") + "\n" + Native(copy.leftOver);
    m_window.Dialogs().Error(text);
  }

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
  QLabel* m_memoInputSaveInfo = nullptr;
  QToolButton* m_buttonBackupInput = nullptr;
  SystemBackupClock m_clock;
};

}  // namespace

TGamePage* MakeBackupPage(TFrmKESTA& window, TTabSheet* sheet) { return new TBackupPage(window, sheet); }

void BackupGameFilesAndReport(TFrmKESTA& window, std::string_view prefix) {
  const std::filesystem::path folder = window.Folder().Backups();
  const BackupReport report =
      BackupGameFiles(folder, prefix, [&window](std::string_view key) { return window.GamePathOf(key); });
  if (!report.Empty()) ShowBackupReport(window, folder, report);
}

}  // namespace kesta
