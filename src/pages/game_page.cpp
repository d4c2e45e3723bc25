#include "pages/game_page.h"

#include <QVBoxLayout>

#include "ui/main_window.h"
#include "ui/tab_sheet.h"

namespace kesta {

TGamePage::TGamePage(TFrmKESTA& window, TTabSheet* sheet) : QWidget(sheet), m_window(window) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  sheet->Body()->addWidget(this);
}

void TGamePage::Refresh() {
  m_filling = true;
  try {
    Fill();
  } catch (...) {
    m_filling = false;
    throw;
  }
  m_filling = false;
}

void TGamePage::MarkModified() { m_window.EnableApplyCancel(true, true); }

TGameFileSet& TGamePage::GameFiles() const { return m_window.GameFiles(); }

}  // namespace kesta
