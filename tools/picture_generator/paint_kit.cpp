#include "paint_kit.h"

#include <QColor>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "ui/preview_pictures.h"

namespace kesta::pictures {

Rgb Hex(std::uint32_t rgb) {
  return {((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0};
}

Rgb Mix(Rgb a, Rgb b, double t) { return a * (1.0 - t) + b * t; }

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

QColor ToColor(Rgb c, double alpha) {
  return QColor::fromRgbF(static_cast<float>(Clamp01(c.r)), static_cast<float>(Clamp01(c.g)),
                          static_cast<float>(Clamp01(c.b)), static_cast<float>(Clamp01(alpha)));
}

QRgb ToQRgb(Rgb c) {
  const auto channel = [](double v) { return static_cast<int>(std::lround(Clamp01(v) * 255.0)); };
  return qRgb(channel(c.r), channel(c.g), channel(c.b));
}

double SmoothStep(double edge0, double edge1, double v) {
  const double t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3.0 - 2.0 * t);
}

std::uint32_t Hash(int x, int y, std::uint32_t seed) {
  std::uint32_t h = seed * 0x9e3779b9u ^ static_cast<std::uint32_t>(x) * 0x85ebca6bu ^
                    static_cast<std::uint32_t>(y) * 0xc2b2ae35u;
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  h ^= h >> 16;
  return h;
}

double Random01(int x, int y, std::uint32_t seed) { return Hash(x, y, seed) / 4294967296.0; }

double ValueNoise(double x, double y, std::uint32_t seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  double tx = x - fx, ty = y - fy;
  tx = tx * tx * (3.0 - 2.0 * tx);
  ty = ty * ty * (3.0 - 2.0 * ty);
  const double a = Random01(ix, iy, seed), b = Random01(ix + 1, iy, seed);
  const double c = Random01(ix, iy + 1, seed), d = Random01(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double Fbm(double x, double y, std::uint32_t seed, int octaves, double footprint) {
  double sum = 0.0, amplitude = 0.5, frequency = 1.0, total = 0.0;
  for (int octave = 0; octave < octaves; ++octave) {
    const double keep = Clamp01(2.0 - 2.0 * frequency * footprint);
    const double value = keep > 0.0 ? ValueNoise(x * frequency, y * frequency, seed + octave * 101u) : 0.5;
    sum += amplitude * (0.5 + (value - 0.5) * keep);
    total += amplitude;
    amplitude *= 0.5;
    frequency *= 2.03;
  }
  return sum / total;
}

double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 Normalize(Vec3 v) {
  const double length = std::sqrt(Dot(v, v));
  return length > 0.0 ? v * (1.0 / length) : v;
}

Vec3 Camera::Ray(double px, double py) const {
  const double u = px - width / 2.0, v = horizon - py;
  const double c = std::cos(bank), s = std::sin(bank);
  return Normalize({c * u - s * v, s * u + c * v, focal});
}

QPointF Camera::Project(Vec3 world) const {
  const double depth = std::max(world.z, 0.1);
  const double u = focal * world.x / depth, v = focal * (world.y - altitude) / depth;
  const double c = std::cos(bank), s = std::sin(bank);
  return {width / 2.0 + c * u + s * v, horizon - (-s * u + c * v)};
}

double FogAmount(double distance, double visibility) { return 1.0 - std::exp(-3.0 * distance / visibility); }

namespace {

Rgb CloudLayer(const Sky& sky, Vec3 ray, Rgb behind) {
  if (sky.clouds <= 0.0 || ray.y < 0.004) return behind;
  const double t = 2000.0 / ray.y;
  const double x = ray.x * t, z = ray.z * t;
  const double footprint = t / (320.0 * ray.y) / 1600.0;
  const double density = Fbm(x / 1600.0, z / 1600.0, sky.seed + 40, 6, footprint);
  const double threshold = 0.62 - 0.3 * sky.clouds;
  const double cover = SmoothStep(threshold, threshold + 0.12, density);
  const double light = 0.78 + 0.22 * Fbm(x / 600.0 + 3.0, z / 600.0, sky.seed + 41, 4, footprint * 2.6);
  const Rgb cloud = Mix(Hex(0x9aa5b4), Mix(Hex(0xffffff), sky.sunColour, 0.3), light);
  const double fade = FogAmount(t, 90000.0);
  return Mix(behind, Mix(cloud, sky.horizon, fade), cover * (1.0 - fade * 0.7));
}

}  // namespace

Rgb SkyColour(const Sky& sky, Vec3 ray, bool withSun) {
  const double up = std::pow(Clamp01(ray.y / 0.45), 0.55);
  Rgb colour = Mix(sky.horizon, sky.zenith, up);
  const double facing = withSun ? std::max(Dot(ray, sky.sun), 0.0) : 0.0;
  colour =
      colour + sky.sunColour * (sky.sunGlow * (0.25 * std::pow(facing, 6.0) + 0.5 * std::pow(facing, 90.0)));
  colour = CloudLayer(sky, ray, colour);
  colour = Mix(colour, sky.sunColour * 1.4, sky.sunDisc * SmoothStep(0.99985, 0.99993, facing));
  if (sky.stars > 0.0 && ray.y > 0.02) {
    const int cx = static_cast<int>(std::floor(std::atan2(ray.x, ray.z) * 520.0));
    const int cy = static_cast<int>(std::floor(ray.y * 520.0));
    const double r = Random01(cx, cy, sky.seed + 90);
    if (r > 0.994) colour = colour + Rgb{0.8, 0.85, 1.0} * (sky.stars * (r - 0.994) / 0.006);
  }
  return colour;
}

namespace {

double RidgeHeight(const Ridge& ridge, double x, double footprint) {
  const double shape = Fbm(x / ridge.width, ridge.seed * 0.37, ridge.seed, 7, footprint / ridge.width);
  const double peaks = 1.0 - std::abs(2.0 * Fbm(x / (ridge.width * 0.45), 1.7, ridge.seed + 9, 5,
                                                footprint / ridge.width * 2.2) -
                                      1.0);
  return ridge.height * std::max((shape - 0.3) * 1.5 + peaks * 0.35, 0.0);
}

// A ridge's outline worked out once at the spacing of the picture's pixels, then read by interpolation:
// every pixel of a column asks for the same heights.
class RidgeOutline {
 public:
  RidgeOutline(const Ridge& ridge, double footprint, double halfWidth)
      : m_ridge(ridge), m_footprint(footprint), m_first(-halfWidth) {
    const std::size_t count =
        std::min<std::size_t>(static_cast<std::size_t>(2.0 * halfWidth / (footprint / 2.0)) + 2, 16384);
    m_step = 2.0 * halfWidth / static_cast<double>(count - 1);
    m_heights.resize(count);
    for (std::size_t i = 0; i < count; ++i)
      m_heights[i] = RidgeHeight(ridge, m_first + m_step * i, footprint);
  }

  double At(double x) const {
    const double position = (x - m_first) / m_step;
    if (position < 0.0 || position >= static_cast<double>(m_heights.size() - 1))
      return RidgeHeight(m_ridge, x, m_footprint);
    const auto i = static_cast<std::size_t>(position);
    const double t = position - static_cast<double>(i);
    return m_heights[i] + (m_heights[i + 1] - m_heights[i]) * t;
  }

 private:
  const Ridge& m_ridge;
  double m_footprint;
  double m_first;
  double m_step = 1.0;
  std::vector<double> m_heights;
};

class SceneRenderer {
 public:
  SceneRenderer(const Camera& camera, const Sky& sky, const Ground& ground)
      : m_camera(camera), m_sky(sky), m_ground(ground) {
    double widest = 0.0;  // the largest sideways slope of a ray through the picture
    for (double px : {0.0, camera.width})
      for (double py : {0.0, camera.height}) {
        const Vec3 ray = camera.Ray(px, py);
        widest = std::max(widest, std::abs(ray.x / ray.z));
      }
    for (const Ridge& ridge : ground.ridges) {
      const double footprint = ridge.distance / camera.focal, broad = ridge.width * 0.05;
      const double halfWidth = widest * ridge.distance * 1.1 + 2.0 * broad;
      m_outlines.emplace_back(ridge, footprint, halfWidth);
      m_smoothOutlines.emplace_back(ridge, broad, halfWidth);
    }
  }

  // What a ray meets, cheaply: 0 sky, 1 + ridge index, 100 land, 101 water.
  int Kind(Vec3 ray) const {
    const double slope = ray.y / ray.z;
    for (std::size_t i = 0; i < m_ground.ridges.size(); ++i)
      if (HitsRidge(i, ray, slope)) return 1 + static_cast<int>(i);
    if (slope >= 0.0) return 0;
    if (!m_ground.water) return 100;
    const double t = m_camera.altitude / -ray.y;
    return m_ground.water(ray.x * t, ray.z * t) > 0.5 ? 101 : 100;
  }

  double Distance(Vec3 ray) const {
    const double slope = ray.y / ray.z;
    for (std::size_t i = 0; i < m_ground.ridges.size(); ++i)
      if (HitsRidge(i, ray, slope)) return m_ground.ridges[i].distance / ray.z;
    return slope < 0.0 ? m_camera.altitude / -ray.y : std::numeric_limits<double>::infinity();
  }

  Rgb Shade(Vec3 ray) const {
    const double slope = ray.y / ray.z;
    if (const std::optional<Rgb> mountain = RidgeColour(ray, slope)) return *mountain;
    if (slope >= 0.0) return SkyColour(m_sky, ray);
    const double t = m_camera.altitude / -ray.y;
    const double x = ray.x * t, z = ray.z * t;
    const double footprint = t / (m_camera.focal * std::max(-ray.y, 0.02));
    Rgb colour = m_ground.colour ? m_ground.colour(x, z, footprint) : Hex(0x6b7f3a);
    if (m_ground.water) {
      const double wet = m_ground.water(x, z);
      if (wet > 0.0)
        colour = Mix(colour, WaterColour(ray, t, x, z, footprint, wet), SmoothStep(0.45, 0.55, wet));
    }
    return Mix(colour, m_ground.haze, FogAmount(t, m_ground.visibility));
  }

 private:
  bool HitsRidge(std::size_t index, Vec3 ray, double slope) const {
    const Ridge& ridge = m_ground.ridges[index];
    if (slope < -m_camera.altitude / ridge.distance) return false;
    return slope <
           (m_outlines[index].At(ray.x / ray.z * ridge.distance) - m_camera.altitude) / ridge.distance;
  }

  std::optional<Rgb> RidgeColour(Vec3 ray, double slope) const {
    for (std::size_t i = 0; i < m_ground.ridges.size(); ++i) {
      if (!HitsRidge(i, ray, slope)) continue;
      const Ridge& ridge = m_ground.ridges[i];
      return Mix(RockColour(i, ray, slope), m_ground.haze, FogAmount(ridge.distance, m_ground.visibility));
    }
    return std::nullopt;
  }

  Rgb RockColour(std::size_t index, Vec3 ray, double slope) const {
    const Ridge& ridge = m_ground.ridges[index];
    const double footprint = ridge.distance / m_camera.focal;
    const double x = ray.x / ray.z * ridge.distance;
    const double height = m_camera.altitude + slope * ridge.distance;
    // Broad slopes facing the sun are lit; spurs running down from the crest break the faces up.
    const double top = m_outlines[index].At(x);
    const double broad = ridge.width * 0.05;
    const double gradient =
        (m_smoothOutlines[index].At(x + broad) - m_smoothOutlines[index].At(x - broad)) / (2.0 * broad);
    const double sunSide = m_sky.sun.x >= 0.0 ? 1.0 : -1.0;
    const double spurScale = ridge.width * 0.07, below = (top - height) * 1.4;
    const double spur =
        Fbm((x + below) / spurScale, (x - below) / spurScale, ridge.seed + 4, 5, footprint / spurScale);
    const double lit = Clamp01(0.58 - 0.8 * gradient * sunSide + (spur - 0.5) * 1.1);
    const double grain = Fbm(x / 90.0, height / 60.0, ridge.seed + 3, 5, footprint / 60.0);
    Rgb rock = ridge.colour * (0.55 + 0.6 * lit) * (0.82 + 0.36 * grain);
    rock = Mix(rock * 0.8, rock, Clamp01(height / std::max(top, 1.0)));
    const double snow = SmoothStep(ridge.snowLine - 40.0, ridge.snowLine + 40.0,
                                   height + (grain - 0.5) * 260.0 - (1.0 - lit) * 120.0);
    return Mix(rock, Hex(0xe8eef5) * (0.72 + 0.3 * lit), snow);
  }

  // Swell, chop and ripples, their crests running across the view.
  Vec3 WaveNormal(double x, double z, double footprint) const {
    const auto height = [&](double px, double pz) {
      return 5.0 * Fbm(px / 150.0, pz / 55.0, 77, 3, footprint / 55.0) +
             1.5 * Fbm(px / 40.0, pz / 16.0, 78, 3, footprint / 16.0) +
             0.4 * Fbm(px / 11.0, pz / 5.0, 79, 3, footprint / 5.0);
    };
    const double e = std::max(footprint * 0.5, 0.5);
    const double dx = (height(x + e, z) - height(x - e, z)) / (2 * e);
    const double dz = (height(x, z + e) - height(x, z - e)) / (2 * e);
    const double strength = m_ground.waterQuality >= 3 ? 1.4 : 1.0;
    return Normalize({-dx * strength, 1.0, -dz * strength});
  }

  // Sun glitter: waves too small to see still tilt the surface, so far away the reflection of the sun
  // spreads into a dim path, while near waves throw sharp sparkles.
  double Glitter(Vec3 ray, Vec3 normal, double footprint) const {
    const double roughness = m_ground.waterQuality >= 3 ? 0.2 : 0.15;
    const double sigma = std::max(roughness * Clamp01(footprint / 12.0), 0.03);
    const Vec3 half = Normalize(m_sky.sun - ray);
    const double cosine = std::max(Dot(half, normal), 1e-3);
    const double tangent2 = (1.0 - cosine * cosine) / (cosine * cosine);
    const double strength = m_ground.waterQuality >= 3 ? 3.0 : 1.8;
    return strength * std::exp(-tangent2 / (2.0 * sigma * sigma)) *
           std::min(1.0, std::pow(0.035 / sigma, 2.0));
  }

  Rgb WaterColour(Vec3 ray, double t, double x, double z, double footprint, double wet) const {
    const int quality = m_ground.waterQuality;
    const Rgb deep = m_ground.waterColour;
    if (quality <= 0) return deep;
    Vec3 normal{0.0, 1.0, 0.0};
    if (quality >= 2) normal = WaveNormal(x, z, footprint);
    Vec3 reflected = ray - normal * (2.0 * Dot(ray, normal));
    reflected.y = std::max(reflected.y, 0.002);
    reflected = Normalize(reflected);
    Rgb mirrored = SkyColour(m_sky, reflected, false);
    if (quality >= 3) {
      if (const std::optional<Rgb> mountain = RidgeColour(reflected, reflected.y / reflected.z))
        mirrored = *mountain * 0.85;
    }
    double fresnel = quality >= 2 ? 0.38 : 0.5;
    if (quality >= 3) fresnel = 0.06 + 0.94 * std::pow(1.0 - std::max(-Dot(ray, normal), 0.0), 4.0);
    Rgb colour = Mix(quality >= 3 ? deep * (0.8 + 0.5 * Fbm(x / 60, z / 60, 5, 4, footprint / 60)) : deep,
                     mirrored, Clamp01(fresnel));
    if (quality >= 2) colour = colour + m_sky.sunColour * Glitter(ray, normal, footprint);
    if (quality >= 3) {
      const double foam = SmoothStep(0.62, 0.5, wet) * Fbm(x / 3.0, z / 3.0, 91, 4, footprint / 3.0);
      colour = Mix(colour, Hex(0xf2f6f8), Clamp01(foam * 1.4) * (1.0 - FogAmount(t, 3000.0)));
    }
    return colour;
  }

  const Camera& m_camera;
  const Sky& m_sky;
  const Ground& m_ground;
  std::vector<RidgeOutline> m_outlines;
  std::vector<RidgeOutline> m_smoothOutlines;  // for the lie of the slopes
};

}  // namespace

void PaintScene(QImage& image, const Camera& camera, const Sky& sky, const Ground& ground,
                std::vector<double>* distances) {
  const SceneRenderer renderer(camera, sky, ground);
  const int width = image.width(), height = image.height();
  // Kinds at pixel corners: a pixel whose corners all see the same thing needs one sample, an edge four.
  std::vector<int> corners(static_cast<std::size_t>((width + 1) * (height + 1)));
  for (int y = 0; y <= height; ++y)
    for (int x = 0; x <= width; ++x) corners[y * (width + 1) + x] = renderer.Kind(camera.Ray(x, y));
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const int* top = &corners[y * (width + 1) + x];
      const int* bottom = top + width + 1;
      const bool edge = top[0] != top[1] || top[0] != bottom[0] || top[0] != bottom[1];
      Rgb colour;
      if (!edge) {
        colour = renderer.Shade(camera.Ray(x + 0.5, y + 0.5));
      } else {
        static constexpr std::array<double, 4> kOffsets{0.125, 0.375, 0.625, 0.875};
        for (int i = 0; i < 4; ++i)
          colour = colour + renderer.Shade(camera.Ray(x + kOffsets[i], y + kOffsets[3 - i]));
        colour = colour * 0.25;
      }
      line[x] = ToQRgb(colour);
    }
  }
  if (distances) {
    distances->assign(static_cast<std::size_t>(width * height), std::numeric_limits<double>::infinity());
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        (*distances)[y * width + x] = renderer.Distance(camera.Ray(x + 0.5, y + 0.5));
  }
}

Rgb Farmland(double x, double z, double footprint, std::uint32_t seed) {
  static const std::array<Rgb, 8> kCrops{Hex(0x6b7f3a), Hex(0x7e8d44), Hex(0x8f8a4e), Hex(0xa39a5b),
                                         Hex(0x5c7436), Hex(0x8a7a4c), Hex(0x73863f), Hex(0x9c9460)};
  const double wx = x + (Fbm(x / 420.0, z / 420.0, seed, 3) - 0.5) * 170.0;
  const double wz = z + (Fbm(x / 420.0, z / 420.0, seed + 1, 3) - 0.5) * 170.0;
  const double u = (wx * 0.94 - wz * 0.34) / 150.0, v = (wx * 0.34 + wz * 0.94) / 95.0;
  const double fu = u - std::floor(u), fv = v - std::floor(v);
  const int cu = static_cast<int>(std::floor(u)), cv = static_cast<int>(std::floor(v));
  const double pick = Random01(cu, cv, seed + 2);
  Rgb colour = kCrops[static_cast<std::size_t>(pick * kCrops.size()) % kCrops.size()];
  const double along = Random01(cu, cv, seed + 3) > 0.5 ? u * 150.0 : v * 95.0;
  const double rows = Clamp01(1.0 - footprint / 2.5);
  colour = colour * (1.0 + 0.07 * std::sin(along * 2.1) * rows);
  const double edge = std::min({fu * 150.0, (1.0 - fu) * 150.0, fv * 95.0, (1.0 - fv) * 95.0});
  // Far away a hedge is thinner than a pixel: blend to the share of ground hedges cover.
  const double sharpHedge = SmoothStep(3.0 + footprint * 0.5, 3.0 - footprint * 0.5, edge);
  const double hedge = sharpHedge + (0.05 - sharpHedge) * Clamp01(footprint / 25.0);
  colour = Mix(colour, Hex(0x3b5128), hedge);
  const double wood = Fbm(x / 520.0, z / 520.0, seed + 5, 5, footprint / 520.0);
  const double trees = 0.7 + 0.6 * Fbm(x / 8.0, z / 8.0, seed + 6, 4, footprint / 8.0);
  colour = Mix(colour, Hex(0x36522b) * trees, SmoothStep(0.655, 0.68, wood));
  return colour * (0.82 + 0.36 * Fbm(x / 45.0, z / 45.0, seed + 7, 5, footprint / 45.0));
}

QImage NewPicture() {
  QImage image(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

namespace {

// One horizontal box pass over every row, on each of the four channels.
void BoxPassRows(QImage& image, int radius) {
  const int width = image.width();
  std::vector<std::array<int, 4>> row(static_cast<std::size_t>(width));
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x)
      row[x] = {qAlpha(line[x]), qRed(line[x]), qGreen(line[x]), qBlue(line[x])};
    for (int x = 0; x < width; ++x) {
      std::array<int, 4> sum{};
      for (int k = -radius; k <= radius; ++k) {
        const auto& pixel = row[std::clamp(x + k, 0, width - 1)];
        for (int c = 0; c < 4; ++c) sum[c] += pixel[c];
      }
      const int n = 2 * radius + 1;
      line[x] = qRgba(sum[1] / n, sum[2] / n, sum[3] / n, sum[0] / n);
    }
  }
}

QImage Transposed(const QImage& image) { return image.transformed(QTransform(0, 1, 1, 0, 0, 0)); }

}  // namespace

void Blur(QImage& image, int radius) {
  if (radius <= 0) return;
  image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (int pass = 0; pass < 3; ++pass) BoxPassRows(image, radius);
  QImage turned = Transposed(image);
  for (int pass = 0; pass < 3; ++pass) BoxPassRows(turned, radius);
  image = Transposed(turned).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace kesta::pictures
