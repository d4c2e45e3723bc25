// The backup page: one file chosen from the catalogue, loaded from the game, from its default copy or
// from any file, or saved into any file; below, a time-stamped copy of every game file and a copy of
// the game's Input folder, and the history of Applies, any of which can be taken back. Built on its first
// visit, like the file pages.

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStringList>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>

#include "pages/game_page.h"
#include "pages/page_host.h"
#include "platform/game_paths.h"
#include "sets/apply_journal.h"
#include "sets/backup_page.h"
#include "sets/backups.h"
#include "sets/game_file_set.h"
#include "settings/program_folder.h"
#include "ui/dialog_service.h"
#include "ui/group_box.h"
#include "ui/hourglass.h"
#include "ui/ribbon_icons.h"

namespace kesta {

namespace {

// The files of the list, in list order (the export configuration is not offered), with the page that
// shows a file's values after a load.
constexpr std::pair<std::string_view, const char*> kBackupFiles[] = {
    {"Graphics", "TabSheetGraphicsStandards"},
    {"Cockpit", "TabSheetGraphicsCockpit"},
    {"Network", "TabSheetMultiplayerClient"},
    {"Stats", "TabSheetMultiplayerClient"},
    {"Server", "TabSheetMultiplayerServer"},
    {"View", "TabSheetViewCockpit"},
    {"SnapView", "TabSheetViewCockpit"},
    {"Producer", "TabSheetOther1"},
    {"World", "TabSheetOther1"},
    {"Drawinfo", "TabSheetSmokeColor"},
    {"MECustom", "TabSheetRealism"},
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

QString FailureLine(const TPageHost& host, const BackupFailure& failure) {
  if (failure.missing) return Native(failure.source) + ": " + host.LookupMessage("BackupSourceMissing");
  return Native(failure.source) + ": " + QString::fromStdString(failure.reason);
}

// The copies made, where they are, then what could not be copied and why.
void ShowBackupReport(TPageHost& host, const std::filesystem::path& folder, const BackupReport& report) {
  QStringList parts;
  if (!report.made.empty()) {
    QStringList made;
    for (const std::filesystem::path& source : report.made) made << Native(source);
    parts << host.LookupMessage("AutomaticBackupMessage") << made.join('\n')
          << host.LookupMessage("AutomaticBackupMessagePath") << Native(std::filesystem::absolute(folder));
  }
  if (!report.folderFailure.empty())
    parts << host.LookupMessage("BackupFolderFailed") << QString::fromStdString(report.folderFailure);
  if (!report.failed.empty()) {
    QStringList failed;
    for (const BackupFailure& failure : report.failed) failed << FailureLine(host, failure);
    parts << host.LookupMessage("BackupFailed") << failed.join('\n');
  }
  const bool allMade = report.failed.empty() && report.folderFailure.empty();
  const MessageKind kind = allMade               ? MessageKind::Information
                           : report.made.empty() ? MessageKind::Error
                                                 : MessageKind::Warning;
  host.Dialogs().ShowMessage(kind, parts.join("\n\n"), MessageButtons::Ok);
}

class TBackupPage final : public TGamePage {
 public:
  TBackupPage(TPageHost& host, TTabSheet* sheet) : TGamePage(host, sheet) {
    auto* group = new TGroupBox("GroupBoxBackup", this);
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(8);

    m_comboBoxBackup = new QComboBox(group);
    m_comboBoxBackup->setObjectName("ComboBoxBackup");
    for (const auto& [key, page] : kBackupFiles)
      m_comboBoxBackup->addItem(QString::fromStdString(host.GameFiles().CatalogPath(key)));
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
    BuildHistoryGroup();
  }

  // The journal's Applies, newest first: when, what made it, the files it wrote; the chosen one can be
  // taken back under the same rule as Undo last Apply. In a window of its own, opened from beside "Back up
  // now": the page has no room left for a list.
  void BuildHistoryGroup() {
    auto* open = MakeButton("ButtonApplyHistory", this);
    connect(open, &QToolButton::clicked, this, [this] { ButtonApplyHistoryClick(); });
    findChild<TGroupBox*>("GroupBoxAutomaticBackup")->layout()->addWidget(open);

    m_history = new QDialog(this);
    m_history->setObjectName("FormApplyHistory");
    m_history->resize(640, 300);
    auto* historyLayout = new QVBoxLayout(m_history);
    m_treeApplyHistory = new QTreeWidget(m_history);
    m_treeApplyHistory->setObjectName("TreeApplyHistory");
    m_treeApplyHistory->setColumnCount(3);
    m_treeApplyHistory->setRootIsDecorated(false);
    m_treeApplyHistory->setUniformRowHeights(true);
    m_treeApplyHistory->header()->setStretchLastSection(true);
    connect(m_treeApplyHistory, &QTreeWidget::itemSelectionChanged, this,
            [this] { m_buttonUndoChosenApply->setEnabled(m_treeApplyHistory->currentItem() != nullptr); });
    historyLayout->addWidget(m_treeApplyHistory);
    m_buttonUndoChosenApply = MakeButton("ButtonUndoChosenApply", m_history);
    m_buttonUndoChosenApply->setEnabled(false);
    connect(m_buttonUndoChosenApply, &QToolButton::clicked, this, [this] { ButtonUndoChosenApplyClick(); });
    historyLayout->addWidget(m_buttonUndoChosenApply);
  }

  void ButtonApplyHistoryClick() {
    FillHistory();
    m_history->show();
    m_history->raise();
  }

  void FillHistory() {
    m_treeApplyHistory->setHeaderLabels({m_host.LookupMessage("HistoryColumnTime"),
                                         m_host.LookupMessage("HistoryColumnCommand"),
                                         m_host.LookupMessage("HistoryColumnFiles")});
    m_history->setWindowTitle(m_host.LookupMessage("GroupBoxApplyHistory"));
    m_buttonUndoChosenApply->setText(m_host.LookupMessage("ButtonUndoChosenApply"));
    m_treeApplyHistory->clear();
    const std::filesystem::path game = m_host.GameFolder();
    for (const JournalEntry& entry : ApplyJournal(m_host.Folder().Journal()).History()) {
      QStringList names, paths;
      for (const JournalFile& file : entry.files) {
        // Within the game folder the path below it says enough; elsewhere the whole path.
        const std::filesystem::path below = file.path.lexically_relative(game);
        const bool inside = !game.empty() && !below.empty() && *below.begin() != "..";
        names << QString::fromStdString((inside ? below : file.path).string());
        paths << Native(file.path);
      }
      auto* item =
          new QTreeWidgetItem(m_treeApplyHistory, {QString::fromStdString(JournalTimeText(entry.time)),
                                                   QString::fromStdString(entry.command), names.join(", ")});
      item->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(entry.sequence));
      item->setToolTip(2, paths.join('\n'));
    }
    for (int column = 0; column < 2; ++column) m_treeApplyHistory->resizeColumnToContents(column);
    m_buttonUndoChosenApply->setEnabled(false);
  }

  void ButtonUndoChosenApplyClick() {
    const QTreeWidgetItem* chosen = m_treeApplyHistory->currentItem();
    if (!chosen) return;
    m_host.UndoApply(chosen->data(0, Qt::UserRole).toULongLong());
    FillHistory();
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

  std::filesystem::path InputFolder() const { return GamePath(m_host.GameFolder(), "Input"); }

  // The list's explanation and the Input folder's are messages of the language; they follow a change of
  // language.
  void Fill() override {
    ComboBoxBackupChange();
    m_memoInputSaveInfo->setText(m_host.LookupMessage("InputSaveInfo") + "\n" + Native(InputFolder()) + "/");
    FillHistory();
  }

  void ButtonAutomaticBackupClick() {
    const std::filesystem::path folder = m_host.Folder().Backups();
    BackupGameFilesAndReport(m_host, NewTimeStampedPrefix(folder, m_clock));
  }

  void ButtonBackupInputClick() {
    // The progress lets events through: no second copy may start meanwhile.
    m_buttonBackupInput->setEnabled(false);
    const std::filesystem::path target = NewInputBackupFolder(m_host.Folder().Backups(), m_clock);
    FolderCopy copy;
    RunWithHourglass([&] {
      std::unique_ptr<ProgressDisplay> progress;
      copy = CopyFolder(InputFolder(), target, [&](int done, int total) {
        if (!progress)
          progress = m_host.Dialogs().ShowProgress(m_host.LookupMessage("InputSaveCopying"), total);
        progress->SetProgress(done);
      });
    });
    m_buttonBackupInput->setEnabled(true);
    if (!copy.failure) {
      m_host.Dialogs().Information(m_host.LookupMessage("InputSaveOk") + "\n" + Native(target));
      return;
    }
    QString text =
        m_host.LookupMessage("InputSaveError") + "\n\n" + FailureLine(m_host, *copy.failure) + "\n\n";
    if (copy.leftOver.empty())
      text += m_host.LookupMessage("InputSaveNothingKept");
    else
      text += m_host.LookupMessage("InputSavePartialLeft") + "\n" + Native(copy.leftOver);
    m_host.Dialogs().Error(text);
  }

  void ComboBoxBackupChange() {
    m_labelBackupInfo->setText(m_host.LookupMessage(m_comboBoxBackup->currentText()));
  }

  void SpeedButtonLoadLockonSettingsClick(BackupCommand command) {
    const std::string relativePath = m_comboBoxBackup->currentText().toStdString();
    TGameFileSet& files = m_host.GameFiles();
    const auto file = std::find_if(std::begin(kBackupFiles), std::end(kBackupFiles), [&](const auto& entry) {
      return files.CatalogPath(entry.first) == relativePath;
    });
    if (file == std::end(kBackupFiles)) return;

    const std::string extension =
        std::filesystem::path(WindowsToNativeSeparators(relativePath)).extension().string();
    FileDialogRequest request;
    const std::string backupPath = m_host.ReadSetting("Config", "BackupPath");
    request.folder =
        QString::fromStdString(backupPath.empty() ? m_host.Folder().Backups().string() : backupPath);
    const QString bare = QString::fromStdString(extension.empty() ? extension : extension.substr(1));
    request.filter = m_host.LookupMessage("File") + " " + bare + " (*" + QString::fromStdString(extension) +
                     ")|*" + QString::fromStdString(extension);
    request.defaultExtension = bare;

    std::filesystem::path source;
    switch (command) {
      case BackupCommand::LoadFromGame:
        source = m_host.GamePathOf(file->first);
        break;
      // The default copies keep the letter case of the game's own names ("Config.lua" for "config.lua").
      case BackupCommand::LoadDefault:
        source = ResolveCaseInsensitive(m_host.Folder().Defaults() / FileNameOf(relativePath));
        break;
      case BackupCommand::LoadFromFile: {
        const auto chosen = m_host.Dialogs().OpenFileName(request);
        if (!chosen || chosen->isEmpty()) return;
        source = chosen->toStdString();
        break;
      }
      case BackupCommand::SaveToFile: {
        request.fileName = QString::fromStdString(FileNameOf(relativePath));
        const auto chosen = m_host.Dialogs().SaveFileName(request);
        if (!chosen || chosen->isEmpty()) return;
        // reported, nothing saved
        if (!files.Apply(file->first, chosen->toStdString(), "save to file")) return;
        m_host.EnableApplyCancel(false, false);
        m_host.ShowStatusMessage(m_host.LookupMessage("Saved"));
        return;
      }
    }
    // Only a file whose values were read is shown and reported as loaded.
    if (!files.Load(file->first, source)) return;
    m_host.OpenPage(file->second, PageOpening::AsItsButton);
    m_host.EnableApplyCancel(false, false);
    m_host.ShowStatusMessage(m_host.LookupMessage("Loaded"));
  }

  QComboBox* m_comboBoxBackup = nullptr;
  QLabel* m_labelBackupInfo = nullptr;
  QLabel* m_memoInputSaveInfo = nullptr;
  QToolButton* m_buttonBackupInput = nullptr;
  QDialog* m_history = nullptr;
  QTreeWidget* m_treeApplyHistory = nullptr;
  QToolButton* m_buttonUndoChosenApply = nullptr;
  SystemBackupClock m_clock;
};

}  // namespace

TGamePage* MakeBackupPage(TPageHost& host, TTabSheet* sheet) { return new TBackupPage(host, sheet); }

void BackupGameFilesAndReport(TPageHost& host, std::string_view prefix) {
  const std::filesystem::path folder = host.Folder().Backups();
  const BackupReport report =
      BackupGameFiles(folder, prefix, [&host](std::string_view key) { return host.GamePathOf(key); });
  if (!report.Empty()) ShowBackupReport(host, folder, report);
}

}  // namespace kesta
