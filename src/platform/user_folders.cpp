#include "platform/user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "engine/failure.h"

namespace kesta {

std::filesystem::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && *entry->pw_dir)
    return entry->pw_dir;
  throw EKestaError("Cannot find the home folder: HOME is not set.");
}

std::filesystem::path XdgBaseFolder(const char* variable, std::string_view belowHome) {
  // Relative values are invalid by the base directory rules and must be ignored.
  if (const char* value = std::getenv(variable); value && std::filesystem::path(value).is_absolute())
    return value;
  return HomeFolder() / belowHome;
}

}  // namespace kesta
