#include "ui/status_bar.h"

#include <QPainter>

namespace kesta {

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) {
  setSizeGripEnabled(false);
  SetColorScheme(m_scheme);
}

void TStatusBar::AddPanel(QWidget* panel, int stretch) {
  panel->setContentsMargins(4, 0, 4, 0);
  addWidget(panel, stretch);
  m_panels.append(panel);
}

void TStatusBar::SetColorScheme(ColorScheme scheme) {
  m_scheme = scheme;
  // The panels take the text colour from the bar.
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, ColorsOf(scheme).statusText);
  setPalette(colours);
  update();
}

void TStatusBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const SchemeColors& colors = ColorsOf(m_scheme);
  painter.fillRect(rect(), VerticalShade(rect(), colors.statusBackground.lighter(104), colors.statusBackground));
  painter.setPen(colors.groupFrame);
  painter.drawLine(0, 0, width(), 0);
  for (const QWidget* panel : m_panels)
    if (panel->isVisible()) {
      const int x = panel->geometry().left() - 1;
      painter.drawLine(x, 1, x, height());
    }
}

}  // namespace kesta
