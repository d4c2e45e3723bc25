// The About window's banner: two fighters climbing away over snow-capped hills in the late afternoon,
// drawn with the same sky, ground and aircraft as the preview pictures.

#include <QLinearGradient>
#include <QPainter>
#include <cmath>
#include <numbers>

#include "aircraft_shapes.h"
#include "paint_kit.h"
#include "pictures.h"
#include "scene_objects.h"
#include "ui/preview_pictures.h"

namespace kesta::pictures {

namespace {

struct Climber {
  QPointF nose;
  double scale, pitch;
};

// Thin white trails from the wing tips, fading behind each aircraft.
void PaintTrails(QImage& image, const Climber& climber) {
  QImage trails(image.size(), QImage::Format_ARGB32_Premultiplied);
  trails.fill(Qt::transparent);
  QPainter painter(&trails);
  painter.setRenderHint(QPainter::Antialiasing);
  const double pitch = climber.pitch * std::numbers::pi / 180.0;
  const QPointF back(-std::cos(pitch), std::sin(pitch));
  const QPointF tail = climber.nose + back * (17.0 * climber.scale);
  const QPointF end = tail + back * (150.0 * climber.scale);
  QLinearGradient fade(tail, end);
  fade.setColorAt(0.0, ToColor(Hex(0xffffff), 0.7));
  fade.setColorAt(1.0, ToColor(Hex(0xffffff), 0.0));
  painter.setPen(QPen(QBrush(fade), 0.45 * climber.scale, Qt::SolidLine, Qt::RoundCap));
  for (const double side : {-1.0, 1.0}) {
    const QPointF offset(0, side * 0.9 * climber.scale);
    painter.drawLine(tail + offset, end + offset + QPointF(0, side * 2.0 * climber.scale));
  }
  painter.end();
  Blur(trails, 1);
  QPainter onto(&image);
  onto.drawImage(0, 0, trails);
}

}  // namespace

QImage DrawAboutBanner() {
  QImage image(kAboutBannerWidth, kAboutBannerHeight, QImage::Format_RGB32);
  Camera camera{.altitude = 1500,
                .horizon = 104,
                .focal = 230,
                .bank = 0.04,
                .width = double(kAboutBannerWidth),
                .height = double(kAboutBannerHeight)};
  Sky sky;
  sky.zenith = Hex(0x23508f);
  sky.horizon = Hex(0xf0d7b0);
  sky.sun = Normalize({-0.7, 0.12, 1.0});
  sky.sunColour = Hex(0xffe2b0);
  sky.sunGlow = 0.9;
  sky.clouds = 0.35;
  sky.seed = 171;
  Ground ground;
  ground.colour = [](double x, double z, double footprint) { return Farmland(x, z, footprint, 172); };
  ground.haze = sky.horizon;
  ground.visibility = 45000;
  ground.ridges = {Ridge{16000, 900, 2600, Hex(0x56604f), 1e9, 173},
                   Ridge{32000, 2600, 6000, Hex(0x6f7686), 1900, 174}};
  PaintScene(image, camera, sky, ground);

  const AircraftShape& shape = AircraftShapeNamed("Su-27");
  const Climber climbers[] = {{{250, 34}, 3.4, 14}, {{196, 62}, 2.6, 14}};
  for (const Climber& climber : climbers) PaintTrails(image, climber);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  for (const Climber& climber : climbers)
    PaintPlaneProfile(painter, shape, climber.nose, climber.scale, climber.pitch, true, Hex(0x9aa8b6));
  painter.end();
  FinishPicture(image);
  return image;
}

}  // namespace kesta::pictures
