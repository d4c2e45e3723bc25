#pragma once
// The main window's status bar, painted in the ribbon's colour scheme: a soft band with a line on
// top and a line before every panel.

#include <QStatusBar>

#include "ui/theme.h"

namespace kesta {

class TStatusBar : public QStatusBar {
  Q_OBJECT

 public:
  explicit TStatusBar(QWidget* parent = nullptr);

  // Panels are text labels with a little room on both sides.
  void AddPanel(QWidget* panel, int stretch = 0);
  void SetColorScheme(ColorScheme scheme);
  ColorScheme Scheme() const { return m_scheme; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ColorScheme m_scheme = ColorScheme::Silver;
  QList<QWidget*> m_panels;
};

}  // namespace kesta
