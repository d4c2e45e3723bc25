#pragma once
// Game text in the game's Windows code page. Game files are bytes in the ANSI code page of the Wine
// prefix (1252, 1251, 1250, ...); only text shown to or typed by the user is converted, with glibc's
// iconv since Qt 6 knows no Windows code pages.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kesta {

class RegistryStore;

// The ANSI code page Windows uses for the language of a POSIX locale name ("ru_RU.UTF-8" -> 1251);
// 1252 for "C", "POSIX", an empty name and languages written in Western European letters.
int CodePageFromLocale(std::string_view localeName);

// Whether iconv converts this Windows code page here.
bool IsKnownCodePage(int codePage);

// The prefix's "ACP" (HKLM System\CurrentControlSet\Control\Nls\CodePage) when it names a code page
// iconv knows, else the one the locale implies. A registry that cannot be read counts as no value.
int GameCodePage(const RegistryStore& registry, std::string_view localeName);
// The same for the process's registry and locale (LC_ALL, else LC_CTYPE, else LANG), worked out on the
// first call only: start-up must not wait for the registry files to be parsed.
int GameCodePage();

// Converts between the bytes of one code page and UTF-8. Bytes the page leaves undefined get the
// characters Windows gives them (the C1 control of the same value, or a private-use character), so
// that text read from a file and written back unchanged keeps its bytes.
class GameTextCodec {
 public:
  // A code page iconv does not know falls back to 1252.
  explicit GameTextCodec(int codePage);

  int CodePage() const { return m_codePage; }
  // Never fails: bytes no character stands for become U+FFFD (in the Windows pages, only the bytes of
  // broken double-byte sequences).
  std::string ToUtf8(std::string_view bytes) const;
  // Nothing when the text is not valid UTF-8 or holds a character the page has no bytes for: a game
  // file must never get a '?' in place of what the user typed.
  std::optional<std::string> FromUtf8(std::string_view utf8) const;
  bool CanEncode(std::string_view utf8) const { return FromUtf8(utf8).has_value(); }

 private:
  void ReadByteTable();
  std::string DoubleByteToUtf8(std::string_view bytes) const;
  std::optional<unsigned char> FallbackByte(char32_t c) const;

  int m_codePage;
  std::string m_iconvName;
  bool m_singleByte = true;
  // The character of each byte on its own, undefined bytes included. In double-byte pages it stands for
  // the first byte of a sequence iconv cannot decode; 0 there means U+FFFD.
  std::array<char32_t, 256> m_byteChars{};
  // Characters iconv cannot encode that stand for undefined bytes, sorted by character.
  std::vector<std::pair<char32_t, unsigned char>> m_fallbackBytes;
};

// The codec of GameCodePage(), made on first use, or the one a ScopedGameCodePage installed.
const GameTextCodec& GameText();

// Makes GameText() convert with another code page for the lifetime of this object (tests that run pages
// in 1251 and 1252 whatever the machine's prefix says).
class ScopedGameCodePage {
 public:
  explicit ScopedGameCodePage(int codePage);
  ~ScopedGameCodePage();
  ScopedGameCodePage(const ScopedGameCodePage&) = delete;
  ScopedGameCodePage& operator=(const ScopedGameCodePage&) = delete;

 private:
  GameTextCodec m_codec;
  const GameTextCodec* m_previous;
};

}  // namespace kesta
