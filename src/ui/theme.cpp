#include "ui/theme.h"

#include <QStringList>
#include <utility>
#include <vector>

namespace kesta {

namespace {

// Blue and Silver are light office-like schemes told apart by their tint; Black is dark charcoal with
// light text and an orange accent. All three share the amber highlight of pressed buttons' family.
const SchemeColors kBlue{.frame = QColor(0xd3e3f6),
                         .captionText = QColor(0x1e395b),
                         .tabRow = QColor(0xd3e3f6),
                         .tabText = QColor(0x1e395b),
                         .tabHover = QColor(0xe8f1fc),
                         .activeTab = QColor(0xf7fafe),
                         .activeTabText = QColor(0x15428b),
                         .bodyTop = QColor(0xf7fafe),
                         .bodyBottom = QColor(0xdae7f7),
                         .groupFrame = QColor(0xa7c1e3),
                         .groupBackground = QColor(0xeef4fc),
                         .groupCaptionStrip = QColor(0xcfdff4),
                         .groupCaptionText = QColor(0x3b5f91),
                         .text = QColor(0x15325a),
                         .disabledText = QColor(0x8da3bf),
                         .hover = QColor(0xfff1c6),
                         .hoverBorder = QColor(0xf1c35c),
                         .pressed = QColor(0xffd68a),
                         .pressedBorder = QColor(0xe19c31),
                         .accent = QColor(0x2d6cc0),
                         .menuBackground = QColor(0xd3e3f6),
                         .menuItems = QColor(0xfbfdff),
                         .menuPane = QColor(0xeef4fc),
                         .menuBorder = QColor(0x8eb1de),
                         .menuText = QColor(0x1b2f4a),
                         .menuHover = QColor(0xfff1c6),
                         .statusBackground = QColor(0xd3e3f6),
                         .statusText = QColor(0x1e395b)};

const SchemeColors kSilver{.frame = QColor(0xe3e6ea),
                           .captionText = QColor(0x3a3f46),
                           .tabRow = QColor(0xe3e6ea),
                           .tabText = QColor(0x3a3f46),
                           .tabHover = QColor(0xf1f2f4),
                           .activeTab = QColor(0xfbfbfc),
                           .activeTabText = QColor(0x26292e),
                           .bodyTop = QColor(0xfbfbfc),
                           .bodyBottom = QColor(0xe4e7eb),
                           .groupFrame = QColor(0xb7bdc5),
                           .groupBackground = QColor(0xf3f4f6),
                           .groupCaptionStrip = QColor(0xdde0e5),
                           .groupCaptionText = QColor(0x59616c),
                           .text = QColor(0x2b2f35),
                           .disabledText = QColor(0xa2a8b0),
                           .hover = QColor(0xfff1c6),
                           .hoverBorder = QColor(0xf1c35c),
                           .pressed = QColor(0xffd68a),
                           .pressedBorder = QColor(0xe19c31),
                           .accent = QColor(0x55779e),
                           .menuBackground = QColor(0xe3e6ea),
                           .menuItems = QColor(0xffffff),
                           .menuPane = QColor(0xf3f4f6),
                           .menuBorder = QColor(0xa9b0b9),
                           .menuText = QColor(0x2b2f35),
                           .menuHover = QColor(0xfff1c6),
                           .statusBackground = QColor(0xdde0e5),
                           .statusText = QColor(0x32363c)};

const SchemeColors kBlack{.frame = QColor(0x262626),
                          .captionText = QColor(0xe6e6e6),
                          .tabRow = QColor(0x262626),
                          .tabText = QColor(0xd2d2d2),
                          .tabHover = QColor(0x3a3a3a),
                          .activeTab = QColor(0x474747),
                          .activeTabText = QColor(0xffffff),
                          .bodyTop = QColor(0x474747),
                          .bodyBottom = QColor(0x343434),
                          .groupFrame = QColor(0x5f5f5f),
                          .groupBackground = QColor(0x404040),
                          .groupCaptionStrip = QColor(0x333333),
                          .groupCaptionText = QColor(0xbdbdbd),
                          .text = QColor(0xf2f2f2),
                          .disabledText = QColor(0x8a8a8a),
                          .hover = QColor(0x5e4c37),
                          .hoverBorder = QColor(0xe8892b),
                          .pressed = QColor(0x8a5a24),
                          .pressedBorder = QColor(0xf0a04a),
                          .accent = QColor(0xe8892b),
                          .menuBackground = QColor(0x2b2b2b),
                          .menuItems = QColor(0x3a3a3a),
                          .menuPane = QColor(0x333333),
                          .menuBorder = QColor(0x555555),
                          .menuText = QColor(0xeeeeee),
                          .menuHover = QColor(0x5e4c37),
                          .statusBackground = QColor(0x262626),
                          .statusText = QColor(0xe0e0e0)};

QString Css(const QColor& color) {
  if (color.alpha() == 255) return color.name();
  return QStringLiteral("rgba(%1,%2,%3,%4)")
      .arg(color.red())
      .arg(color.green())
      .arg(color.blue())
      .arg(color.alpha());
}

QString Gradient(const QColor& top, const QColor& bottom) {
  return QStringLiteral("qlineargradient(x1:0,y1:0,x2:0,y2:1,stop:0 %1,stop:1 %2)")
      .arg(Css(top), Css(bottom));
}

// Sheets name colours as @field@ so each rule reads like plain CSS.
QString Fill(QString sheet, const SchemeColors& c) {
  const std::vector<std::pair<const char*, QString>> values{
      {"@captionText@", Css(c.captionText)},
      {"@groupFrame@", Css(c.groupFrame)},
      {"@groupBody@", Gradient(c.groupBackground.lighter(104), c.groupBackground)},
      {"@groupCaptionStrip@", Css(c.groupCaptionStrip)},
      {"@groupCaptionText@", Css(c.groupCaptionText)},
      {"@text@", Css(c.text)},
      {"@disabledText@", Css(c.disabledText)},
      {"@hover@", Gradient(c.hover.lighter(106), c.hover)},
      {"@hoverBorder@", Css(c.hoverBorder)},
      {"@pressed@", Gradient(c.pressed.lighter(108), c.pressed)},
      {"@pressedBorder@", Css(c.pressedBorder)},
      {"@menuBackground@", Css(c.menuBackground)},
      {"@menuItems@", Css(c.menuItems)},
      {"@menuPane@", Css(c.menuPane)},
      {"@menuBorder@", Css(c.menuBorder)},
      {"@menuText@", Css(c.menuText)},
      {"@menuHover@", Gradient(c.menuHover.lighter(104), c.menuHover)},
      {"@menuHoverBorder@", Css(c.hoverBorder)},
  };
  for (const auto& [name, value] : values) sheet.replace(QLatin1String(name), value);
  return sheet;
}

// Every selector starts at the ribbon's own parts, never at a bare class below #dxRibbon: the
// application menu is the ribbon's child and must not inherit these rules.
constexpr char kRibbonSheet[] = R"(
#RibbonTitleRow QLabel#RibbonCaption { color: @captionText@; }
kesta--TRibbonGroup { background: @groupBody@; border: 1px solid @groupFrame@; border-radius: 3px; }
kesta--TRibbonGroup QLabel#RibbonGroupCaption {
  color: @groupCaptionText@; background: @groupCaptionStrip@; border: none;
  border-bottom-left-radius: 2px; border-bottom-right-radius: 2px; padding: 0px 4px 1px 4px; }
kesta--TRibbonGroup QFrame#RibbonSeparator { background: @groupFrame@; border: none; }
kesta--TRibbonGroup kesta--TRibbonButton, #dxQuickBar kesta--TRibbonButton {
  color: @text@; background: transparent; border: 1px solid transparent; border-radius: 3px; }
