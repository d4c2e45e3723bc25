#include "sets/configuration_commands.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QScopedValueRollback>
#include <QWidget>
#include <QWindow>
#include <utility>

#include "documents/cockpit_document.h"
#include "documents/graphics_document.h"
#include "engine/failure.h"
#include "pages/graphics/graphics_pages.h"
#include "pages/graphics/graphics_pictures.h"
#include "pages/page_host.h"
#include "platform/file_times.h"
#include "sets/apply_journal.h"
#include "sets/change_preview.h"
#include "sets/game_file_set.h"
#include "sets/saved_configuration.h"
#include "sets/whole_set.h"
#include "settings/program_folder.h"
#include "settings/settings_file.h"
#include "ui/application_menu.h"
#include "ui/command_table.h"
#include "ui/dialog_service.h"
#include "ui/hourglass.h"
#include "ui/review_window.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

// One path, or one "PATH: reason", a line: the file lists of the journal's reports.
QString LineList(const std::vector<fs::path>& paths) {
  QStringList lines;
  for (const fs::path& path : paths) lines << QString::fromStdString(path.string());
  return lines.join('\n');
}
QString LineList(const std::vector<std::string>& texts) {
  QStringList lines;
  for (const std::string& text : texts) lines << QString::fromStdString(text);
  return lines.join('\n');
}

// Tells the player's returns from another program apart from the focus coming back from a box of ours.
// Closing a box that holds the focus can make the application inactive and active again (X11 does, at
// once or after its focus delay): taken for a return, the question just answered would be asked anew.
class TReturnWatch : public QObject {
 public:
  TReturnWatch(const QWidget* frame, std::function<void()> returned)
      : m_frame(frame), m_returned(std::move(returned)) {
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &TReturnWatch::StateChanged);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const auto type = event->type();
    if ((type == QEvent::Hide || type == QEvent::WindowDeactivate) && watched->isWidgetType()) {
      const auto* closed = static_cast<const QWidget*>(watched);
      // Hidden while it holds the focus, or losing it because it is being hidden: depending on the
      // platform, Qt gives the focus back to the window under it before or after the hide.
      const bool heldFocus =
          type == QEvent::WindowDeactivate
              ? closed->isHidden()
              : closed->windowHandle() && closed->windowHandle() == QGuiApplication::focusWindow();
      if (closed != m_frame && closed->isWindow() && heldFocus) m_ownWindowClosed.start();
    }
    return false;
  }

 private:
  // Longer than X11's wait for the focus to come back before it reports the application inactive.
  static constexpr qint64 kOwnCloseMilliseconds = 1000;

  void StateChanged(Qt::ApplicationState state) {
    if (state == Qt::ApplicationInactive) {
      m_leftForOwnWindow =
          m_ownWindowClosed.isValid() && !m_ownWindowClosed.hasExpired(kOwnCloseMilliseconds);
    } else if (state == Qt::ApplicationActive) {
      // Queued: the check's boxes must not open inside Qt's own handling of the activation, where
      // closing them is what makes the application inactive and active again.
      if (!std::exchange(m_leftForOwnWindow, false))
        QMetaObject::invokeMethod(this, m_returned, Qt::QueuedConnection);
    }
  }

  const QWidget* m_frame;
  std::function<void()> m_returned;
  QElapsedTimer m_ownWindowClosed;  // when a window of ours that held the focus last closed
  bool m_leftForOwnWindow = false;  // the application's last deactivation was that closing
};

// The pictures the standards page shows for the values that changed, in the order of the file.
std::vector<std::string> ChangedStandardsPictures(const GraphicsDocument& before,
                                                  const GraphicsDocument& after) {
  std::vector<std::string> pictures;
  const int GraphicsDocument::*sliders[] = {
      &GraphicsDocument::textureLevel, &GraphicsDocument::precaching,  &GraphicsDocument::waterQuality,
      &GraphicsDocument::fogQuality,   &GraphicsDocument::lightsLevel, &GraphicsDocument::effectOptions};
  for (size_t i = 0; i < std::size(sliders); ++i)
    if (before.*sliders[i] != after.*sliders[i])
      pictures.push_back(StandardsSliderPicture(i, after.*sliders[i]));
  if (before.exhaust != after.exhaust) pictures.push_back(ExhaustPicture(after.exhaust));
  if (before.shadowLevel != after.shadowLevel)
    pictures.push_back(StandardsSliderPicture(6, after.shadowLevel));
  if (before.shadowDensity != after.shadowDensity)
    pictures.push_back(ShadowDensityPicture(after.shadowDensity));
  return pictures;
}

