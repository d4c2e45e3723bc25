#include "platform/code_page.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <exception>

#include "engine/utf8.h"
#include "platform/iconv_converter.h"
#include "platform/registry.h"

namespace kesta {

namespace {

constexpr int kWesternCodePage = 1252;
constexpr int kUtf8CodePage = 65001;
constexpr char32_t kReplacement = 0xFFFD;

// Languages whose Windows ANSI code page is not 1252. Chinese and the languages written in two
// scripts are decided by territory or modifier in CodePageFromLocale.
struct LanguageCodePage {
  std::string_view language;
  int codePage;
};
constexpr LanguageCodePage kLanguageCodePages[] = {
    {"ru", 1251}, {"uk", 1251}, {"be", 1251},  {"bg", 1251},  {"sr", 1251}, {"mk", 1251}, {"ky", 1251},
    {"tt", 1251}, {"mn", 1251}, {"tg", 1251},  {"sah", 1251}, {"hr", 1250}, {"cs", 1250}, {"pl", 1250},
    {"hu", 1250}, {"sk", 1250}, {"sl", 1250},  {"ro", 1250},  {"bs", 1250}, {"sq", 1250}, {"tk", 1250},
    {"el", 1253}, {"tr", 1254}, {"az", 1254},  {"uz", 1254},  {"he", 1255}, {"ar", 1256}, {"fa", 1256},
    {"ur", 1256}, {"ug", 1256}, {"ckb", 1256}, {"et", 1257},  {"lv", 1257}, {"lt", 1257}, {"vi", 1258},
    {"th", 874},  {"ja", 932},  {"ko", 949},   {"zh", 936},
};

// Bytes glibc leaves undefined that Windows maps above the C1 range: private-use characters that keep
// the byte, and one Hebrew point glibc lacks. Undefined bytes 0x80-0x9F become C1 controls instead.
struct WindowsOnlyBytes {
  int codePage;
  unsigned char first;
  unsigned char last;
  char32_t firstChar;
};
constexpr WindowsOnlyBytes kWindowsOnlyBytes[] = {
    {874, 0xDB, 0xDE, 0xF8C1},  {874, 0xFC, 0xFF, 0xF8C5},  {932, 0xA0, 0xA0, 0xF8F0},
    {932, 0xFD, 0xFF, 0xF8F1},  {936, 0xFF, 0xFF, 0xF8F5},  {949, 0xFF, 0xFF, 0xF8F7},
    {950, 0xFF, 0xFF, 0xF8F8},  {1253, 0xAA, 0xAA, 0xF8F9}, {1253, 0xD2, 0xD2, 0xF8FA},
    {1253, 0xFF, 0xFF, 0xF8FB}, {1255, 0xCA, 0xCA, 0x05BA}, {1255, 0xD9, 0xDF, 0xF88D},
    {1255, 0xFB, 0xFC, 0xF894}, {1255, 0xFF, 0xFF, 0xF896}, {1257, 0xA1, 0xA1, 0xF8FC},
    {1257, 0xA5, 0xA5, 0xF8FD},
};

std::optional<char32_t> WindowsOnlyChar(int codePage, unsigned char byte) {
  for (const WindowsOnlyBytes& run : kWindowsOnlyBytes) {
    if (run.codePage == codePage && byte >= run.first && byte <= run.last)
      return run.firstChar + (byte - run.first);
  }
  // In UTF-8 a C1 control has bytes of its own, so a stray byte there is only a replacement character.
  if (codePage != kUtf8CodePage && byte >= 0x80 && byte <= 0x9F) return byte;
  return std::nullopt;
}

// Windows calls UTF-8 code page 65001; Wine makes it the ACP of languages without an ANSI code page.
std::string IconvName(int codePage) {
  return codePage == kUtf8CodePage ? "UTF-8" : "CP" + std::to_string(codePage);
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = ReadUtf8Char(text, pos).length;
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// The language, territory and modifier of "language_TERRITORY.codeset@modifier", lower-cased.
struct LocaleParts {
  std::string language, territory, modifier;
};

LocaleParts SplitLocale(std::string_view name) {
  LocaleParts parts;
  const std::size_t at = name.find('@');
  if (at != std::string_view::npos) parts.modifier = AsciiLower(name.substr(at + 1));
  name = name.substr(0, std::min(at, name.find('.')));
  const std::size_t underscore = name.find('_');
  parts.language = AsciiLower(name.substr(0, underscore));
  if (underscore != std::string_view::npos) parts.territory = AsciiLower(name.substr(underscore + 1));
  return parts;
}

std::optional<int> PositiveNumber(std::string_view text) {
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number <= 0) return std::nullopt;
  return number;
}

// Empty variables count as unset, as for setlocale.
std::string EnvironmentLocale() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    if (const char* value = std::getenv(name); value && *value) return value;
  }
  return {};
}

const GameTextCodec* g_installedCodec = nullptr;

}  // namespace

int CodePageFromLocale(std::string_view localeName) {
  const LocaleParts locale = SplitLocale(localeName);
  if (locale.language == "zh") {
    const bool traditional = locale.territory == "tw" || locale.territory == "hk" || locale.territory == "mo";
    return traditional ? 950 : 936;
  }
  if (locale.language == "sr" && locale.modifier == "latin") return 1250;
  if (locale.language == "uz" && locale.modifier == "cyrillic") return 1251;
  for (const LanguageCodePage& entry : kLanguageCodePages) {
    if (entry.language == locale.language) return entry.codePage;
  }
  return kWesternCodePage;
}

