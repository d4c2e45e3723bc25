#include "picture_table.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

#include "aircraft_views.h"
#include "pictures.h"
#include "ui/preview_pictures.h"

namespace kesta::pictures {

namespace {

// A series prefix draws every level of its series; a whole name ignores the level.
struct Recipe {
  std::string_view name;
  QImage (*draw)(int level);
};

constexpr auto kRecipes = std::to_array<Recipe>({
    {"graphics_default.jpg", [](int) { return DrawGraphicsDefault(); }},
    {"textures.jpg", [](int) { return DrawTextures(); }},
    {"texturelevel_", DrawTextureLevel},
    {"waterquality_", DrawWaterQuality},
    {"fogquality_", DrawFogQuality},
    {"visibilityrange_", DrawVisibilityRange},
    {"LightsLevel_", DrawLightsLevel},
    {"effectoptions_", DrawEffectOptions},
    {"ShadowLevel_", DrawShadowLevel},
    {"shadowdensity_0.jpg", [](int) { return DrawShadowDensity(0); }},
    {"shadowdensity_5.jpg", [](int) { return DrawShadowDensity(5); }},
    {"shadowdensity_10.jpg", [](int) { return DrawShadowDensity(10); }},
    {"scenes_", DrawScenes},
    {"exhaust_", DrawExhaust},
    {"civiltraffic_", DrawCivilTraffic},
    {"mirror_", DrawMirrors},
    {"reflections_", DrawReflections},
    {"mirrorresolution_", DrawMirrorResolution},
    {"russianhud_", DrawRussianHud},
    {"canopy.jpg", [](int) { return DrawCanopy(true); }},
    {"canopy_old.jpg", [](int) { return DrawCanopy(false); }},
});

const Recipe& RecipeFor(std::string_view name) {
  const auto found =
      std::find_if(kRecipes.begin(), kRecipes.end(), [&](const Recipe& r) { return r.name == name; });
  if (found == kRecipes.end()) throw std::runtime_error("no drawing for the picture " + std::string(name));
  return *found;
}

void Add(std::vector<NamedPicture>& pictures, std::string name, QImage image, int width, int height) {
  if (image.width() != width || image.height() != height)
    throw std::runtime_error("the drawing of " + name + " has the wrong size");
  pictures.push_back({std::move(name), std::move(image)});
}

}  // namespace

std::vector<NamedPicture> DrawAllPictures() {
  std::vector<NamedPicture> pictures;
  std::size_t used = 0;
  for (const PictureSeries& series : kPreviewSeries) {
    const Recipe& recipe = RecipeFor(series.prefix);
    ++used;
    for (int level = series.first; level <= series.last; ++level)
      Add(pictures, PreviewPictureName(series.prefix, level), recipe.draw(level), kPreviewWidth,
          kPreviewHeight);
  }
  for (std::string_view name : kPreviewNames) {
    Add(pictures, std::string(name), RecipeFor(name).draw(0), kPreviewWidth, kPreviewHeight);
    ++used;
  }
  if (used != kRecipes.size())
    throw std::runtime_error("a drawing has no name in the program's picture list");
  for (std::string_view aircraft : kF4ViewAircraft) {
    const AircraftShape& shape = AircraftShapeNamed(aircraft);
    Add(pictures, std::string(aircraft) + ".jpg", DrawTopView(shape), kTopViewWidth, kTopViewHeight);
    Add(pictures, std::string(aircraft) + "_side.jpg", DrawSideView(shape), kSideViewWidth, kSideViewHeight);
  }
  for (std::string_view name : kSmokePodPictures) {
    if (name != "smokepod_us.jpg" && name != "smokepod_ru.jpg")
      throw std::runtime_error("no drawing for the picture " + std::string(name));
    Add(pictures, std::string(name), DrawSmokePod(name == "smokepod_ru.jpg"), kSmokePodWidth,
        kSmokePodHeight);
  }
  Add(pictures, std::string(kAboutBanner), DrawAboutBanner(), kAboutBannerWidth, kAboutBannerHeight);
  return pictures;
}

}  // namespace kesta::pictures