QString Picture(const std::string& name) { return QString::fromStdString(name); }

}  // namespace

TConfigurationCommands::TConfigurationCommands(Collaborators collaborators)
    : m_with(std::move(collaborators)), m_recentList(m_with.folder.RecentList()) {
  m_recentItemClicked =
      QObject::connect(&m_with.applicationMenu, &TApplicationMenu::RecentItemClicked,
                       [this](int index) { dxBarApplicationMenu1ExtraPaneItemClick(index); });
}

TConfigurationCommands::~TConfigurationCommands() { QObject::disconnect(m_recentItemClicked); }

fs::path TConfigurationCommands::GamePathOf(std::string_view catalogKey) const {
  return m_with.host.GamePathOf(catalogKey);
}

// --- Apply and Cancel ---

void TConfigurationCommands::EnableApplyCancel(bool apply, bool cancel) {
  m_with.commands.SetEnabled(command::kApply, apply);
  // Review changes is offered with Apply, whose Apply it leads to.
  m_with.commands.SetEnabled(command::kReview, apply);
  m_with.commands.SetEnabled(command::kCancel, cancel);
}

bool TConfigurationCommands::ApplyEnabled() const { return m_with.commands.Enabled(command::kApply); }
bool TConfigurationCommands::CancelEnabled() const { return m_with.commands.Enabled(command::kCancel); }

void TConfigurationCommands::dxButtonApplyClick() {
  if (!m_with.confirmApplyWhileGameRuns()) return;
  RunWithHourglass([this] {
    // A file that was not written keeps the pages marked modified, so the edits are not lost from view.
    if (!ApplyWholeSet(m_with.gameFiles, [this](std::string_view key) { return GamePathOf(key); })) return;
    m_with.host.ShowStatusMessage(LookupMessage("Applyed"));
    EnableApplyCancel(false, false);
  });
}

void TConfigurationCommands::dxButtonReviewClick(const std::function<void()>& apply) {
  try {
    TReviewWindow::Content content;
    const PreparedApply prepared = PrepareApply(m_with.gameFiles, WholeSetOrder(),
                                                [this](std::string_view key) { return GamePathOf(key); });
    content.changes = PreviewChanges(prepared.files);
    content.failures = prepared.failures;
    content.gameFolder = m_with.host.GameFolder();
    auto* window = new TReviewWindow(const_cast<QWidget*>(m_with.frame), content, apply,
                                     [this](const QString& key) { return LookupMessage(key); });
    window->setWindowModality(Qt::WindowModal);
    window->show();
  } catch (const std::exception& failure) {
    m_with.dialogs.Error(LookupMessage("ReviewFailed") + "\n" + QString::fromUtf8(failure.what()));
  }
}

void TConfigurationCommands::dxButtonCancelClick() {
  RunWithHourglass([this] {
    ReloadWholeSet(m_with.gameFiles);
    EnableApplyCancel(false, false);
  });
}

void TConfigurationCommands::RecoverInterruptedApplies() {
  RecoveryReport report;
  try {
    report = ApplyJournal(m_with.folder.Journal()).Recover();
  } catch (const std::exception& failure) {
    report.notRestored.push_back(m_with.folder.Journal().string() + ": " + failure.what());
  }
  if (report.Empty()) return;
  const auto when = [](std::int64_t seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds).toString("yyyy-MM-dd hh:mm:ss");
  };
  QStringList parts;
  for (const RecoveryReport::Entry& entry : report.finished)
    parts << LookupMessage("RecoveryFinished").arg(when(entry.time), QString::fromStdString(entry.command)) +
                 "\n" + LineList(entry.files);
  for (const RecoveryReport::Entry& entry : report.rolledBack) {
    const QString key = entry.files.empty() ? "RecoveryNoFileChanged" : "RecoveryRolledBack";
    QString text = LookupMessage(key).arg(when(entry.time), QString::fromStdString(entry.command));
    if (!entry.files.empty()) text += "\n" + LineList(entry.files);
    parts << text;
  }
  if (!report.changedSince.empty())
    parts << LookupMessage("RecoveryChangedSince") + "\n" + LineList(report.changedSince);
  if (!report.notRestored.empty())
    parts << LookupMessage("RecoveryNotRestored") + "\n" + LineList(report.notRestored);
  if (!report.damaged.empty()) parts << LookupMessage("RecoveryDamaged") + "\n" + LineList(report.damaged);
  const bool trouble = !report.changedSince.empty() || !report.notRestored.empty() || !report.damaged.empty();
  if (trouble)
    m_with.dialogs.Error(parts.join("\n\n"));
  else
    m_with.dialogs.Information(parts.join("\n\n"));
}

