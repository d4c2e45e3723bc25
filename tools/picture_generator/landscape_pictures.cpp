// Landscapes: the default picture, terrain textures, water, fog, visibility and night lights.

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "aircraft_shapes.h"
#include "paint_kit.h"
#include "pictures.h"
#include "scene_objects.h"

namespace kesta::pictures {

namespace {

double Lakes(double x, double z) { return SmoothStep(0.64, 0.68, Fbm(x / 1900.0, z / 1900.0, 21, 4)); }

Ground Countryside(const Sky& sky, double visibility) {
  Ground ground;
  ground.colour = [](double x, double z, double footprint) { return Farmland(x, z, footprint); };
  ground.haze = sky.horizon;
  ground.visibility = visibility;
  return ground;
}

Ridge Hills(double distance, double height, std::uint32_t seed) {
  return {distance, height, height * 4.5, Hex(0x55614d), 1e9, seed};
}

Ridge SnowyRange(double distance, double height, std::uint32_t seed) {
  return {distance, height, height * 3.2, Hex(0x6b7282), height * 0.72, seed};
}

// A dirt track crossing the fields: its edges show how sharp the ground is drawn.
Rgb WithTrack(Rgb field, double x, double z, double footprint) {
  const double offset = std::abs(x - (14.0 + 0.18 * z + 9.0 * std::sin(z / 70.0)));
  const double track = SmoothStep(3.2 + footprint * 0.5, 3.2 - footprint * 0.5, offset);
  const double ruts =
      1.0 - 0.25 * SmoothStep(0.5 + footprint, 0.0, std::abs(offset - 1.6)) * Clamp01(1.5 - footprint);
  return Mix(field, Hex(0x9c8a66) * ruts, track);
}

}  // namespace

QImage DrawGraphicsDefault() {
  QImage image = NewPicture();
  Camera camera{.altitude = 1400, .horizon = 60, .focal = 330};
  Sky sky;
  sky.zenith = Hex(0x285a9c);
  sky.horizon = Hex(0xd9e2ea);
  sky.sun = Normalize({0.75, 0.2, 1.0});
  sky.sunColour = Hex(0xffe2b5);
  sky.clouds = 0.32;
  Ground ground = Countryside(sky, 55000);
  ground.water = Lakes;
  ground.ridges = {Hills(12000, 800, 31), SnowyRange(34000, 2600, 32)};
  PaintScene(image, camera, sky, ground);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const AircraftShape& flanker = AircraftShapeNamed("Su-27");
  PaintPlaneProfile(painter, flanker, {118, 44}, 3.2, 3.0, true, Hex(0x8596a8));
  PaintPlaneProfile(painter, flanker, {372, 70}, 10.5, 5.0, true, Hex(0x8e9fb1));
  painter.end();
  FinishPicture(image);
  return image;
}

QImage DrawTextures() {
  QImage image = NewPicture();
  Camera camera{.altitude = 260, .horizon = 36, .focal = 320};
  Sky sky;
  sky.clouds = 0.2;
  Ground ground = Countryside(sky, 30000);
  // Ground detail steps down at two distances, as the texture-sharpness distances set it.
  ground.colour = [](double x, double z, double footprint) {
    const double distance = std::hypot(x, z);
    const double blur = distance < 1500 ? 0.0 : distance < 4000 ? 6.0 : 22.0;
    return WithTrack(Farmland(x, z, std::max(footprint, blur)), x, z, std::max(footprint, blur));
  };
  ground.ridges = {Hills(16000, 900, 41)};
  PaintScene(image, camera, sky, ground);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  for (double radius : {1500.0, 4000.0}) {
    QPainterPath ring;
    for (int i = 0; i <= 60; ++i) {
      const double a = (i / 60.0 - 0.5) * 2.2;
      const QPointF p = camera.Project({radius * std::sin(a), 0, radius * std::cos(a)});
      i == 0 ? ring.moveTo(p) : ring.lineTo(p);
    }
    painter.setPen(QPen(QColor(255, 240, 170, 90), 1.0));
    painter.drawPath(ring);
  }
  painter.end();
  FinishPicture(image);
  return image;
}

QImage DrawTextureLevel(int level) {
  QImage image = NewPicture();
  Camera camera{.altitude = 45, .horizon = 30, .focal = 300};
  Sky sky;
  Ground ground = Countryside(sky, 26000);
  ground.colour = [level](double x, double z, double footprint) {
    if (level <= 0) {  // coarse texels, no filtering
      const double cell = 12.0;
      x = (std::floor(x / cell) + 0.5) * cell;
      z = (std::floor(z / cell) + 0.5) * cell;
      footprint = std::max(footprint, cell);
    } else if (level == 1) {
      footprint = std::max(footprint, 7.0);
    }
    Rgb colour = WithTrack(Farmland(x, z, footprint), x, z, footprint);
    if (level >= 2) colour = colour * (0.8 + 0.4 * Fbm(x / 0.9, z / 0.9, 55, 4, footprint / 0.9));
    return colour;
  };
  ground.ridges = {Hills(9000, 500, 51)};
  PaintScene(image, camera, sky, ground);
  FinishPicture(image);
  return image;
}

QImage DrawWaterQuality(int level) {
  QImage image = NewPicture();
  Camera camera{.altitude = 140, .horizon = 50, .focal = 320};
  Sky sky;
  sky.sun = Normalize({0.28, 0.16, 1.0});
  sky.sunColour = Hex(0xfff0d0);
  sky.clouds = 0.25;
  Ground ground = Countryside(sky, 60000);
  ground.waterQuality = level;
  ground.waterColour = Hex(0x1a4866);
  ground.water = [](double x, double z) {
    const double coast = -330.0 - 0.12 * z + (Fbm(0.3, z / 900.0, 61, 5) - 0.5) * 700.0;
    return SmoothStep(coast - 30.0, coast + 30.0, x);
  };
  ground.ridges = {SnowyRange(26000, 1700, 62)};
  PaintScene(image, camera, sky, ground);
  FinishPicture(image);
  return image;
}

namespace {

// Fog over an already painted scene. The simple kind is one flat colour growing in steps with distance
// and leaves the sky clear, so that hills stand out against it; the fine kind grows smoothly, lies
// thicker in low mist, is lit by the sun and melts into the sky at the horizon.
void ApplyFog(QImage& image, const Camera& camera, const Sky& sky, const std::vector<double>& distances,
              bool fine) {
  constexpr double kVisibility = 7000.0;
  const int width = image.width(), height = image.height();
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const QColor c = QColor::fromRgb(line[x]);
      const Rgb pixel{c.redF(), c.greenF(), c.blueF()};
      const Vec3 ray = camera.Ray(x + 0.5, y + 0.5);
      const double d = distances[y * width + x];
      double fog = 0.0;
      Rgb tint = Hex(0xb5babf);
      if (!fine) {
        // By depth along the view, not by distance, as simple fog does.
        if (!std::isinf(d)) fog = std::floor(Clamp01(d * ray.z / kVisibility * 1.1) * 6.0) / 6.0;
      } else {
        const double t = std::isinf(d) ? 1e6 : d;
        const double mist = ray.y < 0 ? Fbm(ray.x * t / 900.0, ray.z * t / 900.0, 71, 4) : 0.4;
        fog = std::isinf(d) ? SmoothStep(0.16, 0.0, ray.y) : FogAmount(t * (0.7 + mist * 0.9), kVisibility);
        const double sunward = std::pow(std::max(Dot(ray, sky.sun), 0.0), 4.0);
        tint = Mix(Hex(0xaeb7c2), Hex(0xf0dcc0), sunward * 0.8);
      }
      line[x] = ToQRgb(Mix(pixel, tint, Clamp01(fog)));
    }
  }
}

}  // namespace