kesta--TRibbonGroup kesta--TRibbonButton { padding: 2px 3px 1px 3px; }
#dxQuickBar kesta--TRibbonButton { padding: 1px; }
kesta--TRibbonGroup kesta--TRibbonButton:hover, #dxQuickBar kesta--TRibbonButton:hover {
  background: @hover@; border-color: @hoverBorder@; }
kesta--TRibbonGroup kesta--TRibbonButton:pressed, kesta--TRibbonGroup kesta--TRibbonButton:checked,
#dxQuickBar kesta--TRibbonButton:pressed { background: @pressed@; border-color: @pressedBorder@; }
kesta--TRibbonGroup kesta--TRibbonButton:disabled, #dxQuickBar kesta--TRibbonButton:disabled {
  color: @disabledText@; background: transparent; border-color: transparent; }
QToolTip { color: #202020; background: #fbfbfb; border: 1px solid #9a9a9a; padding: 2px; }
)";

constexpr char kMenuSheet[] = R"(
#dxBarApplicationMenu1 { background: @menuBackground@; border: 1px solid @menuBorder@; }
#MenuItems { background: @menuItems@; border: 1px solid @menuBorder@; }
#MenuItems kesta--TRibbonButton, #MenuFoot kesta--TRibbonButton, #MenuExtraPane QToolButton {
  color: @menuText@; background: transparent; border: 1px solid transparent; border-radius: 2px; }