// --- Taking an Apply back: the journal's undo, shared with kesta-cli undo, then the pages read the
// files again. ---

void TConfigurationCommands::UndoApply(std::optional<std::uint64_t> number) {
  // While a saved configuration's sections stand in for the game files, a reload would read them.
  if (m_with.busy) return;
  const ApplyJournal journal(m_with.folder.Journal());
  const std::vector<JournalEntry> history = journal.History();
  const auto entry = std::find_if(history.begin(), history.end(), [&number](const JournalEntry& kept) {
    return !number || kept.sequence == *number;
  });
  if (entry == history.end()) {
    m_with.dialogs.Information(LookupMessage("UndoApplyNone"));
    return;
  }
  std::vector<fs::path> paths;
  for (const JournalFile& file : entry->files) paths.push_back(file.path);
  QString question =
      LookupMessage("UndoApplyQuestion")
          .arg(QString::fromStdString(JournalTimeText(entry->time)), QString::fromStdString(entry->command)) +
      "\n" + LineList(paths);
  if (ApplyEnabled()) question += "\n\n" + LookupMessage("UndoApplyLosesEdits");
  if (m_with.dialogs.ShowMessage(MessageKind::Warning, question, MessageButtons::YesNo) != DialogAnswer::Yes)
    return;
  if (!m_with.confirmApplyWhileGameRuns()) return;

  UndoReport report;
  try {
    RunWithHourglass([&] { report = journal.Undo(entry->sequence); });
  } catch (const std::exception& failure) {
    m_with.dialogs.Error(LookupMessage("UndoApplyFailed") + "\n" + QString::fromStdString(failure.what()));
    return;
  }
  if (!report.restored.empty()) {
    RunWithHourglass([this] { ReloadWholeSet(m_with.gameFiles); });
    EnableApplyCancel(false, false);
    m_with.host.ShowStatusMessage(LookupMessage("UndoApplyDone"));
  }
  QStringList parts;
  if (!report.restored.empty())
    parts << LookupMessage("UndoApplyRestored") + "\n" + LineList(report.restored);
  if (parts.isEmpty() && report.changedSince.empty() && report.notRestored.empty())
    parts << LookupMessage("UndoApplyNothing");
  if (!report.changedSince.empty())
    parts << LookupMessage("UndoApplyChangedSince") + "\n" + LineList(report.changedSince);
  if (!report.notRestored.empty())
    parts << LookupMessage("UndoApplyFailed") + "\n" + LineList(report.notRestored);
  if (report.Complete())
    m_with.dialogs.Information(parts.join("\n\n"));
  else
    m_with.dialogs.Error(parts.join("\n\n"));
}

// --- Reload on reactivation: coming back to the program after the game (or anything else) rewrote the
// game files. When the graphics file changed since we last looked, every file is read again into the
// pages, unless the pages hold changes of the user's, which a reload must never throw away. ---

void TConfigurationCommands::ConnectReactivation() {
  m_returnWatch = std::make_unique<TReturnWatch>(m_with.frame, [this] { JvAppEvents1Activate(); });
}

void TConfigurationCommands::TakeGraphicsTimeStamp(const fs::path& graphics) {
  if (FileTime written; GetLastWriteTime(graphics, written)) m_graphicsTimeStamp = written;
}

void TConfigurationCommands::JvAppEvents1Activate() {
  // The check's own questions take the focus away and give it back: one check at a time, or the same
  // question would stack up.
  // Before start-up found the game there is nothing to reload.
  if (m_with.busy || m_reactivationRunning || m_with.host.GameFolder().empty()) return;
  const fs::path graphics = GamePathOf(GraphicsDocument::kCatalogKey);
  FileTime written;
  // A graphics file whose time cannot be read now (gone, being replaced) tells nothing of a change; a
  // reload of every file at each activation would only repeat its failure.
  if (!GetLastWriteTime(graphics, written) || written == m_graphicsTimeStamp) return;
  const QScopedValueRollback running(m_reactivationRunning, true);

  if (m_with.reloadSettingsOn() &&
      m_with.dialogs.ShowMessage(MessageKind::Information, LookupMessage("ReloadAll"),
                                 MessageButtons::YesNo) != DialogAnswer::Yes) {
    // The pages stay as they are; Apply would write them over the outside change.
    EnableApplyCancel(true, false);
    m_graphicsTimeStamp = written;
    return;
  }
  // The time stamp stays old, so the check comes back at the next activation.
  if (ApplyEnabled()) return;

  // Only the aspect is kept from the page: when the file holds another one, it is written back at once.
  if (LoadGraphicsSettings(graphics, true)) ApplyGraphicsSettings(graphics);
  std::vector<std::string_view> others;
  for (std::string_view key : WholeSetOrder())
    if (key != GraphicsDocument::kCatalogKey) others.push_back(key);
  LoadFromGameFolder(m_with.gameFiles, others, [this](std::string_view key) { return GamePathOf(key); });
  EnableApplyCancel(false, false);
  // The time read before any write of ours: a write-back of the aspect is seen, and read, next time.
  m_graphicsTimeStamp = written;
}

