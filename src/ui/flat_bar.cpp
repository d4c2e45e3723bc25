#include "ui/flat_bar.h"

#include <QLinearGradient>
#include <QPainter>

namespace kesta {

TFlatBar::TFlatBar(const FlatBarLook& look, QWidget* parent) : QProgressBar(parent), m_look(look) {
  setTextVisible(false);
}

// Square corners and no antialiasing: the bar is repainted at every step of the splash screen and
// of every slider, and rounded antialiased shapes cost a hundred times more to fill.
// A disabled bar shows its track only.
void TFlatBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect bar = rect().adjusted(0, m_look.verticalInset, 0, -m_look.verticalInset);
  painter.fillRect(bar, isEnabled() ? m_look.track : m_look.disabledTrack);
  if (m_look.border.isValid()) {
    painter.setPen(m_look.border);
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    bar.adjust(1, 1, -1, -1);
  }
  const int span = maximum() - minimum();
  if (!isEnabled() || span <= 0 || value() <= minimum()) return;
  const int doneWidth = static_cast<int>(static_cast<qint64>(bar.width()) * (value() - minimum()) / span);
  const QRect done(bar.left(), bar.top(), doneWidth, bar.height());
  QLinearGradient fill(done.topLeft(), done.topRight());
  fill.setColorAt(0, m_look.fillStart);
  fill.setColorAt(1, m_look.fillEnd);
  painter.fillRect(done, fill);
}

}  // namespace kesta
