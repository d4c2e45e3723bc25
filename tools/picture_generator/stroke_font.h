#pragma once
// A small stroke font for head-up display symbols: digits, a few Latin and Cyrillic capitals. Drawn with
// lines, like a real display, and without depending on the fonts of the build machine.

#include <QPainter>
#include <QPointF>
#include <string_view>

namespace kesta::pictures {

// Draws `text` (UTF-8) with its top-left corner at `at`; height is the capital height in pixels.
void DrawStrokeText(QPainter& painter, QPointF at, double height, std::string_view text);

double StrokeTextWidth(double height, std::string_view text);

}  // namespace kesta::pictures
