#include "update/release_manifest.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <vector>

namespace kesta {

namespace {

std::optional<std::vector<std::uint32_t>> VersionNumbers(std::string_view text) {
  std::vector<std::uint32_t> numbers;
  while (true) {
    const std::size_t dot = text.find('.');
    const std::string_view part = text.substr(0, dot);
    if (part.empty() || part.size() > 9 || numbers.size() == 4) return std::nullopt;
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), number);
    if (error != std::errc() || end != part.data() + part.size()) return std::nullopt;
    numbers.push_back(number);
    if (dot == std::string_view::npos) return numbers;
    text.remove_prefix(dot + 1);
  }
}

// The value of "name=value\n" at the start of `text`, which then moves past the line.
std::optional<std::string_view> TakeLine(std::string_view& text, std::string_view name) {
  const std::size_t end = text.find('\n');
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(end + 1);
  if (line.size() <= name.size() || !line.starts_with(name) || line[name.size()] != '=') return std::nullopt;
  return line.substr(name.size() + 1);
}

std::string ErrorText(int error) { return std::strerror(error); }

// The SHA-256 of the file's first `cap` bytes at most, and how many there were.
std::string HashOpenFile(int fd, std::uint64_t cap, Sha256& hash, std::uint64_t& total) {
  if (sodium_init() < 0) return "The hash library cannot start";
  crypto_hash_sha256_state state;
  crypto_hash_sha256_init(&state);
  std::vector<unsigned char> buffer(1 << 16);
  total = 0;
  while (total < cap) {
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), cap - total));
    const ssize_t count = ::pread(fd, buffer.data(), wanted, static_cast<off_t>(total));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return ErrorText(errno);
    if (count == 0) break;
    crypto_hash_sha256_update(&state, buffer.data(), static_cast<unsigned long long>(count));
    total += static_cast<std::uint64_t>(count);
  }
  crypto_hash_sha256_final(&state, hash.data());
  return {};
}

}  // namespace

Sha256 HashBytes(std::string_view bytes) {
  Sha256 hash{};
  crypto_hash_sha256(hash.data(), reinterpret_cast<const unsigned char*>(bytes.data()),
                     static_cast<unsigned long long>(bytes.size()));
  return hash;
}

std::string HashFile(const std::filesystem::path& path, Sha256& hash, std::uint64_t& size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return path.string() + ": " + ErrorText(errno);
  struct stat status {};
  std::string error;
  if (::fstat(fd, &status) != 0)
    error = ErrorText(errno);
  else if (!S_ISREG(status.st_mode))
    error = path.string() + ": not a regular file";
  else if (static_cast<std::uint64_t>(status.st_size) > kInstallerCap)
    error = path.string() + ": larger than " + std::to_string(kInstallerCap) + " bytes";
  else
    error = HashOpenFile(fd, kInstallerCap + 1, hash, size);
  ::close(fd);
  return error;
}

std::string ManifestText(const ReleaseManifest& manifest) {
  return std::string(kManifestHeader) + "\nversion=" + manifest.version +
         "\nsize=" + std::to_string(manifest.installerSize) +
         "\nsha256=" + ToHex(manifest.sha256.data(), manifest.sha256.size()) + "\n";
}

std::optional<ReleaseManifest> ParseManifest(std::string_view text) {
  if (!text.starts_with(kManifestHeader) || text.substr(kManifestHeader.size(), 1) != "\n")
    return std::nullopt;
  std::string_view rest = text.substr(kManifestHeader.size() + 1);
  const auto version = TakeLine(rest, "version");
  const auto size = TakeLine(rest, "size");
  const auto sha256 = TakeLine(rest, "sha256");
  if (!version || !size || !sha256 || !rest.empty() || !VersionNumbers(*version)) return std::nullopt;
  ReleaseManifest manifest;
  manifest.version = std::string(*version);
  const auto [end, error] =
      std::from_chars(size->data(), size->data() + size->size(), manifest.installerSize);
  if (error != std::errc() || end != size->data() + size->size() || manifest.installerSize == 0 ||
      manifest.installerSize > kInstallerCap)
    return std::nullopt;
  if (!FromHex(*sha256, manifest.sha256.data(), manifest.sha256.size())) return std::nullopt;
  // One spelling only (no leading zeros, lowercase digits), so that the text signed is the text read.
  if (ManifestText(manifest) != text) return std::nullopt;
  return manifest;
}

bool IsNewerVersion(std::string_view candidate, std::string_view running) {
  auto newer = VersionNumbers(candidate);
  auto ours = VersionNumbers(running);
  if (!newer || !ours) return false;
  newer->resize(4, 0);
  ours->resize(4, 0);
  return *newer > *ours;
}

bool SignatureMatches(std::string_view message, std::string_view signature, const PublicKey& key) {
  if (sodium_init() < 0) return false;
  if (signature.size() != crypto_sign_BYTES) return false;
  return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.data()),
                                     reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                                     key.data()) == 0;
}

std::optional<ReleaseManifest> VerifiedManifest(std::string_view text, std::string_view signature,
                                                const PublicKey& key, std::string& error) {
  if (!SignatureMatches(text, signature, key)) {
    error = "The release description is not signed with the release key";
    return std::nullopt;
  }
  std::optional<ReleaseManifest> manifest = ParseManifest(text);
  if (!manifest) error = "The signed release description cannot be read";
  return manifest;
}

std::string ToHex(const unsigned char* bytes, std::size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0xf];
  }
  return hex;
}

bool FromHex(std::string_view hex, unsigned char* out, std::size_t size) {
  if (hex.size() != size * 2) return false;
  const auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < size; ++i) {
    const int high = digit(hex[2 * i]);
    const int low = digit(hex[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    out[i] = static_cast<unsigned char>(high << 4 | low);
  }
  return true;
}

std::optional<PublicKey> PublicKeyFromHex(std::string_view hex) {
  PublicKey key{};
  if (!FromHex(hex, key.data(), key.size())) return std::nullopt;
  return key;
}

std::string CheckInstallerBytes(int fd, const ReleaseManifest& release) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) return ErrorText(errno);
  if (!S_ISREG(status.st_mode)) return "The installer is not a regular file";
  if (static_cast<std::uint64_t>(status.st_size) != release.installerSize)
    return "The installer has " + std::to_string(status.st_size) + " bytes, the signed release " +
           std::to_string(release.installerSize);
  Sha256 hash{};
  std::uint64_t total = 0;
  // One byte beyond the signed size is enough to tell a longer file.
  if (std::string error = HashOpenFile(fd, release.installerSize + 1, hash, total); !error.empty())
    return error;
  if (total != release.installerSize || sodium_memcmp(hash.data(), release.sha256.data(), hash.size()) != 0)
    return "The installer's SHA-256 is not the signed release's";
  return {};
}

std::string CheckInstallerFile(const std::filesystem::path& path, const ReleaseManifest& release) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return path.string() + ": " + ErrorText(errno);
  std::string error = CheckInstallerBytes(fd, release);
  ::close(fd);
  return error;
}

}  // namespace kesta
