#pragma once
// The window shown while the program loads: a picture, the current step and a progress bar.

#include <QWidget>

class QLabel;
class QProgressBar;

namespace kesta {

class TFrmSplashScreen : public QWidget {
  Q_OBJECT

 public:
  TFrmSplashScreen();

  // Advances the progress by one, shows the step's text and lets the window repaint.
  void StatusStep(const QString& text);
  void SetLabel(const QString& text);
  int Progress() const;
  QString Label() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* m_labelLoading;
  QProgressBar* m_progressBarLoading;
};

// The splash picture, drawn rather than shipped: 300 × 153.
QImage SplashPicture();

}  // namespace kesta
