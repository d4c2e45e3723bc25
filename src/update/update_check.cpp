#include "update/update_check.h"

#include <sodium.h>

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>
#include <system_error>

#include "platform/shell.h"
#include "platform/wine_registry.h"
#include "platform/wine_start.h"

namespace kesta {

const PublicKey kReleasePublicKey{
    0xfe, 0xfc, 0x9f, 0x3f, 0x22, 0x63, 0x8e, 0xef, 0x17, 0x80, 0x0c, 0x92, 0x8b, 0x80, 0xf5, 0x5c,
    0xaa, 0xd7, 0x14, 0xfd, 0xe2, 0x7f, 0xd6, 0x3e, 0x3f, 0x6c, 0xb0, 0x7e, 0x2f, 0x3f, 0x64, 0xf5,
};

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

bool SignatureMatches(const QByteArray& message, const QByteArray& signature, const PublicKey& key) {
  if (sodium_init() < 0) return false;
  if (signature.size() != crypto_sign_BYTES) return false;
  return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.constData()),
                                     reinterpret_cast<const unsigned char*>(message.constData()),
                                     static_cast<unsigned long long>(message.size()), key.data()) == 0;
}

QString SpeedText(qint64 bytes, qint64 milliseconds) {
  if (milliseconds <= 0) return QString();
  const double kiloOctetsPerSecond = static_cast<double>(bytes) / 1024.0 / (milliseconds / 1000.0);
  return QString::number(kiloOctetsPerSecond, 'f', 2);
}

bool StartInstaller(const std::filesystem::path& installer) {
  QFile file(QString::fromStdString(installer.string()));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const bool windowsProgram = file.read(2) == "MZ";
  file.close();
  const std::filesystem::path folder = installer.parent_path();
  if (windowsProgram)
    return StartUnderWine(installer.string(), {}, folder, WineRegistry::DefaultPrefix()) ==
           WineStartOutcome::Started;
  std::error_code error;
  std::filesystem::permissions(installer, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add,
                               error);
  if (error) return false;
  return StartDetached(installer.string(), {}, folder);
}

FileDownload::FileDownload(QNetworkAccessManager& network, const QUrl& url, const QString& filePath, qint64 cap,
                           QObject* parent)
    : QObject(parent), m_network(network), m_url(url), m_filePath(filePath), m_cap(cap) {}

FileDownload::~FileDownload() {
  // Nothing of ours may run for a reply aborted while we are being destroyed.
  if (m_reply) {
    m_reply->disconnect(this);
    m_reply->abort();
  }
}

