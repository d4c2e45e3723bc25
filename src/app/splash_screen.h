#pragma once
// The window shown while the program loads: a picture, the current step and a progress bar. The
// window paints all three itself over one cached frame, so that a step costs a line of text and a
// rectangle rather than a layout pass and a repaint of child widgets.

#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace kesta {

class TFrmSplashScreen : public QWidget {
  Q_OBJECT

 public:
  TFrmSplashScreen();

  // Advances the progress by one, takes the step's text and lets the window repaint.
  void StatusStep(const QString& text);
  // The same without running the event loop: the text shows when it next runs.
  void SetLabel(const QString& text);
  int Progress() const;
  QString Label() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void RequestStatusPaint();

  QPixmap m_frame;  // everything that stays while loading, at the screen's pixel ratio
  QString m_label;
  int m_progress = 0;
  QElapsedTimer m_sincePaint;
  QTimer m_pendingPaint;
};

}  // namespace kesta
