#include "cli/cli.h"

#include <map>
#include <optional>
#include <ostream>

#include "engine/failure.h"
#include "engine/game_file.h"

namespace kesta {

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  kesta-cli get FILE NAME [--default TEXT] [--anchor TEXT] [--strip-comma]\n"
    "  kesta-cli set FILE NAME VALUE [--anchor TEXT] [--no-semicolon]\n"
    "  kesta-cli delete FILE NAME [--anchor TEXT]\n"
    "  kesta-cli --help\n";

constexpr const char* kHelp =
    "kesta-cli reads and edits parameter lines of Lock On game files, exactly as KESTA does.\n"
    "\n"
    "A parameter line is the first line, at or after the anchor line, that contains NAME.\n"
    "  get     prints the text after the line's first \"=\" (first \";\" removed, trimmed), or the\n"
    "          --default text (empty) when the line or the anchor is missing.\n"
    "  set     replaces that line by \"NAME = VALUE;\" (no \";\" with --no-semicolon), or inserts it\n"
    "          right after the anchor line, or appends it when there is no anchor; prints the line.\n"
    "  delete  removes that line; a missing line is not an error.\n"
    "\n"
    "--anchor TEXT    search from the first line containing TEXT (\"AVI\": the second such line;\n"
    "                 \"OPTIKESTA_<profile>\": a visibility-range profile of graphics.cfg)\n"
    "--strip-comma    get: also remove the value's first \",\"\n"
    "Leading tabs of NAME are written but not searched for.\n"
    "\n"
    "Files are read with any line breaks and written with CR LF after every line; the file is\n"
    "replaced atomically. Exit status: 0 done, 1 the file or the engine failed (the file is\n"
    "unchanged), 2 wrong usage.\n";

struct Command {
  std::string verb;
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;  // --anchor, --default
  bool stripComma = false;
  bool noSemicolon = false;
};

// Parses the words after the verb; nothing when they do not fit the verb.
std::optional<Command> Parse(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return std::nullopt;
  Command command{arguments[0], {}, {}, false, false};
  const std::map<std::string, size_t> positionalCount{{"get", 2}, {"set", 3}, {"delete", 2}};
  const auto count = positionalCount.find(command.verb);
  if (count == positionalCount.end()) return std::nullopt;

  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    const bool takesText = word == "--anchor" || (word == "--default" && command.verb == "get");
    if (takesText) {
      if (i + 1 >= arguments.size()) return std::nullopt;
      command.options[word] = arguments[++i];
    } else if (word == "--strip-comma" && command.verb == "get") {
      command.stripComma = true;
    } else if (word == "--no-semicolon" && command.verb == "set") {
      command.noSemicolon = true;
    } else if (word.rfind("--", 0) == 0 && word.size() > 2) {
      return std::nullopt;
    } else {
      command.positional.push_back(word);
    }
  }
  if (command.positional.size() != count->second) return std::nullopt;
  return command;
}

std::string Option(const Command& command, const std::string& name) {
  const auto found = command.options.find(name);
  return found == command.options.end() ? std::string() : found->second;
}

int Execute(const Command& command, std::ostream& out) {
  const std::string& file = command.positional[0];
  const std::string& name = command.positional[1];
  const std::string anchor = Option(command, "--anchor");
  Lines lines = ReadGameFile(file);
  if (command.verb == "get") {
    out << GetParam(lines, name, Option(command, "--default"), anchor, command.stripComma) << '\n';
  } else if (command.verb == "set") {
    const std::string line = SetParam(lines, name, command.positional[2], anchor, command.noSemicolon);
    WriteGameFile(file, lines);
    out << line << '\n';
  } else {
    DeleteParam(lines, name, anchor);
    WriteGameFile(file, lines);
  }
  return 0;
}

}  // namespace

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    out << kHelp << '\n' << kUsage;
    return 0;
  }
  const std::optional<Command> command = Parse(arguments);
  if (!command) {
    err << kUsage;
    return 2;
  }
  try {
    return Execute(*command, out);
  } catch (const EKestaError& error) {
    err << error.what() << '\n';
    return 1;
  }
}

}  // namespace kesta
