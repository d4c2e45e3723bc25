// Saving every page into one ".kst" file and opening it again, and the list of recent configurations
// in the application menu.

#include <QDate>
#include <QScopedValueRollback>

#include "language/language_setup.h"
#include "sets/game_file_set.h"
#include "sets/saved_configuration.h"
#include "ui/application_menu.h"
#include "ui/dialog_service.h"
#include "ui/hourglass.h"
#include "ui/main_window.h"
#include "ui/ribbon.h"

namespace kesta {

FileDialogRequest TFrmKESTA::ConfigurationDialog() const {
  const QString extension = ".kst";
  const std::string backupPath = m_settings.ReadSetting("Config", "BackupPath");
  FileDialogRequest request;
  request.folder = QString::fromStdString(backupPath.empty() ? Folder().Backups().string() : backupPath);
  request.filter = "KESTA Kesta File " + extension.mid(1) + " (*" + extension + ")|*" + extension;
  request.defaultExtension = extension.mid(1);
  return request;
}

void TFrmKESTA::dxButtonSaveConfigClick() {
  FileDialogRequest request = ConfigurationDialog();
  request.fileName = "config_" + QDate::currentDate().toString("yyyy_MM_dd");
  const std::optional<QString> chosen = m_dialogs->SaveFileName(request);
  if (!chosen || chosen->isEmpty()) return;
  const std::string path = chosen->toStdString();

  SavedConfiguration configuration;
  {
    // Each applier appends its file's section instead of writing the game file; one that fails has
    // reported it and adds none. While the sections stand in for the game files, whatever would reload or
    // write files on its own (the reactivation check, the option handlers) waits, also during a question.
    const QScopedValueRollback busy(m_busy, true);
    AttachedSections attached(m_gameFiles->Access(), configuration);
    for (std::string_view key : WholeSetOrder()) m_gameFiles->Apply(key, GamePathOf(key));
  }
  try {
    configuration.Write(path);
  } catch (const std::exception& failure) {
    m_dialogs->Error(LookupMessage("ConfigSaveFailed") + "\r\n" + QString::fromUtf8(failure.what()));
    return;
  }
  ShowStatusMessage(LookupMessage("Saved"));
  AddRecentConfiguration(path);
}

void TFrmKESTA::dxButtonOpenConfigClick() {
  const std::optional<QString> chosen = m_dialogs->OpenFileName(ConfigurationDialog());
  if (!chosen || chosen->isEmpty()) return;
  const std::string path = chosen->toStdString();
  if (OpenConfiguration(path)) AddRecentConfiguration(path);
}

bool TFrmKESTA::OpenConfiguration(const std::filesystem::path& path) {
  bool opened = false;
  RunWithHourglass([&] {
    SavedConfiguration configuration;
    try {
      configuration = SavedConfiguration::Read(
          path, [this](std::string_view key) { return m_language->LookupMessageUtf8(key); });
    } catch (const std::exception& failure) {
      m_dialogs->Error(LookupMessage("ConfigOpenFailed") + "\r\n" + QString::fromUtf8(failure.what()));
      return;
    }
    {
      // Each loader takes its file's section and remembers its path again, so Apply still writes into
      // the files the pages came from; a file without a section keeps its page as it is.
      const QScopedValueRollback busy(m_busy, true);
      AttachedSections attached(m_gameFiles->Access(), configuration);
      for (std::string_view key : WholeSetOrder())
        m_gameFiles->Load(key, m_gameFiles->RememberedPath(key).value_or(GamePathOf(key)));
    }
    EnableApplyCancel(true, true);
    ShowStatusMessage(LookupMessage("Loaded"));
    opened = true;
  });
  return opened;
}

void TFrmKESTA::AddRecentConfiguration(const std::string& path) {
  try {
    m_recentList.Add(path);
  } catch (const std::exception& failure) {
    m_dialogs->Error(LookupMessage("RecentListSaveFailed") + "\r\n" + QString::fromUtf8(failure.what()));
  }
  ShowRecentList();
}

void TFrmKESTA::dxBarApplicationMenu1ExtraPaneItemClick(int index) {
  const std::vector<std::string>& entries = m_recentList.Entries();
  if (index < 0 || static_cast<size_t>(index) >= entries.size()) return;
  const std::string path = entries[static_cast<size_t>(index)];  // a copy: the list is about to change
  if (OpenConfiguration(path)) AddRecentConfiguration(path);
}

void TFrmKESTA::ShowRecentList() {
  QStringList captions;
  QStringList paths;
  for (const std::string& entry : m_recentList.Entries()) {
    captions << QString::fromStdString(std::string(RecentCaption(entry)));
    paths << QString::fromStdString(entry);
  }
  m_ribbon->ApplicationMenu()->SetRecentItems(captions, paths);
}

}  // namespace kesta
