#include "ui/flat_bar.h"

#include <QLinearGradient>
#include <QPainter>

namespace kesta {

TFlatBar::TFlatBar(const FlatBarLook& look, QWidget* parent) : QProgressBar(parent), m_look(look) {
  setTextVisible(false);
}

// A disabled bar shows its track only.
void TFlatBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal edge = m_look.border.isValid() ? 0.5 : 0;
  const QRectF bar = QRectF(rect()).adjusted(edge, m_look.verticalInset + edge, -edge, -m_look.verticalInset - edge);
  painter.setPen(m_look.border.isValid() ? QPen(m_look.border) : QPen(Qt::NoPen));
  painter.setBrush(isEnabled() ? m_look.track : m_look.disabledTrack);
  painter.drawRoundedRect(bar, 2, 2);
  const int span = maximum() - minimum();
  if (!isEnabled() || span <= 0 || value() <= minimum()) return;
  const QRectF done(bar.left(), bar.top(), bar.width() * (value() - minimum()) / span, bar.height());
  QLinearGradient fill(done.topLeft(), done.topRight());
  fill.setColorAt(0, m_look.fillStart);
  fill.setColorAt(1, m_look.fillEnd);
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawRoundedRect(done, 2, 2);
}

}  // namespace kesta
