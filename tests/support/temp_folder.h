#pragma once
// A temporary folder removed with everything in it when the test ends.

#include <filesystem>
#include <string>
#include <string_view>

namespace kesta::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  std::filesystem::path operator/(const std::filesystem::path& relative) const { return m_path / relative; }

  // Writes a file below the folder (creating its folders) and returns its path.
  std::filesystem::path Write(const std::filesystem::path& relative, std::string_view bytes) const;

 private:
  std::filesystem::path m_path;
};

// The file's bytes, or "<missing>" when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);

// Folder of the built programs (kesta, kesta-cli and test helpers).
std::filesystem::path BinaryFolder();

// The source tree: shipped resources and scripts.
std::filesystem::path SourceFolder();

}  // namespace kesta::test
