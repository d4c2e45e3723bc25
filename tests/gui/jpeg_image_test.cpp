#include "ui/jpeg_image.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <cerrno>
#include <functional>
#include <string>

#include "engine/failure.h"
#include "platform/file_io.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

// Four blocks of plain colour, large enough for JPEG's 8×8 blocks to keep them.
const QColor kBlockColours[] = {QColor(200, 30, 40), QColor(30, 160, 60), QColor(40, 70, 210),
                                QColor(240, 240, 230)};

QImage ColourBlocks() {
  QImage image(64, 48, QImage::Format_RGB32);
  QPainter painter(&image);
  for (int i = 0; i < 4; ++i) painter.fillRect(QRect((i % 2) * 32, (i / 2) * 24, 32, 24), kBlockColours[i]);
  return image;
}

std::string EncodedBlocks(const test::TempFolder& folder) {
  const auto path = folder / "blocks.jpg";
  EncodeJpegFile(ColourBlocks(), path, 90);
  return ReadWholeFile(path);
}

std::string FailureText(const std::function<void()>& action) {
  try {
    action();
  } catch (const EKestaError& failure) {
    return failure.what();
  }
  return "<no failure>";
}

TEST(JpegImageTest, RoundTripKeepsSizeAndColours) {
  const test::TempFolder folder;
  const auto path = folder / "blocks.jpg";
  EncodeJpegFile(ColourBlocks(), path, 90);
  const QImage decoded = DecodeJpegFile(path);
  ASSERT_EQ(decoded.size(), QSize(64, 48));
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const QColor seen = decoded.pixelColor((i % 2) * 32 + 16, (i / 2) * 24 + 12);
    EXPECT_NEAR(seen.red(), kBlockColours[i].red(), 8);
    EXPECT_NEAR(seen.green(), kBlockColours[i].green(), 8);
    EXPECT_NEAR(seen.blue(), kBlockColours[i].blue(), 8);
  }
}

TEST(JpegImageTest, MissingFileFailsWithTheSystemText) {
  const test::TempFolder folder;
  const auto path = folder / "missing.jpg";
  EXPECT_EQ(FailureText([&] { DecodeJpegFile(path); }),
            "Cannot open file \"" + path.string() + "\". " + SystemErrorText(ENOENT));
}

TEST(JpegImageTest, BrokenFilesFailWithLibjpegsMessage) {
  const test::TempFolder folder;
  const std::string good = EncodedBlocks(folder);
  // Cut inside the picture data, where libjpeg would only warn and fill the rest with grey.
  const std::size_t scan = good.find("\xff\xda");
  ASSERT_NE(scan, std::string::npos);
  const std::string truncated = good.substr(0, scan + (good.size() - scan) / 2);
  // A forged size in the frame header (after FF C0, the length, the precision: height, then width).
  std::string huge = good;
  const std::size_t frame = huge.find("\xff\xc0");
  ASSERT_NE(frame, std::string::npos);
  huge.replace(frame + 5, 4, "\x4e\x20\x4e\x20");  // 20000 × 20000
  const struct {
    const char* name;
    std::string bytes;
    std::string message;
  } cases[] = {
      {"text.jpg", "Hello, world\n", "Not a JPEG file: starts with 0x48 0x65"},
      {"empty.jpg", "", "Empty input file"},
      {"truncated.jpg", truncated, "Premature end of JPEG file"},
      {"huge.jpg", huge, "Picture too large"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = folder.Write(c.name, c.bytes);
    EXPECT_EQ(FailureText([&] { DecodeJpegFile(path); }), path.string() + ": " + c.message);
  }
}

TEST(JpegImageTest, EncodingIntoAMissingFolderFails) {
  const test::TempFolder folder;
  const auto path = folder / "no-such-folder" / "picture.jpg";
  EXPECT_EQ(FailureText([&] { EncodeJpegFile(ColourBlocks(), path, 90); }).rfind("Cannot create file \"", 0),
            0u);
}

}  // namespace
}  // namespace kesta
