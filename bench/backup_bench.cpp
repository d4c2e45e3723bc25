// The automatic backup at every start: after the first start it only finds its twelve copies present.
// Beside it, the first start's real copying (each copy written and synced).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "sets/backups.h"

namespace {

namespace fs = std::filesystem;

// Twelve game files of a few KiB in a fresh temporary folder, removed at the end.
struct Installation {
  Installation() {
    char pattern[] = "/tmp/kesta-backup-bench-XXXXXX";
    root = ::mkdtemp(pattern);
    fs::create_directories(root / "game");
    for (const kesta::GameFileBackup& file : kesta::kGameFileBackups)
      std::ofstream(Game(file.catalogKey)) << std::string(4096, 'x');
  }
  ~Installation() { fs::remove_all(root); }
  fs::path Game(std::string_view key) const { return root / "game" / std::string(key); }
  kesta::BackupReport Backup() const {
    return kesta::BackupGameFiles(root / "Backup", kesta::kAutomaticBackupPrefix,
                                  [this](std::string_view key) { return Game(key); });
  }
  fs::path root;
};

void BM_AutomaticBackup_AllPresent(benchmark::State& state) {
  const Installation installation;
  installation.Backup();
  for (auto _ : state) benchmark::DoNotOptimize(installation.Backup());
}

void BM_AutomaticBackup_FirstStart(benchmark::State& state) {
  const Installation installation;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(installation.root / "Backup");
    state.ResumeTiming();
    benchmark::DoNotOptimize(installation.Backup());
  }
}

BENCHMARK(BM_AutomaticBackup_AllPresent)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AutomaticBackup_FirstStart)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
