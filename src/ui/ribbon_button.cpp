#include "ui/ribbon_button.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "ui/ribbon.h"

namespace kesta {

namespace {

constexpr int kSmallHeight = 22;
constexpr int kGlyphGap = 4;  // between a small button's glyph and its caption

// Room left and right of a small button's glyph and caption, by place.
struct SmallPadding {
  int left;
  int right;
};

SmallPadding PaddingOf(ButtonPlace place) {
  switch (place) {
    case ButtonPlace::MenuItem:
      return {7, 11};
    case ButtonPlace::MenuFoot:
      return {6, 11};
    case ButtonPlace::Ribbon:
      break;
  }
  return {4, 6};
}

// Large buttons break their caption at the space, or after the hyphen, that gives the narrowest button.
QString TwoLines(const QString& caption, const QFontMetrics& metrics) {
  QString best = caption;
  int bestWidth = metrics.horizontalAdvance(caption);
  for (qsizetype at = 1; at + 1 < caption.size(); ++at) {
    const QChar c = caption[at];
    if (c != u' ' && c != u'-') continue;
    const QString first = caption.left(c == u' ' ? at : at + 1);
    const QString second = caption.mid(at + 1);
    const int width = std::max(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second));
    if (width < bestWidth) {
      bestWidth = width;
      best = first + u'\n' + second;
    }
  }
  return best;
}

}  // namespace

QString WithoutMnemonic(QString caption) { return caption.replace(u'&', QStringLiteral("&&")); }

void PaintFocusMark(QPainter& painter, const QRect& rect, const QColor& caption, qreal radius) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(caption, 1, Qt::DotLine));
  painter.drawRoundedRect(QRectF(rect).adjusted(2.5, 2.5, -2.5, -2.5), radius, radius);
  painter.restore();
}

TRibbonButton::TRibbonButton(const QString& name, Size size, QWidget* parent)
    : QToolButton(parent), m_caption(name), m_size(size) {
  setObjectName(name);
  setFocusPolicy(Qt::NoFocus);
  SetSize(size);
  SetCaption(name);
}

void TRibbonButton::SetCaption(const QString& caption) {
  m_caption = caption;
  ShowCaption();
  ShowToolTip();
}

void TRibbonButton::SetHint(const QString& hint) {
  m_hintSet = true;
  m_hint = hint;
  ShowToolTip();
}

void TRibbonButton::SetShortcutText(const QString& shortcut) {
  m_shortcut = shortcut;
  ShowToolTip();
}

void TRibbonButton::ShowToolTip() {
  const QString text = m_hintSet ? m_hint : m_caption;
  QWidget::setToolTip(
      m_shortcut.isEmpty() || text.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, m_shortcut));
}

void TRibbonButton::SetSize(Size size) {
  m_size = size;
  if (size == Size::Large) {
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(32, 32));
    setFixedHeight(kLargeHeight);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  } else {
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(QSize(16, 16));
    setFixedHeight(kSmallHeight);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  }
  ShowCaption();
}

void TRibbonButton::SetIconOnly() {
  setToolButtonStyle(Qt::ToolButtonIconOnly);
  setIconSize(QSize(16, 16));
  setFixedSize(kSmallHeight, kSmallHeight);
}

void TRibbonButton::SetLatching(bool latching) {
  m_latching = latching;
  setCheckable(latching);
}

void TRibbonButton::nextCheckState() {
  if (m_latching)
    setChecked(true);
  else
    QToolButton::nextCheckState();
}

void TRibbonButton::changeEvent(QEvent* event) {
  QToolButton::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) ShowCaption();
}

void TRibbonButton::SetPlace(ButtonPlace place) {
  m_place = place;
  updateGeometry();
  update();
}

// Narrower than QToolButton's own hint, which pads every caption by two spaces.
QSize TRibbonButton::sizeHint() const {
  if (toolButtonStyle() == Qt::ToolButtonIconOnly) return {iconSize().width() + 6, kSmallHeight};
  const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, text());
  if (m_size == Size::Large) return {std::max(iconSize().width(), textSize.width()) + 8, kLargeHeight};
  const SmallPadding padding = PaddingOf(m_place);
  return {padding.left + iconSize().width() + kGlyphGap + textSize.width() + padding.right, kSmallHeight};
}

// Large buttons keep the icon at the top and the caption right under it, whether it has one line or
// two, so neighbouring buttons line up.
void TRibbonButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const SchemeColors& colors = ColorsOf(TRibbon::SchemeAround(this));
  // The keyboard's button looks as under the mouse, with a second line inside its border.
  const ButtonState state{isEnabled(), underMouse() || hasFocus(), isDown() || isChecked()};
  const ButtonFace face = FaceOf(colors, m_place, state);
  const qreal radius = m_place == ButtonPlace::Ribbon ? 3 : 2;
  PaintButtonFace(painter, rect(), face, radius);
  if (hasFocus()) PaintFocusMark(painter, rect(), face.text, radius);
  const QSize side = iconSize();
  const QPixmap glyph = icon().isNull() ? QPixmap()
                                        : icon().pixmap(side, devicePixelRatio(),
                                                        isEnabled() ? QIcon::Normal : QIcon::Disabled);
  painter.setPen(face.text);
  constexpr int mnemonic = Qt::TextShowMnemonic;
  switch (toolButtonStyle()) {
    case Qt::ToolButtonIconOnly:
      painter.drawPixmap((width() - side.width()) / 2, (height() - side.height()) / 2, glyph);
      return;
    case Qt::ToolButtonTextUnderIcon: {
      const QRect inner = rect().adjusted(2, 3, -2, -1);
      painter.drawPixmap(inner.left() + (inner.width() - side.width()) / 2, inner.top(), glyph);
      painter.drawText(CaptionRect(), Qt::AlignHCenter | Qt::AlignTop | mnemonic, text());
      return;
    }
    default: {
      painter.drawPixmap(PaddingOf(m_place).left, (height() - side.height()) / 2, glyph);
      painter.drawText(CaptionRect(), Qt::AlignLeft | Qt::AlignVCenter | mnemonic, text());
      return;
    }
  }
}

QRect TRibbonButton::CaptionRect() const {
  switch (toolButtonStyle()) {
    case Qt::ToolButtonIconOnly:
      return {};
    case Qt::ToolButtonTextUnderIcon:
      return rect().adjusted(2, 3 + iconSize().height() + 1, -2, -1);
    default: {
      const int textLeft = PaddingOf(m_place).left + iconSize().width() + kGlyphGap;
      return {textLeft, 0, width() - textLeft - 2, height()};
    }
  }
}

void TRibbonButton::ShowCaption() {
  ShownFrom from{m_caption, m_size, font()};
  if (m_shownFrom && m_shownFrom->caption == from.caption && m_shownFrom->size == from.size &&
      m_shownFrom->font == from.font)
    return;
  const QString shown = m_size == Size::Large ? TwoLines(m_caption, fontMetrics()) : m_caption;
  setText(WithoutMnemonic(shown));
  m_shownFrom = std::move(from);
}

}  // namespace kesta
