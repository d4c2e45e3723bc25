#include "ui/color_patch.h"

#include <QFrame>
#include <QPalette>

namespace kesta {

QFrame* MakeColorPatch(const QString& name, QSize size, QWidget* parent) {
  auto* patch = new QFrame(parent);
  patch->setObjectName(name);
  patch->setFrameStyle(QFrame::Box | QFrame::Plain);
  patch->setAutoFillBackground(true);
  patch->setFixedSize(size);
  return patch;
}

void SetPatchColor(QFrame* patch, const QColor& color) {
  QPalette palette = patch->palette();
  palette.setColor(QPalette::Window, color);
  palette.setColor(QPalette::WindowText, QColor(96, 96, 96));  // the frame
  patch->setPalette(palette);
}

QColor PatchColor(const QFrame* patch) { return patch->palette().color(QPalette::Window); }

}  // namespace kesta