QImage DrawFogQuality(int level) {
  QImage image = NewPicture();
  Camera camera{.altitude = 320, .horizon = 46, .focal = 320};
  Sky sky;
  sky.sun = Normalize({-0.45, 0.14, 1.0});
  sky.sunColour = Hex(0xffe8c8);
  sky.clouds = 0.15;
  Ground ground = Countryside(sky, 1e9);
  ground.ridges = {Hills(2600, 420, 72), Hills(5200, 800, 73), SnowyRange(9000, 1400, 74)};
  std::vector<double> distances;
  PaintScene(image, camera, sky, ground, &distances);
  ApplyFog(image, camera, sky, distances, level >= 1);
  FinishPicture(image);
  return image;
}

QImage DrawVisibilityRange(int level) {
  static constexpr double kVisibility[] = {9000.0, 26000.0, 170000.0};
  QImage image = NewPicture();
  Camera camera{.altitude = 800, .horizon = 52, .focal = 320};
  Sky sky;
  sky.clouds = 0.2;
  const int index = std::clamp(level, 0, 2);
  sky.horizon = Mix(Hex(0xc9cfd4), Hex(0xc4d9ea), index / 2.0);
  Ground ground = Countryside(sky, kVisibility[index]);
  ground.water = Lakes;
  ground.ridges = {Hills(11000, 700, 81), Hills(24000, 1500, 82), SnowyRange(55000, 3400, 83)};
  PaintScene(image, camera, sky, ground);
  FinishPicture(image);
  return image;
}

