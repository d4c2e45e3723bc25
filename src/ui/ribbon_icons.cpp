#include "ui/ribbon_icons.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QRectF>
#include <QStyle>
#include <QStyleOption>
#include <QtMath>

#include "ui/theme.h"

namespace kesta {

namespace {

// Glyphs are drawn on a 16 × 16 grid and scaled; one palette keeps them consistent and readable on the
// light schemes as well as on the dark one (light fills, mid-dark outlines).
// Details inside light shapes stay dark whatever the background.
const QColor kDetail(0x34, 0x43, 0x57);
const QColor kBlue(0x2f, 0x7c, 0xd3);
const QColor kSky(0xa8, 0xd0, 0xf5);
const QColor kScreen(0xe4, 0xf0, 0xfc);
const QColor kGreen(0x35, 0xa8, 0x5a);
const QColor kRed(0xd8, 0x4a, 0x3f);
const QColor kOrange(0xf0, 0x8c, 0x2a);
const QColor kYellow(0xf6, 0xc4, 0x45);
const QColor kGrey(0x8b, 0x97, 0xa5);
const QColor kPaper(0xfb, 0xfc, 0xfe);
const QColor kRadar(0x1f, 0x5e, 0x3a);

// Outlines take the ink of the background they sit on: dark on the light schemes, light on Black.
class TGlyphPainter : public QPainter {
 public:
  TGlyphPainter(QPaintDevice* device, const QColor& inkColor) : QPainter(device), ink(inkColor) {}
  const QColor ink;
};

using Glyph = void (*)(TGlyphPainter&);

QPen Pen(const QColor& color, qreal width = 1.0) {
  return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Shape(QPainter& p, const QColor& outline, const QColor& fill, qreal width = 1.0) {
  p.setPen(outline.isValid() ? Pen(outline, width) : QPen(Qt::NoPen));
  p.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color, qreal width = 1.4) {
  p.setPen(Pen(color, width));
  p.drawLine(from, to);
  const QLineF line(to, from);
  for (qreal turn : {-35.0, 35.0}) {
    QLineF head(to, from);
    head.setLength(2.6);
    head.setAngle(line.angle() + turn);
    p.drawLine(head);
  }
}

void Monitor(TGlyphPainter& p) {
  Shape(p, p.ink, kScreen);
  p.drawRoundedRect(QRectF(1.5, 2.5, 13, 9), 1, 1);
  p.setPen(Pen(p.ink, 1.2));
  p.drawLine(QPointF(8, 11.5), QPointF(8, 13.5));
  p.drawLine(QPointF(5, 14), QPointF(11, 14));
}

void GraphicsStandard(TGlyphPainter& p) {
  Monitor(p);
  Shape(p, {}, kYellow);
  p.drawEllipse(QPointF(11.3, 5.3), 1.2, 1.2);
  Shape(p, {}, kGreen);
  p.drawPolygon(QPolygonF({{2.5, 10.5}, {6, 5.5}, {8.5, 8.5}, {10, 7}, {13.5, 10.5}}));
}

void Gauge(TGlyphPainter& p) {
  Shape(p, p.ink, kPaper, 1.2);
  p.drawEllipse(QPointF(8, 8), 6.6, 6.6);
  p.setPen(Pen(kDetail, 0.9));
  for (int i = 0; i <= 6; ++i) {
    const qreal angle = qDegreesToRadians(210.0 - i * 40.0);
    const QPointF dir(qCos(angle), -qSin(angle));
    p.drawLine(QPointF(8, 8) + dir * 4.3, QPointF(8, 8) + dir * 5.6);
  }
  Arrow(p, QPointF(8, 8), QPointF(11.2, 5.0), kRed, 1.3);
  Shape(p, {}, kDetail);
  p.drawEllipse(QPointF(8, 8), 1.2, 1.2);
}

void Resolution(TGlyphPainter& p) {
  Monitor(p);
  Arrow(p, QPointF(6.5, 7.5), QPointF(3.5, 4.5), kBlue, 1.2);
  Arrow(p, QPointF(9.5, 6.5), QPointF(12.5, 9.5), kBlue, 1.2);
}

void Camera(TGlyphPainter& p) {
  Shape(p, p.ink, kGrey.lighter(135));
  p.drawRoundedRect(QRectF(5, 2.5, 5, 3), 0.8, 0.8);
  Shape(p, p.ink, QColor(0x5b, 0x6b, 0x80));
  p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 1.5, 1.5);
  Shape(p, p.ink, kSky, 1.1);
  p.drawEllipse(QPointF(8, 9), 3.2, 3.2);
  Shape(p, {}, kBlue);
  p.drawEllipse(QPointF(8, 9), 1.6, 1.6);
  Shape(p, {}, kYellow);
  p.drawRect(QRectF(11.5, 6, 1.8, 1.2));
}

void Sliders(TGlyphPainter& p) {
  const qreal knobs[] = {10.5, 5, 8.5};
  const QColor colors[] = {kBlue, kOrange, kGreen};
  for (int i = 0; i < 3; ++i) {
    const qreal y = 3.5 + i * 4.5;
    p.setPen(Pen(p.ink, 1.1));
    p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
    Shape(p, p.ink, colors[i], 0.9);
    p.drawEllipse(QPointF(knobs[i], y), 1.9, 1.9);
  }
}

void Clipping(TGlyphPainter& p) {
  Shape(p, p.ink, kGrey.lighter(130), 0.9);
  p.drawPolygon(QPolygonF({{6.5, 14}, {10.5, 7.5}, {14.8, 14}}));
  Shape(p, p.ink, kGreen, 0.9);
  p.drawPolygon(QPolygonF({{1.2, 14}, {5, 8.5}, {9, 14}}));
  Arrow(p, QPointF(3, 4), QPointF(14, 4), kBlue, 1.2);
  Arrow(p, QPointF(13, 4), QPointF(2, 4), kBlue, 1.2);
}

void Density(TGlyphPainter& p) {
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) {
      const bool dense = (row + col) % 2 == 0;
      Shape(p, p.ink, dense ? kBlue : kSky, 0.8);
      p.drawRoundedRect(QRectF(1.5 + col * 4.7, 1.5 + row * 4.7, 3.6, 3.6), 0.8, 0.8);
    }
}

void Person(TGlyphPainter& p, QPointF at, qreal scale, const QColor& fill) {
  Shape(p, p.ink, fill, 0.9);
  p.drawEllipse(at + QPointF(0, -3.2) * scale, 2.4 * scale, 2.4 * scale);
  QPainterPath body;
  body.moveTo(at + QPointF(-4.5, 5) * scale);
  body.cubicTo(at + QPointF(-4.5, 0) * scale, at + QPointF(4.5, 0) * scale, at + QPointF(4.5, 5) * scale);
  body.closeSubpath();
  p.drawPath(body);
}

void Client(TGlyphPainter& p) {
  Monitor(p);
  Person(p, QPointF(8, 7.8), 0.62, kBlue);
}

void ServerBox(TGlyphPainter& p, const QRectF& box) {
  const qreal unit = box.height() / 2;
  for (int i = 0; i < 2; ++i) {
    Shape(p, p.ink, QColor(0xd9, 0xe2, 0xec));
    p.drawRoundedRect(QRectF(box.left(), box.top() + i * unit, box.width(), unit - 0.6), 0.8, 0.8);
    Shape(p, {}, kGreen);
    p.drawEllipse(QPointF(box.right() - 2, box.top() + i * unit + unit / 2 - 0.3), 0.9, 0.9);
    p.setPen(Pen(kGrey, 0.9));
    const qreal y = box.top() + i * unit + unit / 2 - 0.3;
    p.drawLine(QPointF(box.left() + 1.8, y), QPointF(box.left() + box.width() * 0.5, y));
  }
}

void Server(TGlyphPainter& p) { ServerBox(p, QRectF(2.5, 1.5, 11, 13)); }

void Badge(TGlyphPainter& p, const QColor& color) {
  Shape(p, QColor(0xff, 0xff, 0xff), color, 0.9);
  p.drawEllipse(QPointF(12, 12), 3.6, 3.6);
}

void OpenServer(TGlyphPainter& p) {
  ServerBox(p, QRectF(1.5, 1.5, 10, 11));
  Badge(p, kGreen);
  p.setPen(Pen(Qt::white, 1.4));
  p.drawLine(QPointF(12, 10), QPointF(12, 14));
  p.drawLine(QPointF(10, 12), QPointF(14, 12));
}

void JoinServer(TGlyphPainter& p) {
  ServerBox(p, QRectF(1.5, 1.5, 10, 11));
  Badge(p, kBlue);
  Arrow(p, QPointF(10, 12), QPointF(14.2, 12), Qt::white, 1.3);
}

void Target(TGlyphPainter& p) {
  Shape(p, p.ink, kPaper, 1.2);
  p.drawEllipse(QPointF(8, 8), 6, 6);
  Shape(p, kRed, {}, 1.2);
  p.drawEllipse(QPointF(8, 8), 3, 3);
  p.setPen(Pen(p.ink, 1.1));
  const QLineF ticks[] = {{8, 0.8, 8, 4}, {8, 12, 8, 15.2}, {0.8, 8, 4, 8}, {12, 8, 15.2, 8}};
  for (const QLineF& tick : ticks) p.drawLine(tick);
  Shape(p, {}, kRed);
  p.drawEllipse(QPointF(8, 8), 1, 1);
}

void More(TGlyphPainter& p) {
  Shape(p, p.ink, kScreen);
  p.drawRoundedRect(QRectF(1.5, 3.5, 13, 9), 2, 2);
  Shape(p, {}, kBlue);
  for (qreal x : {4.8, 8.0, 11.2}) p.drawEllipse(QPointF(x, 8), 1.2, 1.2);
}

void Lua(TGlyphPainter& p) {
  Shape(p, p.ink, kPaper);
  p.drawPolygon(QPolygonF({{2.5, 1.5}, {9.5, 1.5}, {12.5, 4.5}, {12.5, 14.5}, {2.5, 14.5}}));
  Shape(p, {}, QColor(0x00, 0x00, 0x80));
  p.drawEllipse(QPointF(7, 9.5), 3.6, 3.6);
  p.drawEllipse(QPointF(12.6, 3.8), 1.5, 1.5);
  Shape(p, {}, kPaper);
  p.drawEllipse(QPointF(8.3, 8.2), 1.2, 1.2);
}

void Eye(TGlyphPainter& p) {
  QPainterPath lid;
  lid.moveTo(0.8, 8);
  lid.quadTo(8, 0.5, 15.2, 8);
  lid.quadTo(8, 15.5, 0.8, 8);
  Shape(p, p.ink, kPaper, 1.1);
  p.drawPath(lid);
  Shape(p, p.ink, kBlue, 0.8);
  p.drawEllipse(QPointF(8, 8), 3.1, 3.1);
  Shape(p, {}, kDetail);
  p.drawEllipse(QPointF(8, 8), 1.3, 1.3);
  Shape(p, {}, Qt::white);
  p.drawEllipse(QPointF(9, 7), 0.6, 0.6);
}

void Mouse(TGlyphPainter& p) {
  Shape(p, p.ink, kPaper, 1.1);
  p.drawRoundedRect(QRectF(3.5, 1.5, 9, 13), 4.5, 4.5);
  p.setPen(Pen(kDetail, 0.9));
  p.drawLine(QPointF(3.7, 6.5), QPointF(12.3, 6.5));
  p.drawLine(QPointF(8, 1.7), QPointF(8, 6.5));
  Shape(p, {}, kBlue);
  p.drawRoundedRect(QRectF(7.2, 3, 1.6, 2.6), 0.8, 0.8);
}

void Smoke(TGlyphPainter& p) {
  const struct {
    QPointF at;
    qreal radius;
    QColor color;
  } puffs[] = {{{11.8, 4.6}, 2.6, kRed}, {{8.4, 7.9}, 3.0, kPaper}, {{4.9, 11.1}, 3.4, kBlue}};
  for (const auto& puff : puffs) {
    Shape(p, p.ink, puff.color, 0.9);
    p.drawEllipse(puff.at, puff.radius, puff.radius);
  }
}

void Cog(TGlyphPainter& p, QPointF at, qreal radius, const QColor& fill) {
  QPainterPath cog;
  const int teeth = 8;
  for (int i = 0; i < teeth * 2; ++i) {
    const qreal angle = M_PI * 2 * i / (teeth * 2) + M_PI / (teeth * 2);
    const qreal r = (i % 2 == 0) ? radius : radius * 0.74;
    const qreal half = M_PI / (teeth * 2) * 0.62;
    const QPointF a = at + QPointF(qCos(angle - half), qSin(angle - half)) * r;
    const QPointF b = at + QPointF(qCos(angle + half), qSin(angle + half)) * r;
    if (i == 0)
      cog.moveTo(a);
    else
      cog.lineTo(a);
    cog.lineTo(b);
  }
  cog.closeSubpath();
  cog.addEllipse(at, radius * 0.3, radius * 0.3);
  Shape(p, p.ink, fill, 0.9);
  p.drawPath(cog);
}

void Options(TGlyphPainter& p) { Cog(p, QPointF(8, 8), 7, kGrey.lighter(125)); }

void Backup(TGlyphPainter& p) {
  Shape(p, p.ink, QColor(0xe0, 0xb8, 0x6e));
  p.drawRect(QRectF(2.5, 6.5, 11, 8));
  Shape(p, p.ink, QColor(0xc8, 0x96, 0x44));
  p.drawRect(QRectF(1.5, 3.5, 13, 3));
  Shape(p, p.ink, kPaper, 0.9);
  p.drawRoundedRect(QRectF(6, 8.5, 4, 2), 0.6, 0.6);
}

// A glossy colour dot, so the scheme buttons do not read as check boxes.
void Swatch(TGlyphPainter& p, const QColor& color) {
  QRadialGradient body(QPointF(6.5, 5.5), 8);
  body.setColorAt(0, color.lighter(150));
  body.setColorAt(1, color);
  p.setPen(Pen(p.ink, 1));
  p.setBrush(body);
  p.drawEllipse(QPointF(8, 8), 6.3, 6.3);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 120));
  p.drawEllipse(QRectF(4.3, 3.2, 6, 3.4));
}

