#pragma once
// A game file's values as its pages show them, without a widget in sight: read from the file's lines,
// written back into them by the file's own rules, and named for kesta-cli. The pages, Apply and Cancel,
// and kesta-cli all go through the same documents, so what one writes the others write too.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/load_apply_texts.h"
#include "engine/param_lines.h"

namespace kesta {

// One value as kesta-cli names it: the control's name, with the entry in brackets for a value of a list or
// a record ("SliderLod[High]"), and the value in the page's terms. Text values are game bytes.
struct NamedValue {
  std::string name;
  std::string value;
};

class GameDocument {
 public:
  virtual ~GameDocument() = default;

  virtual const GameFileKind& Kind() const = 0;
  // Replaces the values by the file's. Fails with a text for the user and then leaves them as they were.
  virtual void Read(const Lines& lines, const MessageLookup& lookup) = 0;
  // Writes the values into the lines, in the order the file's rules give; fails with a text for the user.
  virtual void Write(Lines& lines, const MessageLookup& lookup) const = 0;
  virtual std::unique_ptr<GameDocument> Clone() const = 0;

  virtual std::vector<NamedValue> Values() const = 0;
  // Sets one value by its name; fails with a text saying what is wrong: an unknown name, or a value the
  // page could not hold (out of range, not one of the entries, too long).
  virtual void SetValue(std::string_view name, std::string_view value) = 0;
};

// Implements the copy for a document type.
template <typename Derived>
class GameDocumentOf : public GameDocument {
 public:
  std::unique_ptr<GameDocument> Clone() const override {
    return std::make_unique<Derived>(static_cast<const Derived&>(*this));
  }

  // Lets a document compare its values with "= default"; the base holds none.
  constexpr bool operator==(const GameDocumentOf&) const { return true; }
};

}  // namespace kesta
