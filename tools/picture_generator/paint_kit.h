#pragma once
// Shared drawing kit of the picture generator: colours, noise, a pinhole camera over flat ground, and a
// per-pixel scene renderer for sky, clouds, mountain ridges, ground and water.

#include <QImage>
#include <QPointF>
#include <cstdint>
#include <functional>
#include <vector>

namespace kesta::pictures {

struct Rgb {
  double r = 0, g = 0, b = 0;
};
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
Rgb Hex(std::uint32_t rgb);
Rgb Mix(Rgb a, Rgb b, double t);
QColor ToColor(Rgb c, double alpha = 1.0);
QRgb ToQRgb(Rgb c);
double Clamp01(double v);
double SmoothStep(double edge0, double edge1, double v);

// Deterministic noise, so that every build draws the same pictures.
std::uint32_t Hash(int x, int y, std::uint32_t seed);
double Random01(int x, int y, std::uint32_t seed);
double ValueNoise(double x, double y, std::uint32_t seed);
// Octaves finer than `footprint` (noise units covered by one pixel) fade to their mean: no shimmer far away.
double Fbm(double x, double y, std::uint32_t seed, int octaves, double footprint = 0.0);

struct Vec3 {
  double x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double Dot(Vec3 a, Vec3 b);
Vec3 Normalize(Vec3 v);

// World: x to the right, y up, z forward; the camera stands at (0, altitude, 0) looking along z.
struct Camera {
  double altitude = 120.0;
  double horizon = 52.0;  // picture row of the horizon at the centre
  double focal = 320.0;   // pixels
  double bank = 0.0;      // radians; positive lowers the right wing
  double width = 470.0;
  double height = 135.0;

  Vec3 Ray(double px, double py) const;
  QPointF Project(Vec3 world) const;
  double Scale(double depth) const { return focal / depth; }  // pixels per metre at that depth
};

struct Sky {
  Rgb zenith = Hex(0x2f63a8);
  Rgb horizon = Hex(0xc4d9ea);
  Vec3 sun = Normalize({0.5, 0.25, 1.0});
  Rgb sunColour = Hex(0xfff2d8);
  double sunGlow = 0.6;
  double sunDisc = 1.0;  // 0 hides the disc (sun behind the viewer)
  double clouds = 0.0;   // 0 clear .. 1 overcast
  double stars = 0.0;    // night skies
  std::uint32_t seed = 7;
};

// A mountain range at a fixed distance, drawn between its ridge line and its foot.
struct Ridge {
  double distance = 20000.0;
  double height = 900.0;
  double width = 3000.0;  // horizontal scale of its peaks, metres
  Rgb colour = Hex(0x5b6a55);
  double snowLine = 1e9;  // height above which rock turns white
  std::uint32_t seed = 11;
};

struct Ground {
  // Colour of the flat ground at (x, z); footprint is the ground size of one pixel in metres.
  std::function<Rgb(double x, double z, double footprint)> colour;
  // 0 land .. 1 water at (x, z); empty means no water at all.
  std::function<double(double x, double z)> water;
  int waterQuality = 3;
  Rgb waterColour = Hex(0x1d4763);
  Rgb haze = Hex(0xc4d9ea);
  double visibility = 40000.0;  // metres at which things have all but vanished into the haze
  std::vector<Ridge> ridges;    // nearest first
};

double FogAmount(double distance, double visibility);
// Without the sun for reflections: water draws its own sun glitter.
Rgb SkyColour(const Sky& sky, Vec3 ray, bool withSun = true);

// Paints every pixel: sky and clouds above the horizon, ridges, then ground and water below. When asked,
// also gives the distance seen at each pixel centre (row by row; infinite for the sky).
void PaintScene(QImage& image, const Camera& camera, const Sky& sky, const Ground& ground,
                std::vector<double>* distances = nullptr);

// Rolling farmland: fields, hedges, woods and mottling.
Rgb Farmland(double x, double z, double footprint, std::uint32_t seed = 3);

// A preview-sized picture to paint on.
QImage NewPicture();

// Blurs an ARGB32 premultiplied image in place (three box passes approach a Gaussian): soft shadows, glows.
void Blur(QImage& image, int radius);

}  // namespace kesta::pictures
