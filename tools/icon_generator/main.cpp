// kesta_icon_generator OUTPUT_FOLDER
// Draws the program's icon, the application button's orb and emblem as the window and the tray show
// them, into OUTPUT_FOLDER/hicolor/NxN/apps/kesta.png at the sizes of the freedesktop icon theme.

#include <QImage>
#include <filesystem>
#include <iostream>
#include <string>

#include "ui/ribbon_icons.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: kesta_icon_generator OUTPUT_FOLDER\n";
    return 2;
  }
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QImage image = kesta::ProgramIconImage(size);
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