// --- Saved configurations: every page in one ".kst" file, and the recent list in the application menu ---

FileDialogRequest TConfigurationCommands::ConfigurationDialog() const {
  const QString extension = ".kst";
  const std::string backupPath = m_with.settings.ReadSetting("Config", "BackupPath");
  FileDialogRequest request;
  request.folder = QString::fromStdString(backupPath.empty() ? m_with.folder.Backups().string() : backupPath);
  request.filter = "KESTA Kesta File " + extension.mid(1) + " (*" + extension + ")|*" + extension;
  request.defaultExtension = extension.mid(1);
  return request;
}

void TConfigurationCommands::dxButtonSaveConfigClick() {
  FileDialogRequest request = ConfigurationDialog();
  request.fileName = "config_" + QDate::currentDate().toString("yyyy_MM_dd");
  const std::optional<QString> chosen = m_with.dialogs.SaveFileName(request);
  if (!chosen || chosen->isEmpty()) return;
  const std::string path = chosen->toStdString();

  SavedConfiguration configuration;
  {
    // A file that fails is reported and gets no section. While the sections stand in for the game files,
    // whatever would reload or write files on its own (the reactivation check, the option handlers) waits,
    // also during a question.
    const QScopedValueRollback busy(m_with.busy, true);
    for (const FileFailure& failure : SaveWholeSet(m_with.gameFiles, configuration, WholeSetOrder(),
                                                   [this](std::string_view key) { return GamePathOf(key); }))
      m_with.gameFiles.ReportApplyFailure(failure.catalogKey, failure.reason);
  }
  try {
    configuration.Write(path);
  } catch (const std::exception& failure) {
    m_with.dialogs.Error(LookupMessage("ConfigSaveFailed") + "\r\n" + QString::fromUtf8(failure.what()));
    return;
  }
  m_with.host.ShowStatusMessage(LookupMessage("Saved"));
  AddRecentConfiguration(path);
}

void TConfigurationCommands::dxButtonOpenConfigClick() {
  const std::optional<QString> chosen = m_with.dialogs.OpenFileName(ConfigurationDialog());
  if (!chosen || chosen->isEmpty()) return;
  const std::string path = chosen->toStdString();
  if (OpenConfiguration(path)) AddRecentConfiguration(path);
}

bool TConfigurationCommands::OpenConfiguration(const fs::path& path) {
  bool opened = false;
  RunWithHourglass([&] {
    SavedConfiguration configuration;
    try {
      configuration = SavedConfiguration::Read(path, [this](std::string_view key) {
        return LookupMessage(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()))).toStdString();
      });
    } catch (const std::exception& failure) {
      m_with.dialogs.Error(LookupMessage("ConfigOpenFailed") + "\r\n" + QString::fromUtf8(failure.what()));
      return;
    }
    {
      const QScopedValueRollback busy(m_with.busy, true);
      OpenWholeSet(m_with.gameFiles, configuration, WholeSetOrder(),
                   [this](std::string_view key) { return GamePathOf(key); });
    }
    EnableApplyCancel(true, true);
    m_with.host.ShowStatusMessage(LookupMessage("Loaded"));
    opened = true;
  });
  return opened;
}

void TConfigurationCommands::AddRecentConfiguration(const std::string& path) {
  try {
    m_recentList.Add(path);
  } catch (const std::exception& failure) {
    m_with.dialogs.Error(LookupMessage("RecentListSaveFailed") + "\r\n" + QString::fromUtf8(failure.what()));
  }
  ShowRecentList();
}

void TConfigurationCommands::dxBarApplicationMenu1ExtraPaneItemClick(int index) {
  const std::vector<std::string>& entries = m_recentList.Entries();
  if (index < 0 || static_cast<size_t>(index) >= entries.size()) return;
  const std::string path = entries[static_cast<size_t>(index)];  // a copy: the list is about to change
  if (OpenConfiguration(path)) AddRecentConfiguration(path);
}

void TConfigurationCommands::LoadRecentList() {
  try {
    m_recentList.Load();
  } catch (const std::exception& failure) {
    m_with.dialogs.Error(QString::fromUtf8(failure.what()) + "\n\n" + LookupMessage("RecentListEmpty"));
  }
  ShowRecentList();
}

