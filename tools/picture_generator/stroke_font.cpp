#include "stroke_font.h"

#include <QPainterPath>
#include <string>
#include <vector>

namespace kesta::pictures {

namespace {

// Strokes on a grid 4 wide and 6 high, y downwards; "|" starts a new stroke.
std::string_view GlyphStrokes(char32_t c) {
  switch (c) {
    case U'0':
      return "0,0 4,0 4,6 0,6 0,0|4,0 0,6";
    case U'1':
      return "1,1 2,0 2,6|1,6 3,6";
    case U'2':
      return "0,1 1,0 3,0 4,1 4,2 0,6 4,6";
    case U'3':
      return "0,0 4,0 2,2.5 3.5,3 4,4 4,5 3,6 0,6";
    case U'4':
      return "3,6 3,0 0,4 4,4";
    case U'5':
      return "4,0 0,0 0,3 3,3 4,4 4,5 3,6 0,6";
    case U'6':
      return "4,0 1,0 0,1 0,6 4,6 4,3 0,3";
    case U'7':
      return "0,0 4,0 1.5,6";
    case U'8':
      return "0,0 4,0 4,6 0,6 0,0|0,3 4,3";
    case U'9':
      return "4,3 0,3 0,0 4,0 4,5 3,6 0,6";
    case U'A':
    case U'А':
      return "0,6 2,0 4,6|1,3.5 3,3.5";
    case U'N':
      return "0,6 0,0 4,6 4,0";
    case U'V':
      return "0,0 2,6 4,0";
    case U'R':
      return "0,6 0,0 3,0 4,1 4,2 3,3 0,3|2,3 4,6";
    case U'Р':
      return "0,6 0,0 3,0 4,1 4,2 3,3 0,3";
    case U'M':
    case U'М':
      return "0,6 0,0 2,3 4,0 4,6";
    case U'Ш':
      return "0,0 0,6 4,6 4,0|2,0 2,6";
    case U'-':
      return "0.5,3 3.5,3";
    default:
      return "";
  }
}

std::u32string Decode(std::string_view utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) {
      out.push_back(byte);
      ++i;
    } else if ((byte & 0xe0) == 0xc0 && i + 1 < utf8.size()) {
      out.push_back(((byte & 0x1f) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3f));
      i += 2;
    } else {
      ++i;
    }
  }
  return out;
}

QPainterPath GlyphPath(char32_t c, QPointF at, double unit) {
  QPainterPath path;
  bool first = true;
  std::string_view strokes = GlyphStrokes(c);
  while (!strokes.empty()) {
    const std::size_t end = strokes.find_first_of(" |");
    const std::string_view point = strokes.substr(0, end);
    const std::size_t comma = point.find(',');
    const QPointF p = at + QPointF(std::stod(std::string(point.substr(0, comma))) * unit,
                                   std::stod(std::string(point.substr(comma + 1))) * unit);
    first ? path.moveTo(p) : path.lineTo(p);
    first = false;
    if (end == std::string_view::npos) break;
    if (strokes[end] == '|') first = true;
    strokes.remove_prefix(end + 1);
  }
  return path;
}

}  // namespace

// Glyphs are 4 units wide and advance by 6, the capital height.
double StrokeTextWidth(double height, std::string_view text) {
  const std::size_t count = Decode(text).size();
  return count == 0 ? 0.0 : count * height - height / 3.0;
}

void DrawStrokeText(QPainter& painter, QPointF at, double height, std::string_view text) {
  const double unit = height / 6.0;
  for (char32_t c : Decode(text)) {
    painter.drawPath(GlyphPath(c, at, unit));
    at.rx() += unit * 6.0;
  }
}

}  // namespace kesta::pictures
