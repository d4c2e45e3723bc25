#pragma once
// Outlines of the six aircraft of the F4 view window, in metres. Plan views use (lateral, distance behind
// the nose) for the right half, mirrored for the left; side views use (distance behind the nose, height
// above the fuselage axis).

#include <QPointF>
#include <string_view>
#include <vector>

namespace kesta::pictures {

using Outline = std::vector<QPointF>;

struct PodShape {  // an engine pod seen from above and from the side, one on each side
  double lateral, centre, length, halfWidth, height;
};

struct AircraftShape {
  std::string_view name;
  double length = 0;
  double span = 0;
  double eyeFromNose = 0;  // the pilot's eye, where the camera offsets of the F4 view start
  double eyeHeight = 0;
  Outline planHalf;       // nose to tail along the right side
  Outline planCanard;     // right canard, if any
  double finLateral = 0;  // 0: one fin on the axis
  double finStart = 0, finEnd = 0;
  double canopyCentre = 0, canopyLength = 0, canopyHalfWidth = 0;
  double nozzleLateral = 0, nozzleStart = 0;
  std::vector<PodShape> pods;
  Outline side;        // fuselage outline
  Outline sideCanopy;  // glass
  Outline sideFin;
  Outline sideStabiliser;
  Outline sideWing;
  Outline sideVentral;
};

const std::vector<AircraftShape>& AllAircraftShapes();
const AircraftShape& AircraftShapeNamed(std::string_view name);

}  // namespace kesta::pictures
