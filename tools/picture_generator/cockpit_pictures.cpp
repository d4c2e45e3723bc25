// From the pilot's seat: canopy frame, head-up display, mirrors and what the glass does to the view.

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "paint_kit.h"
#include "pictures.h"
#include "stroke_font.h"

namespace kesta::pictures {

namespace {

constexpr double kBank = -0.07;  // a gentle left turn: the horizon tilts
const QPointF kHudCentre(235, 53);

struct CockpitLook {
  double zoom = 1.0;  // around the head-up display
  enum Mirrors { kNoMirrors, kBlankMirrors, kLiveMirrors } mirrors = kNoMirrors;
  int mirrorDetail = 2;  // 0 coarse .. 2 sharp
  bool glassReflections = false;
  bool canopyEffect = false;
  enum Hud { kPlainHud, kLatinHud, kCyrillicHud } hud = kPlainHud;
};

Camera OutsideCamera(double zoom) {
  return Camera{.altitude = 1600, .horizon = 66, .focal = 300 * zoom, .bank = kBank};
}

void PaintOutside(QImage& image, const Camera& camera, std::uint32_t seed) {
  Sky sky;
  sky.sun = Normalize({0.55, 0.3, 1.0});
  sky.clouds = 0.38;
  sky.seed = seed;
  Ground ground;
  ground.colour = [seed](double x, double z, double footprint) { return Farmland(x, z, footprint, seed); };
  ground.haze = sky.horizon;
  ground.visibility = 60000;
  ground.water = [](double x, double z) {
    return SmoothStep(0.64, 0.68, Fbm(x / 2200.0, z / 2200.0, 23, 4));
  };
  ground.ridges = {Ridge{15000, 900, 4000, Hex(0x55614d), 1e9, seed + 1},
                   Ridge{38000, 2600, 8000, Hex(0x6b7282), 2000, seed + 2}};
  PaintScene(image, camera, sky, ground);
}

QPainterPath GlareShield() {
  QPainterPath shield;
  shield.moveTo(-200, 340);
  shield.lineTo(-200, 112);
  shield.cubicTo(60, 92, 410, 92, 670, 112);
  shield.lineTo(670, 340);
  shield.closeSubpath();
  return shield;
}

QPolygonF LeftPillar() {
  return QPolygonF{QPointF(92, 104), QPointF(111, 101), QPointF(172, -2), QPointF(152, -2)};
}
QPolygonF RightPillar() { return QTransform(-1, 0, 0, 1, 470, 0).map(LeftPillar()); }
QPolygonF HudGlass() {
  return QPolygonF{QPointF(203, 22), QPointF(267, 22), QPointF(272, 84), QPointF(198, 84)};
}
const QRectF kCentreMirror(183, 2, 104, 19);
const QRectF kLeftMirror(92, 26, 50, 21);
const QRectF kRightMirror(328, 26, 50, 21);

// Instruments at the top of the panel, seen over the glare shield's lip.
void PaintGauges(QPainter& painter, double alpha) {
  for (double cx : {40.0, 92.0, 378.0, 430.0}) {
    const QPointF centre(cx, 132);
    painter.setPen(QPen(QColor(70, 74, 80, int(255 * alpha)), 2.0));
    painter.setBrush(QColor(12, 13, 15, int(255 * alpha)));
    painter.drawEllipse(centre, 17, 17);
    painter.setPen(QPen(QColor(225, 225, 215, int(230 * alpha)), 1.0));
    for (int tick = 0; tick < 12; ++tick) {
      const double a = tick * std::numbers::pi / 6.0;
      painter.drawLine(centre + QPointF(std::cos(a) * 13, std::sin(a) * 13),
                       centre + QPointF(std::cos(a) * 15.5, std::sin(a) * 15.5));
    }
    painter.setPen(QPen(QColor(250, 250, 240, int(255 * alpha)), 1.4));
    const double needle = -std::numbers::pi * (0.3 + Random01(int(cx), 0, 7) * 0.5);
    painter.drawLine(centre, centre + QPointF(std::cos(needle) * 12, std::sin(needle) * 12));
  }
}

void PaintFurniture(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  for (const QPolygonF& pillar : {LeftPillar(), RightPillar()}) {
    QLinearGradient metal(pillar[0], pillar[1]);
    metal.setColorAt(0, QColor(38, 41, 46));
    metal.setColorAt(0.7, QColor(62, 66, 72));
    metal.setColorAt(1, QColor(30, 32, 36));
    painter.setBrush(metal);
    painter.drawPolygon(pillar);
  }
  painter.setBrush(QColor(34, 36, 40));
  painter.drawRect(QRectF(150, -4, 170, 5));
  QLinearGradient shield(0, 92, 0, 135);
  shield.setColorAt(0, QColor(48, 50, 54));
  shield.setColorAt(0.08, QColor(30, 31, 34));
  shield.setColorAt(1, QColor(18, 19, 21));
  painter.setBrush(shield);
  painter.drawPath(GlareShield());
  PaintGauges(painter, 1.0);
  painter.setPen(Qt::NoPen);
  // The head-up display: projector housing and the combiner glass on its posts.
  painter.setBrush(QColor(26, 27, 30));
  painter.drawPolygon(QPolygonF{QPointF(190, 100), QPointF(280, 100), QPointF(274, 82), QPointF(196, 82)});
  QLinearGradient glass(203, 22, 272, 84);
  glass.setColorAt(0, QColor(170, 230, 200, 34));
  glass.setColorAt(1, QColor(120, 190, 170, 20));
  painter.setBrush(glass);
  painter.drawPolygon(HudGlass());
  painter.setPen(QPen(QColor(40, 42, 46), 2.5));
  painter.drawLine(QPointF(201, 84), QPointF(205, 20));
  painter.drawLine(QPointF(269, 84), QPointF(265, 20));
  painter.setPen(Qt::NoPen);
}

// The rear view: sky, ground, the aircraft's own twin fins and the back of the seat.
QImage RearView(QSize size, int detail) {
  const double factor = detail <= 0 ? 1.0 / 5.0 : detail == 1 ? 1.0 / 2.5 : 1.0;
  const QSize small(std::max(4, int(size.width() * factor)), std::max(3, int(size.height() * factor)));
  QImage view(small, QImage::Format_RGB32);
  Camera camera{
      .altitude = 1600, .horizon = small.height() * 0.45, .focal = small.width() * 0.8, .bank = -kBank};
  camera.width = small.width();
  camera.height = small.height();
  PaintOutside(view, camera, 211);
  QPainter painter(&view);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(small.width() / 100.0, small.height() / 20.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(120, 132, 145));
  painter.drawPolygon(QPolygonF{QPointF(6, 20), QPointF(14, 5), QPointF(21, 5), QPointF(24, 20)});
  painter.drawPolygon(QPolygonF{QPointF(94, 20), QPointF(86, 5), QPointF(79, 5), QPointF(76, 20)});
  painter.setBrush(QColor(30, 31, 34));
  painter.drawRoundedRect(QRectF(38, 9, 24, 14), 4, 4);
  painter.end();
  view = view.mirrored(true, false);
  return view.scaled(size, Qt::IgnoreAspectRatio,
                     detail >= 2 ? Qt::SmoothTransformation : Qt::FastTransformation);
}

void PaintMirrors(QPainter& painter, const CockpitLook& look) {
  for (const QRectF& mirror : {kCentreMirror, kLeftMirror, kRightMirror}) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(22, 23, 26));
    painter.drawRoundedRect(mirror.adjusted(-2.5, -2.5, 2.5, 2.5), 3, 3);
    if (look.mirrors == CockpitLook::kLiveMirrors) {
      painter.drawImage(mirror.topLeft(), RearView(mirror.size().toSize(), look.mirrorDetail));
    } else {
      QLinearGradient blank(mirror.topLeft(), mirror.bottomRight());
      blank.setColorAt(0, QColor(120, 126, 132));
      blank.setColorAt(0.45, QColor(88, 93, 99));
      blank.setColorAt(0.5, QColor(150, 156, 162));
      blank.setColorAt(1, QColor(70, 74, 79));
      painter.setBrush(blank);
      painter.drawRect(mirror);
    }
  }
}

