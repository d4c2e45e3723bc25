#pragma once
// Looking for a newer release on the update server, fetching its installer and verifying it before
// anything starts. Widget-free: the window shows the steps through UpdateCheckEvents.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

class QNetworkAccessManager;
class QNetworkReply;
class QFile;

namespace kesta {

inline constexpr std::string_view kProgramVersion = "3.0.3";
inline constexpr std::string_view kVersionFileName = "KESTAVERSION.TXT";
inline constexpr std::string_view kInstallerFileName = "KESTASetup.exe";
inline constexpr std::string_view kVersionPath = "KESTA/version_beta3.txt";
inline constexpr std::string_view kInstallerPath = "KESTA/KESTASetup_beta3.exe";
inline constexpr qint64 kVersionFileCap = 4 * 1024;
// Far above any installer this program has had, far below what would fill a temporary folder.
inline constexpr qint64 kInstallerCap = 256 * 1024 * 1024;
inline constexpr qint64 kSignatureCap = 1024;

using PublicKey = std::array<unsigned char, 32>;
// The key the releases are signed with.
extern const PublicKey kReleasePublicKey;

// The base address in the setting "UpdateServer": http:// or https:// with a host. Nothing otherwise.
std::optional<QUrl> UpdateServerAddress(const QString& setting);

enum class VersionVerdict { UpToDate, NewVersion, Unreadable };
// The version file holds one line of printable characters (a final line break allowed), at most
// 32 bytes; it names a new version when that line differs in any way from ours.
VersionVerdict JudgeVersionFile(const QByteArray& contents);

// Whether `signature` is a detached Ed25519 signature of `message` made with the key's secret half.
bool SignatureMatches(const QByteArray& message, const QByteArray& signature, const PublicKey& key);

// Kilo-octets per second with two decimals: "512.00" for 2,097,152 bytes in 4000 ms.
QString SpeedText(qint64 bytes, qint64 milliseconds);

// Starts the installer from its own folder: a Windows executable ("MZ") under Wine in the environment's
// prefix, anything else directly (made executable first). False when it could not be started.
bool StartInstaller(const std::filesystem::path& installer);

// One GET into a file, asynchronous. The body is capped; on any failure the file is deleted.
class FileDownload : public QObject {
  Q_OBJECT
 public:
  FileDownload(QNetworkAccessManager& network, const QUrl& url, const QString& filePath, qint64 cap,
               QObject* parent = nullptr);
  ~FileDownload() override;
  // Emits Finished once, later (never from inside Start).
  void Start();

 signals:
  void Progress(qint64 received, qint64 total);
  void Finished(bool ok, const QString& error);

 private:
  void Fail(const QString& error);
  void OnReadyRead();
  void OnFinished();

  QNetworkAccessManager& m_network;
  QUrl m_url;
  QString m_filePath;
  qint64 m_cap;
  QFile* m_file = nullptr;
  QPointer<QNetworkReply> m_reply;
  qint64 m_written = 0;
  QString m_failure;
  bool m_done = false;
};

// What the window does while a check runs. Keys are message keys of the language files.
struct UpdateCheckEvents {
  std::function<void(const char* key)> log;  // a new log line
  std::function<void()> stepSucceeded;
  std::function<void(const char* errorKey, const QString& detail)> stepFailed;
  std::function<bool()> askNewVersion;  // true: fetch and install it
  std::function<void(qint64 total)> downloadBegins;
  std::function<void(qint64 received, qint64 total)> downloadProgress;
  std::function<void()> downloadEnds;
};

enum class UpdateOutcome {
  NoServer,        // "UpdateServer" is empty or not an address: nothing was sent
  Failed,          // a step failed (logged)
  UpToDate,
  Declined,        // a new version, not wanted
  InstallerReady,  // downloaded and verified: InstallerPath() may be started
};

// The whole check, one step after the other without blocking: version file, the question, installer,
// its signature, the verification.
class UpdateCheck : public QObject {
  Q_OBJECT
 public:
  UpdateCheck(QNetworkAccessManager& network, const QString& serverSetting,
              const std::filesystem::path& tempFolder, UpdateCheckEvents events,
              const PublicKey& key = kReleasePublicKey, QObject* parent = nullptr);
  void Start();
  std::filesystem::path InstallerPath() const { return m_tempFolder / kInstallerFileName; }
  std::filesystem::path SignaturePath() const;

 signals:
  void Finished(kesta::UpdateOutcome outcome);

 private:
  void Download(const QString& path, const std::filesystem::path& target, qint64 cap, bool progress,
                std::function<void(bool, const QString&)> then);
  void OnVersionFile(bool ok, const QString& error);
  void OnInstaller(bool ok, const QString& error);
  void OnSignature(bool ok, const QString& error);
  void InstallerFailed(const char* key, const QString& detail);
  void End(UpdateOutcome outcome);

  QNetworkAccessManager& m_network;
  QString m_serverSetting;
  QUrl m_server;
  std::filesystem::path m_tempFolder;
  UpdateCheckEvents m_events;
  PublicKey m_key;
};

}  // namespace kesta
