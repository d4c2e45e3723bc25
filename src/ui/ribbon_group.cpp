#include "ui/ribbon_group.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/ribbon.h"
#include "ui/ribbon_button.h"
#include "ui/theme.h"

namespace kesta {

namespace {

constexpr int kSmallColumnSize = 3;
constexpr int kGroupCaptionHeight = 18;

}  // namespace

TRibbonGroup::TRibbonGroup(const QString& name, QWidget* parent) : QFrame(parent), m_caption(name) {
  setObjectName(name);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 4, 1, 1 + kGroupCaptionHeight);  // the caption strip is painted below
  layout->setSpacing(0);
  m_row = new QHBoxLayout;
  m_row->setContentsMargins(2, 0, 2, 0);
  m_row->setSpacing(1);
  layout->addLayout(m_row);
  layout->addStretch(1);
}

QString TRibbonGroup::Caption() const { return m_caption; }

void TRibbonGroup::SetCaption(const QString& caption) {
  if (caption == m_caption) return;
  m_caption = caption;
  updateGeometry();  // a long caption widens the group
  update();
}

// The room the caption is painted in, and the group, grow until the painted caption needs no ellipsis:
// eliding measures the shaped text, which can come out a few pixels wider than horizontalAdvance.
int TRibbonGroup::CaptionWidth() const {
  const QFontMetrics metrics = fontMetrics();
  int room = metrics.horizontalAdvance(m_caption);
  for (const int most = room + metrics.averageCharWidth() * 2; room < most; ++room)
    if (metrics.elidedText(m_caption, Qt::ElideRight, room) == m_caption) break;
  return room + 2 * 4 + 2;
}

QSize TRibbonGroup::sizeHint() const {
  const QSize hint = QFrame::sizeHint();
  return {std::max(hint.width(), CaptionWidth()), hint.height()};
}

QSize TRibbonGroup::minimumSizeHint() const {
  const QSize hint = QFrame::minimumSizeHint();
  return {std::max(hint.width(), CaptionWidth()), hint.height()};
}

QRect TRibbonGroup::CaptionStrip() const {
  return {1, height() - 1 - kGroupCaptionHeight, width() - 2, kGroupCaptionHeight};
}

QRect TRibbonGroup::CaptionArea() const { return CaptionStrip().adjusted(4, 0, -4, -1); }

QString TRibbonGroup::ShownCaption() const {
  return fontMetrics().elidedText(m_caption, Qt::ElideRight, CaptionArea().width());
}

void TRibbonGroup::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const SchemeColors& colors = ColorsOf(TRibbon::SchemeAround(this));
  const QRectF body = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.setPen(colors.groupFrame);
  painter.setBrush(VerticalShade(body, colors.groupBackground.lighter(104), colors.groupBackground));
  painter.drawRoundedRect(body, 3, 3);

  const QRect strip = CaptionStrip();
  QPainterPath stripShape;  // square at the top, rounded at the bottom like the group
  stripShape.addRoundedRect(QRectF(strip), 2, 2);
  stripShape.addRect(QRectF(strip.left(), strip.top(), strip.width(), 3));
  painter.setPen(Qt::NoPen);
  painter.setBrush(colors.groupCaptionStrip);
  painter.drawPath(stripShape.simplified());
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(colors.groupCaptionText);
  painter.drawText(CaptionArea(), Qt::AlignCenter, ShownCaption());

  painter.setPen(colors.groupFrame);
  for (const QWidget* item : m_items)
    if (qobject_cast<const TRibbonButton*>(item) == nullptr) {
      const QRect line = item->geometry();
      painter.drawLine(line.left(), line.top(), line.left(), line.bottom());
    }
}

TRibbonButton* TRibbonGroup::AddButton(TRibbonButton* button) {
  if (button->ButtonSize() == TRibbonButton::Size::Large) {
    m_column = nullptr;
    m_row->addWidget(button, 0, Qt::AlignTop);
  } else {
    if (m_column == nullptr || m_column->count() > kSmallColumnSize) {
      m_column = new QVBoxLayout;
      m_column->setSpacing(0);
      m_column->addStretch(1);  // a short column keeps its buttons at the top
      m_row->addLayout(m_column);
    }
    m_column->insertWidget(m_column->count() - 1, button);
  }
  m_items.append(button);
  return button;
}

void TRibbonGroup::AddSeparator() {
  m_column = nullptr;
  auto* separator = new QFrame(this);
  separator->setObjectName(QLatin1String(ribbon_part::kSeparator));
  separator->setFixedSize(1, TRibbonButton::kLargeHeight - 6);
  m_row->addSpacing(1);
  m_row->addWidget(separator, 0, Qt::AlignVCenter);
  m_row->addSpacing(1);
  m_items.append(separator);
}

QList<TRibbonButton*> TRibbonGroup::Buttons() const {
  QList<TRibbonButton*> buttons;
  for (QWidget* item : m_items)
    if (auto* button = qobject_cast<TRibbonButton*>(item)) buttons.append(button);
  return buttons;
}

TRibbonTab::TRibbonTab(const QString& name, QWidget* parent) : QWidget(parent), m_caption(name) {
  setObjectName(name);
  // The window has a fixed width: a tab never asks for more.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  m_row = new QHBoxLayout(this);
  m_row->setContentsMargins(0, 0, 0, 0);
  m_row->setSpacing(3);
  m_row->addStretch(1);
}

void TRibbonTab::SetCaption(const QString& caption) {
  if (caption == m_caption) return;
  m_caption = caption;
  emit CaptionChanged(caption);
}

TRibbonGroup* TRibbonTab::AddGroup(TRibbonGroup* group) {
  m_row->insertWidget(m_row->count() - 1, group);
  m_groups.append(group);
  return group;
}

}  // namespace kesta
