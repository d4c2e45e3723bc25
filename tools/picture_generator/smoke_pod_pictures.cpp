// A smoke pod under a wing, seen from beside and a little below, trailing its plume: one for the US pods
// and one for the Russian pods of the smoke colour page.

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "paint_kit.h"
#include "pictures.h"
#include "ui/preview_pictures.h"

namespace kesta::pictures {

namespace {

struct PodLook {
  Rgb wing;
  Rgb pod;
  Rgb noseBand;
  Rgb smoke;
  bool redStar;  // the Russian star; otherwise the US star in its disc
  std::uint32_t seed;
};

// The pod's axis: it flies to the left, the plume leaves its tail on the right.
constexpr double kPodNose = 26.0, kPodTail = 92.0, kPodAxis = 47.0, kPodRadius = 7.0;

void PaintSky(QImage& image, std::uint32_t seed) {
  Camera camera{.altitude = 2600,
                .horizon = 74,
                .focal = 150,
                .bank = -0.05,
                .width = double(kSmokePodWidth),
                .height = double(kSmokePodHeight)};
  Sky sky;
  sky.sun = Normalize({-0.6, 0.35, 1.0});
  sky.sunDisc = 0.0;
  sky.clouds = 0.3;
  sky.seed = seed;
  Ground ground;
  ground.colour = [seed](double x, double z, double footprint) { return Farmland(x, z, footprint, seed); };
  ground.haze = sky.horizon;
  ground.visibility = 60000;
  ground.ridges = {Ridge{26000, 1600, 5000, Hex(0x66707e), 1400, seed + 1}};
  PaintScene(image, camera, sky, ground);
}

// The plume: puffs from the tail outwards, widening, drifting down a little and fading into the sky.
void PaintPlume(QImage& image, const PodLook& look) {
  QImage smoke(image.size(), QImage::Format_ARGB32_Premultiplied);
  smoke.fill(Qt::transparent);
  QPainter painter(&smoke);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const QPointF tail(kPodTail + 1.0, kPodAxis + 0.5);
  constexpr int kPuffs = 140;
  for (int i = kPuffs; i >= 0; --i) {
    const double t = double(i) / kPuffs;
    const double billow = std::sin(t * 9.0 + 1.3) * 2.2 * t + (Random01(i, 0, look.seed) - 0.5) * 3.0 * t;
    const QPointF at = tail + QPointF(t * 82.0, t * t * 9.0 + billow);
    const double radius = 2.2 + 15.0 * std::pow(t, 0.8);
    const double alpha = 0.85 * std::pow(1.0 - t, 1.3);
    QRadialGradient puff(at, radius, at + QPointF(-0.25 * radius, -0.4 * radius));
    puff.setColorAt(0.0, ToColor(Mix(look.smoke, Hex(0xffffff), 0.18), alpha));
    puff.setColorAt(0.55, ToColor(look.smoke, alpha * 0.8));
    puff.setColorAt(1.0, ToColor(look.smoke * 0.8, 0.0));
    painter.setBrush(puff);
    painter.drawEllipse(at, radius, radius * 0.85);
  }
  painter.end();
  Blur(smoke, 1);
  QPainter onto(&image);
  onto.drawImage(0, 0, smoke);
}

// Five points alternating between the outer and the inner radius, the first one up.
QPolygonF Star(QPointF centre, double outer, double inner) {
  QPolygonF star;
  for (int i = 0; i < 10; ++i) {
    const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
    const double r = i % 2 ? inner : outer;
    star << centre + QPointF(r * std::cos(angle), r * std::sin(angle));
  }
  return star;
}

// The wing's underside across the top of the picture, with its national marking.
void PaintWing(QPainter& painter, const PodLook& look) {
  QPainterPath wing;
  wing.moveTo(-2, -2);
  wing.lineTo(162, -2);
  wing.lineTo(162, 8);
  wing.lineTo(118, 17);  // the trailing edge, swept back towards the root on the right
  wing.lineTo(-2, 26);   // the leading edge on the left
  wing.closeSubpath();
  QLinearGradient shade(0, 0, 0, 26);
  shade.setColorAt(0.0, ToColor(look.wing * 0.72));
  shade.setColorAt(1.0, ToColor(look.wing * 1.02));
  painter.setPen(Qt::NoPen);
  painter.setBrush(shade);
  painter.drawPath(wing);
  painter.setPen(QPen(ToColor(look.wing * 0.5), 1.0));
  painter.drawLine(QPointF(-2, 26), QPointF(118, 17));
  painter.drawLine(QPointF(118, 17), QPointF(162, 8));

  // Seen from below and at a slant: the marking is squashed into an ellipse.
  painter.save();
  painter.translate(128, 8);
  painter.scale(1.0, 0.55);
  painter.setPen(Qt::NoPen);
  if (look.redStar) {
    painter.setBrush(QColor(250, 250, 250));
    painter.drawPolygon(Star({0, 0}, 11.5, 5.4));
    painter.setBrush(QColor(200, 30, 36));
    painter.drawPolygon(Star({0, 0}, 9.0, 3.9));
  } else {
    painter.setBrush(QColor(30, 45, 100));
    painter.drawEllipse(QPointF(0, 0), 10.5, 10.5);
    painter.setBrush(QColor(245, 245, 245));
    painter.drawPolygon(Star({0, 0}, 9.5, 3.8));
  }
  painter.restore();
}

void PaintPod(QPainter& painter, const PodLook& look) {
  painter.setPen(Qt::NoPen);
  // The pylon from the wing down to the pod.
  QLinearGradient pylonShade(0, 0, 40, 0);
  pylonShade.setColorAt(0.0, ToColor(look.wing * 0.95));
  pylonShade.setColorAt(1.0, ToColor(look.wing * 0.7));
  painter.setBrush(pylonShade);
  painter.drawPolygon(QPolygonF{QPointF(40, 22), QPointF(70, 19), QPointF(74, kPodAxis - kPodRadius + 1),
                                QPointF(44, kPodAxis - kPodRadius + 1)});

  // Body: a rounded nose, a straight barrel and a cone to the nozzle.
  QPainterPath body;
  body.moveTo(kPodNose + kPodRadius, kPodAxis - kPodRadius);
  body.lineTo(kPodTail - 12, kPodAxis - kPodRadius);
  body.lineTo(kPodTail, kPodAxis - 2.6);
  body.lineTo(kPodTail, kPodAxis + 2.6);
  body.lineTo(kPodTail - 12, kPodAxis + kPodRadius);
  body.lineTo(kPodNose + kPodRadius, kPodAxis + kPodRadius);
  body.arcTo(QRectF(kPodNose, kPodAxis - kPodRadius, 2 * kPodRadius, 2 * kPodRadius), 270, -180);
  body.closeSubpath();
  QLinearGradient round(0, kPodAxis - kPodRadius, 0, kPodAxis + kPodRadius);
  round.setColorAt(0.0, ToColor(look.pod * 0.78));
  round.setColorAt(0.3, ToColor(Mix(look.pod, Hex(0xffffff), 0.35)));
  round.setColorAt(0.6, ToColor(look.pod));
  round.setColorAt(1.0, ToColor(look.pod * 0.55));
  painter.setBrush(round);
  painter.drawPath(body);

  // A painted band behind the nose, and the seam where the cone begins.
  painter.save();
  painter.setClipPath(body);
  painter.setBrush(ToColor(look.noseBand, 0.9));
  painter.drawRect(QRectF(kPodNose + 9, kPodAxis - kPodRadius, 5, 2 * kPodRadius));
  painter.restore();
  painter.setPen(QPen(ToColor(look.pod * 0.45), 0.8));
  painter.drawLine(QPointF(kPodTail - 12, kPodAxis - kPodRadius + 0.5),
                   QPointF(kPodTail - 12, kPodAxis + kPodRadius - 0.5));
  painter.drawPath(body);

  // Cruciform fins at the tail: the upper and the lower one are seen edge on, the near one flat.
  painter.setPen(QPen(ToColor(look.pod * 0.4), 0.7));
  painter.setBrush(ToColor(look.pod * 0.82));
  painter.drawPolygon(QPolygonF{
      QPointF(kPodTail - 11, kPodAxis - kPodRadius + 1), QPointF(kPodTail - 3, kPodAxis - kPodRadius - 5),
      QPointF(kPodTail, kPodAxis - kPodRadius - 5), QPointF(kPodTail - 2, kPodAxis - 3)});
  painter.drawPolygon(QPolygonF{
      QPointF(kPodTail - 11, kPodAxis + kPodRadius - 1), QPointF(kPodTail - 3, kPodAxis + kPodRadius + 5),
      QPointF(kPodTail, kPodAxis + kPodRadius + 5), QPointF(kPodTail - 2, kPodAxis + 3)});
  painter.setBrush(ToColor(look.pod * 0.65));
  painter.drawPolygon(QPolygonF{QPointF(kPodTail - 10, kPodAxis - 0.8), QPointF(kPodTail - 1, kPodAxis - 1.2),
                                QPointF(kPodTail - 1, kPodAxis + 1.6),
                                QPointF(kPodTail - 10, kPodAxis + 1.0)});

  // The nozzle, dark inside.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(35, 33, 32));
  painter.drawEllipse(QPointF(kPodTail, kPodAxis), 1.2, 2.5);
}

}  // namespace

QImage DrawSmokePod(bool russian) {
  const PodLook look = russian
                           ? PodLook{Hex(0xa7bccb), Hex(0xc3ccd2), Hex(0xc8282e), Hex(0xf4f4f2), true, 171}
                           : PodLook{Hex(0x8c98a5), Hex(0xd2d5d8), Hex(0x2c4c8c), Hex(0xf02a24), false, 172};
  QImage image(kSmokePodWidth, kSmokePodHeight, QImage::Format_RGB32);
  PaintSky(image, look.seed);
  PaintPlume(image, look);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintWing(painter, look);
  PaintPod(painter, look);
  painter.end();
  FinishPicture(image);
  return image;
}

}  // namespace kesta::pictures
