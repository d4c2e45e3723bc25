#pragma once
// The keyboard's place on the pages: a ring around the control that has the focus. The platform style
// marks the focus only faintly (a pale outline) and the stepped slider not at all, so arrow keys could
// change a value the player did not know was chosen.

#include <QObject>
#include <QPointer>

class QWidget;

namespace kesta {

class TFocusRingWidget;

class TFocusRing : public QObject {
 public:
  // Rings the focused controls inside `area` (not `area` itself, nor anything outside it).
  explicit TFocusRing(QWidget* area);
  ~TFocusRing() override;

  // The control around which the ring stands for a focused widget: the outermost widget that hands
  // its focus on to it (a slider's panel rather than its track).
  static QWidget* RingedControl(QWidget* focused);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Follow(QWidget* focused);
  void Place();

  QWidget* m_area;
  QPointer<QWidget> m_target;
  QPointer<TFocusRingWidget> m_ring;  // lives beside the target, where its parent may take it along
};

}  // namespace kesta
