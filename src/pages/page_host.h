#pragma once
// What a page may ask of the program around it. Pages see only this, never the window: a page can then
// be built, tested and moved without the window's state, and the window's state stays its own.

#include <QString>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kesta {

class DialogService;
class ProgramFolder;
class TGameFileSet;

// How a page is brought to the front.
enum class PageOpening {
  Alone,        // just the page (and the picture it shows above it)
  AsItsButton,  // as its ribbon button opens it: the button pressed, its ribbon tab in front if it has one
};

class TPageHost {
 public:
  // The game files' documents the pages show and edit.
  virtual TGameFileSet& GameFiles() = 0;
  // Apply and Cancel offered or not: (true, true) marks the pages modified, (false, false) saved.
  virtual void EnableApplyCancel(bool apply, bool cancel) = 0;

  // A message of the chosen language, and the dialogs that ask the player.
  virtual QString LookupMessage(const QString& key) const = 0;
  virtual DialogService& Dialogs() const = 0;

  // The program's own folders, and its settings. A value that cannot be stored is reported to the player
  // once for the whole run; the page goes on.
  virtual const ProgramFolder& Folder() const = 0;
  virtual std::string ReadSetting(std::string_view section, std::string_view key) const = 0;
  virtual void StoreSetting(std::string_view section, std::string_view key, std::string_view value) = 0;

  // The game's folder, and where a game file of the catalogue lies in it.
  virtual const std::string& GameFolder() const = 0;
  virtual std::filesystem::path GamePathOf(std::string_view catalogKey) const = 0;

  // A picture of the images folder above the page; one that cannot be shown is reported, and false.
  virtual bool ShowPreviewPicture(const QString& name) = 0;
  // A message in the status bar for a short while.
  virtual void ShowStatusMessage(const QString& text) = 0;

  // Fills the built pages of a game file from its document again.
  virtual void RefreshPages(std::string_view catalogKey) = 0;
  // Brings a page to the front, built on its first visit, with the picture it shows above it.
  virtual void OpenPage(const QString& page, PageOpening how) = 0;

  // Takes back the Apply of the journal with that number (the newest when nothing), after asking; the
  // pages then read the files again. Reported in boxes.
  virtual void UndoApply(std::optional<std::uint64_t> number) = 0;

 protected:
  ~TPageHost() = default;
};

}  // namespace kesta
