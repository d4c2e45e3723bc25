#pragma once
// Small language files for the reader, catalogue and translator tests.

#include <filesystem>
#include <functional>
#include <string>

#include "engine/failure.h"
#include "support/temp_folder.h"

namespace kesta::test {

// A language file holding the entries, laid out as the shipped ones are.
inline std::string InLanguage(const std::string& entries) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<language code=\"T\">\n" + entries + "\n</language>\n";
}

// Writes that file as test.xml into the folder and returns its path.
inline std::filesystem::path WriteLanguage(const TempFolder& folder, const std::string& entries) {
  return folder.Write("test.xml", InLanguage(entries));
}

// The text of the failure the action ends with, "<no failure>" when it ends well.
inline std::string FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EKestaError& error) {
    return error.what();
  }
  return "<no failure>";
}

}  // namespace kesta::test
