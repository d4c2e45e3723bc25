// The images folder holds every picture the program can ask for, at the size of the area that shows it.
// Names are found in the sources by the convention described in ui/preview_pictures.h.

#include "ui/preview_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "engine/failure.h"
#include "platform/file_io.h"
#include "support/temp_folder.h"
#include "ui/jpeg_image.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

// The code of a source file with every string literal replaced by a marker, and the literals themselves.
struct Skeleton {
  std::string code;
  std::vector<std::string> literals;
};

Skeleton SkeletonOf(const std::string& source) {
  Skeleton skeleton;
  for (std::size_t i = 0; i < source.size(); ++i) {
    if (source.compare(i, 2, "//") == 0) {
      i = source.find('\n', i);
      if (i == std::string::npos) break;
    } else if (source.compare(i, 2, "/*") == 0) {
      i = source.find("*/", i + 2);
      if (i == std::string::npos) break;
      ++i;
    } else if (source[i] == '\'') {
      for (++i; i < source.size() && source[i] != '\''; ++i)
        if (source[i] == '\\') ++i;
    } else if (source[i] == '"') {
      std::string literal;
      for (++i; i < source.size() && source[i] != '"'; ++i) {
        if (source[i] == '\\') ++i;
        if (i < source.size()) literal += source[i];
      }
      skeleton.code += "\"" + std::to_string(skeleton.literals.size()) + "\"";
      skeleton.literals.push_back(literal);
    } else {
      skeleton.code += source[i];
    }
  }
  return skeleton;
}

// Picture names a source asks for: whole names, and "prefix_" patterns standing for prefix + level + ".jpg".
std::set<std::string> PictureNamesIn(const std::string& source) {
  static const std::regex kWholeName("[A-Za-z0-9][A-Za-z0-9_-]*\\.jpg");
  static const std::regex kPrefix("[A-Za-z][A-Za-z0-9]*_");
  static const std::regex kArgPattern("([A-Za-z][A-Za-z0-9]*_)%1\\.jpg");
  static const std::regex kMarker("\"(\\d+)\"");
  const Skeleton skeleton = SkeletonOf(source);
  std::set<std::string> names;
  std::size_t start = 0;
  while (start < skeleton.code.size()) {
    const std::size_t end = std::min(skeleton.code.find_first_of(";{}", start), skeleton.code.size());
    const std::string statement = skeleton.code.substr(start, end - start);
    std::vector<std::string> literals;
    for (std::sregex_iterator it(statement.begin(), statement.end(), kMarker), last; it != last; ++it)
      literals.push_back(skeleton.literals[std::stoul((*it)[1])]);
    const bool joinsLevel = statement.find("PreviewPictureName(") != std::string::npos ||
                            std::find(literals.begin(), literals.end(), ".jpg") != literals.end();
    for (const std::string& literal : literals) {
      std::smatch match;
      if (std::regex_match(literal, kWholeName)) names.insert(literal);
      if (joinsLevel && std::regex_match(literal, kPrefix)) names.insert(literal);
      if (std::regex_match(literal, match, kArgPattern)) names.insert(match[1]);
    }
    start = end + 1;
  }
  return names;
}

std::set<std::string> PictureNamesUnder(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
    names.merge(PictureNamesIn(ReadWholeFile(entry.path())));
  }
  return names;
}

bool IsKnownPicture(const std::string& name) {
  const auto files = AllPictureFiles();
  const bool whole =
      std::any_of(files.begin(), files.end(), [&](const PictureFile& f) { return f.name == name; });
  const bool series = std::any_of(kPreviewSeries.begin(), kPreviewSeries.end(),
                                  [&](const PictureSeries& s) { return s.prefix == name; });
  return whole || series;
}

TEST(PreviewPicturesTest, SourceScanFindsNamesByTheConvention) {
  const test::TempFolder folder;
  const auto file = folder.Write("page.cpp", R"(
    // "commented_out.jpg" is not asked for
    ShowPreview("texturelevel_" + QString::number(slider->Position()) +
                ".jpg");
    ShowPreview(PreviewPictureName("mirror_", position));
    ShowPreview(QString("waterquality_%1.jpg").arg(position));
    ShowPreview(checked ? "exhaust_1.jpg" : "exhaust_0.jpg");
    const char* title = "Graphics_";  // not joined with a level
    name.remove(".jpg"); screenshot = "ScreenShots/ScreenShot_%03d.jpg";
  )");
  EXPECT_EQ(
      PictureNamesIn(ReadWholeFile(file)),
      (std::set<std::string>{"exhaust_0.jpg", "exhaust_1.jpg", "mirror_", "texturelevel_", "waterquality_"}));
}

TEST(PreviewPicturesTest, EveryPictureTheSourcesAskForIsDrawn) {
  for (const std::string& name : PictureNamesUnder(test::SourceFolder() / "src"))
    EXPECT_TRUE(IsKnownPicture(name)) << name << " is asked for but not in ui/preview_pictures.h";
}

TEST(PreviewPicturesTest, EveryPictureIsInTheImagesFolderAtItsSize) {
  const fs::path images = test::BinaryFolder() / "Images";
  for (const PictureFile& file : AllPictureFiles()) {
    SCOPED_TRACE(file.name);
    try {
      const QImage picture = DecodeJpegFile(images / file.name);
      EXPECT_EQ(picture.size(), QSize(file.width, file.height));
    } catch (const EKestaError& failure) {
      ADD_FAILURE() << failure.what();
    }
  }
}

}  // namespace
}  // namespace kesta