void TConfigurationCommands::ShowRecentList() {
  QStringList captions;
  QStringList paths;
  for (const std::string& entry : m_recentList.Entries()) {
    captions << QString::fromStdString(std::string(RecentCaption(entry)));
    paths << QString::fromStdString(entry);
  }
  m_with.applicationMenu.SetRecentItems(captions, paths);
}

// --- graphics.cfg and cockpit.cfg: what a load does beyond its pages: the pictures that the changed values
// ask for (a missing one fails the load), the picture left above the page, the aspect check of the
// reactivation reload, the modified state and the time stamp of our own writes ---

bool TConfigurationCommands::LoadGraphicsSettings(const fs::path& path, bool checkAspectOnly) {
  m_checkAspectOnly = checkAspectOnly;
  m_aspectDiffers = false;
  m_graphicsLoadPath = path;
  m_with.gameFiles.Load(GraphicsDocument::kCatalogKey, path);
  m_checkAspectOnly = false;
  return checkAspectOnly && m_aspectDiffers;
}

void TConfigurationCommands::ApplyGraphicsSettings(const fs::path& targetPath) {
  m_with.gameFiles.Apply(GraphicsDocument::kCatalogKey, targetPath);
}

void TConfigurationCommands::LoadCockpitSettings(const fs::path& path) {
  m_with.gameFiles.Load(CockpitDocument::kCatalogKey, path);
}

void TConfigurationCommands::ApplyCockpitSettings(const fs::path& targetPath) {
  m_with.gameFiles.Apply(CockpitDocument::kCatalogKey, targetPath);
}

void TConfigurationCommands::ConnectGraphicsFileLoads() {
  TGameFileSet& files = m_with.gameFiles;
  files.SetLoadedHook(
      GraphicsDocument::kCatalogKey, [this](GameDocument& document, const GameDocument& before) {
        auto* graphics = dynamic_cast<GraphicsDocument*>(&document);
        if (!graphics) return;  // a stand-in
        GraphicsDocument& after = *graphics;
        const auto& was = static_cast<const GraphicsDocument&>(before);
        // The reactivation reload only compares the aspect; the default copy offered after a failure is
        // always loaded in full.
        if (m_checkAspectOnly &&
            m_with.gameFiles.RememberedPath(GraphicsDocument::kCatalogKey) == m_graphicsLoadPath) {
          m_aspectDiffers = after.aspect != was.aspect;
          after.aspect = was.aspect;
        }
        const std::string profilePicture = VisibilityRangePicture(after.currentProfile);
        m_with.checkPreviewPicture("graphics_default.jpg");
        try {
          m_with.checkPreviewPicture(Picture(profilePicture));
        } catch (const std::exception& failure) {
          throw EKestaError(ProfileShowFailure(failure.what()));
        }
        for (const std::string& picture : ChangedStandardsPictures(was, after))
          m_with.checkPreviewPicture(Picture(picture));
        m_with.loadPreviewPicture(Picture(profilePicture));
        // Loading selects the resolutions, which marks the pages modified; the callers settle
        // the state.
        EnableApplyCancel(true, true);
      });
  // Our own write must not look like an outside change to the reactivation check.
  files.SetSavedHook(GraphicsDocument::kCatalogKey, [this](const fs::path& targetPath) {
    if (targetPath == GamePathOf(GraphicsDocument::kCatalogKey)) TakeGraphicsTimeStamp(targetPath);
  });

  files.SetLoadedHook(
      CockpitDocument::kCatalogKey, [this](GameDocument& document, const GameDocument& before) {
        const auto* cockpit = dynamic_cast<const CockpitDocument*>(&document);
        if (!cockpit) return;  // a stand-in
        const CockpitDocument& after = *cockpit;
        const auto& was = static_cast<const CockpitDocument&>(before);
        const std::pair<bool, std::string> changes[] = {
            {was.mirrors != after.mirrors, MirrorsPicture(after.mirrors)},
            {was.mirrorResolution != after.mirrorResolution, MirrorResolutionPicture(after.mirrorResolution)},
            {was.reflections != after.reflections, ReflectionsPicture(after.reflections)},
            {was.russianHud != after.russianHud, RussianHudPicture(after.russianHud)}};
        for (const auto& [changed, picture] : changes) {
          if (!changed) continue;
          m_with.host.ShowPreviewPicture(Picture(picture));
          EnableApplyCancel(true, true);
        }
        m_with.loadPreviewPicture("graphics_default.jpg");
      });
}

}  // namespace kesta
