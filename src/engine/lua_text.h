#pragma once
// Texts the game's Lua files hold between double quotes. Written, a text becomes a Lua string literal
// that holds exactly that text, so a quote or a line break typed by the user can never end the string
// and turn the rest into code the game runs. Read, a literal gives its text back; a value that is not
// one well-formed literal (hand-edited files) is read the old way, with every double quote removed.

#include <optional>
#include <string>
#include <string_view>

#include "engine/param_lines.h"

namespace kesta {

// `text` between double quotes, with "\" and '"' escaped and control bytes as "\ddd". Other bytes,
// the code page's letters included, stand as they are.
std::string LuaQuoted(std::string_view text);

// The text of a value that is one double-quoted literal, optionally followed by ";" or "," and a
// comment; nothing when the value is anything else.
std::optional<std::string> LuaStringValue(std::string_view value);

// Removes every occurrence of `what`.
std::string RemoveAll(std::string_view text, std::string_view what);

// A quoted setting's text: the literal's when the line holds one, else the parameter's value with every
// double quote removed; empty when the anchor or the name is missing.
std::string GetQuotedParam(const Lines& lines, std::string_view name, std::string_view anchor);

// Checks `text` with Lua's own parser without running it; nothing when it parses, else Lua's message,
// which names the line ("config.lua:12: '=' expected near 'x'").
std::optional<std::string> LuaSyntaxError(std::string_view text, std::string_view chunkName);

}  // namespace kesta
