#include "ui/png_image.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <string>

#include "platform/file_io.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

// Every pixel different from its neighbours, with alpha where the format has it.
QImage Gradient(QImage::Format format) {
  QImage image(37, 23, format);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixelColor(x, y,
                          QColor(x * 7, y * 11, (x * y) % 256, image.hasAlphaChannel() ? 255 - x * 3 : 255));
  return image;
}

bool SamePixels(const QImage& a, const QImage& b) {
  return a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

TEST(PngImageTest, OurPicturesAndQtsReadAsTheirPixels) {
  const test::TempFolder folder;
  const struct {
    const char* name;
    QImage::Format format;
    bool writtenByQt;
  } cases[] = {
      {"opaque, ours", QImage::Format_RGB32, false},
      {"with alpha, ours", QImage::Format_ARGB32, false},
      {"opaque, Qt's", QImage::Format_RGB32, true},
      {"with alpha, Qt's", QImage::Format_ARGB32, true},
      {"palette, Qt's", QImage::Format_Indexed8, true},
      {"grey, 16 bits, Qt's", QImage::Format_Grayscale16, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QImage picture = Gradient(QImage::Format_ARGB32).convertToFormat(c.format);
    const auto file = folder / "picture.png";
    if (c.writtenByQt)
      ASSERT_TRUE(picture.save(QString::fromStdString(file.string()), "PNG"));
    else
      WritePngFile(picture, file);
    const QImage read = ReadPngFile(file);
    ASSERT_FALSE(read.isNull());
    EXPECT_EQ(read.hasAlphaChannel(), picture.hasAlphaChannel());
    // Sixteen-bit grey keeps its upper byte, as a screen shows it.
    EXPECT_TRUE(SamePixels(
        read, picture.convertToFormat(c.format == QImage::Format_Grayscale16 ? QImage::Format_Grayscale8
                                                                             : picture.format())));
  }
}

TEST(PngImageTest, AnythingButAWholePngIsNoPicture) {
  const test::TempFolder folder;
  WritePngFile(Gradient(QImage::Format_RGB32), folder / "whole.png");
  const std::string whole = ReadWholeFile(folder / "whole.png");
  // Wider than any picture the program draws.
  WritePngFile(QImage(5000, 1, QImage::Format_RGB32), folder / "wide.png");
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"not a PNG", "GIF89a, not a PNG at all"},
      {"cut in the middle", whole.substr(0, whole.size() / 2)},
      {"5000 pixels wide", ReadWholeFile(folder / "wide.png")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileAtomically(folder / "broken.png", c.bytes);
    EXPECT_TRUE(ReadPngFile(folder / "broken.png").isNull());
  }
  EXPECT_TRUE(ReadPngFile(folder / "missing.png").isNull());
}

}  // namespace
}  // namespace kesta
