#pragma once
// The named values of a document as a table: each entry reads a member in the page's terms and sets it
// from text, refusing what the page's control could not hold. The documents build their tables from the
// few kinds of controls the pages have.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "documents/game_document.h"

namespace kesta {

template <typename Document>
struct DocumentField {
  std::string_view name;
  std::function<std::string(const Document&)> get;
  std::function<void(Document&, std::string_view)> set;
};

// A slider position from `min` to `max`; fails for anything else.
int ParsePosition(std::string_view text, int min, int max);
// A check box: "1" or "0".
bool ParseCheck(std::string_view text);
// A text box takes at most `limit` characters when typed into, but keeps a longer text the file holds
// whole: showing it must not cut it. The box's length while it holds `held`.
size_t BoxLength(size_t limit, std::string_view held);
// Free text of at most `maxLength` bytes.
std::string CheckedText(std::string_view text, size_t maxLength);
// A number as Lua reads it where a value stands unquoted: digits with an optional fraction and exponent,
// an optional minus before them. Anything else there would be code the game runs, or a file it cannot read.
bool IsLuaNumber(std::string_view text);
// A number for a box of `maxLength` characters (see BoxLength); fails for anything else.
std::string CheckedNumber(std::string_view text, size_t maxLength, std::string_view held);
// The value of an unquoted `name = value` line; fails with the translated "InvalidNumber" unless a number.
const std::string& WrittenNumber(std::string_view name, const std::string& value,
                                 const MessageLookup& lookup);
// An unquoted number's value, as GetParam gives it, except that a number the file quotes, or follows by a
// comment, reads as that number.
std::string GetNumberParam(const Lines& lines, std::string_view name, std::string_view absent,
                           std::string_view anchor);
// One of the entries, exactly.
std::string CheckedEntry(std::string_view text, const std::vector<std::string_view>& entries);

template <typename Document>
DocumentField<Document> PositionField(std::string_view name, int Document::*member, int min, int max) {
  return {
      name, [member](const Document& d) { return std::to_string(d.*member); },
      [member, min, max](Document& d, std::string_view text) { d.*member = ParsePosition(text, min, max); }};
}

template <typename Document>
DocumentField<Document> CheckField(std::string_view name, bool Document::*member) {
  return {name, [member](const Document& d) { return std::string(d.*member ? "1" : "0"); },
          [member](Document& d, std::string_view text) { d.*member = ParseCheck(text); }};
}

template <typename Document>
DocumentField<Document> TextField(std::string_view name, std::string Document::*member, size_t maxLength) {
  return {name, [member](const Document& d) { return d.*member; },
          [member, maxLength](Document& d, std::string_view text) {
            d.*member = CheckedText(text, BoxLength(maxLength, d.*member));
          }};
}

template <typename Document>
DocumentField<Document> NumberField(std::string_view name, std::string Document::*member, size_t maxLength) {
  return {name, [member](const Document& d) { return d.*member; },
          [member, maxLength](Document& d, std::string_view text) {
            d.*member = CheckedNumber(text, maxLength, d.*member);
          }};
}

template <typename Document>
std::vector<NamedValue> FieldValues(const std::vector<DocumentField<Document>>& fields,
                                    const Document& document) {
  std::vector<NamedValue> values;
  for (const DocumentField<Document>& field : fields)
    values.push_back({std::string(field.name), field.get(document)});
  return values;
}

// Sets the named field; false when the table has no such name.
template <typename Document>
bool SetFieldValue(const std::vector<DocumentField<Document>>& fields, Document& document,
                   std::string_view name, std::string_view text) {
  for (const DocumentField<Document>& field : fields) {
    if (field.name != name) continue;
    field.set(document, text);
    return true;
  }
  return false;
}

// "unknown name"
[[noreturn]] void FailUnknownValue(std::string_view name);

// "SliderLod[High]" -> ("SliderLod", "High"); a name without an entry gives an empty entry.
std::pair<std::string_view, std::string_view> SplitEntry(std::string_view name);

// A colour as kesta-cli writes it, "red,green,blue" with each from 0 to 255; fails for anything else.
std::array<int, 3> ParseRgb(std::string_view text);

// A whole number with an optional sign; anything else fails with the conversion error the user sees.
int WholeNumber(std::string_view text);

// The whole number a game file holds for a slider; anything else fails with a text for the user.
int IntegerValue(const Lines& lines, std::string_view name, std::string_view absent);

}  // namespace kesta