bool IsKnownCodePage(int codePage) { return codePage > 0 && Iconv("UTF-8", IconvName(codePage)).IsOpen(); }

int GameCodePage(const RegistryStore& registry, std::string_view localeName) {
  std::optional<std::string> acp;
  try {
    acp = registry.ReadString(RegRoot::LocalMachine, "System\\CurrentControlSet\\Control\\Nls\\CodePage",
                              "ACP");
  } catch (const std::exception&) {
    acp.reset();
  }
  if (acp) {
    if (const std::optional<int> number = PositiveNumber(*acp); number && IsKnownCodePage(*number))
      return *number;
  }
  const int fromLocale = CodePageFromLocale(localeName);
  return IsKnownCodePage(fromLocale) ? fromLocale : kWesternCodePage;
}

int GameCodePage() {
  static const int codePage = GameCodePage(CurrentRegistry(), EnvironmentLocale());
  return codePage;
}

GameTextCodec::GameTextCodec(int codePage)
    : m_codePage(IsKnownCodePage(codePage) ? codePage : kWesternCodePage),
      m_iconvName(IconvName(m_codePage)) {
  ReadByteTable();
}

// Asks iconv for each byte on its own. A byte that needs a following byte marks a double-byte page.
void GameTextCodec::ReadByteTable() {
  Iconv decoder("UTF-32LE", m_iconvName);
  for (int value = 0; value < 256; ++value) {
    const auto byte = static_cast<unsigned char>(value);
    const char in = static_cast<char>(byte);
    std::string out;
    if (decoder.IsOpen() && decoder.Convert(std::string_view(&in, 1), 0, out) == 1 && out.size() == 4) {
      m_byteChars[byte] = static_cast<char32_t>(static_cast<unsigned char>(out[0])) |
                          static_cast<char32_t>(static_cast<unsigned char>(out[1])) << 8 |
                          static_cast<char32_t>(static_cast<unsigned char>(out[2])) << 16 |
                          static_cast<char32_t>(static_cast<unsigned char>(out[3])) << 24;
      continue;
    }
    if (decoder.LastError() == EINVAL) m_singleByte = false;
    // Without iconv at all, each byte still keeps a character of its own.
    const std::optional<char32_t> fallback =
        decoder.IsOpen() ? WindowsOnlyChar(m_codePage, byte) : std::optional<char32_t>(byte);
    if (!fallback) continue;
    m_byteChars[byte] = *fallback;
    m_fallbackBytes.emplace_back(*fallback, byte);
  }
  // A page outside the Windows ones may still leave a byte without a character.
  if (m_singleByte) std::replace(m_byteChars.begin() + 1, m_byteChars.end(), char32_t{0}, kReplacement);
  std::sort(m_fallbackBytes.begin(), m_fallbackBytes.end());
}

std::string GameTextCodec::ToUtf8(std::string_view bytes) const {
  if (!m_singleByte) return DoubleByteToUtf8(bytes);
  std::string utf8;
  utf8.reserve(bytes.size() + bytes.size() / 2);
  for (const char byte : bytes) AppendUtf8(m_byteChars[static_cast<unsigned char>(byte)], utf8);
  return utf8;
}

std::string GameTextCodec::DoubleByteToUtf8(std::string_view bytes) const {
  Iconv decoder("UTF-8", m_iconvName);
  std::string utf8;
  for (std::size_t pos = 0; pos < bytes.size();) {
    pos = decoder.IsOpen() ? decoder.Convert(bytes, pos, utf8) : pos;
    if (pos == bytes.size()) break;
    const char32_t fallback = m_byteChars[static_cast<unsigned char>(bytes[pos])];
    AppendUtf8(fallback ? fallback : kReplacement, utf8);
    ++pos;
  }
  return utf8;
}

std::optional<unsigned char> GameTextCodec::FallbackByte(char32_t c) const {
  const auto found = std::lower_bound(m_fallbackBytes.begin(), m_fallbackBytes.end(), c,
                                      [](const auto& entry, char32_t value) { return entry.first < value; });
  if (found == m_fallbackBytes.end() || found->first != c) return std::nullopt;
  return found->second;
}

// iconv does the work so that pages written with combining marks (1255, 1258) also take precomposed
// letters; only characters it cannot encode are looked up among the undefined bytes.
std::optional<std::string> GameTextCodec::FromUtf8(std::string_view utf8) const {
  if (!IsValidUtf8(utf8)) return std::nullopt;
  Iconv encoder(m_iconvName, "UTF-8");
  std::string bytes;
  for (std::size_t pos = 0; pos < utf8.size();) {
    pos = encoder.IsOpen() ? encoder.Convert(utf8, pos, bytes) : pos;
    if (pos == utf8.size()) break;
    const auto [c, length] = ReadUtf8Char(utf8, pos);
    const std::optional<unsigned char> byte = FallbackByte(c);
    if (!byte) return std::nullopt;
    bytes += static_cast<char>(*byte);
    pos += length;
  }
  return bytes;
}

const GameTextCodec& GameText() {
  if (g_installedCodec) return *g_installedCodec;
  static const GameTextCodec codec(GameCodePage());
  return codec;
}

ScopedGameCodePage::ScopedGameCodePage(int codePage) : m_codec(codePage), m_previous(g_installedCodec) {
  g_installedCodec = &m_codec;
}

ScopedGameCodePage::~ScopedGameCodePage() { g_installedCodec = m_previous; }

}  // namespace kesta
