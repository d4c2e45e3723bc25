// Load and apply of graphics.cfg through the real window (the sample, and one with 200 profiles),
// beside a plain read and atomic write of the same bytes.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "graphics_fixtures.h"
#include "platform/file_io.h"
#include "ratio_reporter.h"
#include "support/program_install.h"
#include "support/scripted_dialogs.h"
#include "sets/configuration_commands.h"
#include "ui/main_window.h"

namespace {

namespace fs = std::filesystem;

struct Fixture {
  kesta::test::ProgramInstall install;
  kesta::test::ScriptedDialogs dialogs;
  std::unique_ptr<kesta::TFrmKESTA> window;
  fs::path files[2];
  fs::path target;

  Fixture() {
    window = std::make_unique<kesta::TFrmKESTA>(kesta::WindowEnvironment{install.Folder(), &dialogs, {}});
    window->FormCreate();
    for (int large = 0; large < 2; ++large) {
      files[large] = install.Root() / (large ? "graphics-200.cfg" : "graphics.cfg");
      kesta::WriteFileAtomically(files[large], kesta::bench::Bytes(large));
    }
    target = install.Root() / "written.cfg";
  }
};

// Made on first use and released before the application object goes.
std::unique_ptr<Fixture> g_fixture;

Fixture& Shared() {
  if (!g_fixture) g_fixture = std::make_unique<Fixture>();
  return *g_fixture;
}

void BM_PlainReadWrite(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) kesta::WriteFileAtomically(f.target, kesta::ReadWholeFile(f.files[state.range(0)]));
}

void BM_GraphicsLoadApply(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    f.window->Configuration().LoadGraphicsSettings(f.files[state.range(0)], false);
    f.window->Configuration().ApplyGraphicsSettings(f.target);
  }
  if (!f.dialogs.Recorded().empty()) state.SkipWithError("a dialog appeared: the file did not load or apply");
}

// Argument 0: the sample (3 profiles); 1: the same file with 200 profiles.
BENCHMARK(BM_PlainReadWrite)->Arg(0)->Arg(1);
BENCHMARK(BM_GraphicsLoadApply)->Arg(0)->Arg(1);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const std::string unit = "x a plain read and write";
  const int result = kesta::bench::RunWithRatios(
      argc, argv,
      {{"graphics.cfg load and apply, sample", "BM_GraphicsLoadApply/0", "BM_PlainReadWrite/0", unit},
       {"graphics.cfg load and apply, 200 profiles", "BM_GraphicsLoadApply/1", "BM_PlainReadWrite/1", unit}});
  g_fixture.reset();
  return result;
}
