#include "ui/ribbon_bar_parts.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>
#include <cmath>

#include "ui/application_menu.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"
#include "ui/ribbon_icons.h"
#include "ui/theme.h"

namespace kesta {

using ribbon_bar::kOrbSize;
using ribbon_bar::kTabRowHeight;

namespace {

// Relative luminance: 0 for black, 1 for white.
double Luminance(const QColor& colour) {
  const auto linear = [](float c) { return c <= 0.03928f ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

}  // namespace

TApplicationButton::TApplicationButton(TRibbon* ribbon) : QAbstractButton(ribbon), m_ribbon(ribbon) {
  setObjectName(QStringLiteral("dxRibbonApplicationButton"));
  setFixedSize(kOrbSize, kOrbSize);
  setAttribute(Qt::WA_Hover);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
}

void TApplicationButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QColor base = ColorsOf(m_ribbon->Scheme()).accent;
  const bool open = m_ribbon->ApplicationMenu()->isVisible();
  if (isDown() || open)
    base = base.darker(118);
  else if (underMouse() || hasFocus())
    base = base.lighter(115);
  PaintApplicationOrb(painter, QRectF(rect()).adjusted(1, 1, -1, -1), base);
  if (hasFocus()) {  // a dotted ring inside the orb: light on a dark accent, dark on a light one
    painter.setBrush(Qt::NoBrush);
    const bool whiteStandsOut = 1.05 / (Luminance(base) + 0.05) >= 3;  // the contrast of white on it
    painter.setPen(QPen(whiteStandsOut ? QColor(Qt::white) : QColor(Qt::black), 1, Qt::DotLine));
    painter.drawEllipse(QRectF(rect()).adjusted(3.5, 3.5, -3.5, -3.5));
  }
}

TCaptionButton::TCaptionButton(Kind kind, TRibbon* ribbon, QWidget* parent)
    : QToolButton(parent), m_kind(kind), m_ribbon(ribbon) {
  setObjectName(
      QLatin1String(kind == Kind::Close ? ribbon_part::kCloseButton : ribbon_part::kMinimizeButton));
  setFixedSize(32, 22);
  setAttribute(Qt::WA_Hover);
  setFocusPolicy(Qt::NoFocus);
}

void TCaptionButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const SchemeColors& colors = ColorsOf(m_ribbon->Scheme());
  QColor glyph = colors.captionText;
  if (isDown() || underMouse()) {
    if (m_kind == Kind::Close) {
      painter.fillRect(rect(), isDown() ? QColor(0xa8, 0x22, 0x1a) : QColor(0xd9, 0x3b, 0x2f));
      glyph = Qt::white;
    } else {
      painter.fillRect(rect(), isDown() ? colors.pressed : colors.hover);
      if (m_ribbon->Scheme() != ColorScheme::Black) glyph = colors.text;
    }
  }
  PaintCaptionGlyph(painter, QRectF(rect()).center(), m_kind == Kind::Close, glyph);
}

TTabButton::TTabButton(TRibbon* ribbon, QWidget* parent) : QToolButton(parent), m_ribbon(ribbon) {
  setObjectName(QLatin1String(ribbon_part::kTabButton));
  setCheckable(true);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_Hover);
  setFixedHeight(kTabRowHeight - 2);
}

void TTabButton::SetCaption(const QString& caption) { setText(WithoutMnemonic(caption)); }

int TTabButton::TextWidth() const { return fontMetrics().size(Qt::TextShowMnemonic, text()).width(); }

void TTabButton::SetPadding(int padding) {
  if (padding == m_padding) return;
  m_padding = padding;
  updateGeometry();
}

QSize TTabButton::sizeHint() const { return {TextWidth() + 2 * m_padding + 2, kTabRowHeight - 2}; }

void TTabButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const SchemeColors& colors = ColorsOf(m_ribbon->Scheme());
  const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, 0);
  QPainterPath outline;  // open at the bottom, where the tab joins the body
  outline.moveTo(r.left(), r.bottom() + 1);
  outline.lineTo(r.left(), r.top() + 3);
  outline.quadTo(r.topLeft(), QPointF(r.left() + 3, r.top()));
  outline.lineTo(r.right() - 3, r.top());
  outline.quadTo(r.topRight(), QPointF(r.right(), r.top() + 3));
  outline.lineTo(r.right(), r.bottom() + 1);
  if (isChecked()) {
    painter.setPen(colors.groupFrame);
    painter.setBrush(colors.activeTab);
    painter.drawPath(outline);
  } else if (underMouse() || hasFocus()) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(colors.tabHover);
    painter.drawPath(outline);
  }
  const QColor caption = isChecked() ? colors.activeTabText : colors.tabText;
  if (hasFocus()) PaintFocusMark(painter, rect().adjusted(0, 0, 0, 2), caption, 2);
  painter.setPen(caption);
  painter.drawText(rect().adjusted(0, 1, 0, 0), Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

TTitleRow::TTitleRow(TRibbon* ribbon) : QWidget(ribbon), m_ribbon(ribbon) {
  setObjectName(QLatin1String(ribbon_part::kTitleRow));
}

void TTitleRow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !m_ribbon->DrawsWindowFrame())
    return QWidget::mousePressEvent(event);
  QWidget* frame = window();
  if (frame->windowHandle() && frame->windowHandle()->startSystemMove()) return;
  // Platforms without a system move (offscreen, some X11 window managers) follow the mouse by hand.
  m_dragOffset = event->globalPosition().toPoint() - frame->pos();
  m_dragging = true;
}

void TTitleRow::mouseMoveEvent(QMouseEvent* event) {
  if (m_dragging && (event->buttons() & Qt::LeftButton))
    window()->move(event->globalPosition().toPoint() - m_dragOffset);
}

void TTitleRow::mouseReleaseEvent(QMouseEvent* event) {
  m_dragging = false;
  QWidget::mouseReleaseEvent(event);
}

}  // namespace kesta
