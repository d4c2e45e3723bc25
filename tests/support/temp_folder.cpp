#include "support/temp_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace kesta::test {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kesta-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!::mkdtemp(buffer.data())) throw std::runtime_error("cannot create a temporary folder");
  m_path = buffer.data();
}

TempFolder::~TempFolder() {
  std::error_code ec;
  // Tests may leave read-only folders behind; give write access back before removing.
  for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
  }
  std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(m_path, ec);
}

std::filesystem::path TempFolder::Write(const std::filesystem::path& relative, std::string_view bytes) const {
  const std::filesystem::path path = m_path / relative;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
  return path;
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::filesystem::path BinaryFolder() { return KESTA_PROGRAM_DIR; }

std::filesystem::path SourceFolder() { return KESTA_SOURCE_DIR; }

}  // namespace kesta::test
