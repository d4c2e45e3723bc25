#pragma once
// JPEG pictures through libjpeg: the preview pictures the pages show, and the ones our generator draws.

#include <QImage>
#include <filesystem>

namespace kesta {

// Decodes a JPEG file into an RGB image. A missing or unreadable file fails with
// "Cannot open file "…". <system text>"; a broken or non-JPEG file fails with the file name followed by
// libjpeg's message. A damaged file never ends the process.
QImage DecodeJpegFile(const std::filesystem::path& path);

// Checks, without decoding, that the file can be read and starts like a JPEG picture; fails with the same
// kind of text as DecodeJpegFile.
void CheckJpegFile(const std::filesystem::path& path);

// Encodes the image (quality 0..100, clamped) and replaces the file atomically.
void EncodeJpegFile(const QImage& image, const std::filesystem::path& path, int quality);

}  // namespace kesta
