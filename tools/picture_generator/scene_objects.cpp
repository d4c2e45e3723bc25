#include "scene_objects.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace kesta::pictures {

namespace {

// Where the shadow of a point falls on the ground.
Vec3 OnGround(Vec3 point, const Sunlight& sun) {
  return point + sun.direction * (point.y / -sun.direction.y);
}

double Cross(QPointF o, QPointF a, QPointF b) {
  return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
}

QPolygonF ConvexHull(std::vector<QPointF> points) {
  std::sort(points.begin(), points.end(),
            [](QPointF a, QPointF b) { return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y()); });
  std::vector<QPointF> hull(2 * points.size());
  std::size_t k = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    while (k >= 2 && Cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  for (std::size_t i = points.size() - 1, t = k + 1; i-- > 0;) {
    while (k >= t && Cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  hull.resize(k > 0 ? k - 1 : 0);
  return QPolygonF(hull.begin(), hull.end());
}

std::vector<Vec3> Corners(const Block& b) {
  return {{b.x0, 0, b.z0},        {b.x1, 0, b.z0},        {b.x1, 0, b.z1},        {b.x0, 0, b.z1},
          {b.x0, b.height, b.z0}, {b.x1, b.height, b.z0}, {b.x1, b.height, b.z1}, {b.x0, b.height, b.z1}};
}

Vec3 PlanePoint(const Plane& plane, double lateral, double behindNose, double height = 0) {
  const double along = plane.facingRight ? -1.0 : 1.0;
  const double pitch = plane.pitchDegrees * std::numbers::pi / 180.0;
  return plane.nose +
         Vec3{along * behindNose * std::cos(pitch), -behindNose * std::sin(pitch) + height, lateral};
}

void PaintGroundShadows(QPainter& painter, const Camera& camera, const SceneObjects& objects,
                        const Sunlight& sun) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  const auto project = [&](Vec3 p) { return camera.Project(OnGround(p, sun)); };
  for (const Block& block : objects.blocks) {
    if (sun.aircraftShadowsOnly) break;
    std::vector<QPointF> points;
    for (Vec3 corner : Corners(block)) points.push_back(project(corner));
    painter.drawPolygon(ConvexHull(points));
  }
  for (const Tree& tree : objects.trees) {
    if (sun.aircraftShadowsOnly) break;
    std::vector<QPointF> points{project({tree.x - 0.3, 0, tree.z}), project({tree.x + 0.3, 0, tree.z})};
    for (int i = 0; i < 24; ++i) {
      const double a = i * std::numbers::pi / 12.0;
      const double y = tree.height - tree.radius + std::sin(a) * tree.radius;
      points.push_back(project({tree.x + std::cos(a) * tree.radius, y, tree.z}));
      points.push_back(
          project({tree.x + std::cos(a) * tree.radius * 0.7, y, tree.z + std::sin(a) * tree.radius}));
    }
    painter.drawPolygon(ConvexHull(points));
  }
  for (const Plane& plane : objects.planes) {
    if (!plane.castsShadow) continue;
    QPolygonF outline;
    for (QPointF p : plane.shape->planHalf) outline << project(PlanePoint(plane, p.x(), p.y()));
    for (auto it = plane.shape->planHalf.rbegin(); it != plane.shape->planHalf.rend(); ++it)
      outline << project(PlanePoint(plane, -it->x(), it->y()));
    painter.drawPolygon(outline);
  }
}

double Facing(Vec3 normal, const Sunlight& sun) { return std::max(0.0, -Dot(normal, sun.direction)); }

void PaintFrontDetail(QPainter& painter, const QPolygonF& face, const Block& block) {
  const QRectF box = face.boundingRect();
  if (block.kind == Block::kHangar) {
    painter.setBrush(ToColor(block.wall * 0.38));
    painter.drawRect(QRectF(box.left() + box.width() * 0.12, box.top() + box.height() * 0.25,
                            box.width() * 0.76, box.height() * 0.75));
    return;
  }
  if (block.kind == Block::kVehicle) {
    painter.setBrush(ToColor(Hex(0x1c2530), 0.85));
    painter.drawRect(QRectF(box.left() + box.width() * 0.1, box.top() + box.height() * 0.1, box.width() * 0.8,
                            box.height() * 0.35));
    return;
  }
  if (box.height() < 9 || box.width() < 8) return;
  painter.setBrush(ToColor(block.wall * 0.45));
  const int floors = std::max(1, static_cast<int>(block.height / 3.2));
  const int columns = std::max(1, static_cast<int>(box.width() / 7));
  const double cellW = box.width() / columns, cellH = box.height() / (floors + 0.4);
  for (int f = 0; f < floors; ++f)
    for (int c = 0; c < columns; ++c)
      painter.drawRect(QRectF(box.left() + c * cellW + cellW * 0.3, box.top() + cellH * (0.45 + f),
                              cellW * 0.4, cellH * 0.45));
}

void PaintBlock(QPainter& painter, const Camera& camera, const Block& b, const Sunlight& sun) {
  const std::vector<Vec3> c = Corners(b);
  const auto face = [&](std::initializer_list<int> ids) {
    QPolygonF polygon;
    for (int id : ids) polygon << camera.Project(c[id]);
    return polygon;
  };
  const auto shade = [&](Rgb base, Vec3 normal, double flat) {
    return sun.selfShadows ? base * (0.5 + 0.6 * Facing(normal, sun)) : base * flat;
  };
  painter.setPen(Qt::NoPen);
  if (b.x0 > 0) {
    painter.setBrush(ToColor(shade(b.wall, {-1, 0, 0}, 0.86)));
    painter.drawPolygon(face({0, 3, 7, 4}));
  }
  if (b.x1 < 0) {
    painter.setBrush(ToColor(shade(b.wall, {1, 0, 0}, 0.86)));
    painter.drawPolygon(face({1, 2, 6, 5}));
  }
  const QPolygonF front = face({0, 1, 5, 4});
  painter.setBrush(ToColor(shade(b.wall, {0, 0, -1}, 0.92)));
  painter.drawPolygon(front);
  PaintFrontDetail(painter, front, b);
  if (camera.altitude > b.height) {
    painter.setBrush(ToColor(shade(b.roof, {0, 1, 0}, 1.0)));
    painter.drawPolygon(face({4, 5, 6, 7}));
  }
}

void PaintTree(QPainter& painter, const Camera& camera, const Tree& tree, const Sunlight& sun) {
  const QPointF foot = camera.Project({tree.x, 0, tree.z});
  const QPointF crown = camera.Project({tree.x, tree.height - tree.radius, tree.z});
  const double r = tree.radius * camera.Scale(tree.z);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(74, 58, 40));
  painter.drawRect(QRectF(foot.x() - r * 0.12, crown.y(), r * 0.24, foot.y() - crown.y()));
  if (sun.selfShadows) {
    const QPointF lit(crown.x() - sun.direction.x * r * 0.5, crown.y() - r * 0.45);
    QRadialGradient leaves(lit, r * 1.5);
    leaves.setColorAt(0, ToColor(tree.leaves * 1.25));
    leaves.setColorAt(0.55, ToColor(tree.leaves));
    leaves.setColorAt(1, ToColor(tree.leaves * 0.45));
    painter.setBrush(leaves);
  } else {
    painter.setBrush(ToColor(tree.leaves * 0.95));
  }
  painter.drawEllipse(crown, r, r * 1.08);
}

}  // namespace

