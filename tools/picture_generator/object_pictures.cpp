// Things on the ground and in the air: effects, shadows, scenery density, exhaust smoke and traffic.

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "aircraft_shapes.h"
#include "paint_kit.h"
#include "pictures.h"
#include "scene_objects.h"

namespace kesta::pictures {

namespace {

Ground Fields(const Sky& sky, double visibility, std::uint32_t seed) {
  Ground ground;
  ground.colour = [seed](double x, double z, double footprint) { return Farmland(x, z, footprint, seed); };
  ground.haze = sky.horizon;
  ground.visibility = visibility;
  return ground;
}

// A soft round cloud of smoke, brighter on the side the light comes from.
void Puff(QPainter& painter, QPointF centre, double radius, Rgb colour, double alpha,
          QPointF lit = {-0.3, -0.4}) {
  QRadialGradient puff(centre, radius, centre + QPointF(lit.x() * radius, lit.y() * radius));
  puff.setColorAt(0.0, ToColor(colour * 1.18, alpha));
  puff.setColorAt(0.6, ToColor(colour, alpha * 0.8));
  puff.setColorAt(1.0, ToColor(colour * 0.85, 0.0));
  painter.setBrush(puff);
  painter.drawEllipse(centre, radius, radius);
}

void Fireball(QPainter& painter, QPointF centre, double radius, double alpha = 1.0) {
  QRadialGradient fire(centre, radius);
  fire.setColorAt(0.0, QColor(255, 250, 215, int(255 * alpha)));
  fire.setColorAt(0.3, QColor(255, 200, 80, int(235 * alpha)));
  fire.setColorAt(0.65, QColor(235, 95, 25, int(160 * alpha)));
  fire.setColorAt(1.0, QColor(120, 40, 10, 0));
  painter.setBrush(fire);
  painter.drawEllipse(centre, radius, radius * 0.9);
}

// A column of smoke rising from `base` and drifting with the wind.
void SmokeColumn(QPainter& painter, QPointF base, int puffs, double width, double height, Rgb colour,
                 double alpha, std::uint32_t seed) {
  for (int i = puffs - 1; i >= 0; --i) {
    const double t = double(i) / std::max(puffs - 1, 1);
    const double jitter = (Random01(i, 0, seed) - 0.5) * width * 0.5;
    const QPointF centre = base + QPointF(t * t * width * 2.2 + jitter, -t * height);
    Puff(painter, centre, width * (0.35 + 0.75 * t), colour * (0.8 + 0.3 * t), alpha * (1.0 - 0.55 * t));
  }
}

struct Explosion {
  Vec3 where;
  double size;  // metres
};

void PaintExplosion(QPainter& painter, const Camera& camera, const Explosion& blast, int level,
                    std::uint32_t seed) {
  const QPointF base = camera.Project(blast.where);
  const double px = camera.Scale(blast.where.z) * blast.size;
  painter.setPen(Qt::NoPen);
  if (level >= 2) {  // scorched ground
    painter.setBrush(QColor(30, 25, 20, 150));
    painter.drawEllipse(base, px * 1.3, px * 0.3);
  }
  if (level >= 3) {  // dust thrown out along the ground
    for (int i = 0; i < 10; ++i) {
      const double a = i * std::numbers::pi / 5.0;
      Puff(painter, base + QPointF(std::cos(a) * px * 1.5, std::sin(a) * px * 0.25), px * 0.45, Hex(0x8f7d62),
           0.55);
    }
  }
  if (level >= 1) {
    const int puffs = level == 1 ? 7 : level == 2 ? 14 : 24;
    const double tall = level == 1 ? 2.2 : level == 2 ? 3.6 : 5.0;
    SmokeColumn(painter, base - QPointF(0, px * 0.4), puffs, px * 1.0, px * tall,
                level >= 3 ? Hex(0x3a3835) : Hex(0x57534f), level >= 3 ? 0.95 : 0.8, seed);
  }
  const double fire = level == 0 ? 0.35 : level == 1 ? 0.7 : level == 2 ? 0.9 : 1.1;
  Fireball(painter, base - QPointF(0, px * 0.35), px * fire);
  if (level >= 2) {  // debris thrown up
    painter.setPen(QPen(QColor(40, 35, 30), 1.0));
    for (int i = 0; i < 9 + level * 4; ++i) {
      const double a = std::numbers::pi * (0.12 + 0.76 * Random01(i, 1, seed));
      const double r = px * (1.0 + 1.6 * Random01(i, 2, seed));
      const QPointF tip = base + QPointF(std::cos(a) * r, -std::sin(a) * r);
      painter.drawLine(tip, tip + QPointF(std::cos(a) * 2.5, -std::sin(a) * 2.5));
    }
    painter.setPen(Qt::NoPen);
  }
  if (level >= 3) {  // sparks
    for (int i = 0; i < 40; ++i) {
      const double a = std::numbers::pi * (0.05 + 0.9 * Random01(i, 3, seed));
      const double r = px * (0.4 + 2.2 * Random01(i, 4, seed));
      painter.setBrush(QColor(255, 220, 120, 230));
      painter.drawEllipse(base + QPointF(std::cos(a) * r, -std::sin(a) * r * 0.9), 0.8, 0.8);
    }
  }
}

std::vector<Block> Houses(int count, double xSpan, double zNear, double zFar, std::uint32_t seed) {
  std::vector<Block> houses;
  static const Rgb kWalls[] = {Hex(0xe6dfd0), Hex(0xd8cbb0), Hex(0xc9c3b8), Hex(0xe9e4da), Hex(0xb9ad98)};
  static const Rgb kRoofs[] = {Hex(0x9a4a3a), Hex(0x7d3b30), Hex(0x6a6e73), Hex(0xa85c40)};
  for (int i = 0, tries = 0; static_cast<int>(houses.size()) < count && tries < count * 40; ++tries) {
    const double x = (Random01(tries, 0, seed) - 0.5) * 2.0 * xSpan;
    const double z = zNear + Random01(tries, 1, seed) * (zFar - zNear);
    if (Fbm(x / 500.0, z / 500.0, seed + 7, 3) < 0.48) continue;  // houses gather in villages
    const double w = 7 + Random01(tries, 2, seed) * 8, d = 7 + Random01(tries, 3, seed) * 6;
    const double h = 5 + Random01(tries, 4, seed) * 5;
    houses.push_back({x, z, x + w, z + d, h, kWalls[(i + tries) % 5], kRoofs[tries % 4]});
    ++i;
  }
  return houses;
}

std::vector<Tree> Trees(int count, double xSpan, double zNear, double zFar, std::uint32_t seed) {
  std::vector<Tree> trees;
  for (int i = 0; i < count; ++i) {
    const double x = (Random01(i, 5, seed) - 0.5) * 2.0 * xSpan;
    const double z = zNear + Random01(i, 6, seed) * (zFar - zNear);
    const double h = 7 + Random01(i, 7, seed) * 8;
    const Rgb leaves = Mix(Hex(0x3d5a2a), Hex(0x5d7434), Random01(i, 8, seed));
    trees.push_back({x, z, h, h * 0.32, leaves});
  }
  return trees;
}

}  // namespace

QImage DrawEffectOptions(int level) {
  QImage image = NewPicture();
  Camera camera{.altitude = 55, .horizon = 44, .focal = 330};
  Sky sky;
  sky.clouds = 0.25;
  Ground ground = Fields(sky, 30000, 116);
  ground.ridges = {Ridge{14000, 800, 3600, Hex(0x55614d), 1e9, 111}};
  PaintScene(image, camera, sky, ground);
  SceneObjects objects;
  objects.blocks = Houses(30, 420, 380, 1400, 112);
  objects.trees = Trees(50, 420, 300, 1400, 113);
  PaintObjects(image, camera, objects, Sunlight{});
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  if (level >= 1) PaintExplosion(painter, camera, {{190, 0, 900}, 22}, std::max(level - 1, 0), 115);
  PaintExplosion(painter, camera, {{-35, 0, 330}, 21}, level, 114);
  painter.end();
  FinishPicture(image);
  return image;
}

namespace {

QImage Airfield(const Sunlight& sun) {
  QImage image = NewPicture();
  Camera camera{.altitude = 18, .horizon = 34, .focal = 330};
  Sky sky;
  sky.sun = Normalize(sun.direction * -1.0);
  sky.clouds = 0.2;
  Ground ground = Fields(sky, 25000, 124);
  ground.colour = [](double x, double z, double footprint) {
    const bool apron = std::abs(x) < 170 && z > 30 && z < 430;
    if (!apron) return Farmland(x, z, footprint) * 1.05;
    const double joint = std::min(std::abs(std::remainder(x, 7.5)), std::abs(std::remainder(z, 7.5)));
    const double seam =
        SmoothStep(0.12 + footprint * 0.5, 0.0, joint) * Clamp01(1.2 - footprint / 2.0) * 0.35;
    Rgb concrete = Hex(0xa3a49f) * (0.9 + 0.18 * Fbm(x / 12.0, z / 12.0, 121, 4, footprint / 12.0));
    const double line = SmoothStep(0.35 + footprint * 0.5, 0.0, std::abs(x - 2.0)) * (z > 60 ? 1.0 : 0.0);
    concrete = Mix(concrete, Hex(0xd9b842), line);
    return Mix(concrete, concrete * 0.7, seam);
  };
  ground.ridges = {Ridge{9000, 420, 2400, Hex(0x56624f), 1e9, 122}};
  PaintScene(image, camera, sky, ground);

  SceneObjects objects;
  objects.blocks = {{-165, 250, -85, 310, 17, Hex(0xb9b3a5), Hex(0x8a8f92), Block::kHangar},
                    {75, 290, 160, 345, 15, Hex(0xc2bcae), Hex(0x7f8589), Block::kHangar},
                    {-22, 380, -8, 394, 26, Hex(0xdcd6ca), Hex(0x6f7479)},
                    {48, 112, 50.5, 121, 3, Hex(0x56613f), Hex(0x6c7750), Block::kVehicle}};
  for (int i = 0; i < 34; ++i)
    objects.trees.push_back({-320.0 + i * 19.0 + Random01(i, 0, 123) * 8.0, 470 + Random01(i, 1, 123) * 30.0,
                             9 + Random01(i, 2, 123) * 5, 3.4 + Random01(i, 3, 123) * 1.4,
                             Mix(Hex(0x3d5a2a), Hex(0x5b7236), Random01(i, 4, 123))});
  objects.planes = {{&AircraftShapeNamed("Su-27"), {18, 1.8, 78}, true, 0, Hex(0x9aaabb)},
                    {&AircraftShapeNamed("MiG-29"), {-70, 1.6, 160}, false, 0, Hex(0x8f9aa3)}};
  PaintObjects(image, camera, objects, sun);
  FinishPicture(image);
  return image;
}

}  // namespace

QImage DrawShadowLevel(int level) {
  Sunlight sun;
  sun.groundShadows = level >= 1;
  sun.aircraftShadowsOnly = level == 1;
  sun.softness = level == 1 ? 3 : level == 2 ? 0 : 1;
  sun.selfShadows = level >= 3;
  sun.density = 0.62;
  return Airfield(sun);
}

QImage DrawShadowDensity(int tenths) {
  Sunlight sun;
  sun.density = 0.2 + 0.065 * tenths;
  return Airfield(sun);
}

QImage DrawScenes(int level) {
  static constexpr int kHouses[] = {14, 60, 190};
  static constexpr int kTrees[] = {25, 110, 330};
  const int index = std::clamp(level, 0, 2);
  QImage image = NewPicture();
  Camera camera{.altitude = 70, .horizon = 34, .focal = 330};
  Sky sky;
  sky.clouds = 0.3;
  Ground ground = Fields(sky, 28000, 134);
  ground.ridges = {Ridge{12000, 650, 3000, Hex(0x55614d), 1e9, 131}};
  PaintScene(image, camera, sky, ground);
  SceneObjects objects;
  objects.blocks = Houses(kHouses[index], 600, 170, 1500, 132);
  objects.trees = Trees(kTrees[index], 600, 140, 1500, 133);
  PaintObjects(image, camera, objects, Sunlight{});
  FinishPicture(image);
  return image;
}

namespace {

struct Flight {
  QPointF nose;
  double scale, pitch;
};

// Dark trails from the engines, widening and fading behind the aircraft.
QImage SmokeTrails(QSize size, const AircraftShape& shape, const std::array<Flight, 2>& flights) {
  QImage smoke(size, QImage::Format_ARGB32_Premultiplied);
  smoke.fill(Qt::transparent);
  QPainter trail(&smoke);
  trail.setRenderHint(QPainter::Antialiasing);
  trail.setPen(Qt::NoPen);
  for (const Flight& f : flights) {
    const double pitch = f.pitch * std::numbers::pi / 180.0, behind = (shape.nozzleStart + 0.5) * f.scale;
    const QPointF nozzle =
        f.nose + QPointF(-behind * std::cos(pitch), behind * std::sin(pitch) + 0.4 * f.scale);
    const double length = 60.0 * f.scale;
    for (int i = 160; i >= 0; --i) {
      const double t = i / 160.0;
      const QPointF at =
          nozzle + QPointF(-t * length, t * length * std::tan(pitch) + std::sin(t * 7.0) * f.scale * 0.4);
      Puff(trail, at, f.scale * (0.3 + 1.6 * t), Hex(0x5a5652), 0.45 * std::pow(1.0 - t, 1.5));
    }
  }
  trail.end();
  Blur(smoke, 1);
  return smoke;
}

}  // namespace

QImage DrawExhaust(int level) {
  QImage image = NewPicture();
  Camera camera{.altitude = 900, .horizon = 62, .focal = 330};
  Sky sky;
  sky.sun = Normalize({0.4, 0.35, 1.0});
  sky.clouds = 0.4;
  Ground ground = Fields(sky, 60000, 144);
  ground.ridges = {Ridge{30000, 2400, 7000, Hex(0x6b7282), 1800, 141}};
  PaintScene(image, camera, sky, ground);
  const AircraftShape& shape = AircraftShapeNamed("MiG-29");
  const std::array<Flight, 2> flights{Flight{{200, 40}, 4.2, 2}, Flight{{398, 56}, 7.5, 6}};
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  if (level >= 1) painter.drawImage(0, 0, SmokeTrails(image.size(), shape, flights));
  for (const Flight& f : flights)
    PaintPlaneProfile(painter, shape, f.nose, f.scale, f.pitch, true, Hex(0x8c9aa6));
  painter.end();
  FinishPicture(image);
  return image;
}

namespace {

double RoadX(double z) { return -46.0 + 0.1 * z; }

// A motorway through the fields: two carriageways with lane markings, a green strip between them.
Rgb Motorway(double x, double z, double footprint) {
  const double a = std::abs(x - RoadX(z));
  if (a > 19.0) return Farmland(x, z, footprint, 156);
  if (a > 16.0) return Hex(0x9a9484) * (0.9 + 0.2 * Fbm(x / 3, z / 3, 151, 3, footprint / 3));
  if (a < 1.5) return Hex(0x7c8a56);
  const Rgb asphalt = Hex(0x4c4e51) * (0.92 + 0.14 * Fbm(x / 6, z / 6, 152, 3, footprint / 6));
  const double fade = Clamp01(1.4 - footprint / 2.0);
  const auto paint = [&](double centre, double width, bool dashed) {
    const double on = dashed ? (std::fmod(z, 18.0) < 6.0 ? 1.0 : 0.0) : 1.0;
    return SmoothStep(width + footprint * 0.4, 0.0, std::abs(a - centre)) * on * fade;
  };
  const double marking = std::max({paint(1.8, 0.12, false), paint(15.6, 0.12, false), paint(8.7, 0.1, true)});
  return Mix(asphalt, Hex(0xe9e9e4), marking);
}

std::vector<Block> Vehicles() {
  static const Rgb kPaints[] = {Hex(0xb3261e), Hex(0xe8e8e8), Hex(0x2b4c8c), Hex(0xa7adb3),
                                Hex(0x202226), Hex(0xd9b23a), Hex(0x3f6b3a)};
  std::vector<Block> vehicles;
  for (int i = 0; i < 18; ++i) {
    const double z = 60.0 + i * 38.0 + Random01(i, 0, 155) * 20.0;
    const bool truck = Random01(i, 1, 155) < 0.22;
    const double lane = (i % 2 ? 1.0 : -1.0) * (Random01(i, 2, 155) < 0.5 ? 5.2 : 12.0);
    const double x = RoadX(z) + lane - 0.9;
    const double length = truck ? 12.0 : 4.4, width = truck ? 2.5 : 1.8, height = truck ? 3.6 : 1.45;
    const Rgb paint = truck ? Hex(0xd8d6cf) : kPaints[i % 7];
    vehicles.push_back({x, z, x + width, z + length, height, paint, paint * 1.1, Block::kVehicle});
  }
  return vehicles;
}

}  // namespace

QImage DrawCivilTraffic(int level) {
  QImage image = NewPicture();
  Camera camera{.altitude = 30, .horizon = 30, .focal = 330};
  Sky sky;
  sky.clouds = 0.3;
  Ground ground = Fields(sky, 25000, 156);
  ground.colour = Motorway;
  ground.ridges = {Ridge{10000, 500, 2600, Hex(0x55614d), 1e9, 153}};
  PaintScene(image, camera, sky, ground);
  SceneObjects objects;
  objects.trees = Trees(30, 400, 250, 1200, 154);
  std::erase_if(objects.trees, [](const Tree& t) { return std::abs(t.x - RoadX(t.z)) < 26; });
  if (level >= 1) objects.blocks = Vehicles();
  PaintObjects(image, camera, objects, Sunlight{});
  FinishPicture(image);
  return image;
}

}  // namespace kesta::pictures
