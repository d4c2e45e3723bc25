#include "update/update_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <system_error>

#include "platform/file_io.h"
#include "platform/shell.h"
#include "platform/wine_registry.h"
#include "platform/wine_start.h"

namespace kesta {

#ifndef KESTA_RELEASE_PUBLIC_KEY
#define KESTA_RELEASE_PUBLIC_KEY ""
#endif

std::optional<PublicKey> BuiltInReleaseKey() { return PublicKeyFromHex(KESTA_RELEASE_PUBLIC_KEY); }

std::optional<QUrl> UpdateServerAddress(const QString& setting) {
  const QString text = setting.trimmed();
  if (text.isEmpty()) return std::nullopt;
  QUrl url(text, QUrl::StrictMode);
  if (!url.isValid() || (url.scheme() != "http" && url.scheme() != "https") || url.host().isEmpty() ||
      !url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment())
    return std::nullopt;
  // The files lie below the address's path, which is a folder.
  if (!url.path().endsWith('/')) url.setPath(url.path() + '/');
  return url;
}

VersionVerdict JudgeVersionFile(const QByteArray& contents) {
  QByteArray line = contents;
  if (line.endsWith("\r\n"))
    line.chop(2);
  else if (line.endsWith('\n'))
    line.chop(1);
  if (line.isEmpty() || line.size() > 32) return VersionVerdict::Unreadable;
  for (const char c : line)
    if (c < 0x20 || c > 0x7e) return VersionVerdict::Unreadable;
  return line == QByteArray(kProgramVersion.data(), kProgramVersion.size()) ? VersionVerdict::UpToDate
                                                                            : VersionVerdict::NewVersion;
}

QString SpeedText(qint64 bytes, qint64 milliseconds) {
  if (milliseconds <= 0) return QString();
  const double kiloOctetsPerSecond = static_cast<double>(bytes) / 1024.0 / (milliseconds / 1000.0);
  return QString::number(kiloOctetsPerSecond, 'f', 2);
}

std::optional<std::filesystem::path> MakePrivateFolder(const std::filesystem::path& parent, QString& error) {
  std::error_code ignored;
  std::filesystem::create_directories(parent, ignored);
  std::string name = (parent / "kesta-update-XXXXXX").string();
  if (!::mkdtemp(name.data())) {
    error = QString("Cannot create a private folder in %1: %2")
                .arg(QString::fromStdString(parent.string()), QString::fromStdString(SystemErrorText(errno)));
    return std::nullopt;
  }
  return std::filesystem::path(name);
}

QString StartVerifiedInstaller(const VerifiedInstaller& verified) {
  // The bytes checked here are the bytes started: the file lies in our private folder, where only we
  // can change it, and it is checked again right before its start.
  const int fd = ::open(verified.installer.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return QString::fromStdString(verified.installer.string() + ": " + SystemErrorText(errno));
  const std::string mismatch = CheckInstallerBytes(fd, verified.release);
  char magic[2] = {};
  const bool windowsProgram =
      mismatch.empty() && ::pread(fd, magic, 2, 0) == 2 && magic[0] == 'M' && magic[1] == 'Z';
  // Readable and executable by us alone, written by nobody.
  const bool locked = mismatch.empty() && ::fchmod(fd, S_IRUSR | S_IXUSR) == 0;
  const int lockError = errno;
  ::close(fd);
  if (!mismatch.empty()) return QString::fromStdString(mismatch);
  if (!locked) return QString::fromStdString(SystemErrorText(lockError));
  const std::string program = verified.installer.string();
  if (windowsProgram) {
    switch (StartUnderWine(program, {}, verified.folder, WineRegistry::DefaultPrefix())) {
      case WineStartOutcome::Started:
        return {};
      case WineStartOutcome::WineMissing:
        return "Wine was not found";
      default:
        return "Wine refused to start " + QString::fromStdString(program);
    }
  }
  if (!StartDetached(program, {}, verified.folder)) return "Cannot start " + QString::fromStdString(program);
  return {};
}

FileDownload::FileDownload(QNetworkAccessManager& network, const QUrl& url, const QString& filePath,
                           qint64 cap, QObject* parent)
    : QObject(parent), m_network(network), m_url(url), m_filePath(filePath), m_cap(cap) {}

FileDownload::~FileDownload() {
  // Nothing of ours may run for a reply aborted while we are being destroyed.
  if (m_reply) {
    m_reply->disconnect(this);
    m_reply->abort();
  }
}

void FileDownload::Start() {
  // A file or link already at the path is not ours: refused, and left as it is.
  const int fd = ::open(QFile::encodeName(m_filePath).constData(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (fd < 0) {
    const QString error = m_filePath + ": " + QString::fromStdString(SystemErrorText(errno));
    QTimer::singleShot(0, this, [this, error] { Fail(error); });
    return;
  }
  m_created = true;
  m_file = new QFile(this);
  if (!m_file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    const QString error = m_file->errorString();
    QTimer::singleShot(0, this, [this, error] { Fail(error); });
    return;
  }
  QNetworkRequest request(m_url);
  // Never from https down to http.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setTransferTimeout(30000);
  m_reply = m_network.get(request);
  connect(m_reply, &QNetworkReply::readyRead, this, &FileDownload::OnReadyRead);
  connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
    if (m_failure.isEmpty()) emit Progress(received, total);
  });
  connect(m_reply, &QNetworkReply::finished, this, &FileDownload::OnFinished);
}

void FileDownload::OnReadyRead() {
  if (!m_failure.isEmpty()) return;
  const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
  const QByteArray data = m_reply->readAll();
  if ((length.isValid() && length.toLongLong() > m_cap) || m_written + data.size() > m_cap) {
    m_failure = QString("The file is larger than %1 bytes").arg(m_cap);
    m_reply->abort();
    return;
  }
  if (m_file->write(data) != data.size()) {
    m_failure = m_file->errorString();
    m_reply->abort();
    return;
  }
  m_written += data.size();
}

void FileDownload::OnFinished() {
  m_reply->deleteLater();
  if (m_failure.isEmpty()) OnReadyRead();
  if (!m_failure.isEmpty()) return Fail(m_failure);
  if (m_reply->error() != QNetworkReply::NoError) {
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())  // the server's answer line
      return Fail(QString("%1 %2")
                      .arg(status.toInt())
                      .arg(m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
    return Fail(m_reply->errorString());
  }
  const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
  if (length.isValid() && length.toLongLong() != m_written)
    return Fail(QString("The download ended after %1 of %2 bytes").arg(m_written).arg(length.toLongLong()));
  if (!m_file->flush()) return Fail(m_file->errorString());
  m_file->close();
  m_done = true;
  emit Finished(true, QString());
}

void FileDownload::Fail(const QString& error) {
  if (m_done) return;
  m_done = true;
  if (m_file) m_file->close();
  if (m_created) QFile::remove(m_filePath);
  emit Finished(false, error);
}

UpdateCheck::UpdateCheck(QNetworkAccessManager& network, const QString& serverSetting,
                         const std::filesystem::path& tempFolder, UpdateCheckEvents events,
                         std::optional<PublicKey> key, QObject* parent)
    : QObject(parent),
      m_network(network),
      m_serverSetting(serverSetting),
      m_tempFolder(tempFolder),
      m_events(std::move(events)),
      m_key(key) {}

UpdateCheck::~UpdateCheck() {
  // A check cut short leaves nothing behind; a ready installer stays until it starts.
  if (!m_verified) RemoveFolder();
}

void UpdateCheck::RemoveFolder() {
  if (m_folder.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(m_folder, ignored);
  m_folder.clear();
}

void UpdateCheck::Start() {
  const std::optional<QUrl> server = UpdateServerAddress(m_serverSetting);
  if (!server) {
    m_events.log("NoUpdateServer");
    QTimer::singleShot(0, this, [this] { End(UpdateOutcome::NoServer); });
    return;
  }
  m_server = *server;
  m_events.log("DownloadingVersion");
  QString error;
  const std::optional<std::filesystem::path> folder = MakePrivateFolder(m_tempFolder, error);
  if (!folder) {
    QTimer::singleShot(0, this, [this, error] { Fail("DownloadingVersionError", error); });
    return;
  }
  m_folder = *folder;
  Download(QString::fromUtf8(kVersionPath.data(), kVersionPath.size()), m_folder / kVersionFileName,
           kVersionFileCap, false, [this](bool ok, const QString& error) { OnVersionFile(ok, error); });
}

void UpdateCheck::Download(const QString& path, const std::filesystem::path& target, qint64 cap,
                           bool progress, std::function<void(bool, const QString&)> then) {
  auto* download = new FileDownload(m_network, m_server.resolved(QUrl(path)),
                                    QString::fromStdString(target.string()), cap, this);
  if (progress) {
    auto begun = std::make_shared<bool>(false);
    connect(download, &FileDownload::Progress, this, [this, begun](qint64 received, qint64 total) {
      if (!*begun) {
        *begun = true;
        if (m_events.downloadBegins) m_events.downloadBegins(total);
      }
      if (m_events.downloadProgress) m_events.downloadProgress(received, total);
    });
  }
  connect(download, &FileDownload::Finished, this,
          [this, download, progress, then](bool ok, const QString& error) {
            download->deleteLater();
            if (progress && m_events.downloadEnds) m_events.downloadEnds();
            then(ok, error);
          });
  download->Start();
}

namespace {

QByteArray ReadSmallFile(const std::filesystem::path& path, qint64 cap, QString& error) {
  QFile file(QString::fromStdString(path.string()));
  if (!file.open(QIODevice::ReadOnly)) {
    error = file.errorString();
    return {};
  }
  return file.read(cap + 1);
}

}  // namespace

void UpdateCheck::OnVersionFile(bool ok, const QString& error) {
  if (!ok) return Fail("DownloadingVersionError", error);
  m_events.stepSucceeded();
  m_events.log("OpeningVersion");
  QString readError;
  const QByteArray contents = ReadSmallFile(m_folder / kVersionFileName, kVersionFileCap, readError);
  const VersionVerdict verdict =
      readError.isEmpty() ? JudgeVersionFile(contents) : VersionVerdict::Unreadable;
  if (verdict == VersionVerdict::Unreadable)
    return Fail("OpeningVersionError",
                readError.isEmpty() ? QString("Not one line of at most 32 printable characters") : readError);
  m_events.stepSucceeded();
  if (verdict == VersionVerdict::UpToDate) return End(UpdateOutcome::UpToDate);
  // Without the release key no installer could be trusted: say so rather than offer one.
  if (!m_key) return End(UpdateOutcome::NoReleaseKey);
  if (!m_events.askNewVersion()) return End(UpdateOutcome::Declined);
  m_events.log("VerifyingRelease");
  Download(QString::fromUtf8(kManifestPath.data(), kManifestPath.size()), m_folder / kManifestFileName,
           kManifestCap, false, [this](bool ok, const QString& error) { OnManifest(ok, error); });
}

void UpdateCheck::OnManifest(bool ok, const QString& error) {
  if (!ok) return Fail("VerifyingReleaseError", error);
  Download(QString::fromUtf8(kManifestSignaturePath.data(), kManifestSignaturePath.size()),
           m_folder / kManifestSignatureFileName, kManifestCap, false,
           [this](bool ok, const QString& error) { OnManifestSignature(ok, error); });
}

void UpdateCheck::OnManifestSignature(bool ok, const QString& error) {
  if (!ok) return Fail("VerifyingReleaseError", "Signature: " + error);
  QString readError;
  const QByteArray text = ReadSmallFile(m_folder / kManifestFileName, kManifestCap, readError);
  const QByteArray signature = ReadSmallFile(m_folder / kManifestSignatureFileName, kManifestCap, readError);
  if (!readError.isEmpty()) return Fail("VerifyingReleaseError", readError);
  std::string refusal;
  const std::optional<ReleaseManifest> release =
      VerifiedManifest(text.toStdString(), signature.toStdString(), *m_key, refusal);
  if (!release) return Fail("VerifyingReleaseError", QString::fromStdString(refusal));
  // A signed older release is a real release too: installing it would be a downgrade.
  if (!IsNewerVersion(release->version, kProgramVersion))
    return Fail("VerifyingReleaseError",
                QString("The signed release %1 is not newer than %2")
                    .arg(QString::fromStdString(release->version),
                         QString::fromUtf8(kProgramVersion.data(), kProgramVersion.size())));
  m_release = *release;
  m_events.stepSucceeded();
  m_events.log("DownloadingNewVersion");
  Download(QString::fromUtf8(kInstallerPath.data(), kInstallerPath.size()), m_folder / kInstallerFileName,
           static_cast<qint64>(m_release.installerSize), true,
           [this](bool ok, const QString& error) { OnInstaller(ok, error); });
}

void UpdateCheck::OnInstaller(bool ok, const QString& error) {
  if (!ok) return Fail("DownloadingNewVersionError", error);
  m_events.stepSucceeded();
  m_events.log("VerifyingNewVersion");
  const std::filesystem::path installer = m_folder / kInstallerFileName;
  const std::string mismatch = CheckInstallerFile(installer, m_release);
  if (!mismatch.empty()) return Fail("VerifyingNewVersionError", QString::fromStdString(mismatch));
  m_events.stepSucceeded();
  m_verified = VerifiedInstaller{m_folder, installer, m_release};
  End(UpdateOutcome::InstallerReady);
}

void UpdateCheck::Fail(const char* key, const QString& detail) {
  RemoveFolder();
  m_events.stepFailed(key, detail);
  End(UpdateOutcome::Failed);
}

void UpdateCheck::End(UpdateOutcome outcome) {
  if (outcome != UpdateOutcome::InstallerReady) RemoveFolder();
  emit Finished(outcome);
}

}  // namespace kesta
