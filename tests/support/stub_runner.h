#pragma once
// A stand-in for what starts a Windows program (a build's bin/wine, Proton's `proton`, `bottles-cli`,
// `flatpak`): a shell script that records how it was started, its arguments exactly, its working folder
// and its environment, then ends (or hands over to a real program).

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/prefix_runner.h"

namespace kesta::test {

// A runner as a game manager's records would give it.
PrefixRunner MakeRunner(PrefixManager manager, RunnerKind kind, std::string name, std::string build,
                        std::filesystem::path executable = {}, std::vector<std::string> command = {},
                        std::vector<std::pair<std::string, std::string>> environment = {},
                        bool buildMissing = false);

struct StubRecord {
  std::string program;  // how it was called ($0)
  std::vector<std::string> arguments;
  std::filesystem::path folder;  // the working folder, symbolic links resolved
  std::map<std::string, std::string> environment;
  std::string input;  // what its stdin is (a path, "pipe:[...]")

  // The variable's value, or "<unset>".
  std::string Variable(const std::string& name) const;
};

// Writes the stub at `executable` (creating its folders), recording into files beside `record`; `record`
// itself is written last, when the rest is complete. With `then` the stub goes on as that program with
// the same arguments (the system's Wine, for a build that leads there).
void WriteStubRunner(const std::filesystem::path& executable, const std::filesystem::path& record,
                     const std::filesystem::path& then = {});

// The record once the stub has written it (it runs detached from us); nothing after `limit`.
std::optional<StubRecord> WaitForStubRecord(const std::filesystem::path& record,
                                            std::chrono::seconds limit = std::chrono::seconds(60));

// Whether a stub has written that record by now: for checks that nothing was started.
bool StubRan(const std::filesystem::path& record);

}  // namespace kesta::test
