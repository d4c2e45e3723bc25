#pragma once
// Keyboard use of the ribbon: F10 or Alt pressed alone puts the focus on the active tab; arrows move
// along a row (the title row, the tabs, the active tab's buttons) and Up and Down between rows, Enter or
// Space presses, Escape gives the focus back to the widget that had it.

#include <QList>
#include <QObject>
#include <QPointer>

class QAbstractButton;
class QKeyEvent;
class QWidget;

namespace kesta {

class TRibbon;

class TRibbonKeyboard : public QObject {
 public:
  // Watches the whole application for Alt pressed alone, wherever the focus is in the ribbon's window.
  explicit TRibbonKeyboard(TRibbon& ribbon);

  void Enter();
  // Back to the widget that had the focus, or to the first control of the window outside the ribbon
  // when that one is gone from view or `toRemembered` is false.
  void Leave(bool toRemembered = true);
  bool Active() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The parts the keyboard moves through: the title row, the tab row, the active tab's buttons.
  QList<QList<QAbstractButton*>> Rows() const;
  bool KeyOnPart(QAbstractButton* part, const QKeyEvent* key);
  void FocusPart(QAbstractButton* part);
  void ActivateTabOf(const QAbstractButton* tabButton);
  void WatchAltAlone(QObject* watched, const QEvent* event);

  TRibbon& m_ribbon;
  QPointer<QWidget> m_returnFocus;  // where Escape takes the keyboard back to
  bool m_altAlone = false;          // Alt is down and no other key or click came since
};

}  // namespace kesta