void FileDownload::Start() {
  m_file = new QFile(m_filePath, this);
  if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
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
      return Fail(QString("%1 %2").arg(status.toInt()).arg(
          m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
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
  if (m_file) {
    m_file->close();
    QFile::remove(m_filePath);
  }
  emit Finished(false, error);
}

UpdateCheck::UpdateCheck(QNetworkAccessManager& network, const QString& serverSetting,
                         const std::filesystem::path& tempFolder, UpdateCheckEvents events, const PublicKey& key,
                         QObject* parent)
    : QObject(parent),
      m_network(network),
      m_serverSetting(serverSetting),
      m_tempFolder(tempFolder),
      m_events(std::move(events)),
      m_key(key) {}

std::filesystem::path UpdateCheck::SignaturePath() const {
  return m_tempFolder / (std::string(kInstallerFileName) + ".sig");
}

void UpdateCheck::Start() {
  const std::optional<QUrl> server = UpdateServerAddress(m_serverSetting);
  if (!server) {
    m_events.log("NoUpdateServer");
    QTimer::singleShot(0, this, [this] { End(UpdateOutcome::NoServer); });
    return;
  }
  m_server = *server;
  std::error_code error;
  std::filesystem::create_directories(m_tempFolder, error);
  m_events.log("DownloadingVersion");
  Download(QString::fromUtf8(kVersionPath.data(), kVersionPath.size()), m_tempFolder / kVersionFileName,
           kVersionFileCap, false, [this](bool ok, const QString& error) { OnVersionFile(ok, error); });
}

void UpdateCheck::Download(const QString& path, const std::filesystem::path& target, qint64 cap, bool progress,
                           std::function<void(bool, const QString&)> then) {
  auto* download =
      new FileDownload(m_network, m_server.resolved(QUrl(path)), QString::fromStdString(target.string()), cap, this);
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
  connect(download, &FileDownload::Finished, this, [this, download, progress, then](bool ok, const QString& error) {
    download->deleteLater();
    if (progress && m_events.downloadEnds) m_events.downloadEnds();
    then(ok, error);
  });
  download->Start();
}

void UpdateCheck::OnVersionFile(bool ok, const QString& error) {
  if (!ok) {
    m_events.stepFailed("DownloadingVersionError", error);
    return End(UpdateOutcome::Failed);
  }
  m_events.stepSucceeded();
  m_events.log("OpeningVersion");
  QFile file(QString::fromStdString((m_tempFolder / kVersionFileName).string()));
  QByteArray contents;
  QString readError;
  if (!file.open(QIODevice::ReadOnly))
    readError = file.errorString();
  else
    contents = file.read(kVersionFileCap + 1);
  const VersionVerdict verdict = readError.isEmpty() ? JudgeVersionFile(contents) : VersionVerdict::Unreadable;
  if (verdict == VersionVerdict::Unreadable) {
    m_events.stepFailed("OpeningVersionError",
                        readError.isEmpty() ? QString("Not one line of at most 32 printable characters") : readError);
    return End(UpdateOutcome::Failed);
  }
  m_events.stepSucceeded();
  if (verdict == VersionVerdict::UpToDate) return End(UpdateOutcome::UpToDate);
  if (!m_events.askNewVersion()) return End(UpdateOutcome::Declined);
  m_events.log("DownloadingNewVersion");
  Download(QString::fromUtf8(kInstallerPath.data(), kInstallerPath.size()), InstallerPath(), kInstallerCap, true,
           [this](bool ok, const QString& error) { OnInstaller(ok, error); });
}

void UpdateCheck::OnInstaller(bool ok, const QString& error) {
  if (!ok) {
    std::error_code ignored;
    std::filesystem::remove(SignaturePath(), ignored);
    m_events.stepFailed("DownloadingNewVersionError", error);
    return End(UpdateOutcome::Failed);
  }
  const QString signaturePath = QString::fromUtf8(kInstallerPath.data(), kInstallerPath.size()) + ".sig";
  Download(signaturePath, SignaturePath(), kSignatureCap, false,
           [this](bool ok, const QString& error) { OnSignature(ok, error); });
}

void UpdateCheck::InstallerFailed(const char* key, const QString& detail) {
  std::error_code ignored;
  std::filesystem::remove(InstallerPath(), ignored);
  std::filesystem::remove(SignaturePath(), ignored);
  m_events.stepFailed(key, detail);
  End(UpdateOutcome::Failed);
}

void UpdateCheck::OnSignature(bool ok, const QString& error) {
  if (!ok) return InstallerFailed("DownloadingNewVersionError", "Signature: " + error);
  m_events.stepSucceeded();
  m_events.log("VerifyingNewVersion");
  QFile installer(QString::fromStdString(InstallerPath().string()));
  QFile signature(QString::fromStdString(SignaturePath().string()));
  if (!installer.open(QIODevice::ReadOnly)) return InstallerFailed("VerifyingNewVersionError", installer.errorString());
  if (!signature.open(QIODevice::ReadOnly)) return InstallerFailed("VerifyingNewVersionError", signature.errorString());
  if (!SignatureMatches(installer.read(kInstallerCap + 1), signature.read(kSignatureCap + 1), m_key))
    return InstallerFailed("VerifyingNewVersionError", "The signature does not match the release key");
  m_events.stepSucceeded();
  End(UpdateOutcome::InstallerReady);
}

void UpdateCheck::End(UpdateOutcome outcome) { emit Finished(outcome); }

}  // namespace kesta
