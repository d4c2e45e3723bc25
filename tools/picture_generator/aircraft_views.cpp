#include "aircraft_views.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <functional>

#include "paint_kit.h"
#include "ui/preview_pictures.h"

namespace kesta::pictures {

namespace {

// The F4 window reads X = 8.61 at the left edge, Y = 4.57 at the top and Z = 3.61 at the side view's left
// edge, 21 pixels per metre: these are the picture positions of the pilot's eye.
constexpr double kPixelsPerMetre = 21.0;
constexpr double kEyeColumnTop = 8.61 * kPixelsPerMetre;
constexpr double kEyeRow = 4.57 * kPixelsPerMetre;
constexpr double kEyeColumnSide = 3.61 * kPixelsPerMetre;
constexpr double kMargin = 6.0;

const QColor kOutline(52, 61, 71);

// Where the aircraft goes: true scale with the eye on the window's origin when the aircraft fits,
// otherwise smaller and shifted just enough to show all of it. Both views share rows.
struct Placement {
  double scale;
  double noseRow;
};

Placement PlaceAlongAxis(const AircraftShape& shape) {
  const double scale = std::min({kPixelsPerMetre, (kSideViewHeight - 2 * kMargin) / shape.length,
                                 (kTopViewWidth - 2 * kMargin) / shape.span});
  const double noseRow = std::clamp(kEyeRow - shape.eyeFromNose * scale, kMargin,
                                    kSideViewHeight - kMargin - shape.length * scale);
  return {scale, noseRow};
}

void PaintChart(QPainter& painter, int width, int height, double originX, double originY) {
  QLinearGradient paper(0, 0, width * 0.3, height);
  paper.setColorAt(0, QColor(233, 238, 242));
  paper.setColorAt(1, QColor(214, 222, 229));
  painter.fillRect(QRectF(0, 0, width, height), paper);
  painter.setPen(QPen(QColor(196, 207, 217), 1.0));
  const double firstX = std::fmod(originX, kPixelsPerMetre), firstY = std::fmod(originY, kPixelsPerMetre);
  for (double x = firstX; x < width; x += kPixelsPerMetre)
    painter.drawLine(QPointF(x, 0), QPointF(x, height));
  for (double y = firstY; y < height; y += kPixelsPerMetre)
    painter.drawLine(QPointF(0, y), QPointF(width, y));
  painter.setPen(QPen(QColor(160, 176, 191), 1.0, Qt::DashLine));
  painter.drawLine(QPointF(originX, 0), QPointF(originX, height));
  painter.drawLine(QPointF(0, originY), QPointF(width, originY));
}

QPainterPath PathOf(const Outline& outline, const std::function<QPointF(QPointF)>& map) {
  QPainterPath path;
  if (outline.empty()) return path;
  path.moveTo(map(outline.front()));
  for (std::size_t i = 1; i < outline.size(); ++i) path.lineTo(map(outline[i]));
  path.closeSubpath();
  return path;
}

// Right half and its mirror image as one closed outline.
QPainterPath PlanPath(const Outline& half, const std::function<QPointF(QPointF)>& map) {
  Outline whole(half.begin(), half.end());
  for (auto it = half.rbegin(); it != half.rend(); ++it) whole.push_back({-it->x(), it->y()});
  return PathOf(whole, map);
}

// A soft shadow under the aircraft lifts it off the chart.
void PaintDropShadow(QPainter& painter, const QPainterPath& silhouette, QSize size, QPointF offset) {
  QImage shadow(size, QImage::Format_ARGB32_Premultiplied);
  shadow.fill(Qt::transparent);
  {
    QPainter p(&shadow);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(offset);
    p.fillPath(silhouette, QColor(30, 40, 55, 70));
  }
  Blur(shadow, 3);
  painter.drawImage(0, 0, shadow);
}

QLinearGradient MetalAcross(QPointF from, QPointF to) {
  QLinearGradient metal(from, to);
  metal.setColorAt(0.0, QColor(112, 123, 135));
  metal.setColorAt(0.42, QColor(182, 190, 198));
  metal.setColorAt(0.58, QColor(170, 178, 187));
  metal.setColorAt(1.0, QColor(98, 108, 120));
  return metal;
}

void PaintCanopyGlass(QPainter& painter, const QRectF& box, bool upright) {
  QLinearGradient glass(box.topLeft(), upright ? box.bottomLeft() : box.topRight());
  glass.setColorAt(0.0, QColor(78, 108, 138));
  glass.setColorAt(0.5, QColor(34, 52, 72));
  glass.setColorAt(1.0, QColor(22, 33, 46));
  painter.setPen(QPen(kOutline, 1.0));
  painter.setBrush(glass);
  painter.drawEllipse(box);
  painter.setPen(QPen(QColor(220, 235, 250, 170), 1.4, Qt::SolidLine, Qt::RoundCap));
  const QRectF glint =
      box.adjusted(box.width() * 0.25, box.height() * 0.18, -box.width() * 0.45, -box.height() * 0.45);
  painter.drawArc(glint, 90 * 16, 90 * 16);
}

using Map = std::function<QPointF(QPointF)>;

QPainterPath Ellipse(QPointF centre, double rx, double ry) {
  QPainterPath path;
  path.addEllipse(centre, rx, ry);
  return path;
}

QPainterPath TopSilhouette(const AircraftShape& shape, const Map& map, double scale) {
  QPainterPath body = PlanPath(shape.planHalf, map);
  if (!shape.planCanard.empty()) body = body.united(PlanPath(shape.planCanard, map));
  for (const PodShape& pod : shape.pods)
    for (double side : {-1.0, 1.0})
      body = body.united(
          Ellipse(map({side * pod.lateral, pod.centre}), pod.halfWidth * scale, pod.length / 2 * scale));
  return body;
}

// Light along the spine and a darker radome, inside the outline.
void PaintTopShading(QPainter& painter, const AircraftShape& shape, const QPainterPath& body,
                     const Map& map) {
  QLinearGradient spine(map({-1.1, 0}), map({1.1, 0}));
  spine.setColorAt(0, QColor(150, 160, 170, 0));
  spine.setColorAt(0.5, QColor(215, 222, 228, 150));
  spine.setColorAt(1, QColor(150, 160, 170, 0));
  painter.setPen(Qt::NoPen);
  painter.setBrush(spine);
  QPainterPath strip, nose;
  strip.addRect(QRectF(map({-1.1, 0}), map({1.1, shape.length})));
  painter.drawPath(body.intersected(strip));
  nose.addRect(QRectF(map({-2, 0}), map({2, shape.length * 0.09})));
  painter.setBrush(QColor(92, 100, 110));
  painter.drawPath(body.intersected(nose));
}

void PaintTopParts(QPainter& painter, const AircraftShape& shape, const Map& map, double scale) {
  painter.setPen(QPen(kOutline, 1.0));
  for (double side : {-1.0, 1.0}) {
    if (shape.nozzleLateral > 0) {
      const double lateral = side * shape.nozzleLateral;
      painter.setBrush(QColor(64, 66, 72));
      painter.drawRoundedRect(
          QRectF(map({lateral - 0.45, shape.nozzleStart}), map({lateral + 0.45, shape.nozzleStart + 0.85})),
          2, 2);
    }
    if (shape.finLateral > 0 || side > 0) {  // twin fins, or one on the axis
      const double lateral = side * shape.finLateral;
      QLinearGradient fin(map({lateral - 0.2, 0}), map({lateral + 0.2, 0}));
      fin.setColorAt(0, QColor(120, 130, 140));
      fin.setColorAt(1, QColor(80, 89, 99));
      painter.setBrush(fin);
      painter.drawRoundedRect(
          QRectF(map({lateral - 0.17, shape.finStart}), map({lateral + 0.17, shape.finEnd})), 2, 2);
    }
    for (const PodShape& pod : shape.pods) {  // engine intakes
      painter.setBrush(QColor(48, 52, 58));
      painter.drawEllipse(map({side * pod.lateral, pod.centre - pod.length / 2 + 0.25}),
                          pod.halfWidth * 0.75 * scale, 0.22 * scale);
    }
  }
  const QPointF centre = map({0, shape.canopyCentre});
  const double w = shape.canopyHalfWidth * scale, h = shape.canopyLength / 2 * scale;
  PaintCanopyGlass(painter, QRectF(centre.x() - w, centre.y() - h, 2 * w, 2 * h), false);
}

struct Extent {
  double lowest = 0, highest = 0;
};

Extent HeightsOf(const AircraftShape& shape) {
  Extent extent;
  for (const Outline* outline : {&shape.side, &shape.sideFin, &shape.sideVentral, &shape.sideWing})
    for (QPointF p : *outline) {
      extent.lowest = std::min(extent.lowest, p.y());
      extent.highest = std::max(extent.highest, p.y());
    }
  return extent;
}

QPainterPath SideSilhouette(const AircraftShape& shape, const Map& map, double scale) {
  QPainterPath silhouette =
      PathOf(shape.side, map).united(PathOf(shape.sideFin, map)).united(PathOf(shape.sideVentral, map));
  for (const PodShape& pod : shape.pods)
    silhouette = silhouette.united(
        Ellipse(map({pod.centre, pod.height}), pod.halfWidth * scale, pod.length / 2 * scale));
  return silhouette;
}

void PaintSideParts(QPainter& painter, const AircraftShape& shape, const Map& map, const Placement& place,
                    const Extent& extent) {
  const QPointF top = map({0, extent.highest}), bottom = map({0, extent.lowest});
  const QPainterPath body = PathOf(shape.side, map);
  painter.setPen(QPen(kOutline, 1.0));
  QLinearGradient fin(top, map({0, 0.8}));
  fin.setColorAt(0, QColor(150, 160, 170));
  fin.setColorAt(1, QColor(118, 128, 139));
  painter.setBrush(fin);
  painter.drawPath(PathOf(shape.sideFin, map));
  painter.drawPath(PathOf(shape.sideVentral, map));
  painter.setBrush(MetalAcross(map({0, 1.6}), map({0, -1.6})));
  painter.drawPath(body);
  // Wing and tail plane seen edge on: faint, so that they read as surfaces, not slots.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(60, 70, 82, 60));
  painter.drawPath(PathOf(shape.sideWing, map));
  painter.drawPath(PathOf(shape.sideStabiliser, map));
  painter.setPen(QPen(kOutline, 1.0));
  for (const PodShape& pod : shape.pods) {
    painter.setBrush(MetalAcross(map({0, pod.height + pod.halfWidth}), map({0, pod.height - pod.halfWidth})));
    painter.drawEllipse(map({pod.centre, pod.height}), pod.halfWidth * place.scale,
                        pod.length / 2 * place.scale);
  }
  QPainterPath nose;
  nose.addRect(QRectF(QPointF(0, place.noseRow - 2),
                      QPointF(kSideViewWidth, place.noseRow + shape.length * 0.09 * place.scale)));
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(92, 100, 110));
  painter.drawPath(body.intersected(nose));
  QLinearGradient glass(top, bottom);
  glass.setColorAt(0.0, QColor(88, 120, 150));
  glass.setColorAt(0.6, QColor(30, 46, 64));
  painter.setPen(QPen(kOutline, 1.0));
  painter.setBrush(glass);
  painter.drawPath(PathOf(shape.sideCanopy, map));
}

}  // namespace

