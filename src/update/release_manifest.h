#pragma once
// What a release is signed as: a short text naming its version, the installer's size and its SHA-256,
// with a detached Ed25519 signature over exactly that text. Shared by the program, which checks a
// download against it, and the release tool, which writes it. No Qt: the tool stays small.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kesta {

using PublicKey = std::array<unsigned char, 32>;
using Sha256 = std::array<unsigned char, 32>;

// The first line, naming what the text is: a signature over anything else never passes for a release.
inline constexpr std::string_view kManifestHeader = "KESTA release manifest 1";
// Far above any installer this program has had, far below what would fill a temporary folder.
inline constexpr std::uint64_t kInstallerCap = 256 * 1024 * 1024;

struct ReleaseManifest {
  std::string version;
  std::uint64_t installerSize = 0;
  Sha256 sha256{};
  bool operator==(const ReleaseManifest&) const = default;
};

// The manifest's text, four lines each ending in "\n":
//   KESTA release manifest 1
//   version=3.0.4
//   size=1234567
//   sha256=<64 lowercase hex digits>
std::string ManifestText(const ReleaseManifest& manifest);
// Only a text exactly as ManifestText writes it, with a version of dotted numbers and a size from 1 to
// kInstallerCap; nothing otherwise.
std::optional<ReleaseManifest> ParseManifest(std::string_view text);

// A version is one to four numbers of at most nine digits joined by dots ("3.0.4"). Whether `candidate`
// is such a version and comes after `running` (missing numbers count as 0: "3.1" equals "3.1.0").
bool IsNewerVersion(std::string_view candidate, std::string_view running);

// Whether `signature` is a detached Ed25519 signature of `message` made with the key's secret half.
bool SignatureMatches(std::string_view message, std::string_view signature, const PublicKey& key);

// The release a signed manifest describes, or the reason it is refused in `error`.
std::optional<ReleaseManifest> VerifiedManifest(std::string_view text, std::string_view signature,
                                                const PublicKey& key, std::string& error);

std::string ToHex(const unsigned char* bytes, std::size_t size);
// Exactly 2 × size hex digits (either case) into `out`; false otherwise.
bool FromHex(std::string_view hex, unsigned char* out, std::size_t size);
std::optional<PublicKey> PublicKeyFromHex(std::string_view hex);

// The SHA-256 of the bytes: with the processor's SHA instructions where it has them, else libsodium's.
Sha256 HashBytes(std::string_view bytes);

// The SHA-256 and size of a regular file of at most kInstallerCap bytes. Empty, or the reason it failed.
std::string HashFile(const std::filesystem::path& path, Sha256& hash, std::uint64_t& size);

// Checks the open file's bytes against the release: a regular file of exactly the signed size whose
// SHA-256 is the signed one. Empty when it matches, else the reason.
std::string CheckInstallerBytes(int fd, const ReleaseManifest& release);
// The same for a path, opened without following a symbolic link.
std::string CheckInstallerFile(const std::filesystem::path& path, const ReleaseManifest& release);

}  // namespace kesta
