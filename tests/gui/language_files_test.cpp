// The six shipped language files: complete, in step with English, and really translated.

#include <gtest/gtest.h>

#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "language/message_catalogue.h"
#include "language/message_keys.h"
#include "support/temp_folder.h"

namespace kesta::test {
namespace {

QString LanguageFile(const QString& fileName) {
  return QString::fromStdString((test::SourceFolder() / "resources/Languages").string()) + "/" + fileName;
}

QDomDocument LanguageDocument(const QString& file) {
  QFile input(file);
  EXPECT_TRUE(input.open(QIODevice::ReadOnly)) << file.toStdString();
  QDomDocument document;
  EXPECT_TRUE(document.setContent(input.readAll())) << file.toStdString();
  return document;
}

}  // namespace

// Every control reference of the file, as written ("dxButtonApply.Caption").
std::set<QString> ControlReferencesIn(const QString& file) {
  std::set<QString> references;
  const QDomDocument document = LanguageDocument(file);
  const QDomElement root = document.documentElement();
  for (QDomElement entry = root.firstChildElement(); !entry.isNull(); entry = entry.nextSiblingElement())
    for (QDomElement control = entry.firstChildElement("controls").firstChildElement(); !control.isNull();
         control = control.nextSiblingElement())
      references.insert(control.text());
  return references;
}

// The control names a language file labels; each must be the objectName of a control of the main window.
std::set<QString> ControlNamesIn(const QString& file) {
  std::set<QString> names;
  for (const QString& reference : ControlReferencesIn(file)) names.insert(reference.section('.', 0, 0));
  return names;
}

namespace {

const char* const kLanguageFiles[] = {"fr-FR.xml", "en-EN.xml", "sp-SP.xml",
                                      "ru-RU.xml", "hr-HR.xml", "de-DE.xml"};

struct Entry {
  QString name;
  QString text;
};

std::vector<Entry> EntriesIn(const QString& file) {
  std::vector<Entry> entries;
  const QDomDocument document = LanguageDocument(file);
  const QDomElement root = document.documentElement();
  for (QDomElement entry = root.firstChildElement(); !entry.isNull(); entry = entry.nextSiblingElement())
    entries.push_back({entry.firstChildElement("name").text(), entry.firstChildElement("string").text()});
  return entries;
}

// Keys passed as literals to the message lookups anywhere in the program's source, the pages' own
// Message() included.
std::set<std::string> KeysLookedUpInSource() {
  const std::regex call(R"re(\b(?:LookupMessage(?:Utf8)?|Message)\(\s*"((?:[^"\\]|\\.)*)"\s*\))re");
  std::set<std::string> keys;
  const std::filesystem::path source = test::SourceFolder() / "src";
  for (const auto& item : std::filesystem::recursive_directory_iterator(source)) {
    if (!item.is_regular_file()) continue;
    std::ifstream input(item.path());
    std::stringstream text;
    text << input.rdbuf();
    const std::string code = text.str();
    for (std::sregex_iterator it(code.begin(), code.end(), call), end; it != end; ++it)
      keys.insert(std::regex_replace((*it)[1].str(), std::regex(R"(\\(.))"), "$1"));
  }
  return keys;
}

TEST(LanguageFilesTest, EveryFileHasATextForEveryMessageKey) {
  for (const char* fileName : kLanguageFiles) {
    SCOPED_TRACE(fileName);
    const TMessageCatalogue messages(LanguageFile(fileName).toStdString());
    for (std::string_view key : kMessageKeys)
      EXPECT_NE(messages.LookupMessage(key), kTranslationNotFound) << key;
  }
}

TEST(LanguageFilesTest, EveryKeyTheProgramLooksUpHasAnEntry) {
  const std::set<std::string> keys = KeysLookedUpInSource();
  for (const char* fileName : kLanguageFiles) {
    SCOPED_TRACE(fileName);
    const TMessageCatalogue messages(LanguageFile(fileName).toStdString());
    for (const std::string& key : keys) EXPECT_NE(messages.LookupMessage(key), kTranslationNotFound) << key;
  }
}

TEST(LanguageFilesTest, EveryLanguageHasTheEnglishEntriesAndControlReferences) {
  const QString english = LanguageFile("en-EN.xml");
  std::set<QString> englishNames;
  for (const Entry& entry : EntriesIn(english)) englishNames.insert(entry.name);
  for (const char* fileName : kLanguageFiles) {
    SCOPED_TRACE(fileName);
    const QString file = LanguageFile(fileName);
    std::set<QString> names;
    for (const Entry& entry : EntriesIn(file)) {
      EXPECT_FALSE(entry.name.isEmpty());
      EXPECT_FALSE(entry.text.isEmpty()) << entry.name.toStdString();
      // A second entry of a name would never be found by a lookup.
      EXPECT_TRUE(names.insert(entry.name).second) << "twice: " << entry.name.toStdString();
    }
    EXPECT_EQ(names, englishNames);
    EXPECT_EQ(ControlReferencesIn(file), ControlReferencesIn(english));
  }
}

TEST(LanguageFilesTest, EveryControlReferenceNamesAControlAndAPropertyTheTranslatorKnows) {
  const QRegularExpression form(R"(^[A-Za-z_][A-Za-z0-9_]*\.(Caption|Text|Hint|Description|Title|)"
                                R"(ExtraPane\.Header|Values)$)");
  for (const char* fileName : kLanguageFiles) {
    SCOPED_TRACE(fileName);
    for (const QString& reference : ControlReferencesIn(LanguageFile(fileName)))
      EXPECT_TRUE(form.match(reference).hasMatch()) << reference.toStdString();
  }
}

TEST(LanguageFilesTest, TranslationsAreNotEnglishCopies) {
  // Names of programs and the like read the same in every language.
  const std::set<QString> sameEverywhere{"OK", "KESTA", "IP", "LoTATC .NET"};
  std::map<QString, QString> english;
  for (const Entry& entry : EntriesIn(LanguageFile("en-EN.xml"))) english[entry.name] = entry.text;
  for (const char* fileName : kLanguageFiles) {
    if (QString(fileName) == "en-EN.xml") continue;
    SCOPED_TRACE(fileName);
    const std::vector<Entry> entries = EntriesIn(LanguageFile(fileName));
    std::vector<std::string> copies;
    for (const Entry& entry : entries)
      if (entry.text == english[entry.name] && !sameEverywhere.contains(entry.text))
        copies.push_back(entry.name.toStdString());
    EXPECT_LE(copies.size() * 100, entries.size() * 8) << testing::PrintToString(copies);
  }
}

}  // namespace
}  // namespace kesta::test
