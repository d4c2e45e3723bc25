#pragma once
// What every loader and applier says to the user, built in one place for all twelve game files.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/param_lines.h"

namespace kesta {

enum class EmptyRule {
  NoLine,          // empty only when it has no line
  NoLineOrBlank,   // also empty when all its text is blank
};

struct GameFileKind {
  std::string_view catalogKey;                 // key in the "Files" section
  std::string_view title;                      // opens every load message
  std::optional<std::string_view> applyLabel;  // follows "Applying" in the apply message
  std::string_view defaultCopy;                // name in the folder of default copies
  EmptyRule emptyRule;
};

// The twelve game files in catalogue order.
const std::array<GameFileKind, 12>& GameFileKinds();
// The kind of a catalogue key (exact name); fails for an unknown key.
const GameFileKind& GameFileKindOf(std::string_view catalogKey);

// Looks up a message text by key in the current language.
using MessageLookup = std::function<std::string(std::string_view key)>;

// "<title>\r\n----------------------\r\n"
std::string TitleLine(const GameFileKind& kind);
bool CountsAsEmpty(const GameFileKind& kind, const Lines& lines);

std::string EmptyFileQuestion(const GameFileKind& kind, std::string_view path, const MessageLookup& lookup);
std::string LoadFailureQuestion(const GameFileKind& kind, std::string_view path, std::string_view failure,
                                const MessageLookup& lookup);
std::string ApplyFailureMessage(const GameFileKind& kind, std::string_view failure,
                                const MessageLookup& lookup);

}  // namespace kesta
