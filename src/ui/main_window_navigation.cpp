// The window's commands around the page area, its colour schemes, window style and status bar.

#include <QLabel>
#include <QTimer>

#include "settings/settings_file.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/ribbon.h"
#include "ui/status_bar.h"
#include "ui/theme.h"
#include "update/update_page.h"

namespace kesta {

void TFrmKESTA::CheckForUpdate(bool atStartUp) {
  // The page is built on its first showing; the check itself decides whether it stays in front.
  const QWidget* before = m_pageArea->ActivePage();
  m_pageArea->ShowPage("TabSheetUpdate");
  if (before) m_pageArea->ShowPage(before->objectName());
  if (auto* page = findChild<TUpdatePage*>()) page->Check(atStartUp);
}

void TFrmKESTA::OpenPage(const QString& page, PageOpening how) { m_pageArea->OpenPage(page, how); }

void TFrmKESTA::RefreshPages(std::string_view catalogKey) { m_pageArea->RefreshPages(catalogKey); }

bool TFrmKESTA::ShowPreviewPicture(const QString& name) { return m_pageArea->ShowPreviewPicture(name); }

void TFrmKESTA::SetColorScheme(ColorScheme scheme) {
  if (scheme == m_colorScheme) return;  // already styled so; restyling every widget is costly
  m_colorScheme = scheme;
  m_ribbon->SetColorScheme(scheme);
  m_statusBar->SetColorScheme(scheme);
}

void TFrmKESTA::dxButtonBlueStyleClick() {
  SetColorScheme(ColorScheme::Blue);
  m_settings.WriteSetting("Config", "ThemeColor", "Blue");
}

void TFrmKESTA::dxButtonGreyStyleClick() {
  SetColorScheme(ColorScheme::Silver);
  m_settings.WriteSetting("Config", "ThemeColor", "Silver");
}

void TFrmKESTA::dxButtonBlackStyleClick() {
  SetColorScheme(ColorScheme::Black);
  m_settings.WriteSetting("Config", "ThemeColor", "Black");
}

void TFrmKESTA::SetFormStyle(bool newStyle) {
  m_newFormStyle = newStyle;
  m_ribbon->SetDrawsWindowFrame(newStyle);
}

void TFrmKESTA::dxButtonFormStyleClick() {
  SetFormStyle(!m_newFormStyle);
  m_settings.WriteSetting("Config", "FormStyle", m_newFormStyle ? "New" : "Classic");
}

void TFrmKESTA::ApplyStoredAppearance() {
  const std::string theme = m_settings.ReadSetting("Config", "ThemeColor");
  if (theme == "Blue") SetColorScheme(ColorScheme::Blue);
  if (theme == "Silver") SetColorScheme(ColorScheme::Silver);
  if (theme == "Black") SetColorScheme(ColorScheme::Black);
  SetFormStyle(m_settings.ReadSetting("Config", "FormStyle") == "New");
}

void TFrmKESTA::ShowStatusMessage(const QString& text) {
  m_statusPanels[1]->setText(text);
  m_timerStatutBar->start();  // restarting gives the message its full two seconds
}

void TFrmKESTA::TimerStatutBarTimer() { m_statusPanels[1]->clear(); }

}  // namespace kesta
