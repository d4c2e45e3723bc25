#pragma once
// A patch that shows one colour (the HUD colour, a smoke colour), framed so that white and pale colours
// stand apart from the page.

#include <QColor>
#include <QSize>
#include <QString>

class QFrame;
class QWidget;

namespace kesta {

QFrame* MakeColorPatch(const QString& name, QSize size, QWidget* parent);
void SetPatchColor(QFrame* patch, const QColor& color);
QColor PatchColor(const QFrame* patch);

}  // namespace kesta
