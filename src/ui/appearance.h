#pragma once
// The window's looks: the colour scheme of the ribbon and the status bar, and whether the ribbon draws
// the window's frame. Chosen with the ribbon's theme buttons and kept in the settings file.

#include "ui/theme.h"

namespace kesta {

class SettingsFile;
class TRibbon;
class TStatusBar;

// The scheme the settings file names, read without storing a default: the ribbon is styled with it before
// its buttons exist, since styling them all again later is a good part of start-up time.
ColorScheme StoredColorScheme(const SettingsFile& settings);

class TAppearance {
 public:
  // The ribbon and the status bar are already styled in `scheme`.
  TAppearance(const SettingsFile& settings, TRibbon& ribbon, TStatusBar& statusBar, ColorScheme scheme);

  void dxButtonBlueStyleClick();
  void dxButtonGreyStyleClick();
  void dxButtonBlackStyleClick();
  void dxButtonFormStyleClick();
  // Start-up: the scheme and the window style the settings file holds.
  void ApplyStoredAppearance();

  ColorScheme CurrentColorScheme() const { return m_colorScheme; }
  bool NewFormStyle() const { return m_newFormStyle; }

 private:
  void SetColorScheme(ColorScheme scheme);
  void SetFormStyle(bool newStyle);

  const SettingsFile& m_settings;
  TRibbon& m_ribbon;
  TStatusBar& m_statusBar;
  ColorScheme m_colorScheme;
  bool m_newFormStyle = true;
};

}  // namespace kesta
