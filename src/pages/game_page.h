#pragma once
// A page of the main window that shows a game file's document. It is built the first time it is shown,
// filled from its document then and after every load, and writes each change the user makes into the
// document at once, marking the pages modified.

#include <QWidget>

#include "sets/game_file_set.h"

namespace kesta {

class TFrmKESTA;
class TTabSheet;

class TGamePage : public QWidget {
 public:
  TGamePage(TFrmKESTA& window, TTabSheet* sheet);

  // Shows the document's values. The controls' handlers ignore these changes: they are not the user's.
  void Refresh();

 protected:
  virtual void Fill() = 0;
  bool Filling() const { return m_filling; }
  // Connects a control's signal to a handler that runs for the user's changes only.
  template <typename Sender, typename Signal, typename Handler>
  void OnUserChange(Sender* sender, Signal signal, Handler handler) {
    connect(sender, signal, this, [this, handler] {
      if (!m_filling) handler();
    });
  }
  // Marks the pages modified (Apply and Cancel become available).
  void MarkModified();
  // A file's document, or nothing while a stand-in of another type holds its place (tests). Looked up at
  // each use rather than kept: a document put in later replaces the one the page would otherwise hold.
  template <typename Document>
  Document* DocumentOf() const {
    return GameFiles().Find<Document>();
  }
  TGameFileSet& GameFiles() const;

  TFrmKESTA& m_window;

 private:
  bool m_filling = false;
};

}  // namespace kesta
