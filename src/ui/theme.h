#pragma once
// The three colour schemes of the ribbon, the application menu and the status bar. Each style sheet is
// scoped to its widget's object name so a scheme never leaks into the pages.

#include <QColor>
#include <QString>
#include <optional>

namespace kesta {

enum class ColorScheme { Blue, Silver, Black };

struct SchemeColors {
  QColor frame;        // title row behind the application button, quick bar and caption
  QColor captionText;  // window title in the title row
  QColor tabRow;       // row of tab captions
  QColor tabText;
  QColor tabHover;
  QColor activeTab;  // the active tab caption, joined to the body below it
  QColor activeTabText;
  QColor bodyTop;  // groups area, top to bottom
  QColor bodyBottom;
  QColor groupFrame;
  QColor groupBackground;
  QColor groupCaptionStrip;
  QColor groupCaptionText;
  QColor text;  // button captions
  QColor disabledText;
  QColor hover;
  QColor hoverBorder;
  QColor pressed;  // latched page buttons and buttons held down
  QColor pressedBorder;
  QColor accent;  // application button
  QColor menuBackground;
  QColor menuItems;
  QColor menuPane;
  QColor menuBorder;
  QColor menuText;
  QColor menuHover;
  QColor statusBackground;
  QColor statusText;
};

const SchemeColors& ColorsOf(ColorScheme scheme);

// The stored names "Blue", "Silver" and "Black"; letter case counts, anything else has no scheme.
QString SchemeName(ColorScheme scheme);
std::optional<ColorScheme> SchemeFromName(const QString& name);

// Object names of the ribbon's inner parts, shared by the ribbon and its style sheet.
namespace ribbon_part {
inline constexpr char kTitleRow[] = "RibbonTitleRow";
inline constexpr char kCaption[] = "RibbonCaption";
inline constexpr char kTabRow[] = "RibbonTabRow";
inline constexpr char kTabButton[] = "RibbonTabButton";
inline constexpr char kBody[] = "RibbonBody";
inline constexpr char kGroupCaption[] = "RibbonGroupCaption";
inline constexpr char kSeparator[] = "RibbonSeparator";
inline constexpr char kMinimizeButton[] = "RibbonMinimizeButton";
inline constexpr char kCloseButton[] = "RibbonCloseButton";
inline constexpr char kMenuItems[] = "MenuItems";
inline constexpr char kMenuSeparator[] = "MenuSeparator";
inline constexpr char kMenuPane[] = "MenuExtraPane";
inline constexpr char kMenuPaneHeader[] = "MenuExtraPaneHeader";
inline constexpr char kMenuRecentItem[] = "MenuRecentItem";
inline constexpr char kMenuFoot[] = "MenuFoot";
}  // namespace ribbon_part

QString RibbonStyleSheet(ColorScheme scheme);
QString ApplicationMenuStyleSheet(ColorScheme scheme);
// For the main window's status bar, whatever its object name.
QString StatusBarStyle(ColorScheme scheme);

}  // namespace kesta
