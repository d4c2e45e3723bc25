// The window's search at each keystroke (the list filled for the field's text) and the index built on
// first use, through the real window; one frame at 60 Hz is 16.7 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>

#include "language/language_setup.h"
#include "language/setting_search.h"
#include "support/program_install.h"
#include "support/scripted_dialogs.h"
#include "ui/main_window.h"
#include "ui/setting_finder.h"

namespace {

struct Fixture {
  kesta::test::ProgramInstall install;
  kesta::test::ScriptedDialogs dialogs;
  std::unique_ptr<kesta::TFrmKESTA> window;

  Fixture() {
    window = std::make_unique<kesta::TFrmKESTA>(kesta::WindowEnvironment{install.Folder(), &dialogs, {}});
    window->FormCreate();
    window->show();
  }
};

// Made on first use and released before the application object goes.
std::unique_ptr<Fixture> g_fixture;

Fixture& Shared() {
  if (!g_fixture) g_fixture = std::make_unique<Fixture>();
  return *g_fixture;
}

void BM_IndexBuilt(benchmark::State& state) {
  const kesta::TMessageCatalogue& catalogue = *Shared().window->Language().Catalogue();
  for (auto _ : state) benchmark::DoNotOptimize(kesta::TSettingSearch(catalogue).Entries().size());
}

// The field's text as typed so far, and the list filled for it.
void BM_Keystroke(benchmark::State& state, const char* text) {
  kesta::TSettingFinder& search = Shared().window->Search();
  search.Field()->setText(text);
  search.UpdateList();  // the index is built once, at the first search
  for (auto _ : state) search.UpdateList();
}

BENCHMARK(BM_IndexBuilt)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, one_letter, "s")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, two_words, "shadow dens")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, modified, "@modified")->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  g_fixture.reset();
  return 0;
}
