#include "cli/document_commands.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>

#include "documents/game_document.h"
#include "documents/graphics_document.h"
#include "documents/mission_editor_document.h"
#include "documents/visibility_profiles.h"
#include "engine/failure.h"
#include "engine/game_file.h"
#include "language/message_catalogue.h"
#include "language/setting_search.h"
#include "platform/code_page.h"
#include "platform/game_paths.h"
#include "platform/wine_prefixes.h"
#include "platform/wine_registry.h"
#include "sets/apply_journal.h"
#include "sets/change_preview.h"
#include "sets/game_file_set.h"
#include "sets/saved_configuration.h"
#include "sets/whole_set.h"
#include "settings/game_folder_lookup.h"
#include "settings/settings_file.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80             ? 1
                          : (lead & 0xE0) == 0xC0 ? 2
                          : (lead & 0xF0) == 0xE0 ? 3
                          : (lead & 0xF8) == 0xF0 ? 4
                                                  : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

// A failure may quote game bytes, which only the game's code page reads right; a text that already is
// UTF-8 (paths, the language file's texts) is left as it is.
std::string ForTerminal(std::string_view text) {
  return IsUtf8(text) ? std::string(text) : GameText().ToUtf8(text);
}

struct Session {
  explicit Session(const ProgramFolder& program, std::ostream& errors)
      : settings(program.SettingsFile()),
        lookup(MessagesOrKeys(program.Languages() / "en-EN.xml")),
        journalFolder(program.Journal()),
        err(errors),
        files(Context(*this)) {
    // Reading stores the defaults of missing keys, as the window does; a program folder we may not
    // write to must not stop a command that only needs the defaults.
    settings.SetWriteFailureHandler([](const std::string&) {});
  }
  // The set reports to the error stream and never offers the default copy.
  static TGameFileSet::Context Context(Session& session) {
    TGameFileSet::Context context;
    context.settings = &session.settings;
    context.lookup = session.lookup;
    context.journalFolder = session.journalFolder;
    context.reportError = [&session](const std::string& message) {
      ++session.reported;
      if (!session.quiet) session.err << ForTerminal(message) << '\n';
    };
    return context;
  }
  fs::path PathOf(std::string_view catalogKey) const {
    return GamePath(gameFolder, settings.ReadSetting("Files", catalogKey));
  }
  std::string Label(std::string_view catalogKey) const {
    return std::string(catalogKey) + " (" + PathOf(catalogKey).string() + ")";
  }
  // Reads the file into its document, reporting a failure; true when read.
  bool Load(std::string_view catalogKey) {
    const size_t before = reported;
    return files.Load(catalogKey, PathOf(catalogKey)) && reported == before;
  }
  // Reads the file for what it lends another file alone; a failure is no one's concern.
  void LoadQuietly(std::string_view catalogKey) {
    quiet = true;
    files.Load(catalogKey, PathOf(catalogKey));
    quiet = false;
  }

  SettingsFile settings;
  MessageLookup lookup;
  fs::path journalFolder;
  std::ostream& err;
  size_t reported = 0;  // failures the set reported
  bool quiet = false;
  TGameFileSet files;
  std::string gameFolder;
};

// Finds the game folder as the window does, without asking: reports and returns false when there is none.
bool FindFolder(const DocumentSources& sources, Session& session, std::ostream& err) {
  if (sources.gameFolder) {
    std::error_code error;
    if (!fs::is_directory(*sources.gameFolder, error)) {
      err << "\"" << *sources.gameFolder << "\" is not a folder\n";
      return false;
    }
    // Catalogue paths are appended as text.
    session.gameFolder = WithTrailingSeparator(*sources.gameFolder);
    return true;
  }
  const std::string keyPath = session.settings.ReadSetting("Lockon", "PathReg");
  try {
    if (const std::optional<std::string> found = FindGameFolder(session.settings, keyPath)) {
      session.gameFolder = *found;
      return true;
    }
  } catch (const std::exception& failure) {
    err << "The game folder cannot be read from the registry: " << failure.what() << '\n';
    return false;
  }
  err << "No game folder: " << session.settings.Path().string()
      << " names none (\"LockOnPath\" in [Config]) and the Wine prefix "
      << WineRegistry::DefaultPrefix().string() << " has no key HKEY_CURRENT_USER\\" << keyPath
      << ". Give GAME_FOLDER.\n";
  return false;
}

