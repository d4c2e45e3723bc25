#include "cli/document_commands.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

#include "documents/game_document.h"
#include "documents/graphics_document.h"
#include "documents/mission_editor_document.h"
#include "documents/visibility_profiles.h"
#include "engine/failure.h"
#include "engine/game_file.h"
#include "language/message_catalogue.h"
#include "platform/code_page.h"
#include "platform/game_paths.h"
#include "platform/wine_prefixes.h"
#include "platform/wine_registry.h"
#include "sets/game_file_set.h"
#include "sets/saved_configuration.h"
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
  explicit Session(const ProgramFolder& program)
      : settings(program.SettingsFile()), lookup(MessagesOrKeys(program.Languages() / "en-EN.xml")) {
    // Reading stores the defaults of missing keys, as the window does; a program folder we may not
    // write to must not stop a command that only needs the defaults.
    settings.SetWriteFailureHandler([](const std::string&) {});
  }
  SettingsFile settings;
  MessageLookup lookup;
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

struct OpenFile {
  const GameFileKind* kind = nullptr;
  fs::path path;
  std::unique_ptr<GameDocument> document;
  bool read = false;
  bool left = false;  // its bytes hold a NUL: neither written nor written from
};

OpenFile Open(const GameFileKind& kind, const Session& session) {
  return {&kind, GamePath(session.gameFolder, session.settings.ReadSetting("Files", kind.catalogKey)),
          MakeGameDocument(kind.catalogKey)};
}

std::string Label(const OpenFile& file) {
  return std::string(file.kind->catalogKey) + " (" + file.path.string() + ")";
}