#MenuItems kesta--TRibbonButton { padding: 4px 8px 4px 6px; }
#MenuExtraPane QToolButton { padding: 3px 6px; }
#MenuFoot kesta--TRibbonButton { padding: 2px 8px 2px 5px; background: @menuItems@; border-color: @menuBorder@; }
#MenuItems kesta--TRibbonButton:hover, #MenuFoot kesta--TRibbonButton:hover,
#MenuExtraPane QToolButton:hover { background: @menuHover@; border-color: @menuHoverBorder@; }
#MenuItems kesta--TRibbonButton:disabled { color: @disabledText@; background: transparent; }
#MenuItems QFrame#MenuSeparator { background: @menuBorder@; border: none; margin: 3px 6px; }
#MenuExtraPane { background: @menuPane@; border: 1px solid @menuBorder@; }
#MenuExtraPane QLabel#MenuExtraPaneHeader {
  color: @menuText@; font-weight: bold; border: none; border-bottom: 1px solid @menuBorder@;
  padding: 5px 4px 4px 4px; }
)";

}  // namespace

const SchemeColors& ColorsOf(ColorScheme scheme) {
  switch (scheme) {
    case ColorScheme::Blue:
      return kBlue;
    case ColorScheme::Black:
      return kBlack;
    case ColorScheme::Silver:
      break;
  }
  return kSilver;
}

QString SchemeName(ColorScheme scheme) {
  switch (scheme) {
    case ColorScheme::Blue:
      return QStringLiteral("Blue");
    case ColorScheme::Black:
      return QStringLiteral("Black");
    case ColorScheme::Silver:
      break;
  }
  return QStringLiteral("Silver");
}

std::optional<ColorScheme> SchemeFromName(const QString& name) {
  for (ColorScheme scheme : {ColorScheme::Blue, ColorScheme::Silver, ColorScheme::Black})
    if (name == SchemeName(scheme)) return scheme;
  return std::nullopt;
}

QString RibbonStyleSheet(ColorScheme scheme) {
  return Fill(QString::fromLatin1(kRibbonSheet), ColorsOf(scheme));
}

QString ApplicationMenuStyleSheet(ColorScheme scheme) {
  return Fill(QString::fromLatin1(kMenuSheet), ColorsOf(scheme));
}

QString StatusBarStyle(ColorScheme scheme) {
  const SchemeColors& c = ColorsOf(scheme);
  return QStringLiteral(
             "QStatusBar { background: %1; color: %2; border-top: 1px solid %3; }"
             "QStatusBar::item { border: none; border-left: 1px solid %3; }"
             "QStatusBar QLabel { color: %2; padding: 0px 4px; }")
      .arg(Gradient(c.statusBackground.lighter(104), c.statusBackground), Css(c.statusText),
           Css(c.groupFrame));
}

}  // namespace kesta
