#pragma once
// Which drawing makes which file of the images folder.

#include <QImage>
#include <string>
#include <vector>

namespace kesta::pictures {

struct NamedPicture {
  std::string name;
  QImage image;
};

// Draws every picture the program can ask for. Fails when the program's list of names and the drawings
// here disagree, so that a new name cannot ship without its picture.
std::vector<NamedPicture> DrawAllPictures();

}  // namespace kesta::pictures
