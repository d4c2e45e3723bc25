#pragma once
// Parameter lines: a game file is a list of lines, and a setting is the first line at or after an
// anchor line that contains the setting's name. Reading takes the text after the first "=", writing
// replaces the whole line; every other line stays as it was.

#include <string>
#include <string_view>
#include <vector>

namespace kesta {

using Lines = std::vector<std::string>;

// Index of the first line from `start` on that contains `name`, or -1; a line that contains the
// non-empty `stop` marker (and not the name) ends the search with -1. A negative start fails with the
// line list's index error.
int FindParamLine(const Lines& lines, std::string_view name, int start, std::string_view stop);

// The value of the parameter, or `defaultValue` when the anchor or the name is missing. Never fails.
std::string GetParam(const Lines& lines, std::string_view name, std::string_view defaultValue,
                     std::string_view anchor, bool stripComma);

// The text after the first "=" of the parameter's line, trimmed and otherwise as it stands (a ";" in a
// quoted text is kept), or `defaultValue` when the anchor or the name is missing. Never fails.
std::string GetRawParam(const Lines& lines, std::string_view name, std::string_view defaultValue,
                        std::string_view anchor);

// Writes `name = value;` (or without ";") over the parameter's line, or inserts it right after the
// anchor's line, or appends it when there is no anchor. Returns the written line. A missing anchor
// fails with "SetParam Error (...)" and leaves the lines unchanged.
std::string SetParam(Lines& lines, std::string_view name, std::string_view value, std::string_view anchor,
                     bool noSemicolon);

// Deletes the parameter's line at or after the anchor's line; an absent name is not an error, a
// missing anchor fails with "DeleteParam Error (...)".
void DeleteParam(Lines& lines, std::string_view name, std::string_view anchor);

// Cuts `text` at its first `separator` (one character): returns the head and leaves the rest in
// `text`. Without the separator the head is the whole text and `text` is unchanged.
std::string SplitAtFirst(std::string& text, std::string_view separator);

}  // namespace kesta
