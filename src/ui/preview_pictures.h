#pragma once
// Every picture of the images folder that the program can ask for, and its size. The build draws each of
// them (tools/picture_generator) and a test checks that the sources ask for no other name.
//
// How the sources name a picture, so that the test can find every name:
//  - a whole literal, "graphics_default.jpg";
//  - a prefix literal ending in "_" joined with a level and ".jpg" in the same statement,
//    "texturelevel_" + position + ".jpg" (or PreviewPictureName("texturelevel_", position));
//  - an aircraft name of kF4ViewAircraft followed by ".jpg" (top view) or "_side.jpg" (side view).

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kesta {

// The preview area of the graphics pages.
inline constexpr int kPreviewWidth = 470;
inline constexpr int kPreviewHeight = 135;

// The two picture areas of the F4 view window; pictures are drawn unscaled from their top-left corner.
inline constexpr int kTopViewWidth = 360;
inline constexpr int kTopViewHeight = 450;
inline constexpr int kSideViewWidth = 141;
inline constexpr int kSideViewHeight = 435;

// The smoke pod pictures beside each group of pods on the smoke colour page.
inline constexpr int kSmokePodWidth = 160;
inline constexpr int kSmokePodHeight = 90;

// The banner along the top of the About window.
inline constexpr int kAboutBannerWidth = 297;
inline constexpr int kAboutBannerHeight = 153;
inline constexpr std::string_view kAboutBanner = "about_banner.jpg";

// Pictures named prefix + level + ".jpg" for every level from first to last.
struct PictureSeries {
  std::string_view prefix;
  int first;
  int last;
};

inline constexpr auto kPreviewSeries = std::to_array<PictureSeries>({
    {"texturelevel_", 0, 2},
    {"waterquality_", 0, 3},
    {"fogquality_", 0, 1},
    {"LightsLevel_", 0, 2},
    {"effectoptions_", 0, 3},
    {"ShadowLevel_", 0, 3},
    {"scenes_", 0, 2},
    {"exhaust_", 0, 1},
    {"civiltraffic_", 0, 1},
    {"visibilityrange_", 0, 2},
    {"mirror_", 0, 1},
    {"reflections_", 0, 1},
    {"mirrorresolution_", 0, 2},
    {"russianhud_", 0, 1},
});

// Pictures asked for by their whole name.
inline constexpr auto kPreviewNames = std::to_array<std::string_view>({
    "graphics_default.jpg",
    "textures.jpg",
    "shadowdensity_0.jpg",
    "shadowdensity_5.jpg",
    "shadowdensity_10.jpg",
    "canopy.jpg",
    "canopy_old.jpg",
});

inline constexpr auto kF4ViewAircraft =
    std::to_array<std::string_view>({"A-10A", "F-15C", "MiG-29", "Su-25T", "Su-27", "Su-33"});

// One smoke pod picture for each group of pods.
inline constexpr auto kSmokePodPictures =
    std::to_array<std::string_view>({"smokepod_us.jpg", "smokepod_ru.jpg"});

inline std::string PreviewPictureName(std::string_view prefix, int level) {
  return std::string(prefix) + std::to_string(level) + ".jpg";
}

struct PictureFile {
  std::string name;
  int width;
  int height;
};

// Every file of the images folder with its size.
inline std::vector<PictureFile> AllPictureFiles() {
  std::vector<PictureFile> files;
  for (const PictureSeries& series : kPreviewSeries)
    for (int level = series.first; level <= series.last; ++level)
      files.push_back({PreviewPictureName(series.prefix, level), kPreviewWidth, kPreviewHeight});
  for (std::string_view name : kPreviewNames)
    files.push_back({std::string(name), kPreviewWidth, kPreviewHeight});
  for (std::string_view aircraft : kF4ViewAircraft) {
    files.push_back({std::string(aircraft) + ".jpg", kTopViewWidth, kTopViewHeight});
    files.push_back({std::string(aircraft) + "_side.jpg", kSideViewWidth, kSideViewHeight});
  }
  for (std::string_view name : kSmokePodPictures)
    files.push_back({std::string(name), kSmokePodWidth, kSmokePodHeight});
  files.push_back({std::string(kAboutBanner), kAboutBannerWidth, kAboutBannerHeight});
  return files;
}

}  // namespace kesta
