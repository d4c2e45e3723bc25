#include "platform/code_page.h"

#include <gtest/gtest.h>

#include "support/memory_registry.h"

namespace kesta {
namespace {

using test::MemoryStore;

// The spelling Wine writes in system.reg; lookups ignore case.
constexpr const char* kCodePageKey = "System\\CurrentControlSet\\Control\\Nls\\Codepage";

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (!hex.empty()) hex += ' ';
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

TEST(CodePageFromLocale, GivesTheAnsiCodePageOfTheLanguage) {
  const std::pair<const char*, int> cases[] = {
      {"ru_RU.UTF-8", 1251},
      {"uk_UA.UTF-8", 1251},
      {"be_BY", 1251},
      {"bg_BG.UTF-8", 1251},
      {"sr_RS.UTF-8", 1251},
      {"sr_RS.UTF-8@latin", 1250},
      {"sr_RS@latin", 1250},
      {"mk_MK", 1251},
      {"ky_KG.UTF-8", 1251},
      {"tk_TM", 1250},
      {"ckb_IQ", 1256},
      {"hr_HR.UTF-8", 1250},
      {"cs_CZ", 1250},
      {"pl_PL.ISO-8859-2", 1250},
      {"hu_HU", 1250},
      {"sk_SK", 1250},
      {"sl_SI", 1250},
      {"ro_RO", 1250},
      {"bs_BA", 1250},
      {"sq_AL", 1250},
      {"el_GR.UTF-8", 1253},
      {"tr_TR.UTF-8", 1254},
      {"az_AZ", 1254},
      {"uz_UZ", 1254},
      {"uz_UZ.UTF-8@cyrillic", 1251},
      {"he_IL.UTF-8", 1255},
      {"ar_EG.UTF-8", 1256},
      {"fa_IR", 1256},
      {"ur_PK", 1256},
      {"et_EE", 1257},
      {"lv_LV", 1257},
      {"lt_LT", 1257},
      {"vi_VN", 1258},
      {"th_TH.UTF-8", 874},
      {"ja_JP.UTF-8", 932},
      {"ja", 932},
      {"zh_CN.UTF-8", 936},
      {"zh_SG", 936},
      {"zh", 936},
      {"zh_TW.UTF-8", 950},
      {"zh_HK.Big5-HKSCS", 950},
      {"ko_KR.EUC-KR", 949},
      {"RU_ru.utf8", 1251},
      {"ru", 1251},
      {"de_DE.UTF-8@euro", 1252},
      {"en_US.UTF-8", 1252},
      {"fr_FR", 1252},
      {"C", 1252},
      {"C.UTF-8", 1252},
      {"POSIX", 1252},
      {"", 1252},
      {"_RU", 1252},
      {"rus_RU", 1252},
  };
  for (const auto& [locale, codePage] : cases) EXPECT_EQ(CodePageFromLocale(locale), codePage) << locale;
}

TEST(GameCodePage, TakesThePrefixAcpThenTheLocaleThenWesternEurope) {
  struct Case {
    const char* name;
    std::optional<std::optional<std::string>> acp;  // no key; a value of another type; a text
    const char* locale;
    int expected;
  };
  const Case cases[] = {
      {"ACP wins over the locale", std::optional<std::string>("1251"), "en_US.UTF-8", 1251},
      {"ACP of another script", std::optional<std::string>("1253"), "ru_RU.UTF-8", 1253},
      {"double-byte ACP", std::optional<std::string>("932"), "C", 932},
      // What Wine writes for languages without an ANSI code page (Georgian, Hindi, ...).
      {"UTF-8 ACP", std::optional<std::string>("65001"), "ka_GE.UTF-8", 65001},
      {"not a number", std::optional<std::string>("cyrillic"), "ru_RU.UTF-8", 1251},
      {"trailing text", std::optional<std::string>("1251 "), "pl_PL", 1250},
      {"empty", std::optional<std::string>(""), "ru_RU", 1251},
      {"zero", std::optional<std::string>("0"), "el_GR", 1253},
      {"negative", std::optional<std::string>("-1251"), "ru_RU", 1251},
      {"unknown to iconv", std::optional<std::string>("12345"), "tr_TR", 1254},
      {"too large", std::optional<std::string>("99999999999"), "ru_RU", 1251},
      {"not a string", std::optional<std::string>(), "ru_RU", 1251},
      {"no key", std::nullopt, "ru_RU.UTF-8", 1251},
      {"no key, C locale", std::nullopt, "C", 1252},
      {"no key, no locale", std::nullopt, "", 1252},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryStore store;
    if (c.acp) store.Set(RegRoot::LocalMachine, kCodePageKey, "ACP", *c.acp);
    // The same key under HKEY_CURRENT_USER is not the machine's code page.
    store.Set(RegRoot::CurrentUser, kCodePageKey, "ACP", "1257");
    EXPECT_EQ(GameCodePage(store, c.locale), c.expected);
  }
}

TEST(IsKnownCodePage, KnowsThePagesIconvConverts) {
  for (const int codePage :
       {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 65001})
    EXPECT_TRUE(IsKnownCodePage(codePage)) << codePage;
  for (const int codePage : {0, -1252, 12345}) EXPECT_FALSE(IsKnownCodePage(codePage)) << codePage;
}

TEST(GameTextCodec, ConvertsBothWays) {
  struct Case {
    int codePage;
    std::string utf8;
    std::string bytes;
  };
  const Case cases[] = {
      {1251, "Пилот", "\xCF\xE8\xEB\xEE\xF2"},
      {1251, "Ёж №1",
       "\xA8\xE6 \xB9"
       "1"},
      {1252, "é", "\xE9"},
      {1252, "Pilote € ÿ", "Pilote \x80 \xFF"},
      {1250, "Łódź", "\xA3\xF3\x64\x9F"},
      {1253, "Πιλότος", "\xD0\xE9\xEB\xFC\xF4\xEF\xF2"},
      {1254, "Pilot Şahin", "Pilot \xDE\x61hin"},
      {1257, "Ąžuolas", "\xC0\xFEuolas"},
      {932, "パイロット", "\x83p\x83\x43\x83\x8D\x83\x62\x83g"},
      {936, "飞行员", "\xB7\xC9\xD0\xD0\xD4\xB1"},
      {949, "조종사", "\xC1\xB6\xC1\xBE\xBB\xE7"},
      {950, "飛行員", "\xAD\xB8\xA6\xE6\xAD\xFB"},
      {65001, "Пилот", "Пилот"},
      // Bytes are bytes: NUL and line breaks pass unchanged.
      {1251, std::string("a\0\r\nb", 5), std::string("a\0\r\nb", 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    const GameTextCodec codec(c.codePage);
    EXPECT_EQ(codec.CodePage(), c.codePage);
    EXPECT_EQ(codec.ToUtf8(c.bytes), c.utf8);
    const std::optional<std::string> bytes = codec.FromUtf8(c.utf8);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(Hex(*bytes), Hex(c.bytes));
    EXPECT_TRUE(codec.CanEncode(c.utf8));
  }
}

// Each byte on its own, and all of them in one string so that stateful decoding cannot hide a fault.
TEST(GameTextCodec, EveryByteOfASingleBytePageComesBackUnchanged) {
  for (const int codePage : {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
    SCOPED_TRACE(codePage);
    const GameTextCodec codec(codePage);
    std::string all;
    for (int value = 0; value < 256; ++value) {
      const std::string byte(1, static_cast<char>(value));
      all += byte;
      const std::string utf8 = codec.ToUtf8(byte);
      EXPECT_EQ(codec.FromUtf8(utf8), byte) << "byte " << Hex(byte) << " as " << Hex(utf8);
    }
    const std::optional<std::string> back = codec.FromUtf8(codec.ToUtf8(all));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(Hex(*back), Hex(all));
  }
}

TEST(GameTextCodec, UndefinedBytesGetTheCharactersWindowsGivesThem) {
  struct Case {
    int codePage;
    std::string bytes;
    const char* utf8;
  };
  const Case cases[] = {
      {1252, "\x81\x8D\x8F\x90\x9D", "\u0081\u008D\u008F\u0090\u009D"},
      {1251, "\x98", "\u0098"},
      {1250, "\x81\x83\x88\x90\x98", "\u0081\u0083\u0088\u0090\u0098"},
      {1253, "\xAA\xD2\xFF", "\uF8F9\uF8FA\uF8FB"},
      {1255, "\xCA\xD9\xFF", "\u05BA\uF88D\uF896"},
      {1257, "\xA1\xA5", "\uF8FC\uF8FD"},
      {874, "\xDB\xFF", "\uF8C1\uF8C8"},
      {932, "A\xA0\xFD", "A\uF8F0\uF8F1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codePage);
    const GameTextCodec codec(c.codePage);
    EXPECT_EQ(Hex(codec.ToUtf8(c.bytes)), Hex(c.utf8));
    EXPECT_EQ(codec.FromUtf8(c.utf8), c.bytes);
  }
}

TEST(GameTextCodec, BrokenDoubleByteSequencesStillGiveText) {
  struct Case {
    int codePage;
    std::string bytes;
    const char* utf8;
  };
  const Case cases[] = {
      {932, "A\x82", "A\u0082"},          // a lead byte cut off at the end keeps its byte
      {932, "\x82\x20x", "\u0082 x"},     // a lead byte before a byte that cannot follow it
      {936, "\xB0", "\uFFFD"},            // a lead byte with no character of its own
      {936, "\xB7\xC9\xB0", "飞\uFFFD"},  // after a good pair
      {949, "\xC1\xB6\xC1", "조\uFFFD"},
      {65001, "a\x9F\xD0", "a\uFFFD\uFFFD"},  // no C1 control: U+009F has bytes of its own in UTF-8
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Hex(c.bytes));
    EXPECT_EQ(GameTextCodec(c.codePage).ToUtf8(c.bytes), c.utf8);
  }
}

TEST(GameTextCodec, TextThePageCannotHoldGivesNothing) {
  const std::pair<int, const char*> cases[] = {
      {1252, "Ж"},          {1252, "Pilot Ж"},   {1251, "é"}, {1250, "日"},
      {1252, "\U0001F600"}, {932, "\U0001F600"}, {936, "조"}, {1252, "\u0080"},  // 1252 has no undefined 0x80
  };
  for (const auto& [codePage, utf8] : cases) {
    SCOPED_TRACE(utf8);
    const GameTextCodec codec(codePage);
    EXPECT_EQ(codec.FromUtf8(utf8), std::nullopt);
    EXPECT_FALSE(codec.CanEncode(utf8));
  }
}

TEST(GameTextCodec, InvalidUtf8GivesNothing) {
  const std::string cases[] = {
      "\xC3",              // cut short
      "abc\xD0",           // cut short at the end
      "\x80",              // stray continuation byte
      "\xC0\xAF",          // overlong "/"
      "\xE0\x80\xAF",      // overlong "/"
      "\xED\xA0\x80",      // surrogate
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "\xFF",
      "Pilot\xE9",  // Latin-1, not UTF-8
  };
  const GameTextCodec codec(1252);
  for (const std::string& text : cases) EXPECT_EQ(codec.FromUtf8(text), std::nullopt) << Hex(text);
}

// Pages written with combining marks take precomposed letters too, as a user types them.
TEST(GameTextCodec, VietnameseAndHebrewTakePrecomposedLetters) {
  EXPECT_EQ(Hex(GameTextCodec(1258).FromUtf8("Việt").value_or("none")), Hex("Vi\xEA\xF2t"));
  EXPECT_EQ(Hex(GameTextCodec(1255).FromUtf8("\uFB2A").value_or("none")), Hex("\xF9\xD1"));
}

TEST(GameTextCodec, UnknownCodePageFallsBackToWesternEurope) {
  const GameTextCodec codec(12345);
  EXPECT_EQ(codec.CodePage(), 1252);
  EXPECT_EQ(codec.ToUtf8("\xE9\x80"), "é€");
}

TEST(ScopedGameCodePage, ReplacesTheProcessCodecForItsScope) {
  const GameTextCodec* processCodec = &GameText();
  {
    const ScopedGameCodePage cyrillic(1251);
    EXPECT_EQ(GameText().CodePage(), 1251);
    EXPECT_EQ(GameText().ToUtf8("\xCF\xE8\xEB\xEE\xF2"), "Пилот");
    {
      const ScopedGameCodePage western(1252);
      EXPECT_EQ(GameText().ToUtf8("\xCF\xE8\xEB\xEE\xF2"), "Ïèëîò");
    }
    EXPECT_EQ(GameText().CodePage(), 1251);
  }
  EXPECT_EQ(&GameText(), processCodec);
  EXPECT_EQ(GameText().CodePage(), GameCodePage());
}

}  // namespace
}  // namespace kesta
