#pragma once
// Wine's registry files (user.reg, system.reg) read as text. Pure parsing, no file access, so that any
// bytes can be fed to it: a damaged file yields the keys that are well formed, never a failure.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesta {

// Windows value types, as numbered in the files' "hex(N):" and "str(N):" forms.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegLink = 6;
inline constexpr std::uint32_t kRegMultiSz = 7;

struct WineRegValue {
  std::uint32_t type = 0;
  // String types: UTF-8 text up to its first NUL, as a program reading it sees it. Multi-strings: UTF-8
  // text with the NUL separators. Other types: the stored bytes (a dword as 4 bytes, little endian).
  std::string data;

  bool IsString() const { return type == kRegSz || type == kRegExpandSz; }
};

struct WineRegKey {
  std::string path;                            // as in the file, unescaped, UTF-8
  std::map<std::string, WineRegValue> values;  // by ASCII lower-cased name; "" is the default value
  bool link = false;                           // "#link": opening it opens the key it names instead

  const WineRegValue* FindValue(std::string_view name) const;
  // What a link key names ("\Registry\Machine\System\ControlSet001"); nothing for other keys and
  // for a link without a link value, which Wine cannot open either.
  std::optional<std::string> LinkTarget() const;
};

// Keys by path. Paths separate components with single backslashes and compare without regard to ASCII
// letter case (Wine folds other letters too; names here are ASCII in practice).
class ParsedRegistry {
 public:
  bool IsWin64() const { return m_win64; }
  void SetWin64(bool win64) { m_win64 = win64; }
  std::size_t KeyCount() const { return m_keys.size(); }

  // The key written in the file, if any.
  const WineRegKey* FindKey(std::string_view path) const;
  // Also true for a key that only appears as the parent of deeper keys, and for the root ("").
  bool KeyExists(std::string_view path) const;
  // Names of the direct subkeys, in case-insensitive order, each once.
  std::vector<std::string> SubKeyNames(std::string_view path) const;

  // The key with this path, created when missing.
  WineRegKey& AddKey(std::string_view path);

 private:
  std::map<std::string, WineRegKey> m_keys;  // by ASCII lower-cased path
  bool m_win64 = false;
};

ParsedRegistry ParseWineRegistry(std::string_view text);

// Picks out of a registry file, fed line by line, only what a lookup of one key needs: the sections of
// the key and of its ancestors (any of them may be a link), the header of its first subkey (a key
// written only through its subkeys exists all the same) and the "#arch" lines. Parsed, these give the
// same answers about that key as the whole file, without the cost of every other key.
class WineRegistryKeyScan {
 public:
  explicit WineRegistryKeyScan(std::string_view keyPath);

  // The next line of the file, without its line feed.
  void AddLine(std::string_view line);
  ParsedRegistry Finish() const { return ParseWineRegistry(m_kept); }

 private:
  std::string m_key;     // folded
  std::string m_kept;    // the lines picked, each with its line feed
  std::string m_header;  // the folded path of the last header, kept to spare allocations
  bool m_first = true;
  bool m_valid = false;
  bool m_inKeySection = false;
  bool m_subKeyFound = false;
};

// The text through a WineRegistryKeyScan.
ParsedRegistry ParseWineRegistryKey(std::string_view text, std::string_view keyPath);

// ASCII lower case, the folding used for key paths and value names.
std::string FoldRegistryName(std::string_view name);

}  // namespace kesta
