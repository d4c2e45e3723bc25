#pragma once
// Finding a control by the words of its caption, in the language the program speaks, without building
// the pages: the index comes from a language file and from the table of which control lies on which
// page and ribbon tab.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "language/message_catalogue.h"

namespace kesta {

// A page of the page area, the ribbon button that shows it and the ribbon tab that holds that button.
struct PagePlace {
  const char* page;
  const char* button;
  const char* tab;
};
// Every page a button shows, in ribbon order.
std::span<const PagePlace> PagePlaces();
// The page the control lies on; nullptr for a control on no page.
const PagePlace* PageOfControl(std::string_view control);
// The page a ribbon button shows; nullptr for a button that shows none.
const PagePlace* PlaceOfButton(std::string_view button);

// The control whose caption names a value control: "EditClientPort" is named by "LabelClientPort", a slider
// by itself. Takes a value's name as the documents give it, an entry in brackets and all.
std::string CaptionControlOf(std::string_view valueControl);

// What the player typed: the words, and the filters "@modified" (the controls with changes not yet
// applied) and "@page NAME" (one page, NAME a word of its caption or its caption in double quotes).
struct SearchQuery {
  std::vector<std::string> words;  // folded for search
  bool modifiedOnly = false;
  std::string page;  // folded; empty for every page
  bool Empty() const { return words.empty() && !modifiedOnly && page.empty(); }
};
SearchQuery ParseSearchQuery(std::string_view text);

// One control the search can find; texts in UTF-8.
struct SearchEntry {
  std::string control;      // object name
  std::string caption;      // what the language file labels it with
  std::string pageCaption;  // the caption of the button that shows its page; empty for a command
  std::string tabCaption;   // the ribbon tab; empty for a command of the application menu
  friend bool operator==(const SearchEntry&, const SearchEntry&) = default;
};

// How a list shows the entry: "caption — page (tab)", "caption (tab)" for a command on a tab, the caption
// alone for one of the application menu.
std::string ListText(const SearchEntry& entry);

// The page the entry's control lies on or that its page button shows; nullptr for a command.
const PagePlace* PlaceOfEntry(const SearchEntry& entry);

// Lower case with Latin accents taken off (é -> e, ß -> ss, œ -> oe); Cyrillic and Greek only
// lower-cased; other scripts as they are.
std::string FoldForSearch(std::string_view text);

class TSettingSearch {
 public:
  explicit TSettingSearch(const TMessageCatalogue& catalogue);

  // The controls every word of the query matches, a word matching any part of the words of a caption, of
  // the control's hint or (a slider) of its step captions, in page order; nothing for a query without words.
  std::vector<SearchEntry> Find(std::string_view query) const;
  // The controls that pass the query's filters, `changedControls` being the caption controls of the values
  // with changes (see CaptionControlOf), and match all of its words; with filters and no words, all that
  // pass them.
  std::vector<SearchEntry> Find(const SearchQuery& query,
                                const std::vector<std::string>& changedControls) const;

  const std::vector<SearchEntry>& Entries() const { return m_entries; }

 private:
  std::vector<SearchEntry> m_entries;
  std::vector<std::string> m_folded;  // what each entry is matched against
};

}  // namespace kesta
