#pragma once
// The YAML that Lutris and Bottles write (PyYAML's block style): maps nested by indentation, lists of
// "- " items (also at the indentation of their key), plain, single- and double-quoted scalars, folded
// long lines, "{}" and "[]". Anything else is read as text or skipped. The files are the managers', not
// ours, so the reader takes any bytes without throwing, waits on nothing and works in linear time; it
// stops nesting at a fixed depth.

#include <string>
#include <string_view>
#include <vector>

namespace kesta {

struct YamlEntry;

struct YamlValue {
  std::string text;                // a scalar, quotes removed and escapes undone
  std::vector<YamlEntry> entries;  // a map, in the file's order
  std::vector<YamlValue> items;    // a list

  // The value of `key` in this map; nothing when this is no map or has no such key.
  const YamlValue* Find(std::string_view key) const;
  // The value under a path of keys, as Find applied in turn.
  const YamlValue* Find(std::initializer_list<std::string_view> keys) const;
  // YAML's true ("true", "yes", "on" in any case), false, or `otherwise` for anything else.
  bool Flag(bool otherwise) const;
};

struct YamlEntry {
  std::string key;
  YamlValue value;
};

YamlValue ParseManagerYaml(std::string_view text);

}  // namespace kesta
