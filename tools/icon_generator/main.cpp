// kesta_icon_generator OUTPUT_FOLDER [PICTURES_FOLDER]
// Draws the program's icon, the application button's orb and emblem as the window and the tray show
// them, into OUTPUT_FOLDER/hicolor/NxN/apps/kesta.png at the sizes of the freedesktop icon theme, and the
// window's and tray's sizes into the program's PICTURES_FOLDER, so the program reads them instead of
// painting them at start-up.

#include <QImage>
#include <filesystem>
#include <iostream>
#include <string>

#include "ui/png_image.h"
#include "ui/ribbon_icons.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::cerr << "usage: kesta_icon_generator OUTPUT_FOLDER [PICTURES_FOLDER]\n";
    return 2;
  }
  const auto save = [](const QImage& image, const std::filesystem::path& file) {
    try {
      std::filesystem::create_directories(file.parent_path());
      kesta::WritePngFile(image, file);
      return true;
    } catch (const std::exception& failure) {
      std::cerr << "cannot write " << file.string() << ": " << failure.what() << '\n';
      return false;
    }
  };
  if (argc == 3)
    for (int size : kesta::kProgramIconSizes)
      if (!save(kesta::ProgramIconImage(size),
                std::filesystem::path(argv[2]) / kesta::ProgramIconFileName(size)))
        return 1;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QImage image = kesta::ProgramIconImage(size);
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    if (!save(image, std::filesystem::path(argv[1]) / "hicolor" / name / "apps" / "kesta.png")) return 1;
  }
  return 0;
}