// Only the light parts of the instruments show in the glass: rims, marks and needles.
void PaintGaugeGhosts(QPainter& painter) {
  painter.setBrush(Qt::NoBrush);
  for (double cx : {40.0, 92.0, 378.0, 430.0}) {
    const QPointF centre(cx, 132);
    painter.setPen(QPen(QColor(220, 225, 230, 40), 2.0));
    painter.drawEllipse(centre, 17, 17);
    painter.setPen(QPen(QColor(235, 240, 235, 55), 1.0));
    for (int tick = 0; tick < 12; ++tick) {
      const double a = tick * std::numbers::pi / 6.0;
      painter.drawLine(centre + QPointF(std::cos(a) * 13, std::sin(a) * 13),
                       centre + QPointF(std::cos(a) * 15.5, std::sin(a) * 15.5));
    }
    const double needle = -std::numbers::pi * (0.3 + Random01(int(cx), 0, 7) * 0.5);
    painter.drawLine(centre, centre + QPointF(std::cos(needle) * 12, std::sin(needle) * 12));
  }
  painter.setPen(Qt::NoPen);
}

// Ghosts of the lit instruments and the glare shield's lip on the inside of the windscreen.
void PaintGlassReflections(QPainter& painter) {
  painter.save();
  painter.setClipPath(QPainterPath().united([] {
    QPainterPath above;
    above.addRect(QRectF(0, 0, 470, 135));
    return above.subtracted(GlareShield());
  }()));
  painter.translate(0, 150);
  painter.scale(1, -0.6);
  PaintGaugeGhosts(painter);
  for (int i = 0; i < 7; ++i) {  // warning lights of the panel
    static const QColor kLights[] = {QColor(255, 190, 60, 70), QColor(90, 255, 120, 60),
                                     QColor(255, 80, 60, 70)};
    painter.setBrush(kLights[i % 3]);
    painter.drawRect(QRectF(150 + i * 25, 128, 12, 5));
  }
  painter.restore();
  QLinearGradient sheen(0, 60, 0, 100);
  sheen.setColorAt(0, QColor(200, 210, 220, 0));
  sheen.setColorAt(1, QColor(200, 210, 220, 40));
  painter.setBrush(sheen);
  painter.setPen(Qt::NoPen);
  painter.drawRect(QRectF(0, 60, 470, 40));
}