// Reads the file into its document as the window's loader does; reports a failure unless told not to. A
// file read `toWrite` whose bytes hold a NUL is reported and left out, which is no failure of the others.
bool Read(OpenFile& file, const MessageLookup& lookup, std::ostream* err, bool toWrite = false) {
  try {
    const Lines lines = toWrite ? ReadGameFileToWrite(file.path, file.path, lookup) : ReadGameFile(file.path);
    if (CountsAsEmpty(*file.kind, lines)) throw EKestaError("the file is empty");
    file.document->Read(lines, lookup);
    file.read = true;
  } catch (const ENulInGameFile& failure) {
    if (err) *err << Label(file) << ": " << ForTerminal(failure.what()) << '\n';
    file.left = true;
    return true;
  } catch (const std::exception& failure) {
    if (err) *err << Label(file) << ": " << ForTerminal(failure.what()) << '\n';
  }
  return file.read;
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
bool SetValues(const std::vector<Target>& targets, std::map<std::string_view, OpenFile>& files,
               std::ostream& err) {
  bool set = true;
  for (const Target& target : targets) {
    OpenFile& file = files.at(target.kind->catalogKey);
    if (!file.read) continue;
    const Assignment& assignment = *target.assignment;
    const std::optional<std::string> value = GameText().FromUtf8(assignment.value);
    try {
      if (!value)
        throw EKestaError("\"" + assignment.value + "\" holds a character the game's code page (" +
                          std::to_string(GameText().CodePage()) + ") cannot hold");
      file.document->SetValue(target.valueName, *value);
    } catch (const std::exception& failure) {
      err << assignment.name << ": " << ForTerminal(failure.what()) << '\n';
      set = false;
    }
  }
  return set;
}

// graphics.cfg's scenery line follows the mission editor's scenery, as the window's Apply writes it. A
// mission editor's file that is not among the files is read for that alone; one that cannot be read
// leaves the line as graphics.cfg has it, as in the window.
void CarryScenesOf(std::map<std::string_view, OpenFile>& files, const Session& session) {
  const auto graphics = files.find(GraphicsDocument::kCatalogKey);
  if (graphics == files.end()) return;
  std::optional<OpenFile> sceneSource;
  const OpenFile* missionEditor = nullptr;
  if (const auto found = files.find(MissionEditorDocument::kCatalogKey); found != files.end()) {
    missionEditor = &found->second;
  } else {
    sceneSource = Open(*KindNamed(MissionEditorDocument::kCatalogKey), session);
    Read(*sceneSource, session.lookup, nullptr);
    missionEditor = &*sceneSource;
  }
  CarryScenes(
      missionEditor->read ? &dynamic_cast<const MissionEditorDocument&>(*missionEditor->document) : nullptr,
      dynamic_cast<GraphicsDocument&>(*graphics->second.document));
}

// As the window's Apply: the file's current lines with its document written into them. Reports a failure.
std::optional<Lines> AppliedLines(const OpenFile& file, const MessageLookup& lookup, std::ostream& err) {
  try {
    Lines lines = ReadGameFileToWrite(file.path, std::nullopt, lookup);
    WriteDocument(*file.document, lines, file.path.filename().string(), lookup);
    return lines;
  } catch (const std::exception& failure) {
    err << Label(file) << ": " << ForTerminal(failure.what()) << '\n';
    return std::nullopt;
  }
}

bool AnyLeft(const std::map<std::string_view, OpenFile>& files) {
  return std::any_of(files.begin(), files.end(), [](const auto& entry) { return entry.second.left; });
}

struct PreparedWrite {
  const OpenFile* file;
  Lines lines;
};

// Writes the files one after the other; a failure names what was written before it and what was not.
int WriteAll(const std::vector<PreparedWrite>& writes, std::ostream& err) {
  for (size_t i = 0; i < writes.size(); ++i) {
    try {
      WriteGameFile(writes[i].file->path, writes[i].lines);
    } catch (const std::exception& failure) {
      err << Label(*writes[i].file) << ": " << failure.what() << '\n';
      const auto list = [&writes](size_t from, size_t to) {
        std::string labels;
        for (size_t k = from; k < to; ++k) labels += (labels.empty() ? "" : ", ") + Label(*writes[k].file);
        return labels;
      };
      if (i > 0) err << "Already written: " << list(0, i) << ".\n";
      err << "Not written: " << list(i, writes.size()) << ".\n";
      return 1;
    }
  }
  return 0;
}

// As the window's Apply, in its order: each file's current lines with its document written in, then the
// files written one after the other. Nothing is written unless `ready` and every file's lines are; a file
// left out for a NUL is skipped.
int ApplyFiles(std::map<std::string_view, OpenFile>& files, bool ready, const Session& session,
               std::ostream& err) {
  CarryScenesOf(files, session);
  std::vector<PreparedWrite> writes;
  for (std::string_view key : WholeSetOrder()) {
    if (!ready || !files.contains(key) || files.at(key).left) continue;
    std::optional<Lines> lines = AppliedLines(files.at(key), session.lookup, err);
    if (lines)
      writes.push_back({&files.at(key), std::move(*lines)});
    else
      ready = false;
  }
  if (!ready) {
    err << "Nothing was written.\n";
    return 1;
  }
  return WriteAll(writes, err);
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
  Session session(sources.program);
  if (!FindFolder(sources, session, err)) return 1;
  int status = 0;
  for (const GameFileKind& kind : GameFileKinds()) {
    OpenFile file = Open(kind, session);
    if (!Read(file, session.lookup, &err)) {
      status = 1;
      continue;
    }
    for (const NamedValue& value : file.document->Values())
      out << kind.catalogKey << '.' << GameText().ToUtf8(value.name) << " = "
          << GameText().ToUtf8(value.value) << '\n';
  }
  return status;
}

int ApplyValues(const DocumentSources& sources, const std::vector<Assignment>& assignments,
                std::ostream& err) {
  Session session(sources.program);
  if (!FindFolder(sources, session, err)) return 1;
  std::vector<Target> targets;
  bool ready = FindTargets(assignments, targets, err);

  // Every file is read and every value set before anything is written.
  std::map<std::string_view, OpenFile> files;
  for (const Target& target : targets)
    if (!files.contains(target.kind->catalogKey))
      files.emplace(target.kind->catalogKey, Open(*target.kind, session));
  // A change of the scenery writes graphics.cfg too, whose scenery line follows it.
  const bool scenesSet = std::any_of(targets.begin(), targets.end(), [](const Target& target) {
    return target.kind->catalogKey == MissionEditorDocument::kCatalogKey &&
           target.valueName == "SpecialSliderScenes";
  });
  if (scenesSet && !files.contains(GraphicsDocument::kCatalogKey))
    files.emplace(GraphicsDocument::kCatalogKey, Open(*KindNamed(GraphicsDocument::kCatalogKey), session));
  for (std::string_view key : WholeSetOrder())
    if (files.contains(key)) ready &= Read(files.at(key), session.lookup, &err, true);
  ready &= SetValues(targets, files, err);
  if (const int status = ApplyFiles(files, ready, session, err)) return status;
  return AnyLeft(files) ? 1 : 0;
}

int SaveConfigurationFile(const DocumentSources& sources, const fs::path& configurationFile,
                          std::ostream& out, std::ostream& err) {
  Session session(sources.program);
  if (!FindFolder(sources, session, err)) return 1;
  std::map<std::string_view, OpenFile> files;
  for (std::string_view key : WholeSetOrder()) {
    OpenFile& file = files.emplace(key, Open(*KindNamed(key), session)).first->second;
    Read(file, session.lookup, &err);
  }
  CarryScenesOf(files, session);

  // As the window's Save: each file as Apply would write it, in Apply's order; a file that cannot be
  // read or written gets no section and the others are still saved.
  SavedConfiguration configuration;
  std::vector<std::string> saved;
  int status = 0;
  for (std::string_view key : WholeSetOrder()) {
    const OpenFile& file = files.at(key);
    const std::optional<Lines> lines = file.read ? AppliedLines(file, session.lookup, err) : std::nullopt;
    if (!lines) {
      err << Label(file) << ": no section saved\n";
      status = 1;
      continue;
    }
    const std::string catalogPath = session.settings.ReadSetting("Files", key);
    configuration.PutSection(catalogPath, *lines);
    saved.push_back(Label(file) + ": saved as section " + catalogPath + " (" + std::to_string(lines->size()) +
                    " lines)");
  }
  try {
    configuration.Write(configurationFile);
  } catch (const std::exception& failure) {
    err << failure.what() << "\nNothing was saved.\n";
    return 1;
  }
  for (const std::string& line : saved) out << line << '\n';
  return status;
}

int OpenConfigurationFile(const DocumentSources& sources, const fs::path& configurationFile,
                          std::ostream& out, std::ostream& err) {
  Session session(sources.program);
  SavedConfiguration configuration;
  try {
    configuration = SavedConfiguration::Read(configurationFile, session.lookup);
  } catch (const std::exception& failure) {
    err << failure.what() << "\nNothing was written.\n";
    return 1;
  }
  if (!FindFolder(sources, session, err)) return 1;

  // As the window's Open followed by Apply: each section read into the document of its game file, then
  // written into the game file's own lines. A file without a section is left as it is.
  std::map<std::string_view, OpenFile> files;
  std::map<std::string_view, Lines> sections;
  for (std::string_view key : WholeSetOrder()) {
    Lines section;
    if (!configuration.TakeSection(session.settings.ReadSetting("Files", key), section)) continue;
    sections.emplace(key, std::move(section));
    files.emplace(key, Open(*KindNamed(key), session));
  }
  // A new scenery of the mission editor moves graphics.cfg's scenery line too.
  if (files.contains(MissionEditorDocument::kCatalogKey) && !files.contains(GraphicsDocument::kCatalogKey))
    files.emplace(GraphicsDocument::kCatalogKey, Open(*KindNamed(GraphicsDocument::kCatalogKey), session));

  bool ready = true;
  for (std::string_view key : WholeSetOrder()) {
    if (!files.contains(key)) continue;
    OpenFile& file = files.at(key);
    ready &= Read(file, session.lookup, &err, true);  // the values no section holds, as the pages had them
    if (!file.read || !sections.contains(key)) continue;
    try {
      const Lines& section = sections.at(key);
      if (CountsAsEmpty(*file.kind, section)) throw EKestaError("the section is empty");
      file.document->Read(section, session.lookup);
    } catch (const std::exception& failure) {
      err << Label(file) << ": section " << session.settings.ReadSetting("Files", key) << " of "
          << configurationFile.string() << ": " << ForTerminal(failure.what()) << '\n';
      ready = false;
    }
  }
  if (const int status = ApplyFiles(files, ready, session, err)) return status;
  for (std::string_view key : WholeSetOrder()) {
    const OpenFile* file = files.contains(key) ? &files.at(key) : nullptr;
    if (file && file->left)
      out << Label(*file) << ": left as it was\n";
    else if (file && sections.contains(key))
      out << Label(*file) << ": written from its section\n";
    else if (file)
      out << Label(*file) << ": written for the mission editor's scenery\n";
    else
      out << key << ": no section, left as it was\n";
  }
  return AnyLeft(files) ? 1 : 0;
}

int ListPrefixes(const ProgramFolder& program, std::ostream& out) {
  Session session(program);
  const std::string keyPath = session.settings.ReadSetting("Lockon", "PathReg");
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
    out << '\n';
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
