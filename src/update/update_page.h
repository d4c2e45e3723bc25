#pragma once
// The update page: the check's steps in a log, its pictures, the download's progress and speed.

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QStringList>
#include <functional>

#include "pages/game_page.h"
#include "update/update_check.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;

namespace kesta {

class TUpdatePage : public TGamePage {
  Q_OBJECT

 public:
  TUpdatePage(TPageHost& host, TTabSheet* sheet);
  ~TUpdatePage() override;

  // The whole check (the ribbon's and the tray's command). Started by the deferred start-up step it stays
  // quiet: with no server configured it shows nothing, and it goes back to the graphics page when there is
  // nothing to install.
  void Check(bool atStartUp);
  bool Running() const { return m_check != nullptr || m_installing; }

  // The download's progress: `elapsed` milliseconds since it began.
  void ShowDownloadProgress(qint64 received, qint64 elapsed);

  // Seams for tests: the key releases are verified with, and whether the machine has a network.
  void SetPublicKey(std::optional<PublicKey> key) { m_key = key; }
  void SetNetworkPresence(std::function<bool()> connected) { m_connected = std::move(connected); }
  // How long the installer's start waits after "CloseAndSetup" is shown.
  void SetInstallDelay(int milliseconds) { m_installDelay = milliseconds; }

 signals:
  // The update commands are offered again, or not while a check runs.
  void CommandsEnabled(bool enabled);
  // The new version's installer has started: the program must end for it.
  void QuitRequested();

 protected:
  void Fill() override {}

 private:
  void Log(const QString& line);
  void AppendToLastLine(const QString& text);
  void StepFailed(const char* errorKey, const QString& detail);
  void Finish(UpdateOutcome outcome);
  void ShowResultPage(bool graphicsPage);
  void EnableCommands(bool enabled);
  QString Message(const char* key) const;

  QLabel* m_imageUpdateError;
  QLabel* m_imageUpdateOk;
  QLabel* m_labelSpeed;
  QProgressBar* m_progressBar;
  QPlainTextEdit* m_memoUpdate;
  QStringList m_lines;
  QNetworkAccessManager m_network;
  QPointer<UpdateCheck> m_check;
  bool m_atStartUp = false;
  bool m_installing = false;
  std::filesystem::path m_pendingFolder;  // of the verified installer waiting for its start
  QElapsedTimer m_downloadStart;
  std::optional<PublicKey> m_key = BuiltInReleaseKey();
  std::function<bool()> m_connected;
  int m_installDelay = 3000;
};

TUpdatePage* MakeUpdatePage(TPageHost& host, TTabSheet* sheet);

// Whether a check started now looks for anything. The start-up check without an update server does
// nothing, so the window need not build the page for it.
bool UpdateCheckHasWork(const TPageHost& host, bool atStartUp);

}  // namespace kesta
