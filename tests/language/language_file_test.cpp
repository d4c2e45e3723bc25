#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "language/language_file.h"
#include "language/message_catalogue.h"
#include "support/language_file_text.h"
#include "support/temp_folder.h"

namespace kesta {

// Lets a failed comparison of entries show them.
void PrintTo(const LanguageEntry& entry, std::ostream* out) {
  *out << "{name \"" << entry.name << "\", text \"" << entry.text << "\", controls [";
  for (const std::string& control : entry.controls) *out << " " << control;
  *out << " ], values [";
  for (const auto& step : entry.values)
    *out << " " << (step.hasPosition ? step.position : "-") << ":" << step.caption;
  *out << " ]}";
}

namespace {

using test::FailureOf;
using test::InLanguage;
using test::TempFolder;
using test::WriteLanguage;

const std::string kNotFound = kTranslationNotFound;

TEST(MessageCatalogueTest, LookupMessageTakesTheFirstEntryWhoseNameMatchesIgnoringAsciiCase) {
  TempFolder folder;
  const auto path = WriteLanguage(folder, R"(
    <entry><name>ReloadAll</name><string>Reload?</string></entry>
    <entry><string>entry without a name</string></entry>
    <entry><name></name><string>entry with an empty name</string></entry>
    <entry><name>Blank</name><string></string></entry>
    <entry><name>Twice</name><string>first</string></entry>
    <entry><name>Twice</name><string>second</string></entry>
    <entry><name>FirstHasNoText</name></entry>
    <entry><name>FirstHasNoText</name><string>too late</string></entry>
    <entry><Name>Capital</Name><String>element names count case</String></entry>
    <entry><name>Été</name><string>summer</string></entry>
    <entry><name>Multi</name><string>line one
line two</string></entry>
    <entry><name>Cyrillic</name><string>Да</string></entry>
    <entry><name>Spaces</name><string>   </string></entry>
    <entry><name>TabAndBreak</name><string>	
</string></entry>
    <entry><name>OnlyMarkup</name><string> <b/> </string></entry>)");
  const TMessageCatalogue messages(path);

  const struct {
    const char* key;
    std::string expected;
  } cases[] = {
      {"ReloadAll", "Reload?"},
      {"reloadall", "Reload?"},
      {"RELOADALL", "Reload?"},
      {"", kNotFound},
      {"Blank", kNotFound},
      {"Twice", "first"},
      {"FirstHasNoText", kNotFound},
      {"Capital", kNotFound},
      {"Été", "summer"},
      {"été", kNotFound},  // only a to z fold
      {"Multi", "line one\nline two"},
      {"Missing", kNotFound},
      // Whitespace alone is a text; whitespace around markup is layout.
      {"Spaces", "   "},
      {"TabAndBreak", "\t\n"},
      {"OnlyMarkup", kNotFound},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.key);
    EXPECT_EQ(messages.LookupMessage(row.key), row.expected);
  }
  EXPECT_EQ(messages.LookupMessage("cyrillic"), "Да");
}

TEST(MessageCatalogueTest, AFileBeyondThePlainReaderIsReadAllTheSame) {
  TempFolder folder;
  const auto path = WriteLanguage(folder, R"(
    <entry><name>Reference</name><string>&#65;&#x42;</string></entry>
    <entry><name>Markup</name><string><![CDATA[<b>]]></string></entry>)");
  const TMessageCatalogue messages(path);

  EXPECT_EQ(messages.LookupMessage("reference"), "AB");
  EXPECT_EQ(messages.LookupMessage("Markup"), "<b>");
}

// The UTF-16 bytes of a text, with or without a byte order mark.
std::string Utf16(std::u16string_view text, bool bigEndian, bool mark) {
  std::string bytes;
  for (const char16_t unit : mark ? u"\uFEFF" + std::u16string(text) : std::u16string(text)) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

TEST(MessageCatalogueTest, AFileInAnotherEncodingIsReadAsItsText) {
  const std::u16string utf16 =
      u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<language><entry><name>Apply</name>"
      u"<string>Appliquer l'\u00e9t\u00e9 \u041f\u0440\u0438</string></entry></language>";
  const struct {
    const char* what;
    std::string bytes;
    std::string text;
  } cases[] = {
      {"ISO-8859-1, declared",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<language><entry><name>Apply</name>"
       "<string>Appliquer l'\xE9t\xE9</string></entry></language>",
       "Appliquer l'été"},
      {"windows-1251, declared in single quotes",
       "<?xml version='1.0' encoding='windows-1251'?>\n<language><entry><name>Apply</name>"
       "<string>\xCF\xF0\xE8\xEC\xE5\xED\xE8\xF2\xFC</string></entry></language>",
       "Применить"},
      {"UTF-16, little-endian with its mark", Utf16(utf16, false, true), "Appliquer l'été При"},
      {"UTF-16, big-endian with its mark", Utf16(utf16, true, true), "Appliquer l'été При"},
      {"UTF-16, little-endian without a mark", Utf16(utf16, false, false), "Appliquer l'été При"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    TempFolder folder;
    const TMessageCatalogue messages(folder.Write("other.xml", row.bytes));
    EXPECT_EQ(messages.LookupMessage("Apply"), row.text);
  }
}

// How a document reads: the same entries by both readers, by pugixml alone, or not at all.
enum class Reading { Plain, PugiOnly, Invalid };

TEST(LanguageFileTest, ThePlainReaderReadsWhatPugixmlReadsOrLeavesTheFileToIt) {
  const struct {
    const char* what;
    std::string xml;
    Reading reading;
  } cases[] = {
      {"every part of an entry", InLanguage(R"(<!-- ribbon -->
        <entry><name>Quality</name><string>Water</string>
          <controls><control>Slider.Caption</control><control>Slider.Values</control></controls>
          <values><item value="0">Low</item><item value='1' extra="x">High</item><item>none</item></values>
        </entry>)"),
       Reading::Plain},
      {"no declaration", "<language><entry><name>A</name><string>a</string></entry></language>",
       Reading::Plain},
      {"encoding in lower case",
       "<?xml version=\"1.0\" encoding=\"utf-8\"?><language><entry><name>A</name></entry></language>",
       Reading::Plain},
      {"declaration without encoding",
       "<?xml version=\"1.0\"?><language><entry><name>A</name></entry></language>", Reading::Plain},
      {"empty and self-closing elements",
       InLanguage("<entry><name>A</name><string/><controls/><values/></entry><entry/><entry></entry>"),
       Reading::Plain},
      {"self-closing root", "<language code=\"T\"/>", Reading::Plain},
      {"nested markup and whitespace between it",
       InLanguage("<entry><name> <b>A</b> </name><string>x<b>y</b> z<i> </i><i/>!</string></entry>"),
       Reading::Plain},
      {"elements holding only whitespace",
       InLanguage(
           "<entry><name> </name><string>\r\n\t</string><controls>  </controls>"
           "<values><item value=\"1\">  </item><item value=\"2\"> <!-- c --> </item></values></entry>"),
       Reading::Plain},
      {"comments between text",
       InLanguage("<entry><name>a<!-- c -->b</name><string>a <!----> b<!--x-->  </string></entry>"),
       Reading::Plain},
      {"named entities",
       InLanguage(
           "<entry><name>E</name><string>Save &amp; exit &lt;F2&gt; &quot;q&quot; &apos;s</string></entry>"
           "<entry><name> &amp; </name><string>&lt;</string></entry>"),
       Reading::Plain},
      {"CR LF and CR line breaks",
       InLanguage("<entry>\r\n<name>L</name>\r\n<string>one\r\ntwo\rthree\r\n</string><controls>\r\n</"
                  "controls></entry>\r"),
       Reading::Plain},
      {"brackets and greater-than in text", InLanguage("<entry><name>a]b>c]]d]</name></entry>"),
       Reading::Plain},
      {"spaces in tags and quotes of either kind",
       InLanguage("<entry ><name >N</name\n><values\t><item  value = \"2\"  other='a\"b' >v</item "
                  "></values></entry>"),
       Reading::Plain},
      {"repeated parts, other tags and text in lists", InLanguage(R"(
        <item><name>First</name><name>Second</name><string>s</string><string>t</string>
          <unknown><name>deep</name><x><y/></x></unknown>
          <controls>loose<control>A.Caption</control><other>B.Hint</other></controls>
          <values>loose<item value="1">v<b>w</b></item><other/></values>
          <controls><control>C.Caption</control></controls><values><item value="9">late</item></values>
        </item>)"),
       Reading::Plain},
      {"names with digits, dots, dashes and underscores",
       "<language><e-1.x_Y><name>N</name><_n/></e-1.x_Y></language>", Reading::Plain},
      {"text beyond ASCII and tabs",
       InLanguage("<entry><name>Été</name><string>Да\tнет ✓ 😀</string></entry>"), Reading::Plain},
      {"comments and whitespace around the root",
       "<!-- a -->\n<language><entry/></language>\n<!-- b -->\n\t ", Reading::Plain},

      {"character references", InLanguage("<entry><name>R</name><string>&#65;&#x42;</string></entry>"),
       Reading::PugiOnly},
      {"CDATA", InLanguage("<entry><name>C</name><string><![CDATA[<b>]]></string></entry>"),
       Reading::PugiOnly},
      {"processing instruction", InLanguage("<entry><?pi x?><name>P</name></entry>"), Reading::PugiOnly},
      {"document type", "<!DOCTYPE language>\n<language/>", Reading::PugiOnly},
      {"byte order mark", "\xEF\xBB\xBF<language><entry><name>B</name></entry></language>",
       Reading::PugiOnly},
      {"other declaration", "<?xml version='1.0' encoding='UTF-8' standalone='yes'?><language/>",
       Reading::PugiOnly},
      {"namespace prefix", "<l:language xmlns:l=\"urn:kesta\"><l:entry/></l:language>", Reading::PugiOnly},
      {"namespace declaration", "<language xmlns=\"urn:kesta\"><entry/></language>", Reading::PugiOnly},
      {"name beyond ASCII", "<language><été/></language>", Reading::PugiOnly},
      {"attribute with a line break", "<language><values><item value=\"1\n\">x</item></values></language>",
       Reading::PugiOnly},
      {"attribute with an entity", "<language a=\"&amp;\"/>", Reading::PugiOnly},

      {"unclosed element", "<language><entry><name>A</name></language>", Reading::Invalid},
      {"end tag in another case", "<language><name>A</Name></language>", Reading::Invalid},
      {"end tag without its element", "<language/></language>", Reading::Invalid},
      {"empty end tag", "<language></></language>", Reading::Invalid},
      {"space after the opening bracket", "< language/>", Reading::Invalid},
      {"]]> in text", "<language>a]]>b</language>", Reading::Invalid},
      {"-- in a comment", "<language><!-- a -- b --></language>", Reading::Invalid},
      {"comment ending in --->", "<language><!-- a ---></language>", Reading::Invalid},
      {"unclosed comment", "<language><!-- a </language>", Reading::Invalid},
      {"attribute twice", "<language a=\"1\" a=\"2\"/>", Reading::Invalid},
      {"< in an attribute", "<language a=\"<\"/>", Reading::Invalid},
      {"attributes without a space between", "<language a=\"1\"b=\"2\"/>", Reading::Invalid},
      {"unquoted attribute", "<language a=1/>", Reading::Invalid},
      {"unclosed attribute", "<language a=\"1/>", Reading::Invalid},
      {"text after the root", "<language/>x", Reading::Invalid},
      {"text before the root", "x<language/>", Reading::Invalid},
      {"second root", "<language/><language/>", Reading::Invalid},
      {"empty file", "", Reading::Invalid},
      {"whitespace only", " \n", Reading::Invalid},
      {"declaration only", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", Reading::Invalid},
      {"declaration after whitespace", " <?xml version=\"1.0\"?><language/>", Reading::Invalid},
      {"control character", "<language>a\x01</language>", Reading::Invalid},
      {"bytes that are not UTF-8", "<language>\xFF</language>", Reading::Invalid},
      {"encoded surrogate", "<language>\xED\xA0\x80</language>", Reading::Invalid},
      {"non-character", "<language>\xEF\xBF\xBE</language>", Reading::Invalid},
      {"unknown entity", "<language>&nbsp;</language>", Reading::Invalid},
      {"lone ampersand", "<language>a & b</language>", Reading::Invalid},
      {"entity without its semicolon", "<language>&amp</language>", Reading::Invalid},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    std::string error;
    const std::vector<LanguageEntry> entries = ReadLanguageEntries(row.xml, &error);
    const std::optional<std::vector<LanguageEntry>> plain = ReadPlainLanguageEntries(row.xml);
    EXPECT_EQ(error.empty(), row.reading != Reading::Invalid) << error;
    ASSERT_EQ(plain.has_value(), row.reading == Reading::Plain);
    if (plain) {
      EXPECT_EQ(*plain, entries);
    }
  }
}

TEST(LanguageFileTest, ThePlainReaderReadsTheShippedLanguageFiles) {
  for (const char* fileName :
       {"fr-FR.xml", "en-EN.xml", "sp-SP.xml", "ru-RU.xml", "hr-HR.xml", "de-DE.xml"}) {
    SCOPED_TRACE(fileName);
    const std::string xml = test::ReadBytes(test::SourceFolder() / "resources/Languages" / fileName);
    std::string error;
    const std::vector<LanguageEntry> entries = ReadLanguageEntries(xml, &error);
    EXPECT_TRUE(error.empty()) << error;
    EXPECT_FALSE(entries.empty());
    const std::optional<std::vector<LanguageEntry>> plain = ReadPlainLanguageEntries(xml);
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(*plain, entries);
  }
}

TEST(MessageCatalogueTest, AFileThatCannotBeReadOrParsedFailsWithItsNameAndTheReason) {
  const struct {
    const char* what;
    const char* fileName;
    const char* text;  // nullptr: no file at all
    std::vector<std::string> inFailure;
  } cases[] = {
      {"missing file", "missing.xml", nullptr, {"missing.xml", "Cannot read"}},
      {"unclosed element",
       "broken.xml",
       "<language>\n<entry><name>A</name>\n</language>",
       {"broken.xml", "line 3"}},
      {"empty file", "empty.xml", "", {"empty.xml", "not valid XML"}},
      {"text that is not XML", "plain.xml", "Apply = Appliquer", {"plain.xml", "line 1"}},
      // Faults pugixml lets pass, in a file the plain reader leaves to it.
      {"unknown entity",
       "entity.xml",
       "<language>\n<a><![CDATA[x]]></a>\n<b>&nbsp;</b></language>",
       {"entity.xml", "entity reference", "line 3"}},
      {"attribute twice",
       "twice.xml",
       "<?xml version='1.0'?>\n<language a='1' a='2'/>",
       {"twice.xml", "line 2"}},
      {"bytes that are not UTF-8",
       "latin.xml",
       "<language>\n<!DOCTYPE x>é\xE9</language>",
       {"latin.xml", "UTF-8", "line 2, column 14"}},
      {"an encoding the system does not know",
       "klingon.xml",
       "<?xml version=\"1.0\" encoding=\"x-klingon\"?>\n<language/>",
       {"klingon.xml", "\"x-klingon\""}},
      {"bytes that are not the declared encoding",
       "ascii.xml",
       "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\n<language>caf\xE9</language>",
       {"ascii.xml", "US-ASCII", "line 2, column 14"}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    TempFolder folder;
    const auto path = row.text ? folder.Write(row.fileName, row.text) : folder / row.fileName;
    const std::string failure = FailureOf([&] { TMessageCatalogue{path}; });
    for (const std::string& part : row.inFailure) EXPECT_NE(failure.find(part), std::string::npos) << failure;
  }
}

}  // namespace
}  // namespace kesta
