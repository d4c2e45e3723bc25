#include "sets/whole_set.h"

#include <map>
#include <memory>
#include <optional>

#include "documents/game_document.h"
#include "engine/game_file.h"
#include "engine/load_apply_texts.h"
#include "sets/apply_journal.h"
#include "sets/game_file_set.h"
#include "sets/saved_configuration.h"

namespace kesta {

namespace {

FileFailure FailureOf(std::string_view catalogKey) {
  try {
    throw;
  } catch (const ENulInGameFile& failure) {
    return {catalogKey, failure.what(), true};
  } catch (const std::exception& failure) {
    return {catalogKey, failure.what(), false};
  }
}

}  // namespace

PreparedApply PrepareApply(TGameFileSet& files, std::span<const std::string_view> keys,
                           const GamePathFunction& pathOf) {
  PreparedApply prepared;
  for (std::string_view key : keys) {
    const std::filesystem::path target = pathOf(key);
    try {
      prepared.files.push_back({key, target, files.Prepare(key, target)});
    } catch (const std::exception&) {
      prepared.failures.push_back(FailureOf(key));
    }
  }
  return prepared;
}

WrittenFiles WritePrepared(TGameFileSet& files, const std::vector<PreparedFile>& prepared, bool stopAtFailure,
                           std::string_view command) {
  WrittenFiles outcome;
  // Writes into a saved configuration replace no game file.
  const bool journalled =
      !files.JournalFolder().empty() && !files.Access().HasSections() && !prepared.empty();
  std::optional<ApplyJournal::Open> open;
  const ApplyJournal journal(files.JournalFolder());
  if (journalled) {
    JournalStep("before-journal");
    std::vector<PlannedWrite> writes;
    for (const PreparedFile& file : prepared) writes.push_back({file.target, JoinGameText(file.lines)});
    try {
      open = journal.Begin(std::string(command), writes);
    } catch (const std::exception& failure) {
      outcome.failures.push_back(
          {prepared.front().catalogKey, files.Message("JournalWriteFailed") + "\n" + failure.what(), false});
      for (const PreparedFile& file : prepared) outcome.notWritten.push_back(file.catalogKey);
      return outcome;
    }
    JournalStep("journal-written");
  }
  for (size_t i = 0; i < prepared.size(); ++i) {
    const PreparedFile& file = prepared[i];
    try {
      files.Write(file.catalogKey, file.lines, file.target);
      outcome.written.push_back(file.catalogKey);
      if (journalled && i + 1 < prepared.size()) JournalStep("between-files");
    } catch (const std::exception&) {
      outcome.failures.push_back(FailureOf(file.catalogKey));
      if (!stopAtFailure && !journalled) continue;
      for (size_t k = i; k < prepared.size(); ++k) outcome.notWritten.push_back(prepared[k].catalogKey);
      break;
    }
  }
  if (!journalled) return outcome;
  if (!outcome.failures.empty()) {
    journal.RollBack(*open, outcome.written.size(), outcome.notRestored);
    outcome.rolledBack = true;
    return outcome;
  }
  JournalStep("files-written");
  try {
    journal.Complete(*open);
  } catch (const std::exception&) {
    // Every file is written; the next start finds the entry incomplete and marks it complete.
  }
  return outcome;
}

bool ApplyWholeSet(TGameFileSet& files, const GamePathFunction& pathOf) {
  const PreparedApply prepared = PrepareApply(files, WholeSetOrder(), pathOf);
  for (const FileFailure& failure : prepared.failures)
    files.ReportApplyFailure(failure.catalogKey, failure.reason);
  const WrittenFiles written = WritePrepared(files, prepared.files, false, "Apply");
  for (const FileFailure& failure : written.failures) {
    std::string reason = failure.reason;
    if (written.rolledBack && !written.written.empty()) reason += "\n\n" + files.Message("ApplyRolledBack");
    for (const std::string& left : written.notRestored)
      reason += "\n\n" + files.Message("ApplyNotRestored") + "\n" + left;
    files.ReportApplyFailure(failure.catalogKey, reason);
  }
  return prepared.failures.empty() && written.failures.empty();
}

void ReloadWholeSet(TGameFileSet& files) {
  for (std::string_view key : WholeSetOrder())
    if (const auto path = files.RememberedPath(key)) files.Load(key, *path);
}

void LoadFromGameFolder(TGameFileSet& files, std::span<const std::string_view> keys,
                        const GamePathFunction& pathOf) {
  for (std::string_view key : keys) files.Load(key, pathOf(key));
}

std::vector<FileFailure> SaveWholeSet(TGameFileSet& files, SavedConfiguration& configuration,
                                      std::span<const std::string_view> keys,
                                      const GamePathFunction& pathOf) {
  // While attached, a write appends the file's section in place of writing the game file.
  const AttachedSections attached(files.Access(), configuration);
  PreparedApply prepared = PrepareApply(files, keys, pathOf);
  WrittenFiles written = WritePrepared(files, prepared.files, false);
  prepared.failures.insert(prepared.failures.end(), written.failures.begin(), written.failures.end());
  return prepared.failures;
}

void OpenWholeSet(TGameFileSet& files, SavedConfiguration& configuration,
                  std::span<const std::string_view> keys, const GamePathFunction& pathOf) {
  // While attached, a load takes the file's section; remembering the path it gives keeps Apply's target.
  const AttachedSections attached(files.Access(), configuration);
  for (std::string_view key : keys) files.Load(key, files.RememberedPath(key).value_or(pathOf(key)));
}

std::vector<std::string> ChangedValueNames(TGameFileSet& files, const GamePathFunction& pathOf) {
  std::vector<std::string> changed;
  const MessageLookup lookup = [&files](std::string_view key) { return files.Message(key); };
  for (const std::string_view key : WholeSetOrder()) {
    if (!files.EverRead(key)) continue;
    const GameDocument& document = files.Document(key);
    const std::vector<NamedValue> values = document.Values();
    std::map<std::string, std::string> onDisk;
    try {
      const Lines lines = ReadGameFile(pathOf(key));
      if (!CountsAsEmpty(document.Kind(), lines)) {
        // Read into a copy, as a load reads into the document: what a file leaves out keeps its value.
        const std::unique_ptr<GameDocument> read = document.Clone();
        read->Read(lines, lookup);
        for (NamedValue& value : read->Values())
          onDisk.emplace(std::move(value.name), std::move(value.value));
      }
    } catch (const std::exception&) {
      onDisk.clear();  // nothing to compare with: every value is a change
    }
    for (const NamedValue& value : values) {
      const auto disk = onDisk.find(value.name);
      if (disk == onDisk.end() || disk->second != value.value) changed.push_back(value.name);
    }
  }
  return changed;
}

}  // namespace kesta
