#include "sets/whole_set.h"

#include "engine/game_file.h"
#include "sets/game_file_set.h"
#include "sets/saved_configuration.h"

namespace kesta {

std::span<const std::string_view> WholeSet() { return WholeSetOrder(); }

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

WrittenFiles WritePrepared(TGameFileSet& files, const std::vector<PreparedFile>& prepared,
                           bool stopAtFailure) {
  WrittenFiles outcome;
  for (size_t i = 0; i < prepared.size(); ++i) {
    const PreparedFile& file = prepared[i];
    try {
      files.Write(file.catalogKey, file.lines, file.target);
      outcome.written.push_back(file.catalogKey);
    } catch (const std::exception&) {
      outcome.failures.push_back(FailureOf(file.catalogKey));
      if (!stopAtFailure) continue;
      for (size_t k = i; k < prepared.size(); ++k) outcome.notWritten.push_back(prepared[k].catalogKey);
      break;
    }
  }
  return outcome;
}

bool ApplyWholeSet(TGameFileSet& files, const GamePathFunction& pathOf) {
  const PreparedApply prepared = PrepareApply(files, WholeSet(), pathOf);
  for (const FileFailure& failure : prepared.failures)
    files.ReportApplyFailure(failure.catalogKey, failure.reason);
  const WrittenFiles written = WritePrepared(files, prepared.files, false);
  for (const FileFailure& failure : written.failures)
    files.ReportApplyFailure(failure.catalogKey, failure.reason);
  return prepared.failures.empty() && written.failures.empty();
}

void ReloadWholeSet(TGameFileSet& files) {
  for (std::string_view key : WholeSet())
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

}  // namespace kesta
