#pragma once
// The three colour schemes of the ribbon, the application menu and the status bar. The parts paint
// themselves from these colours; no style sheet is involved, which keeps start-up and scheme changes
// cheap and the pages in the platform's own style.

#include <QColor>
#include <QLinearGradient>
#include <QString>
#include <optional>

class QPainter;
class QRectF;

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

// Where a ribbon-like button sits decides how it looks in every state.
enum class ButtonPlace { Ribbon, MenuItem, MenuFoot };

struct ButtonState {
  bool enabled = true;
  bool hovered = false;
  bool down = false;  // held down, or latched
};

// The face of a button: a vertical gradient inside a rounded border, and its caption colour. An
// invalid top colour means the button shows no face at all, only its glyph and caption.
struct ButtonFace {
  QColor top;
  QColor bottom;
  QColor border;
  QColor text;
};

ButtonFace FaceOf(const SchemeColors& colors, ButtonPlace place, ButtonState state);
void PaintButtonFace(QPainter& painter, const QRectF& rect, const ButtonFace& face, qreal radius);

// A soft vertical gradient ending in the given colour, as the schemes use for bars and groups.
QLinearGradient VerticalShade(const QRectF& rect, const QColor& top, const QColor& bottom);

}  // namespace kesta
