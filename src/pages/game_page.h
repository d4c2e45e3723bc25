#pragma once
// A page of the main window that shows a game file's document. It is built the first time it is shown,
// filled from its document then and after every load, and writes each change the user makes into the
// document at once, marking the pages modified.

#include <QWidget>
#include <functional>

#include "pages/page_host.h"
#include "sets/game_file_set.h"

class QBoxLayout;
class QButtonGroup;

namespace kesta {

class TTabSheet;

class TGamePage : public QWidget {
 public:
  TGamePage(TPageHost& host, TTabSheet* sheet);

  // Shows the document's values. The controls' handlers ignore these changes: they are not the user's.
  void Refresh();

 protected:
  // Tab follows the page as it is laid out, row by row and group by group, whatever order the controls
  // were made in. Set again at each showing: controls may have been added since.
  void showEvent(QShowEvent* event) override;

  virtual void Fill() = 0;
  bool Filling() const { return m_filling; }
  // Connects a control's signal to a handler that runs for the user's changes only.
  template <typename Sender, typename Signal, typename Handler>
  void OnUserChange(Sender* sender, Signal signal, Handler handler) {
    connect(sender, signal, this, [this, handler] {
      if (!m_filling) handler();
    });
  }
  // A row of two radio buttons, "Yes" (id 0) and "No" (id 1), added to `layout`; each choice the user
  // makes, by mouse or by keyboard, goes to `choose` with its id.
  QButtonGroup* AddYesNoRow(QBoxLayout* layout, QWidget* parent, const char* itemName,
                            std::function<void(int index)> choose);
  // The language's words for yes and no, which are messages rather than captions of the controls.
  void ShowYesNoTexts(QButtonGroup* group) const;
  // Marks the pages modified (Apply and Cancel become available).
  void MarkModified();
  // A file's document, or nothing while a stand-in of another type holds its place (tests). Looked up at
  // each use rather than kept: a document put in later replaces the one the page would otherwise hold.
  template <typename Document>
  Document* DocumentOf() const {
    return GameFiles().Find<Document>();
  }
  TGameFileSet& GameFiles() const;

  TPageHost& m_host;

 private:
  bool m_filling = false;
};

}  // namespace kesta
