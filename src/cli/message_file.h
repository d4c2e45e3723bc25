#pragma once
// The messages the documents look up, from the English language file beside the executable. kesta-cli
// has no window to translate, so it reads only the entries' names and texts.

#include <filesystem>

#include "engine/load_apply_texts.h"

namespace kesta {

// Looks keys up without regard to ASCII case, as the window does; a key the file lacks, or every key when
// the file cannot be read, stands for itself. The file is read at the first lookup.
MessageLookup EnglishMessages(const std::filesystem::path& languagesFolder);

}  // namespace kesta