// The canopy glass as a material: slight tint, sun glare, fine scratches and a dusty rim.
void PaintCanopyGlass(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.fillRect(QRectF(0, 0, 470, 135), QColor(170, 200, 210, 30));
  const QPointF sun(392, 34);
  QLinearGradient streak(290, 0, 440, 120);
  streak.setColorAt(0.0, QColor(255, 255, 255, 0));
  streak.setColorAt(0.45, QColor(255, 250, 235, 95));
  streak.setColorAt(0.55, QColor(255, 250, 235, 120));
  streak.setColorAt(1.0, QColor(255, 255, 255, 0));
  painter.setBrush(streak);
  painter.drawPolygon(QPolygonF{QPointF(280, 0), QPointF(350, 0), QPointF(470, 80), QPointF(470, 140)});
  QRadialGradient bloom(sun, 80);
  bloom.setColorAt(0, QColor(255, 248, 225, 170));
  bloom.setColorAt(0.3, QColor(255, 248, 225, 80));
  bloom.setColorAt(1, QColor(255, 248, 225, 0));
  painter.setBrush(bloom);
  painter.drawEllipse(sun, 80, 62);
  for (int i = 0; i < 14; ++i) {  // smudges
    const QPointF at(Random01(i, 4, 402) * 470, Random01(i, 5, 402) * 95);
    QRadialGradient smudge(at, 14);
    smudge.setColorAt(0, QColor(235, 235, 225, 30));
    smudge.setColorAt(1, QColor(235, 235, 225, 0));
    painter.setBrush(smudge);
    painter.drawEllipse(at, 16, 10);
  }
  // Fine scratches catch the light most near the sun.
  for (int i = 0; i < 260; ++i) {
    const QPointF start(Random01(i, 0, 401) * 470, Random01(i, 1, 401) * 100);
    const double near = std::exp(-std::hypot(start.x() - sun.x(), start.y() - sun.y()) / 110.0);
    const double a = Random01(i, 2, 401) * std::numbers::pi;
    const double length = 5 + Random01(i, 3, 401) * 16;
    painter.setPen(QPen(QColor(255, 255, 255, int(12 + 200 * near)), 0.7));
    QPainterPath scratch(start);
    scratch.quadTo(start + QPointF(std::cos(a) * length * 0.5, std::sin(a) * length * 0.2 - 1.5),
                   start + QPointF(std::cos(a) * length, std::sin(a) * length * 0.4));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(scratch);
  }
  painter.setPen(Qt::NoPen);
}

