#include "ui/window_status.h"

#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include "ui/status_bar.h"

namespace kesta {

TWindowStatus::TWindowStatus(QMainWindow& window, ColorScheme scheme) {
  m_bar = new TStatusBar(&window);
  m_bar->setObjectName("StatusBar");
  m_bar->SetColorScheme(scheme);  // the ribbon starts in the same scheme
  window.setStatusBar(m_bar);
  for (int panel = 0; panel < 2; ++panel) {
    m_panels[panel] = new QLabel(m_bar);
    m_panels[panel]->setObjectName(QString("StatusBarPanel%1").arg(panel));
  }
  m_panels[0]->setMinimumWidth(300);
  m_panels[0]->setMaximumWidth(300);
  m_bar->AddPanel(m_panels[0]);
  m_bar->AddPanel(m_panels[1], 1);

  m_timerStatutBar = new QTimer(m_bar);
  m_timerStatutBar->setObjectName("TimerStatutBar");
  m_timerStatutBar->setInterval(2000);
  QObject::connect(m_timerStatutBar, &QTimer::timeout, m_bar, [this] { TimerStatutBarTimer(); });
  m_timerStatutBar->start();
}

void TWindowStatus::ShowGameFolder(const std::string& folder) {
  QLabel* panel = m_panels[0];
  const QString text = QString::fromStdString(folder);
  panel->setToolTip(text);
  const int room =
      panel->maximumWidth() - 2 * panel->margin() - 2 * panel->fontMetrics().horizontalAdvance('x');
  panel->setText(panel->fontMetrics().elidedText(text, Qt::ElideMiddle, room));
}

void TWindowStatus::ShowStatusMessage(const QString& text) {
  m_panels[1]->setText(text);
  m_timerStatutBar->start();  // restarting gives the message its full two seconds
}

void TWindowStatus::TimerStatutBarTimer() { m_panels[1]->clear(); }

QString TWindowStatus::StatusText(int panel) const { return m_panels[panel]->text(); }

}  // namespace kesta