// The files a command writes, in the window's order, and those of them whose bytes hold a NUL: read only
// up to it, they are neither written nor written from, which is no failure of the others.
struct FilesToWrite {
  std::vector<std::string_view> keys;
  std::set<std::string_view> left;
  bool Has(std::string_view key) const { return std::find(keys.begin(), keys.end(), key) != keys.end(); }
};

FilesToWrite InWholeSetOrder(const std::set<std::string_view>& keys) {
  FilesToWrite files;
  for (std::string_view key : WholeSetOrder())
    if (keys.contains(key)) files.keys.push_back(key);
  return files;
}

// Reads each file to write into its document, as the window's loader does; a file holding a NUL is
// reported and left. False when a file could not be read.
bool LoadToWrite(FilesToWrite& files, Session& session) {
  bool ready = true;
  for (std::string_view key : files.keys) {
    try {
      ReadGameFileToWrite(session.PathOf(key), std::nullopt, session.lookup);
    } catch (const ENulInGameFile& failure) {
      session.err << session.Label(key) << ": " << ForTerminal(failure.what()) << '\n';
      files.left.insert(key);
      continue;
    } catch (const std::exception&) {
      // The load below reports it.
    }
    ready &= session.Load(key);
  }
  return ready;
}

// graphics.cfg's scenery line follows the mission editor's scenery, as the window's Apply writes it. A
// mission editor's file that is not among the files is read for that alone; one that cannot be read
// leaves the line as graphics.cfg has it, as in the window.
void LendScenes(const FilesToWrite& files, Session& session) {
  if (files.Has(GraphicsDocument::kCatalogKey) && !files.Has(MissionEditorDocument::kCatalogKey))
    session.LoadQuietly(MissionEditorDocument::kCatalogKey);
}

// As the window's Apply, in its order: every file's new lines first, then the files written one after the
// other as one transaction of the journal. Nothing is written unless `ready` and every file's lines are; a
// failed write puts back the files written before it and names them. A file left for a NUL is skipped.
// With `diff`, the changes are printed there as a unified diff in place of being written: 0 when a file
// would change, kNothingToChange when none would.
int ApplyFiles(const FilesToWrite& files, bool ready, Session& session, std::string_view command,
               std::ostream* diff) {
  if (!ready) {
    session.err << "Nothing was written.\n";
    return 1;
  }
  std::vector<std::string_view> keys;
  for (std::string_view key : files.keys)
    if (!files.left.contains(key)) keys.push_back(key);
  const auto pathOf = [&session](std::string_view key) { return session.PathOf(key); };
  const PreparedApply prepared = PrepareApply(session.files, keys, pathOf);
  for (const FileFailure& failure : prepared.failures)
    session.err << session.Label(failure.catalogKey) << ": " << ForTerminal(failure.reason) << '\n';
  if (!prepared.failures.empty()) {
    session.err << "Nothing was written.\n";
    return 1;
  }
  if (diff) {
    const std::vector<FileChange> changes = PreviewChanges(prepared.files);
    const fs::path gameFolder(session.gameFolder);
    for (const FileChange& change : changes)
      *diff << UnifiedDiff(change, change.target.lexically_relative(gameFolder).generic_string(),
                           ForTerminal);
    return changes.empty() ? kNothingToChange : 0;
  }
  const WrittenFiles written = WritePrepared(session.files, prepared.files, true, command);
  if (written.failures.empty()) return 0;
  const FileFailure& failure = written.failures.front();
  session.err << session.Label(failure.catalogKey) << ": " << failure.reason << '\n';
  const auto list = [&session](const std::vector<std::string_view>& keys) {
    std::string labels;
    for (std::string_view key : keys) labels += (labels.empty() ? "" : ", ") + session.Label(key);
    return labels;
  };
  if (!written.written.empty())
    session.err << (written.rolledBack ? "Written, then put back as it was: " : "Already written: ")
                << list(written.written) << ".\n";
  for (const std::string& left : written.notRestored)
    session.err << "Could not be put back: " << left << '\n';
  session.err << "Not written: " << list(written.notWritten) << ".\n";
  return 1;
}

