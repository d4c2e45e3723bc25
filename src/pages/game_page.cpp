#include "pages/game_page.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "ui/tab_sheet.h"

namespace kesta {

namespace {

void CollectWidget(QWidget* widget, QList<QWidget*>& order, QSet<QWidget*>& seen);

// A layout's items as they appear on screen: a grid and a form by row, then column; a box along its
// direction.
QList<QLayoutItem*> ItemsAsShown(QLayout* layout) {
  struct Placed {
    int row;
    int column;
    int index;
    QLayoutItem* item;
  };
  QList<Placed> placed;
  auto* grid = qobject_cast<QGridLayout*>(layout);
  auto* form = qobject_cast<QFormLayout*>(layout);
  auto* box = qobject_cast<QBoxLayout*>(layout);
  for (int index = 0; index < layout->count(); ++index) {
    int row = 0;
    int column = index;
    if (grid) {
      int rowSpan = 0;
      int columnSpan = 0;
      grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    } else if (form) {
      QFormLayout::ItemRole role = QFormLayout::LabelRole;
      form->getItemPosition(index, &row, &role);
      column = static_cast<int>(role);
    } else if (box &&
               (box->direction() == QBoxLayout::RightToLeft || box->direction() == QBoxLayout::BottomToTop)) {
      column = -index;
    }
    placed.append({row, column, index, layout->itemAt(index)});
  }
  std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
    return std::tie(a.row, a.column) < std::tie(b.row, b.column);
  });
  QList<QLayoutItem*> items;
  for (const Placed& entry : placed) items.append(entry.item);
  return items;
}

void CollectLayout(QLayout* layout, QList<QWidget*>& order, QSet<QWidget*>& seen) {
  for (QLayoutItem* item : ItemsAsShown(layout)) {
    if (QWidget* widget = item->widget())
      CollectWidget(widget, order, seen);
    else if (QLayout* inner = item->layout())
      CollectLayout(inner, order, seen);
  }
}

// The widget if Tab stops at it, then what it holds: its layout's widgets in the order shown, then any
// child placed by hand, in the order made. A control's own inner parts are its business.
void CollectWidget(QWidget* widget, QList<QWidget*>& order, QSet<QWidget*>& seen) {
  if (widget->isWindow() || seen.contains(widget)) return;
  seen.insert(widget);
  const bool stop = (widget->focusPolicy() & Qt::TabFocus) != 0;
  if (stop) order.append(widget);
  if (widget->layout())
    CollectLayout(widget->layout(), order, seen);
  else if (stop)
    return;
  for (QObject* child : widget->children())
    if (auto* inner = qobject_cast<QWidget*>(child)) CollectWidget(inner, order, seen);
}

}  // namespace

TGamePage::TGamePage(TPageHost& host, TTabSheet* sheet) : QWidget(sheet), m_host(host) {
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

void TGamePage::showEvent(QShowEvent* event) {
  QList<QWidget*> order;
  QSet<QWidget*> seen;
  CollectWidget(this, order, seen);
  for (qsizetype index = 1; index < order.size(); ++index)
    QWidget::setTabOrder(order[index - 1], order[index]);
  QWidget::showEvent(event);
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
  group->button(0)->setText(m_host.LookupMessage("Yes"));
  group->button(1)->setText(m_host.LookupMessage("No"));
}

void TGamePage::MarkModified() { m_host.EnableApplyCancel(true, true); }

TGameFileSet& TGamePage::GameFiles() const { return m_host.GameFiles(); }

}  // namespace kesta
