#include "ui/group_box.h"

#include <QPainter>
#include <QStyleOptionGroupBox>
#include <algorithm>

namespace kesta {

TGroupBox::TGroupBox(const QString& name, QWidget* parent) : QGroupBox(name, parent) { setObjectName(name); }

void TGroupBox::paintEvent(QPaintEvent*) {
  QStyleOptionGroupBox option;
  initStyleOption(&option);
  QRect frame = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, this);
  const QRect label = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
  const QRect contents = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, this);
  if (!title().isEmpty()) frame.setTop(std::min(label.bottom() + 3, contents.top()));  // the title sits above
  QPainter painter(this);
  painter.fillRect(frame.adjusted(1, 1, -1, -1), QColor(0, 0, 0, 8));
  painter.setPen(QColor(0, 0, 0, 48));
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, title());
}

}  // namespace kesta
