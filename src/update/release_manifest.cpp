#include "update/release_manifest.h"

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif
#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <vector>

#include "engine/text.h"

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

namespace {

#if defined(__x86_64__)

// SHA-256 with the processor's SHA extensions: the journal of Applies hashes every file an Apply writes, and
// each entry (which holds the files' bytes before) twice; libsodium's portable code took a quarter of a
// large Apply.
bool HasShaInstructions() {
  static const bool has = [] {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    const bool sse41 = (c & bit_SSE4_1) != 0, ssse3 = (c & bit_SSSE3) != 0;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
    return sse41 && ssse3 && (b & bit_SHA) != 0;
  }();
  return has;
}

alignas(16) constexpr std::uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

// Runs the compression over `blocks` blocks of 64 bytes.
__attribute__((target("sha,sse4.1,ssse3"))) void CompressBlocks(std::uint32_t state[8],
                                                                const unsigned char* data, size_t blocks) {
  const __m128i order = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
  // The instructions keep the state as ABEF and CDGH.
  __m128i cdab = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
  __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
  __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
  __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
  for (; blocks > 0; --blocks, data += 64) {
    const __m128i abefBefore = abef, cdghBefore = cdgh;
    __m128i w[4];
    for (int group = 0; group < 16; ++group) {
      __m128i& current = w[group % 4];
      if (group < 4)
        current =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * group)), order);
      __m128i message = _mm_add_epi32(
          current, _mm_load_si128(reinterpret_cast<const __m128i*>(kRoundConstants + 4 * group)));
      cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
      // The next four words of the schedule, before the words before these are reused below.
      if (group >= 3 && group <= 14) {
        __m128i& next = w[(group + 1) % 4];
        next = _mm_add_epi32(next, _mm_alignr_epi8(current, w[(group + 3) % 4], 4));
        next = _mm_sha256msg2_epu32(next, current);
      }
      message = _mm_shuffle_epi32(message, 0x0E);
      abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
      if (group >= 1 && group <= 12) {
        __m128i& previous = w[(group + 3) % 4];
        previous = _mm_sha256msg1_epu32(previous, current);
      }
    }
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);
  }
  const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

Sha256 HashWithShaInstructions(std::string_view bytes) {
  std::uint32_t state[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                            0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t whole = bytes.size() / 64;
  CompressBlocks(state, data, whole);
  // The rest, the bit 1, zeros, and the length in bits, big-endian: one block or two.
  unsigned char tail[128] = {};
  const size_t rest = bytes.size() % 64;
  if (rest > 0) std::memcpy(tail, data + whole * 64, rest);
  tail[rest] = 0x80;
  const size_t tailBlocks = rest < 56 ? 1 : 2;
  const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
  for (int i = 0; i < 8; ++i) tail[tailBlocks * 64 - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
  CompressBlocks(state, tail, tailBlocks);
  Sha256 hash{};
  for (int i = 0; i < 8; ++i)
    for (int k = 0; k < 4; ++k) hash[4 * i + k] = static_cast<unsigned char>(state[i] >> (24 - 8 * k));
  return hash;
}

#endif

}  // namespace

Sha256 HashBytes(std::string_view bytes) {
#if defined(__x86_64__)
  if (HasShaInstructions()) return HashWithShaInstructions(bytes);
#endif
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
  for (std::size_t i = 0; i < size; ++i) {
    const int high = HexDigit(hex[2 * i]);
    const int low = HexDigit(hex[2 * i + 1]);
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