QPointF Rotate(QPointF p, QPointF centre, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  const QPointF d = p - centre;
  return centre + QPointF(c * d.x() - s * d.y(), s * d.x() + c * d.y());
}

const QColor kHudGreen(120, 255, 150);

// The horizon line where the real horizon is, then a line every 5 degrees, dashed below.
void PaintPitchLadder(QPainter& painter, const Camera& camera, double zoom) {
  const double width = 1.1 * zoom, tilt = -kBank;
  for (int degrees = -5; degrees <= 5; degrees += 5) {
    const double rise = camera.focal * std::tan(degrees * std::numbers::pi / 180.0);
    const QPointF mid = Rotate(QPointF(camera.width / 2, camera.horizon - rise),
                               QPointF(camera.width / 2, camera.horizon), tilt);
    const double half = (degrees == 0 ? 34 : 17) * zoom, gap = 7 * zoom;
    painter.setPen(QPen(kHudGreen, width, degrees < 0 ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap));
    for (double side : {-1.0, 1.0}) {
      const QPointF outer = Rotate(mid + QPointF(side * half, 0), mid, tilt);
      painter.drawLine(Rotate(mid + QPointF(side * gap, 0), mid, tilt), outer);
      if (degrees != 0)
        painter.drawLine(outer, Rotate(mid + QPointF(side * half, (degrees > 0 ? 3 : -3) * zoom), mid, tilt));
    }
    if (degrees == 0) continue;
    painter.setPen(QPen(kHudGreen, width * 0.8, Qt::SolidLine, Qt::RoundCap));
    DrawStrokeText(painter, Rotate(mid + QPointF(half + 3 * zoom, -2.5 * zoom), mid, tilt), 5 * zoom,
                   std::to_string(std::abs(degrees)));
  }
}

// Velocity vector, heading scale, speed, altitude, navigation mode and weapon; labels in Latin or
// Cyrillic capitals.
void PaintHudReadouts(QPainter& painter, double zoom, bool cyrillic) {
  painter.setPen(QPen(kHudGreen, 1.1 * zoom, Qt::SolidLine, Qt::RoundCap));
  const QPointF centre = kHudCentre;
  const QPointF vector = centre + QPointF(3 * zoom, 6 * zoom);
  painter.drawEllipse(vector, 3.2 * zoom, 3.2 * zoom);
  painter.drawLine(vector + QPointF(-3.2 * zoom, 0), vector + QPointF(-9 * zoom, 0));
  painter.drawLine(vector + QPointF(3.2 * zoom, 0), vector + QPointF(9 * zoom, 0));
  painter.drawLine(vector + QPointF(0, -3.2 * zoom), vector + QPointF(0, -7 * zoom));
  const double scaleY = centre.y() + 17 * zoom;
  for (int i = -3; i <= 3; ++i) {
    const double x = centre.x() + i * 8 * zoom - 3 * zoom;
    painter.drawLine(QPointF(x, scaleY), QPointF(x, scaleY + (i % 2 ? 2 : 4) * zoom));
  }
  painter.drawLine(QPointF(centre.x(), scaleY - 3 * zoom), QPointF(centre.x(), scaleY - 0.5 * zoom));
  DrawStrokeText(painter, QPointF(centre.x() - 4.5 * zoom, scaleY + 5.5 * zoom), 4 * zoom, "35");
  DrawStrokeText(painter, centre + QPointF(-27 * zoom, -28 * zoom), 5 * zoom, "850");
  DrawStrokeText(painter, centre + QPointF(9 * zoom, -28 * zoom), 5 * zoom, "2450");
  DrawStrokeText(painter, centre + QPointF(-29 * zoom, 10.5 * zoom), 4.5 * zoom, cyrillic ? "МРШ" : "NAV");
  DrawStrokeText(painter, centre + QPointF(7 * zoom, 10.5 * zoom), 4.5 * zoom, cyrillic ? "Р-27Р" : "R-27R");
}

