#pragma once
// The search field in the ribbon's title row. It finds any control of any page, or a ribbon command, by
// the words of its caption in the program's language, lists the matches as "caption — page (tab)" and
// opens the one chosen: its page in front, the control focused and marked for a moment. The index comes
// from the language file and the table of pages, never from widgets, and is built on first use.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QWidget;

namespace kesta {

class TMessageCatalogue;
class TPageArea;
class TRibbon;
class TSettingSearch;
struct SearchEntry;

class TSettingFinder : public QObject {
 public:
  struct Collaborators {
    QWidget& window;  // the list's parent; "/" typed where no text box takes it reaches the window
    TRibbon& ribbon;
    TPageArea& pages;
    // The loaded language file; nullptr before one is loaded.
    std::function<const TMessageCatalogue*()> catalogue;
    std::function<QString(const QString& key)> lookup;
    // The caption controls of the values with changes not applied yet.
    std::function<std::vector<std::string>()> changedControls;
  };

  explicit TSettingFinder(Collaborators collaborators);
  ~TSettingFinder() override;

  QLineEdit* Field() const { return m_field; }
  QListWidget* List() const { return m_list; }  // nullptr until the first search

  // Ctrl+F and "/": the field takes the focus with its text selected.
  void FocusField();
  // The texts the field takes from messages, after a language is loaded; the index follows the language.
  void LanguageLoaded();
  // Lists the matches of the field's text.
  void UpdateList();
  // Opens the list's current entry (Enter, a click); nothing when the list has none.
  void OpenCurrent();
  // Its page and ribbon tab in front (or the application menu for a command there), the control focused
  // and marked by a highlight that fades.
  void Open(const SearchEntry& entry);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  const TSettingSearch* Index();
  QListWidget* MakeList();
  void PlaceList();
  void HideList();
  // Leaves the field for the widget that had the focus before.
  void LeaveField();
  QWidget* CommandButton(const SearchEntry& entry);

  Collaborators m_with;
  QLineEdit* m_field = nullptr;
  QListWidget* m_list = nullptr;
  std::unique_ptr<TSettingSearch> m_index;
  std::vector<SearchEntry> m_shown;  // the list's entries, row by row
  QPointer<QWidget> m_focusBefore;
};

// Draws a highlight over the widget that fades away; gone by itself.
void MarkWidget(QWidget* widget, const QWidget* alongside = nullptr);

}  // namespace kesta
