#pragma once
// Things standing on the ground of a scene: buildings, trees, vehicles and aircraft, with the shadows
// the sun casts on the ground and on themselves.

#include <QPainter>
#include <vector>

#include "aircraft_shapes.h"
#include "paint_kit.h"

namespace kesta::pictures {

struct Sunlight {
  Vec3 direction = Normalize({0.8, -0.45, 0.4});  // the way the light travels: from behind on the left
  bool groundShadows = true;                      // objects cast shadows on the ground
  bool aircraftShadowsOnly = false;               // only aircraft cast them
  bool selfShadows = true;                        // faces turned from the sun are darker
  double density = 0.6;                           // 0 no shadow .. 1 black
  int softness = 1;                               // blur radius of ground shadows, pixels
};

struct Block {  // a building or a vehicle: an upright box
  enum Kind { kHouse, kHangar, kVehicle };
  double x0, z0, x1, z1, height;
  Rgb wall;
  Rgb roof;
  Kind kind = kHouse;
};

struct Tree {
  double x, z, height, radius;
  Rgb leaves;
};

// An aircraft drawn from its side outline, parked or flying, with its plan view as its ground shadow.
struct Plane {
  const AircraftShape* shape;
  Vec3 nose;         // world position of the nose
  bool facingRight;  // seen from the left side, flying to the right of the picture
  double pitchDegrees = 0;
  Rgb paint = Hex(0xa7b4c1);
  bool castsShadow = true;
};

struct SceneObjects {
  std::vector<Block> blocks;
  std::vector<Tree> trees;
  std::vector<Plane> planes;
};

// Ground shadows first, then every object from far to near.
void PaintObjects(QImage& image, const Camera& camera, const SceneObjects& objects, const Sunlight& sun);

// One aircraft seen from its side and a little from above (viewElevation), independent of a camera:
// nose position and size in pixels.
void PaintPlaneProfile(QPainter& painter, const AircraftShape& shape, QPointF nose, double pixelsPerMetre,
                       double pitchDegrees, bool facingRight, Rgb paint, bool selfShadows = true,
                       double viewElevationDegrees = 20.0);

}  // namespace kesta::pictures
