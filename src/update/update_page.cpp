#include "update/update_page.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkInformation>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "pages/page_host.h"
#include "ui/dialog_service.h"
#include "ui/ribbon_icons.h"
#include "ui/tab_sheet.h"

namespace kesta {

namespace {

// Qt's answer when it can tell; a machine it cannot tell about counts as connected.
bool NetworkPresent() {
  if (!QNetworkInformation::instance() &&
      !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
    return true;
  return QNetworkInformation::instance()->reachability() != QNetworkInformation::Reachability::Disconnected;
}

QString UpdateServerSetting(const TPageHost& host) {
  return QString::fromStdString(host.ReadSetting("Config", "UpdateServer"));
}

QLabel* MakePicture(const char* name, const QIcon& icon, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setPixmap(icon.pixmap(48, 48));
  return label;
}

}  // namespace

// A program without an update server has nothing to look for at start-up.
bool UpdateCheckHasWork(const TPageHost& host, bool atStartUp) {
  return !atStartUp || UpdateServerAddress(UpdateServerSetting(host)).has_value();
}

TUpdatePage::TUpdatePage(TPageHost& host, TTabSheet* sheet)
    : TGamePage(host, sheet), m_connected(NetworkPresent) {
  auto* layout = static_cast<QVBoxLayout*>(this->layout());  // the page's own, made by TGamePage
  auto* title = new QWidget(this);
  auto* titleLayout = new QHBoxLayout(title);
  titleLayout->addWidget(MakePicture("Image11", RibbonIcon("dxButtonKESTAUpdate"), title));
  auto* label3 = new QLabel("KESTA update", title);
  label3->setObjectName("Label3");
  QFont font = label3->font();
  font.setPointSize(font.pointSize() * 2);
  font.setBold(true);
  font.setItalic(true);
  label3->setFont(font);
  titleLayout->addWidget(label3, 1);
  // Both pictures sit in the same place; the later one shown covers the earlier.
  auto* pictures = new QWidget(title);
  auto* stack = new QGridLayout(pictures);
  stack->setContentsMargins(0, 0, 0, 0);
  m_imageUpdateError =
      MakePicture("ImageUpdateError", style()->standardIcon(QStyle::SP_MessageBoxCritical), pictures);
  m_imageUpdateOk =
      MakePicture("ImageUpdateOk", style()->standardIcon(QStyle::SP_DialogApplyButton), pictures);
  stack->addWidget(m_imageUpdateError, 0, 0);
  stack->addWidget(m_imageUpdateOk, 0, 0);
  m_imageUpdateError->hide();
  m_imageUpdateOk->hide();
  titleLayout->addWidget(pictures);
  layout->addWidget(title);
  m_labelSpeed = new QLabel(this);
  m_labelSpeed->setObjectName("LabelSpeed");
  layout->addWidget(m_labelSpeed);
  m_progressBar = new QProgressBar(this);
  m_progressBar->setObjectName("ProgressBar");
  m_progressBar->setRange(0, 100);
  m_progressBar->setValue(0);
  layout->addWidget(m_progressBar);
  m_memoUpdate = new QPlainTextEdit(this);
  m_memoUpdate->setObjectName("MemoUpdate");
  m_memoUpdate->setReadOnly(true);
  m_memoUpdate->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  layout->addWidget(m_memoUpdate, 1);
}

// A check still running ends before the network it uses goes.
TUpdatePage::~TUpdatePage() {
  delete m_check;
  // An installer that never started is nobody's to keep.
  if (!m_pendingFolder.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_pendingFolder, ignored);
  }
}

QString TUpdatePage::Message(const char* key) const { return m_host.LookupMessage(QString::fromLatin1(key)); }

void TUpdatePage::Log(const QString& line) {
  m_lines << line;
  m_memoUpdate->setPlainText(m_lines.join('\n'));
}

void TUpdatePage::AppendToLastLine(const QString& text) {
  if (m_lines.isEmpty()) m_lines << QString();
  m_lines.back() += text;
  m_memoUpdate->setPlainText(m_lines.join('\n'));
}

void TUpdatePage::StepFailed(const char* errorKey, const QString& detail) {
  m_imageUpdateError->show();
  AppendToLastLine(" ERROR !");
  for (const QString& line : {QString(), Message(errorKey), detail, QString(), Message("AutoUpdateFailed")})
    Log(line);
}

void TUpdatePage::EnableCommands(bool enabled) { emit CommandsEnabled(enabled); }

void TUpdatePage::ShowResultPage(bool graphicsPage) {
  if (graphicsPage) m_host.OpenPage("TabSheetGraphicsStandards", PageOpening::Alone);
}

void TUpdatePage::Check(bool atStartUp) {
  if (Running() || !UpdateCheckHasWork(m_host, atStartUp)) return;
  const QString server = UpdateServerSetting(m_host);
  m_atStartUp = atStartUp;
  m_lines.clear();
  m_memoUpdate->clear();
  m_host.OpenPage("TabSheetUpdate", PageOpening::Alone);
  if (UpdateServerAddress(server) && !m_connected()) {
    m_imageUpdateError->show();
    Log(Message("NotConnectedToInternet"));
    return ShowResultPage(atStartUp);
  }
  UpdateCheckEvents events;
  events.log = [this](const char* key) { Log(Message(key)); };
  events.stepSucceeded = [this] { AppendToLastLine(" OK !"); };
  events.stepFailed = [this](const char* key, const QString& detail) { StepFailed(key, detail); };
  events.askNewVersion = [this] {
    return m_host.Dialogs().ShowMessage(MessageKind::Information, Message("NewVersion"),
                                        MessageButtons::YesNo) == DialogAnswer::Yes;
  };
  events.downloadBegins = [this](qint64 total) {
    m_progressBar->setRange(0, total > 0 ? static_cast<int>(std::min<qint64>(total, kInstallerCap)) : 0);
    m_progressBar->setValue(0);
    m_labelSpeed->setText(Message("Downloading"));
    m_downloadStart.start();
  };
  events.downloadProgress = [this](qint64 received, qint64) {
    ShowDownloadProgress(received, m_downloadStart.elapsed());
  };
  events.downloadEnds = [this] {
    m_progressBar->setValue(0);
    m_labelSpeed->clear();
  };
  QDir().mkpath(QDir::tempPath());
  m_check =
      new UpdateCheck(m_network, server, QDir::tempPath().toStdString(), std::move(events), m_key, this);
  connect(m_check, &UpdateCheck::Finished, this, &TUpdatePage::Finish);
  EnableCommands(false);
  m_check->Start();
}

void TUpdatePage::ShowDownloadProgress(qint64 received, qint64 elapsed) {
  if (m_progressBar->maximum() > 0)
    m_progressBar->setValue(static_cast<int>(std::min<qint64>(received, m_progressBar->maximum())));
  if (elapsed > 0)
    m_labelSpeed->setText(Message("Downloading") + QString(" %1 Ko/s").arg(SpeedText(received, elapsed)));
}

void TUpdatePage::Finish(UpdateOutcome outcome) {
  const std::optional<VerifiedInstaller> verified = m_check->Verified();
  m_check->deleteLater();
  m_check = nullptr;
  switch (outcome) {
    case UpdateOutcome::NoServer:
      m_imageUpdateError->show();
      break;
    case UpdateOutcome::Failed:
      break;
    case UpdateOutcome::UpToDate:
      Log(QString());
      Log(Message("LastestVersion"));
      m_imageUpdateOk->show();
      EnableCommands(true);
      return ShowResultPage(m_atStartUp);
    case UpdateOutcome::Declined:
      EnableCommands(true);
      return ShowResultPage(true);
    case UpdateOutcome::NoReleaseKey:
      // News the player should see, even at start-up; but nothing this copy can install.
      Log(QString());
      Log(Message("NewVersionNoReleaseKey"));
      break;
    case UpdateOutcome::InstallerReady:
      m_imageUpdateOk->show();
      Log(QString());
      Log(Message("CloseAndSetup"));
      m_installing = true;
      m_pendingFolder = verified->folder;
      QTimer::singleShot(m_installDelay, this, [this, verified = *verified] {
        m_installing = false;
        m_pendingFolder.clear();
        const QString error = StartVerifiedInstaller(verified);
        if (error.isEmpty()) {
          emit QuitRequested();
          return;
        }
        std::error_code ignored;
        std::filesystem::remove_all(verified.folder, ignored);
        Log(Message("StartingNewVersion"));
        StepFailed("StartingNewVersionError", error);
        EnableCommands(true);
        ShowResultPage(false);
      });
      return;
  }
  EnableCommands(true);
  ShowResultPage(false);
}

TUpdatePage* MakeUpdatePage(TPageHost& host, TTabSheet* sheet) { return new TUpdatePage(host, sheet); }

}  // namespace kesta
