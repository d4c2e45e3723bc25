#pragma once
// Sets an environment variable (or removes it, for nullptr) until the end of the scope.

#include <cstdlib>
#include <optional>
#include <string>

namespace kesta::test {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

}  // namespace kesta::test