const GameFileKind* KindNamed(std::string_view catalogKey) {
  for (const GameFileKind& kind : GameFileKinds())
    if (kind.catalogKey == catalogKey) return &kind;
  return nullptr;
}

// An assignment with its file found and its value name in game bytes.
struct Target {
  const Assignment* assignment;
  const GameFileKind* kind;
  std::string valueName;
};

// Finds the file of every assignment; reports the names that name none.
bool FindTargets(const std::vector<Assignment>& assignments, std::vector<Target>& targets,
                 std::ostream& err) {
  bool found = true;
  for (const Assignment& assignment : assignments) {
    const size_t dot = assignment.name.find('.');
    const GameFileKind* kind = dot == std::string::npos ? nullptr : KindNamed(assignment.name.substr(0, dot));
    std::optional<std::string> valueName;
    if (kind) valueName = GameText().FromUtf8(assignment.name.substr(dot + 1));
    if (!kind || !valueName) {
      err << assignment.name << ": unknown name\n";
      found = false;
    } else {
      targets.push_back({&assignment, kind, *valueName});
    }
  }
  return found;
}

// Sets every value whose file was read; reports each one the document refuses.
bool SetValues(const std::vector<Target>& targets, const FilesToWrite& files, Session& session) {
  bool set = true;
  for (const Target& target : targets) {
    const std::string_view key = target.kind->catalogKey;
    if (files.left.contains(key) || !session.files.EverRead(key)) continue;
    const Assignment& assignment = *target.assignment;
    const std::optional<std::string> value = GameText().FromUtf8(assignment.value);
    try {
      if (!value)
        throw EKestaError("\"" + assignment.value + "\" holds a character the game's code page (" +
                          std::to_string(GameText().CodePage()) + ") cannot hold");
      session.files.Document(key).SetValue(target.valueName, *value);
    } catch (const std::exception& failure) {
      session.err << assignment.name << ": " << ForTerminal(failure.what()) << '\n';
      set = false;
    }
  }
  return set;
}

// What a value takes, in the words the document refuses anything else with: the documents are the one
// place that knows, so a file that gets its document later is described here with no change.
std::string Takes(const GameDocument& document, const std::string& name) {
  const auto refusal = [&document, &name](const std::string& value) -> std::optional<std::string> {
    const std::unique_ptr<GameDocument> probe = document.Clone();
    try {
      probe->SetValue(name, value);
      return std::nullopt;
    } catch (const std::exception& failure) {
      return failure.what();
    }
  };
  if (const std::optional<std::string> refused = refusal("?")) {
    std::string_view text = *refused;
    for (std::string_view lead : {"\"?\" ", "- ", "is ", "not "})
      if (text.starts_with(lead)) text.remove_prefix(lead.size());
    return std::string(text);
  }
  const std::string kLonger = "longer than the ";
  if (const std::optional<std::string> refused = refusal(std::string(1 << 16, 'x'))) {
    const size_t at = refused->find(kLonger);
    size_t length = 0;
    if (at != std::string::npos) {
      const char* first = refused->data() + at + kLonger.size();
      if (std::from_chars(first, refused->data() + refused->size(), length).ec == std::errc())
        return "text of at most " + std::to_string(length) + " characters";
    }
  }
  return "text";
}

}  // namespace

