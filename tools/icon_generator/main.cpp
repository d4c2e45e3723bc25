// kesta_icon_generator OUTPUT_FOLDER
// Draws the program's icon, the application button's orb and emblem as the window and the tray show
// them, into OUTPUT_FOLDER/hicolor/NxN/apps/kesta.png at the sizes of the freedesktop icon theme.

#include <QImage>
#include <QPainter>
#include <filesystem>
#include <iostream>
#include <string>

#include "ui/ribbon_icons.h"
#include "ui/theme.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: kesta_icon_generator OUTPUT_FOLDER\n";
    return 2;
  }
  constexpr double kButtonSize = 38;  // the orb is drawn in the ribbon button's proportions
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kButtonSize, size / kButtonSize);
    kesta::PaintApplicationOrb(painter, QRectF(1, 1, kButtonSize - 2, kButtonSize - 2),
                               kesta::ColorsOf(kesta::ColorScheme::Blue).accent);
    painter.end();
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "hicolor" / name / "apps";
    std::filesystem::create_directories(folder);
    if (!image.save(QString::fromStdString((folder / "kesta.png").string()), "PNG")) {
      std::cerr << "cannot write " << (folder / "kesta.png").string() << '\n';
      return 1;
    }
  }
  return 0;
}
