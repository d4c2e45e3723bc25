#include "ui/theme.h"

#include <QPainter>
#include <QRectF>

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

ButtonFace FaceOf(const SchemeColors& colors, ButtonPlace place, ButtonState state) {
  const bool menu = place != ButtonPlace::Ribbon;
  ButtonFace face;
  face.text = menu ? colors.menuText : colors.text;
  if (!state.enabled) {
    face.text = colors.disabledText;
    if (place != ButtonPlace::MenuFoot) return face;
  }
  if (state.enabled && state.down && place == ButtonPlace::Ribbon) {
    face.top = colors.pressed.lighter(108);
    face.bottom = colors.pressed;
    face.border = colors.pressedBorder;
  } else if (state.enabled && (state.hovered || state.down)) {
    const QColor hover = menu ? colors.menuHover : colors.hover;
    face.top = hover.lighter(menu ? 104 : 106);
    face.bottom = hover;
    face.border = colors.hoverBorder;
  } else if (place == ButtonPlace::MenuFoot) {
    face.top = face.bottom = colors.menuItems;
    face.border = colors.menuBorder;
  }
  return face;
}

void PaintButtonFace(QPainter& painter, const QRectF& rect, const ButtonFace& face, qreal radius) {
  if (!face.top.isValid()) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF inside = rect.adjusted(0.5, 0.5, -0.5, -0.5);
  painter.setPen(face.border);
  painter.setBrush(VerticalShade(inside, face.top, face.bottom));
  painter.drawRoundedRect(inside, radius, radius);
  painter.restore();
}

QLinearGradient VerticalShade(const QRectF& rect, const QColor& top, const QColor& bottom) {
  QLinearGradient shade(rect.topLeft(), rect.bottomLeft());
  shade.setColorAt(0, top);
  shade.setColorAt(1, bottom);
  return shade;
}

}  // namespace kesta
