#pragma once
// The F4 view window's pictures: an aircraft from above and from the side, on a chart whose grid marks
// the window's metres (21 pixels each) around the pilot's eye.

#include <QImage>

#include "aircraft_shapes.h"

namespace kesta::pictures {

QImage DrawTopView(const AircraftShape& shape);
QImage DrawSideView(const AircraftShape& shape);

}  // namespace kesta::pictures