std::optional<Assignment> ParseAssignment(std::string_view argument) {
  const size_t equals = argument.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const bool spaced = equals > 0 && equals + 1 < argument.size() && argument[equals - 1] == ' ' &&
                      argument[equals + 1] == ' ';
  const size_t blank = spaced ? 1 : 0;
  return Assignment{std::string(argument.substr(0, equals - blank)),
                    std::string(argument.substr(equals + 1 + blank))};
}

int ShowValues(const DocumentSources& sources, std::ostream& out, std::ostream& err) {
  Session session(sources.program, err);
  if (!FindFolder(sources, session, err)) return 1;
  int status = 0;
  for (const GameFileKind& kind : GameFileKinds()) {
    if (!session.Load(kind.catalogKey)) {
      status = 1;
      continue;
    }
    for (const NamedValue& value : session.files.Document(kind.catalogKey).Values())
      out << kind.catalogKey << '.' << GameText().ToUtf8(value.name) << " = "
          << GameText().ToUtf8(value.value) << '\n';
  }
  return status;
}

int FindSettings(const DocumentSources& sources, const std::vector<std::string>& words,
                 const std::string& languageCode, std::ostream& out, std::ostream& err) {
  Session session(sources.program, err);
  std::string code = languageCode.empty() ? session.settings.ReadSetting("Config", "Language") : languageCode;
  if (code.empty()) code = "EN";
  constexpr std::string_view kCodes[] = {"FR", "EN", "SP", "RU", "HR", "DE"};
  if (std::find(std::begin(kCodes), std::end(kCodes), code) == std::end(kCodes)) {
    err << "Unknown language \"" << code << "\": give one of FR EN SP RU HR DE\n";
    return 2;
  }
  // fr-FR.xml for FR, and so on.
  std::string fileName = code;
  std::transform(fileName.begin(), fileName.end(), fileName.begin(),
                 [](char c) { return char(c - 'A' + 'a'); });
  fileName += '-' + code + ".xml";
  std::optional<TMessageCatalogue> catalogue;
  try {
    catalogue.emplace(sources.program.Languages() / fileName);
  } catch (const std::exception& failure) {
    err << failure.what() << '\n';
    return 1;
  }
  std::string query;
  for (const std::string& word : words) query += word + ' ';
  const std::vector<SearchEntry> found = TSettingSearch(*catalogue).Find(query);
  if (found.empty()) return 1;

  // The values show prints, by the control whose caption names them.
  std::multimap<std::string, std::string> lines;
  if (FindFolder(sources, session, err)) {
    for (const GameFileKind& kind : GameFileKinds()) {
      if (!session.Load(kind.catalogKey)) continue;
      for (const NamedValue& value : session.files.Document(kind.catalogKey).Values()) {
        const std::string name = GameText().ToUtf8(value.name);
        lines.emplace(CaptionControlOf(name),
                      std::string(kind.catalogKey) + '.' + name + " = " + GameText().ToUtf8(value.value));
      }
    }
  }
  for (const SearchEntry& entry : found) {
    const auto [first, last] = lines.equal_range(entry.control);
    for (auto line = first; line != last; ++line)
      out << line->second << "  (" << entry.caption << " — " << entry.pageCaption << ")\n";
    if (first != last) continue;
    out << ListText(entry) << '\n';
  }
  return 0;
}

int ApplyValues(const DocumentSources& sources, const std::vector<Assignment>& assignments, std::ostream& err,
                std::ostream* diff) {
  Session session(sources.program, err);
  if (!FindFolder(sources, session, err)) return 1;
  std::vector<Target> targets;
  bool ready = FindTargets(assignments, targets, err);

  // Every file is read and every value set before anything is written.
  std::set<std::string_view> keys;
  for (const Target& target : targets) keys.insert(target.kind->catalogKey);
  // A change of the scenery writes graphics.cfg too, whose scenery line follows it.
  const bool scenesSet = std::any_of(targets.begin(), targets.end(), [](const Target& target) {
    return target.kind->catalogKey == MissionEditorDocument::kCatalogKey &&
           target.valueName == "SpecialSliderScenes";
  });
  if (scenesSet) keys.insert(GraphicsDocument::kCatalogKey);
  FilesToWrite files = InWholeSetOrder(keys);
  ready &= LoadToWrite(files, session);
  LendScenes(files, session);
  ready &= SetValues(targets, files, session);
  if (const int status = ApplyFiles(files, ready, session, "kesta-cli apply", diff)) return status;
  return files.left.empty() ? 0 : 1;
}

