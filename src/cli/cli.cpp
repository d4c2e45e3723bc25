#include "cli/cli.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>

#include "cli/document_commands.h"
#include "engine/failure.h"
#include "engine/game_file.h"
#include "language/message_catalogue.h"
#include "update/program_version.h"

namespace kesta {

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  kesta-cli get FILE NAME [--default TEXT] [--anchor TEXT] [--strip-comma]\n"
    "  kesta-cli set FILE NAME VALUE [--anchor TEXT] [--no-semicolon]\n"
    "  kesta-cli delete FILE NAME [--anchor TEXT]\n"
    "  kesta-cli show [GAME_FOLDER]\n"
    "  kesta-cli find WORDS... [--lang CODE]\n"
    "  kesta-cli apply [GAME_FOLDER] NAME=VALUE... [--diff]\n"
    "  kesta-cli save-config [GAME_FOLDER] FILE.kst\n"
    "  kesta-cli open-config FILE.kst [GAME_FOLDER] [--diff]\n"
    "  kesta-cli history\n"
    "  kesta-cli undo [N]\n"
    "  kesta-cli prefixes\n"
    "  kesta-cli help [COMMAND]\n"
    "  kesta-cli --help\n"
    "  kesta-cli --version\n";

// The help in parts: `help COMMAND` prints the part of its command, --help all of them in this order.
constexpr const char* kHelpIntro = "kesta-cli reads and edits Lock On game files, exactly as KESTA does.\n";

constexpr const char* kHelpLines =
    "get, set and delete work on one parameter line of FILE: the first line, at or after the anchor\n"
    "line, that contains NAME.\n"
    "  get     prints the text after the line's first \"=\" (first \";\" removed, trimmed), or the\n"
    "          --default text (empty) when the line or the anchor is missing.\n"
    "  set     replaces that line by \"NAME = VALUE;\" (no \";\" with --no-semicolon), or inserts it\n"
    "          right after the anchor line, or appends it when there is no anchor; prints the line.\n"
    "  delete  removes that line; a missing line is not an error.\n"
    "\n"
    "--anchor TEXT    search from the first line containing TEXT (\"AVI\": the second such line;\n"
    "                 \"OPTIKESTA_<profile>\": a visibility-range profile of graphics.cfg)\n"
    "--strip-comma    get: also remove the value's first \",\"\n"
    "Leading tabs of NAME are written but not searched for.\n";

constexpr const char* kHelpDocuments =
    "show and apply work on the values KESTA's pages show, through the same rules as the window:\n"
    "  show    prints \"NAME = VALUE\" for every value of every game file listed below. A file that\n"
    "          cannot be read (missing, empty, or refused as the window refuses it) is reported and the\n"
    "          others are still shown.\n"
    "  apply   sets each NAME to VALUE, then writes each file holding one of them as the window's Apply\n"
    "          writes it (its other lines stay as they are), in the window's order of files. Both\n"
    "          \"NAME=VALUE\" and \"NAME = VALUE\" are taken: one blank on each side of the first \"=\" is\n"
    "          part of the separator, so show's lines can be given back unchanged, one argument each;\n"
    "          any other blank is part of the name or the value. Nothing is written when a name is\n"
    "          unknown, a value is refused or a file cannot be read; when writing a file fails after\n"
    "          others were written, those get their old bytes back and are named. Prints nothing when\n"
    "          done.\n"
    "  find    prints the names show prints for the controls whose caption or hint, in the language CODE\n"
    "          (FR EN SP RU HR DE; else the window's language, else EN), contains every one of WORDS (an\n"
    "          edit or a list goes by the label beside it): each of a control's values as \"NAME = VALUE\n"
    "          (CAPTION — PAGE)\", a control without a value (a page button, a command) as \"CAPTION —\n"
    "          PAGE (TAB)\". Letter case and accents do not count, a part of a word is enough. Exit status 0\n"
    "          when something matched, 1 when nothing did.\n";

constexpr const char* kHelpConfigurations =
    "save-config and open-config work on saved configurations, the .kst files of the window's Save Config\n"
    "and Open config (one section per game file, between two marker lines naming its path in the game\n"
    "folder):\n"
    "  save-config  saves every game file into FILE.kst as the window's Save Config does: each file as\n"
    "               Apply would write it, in Apply's order. A game file that cannot be read gets no\n"
    "               section (reported, exit status 1) and the others are still saved.\n"
    "  open-config  reads each section of FILE.kst into its file's values and writes those game files as\n"
    "               the window's Apply after Open config does: only the values KESTA's pages show are\n"
    "               taken from the section, every other line stays as the game file has it. A file\n"
    "               without a section is left as it is. Nothing is written when FILE.kst, a game file\n"
    "               or a section cannot be read.\n"
    "  Both print one line per file.\n";

constexpr const char* kHelpDiff =
    "--diff makes apply and open-config write nothing (no file, no journal entry) and print instead what\n"
    "they would write: a unified diff of each file that would change, in Apply's order, with paths\n"
    "relative to the game folder and 3 lines of context. Lines are compared as the file's bytes, line\n"
    "breaks included, and printed with their line breaks as they are (a file's CR LF stays CR LF), so\n"
    "a line whose line break alone would change shows as removed and added unchanged. Exit status 0\n"
    "when a file would change, 3 when none would.\n";

constexpr const char* kHelpHistory =
    "history and undo work on KESTA's journal of Applies (see below), shared with the window:\n"
    "  history  lists the Applies kept (the last 20), newest first: a line \"N<tab>TIME<tab>COMMAND\",\n"
    "           then a tab and the path of each file it wrote, one a line.\n"
    "  undo     undoes the Apply numbered N (without N: the newest): every file of it that still holds\n"
    "           what it wrote gets its bytes from before back (a file it created is removed); a file\n"
    "           changed since is left as it is and named on standard error (exit status 1). The undo is\n"
    "           an Apply of its own in the history (\"undo of COMMAND\"), so it can be undone in turn.\n"
    "           Prints the entry undone and each file put back.\n";

constexpr const char* kHelpPrefixes =
    "prefixes lists the Wine prefixes KESTA looks in (WINEPREFIX, ~/.wine, Lutris, Bottles, PlayOnLinux,\n"
    "Steam's Proton), one a line: its name, its folder, the game folder its game key names (\"-\" when it\n"
    "names none, \" (missing)\" after a folder that does not exist) and how KESTA starts programs in it,\n"
    "as the manager that keeps it does (\"Lutris: wine lutris-7.2\", \"Steam: Proton 8.0\", \"system "
    "wine\";\n"
    "\" (missing)\" after a build that is gone), separated by tabs.\n";

constexpr const char* kHelpGeneral =
    "Text is UTF-8 on the command line and the game's code page (the Wine prefix's ACP) in the files;\n"
    "a character that code page cannot hold is refused.\n"
    "GAME_FOLDER is the game's folder (for apply: the first argument when it holds no \"=\"; for\n"
    "save-config: the first of two arguments). Without it, KESTA's own choice is used: \"LockOnPath\"\n"
    "of KESTA's settings file (kesta.ini beside kesta-cli, or ~/.config/kesta/kesta.ini when that\n"
    "folder may not be written), else the game's registry key in the Wine prefix\n"
    "($WINEPREFIX, else ~/.wine). The files' paths within the game folder come from the same settings\n"
    "file.\n"
    "\n"
    "Files are read with any line breaks and written with CR LF after every line; each file is\n"
    "replaced atomically, and the files of one apply or open-config together: KESTA's journal of\n"
    "Applies (Journal/ beside the settings' Backup/) notes every file's bytes before the first one is\n"
    "replaced. Every command on game files first finishes or rolls back an Apply of KESTA's or of\n"
    "kesta-cli's that a crash cut short, so the files are all old or all new, and says so on standard\n"
    "error; a file changed since is left as it is and named.\n"
    "A file whose bytes hold a NUL (its text as read ends there) is never written: set, delete, apply\n"
    "and open-config leave it as it is and say so, and apply and open-config still write the other\n"
    "files; save-config gives it no section; a FILE.kst holding one is not read.\n"
    "Exit status: 0 done, 1 a file, a name or a value failed (files unchanged, except the other files\n"
    "of an apply or open-config that left a file holding a NUL, a file an apply names as not put back,\n"
    "the FILE.kst of a save-config that reports a file without a section, and the files an undo puts\n"
    "back while it leaves another alone), 2 wrong usage, 3 nothing\n"
    "to change (--diff).\n";

constexpr const char* kHelpNames = "Names for show and apply, with what each takes:\n";

struct HelpPart {
  const char* text;
  std::vector<std::string> verbs;  // the commands it describes; none: a part of the whole help only
};

const std::vector<HelpPart>& HelpParts() {
  static const std::vector<HelpPart> parts{
      {kHelpIntro, {}},
      {kHelpLines, {"get", "set", "delete"}},
      {kHelpDocuments, {"show", "apply", "find"}},
      {kHelpConfigurations, {"save-config", "open-config"}},
      {kHelpDiff, {"apply", "open-config"}},
      {kHelpHistory, {"history", "undo"}},
      {kHelpPrefixes, {"prefixes"}},
      {kHelpGeneral, {}},
  };
  return parts;
}

std::string FullHelp() {
  std::string help;
  for (const HelpPart& part : HelpParts()) help += std::string(part.text) + "\n";
  return help + kHelpNames + ValueNamesHelp() + "\n" + kUsage;
}

// The usage line of `verb` and the parts that describe it (show and apply with the names they take);
// nothing for a word that is no command.
std::optional<std::string> CommandHelp(const std::string& verb) {
  std::string usage;
  std::istringstream lines(kUsage);
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with("  kesta-cli " + verb + " ") || line == "  kesta-cli " + verb)
      usage += "usage:" + line.substr(1) + "\n";
  if (usage.empty() || verb.starts_with("-")) return std::nullopt;
  std::string help = usage;
  for (const HelpPart& part : HelpParts())
    if (std::find(part.verbs.begin(), part.verbs.end(), verb) != part.verbs.end())
      help += "\n" + std::string(part.text);
  if (verb == "show" || verb == "apply") help += std::string("\n") + kHelpNames + ValueNamesHelp();
  return help;
}

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

