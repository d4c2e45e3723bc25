#include "cli/message_file.h"

#include <QFile>
#include <QString>
#include <QXmlStreamReader>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace kesta {

namespace {

using Messages = std::map<std::string, std::string>;

std::string AsciiUpper(std::string_view key) {
  std::string upper(key);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

// The first <name> and <string> of each child of the root; nothing at all when the file is not valid XML.
Messages ReadMessages(const std::filesystem::path& path) {
  QFile file(QString::fromStdString(path.string()));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QXmlStreamReader reader(&file);
  Messages messages;
  if (reader.readNextStartElement()) {
    while (reader.readNextStartElement()) {
      std::optional<QString> name, text;
      while (reader.readNextStartElement()) {
        if (reader.name() == u"name" && !name)
          name = reader.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (reader.name() == u"string" && !text)
          text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
        else
          reader.skipCurrentElement();
      }
      if (name && text && !text->isEmpty())
        messages.emplace(AsciiUpper(name->toStdString()), text->toStdString());
    }
  }
  while (!reader.atEnd()) reader.readNext();
  return reader.hasError() ? Messages() : messages;
}

}  // namespace

MessageLookup EnglishMessages(const std::filesystem::path& languagesFolder) {
  // Most runs look nothing up: a failure is the only reason to.
  auto messages = std::make_shared<std::optional<Messages>>();
  return [path = languagesFolder / "en-EN.xml", messages](std::string_view key) {
    if (!*messages) *messages = ReadMessages(path);
    const auto found = (*messages)->find(AsciiUpper(key));
    return found == (*messages)->end() ? std::string(key) : found->second;
  };
}

}  // namespace kesta
