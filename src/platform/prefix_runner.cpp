#include "platform/prefix_runner.h"

namespace kesta {

PrefixRunner RunnerOfPrefix(const std::filesystem::path&, const std::filesystem::path&) { return {}; }

std::string DescribeRunner(const PrefixRunner& runner) {
  return runner.executable.empty() ? "system wine" : "wine " + runner.executable.string();
}

}  // namespace kesta