QImage DrawTopView(const AircraftShape& shape) {
  const Placement place = PlaceAlongAxis(shape);
  const Map map = [&](QPointF p) {
    return QPointF(kEyeColumnTop + p.x() * place.scale, place.noseRow + p.y() * place.scale);
  };
  QImage image(kTopViewWidth, kTopViewHeight, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintChart(painter, kTopViewWidth, kTopViewHeight, kEyeColumnTop, kEyeRow);
  const QPainterPath body = TopSilhouette(shape, map, place.scale);
  PaintDropShadow(painter, body, image.size(), {7, 9});
  const double halfSpan = shape.span / 2 * place.scale;
  painter.setPen(QPen(kOutline, 1.2));
  painter.setBrush(MetalAcross({kEyeColumnTop - halfSpan, 0}, {kEyeColumnTop + halfSpan, 0}));
  painter.drawPath(body);
  PaintTopShading(painter, shape, body, map);
  PaintTopParts(painter, shape, map, place.scale);
  return image;
}

QImage DrawSideView(const AircraftShape& shape) {
  const Placement place = PlaceAlongAxis(shape);
  const Extent extent = HeightsOf(shape);
  // The axis sits where the eye lands on the window's origin, moved only to keep the aircraft whole.
  const double axisColumn =
      std::clamp(kEyeColumnSide + shape.eyeHeight * place.scale, kMargin + extent.highest * place.scale,
                 kSideViewWidth - kMargin + extent.lowest * place.scale);
  const Map map = [&](QPointF p) {
    return QPointF(axisColumn - p.y() * place.scale, place.noseRow + p.x() * place.scale);
  };
  QImage image(kSideViewWidth, kSideViewHeight, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintChart(painter, kSideViewWidth, kSideViewHeight, kEyeColumnSide, kEyeRow);
  PaintDropShadow(painter, SideSilhouette(shape, map, place.scale), image.size(), {6, 8});
  PaintSideParts(painter, shape, map, place, extent);
  return image;
}

}  // namespace kesta::pictures