int SaveConfigurationFile(const DocumentSources& sources, const fs::path& configurationFile,
                          std::ostream& out, std::ostream& err) {
  Session session(sources.program, err);
  if (!FindFolder(sources, session, err)) return 1;
  // As the window's Save: each file as Apply would write it, in Apply's order; a file that cannot be
  // read or written gets no section and the others are still saved.
  std::vector<std::string_view> read;
  int status = 0;
  for (std::string_view key : WholeSetOrder()) {
    if (session.Load(key)) {
      read.push_back(key);
    } else {
      err << session.Label(key) << ": no section saved\n";
      status = 1;
    }
  }
  SavedConfiguration configuration;
  const std::vector<FileFailure> failures = SaveWholeSet(
      session.files, configuration, read, [&session](std::string_view key) { return session.PathOf(key); });
  for (const FileFailure& failure : failures) {
    err << session.Label(failure.catalogKey) << ": " << ForTerminal(failure.reason) << '\n'
        << session.Label(failure.catalogKey) << ": no section saved\n";
    status = 1;
  }
  try {
    configuration.Write(configurationFile);
  } catch (const std::exception& failure) {
    err << failure.what() << "\nNothing was saved.\n";
    return 1;
  }
  for (std::string_view key : read) {
    const std::string catalogPath = session.settings.ReadSetting("Files", key);
    Lines section;
    if (!configuration.TakeSection(catalogPath, section)) continue;
    out << session.Label(key) << ": saved as section " << catalogPath << " (" << section.size()
        << " lines)\n";
  }
  return status;
}

int OpenConfigurationFile(const DocumentSources& sources, const fs::path& configurationFile,
                          std::ostream& out, std::ostream& err, bool diff) {
  Session session(sources.program, err);
  SavedConfiguration configuration;
  try {
    configuration = SavedConfiguration::Read(configurationFile, session.lookup);
  } catch (const std::exception& failure) {
    err << failure.what() << "\nNothing was written.\n";
    return 1;
  }
  if (!FindFolder(sources, session, err)) return 1;

  // As the window's Open followed by Apply: each game file read as the pages had it, then each section
  // read over it, then written into the game file's own lines. A file without a section is left as it is.
  std::set<std::string_view> sections;
  for (std::string_view key : WholeSetOrder()) {
    Lines section;
    if (configuration.TakeSection(session.settings.ReadSetting("Files", key), section)) sections.insert(key);
  }
  std::set<std::string_view> keys = sections;
  // A new scenery of the mission editor moves graphics.cfg's scenery line too.
  if (sections.contains(MissionEditorDocument::kCatalogKey)) keys.insert(GraphicsDocument::kCatalogKey);
  FilesToWrite files = InWholeSetOrder(keys);
  bool ready = LoadToWrite(files, session);
  LendScenes(files, session);
  std::vector<std::string_view> fromSections;
  for (std::string_view key : files.keys)
    if (sections.contains(key) && !files.left.contains(key) && session.files.EverRead(key))
      fromSections.push_back(key);
  const size_t before = session.reported;
  OpenWholeSet(session.files, configuration, fromSections,
               [&session](std::string_view key) { return session.PathOf(key); });
  ready &= session.reported == before;
  if (const int status =
          ApplyFiles(files, ready, session, "kesta-cli open-config " + configurationFile.string(),
                     diff ? &out : nullptr))
    return status;
  if (diff) return files.left.empty() ? 0 : 1;
  for (std::string_view key : WholeSetOrder()) {
    if (files.left.contains(key))
      out << session.Label(key) << ": left as it was\n";
    else if (sections.contains(key))
      out << session.Label(key) << ": written from its section\n";
    else if (files.Has(key))
      out << session.Label(key) << ": written for the mission editor's scenery\n";
    else
      out << key << ": no section, left as it was\n";
  }
  return files.left.empty() ? 0 : 1;
}