void ThemeBlue(TGlyphPainter& p) { Swatch(p, QColor(0x3a, 0x86, 0xd8)); }
void ThemeSilver(TGlyphPainter& p) { Swatch(p, QColor(0xb8, 0xc0, 0xca)); }
void ThemeBlack(TGlyphPainter& p) { Swatch(p, QColor(0x2a, 0x2a, 0x2a)); }

void FormStyle(TGlyphPainter& p) {
  Shape(p, p.ink, kPaper);
  p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1.2, 1.2);
  Shape(p, {}, kBlue);
  p.drawRect(QRectF(2, 3, 12, 2.8));
  Shape(p, {}, Qt::white);
  p.drawRect(QRectF(11, 3.8, 2, 1.2));
  Shape(p, {}, kSky);
  p.drawRect(QRectF(3, 7.5, 4, 5));
}

void Check(TGlyphPainter& p) {
  p.setPen(Pen(kGreen.darker(115), 2.6));
  p.drawPolyline(QPolygonF({{2.5, 8.5}, {6.2, 12.2}, {13.5, 3.8}}));
}

void Undo(TGlyphPainter& p) {
  QPainterPath curve;
  curve.moveTo(4, 6);
  curve.lineTo(10, 6);
  curve.cubicTo(15, 6, 15, 13.5, 10, 13.5);
  curve.lineTo(6, 13.5);
  p.setPen(Pen(kOrange.darker(110), 2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(curve);
  Shape(p, {}, kOrange.darker(110));
  p.drawPolygon(QPolygonF({{1, 6}, {5.5, 2}, {5.5, 10}}));
}

void Folder(TGlyphPainter& p) {
  Shape(p, p.ink, QColor(0xe8, 0xa9, 0x2e));
  p.drawPolygon(QPolygonF({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {13.5, 5}, {13.5, 13.5}, {1.5, 13.5}}));
  Shape(p, p.ink, kYellow);
  p.drawPolygon(QPolygonF({{1.5, 13.5}, {3.5, 7.5}, {15.3, 7.5}, {13.5, 13.5}}));
}

void Floppy(TGlyphPainter& p) {
  Shape(p, p.ink, kBlue);
  p.drawPolygon(QPolygonF({{1.5, 1.5}, {12, 1.5}, {14.5, 4}, {14.5, 14.5}, {1.5, 14.5}}));
  Shape(p, {}, kPaper);
  p.drawRect(QRectF(4, 2, 7, 4.5));
  Shape(p, {}, kScreen);
  p.drawRect(QRectF(3.5, 9, 9, 5));
  Shape(p, {}, kBlue);
  p.drawRect(QRectF(8.5, 2.7, 1.5, 3));
}

void Play(TGlyphPainter& p) {
  Shape(p, kGreen.darker(125), kGreen, 1.1);
  p.drawPolygon(QPolygonF({{4, 2}, {14, 8}, {4, 14}}));
}

void RadarScope(TGlyphPainter& p, QPointF at, qreal radius) {
  Shape(p, p.ink, kRadar, 1);
  p.drawEllipse(at, radius, radius);
  p.setPen(Pen(QColor(0x7f, 0xe0, 0x9a, 150), 0.7));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(at, radius * 0.55, radius * 0.55);
  QConicalGradient sweep(at, 90);
  sweep.setColorAt(0, QColor(0x7f, 0xff, 0x9a, 200));
  sweep.setColorAt(0.2, QColor(0x7f, 0xff, 0x9a, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(sweep);
  p.drawEllipse(at, radius - 0.5, radius - 0.5);
  p.setPen(Pen(QColor(0xa8, 0xff, 0xbc), 1));
  p.drawLine(at, at + QPointF(0, -radius + 0.5));
  Shape(p, {}, kYellow);
  p.drawEllipse(at + QPointF(radius * 0.4, radius * 0.3), 0.9, 0.9);
}

void LotatcClient(TGlyphPainter& p) { RadarScope(p, QPointF(8, 8), 6.8); }

void LotatcServer(TGlyphPainter& p) {
  RadarScope(p, QPointF(7, 7), 6);
  ServerBox(p, QRectF(9.5, 9.5, 6, 6));
}

void LotatcNet(TGlyphPainter& p) {
  RadarScope(p, QPointF(7, 7), 6);
  Badge(p, kBlue);
  p.setPen(Pen(Qt::white, 0.8));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(12, 12), 1.4, 2.6);
  p.drawLine(QPointF(9.4, 12), QPointF(14.6, 12));
}

void Update(TGlyphPainter& p) {
  Shape(p, p.ink, kScreen);
  p.drawRoundedRect(QRectF(1.5, 9.5, 13, 5), 1, 1);
  Shape(p, kGreen.darker(125), kGreen, 0.9);
  p.drawPolygon(QPolygonF({{6, 1.5}, {10, 1.5}, {10, 6}, {12.5, 6}, {8, 11}, {3.5, 6}, {6, 6}}));
}

void Bug(TGlyphPainter& p) {
  p.setPen(Pen(p.ink, 1));
  for (qreal y : {7.0, 9.5, 12.0}) {
    p.drawLine(QPointF(4, y - 1), QPointF(1.5, y));
    p.drawLine(QPointF(12, y - 1), QPointF(14.5, y));
  }
  p.drawLine(QPointF(6.5, 3), QPointF(5, 1));
  p.drawLine(QPointF(9.5, 3), QPointF(11, 1));
  Shape(p, p.ink, p.ink.lighter(150));
  p.drawEllipse(QPointF(8, 4), 2.4, 2);
  Shape(p, p.ink, kRed);
  p.drawEllipse(QRectF(4, 5, 8, 10));
  p.setPen(Pen(kDetail, 0.9));
  p.drawLine(QPointF(8, 5.5), QPointF(8, 14.5));
}

void About(TGlyphPainter& p) {
  Shape(p, kBlue.darker(120), kBlue);
  p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
  Shape(p, {}, Qt::white);
  p.drawEllipse(QPointF(8, 4.6), 1.2, 1.2);
  p.drawRoundedRect(QRectF(6.9, 6.8, 2.2, 6), 0.6, 0.6);
}

void Exit(TGlyphPainter& p) {
  p.setPen(Pen(kRed, 2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(2.3, 2.8, 11.4, 11.4), 120 * 16, 300 * 16);
  p.drawLine(QPointF(8, 1.5), QPointF(8, 7.5));
}

void Document(TGlyphPainter& p) {
  Shape(p, p.ink, kPaper);
  p.drawPolygon(QPolygonF({{3.5, 1.5}, {9.5, 1.5}, {12.5, 4.5}, {12.5, 14.5}, {3.5, 14.5}}));
  p.setPen(Pen(kBlue, 1));
  for (qreal y : {6.5, 9.0, 11.5}) p.drawLine(QPointF(5.5, y), QPointF(10.5, y));
}

// A page with a removed and an added line: what Apply would change.
void Review(TGlyphPainter& p) {
  Shape(p, p.ink, kPaper);
  p.drawPolygon(QPolygonF({{3.5, 1.5}, {9.5, 1.5}, {12.5, 4.5}, {12.5, 14.5}, {3.5, 14.5}}));
  p.setPen(Pen(kRed, 1.6));
  p.drawLine(QPointF(5.5, 6.5), QPointF(10.5, 6.5));
  p.setPen(Pen(kGreen.darker(110), 1.6));
  p.drawLine(QPointF(5.5, 10.5), QPointF(10.5, 10.5));
  p.drawLine(QPointF(8, 8), QPointF(8, 13));
}

void Neutral(TGlyphPainter& p) {
  Shape(p, p.ink, kScreen);
  p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2.5, 2.5);
  Shape(p, {}, kGrey);
  p.drawEllipse(QPointF(8, 8), 2, 2);
}

const QHash<QString, Glyph>& Glyphs() {
  static const QHash<QString, Glyph> glyphs{
      {"dxButtonGraphicsStandard", GraphicsStandard},
      {"dxButtonGraphicsCockpit", Gauge},
      {"dxButtonResolution", Resolution},
      {"dxButtonScreenshots", Camera},
      {"dxButtonOptimisation", Sliders},
      {"dxButtonObjectClipping", Clipping},
      {"dxButtonObjectDensity", Density},
      {"dxButtonMultiClient", Client},
      {"dxButtonMultiServer", Server},
      {"dxButtonRealism", Target},
      {"dxButtonOther", More},
      {"dxButtonLUA", Lua},
      {"dxButtonView", Eye},
      {"dxButtonMouseView", Mouse},
      {"dxButtonSmokeColor", Smoke},
      {"dxButtonOptions", Options},
      {"dxButtonBackup", Backup},
      {"dxButtonThemesBlue", ThemeBlue},
      {"dxButtonThemesSilver", ThemeSilver},
      {"dxButtonThemesBlack", ThemeBlack},
      {"dxButtonFormStyle", FormStyle},
      {"dxButtonApply", Check},
      {"dxButtonCancel", Undo},
      {"dxButtonReview", Review},
      {"dxButtonOpenConfig", Folder},
      {"dxButtonSaveConfig", Floppy},
      {"dxButtonPlay", Play},
      {"dxButtonOpenServer", OpenServer},
      {"dxButtonJoinServer", JoinServer},
      {"dxButtonLotatcNet", LotatcNet},
      {"dxButtonLotatcClient", LotatcClient},
      {"dxButtonLotatcServer", LotatcServer},
      {"dxButtonKESTAUpdate", Update},
      {"dxButtonReportBug", Bug},
      {"dxButtonAbout", About},
      {"dxButtonExit", Exit},
      // Taking an Apply back
      {"dxButtonUndoApply", Backup},
      // The file commands of the backup page.
      {"SpeedButtonLoadLockonSettings", GraphicsStandard},
      {"SpeedButtonLoadDefault", Undo},
      {"SpeedButtonLoadFromFile", Folder},
      {"SpeedButtonSaveToFile", Floppy},
      {"RecentConfiguration", Document},
  };
  return glyphs;
}

QPixmap Render(Glyph glyph, int size, bool onDark) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  TGlyphPainter painter(&pixmap, onDark ? QColor(0xdc, 0xe3, 0xeb) : QColor(0x34, 0x43, 0x57));
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 16.0, size / 16.0);
  glyph(painter);
  return pixmap;
}

// Draws a glyph only when a button first shows it, at the size and in the mode asked for, and keeps
// the picture: most buttons sit on tabs nobody opens, and a button needs one size of its glyph.
class TGlyphEngine : public QIconEngine {
 public:
  TGlyphEngine(Glyph glyph, bool onDark) : m_glyph(glyph), m_onDark(onDark) {}

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    const int side = std::min(size.width(), size.height());
    return {side, side};
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
    const int side = std::min(size.width(), size.height());
    if (side <= 0) return {};
    const quint64 key = (static_cast<quint64>(side) << 8) | static_cast<quint64>(mode);
    if (const auto found = m_drawn.constFind(key); found != m_drawn.constEnd()) return *found;
    QPixmap picture = Render(m_glyph, side, m_onDark);
    if (mode != QIcon::Normal) {
      QStyleOption option;
      picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
    }
    m_drawn.insert(key, picture);
    return picture;
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
  }

  QIconEngine* clone() const override { return new TGlyphEngine(*this); }

 private:
  Glyph m_glyph;
  bool m_onDark;
  QHash<quint64, QPixmap> m_drawn;
};

}  // namespace