int Execute(const Command& command, std::ostream& out, const ProgramFolder& program) {
  const std::string& file = command.positional[0];
  const std::string& name = command.positional[1];
  const std::string anchor = Option(command, "--anchor");
  // A file that is edited is read whole or not at all.
  Lines lines =
      command.verb == "get"
          ? ReadGameFile(file)
          : ReadGameFileToWrite(file, std::nullopt, MessagesOrKeys(program.Languages() / "en-EN.xml"));
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

// show [GAME_FOLDER], apply [GAME_FOLDER] NAME=VALUE..., save-config [GAME_FOLDER] FILE.kst and
// open-config FILE.kst [GAME_FOLDER]; nothing when the words do not fit.
std::optional<int> RunDocumentCommand(const std::vector<std::string>& arguments, const ProgramFolder& program,
                                      std::ostream& out, std::ostream& err) {
  const std::string& verb = arguments[0];
  DocumentSources sources{program, std::nullopt};
  std::vector<std::string> words(arguments.begin() + 1, arguments.end());
  // apply and open-config take --diff anywhere among their words: print the changes, write nothing.
  bool diff = false;
  if (verb == "apply" || verb == "open-config") {
    const auto flags = std::remove(words.begin(), words.end(), std::string("--diff"));
    diff = flags != words.end();
    words.erase(flags, words.end());
  }
  if (verb == "save-config" || verb == "open-config") {
    if (words.empty() || words.size() > 2) return std::nullopt;
    for (const std::string& word : words)
      if (word.starts_with("--")) return std::nullopt;
    // The configuration comes last for save-config, first for open-config.
    const bool saving = verb == "save-config";
    const std::string configuration = saving ? words.back() : words.front();
    if (words.size() == 2) sources.gameFolder = saving ? words.front() : words.back();
    return saving ? SaveConfigurationFile(sources, configuration, out, err)
                  : OpenConfigurationFile(sources, configuration, out, err, diff);
  }
  if (verb == "find") {
    std::string language;
    const auto flag = std::find(words.begin(), words.end(), std::string("--lang"));
    if (flag != words.end()) {
      if (flag + 1 == words.end()) return std::nullopt;
      language = *(flag + 1);
      words.erase(flag, flag + 2);
    }
    if (words.empty()) return std::nullopt;
    return FindSettings(sources, words, language, out, err);
  }
  if (verb == "show") {
    if (words.size() > 1 || (words.size() == 1 && words[0].starts_with("--"))) return std::nullopt;
    if (!words.empty()) sources.gameFolder = words[0];
    return ShowValues(sources, out, err);
  }
  if (!words.empty() && words[0].find('=') == std::string::npos) {
    sources.gameFolder = words[0];
    words.erase(words.begin());
  }
  std::vector<Assignment> assignments;
  for (const std::string& word : words) {
    std::optional<Assignment> assignment = ParseAssignment(word);
    if (!assignment) {
      err << "\"" << word << "\" is not NAME=VALUE\n";
      return std::nullopt;
    }
    assignments.push_back(std::move(*assignment));
  }
  if (assignments.empty()) return std::nullopt;
  return ApplyValues(sources, assignments, err, diff ? &out : nullptr);
}

// history takes no word, undo an entry's number or none; nothing when the words do not fit.
std::optional<std::optional<std::uint64_t>> UndoNumber(const std::vector<std::string>& arguments) {
  if (arguments.size() == 1) return std::optional<std::uint64_t>();
  if (arguments.size() != 2 || arguments[0] != "undo") return std::nullopt;
  const std::string& word = arguments[1];
  std::uint64_t number = 0;
  const auto [stop, error] = std::from_chars(word.data(), word.data() + word.size(), number);
  if (word.empty() || error != std::errc() || stop != word.data() + word.size()) return std::nullopt;
  return std::optional<std::uint64_t>(number);
}

}  // namespace