void PaintHudSymbols(QPainter& painter, const Camera& camera, double zoom, bool cyrillic) {
  painter.setBrush(Qt::NoBrush);
  PaintPitchLadder(painter, camera, zoom);
  PaintHudReadouts(painter, zoom, cyrillic);
}

// The display's symbols on a layer of their own, so that they can glow; only the glass shows them.
QImage HudLayer(QSize size, const Camera& camera, const CockpitLook& look) {
  QImage symbols(size, QImage::Format_ARGB32_Premultiplied);
  symbols.fill(Qt::transparent);
  QPainter hud(&symbols);
  hud.setRenderHint(QPainter::Antialiasing);
  QTransform zoom;
  zoom.translate(kHudCentre.x(), kHudCentre.y())
      .scale(look.zoom, look.zoom)
      .translate(-kHudCentre.x(), -kHudCentre.y());
  QPainterPath glass;
  glass.addPolygon(HudGlass());
  hud.setClipPath(zoom.map(glass));
  PaintHudSymbols(hud, camera, look.zoom, look.hud == CockpitLook::kCyrillicHud);
  return symbols;
}

QImage DrawCockpit(const CockpitLook& look) {
  QImage image = NewPicture();
  const Camera camera = OutsideCamera(look.zoom);
  PaintOutside(image, camera, 201);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  if (look.canopyEffect) PaintCanopyGlass(painter);
  if (look.hud != CockpitLook::kPlainHud) {
    const QImage symbols = HudLayer(image.size(), camera, look);
    QImage glow = symbols;
    Blur(glow, 2);
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    painter.drawImage(0, 0, glow);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(0, 0, symbols);
  }
  painter.translate(kHudCentre);
  painter.scale(look.zoom, look.zoom);
  painter.translate(-kHudCentre);
  if (look.glassReflections) PaintGlassReflections(painter);
  PaintFurniture(painter);
  if (look.mirrors != CockpitLook::kNoMirrors) PaintMirrors(painter, look);
  painter.end();
  FinishPicture(image);
  return image;
}

}  // namespace

QImage DrawMirrors(int level) {
  CockpitLook look;
  look.mirrors = level >= 1 ? CockpitLook::kLiveMirrors : CockpitLook::kBlankMirrors;
  return DrawCockpit(look);
}

QImage DrawMirrorResolution(int level) {
  CockpitLook look;
  look.mirrors = CockpitLook::kLiveMirrors;
  look.mirrorDetail = level;
  return DrawCockpit(look);
}

QImage DrawReflections(int level) {
  CockpitLook look;
  look.glassReflections = level >= 1;
  return DrawCockpit(look);
}

QImage DrawRussianHud(int level) {
  CockpitLook look;
  look.zoom = 1.5;
  look.hud = level >= 1 ? CockpitLook::kCyrillicHud : CockpitLook::kLatinHud;
  return DrawCockpit(look);
}

QImage DrawCanopy(bool effectOn) {
  CockpitLook look;
  look.canopyEffect = effectOn;
  return DrawCockpit(look);
}

}  // namespace kesta::pictures
