#include "support/stub_runner.h"

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

#include "support/temp_folder.h"

namespace kesta::test {

namespace fs = std::filesystem;

namespace {

// A word the shell reads back as exactly these bytes.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// NUL-separated fields, as printf '%s\0' and env -0 write them.
std::vector<std::string> Fields(const std::string& bytes) {
  std::vector<std::string> fields;
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t end = bytes.find('\0', start);
    if (end == std::string::npos) break;
    fields.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return fields;
}

fs::path Beside(const fs::path& record, const char* suffix) { return record.string() + suffix; }

}  // namespace

std::string StubRecord::Variable(const std::string& name) const {
  const auto found = environment.find(name);
  return found == environment.end() ? "<unset>" : found->second;
}

void WriteStubRunner(const fs::path& executable, const fs::path& record, const fs::path& then) {
  fs::create_directories(executable.parent_path());
  fs::create_directories(record.parent_path());
  const std::string r = Quoted(record.string());
  std::string script = "#!/bin/sh\n";
  script += "printf '%s' \"$0\" > " + r + ".program\n";
  script += "printf '%s\\0' \"$@\" > " + r + ".arguments\n";
  script += "pwd -P > " + r + ".folder\n";
  script += "env -0 > " + r + ".environment\n";
  script += "readlink /proc/$$/fd/0 > " + r + ".input\n";
  script += ": > " + r + ".part && mv " + r + ".part " + r + "\n";
  if (!then.empty()) script += "exec " + Quoted(then.string()) + " \"$@\"\n";
  // Written through a descriptor no child started meanwhile inherits: a file still open for writing
  // anywhere cannot be executed ("text file busy").
  const int fd = ::open(executable.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
  const bool written =
      fd >= 0 && ::write(fd, script.data(), script.size()) == static_cast<ssize_t>(script.size());
  if (fd >= 0) ::close(fd);
  if (!written) throw std::runtime_error("cannot write the stub " + executable.string());
}

bool StubRan(const fs::path& record) {
  std::error_code ec;
  return fs::exists(record, ec);
}

std::optional<StubRecord> WaitForStubRecord(const fs::path& record, std::chrono::seconds limit) {
  for (const auto end = std::chrono::steady_clock::now() + limit; !StubRan(record);) {
    if (std::chrono::steady_clock::now() > end) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  StubRecord found;
  found.program = ReadBytes(Beside(record, ".program"));
  found.arguments = Fields(ReadBytes(Beside(record, ".arguments")));
  std::string folder = ReadBytes(Beside(record, ".folder"));
  if (!folder.empty() && folder.back() == '\n') folder.pop_back();
  found.folder = folder;
  found.input = ReadBytes(Beside(record, ".input"));
  if (!found.input.empty() && found.input.back() == '\n') found.input.pop_back();
  for (const std::string& entry : Fields(ReadBytes(Beside(record, ".environment"))))
    if (const std::size_t equals = entry.find('='); equals != std::string::npos)
      found.environment[entry.substr(0, equals)] = entry.substr(equals + 1);
  return found;
}

PrefixRunner MakeRunner(PrefixManager manager, RunnerKind kind, std::string name, std::string build,
                        std::filesystem::path executable, std::vector<std::string> command,
                        std::vector<std::pair<std::string, std::string>> environment, bool buildMissing) {
  PrefixRunner runner;
  runner.manager = manager;
  runner.kind = kind;
  runner.name = std::move(name);
  runner.build = std::move(build);
  runner.executable = std::move(executable);
  runner.command = std::move(command);
  runner.environment = std::move(environment);
  runner.buildMissing = buildMissing;
  return runner;
}

}  // namespace kesta::test