namespace {

struct CityLight {
  Vec3 position;
  Rgb colour;
};

// How built-up the ground is: a town with ragged edges and a few villages around it.
double Town(double x, double z) {
  const double ragged = (Fbm(x / 700.0, z / 700.0, 305, 4) - 0.5) * 0.9;
  double density = SmoothStep(1.0, 0.35, std::hypot((x - 250.0) / 2300.0, (z - 2900.0) / 1500.0) + ragged);
  static constexpr double kVillages[][2] = {{-1900, 2100}, {1700, 1700}, {-2600, 7600}, {3600, 4200}};
  for (const auto& v : kVillages)
    density = std::max(density, SmoothStep(1.0, 0.4, std::hypot(x - v[0], z - v[1]) / 380.0 + ragged));
  return density;
}

// Street lights along the streets of the town and a main road leading to it.
std::vector<CityLight> StreetLights() {
  std::vector<CityLight> lights;
  const double c = std::cos(0.42), s = std::sin(0.42);
  for (int i = -60; i <= 60; ++i)
    for (int j = -90; j <= 90; ++j) {
      const bool alongFirst = Random01(i, j, 306) < 0.5;
      const double u = alongFirst ? i * 95.0 + (j % 3) * 32.0 : i * 95.0 + 47.0;
      const double v = alongFirst ? j * 95.0 + 47.0 : j * 95.0 + (i % 3) * 32.0;
      const double x = 250.0 + u * c - v * s, z = 2900.0 + u * s + v * c;
      if (z < 500 || Random01(i, j, 301) > Town(x, z)) continue;
      const double pick = Random01(i, j, 302);
      const Rgb colour = pick < 0.62 ? Hex(0xffb45a) : pick < 0.9 ? Hex(0xfff1d6) : Hex(0xbfd8ff);
      lights.push_back({{x, 6, z}, colour});
    }
  for (int k = 0; k < 160; ++k) {  // the main road
    const double z = 500.0 + k * 30.0;
    const double x = -900.0 + k * 7.0 + 120.0 * std::sin(z / 900.0);
    for (double side : {-9.0, 9.0}) lights.push_back({{x + side, 8, z}, Hex(0xffc070)});
  }
  return lights;
}

void PaintLights(QPainter& painter, const Camera& camera, int level) {
  for (const CityLight& light : StreetLights()) {
    if (level <= 0 && Random01(int(light.position.x), int(light.position.z), 304) > 0.18) continue;
    const QPointF p = camera.Project(light.position);
    if (p.x() < -2 || p.x() > camera.width + 2 || p.y() < 0 || p.y() > camera.height + 2) continue;
    const double size = std::clamp(camera.Scale(light.position.z) * 2.2, 0.7, 2.6);
    const double alpha = level <= 0 ? 0.45 : std::clamp(0.5 + size * 0.4, 0.0, 1.0);
    painter.setBrush(ToColor(level <= 0 ? Hex(0xc9a46a) : light.colour, alpha));
    painter.drawEllipse(p, size * 0.6, size * 0.6);
  }
}

// Pools of light on the streets near the viewer.
void PaintLightPools(QPainter& painter, const Camera& camera) {
  for (const CityLight& light : StreetLights()) {
    if (light.position.z > 2600) continue;
    const QPointF centre = camera.Project({light.position.x, 0, light.position.z});
    const double rx = 16.0 * camera.Scale(light.position.z);
    const double ry = rx * camera.altitude / light.position.z;
    QRadialGradient pool(centre, rx);
    pool.setColorAt(0, ToColor(light.colour * 0.9, 0.22));
    pool.setColorAt(1, ToColor(light.colour, 0.0));
    painter.setBrush(pool);
    painter.drawEllipse(centre, rx, std::max(ry, 0.6));
  }
}

void PaintRunwayAndAircraft(QPainter& painter, const Camera& camera) {
  for (int k = 0; k < 40; ++k) {  // approach and edge lights of a runway left of the city
    const double z = 900.0 + k * 60.0;
    for (double x : {-640.0, -600.0}) {
      const QPointF p = camera.Project({x - k * 9.0, 1, z});
      painter.setBrush(ToColor(k < 3 ? Hex(0xff4040) : Hex(0xf4f8ff)));
      painter.drawEllipse(p, 0.9, 0.9);
    }
  }
  const AircraftShape& shape = AircraftShapeNamed("MiG-29");
  const QPointF nose(122, 34);
  const double scale = 3.6;
  QPolygonF beam{nose + QPointF(-3, 2), nose + QPointF(118, 96), nose + QPointF(70, 101)};
  QLinearGradient glow(nose, nose + QPointF(100, 98));
  glow.setColorAt(0, QColor(255, 250, 230, 60));
  glow.setColorAt(1, QColor(255, 250, 230, 0));
  painter.setBrush(glow);
  painter.drawPolygon(beam);
  PaintPlaneProfile(painter, shape, nose, scale, -6.0, true, Hex(0x161b22), false);
  painter.setBrush(QColor(255, 70, 60));  // navigation light on the near wing tip
  painter.drawEllipse(nose + QPointF(-12.2 * scale, 1.6 * scale), 1.4, 1.4);
  painter.setBrush(QColor(255, 255, 255));  // tail light
  painter.drawEllipse(nose + QPointF(-16.8 * scale, -1.0 * scale), 1.2, 1.2);
}

}  // namespace