namespace {

QPainterPath OutlinePath(const Outline& outline) {
  QPainterPath path;
  if (outline.empty()) return path;
  path.addPolygon(QPolygonF(outline.begin(), outline.end()));
  path.closeSubpath();
  return path;
}

// The wings and tail planes of one side, outside the fuselage, tilted towards the viewer (near side) or
// away (far side): seen from a little above, the near wing shows below the fuselage, the far one above.
QPainterPath TiltedPlanHalf(const AircraftShape& shape, double tilt, double wingHeight) {
  QPainterPath plan;
  for (const Outline* outline : {&shape.planHalf, &shape.planCanard}) {
    QPolygonF polygon;
    for (QPointF p : *outline) polygon << QPointF(p.y(), p.x());
    if (!polygon.isEmpty()) plan.addPolygon(polygon);
    plan.closeSubpath();
  }
  QPainterPath outside;
  outside.addRect(QRectF(-1, 0.95, shape.length + 2, shape.span));
  return QTransform(1, 0, 0, tilt, 0, wingHeight).map(plan.intersected(outside));
}

void PaintPlane(QPainter& painter, const Camera& camera, const Plane& plane, const Sunlight& sun) {
  const AircraftShape& shape = *plane.shape;
  const double scale = camera.Scale(plane.nose.z);
  const double along = plane.facingRight ? -1.0 : 1.0;
  if (plane.nose.y < 4.0) {  // parked: legs and wheels down to the ground
    painter.setPen(QPen(QColor(40, 42, 46), std::max(1.0, 0.18 * scale)));
    for (double fraction : {0.22, 0.62}) {
      const Vec3 top = plane.nose + Vec3{along * shape.length * fraction, -0.6, 0};
      const QPointF a = camera.Project(top), b = camera.Project({top.x, 0.4, top.z});
      painter.drawLine(a, b);
      painter.setBrush(QColor(30, 30, 32));
      painter.drawEllipse(b, 0.45 * scale, 0.42 * scale);
    }
    painter.setPen(Qt::NoPen);
  }
  const double elevation =
      std::atan2(camera.altitude - plane.nose.y, plane.nose.z) * 180.0 / std::numbers::pi;
  PaintPlaneProfile(painter, shape, camera.Project(plane.nose), scale, plane.pitchDegrees, plane.facingRight,
                    plane.paint, sun.selfShadows, std::clamp(elevation, -25.0, 25.0));
}

}  // namespace

