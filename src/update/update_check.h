#pragma once
// Looking for a newer release on the update server, fetching its installer and verifying it before
// anything starts. Widget-free: the window shows the steps through UpdateCheckEvents.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "update/program_version.h"
#include "update/release_manifest.h"

class QNetworkAccessManager;
class QNetworkReply;
class QFile;

namespace kesta {

inline constexpr std::string_view kVersionFileName = "KESTAVERSION.TXT";
inline constexpr std::string_view kManifestFileName = "KESTASetup.manifest";
inline constexpr std::string_view kManifestSignatureFileName = "KESTASetup.manifest.sig";
inline constexpr std::string_view kInstallerFileName = "KESTASetup.exe";
inline constexpr std::string_view kVersionPath = "KESTA/version_beta3.txt";
inline constexpr std::string_view kManifestPath = "KESTA/KESTASetup_beta3.manifest";
inline constexpr std::string_view kManifestSignaturePath = "KESTA/KESTASetup_beta3.manifest.sig";
inline constexpr std::string_view kInstallerPath = "KESTA/KESTASetup_beta3.exe";
inline constexpr qint64 kVersionFileCap = 4 * 1024;
inline constexpr qint64 kManifestCap = 1024;

// The key releases are signed with, set when the program is built (KESTA_RELEASE_PUBLIC_KEY). Nothing
// in a build without one: such a program reports new versions but starts no installer.
std::optional<PublicKey> BuiltInReleaseKey();

// The base address in the setting "UpdateServer": http:// or https:// with a host. Nothing otherwise.
std::optional<QUrl> UpdateServerAddress(const QString& setting);

enum class VersionVerdict { UpToDate, NewVersion, Unreadable };
// The version file holds one line of printable characters (a final line break allowed), at most
// 32 bytes; it names a new version when that line differs in any way from ours. It is not signed: it
// only decides whether to ask; what may be installed is decided by the signed manifest.
VersionVerdict JudgeVersionFile(const QByteArray& contents);

// A fresh folder of our own (mode 0700) below `parent`, which is made when missing, for one check's
// downloads: nobody else can plant, swap or change a file in it. Nothing, with the reason, on failure.
std::optional<std::filesystem::path> MakePrivateFolder(const std::filesystem::path& parent, QString& error);

// An installer that matched its signed release, in the private folder it was downloaded into.
struct VerifiedInstaller {
  std::filesystem::path folder;
  std::filesystem::path installer;
  ReleaseManifest release;
};

// Kilo-octets per second with two decimals: "512.00" for 2,097,152 bytes in 4000 ms.
QString SpeedText(qint64 bytes, qint64 milliseconds);

// Checks the installer's bytes against its signed release once more, then starts them from their
// folder: a Windows executable ("MZ") under Wine in the environment's prefix, anything else directly.
// Empty when it started, else the reason.
QString StartVerifiedInstaller(const VerifiedInstaller& verified);

// One GET into a new file, asynchronous: the file is created exclusively (an existing file or link at
// the path fails the download and stays as it was). The body is capped; on any failure the file is
// deleted.
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
  bool m_created = false;
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
  NoServer,  // "UpdateServer" is empty or not an address: nothing was sent
  Failed,    // a step failed (logged)
  UpToDate,
  Declined,        // a new version, not wanted
  NoReleaseKey,    // a new version, but this build has no key to verify an installer with
  InstallerReady,  // downloaded and verified: Verified() may be started
};

// The whole check, one step after the other without blocking: version file, the question, the signed
// release manifest, the installer, its bytes against the manifest. Everything is downloaded into a
// private folder, removed again unless an installer is ready there.
class UpdateCheck : public QObject {
  Q_OBJECT
 public:
  UpdateCheck(QNetworkAccessManager& network, const QString& serverSetting,
              const std::filesystem::path& tempFolder, UpdateCheckEvents events,
              std::optional<PublicKey> key = BuiltInReleaseKey(), QObject* parent = nullptr);
  ~UpdateCheck() override;
  void Start();
  // The private folder of this check (empty before it is made).
  const std::filesystem::path& Folder() const { return m_folder; }
  // Set when the check ended with InstallerReady.
  const std::optional<VerifiedInstaller>& Verified() const { return m_verified; }

 signals:
  void Finished(kesta::UpdateOutcome outcome);

 private:
  void Download(const QString& path, const std::filesystem::path& target, qint64 cap, bool progress,
                std::function<void(bool, const QString&)> then);
  void OnVersionFile(bool ok, const QString& error);
  void OnManifest(bool ok, const QString& error);
  void OnManifestSignature(bool ok, const QString& error);
  void OnInstaller(bool ok, const QString& error);
  void Fail(const char* key, const QString& detail);
  void End(UpdateOutcome outcome);
  void RemoveFolder();

  QNetworkAccessManager& m_network;
  QString m_serverSetting;
  QUrl m_server;
  std::filesystem::path m_tempFolder;
  std::filesystem::path m_folder;
  UpdateCheckEvents m_events;
  std::optional<PublicKey> m_key;
  ReleaseManifest m_release;
  std::optional<VerifiedInstaller> m_verified;
};

}  // namespace kesta
