#include "platform/game_paths.h"

#include <algorithm>

#include "engine/text.h"

namespace kesta {

namespace fs = std::filesystem;

std::string WindowsToNativeSeparators(std::string_view path) {
  std::string native(path);
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

namespace {

// The entry of `folder` whose name equals `name` without regard to case, if there is exactly one
// obvious choice (the first in the folder's order when several differ only in case).
fs::path MatchEntry(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string candidate = it->path().filename().string();
    if (EqualsNoCase(candidate, name)) return folder / candidate;
  }
  return folder / name;
}

}  // namespace

fs::path ResolveCaseInsensitive(const fs::path& path) {
  fs::path resolved;
  bool missing = false;  // below a missing folder nothing can be matched
  for (const fs::path& part : path) {
    const std::string name = part.string();
    if (name.empty() || name == "." || name == ".." || name == "/" || missing) {
      resolved /= part;
      continue;
    }
    std::error_code ec;
    fs::path exact = resolved / part;
    if (fs::exists(fs::symlink_status(exact.empty() ? fs::path(".") : exact, ec))) {
      resolved = std::move(exact);
      continue;
    }
    resolved = MatchEntry(resolved, name);
    missing = !fs::exists(fs::symlink_status(resolved, ec));
  }
  return resolved;
}

fs::path GamePath(std::string_view gameFolder, std::string_view catalogPath) {
  std::string joined(gameFolder);
  joined.append(catalogPath);
  return ResolveCaseInsensitive(fs::path(WindowsToNativeSeparators(joined)));
}

}  // namespace kesta