namespace {

// Lights on a layer of their own: the halos are the same layer spread out and added.
QImage LightLayer(QSize size, const Camera& camera, int level) {
  QImage lights(size, QImage::Format_ARGB32_Premultiplied);
  lights.fill(Qt::transparent);
  QPainter painter(&lights);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  if (level >= 2) {  // the town lights up the haze above it
    const QPointF town = camera.Project({250, 0, 2900});
    painter.save();
    painter.translate(town);
    painter.scale(1.0, 0.22);
    QRadialGradient haze(QPointF(0, 0), 230);
    haze.setColorAt(0, QColor(255, 170, 90, 55));
    haze.setColorAt(1, QColor(255, 170, 90, 0));
    painter.setBrush(haze);
    painter.drawEllipse(QPointF(0, 0), 230, 230);
    painter.restore();
    PaintLightPools(painter, camera);
  }
  PaintLights(painter, camera, level);
  if (level >= 2) PaintRunwayAndAircraft(painter, camera);
  return lights;
}

}  // namespace

QImage DrawLightsLevel(int level) {
  QImage image = NewPicture();
  Camera camera{.altitude = 320, .horizon = 40, .focal = 320};
  Sky sky;
  sky.zenith = Hex(0x04060d);
  sky.horizon = Hex(0x1b2438);
  sky.sun = Normalize({-0.62, 0.08, 1.0});  // the moon
  sky.sunColour = Hex(0xd5ddeb);
  sky.sunGlow = 0.12;
  sky.stars = 0.9;
  Ground ground;
  ground.colour = [](double x, double z, double footprint) {
    return Farmland(x, z, footprint) * 0.07 + Hex(0x06090f);
  };
  ground.haze = Hex(0x141b2a);
  ground.visibility = 30000;
  ground.ridges = {Ridge{18000, 700, 3000, Hex(0x0d111a), 1e9, 91}};
  PaintScene(image, camera, sky, ground);
  const QImage lights = LightLayer(image.size(), camera, level);
  QPainter painter(&image);
  painter.drawImage(0, 0, lights);
  if (level >= 1) {
    QImage halo = lights;
    Blur(halo, level >= 2 ? 3 : 1);
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    painter.setOpacity(level >= 2 ? 0.9 : 0.35);
    painter.drawImage(0, 0, halo);
  }
  painter.end();
  FinishPicture(image);
  return image;
}

void FinishPicture(QImage& image) {
  const double cx = image.width() / 2.0, cy = image.height() / 2.0;
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const double dx = (x - cx) / cx, dy = (y - cy) / cy;
      const double k = 1.0 - 0.16 * SmoothStep(0.35, 1.6, dx * dx * 0.8 + dy * dy * 0.5);
      const QColor c = QColor::fromRgb(line[x]);
      line[x] = qRgb(int(c.red() * k), int(c.green() * k), int(c.blue() * k));
    }
  }
}

}  // namespace kesta::pictures