namespace {

// Colours of one aircraft in one light, and how far its far side shows above it.
struct PlaneLook {
  Rgb paint, under, topSide;
  double tilt;        // sine of the view's elevation
  double wingHeight;  // of the wing plane above the fuselage axis
  QPen outline;
};

// Everything behind the fuselage: the far wing and tail planes, the far fin, the ventral fins.
void PaintFarSide(QPainter& painter, const AircraftShape& shape, const PlaneLook& look) {
  painter.setPen(look.outline);
  painter.setBrush(ToColor(look.topSide * 0.8));
  painter.drawPath(TiltedPlanHalf(shape, look.tilt, look.wingHeight));
  if (shape.finLateral > 0) {
    painter.setBrush(ToColor(look.paint * 0.8));
    painter.drawPath(OutlinePath(shape.sideFin).translated(0, shape.finLateral * look.tilt));
  }
  painter.setBrush(ToColor(look.under * 0.85));
  painter.drawPath(OutlinePath(shape.sideVentral));
}

void PaintNearSide(QPainter& painter, const AircraftShape& shape, const PlaneLook& look, bool selfShadows) {
  QLinearGradient body(0, 1.8, 0, -1.6);
  body.setColorAt(0, ToColor(look.paint * 1.1));
  body.setColorAt(0.45, ToColor(selfShadows ? look.paint * 0.95 : look.paint));
  body.setColorAt(1, ToColor(look.under));
  painter.setBrush(body);
  painter.drawPath(OutlinePath(shape.side));
  QLinearGradient fin(0, 4.5, 0, 0.5);
  fin.setColorAt(0, ToColor(look.paint * 1.05));
  fin.setColorAt(1, ToColor(selfShadows ? look.paint * 0.78 : look.paint * 0.95));
  painter.setBrush(fin);
  painter.drawPath(OutlinePath(shape.sideFin).translated(0, -shape.finLateral * look.tilt));
  QLinearGradient wing(0, look.wingHeight, 0, look.wingHeight - shape.span / 2 * look.tilt);
  wing.setColorAt(0, ToColor(look.topSide * 0.9));
  wing.setColorAt(1, ToColor(look.topSide * 1.08));
  painter.setBrush(wing);
  painter.drawPath(TiltedPlanHalf(shape, -look.tilt, look.wingHeight));
}

void PaintNoseGlassAndNozzle(QPainter& painter, const AircraftShape& shape, const PlaneLook& look) {
  QPainterPath radome;
  radome.addRect(QRectF(-1, -3, shape.length * 0.1 + 1, 6));
  painter.setPen(Qt::NoPen);
  painter.setBrush(ToColor(look.paint * 0.62, 0.9));
  painter.drawPath(OutlinePath(shape.side).intersected(radome));
  painter.setPen(look.outline);
  QLinearGradient glass(0, 1.9, 0, 0.8);
  glass.setColorAt(0, QColor(150, 180, 205));
  glass.setColorAt(0.5, QColor(45, 62, 82));
  glass.setColorAt(1, QColor(25, 35, 48));
  painter.setBrush(glass);
  painter.drawPath(OutlinePath(shape.sideCanopy));
  if (shape.nozzleStart > 0) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(58, 55, 52));
    painter.drawRect(QRectF(shape.nozzleStart, -0.85, 0.85, 0.8));
  }
}

}  // namespace