std::optional<int> AnswerHelp(const std::vector<std::string>& arguments, std::ostream& out,
                              std::ostream& err) {
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h" || arguments[0] == "help")) {
    out << FullHelp();
    return 0;
  }
  if (arguments.size() == 1 && arguments[0] == "--version") {
    out << "kesta-cli " << kProgramVersion << '\n';
    return 0;
  }
  if (arguments.size() == 2 && arguments[0] == "help") {
    if (const std::optional<std::string> help = CommandHelp(arguments[1])) {
      out << *help;
      return 0;
    }
    err << "kesta-cli: no command \"" << arguments[1] << "\"\n" << kUsage;
    return 2;
  }
  return std::nullopt;
}

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           const ProgramFolder& program) {
  if (const std::optional<int> status = AnswerHelp(arguments, out, err)) return *status;
  if (arguments.size() == 1 && arguments[0] == "prefixes") return ListPrefixes(program, out);
  if (!arguments.empty() && (arguments[0] == "history" || arguments[0] == "undo")) {
    const std::optional<std::optional<std::uint64_t>> number = UndoNumber(arguments);
    if (!number) {
      err << kUsage;
      return 2;
    }
    try {
      RecoverInterruptedApplies(program, err);
      return arguments[0] == "history" ? ListHistory(program, out) : UndoApply(program, *number, out, err);
    } catch (const std::exception& failure) {
      err << failure.what() << '\n';
      return 1;
    }
  }
  if (!arguments.empty() &&
      (arguments[0] == "show" || arguments[0] == "apply" || arguments[0] == "save-config" ||
       arguments[0] == "open-config" || arguments[0] == "find")) {
    try {
      RecoverInterruptedApplies(program, err);
      if (const std::optional<int> status = RunDocumentCommand(arguments, program, out, err)) return *status;
    } catch (const std::exception& failure) {
      err << failure.what() << '\n';
      return 1;
    }
    err << kUsage;
    return 2;
  }
  const std::optional<Command> command = Parse(arguments);
  if (!command) {
    err << kUsage;
    return 2;
  }
  try {
    RecoverInterruptedApplies(program, err);
    return Execute(*command, out, program);
  } catch (const EKestaError& error) {
    err << error.what() << '\n';
    return 1;
  }
}

}  // namespace kesta
