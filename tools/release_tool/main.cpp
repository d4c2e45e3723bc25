// The release signing tool:
//   kesta_release_tool keygen SECRET_KEY_FILE
//       makes a key pair; the secret key goes into a new file only its owner may read, the public key
//       (for -DKESTA_RELEASE_PUBLIC_KEY) is printed.
//   kesta_release_tool sign SECRET_KEY_FILE VERSION INSTALLER MANIFEST
//       writes the manifest of INSTALLER as release VERSION into MANIFEST and its signature into
//       MANIFEST.sig.
//   kesta_release_tool verify PUBLIC_KEY MANIFEST [INSTALLER]
//       checks MANIFEST against MANIFEST.sig and the key, and INSTALLER against MANIFEST; prints the
//       version.
// Exit status: 0 done, 1 refused or failed, 2 wrong command line.

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "update/release_manifest.h"

namespace {

using kesta::ReleaseManifest;
using SecretKey = std::array<unsigned char, crypto_sign_SECRETKEYBYTES>;

int Fail(const std::string& text) {
  std::cerr << "kesta_release_tool: " << text << "\n";
  return 1;
}

int Usage() {
  std::cerr << "usage: kesta_release_tool keygen SECRET_KEY_FILE\n"
               "       kesta_release_tool sign SECRET_KEY_FILE VERSION INSTALLER MANIFEST\n"
               "       kesta_release_tool verify PUBLIC_KEY MANIFEST [INSTALLER]\n";
  return 2;
}

// A small file's bytes, or nothing when it cannot be read or is larger than `cap`.
std::optional<std::string> ReadSmall(const std::filesystem::path& path, std::size_t cap, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path.string() + ": " + std::strerror(errno);
    return std::nullopt;
  }
  std::string bytes(cap + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (in.bad() || bytes.size() > cap) {
    error = path.string() + ": not a file of at most " + std::to_string(cap) + " bytes";
    return std::nullopt;
  }
  return bytes;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t count = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    done += static_cast<std::size_t>(count);
  }
  return ::fsync(fd) == 0;
}

// Replaces `path` whole: a half-written manifest must never be published.
std::string WriteReplacing(const std::filesystem::path& path, const std::string& bytes) {
  std::string temporary = path.string() + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return path.string() + ": " + std::strerror(errno);
  const bool written = WriteAll(fd, bytes) && ::fchmod(fd, 0644) == 0;
  const int error = errno;
  ::close(fd);
  if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int renameError = written ? errno : error;
    ::unlink(temporary.c_str());
    return path.string() + ": " + std::strerror(renameError);
  }
  return {};
}

int KeyGen(const std::filesystem::path& secretFile) {
  kesta::PublicKey publicKey{};
  SecretKey secretKey{};
  crypto_sign_keypair(publicKey.data(), secretKey.data());
  // Never over an existing key: losing it would make every installed copy refuse the next release.
  const int fd = ::open(secretFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return Fail(secretFile.string() + ": " + std::strerror(errno));
  const bool written = WriteAll(fd, kesta::ToHex(secretKey.data(), secretKey.size()) + "\n");
  const int error = errno;
  ::close(fd);
  sodium_memzero(secretKey.data(), secretKey.size());
  if (!written) {
    ::unlink(secretFile.c_str());
    return Fail(secretFile.string() + ": " + std::strerror(error));
  }
  std::cout << kesta::ToHex(publicKey.data(), publicKey.size()) << "\n";
  return 0;
}

int Sign(const std::filesystem::path& secretFile, const std::string& version,
         const std::filesystem::path& installer, const std::filesystem::path& manifestFile) {
  std::string error;
  std::optional<std::string> secretText = ReadSmall(secretFile, 2 * crypto_sign_SECRETKEYBYTES + 2, error);
  if (!secretText) return Fail(error);
  while (!secretText->empty() && (secretText->back() == '\n' || secretText->back() == '\r'))
    secretText->pop_back();
  SecretKey secretKey{};
  if (!kesta::FromHex(*secretText, secretKey.data(), secretKey.size()))
    return Fail(secretFile.string() + ": not a secret key made by keygen");
  sodium_memzero(secretText->data(), secretText->size());

  ReleaseManifest manifest;
  manifest.version = version;
  if (const std::string hashError = kesta::HashFile(installer, manifest.sha256, manifest.installerSize);
      !hashError.empty())
    return Fail(hashError);
  const std::string text = kesta::ManifestText(manifest);
  if (!kesta::ParseManifest(text))
    return Fail("\"" + version + "\" is not a version of dotted numbers, or the installer is empty");

  std::string signature(crypto_sign_BYTES, '\0');
  crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                       reinterpret_cast<const unsigned char*>(text.data()), text.size(), secretKey.data());
  sodium_memzero(secretKey.data(), secretKey.size());
  if (error = WriteReplacing(manifestFile, text); !error.empty()) return Fail(error);
  if (error = WriteReplacing(manifestFile.string() + ".sig", signature); !error.empty()) return Fail(error);
  std::cout << text;
  return 0;
}

int Verify(const std::string& publicKeyHex, const std::filesystem::path& manifestFile,
           const std::optional<std::filesystem::path>& installer) {
  const std::optional<kesta::PublicKey> key = kesta::PublicKeyFromHex(publicKeyHex);
  if (!key) return Fail("the public key is not 64 hex digits");
  std::string error;
  const std::optional<std::string> text = ReadSmall(manifestFile, 1024, error);
  if (!text) return Fail(error);
  const std::optional<std::string> signature = ReadSmall(manifestFile.string() + ".sig", 1024, error);
  if (!signature) return Fail(error);
  const std::optional<ReleaseManifest> manifest = kesta::VerifiedManifest(*text, *signature, *key, error);
  if (!manifest) return Fail(error);
  if (installer) {
    if (error = kesta::CheckInstallerFile(*installer, *manifest); !error.empty()) return Fail(error);
  }
  std::cout << manifest->version << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (sodium_init() < 0) return Fail("libsodium cannot start");
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.size() == 2 && arguments[0] == "keygen") return KeyGen(arguments[1]);
  if (arguments.size() == 5 && arguments[0] == "sign")
    return Sign(arguments[1], arguments[2], arguments[3], arguments[4]);
  if ((arguments.size() == 3 || arguments.size() == 4) && arguments[0] == "verify")
    return Verify(arguments[1], arguments[2],
                  arguments.size() == 4 ? std::optional<std::filesystem::path>(arguments[3]) : std::nullopt);
  return Usage();
}
