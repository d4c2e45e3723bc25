#pragma once
// The window's status bar: the game folder on the left, and on the right a message that clears itself
// after two seconds.

#include <QString>
#include <string>

#include "ui/theme.h"

class QLabel;
class QMainWindow;
class QTimer;

namespace kesta {

class TStatusBar;

class TWindowStatus {
 public:
  TWindowStatus(QMainWindow& window, ColorScheme scheme);

  TStatusBar& Bar() const { return *m_bar; }
  // A game folder inside a Wine prefix is long: the panel keeps both ends, the tooltip shows all of it.
  void ShowGameFolder(const std::string& folder);
  void ShowStatusMessage(const QString& text);
  void TimerStatutBarTimer();  // the message's time is up
  QString StatusText(int panel) const;

 private:
  TStatusBar* m_bar = nullptr;
  QLabel* m_panels[2] = {nullptr, nullptr};
  QTimer* m_timerStatutBar = nullptr;
};

}  // namespace kesta
