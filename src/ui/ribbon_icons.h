#pragma once
// Vector glyphs for the ribbon's buttons, drawn with QPainter at the size a button shows them, so they stay
// crisp without image files.

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QString>
#include <string>

class QPainter;
class QPointF;
class QRectF;

namespace kesta {

// The glyph of the button with this object name; unknown names get a neutral glyph. On a dark
// background the outlines are drawn light.
QIcon RibbonIcon(const QString& buttonName, bool onDark = false);

// Whether the name has a glyph of its own (not the neutral one).
bool HasRibbonGlyph(const QString& buttonName);

// The round application button in the given colour, glossy, with the program's emblem.
void PaintApplicationOrb(QPainter& painter, const QRectF& orb, const QColor& base);

// The program's icon (window, tray, desktop menu): the application button's orb in the blue scheme.
QImage ProgramIconImage(int size);
// The sizes of the window's and tray's icon, which the build draws into the program's pictures, and the
// file each is drawn to there.
inline constexpr int kProgramIconSizes[] = {16, 22, 24, 32, 48, 64};
std::string ProgramIconFileName(int size);

// The minimise bar or the close cross of a frameless window's caption.
void PaintCaptionGlyph(QPainter& painter, QPointF center, bool close, const QColor& color);

}  // namespace kesta