QIcon RibbonIcon(const QString& buttonName, bool onDark) {
  // Icons share their engine and so its pictures: a glyph is drawn once per size and mode.
  static QHash<QPair<QString, bool>, QIcon> icons;
  const QPair<QString, bool> key(buttonName, onDark);
  if (const auto found = icons.constFind(key); found != icons.constEnd()) return *found;
  const QIcon icon(new TGlyphEngine(Glyphs().value(buttonName, Neutral), onDark));
  icons.insert(key, icon);
  return icon;
}

bool HasRibbonGlyph(const QString& buttonName) { return Glyphs().contains(buttonName); }

namespace {

// The program's emblem, a jet seen from above, filling the rectangle.
void PaintEmblem(QPainter& painter, const QRectF& rect, const QColor& color) {
  painter.save();
  painter.translate(rect.topLeft());
  painter.scale(rect.width() / 16.0, rect.height() / 16.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(color);
  painter.drawPolygon(QPolygonF({{8, 0.5},
                                 {9, 3.5},
                                 {9.3, 6.3},
                                 {15.2, 10.6},
                                 {15.2, 11.8},
                                 {9.3, 10.4},
                                 {9, 12.8},
                                 {11.2, 14.3},
                                 {11.2, 15.2},
                                 {8, 14.4},
                                 {4.8, 15.2},
                                 {4.8, 14.3},
                                 {7, 12.8},
                                 {6.7, 10.4},
                                 {0.8, 11.8},
                                 {0.8, 10.6},
                                 {6.7, 6.3},
                                 {7, 3.5}}));
  painter.restore();
}

}  // namespace

void PaintApplicationOrb(QPainter& painter, const QRectF& orb, const QColor& base) {
  QRadialGradient body(orb.center() + QPointF(0, orb.height() * 0.3), orb.width() * 0.75);
  body.setColorAt(0, base.lighter(140));
  body.setColorAt(0.55, base);
  body.setColorAt(1, base.darker(140));
  painter.setPen(QPen(base.darker(170), 1));
  painter.setBrush(body);
  painter.drawEllipse(orb);
  const QRectF gloss(orb.left() + 5, orb.top() + 2, orb.width() - 10, orb.height() * 0.46);
  QLinearGradient shine(gloss.topLeft(), gloss.bottomLeft());
  shine.setColorAt(0, QColor(255, 255, 255, 170));
  shine.setColorAt(1, QColor(255, 255, 255, 25));
  painter.setPen(Qt::NoPen);
  painter.setBrush(shine);
  painter.drawEllipse(gloss);
  const QRectF emblem = orb.adjusted(9, 9, -9, -9);
  PaintEmblem(painter, emblem.translated(0, 1), QColor(0, 0, 0, 90));
  PaintEmblem(painter, emblem, Qt::white);
}

std::string ProgramIconFileName(int size) { return "kesta-" + std::to_string(size) + ".png"; }

QImage ProgramIconImage(int size) {
  constexpr double kButtonSize = 38;  // the orb keeps the ribbon button's proportions
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / kButtonSize, size / kButtonSize);
  PaintApplicationOrb(painter, QRectF(1, 1, kButtonSize - 2, kButtonSize - 2),
                      ColorsOf(ColorScheme::Blue).accent);
  return image;
}

void PaintCaptionGlyph(QPainter& painter, QPointF center, bool close, const QColor& color) {
  painter.setPen(QPen(color, 1.3));
  if (!close) {
    painter.drawLine(center + QPointF(-5, 3.5), center + QPointF(5, 3.5));
    return;
  }
  painter.drawLine(center + QPointF(-4.5, -4.5), center + QPointF(4.5, 4.5));
  painter.drawLine(center + QPointF(-4.5, 4.5), center + QPointF(4.5, -4.5));
}

}  // namespace kesta