void RecoverInterruptedApplies(const ProgramFolder& program, std::ostream& err) {
  try {
    const RecoveryReport report = ApplyJournal(program.Journal()).Recover();
    if (!report.Empty()) err << ForTerminal(DescribeRecovery(report));
  } catch (const std::exception& failure) {
    err << "The journal of Applies cannot be checked: " << failure.what() << '\n';
  }
}

int ListHistory(const ProgramFolder& program, std::ostream& out) {
  out << ForTerminal(DescribeHistory(ApplyJournal(program.Journal()).History()));
  return 0;
}

int UndoApply(const ProgramFolder& program, std::optional<std::uint64_t> number, std::ostream& out,
              std::ostream& err) {
  const UndoReport report = ApplyJournal(program.Journal()).Undo(number);
  const UndoText text = DescribeUndo(report);
  out << ForTerminal(text.done);
  err << ForTerminal(text.trouble);
  return report.Complete() ? 0 : 1;
}

int ListPrefixes(const ProgramFolder& program, std::ostream& out) {
  SettingsFile settings(program.SettingsFile());
  settings.SetWriteFailureHandler([](const std::string&) {});
  const std::string keyPath = settings.ReadSetting("Lockon", "PathReg");
  const char* home = std::getenv("HOME");
  const char* environment = std::getenv("WINEPREFIX");
  const std::optional<fs::path> environmentPrefix =
      environment && *environment ? std::optional<fs::path>(environment) : std::nullopt;
  for (const WinePrefix& prefix : FindWinePrefixes(home ? home : "", environmentPrefix)) {
    out << prefix.name << '\t' << prefix.path.string() << '\t';
    if (const std::optional<fs::path> game = GameFolderNamedBy(prefix.path, keyPath)) {
      std::error_code ec;
      out << game->string() << (fs::is_directory(*game, ec) ? "" : " (missing)");
    } else {
      out << '-';
    }
    out << '\t' << DescribeRunner(prefix.runner) << '\n';
  }
  return 0;
}

std::string ValueNamesHelp() {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const GameFileKind& kind : GameFileKinds()) {
    const std::unique_ptr<GameDocument> document = MakeGameDocument(kind.catalogKey);
    for (const NamedValue& value : document->Values())
      rows.emplace_back(std::string(kind.catalogKey) + "." + value.name, Takes(*document, value.name));
  }
  rows.emplace_back("Network.ComboBoxServerList[n]",
                    "text of entry n, from 1 to one past the last (adds it)");
  const size_t plainRows = rows.size();
  for (const OptiSlider& slider : OptiSliders()) {
    rows.emplace_back("Graphics." + std::string(slider.sliderName) + "[profile name]",
                      "a position from " + std::to_string(slider.min) + " to " + std::to_string(slider.max) +
                          (slider.key == "middle_clip" ? ", not for \"Low\"" : ""));
  }
  size_t width = 0;
  for (const auto& row : rows) width = std::max(width, row.first.size());
  std::ostringstream help;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (i == plainRows)
      help << "\nEvery visibility-range profile of graphics.cfg has these sliders, with the profile's name\n"
              "in brackets (\"Graphics.SliderLod[High]\"); show lists them for each profile of the file:\n";
    help << "  " << rows[i].first << std::string(width + 2 - rows[i].first.size(), ' ') << rows[i].second
         << '\n';
  }
  return help.str();
}

}  // namespace kesta
