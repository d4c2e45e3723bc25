// kesta_picture_generator OUTPUT_FOLDER [--contact-sheet FILE.png]
// Draws every picture of the program's images folder into OUTPUT_FOLDER as JPEG files. The contact sheet,
// all pictures on one PNG, is for looking them over.

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "picture_table.h"
#include "ui/jpeg_image.h"
#include "ui/preview_pictures.h"

namespace {

constexpr int kQuality = 92;

// Previews three to a row, then the aircraft, top and side view side by side, three aircraft to a row.
void SaveContactSheet(const std::vector<kesta::pictures::NamedPicture>& pictures, const std::string& file) {
  constexpr int kGap = 6, kColumns = 3;
  std::vector<QPoint> places;
  int x = 0, y = 0, rowHeight = 0, width = 0, column = 0;
  bool previews = true;
  for (const auto& picture : pictures) {
    const bool preview = picture.image.height() == kesta::kPreviewHeight;
    const bool sideView = picture.image.width() == kesta::kSideViewWidth;
    if (!sideView && (column == kColumns || preview != previews)) {
      y += rowHeight + kGap;
      x = column = rowHeight = 0;
    }
    previews = preview;
    places.push_back({x, y});
    x += picture.image.width() + kGap;
    width = std::max(width, x);
    rowHeight = std::max(rowHeight, picture.image.height());
    if (preview || sideView) ++column;
  }
  QImage sheet(width, y + rowHeight, QImage::Format_RGB32);
  sheet.fill(QColor(40, 40, 40));
  QPainter painter(&sheet);
  for (std::size_t i = 0; i < pictures.size(); ++i) painter.drawImage(places[i], pictures[i].image);
  painter.end();
  if (!sheet.save(QString::fromStdString(file))) throw std::runtime_error("cannot write " + file);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.empty() ||
      (arguments.size() != 1 && (arguments.size() != 3 || arguments[1] != "--contact-sheet"))) {
    std::cerr << "usage: kesta_picture_generator OUTPUT_FOLDER [--contact-sheet FILE.png]\n";
    return 2;
  }
  try {
    const std::filesystem::path folder = arguments[0];
    std::filesystem::create_directories(folder);
    const auto pictures = kesta::pictures::DrawAllPictures();
    for (const auto& picture : pictures)
      kesta::EncodeJpegFile(picture.image, folder / picture.name, kQuality);
    if (arguments.size() == 3) SaveContactSheet(pictures, arguments[2]);
  } catch (const std::exception& failure) {
    std::cerr << "kesta_picture_generator: " << failure.what() << "\n";
    return 1;
  }
  return 0;
}
