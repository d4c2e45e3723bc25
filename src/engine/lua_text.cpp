#include "engine/lua_text.h"

#include <lua.hpp>

#include <memory>

#include "engine/text.h"

namespace kesta {

std::string LuaQuoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      // Always three digits, so a digit typed after it cannot join the escape.
      const char digits[] = {'\\', static_cast<char>('0' + byte / 100), static_cast<char>('0' + byte / 10 % 10),
                             static_cast<char>('0' + byte % 10)};
      quoted.append(digits, sizeof digits);
    } else {
      quoted += c;
    }
  }
  quoted += '"';
  return quoted;
}

std::optional<std::string> LuaStringValue(std::string_view value) {
  if (!value.starts_with('"')) return std::nullopt;
  std::string text;
  size_t i = 1;
  for (;; ++i) {
    if (i >= value.size()) return std::nullopt;
    const char c = value[i];
    if (c == '"') break;
    if (c == '\n' || c == '\r') return std::nullopt;
    if (c != '\\') {
      text += c;
      continue;
    }
    if (++i >= value.size()) return std::nullopt;
    const char escaped = value[i];
    switch (escaped) {
      case 'a': text += '\a'; break;
      case 'b': text += '\b'; break;
      case 'f': text += '\f'; break;
      case 'n': text += '\n'; break;
      case 'r': text += '\r'; break;
      case 't': text += '\t'; break;
      case 'v': text += '\v'; break;
      case '\\': case '"': case '\'': text += escaped; break;
      default: {
        // Lua reads up to three digits; any other escape is left to the old reading, so that a
        // backslash typed into a hand-edited file ("C:\Games") keeps its meaning there.
        if (escaped < '0' || escaped > '9') return std::nullopt;
        int code = 0;
        for (int digits = 0; digits < 3 && i < value.size() && value[i] >= '0' && value[i] <= '9'; ++digits, ++i)
          code = code * 10 + (value[i] - '0');
        --i;
        if (code > 255) return std::nullopt;
        text += static_cast<char>(code);
      }
    }
  }
  std::string_view rest = TrimView(value.substr(i + 1));
  if (rest.starts_with(';') || rest.starts_with(',')) rest = TrimView(rest.substr(1));
  if (!rest.empty() && !rest.starts_with("--")) return std::nullopt;
  return text;
}

std::string RemoveAll(std::string_view text, std::string_view what) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (!what.empty() && text.substr(i).starts_with(what)) {
      i += what.size();
    } else {
      result += text[i++];
    }
  }
  return result;
}

std::string GetQuotedParam(const Lines& lines, std::string_view name, std::string_view anchor) {
  if (std::optional<std::string> text = LuaStringValue(GetRawParam(lines, name, "", anchor))) return *text;
  return RemoveAll(GetParam(lines, name, "", anchor, false), "\"");
}

std::optional<std::string> LuaSyntaxError(std::string_view text, std::string_view chunkName) {
  const std::unique_ptr<lua_State, void (*)(lua_State*)> lua(luaL_newstate(), lua_close);
  if (!lua) return "Lua could not start (out of memory)";
  // "=" makes Lua name the chunk exactly as given in its messages.
  const std::string name = "=" + std::string(chunkName);
  if (luaL_loadbuffer(lua.get(), text.data(), text.size(), name.c_str()) == 0) return std::nullopt;
  const char* message = lua_tostring(lua.get(), -1);
  return std::string(message ? message : "unknown Lua error");
}

}  // namespace kesta
