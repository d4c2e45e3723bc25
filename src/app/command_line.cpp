#include "app/command_line.h"

#include <string_view>

#include "update/program_version.h"

namespace kesta {

namespace {

constexpr const char* kWindowHelp =
    "usage: kesta [--help | --version] [QT_OPTIONS]\n"
    "\n"
    "KESTA edits the configuration files of the flight simulator Lock On 1.1, run under Wine: it finds\n"
    "the game's folder, shows its settings on the pages of one window and writes changed values back\n"
    "into the game's own files, keeps backups and saved configurations and starts the game.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the version and exit\n"
    "\n"
    "One window runs per user: starting kesta while it runs brings that window to the front.\n"
    "Qt's own options (-platform NAME, -style NAME, -reverse, ...) are taken as Qt takes them.\n"
    "\n"
    "Files: the settings kesta.ini, the recent list, Backup/, ServerList/ and Journal/ beside the program\n"
    "when its folder may be written; otherwise $XDG_CONFIG_HOME/kesta/kesta.ini (~/.config/kesta/) and\n"
    "$XDG_DATA_HOME/kesta/ (~/.local/share/kesta/).\n"
    "The game folder is LockOnPath of kesta.ini, else the game's registry key in the Wine prefix\n"
    "($WINEPREFIX, else ~/.wine), else the prefix of a game manager (Lutris, Bottles, PlayOnLinux,\n"
    "Steam's Proton) that holds the game.\n"
    "\n"
    "kesta-cli does the same edits on the command line: see kesta-cli --help and kesta-cli(1).\n";

}  // namespace

std::optional<int> AnswerCommandLine(int argc, char** argv, std::FILE* out) {
  bool version = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word == "--help" || word == "-h") {
      std::fputs(kWindowHelp, out);
      return std::fflush(out) == 0 ? 0 : 1;
    }
    version = version || word == "--version";
  }
  if (!version) return std::nullopt;
  std::fprintf(out, "kesta %.*s\n", static_cast<int>(kProgramVersion.size()), kProgramVersion.data());
  return std::fflush(out) == 0 ? 0 : 1;
}

}  // namespace kesta
