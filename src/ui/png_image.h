#pragma once
// The pictures the build draws into the program's folder, read with libpng itself: QImage's own reading
// first looks through every image format plugin, which costs more than painting the picture.

#include <QImage>
#include <filesystem>

namespace kesta {

// The PNG file as a 32-bit image with alpha; a null image when the file is missing, broken, not a PNG or
// larger than any picture the program draws. Never throws: every caller has a painted fallback.
QImage ReadPngFile(const std::filesystem::path& path);

// Writes the image as an 8-bit PNG, with alpha only when the image has it, and replaces the file
// atomically; fails with EKestaError naming the file. Rows are filtered only by their left or upper
// neighbour: the reading then costs a third of what the default filters make it cost.
void WritePngFile(const QImage& image, const std::filesystem::path& path);

}  // namespace kesta
