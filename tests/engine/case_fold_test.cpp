// Comparing UTF-8 paths without regard to letter case.

#include "engine/case_fold.h"

#include <gtest/gtest.h>

namespace kesta {
namespace {

TEST(CaseFoldTest, LettersOfEachScriptMatchTheirOtherCaseAndNothingElse) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  };
  const Case cases[] = {
      {"/home/Pilot/Config.KST", "/HOME/pilot/config.kst", true},
      {"/b/\xC3\x89t\xC3\xA9.kst", "/B/\xC3\xA9T\xC3\x89.KST", true},  // Été, éTÉ
      {"\xC3\x80\xC3\x9E\xC3\x98", "\xC3\xA0\xC3\xBE\xC3\xB8", true},  // ÀÞØ, àþø
      {"\xC3\x97", "\xC3\xB7", false},                                 // × and ÷ are no pair
      {"\xC3\x9F", "ss", false},                                       // ß stays one letter
      {"\xC5\xB8", "\xC3\xBF", true},                                  // Ÿ, ÿ
      {"\xC5\x81\xC3\xB3"
       "d\xC5\xBA",
       "\xC5\x82\xC3\x93"
       "D\xC5\xB9",
       true},                                                          // Łódź, łÓDŹ
      {"\xC4\x8C\xC5\x98\xC5\x8A", "\xC4\x8D\xC5\x99\xC5\x8B", true},  // ČŘŊ, čřŋ
      {"\xC4\xB0", "i", false},                                        // dotted İ has no simple folding
      {"\xC5\xBF", "s", true},                                         // long s
      {"\xC2\xB5", "\xCE\xBC", true},                                  // micro sign, mu
      {"\xCE\xA3\xCE\x86", "\xCF\x82\xCE\xAC", true},                  // ΣΆ, ςά
      {"\xD0\x9F\xD0\xB8\xD0\xBB\xD0\xBE\xD1\x82", "\xD0\xBF\xD0\x98\xD0\x9B\xD0\x9E\xD0\xA2",
       true},                                          // Пилот
      {"\xD0\x81\xD0\x87", "\xD1\x91\xD1\x97", true},  // ЁЇ, ёї
      {"\xD2\x90\xD3\x80", "\xD2\x91\xD3\x8F", true},  // Ґ, ӏ
      {"\xD0\x95", "E", false},                        // Cyrillic Е is not Latin E
      {"config.kst", "config.ks", false},
      {"config.ks", "config.kst", false},
      {"", "", true},
      // Bytes that are not UTF-8 match only themselves, never another broken byte or a character.
      {"/b/\xFF.kst", "/b/\xFF.kst", true},
      {"/b/\xFF.kst", "/b/\xFE.kst", false},
      {"/b/\xC3.kst", "/b/\xC3\x83.kst", false},
      {"/b/\xC9t\xE9.kst", "/b/\xC3\x89t\xC3\xA9.kst", false},  // Latin-1 bytes of "Été"
      {"\xEF\xBF\xBD", "\xFF", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SameIgnoringCase(c.a, c.b), c.same) << c.a << " / " << c.b;
    EXPECT_EQ(SameIgnoringCase(c.b, c.a), c.same) << c.b << " / " << c.a;
  }
}

}  // namespace
}  // namespace kesta