void PaintPlaneProfile(QPainter& painter, const AircraftShape& shape, QPointF nose, double pixelsPerMetre,
                       double pitchDegrees, bool facingRight, Rgb paint, bool selfShadows,
                       double viewElevationDegrees) {
  PlaneLook look{paint,
                 selfShadows ? paint * 0.55 : paint * 0.85,
                 selfShadows ? paint * 0.92 : paint,
                 std::sin(viewElevationDegrees * std::numbers::pi / 180.0),
                 0.0,
                 QPen(ToColor(paint * 0.35, 0.9), 0.8)};
  for (QPointF p : shape.sideWing) look.wingHeight += p.y() / shape.sideWing.size();
  look.outline.setCosmetic(true);
  painter.save();
  painter.translate(nose);
  painter.rotate(facingRight ? -pitchDegrees : pitchDegrees);
  painter.scale(facingRight ? -pixelsPerMetre : pixelsPerMetre, -pixelsPerMetre);
  PaintFarSide(painter, shape, look);
  PaintNearSide(painter, shape, look, selfShadows);
  PaintNoseGlassAndNozzle(painter, shape, look);
  painter.restore();
}

void PaintObjects(QImage& image, const Camera& camera, const SceneObjects& objects, const Sunlight& sun) {
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  if (sun.groundShadows && sun.density > 0) {
    QImage shadows(image.size(), QImage::Format_ARGB32_Premultiplied);
    shadows.fill(Qt::transparent);
    {
      QPainter shadowPainter(&shadows);
      shadowPainter.setRenderHint(QPainter::Antialiasing);
      PaintGroundShadows(shadowPainter, camera, objects, sun);
    }
    Blur(shadows, sun.softness);
    painter.setOpacity(sun.density);
    painter.drawImage(0, 0, shadows);
    painter.setOpacity(1.0);
  }
  struct Item {
    double depth;
    int kind;
    std::size_t index;
  };
  std::vector<Item> items;
  for (std::size_t i = 0; i < objects.blocks.size(); ++i)
    items.push_back({(objects.blocks[i].z0 + objects.blocks[i].z1) / 2, 0, i});
  for (std::size_t i = 0; i < objects.trees.size(); ++i) items.push_back({objects.trees[i].z, 1, i});
  for (std::size_t i = 0; i < objects.planes.size(); ++i) items.push_back({objects.planes[i].nose.z, 2, i});
  std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.depth > b.depth; });
  for (const Item& item : items) {
    if (item.kind == 0) PaintBlock(painter, camera, objects.blocks[item.index], sun);
    if (item.kind == 1) PaintTree(painter, camera, objects.trees[item.index], sun);
    if (item.kind == 2) PaintPlane(painter, camera, objects.planes[item.index], sun);
  }
}

}  // namespace kesta::pictures
