#include "pages/game_page.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>
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

QButtonGroup* TGamePage::AddYesNoRow(QBoxLayout* layout, QWidget* parent, const char* itemName,
                                     std::function<void(int index)> choose) {
  auto* row = new QHBoxLayout();
  row->setSpacing(24);
  auto* group = new QButtonGroup(parent);
  for (int index = 0; index < 2; ++index) {
    auto* item = new QRadioButton(index == 0 ? "Yes" : "No", parent);
    item->setObjectName(itemName);
    group->addButton(item, index);
    row->addWidget(item);
  }
  row->addStretch(1);
  layout->addLayout(row);
  // The button left behind reports too, and is passed.
  connect(group, &QButtonGroup::idToggled, this, [this, choose = std::move(choose)](int index, bool checked) {
    if (checked && !m_filling) choose(index);
  });
  return group;
}

void TGamePage::ShowYesNoTexts(QButtonGroup* group) const {
  group->button(0)->setText(m_window.LookupMessage("Yes"));
  group->button(1)->setText(m_window.LookupMessage("No"));
}

void TGamePage::MarkModified() { m_window.EnableApplyCancel(true, true); }

TGameFileSet& TGamePage::GameFiles() const { return m_window.GameFiles(); }

}  // namespace kesta
