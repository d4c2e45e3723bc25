#include "ui/appearance.h"

#include <QString>

#include "settings/ini_file.h"
#include "settings/settings_file.h"
#include "ui/ribbon.h"
#include "ui/status_bar.h"

namespace kesta {

ColorScheme StoredColorScheme(const SettingsFile& settings) {
  const std::string stored = ReadIniKey(settings.Path(), "Config", "ThemeColor").value_or("");
  return SchemeFromName(QString::fromStdString(stored.empty() ? DefaultSetting("ThemeColor") : stored))
      .value_or(ColorScheme::Silver);
}

TAppearance::TAppearance(const SettingsFile& settings, TRibbon& ribbon, TStatusBar& statusBar,
                         ColorScheme scheme)
    : m_settings(settings), m_ribbon(ribbon), m_statusBar(statusBar), m_colorScheme(scheme) {}

void TAppearance::SetColorScheme(ColorScheme scheme) {
  if (scheme == m_colorScheme) return;  // already styled so; restyling every widget is costly
  m_colorScheme = scheme;
  m_ribbon.SetColorScheme(scheme);
  m_statusBar.SetColorScheme(scheme);
}

void TAppearance::dxButtonBlueStyleClick() {
  SetColorScheme(ColorScheme::Blue);
  m_settings.WriteSetting("Config", "ThemeColor", "Blue");
}

void TAppearance::dxButtonGreyStyleClick() {
  SetColorScheme(ColorScheme::Silver);
  m_settings.WriteSetting("Config", "ThemeColor", "Silver");
}

void TAppearance::dxButtonBlackStyleClick() {
  SetColorScheme(ColorScheme::Black);
  m_settings.WriteSetting("Config", "ThemeColor", "Black");
}

void TAppearance::SetFormStyle(bool newStyle) {
  m_newFormStyle = newStyle;
  m_ribbon.SetDrawsWindowFrame(newStyle);
}

void TAppearance::dxButtonFormStyleClick() {
  SetFormStyle(!m_newFormStyle);
  m_settings.WriteSetting("Config", "FormStyle", m_newFormStyle ? "New" : "Classic");
}

void TAppearance::ApplyStoredAppearance() {
  const std::string theme = m_settings.ReadSetting("Config", "ThemeColor");
  if (theme == "Blue") SetColorScheme(ColorScheme::Blue);
  if (theme == "Silver") SetColorScheme(ColorScheme::Silver);
  if (theme == "Black") SetColorScheme(ColorScheme::Black);
  SetFormStyle(m_settings.ReadSetting("Config", "FormStyle") == "New");
}

}  // namespace kesta
