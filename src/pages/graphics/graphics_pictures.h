#pragma once
// The preview pictures of the graphics and cockpit controls, named after the value shown. The pages
// show them on a change; a load asks for the same ones.

#include <cstddef>
#include <string>

#include "ui/preview_pictures.h"

namespace kesta {

// The standards page's plain sliders, in page order: texture level, precaching, water, fog, lights,
// effects, shadow level.
inline std::string StandardsSliderPicture(size_t slider, int position) {
  switch (slider) {
    case 0:
      return PreviewPictureName("texturelevel_", position);
    case 1:
      return "graphics_default.jpg";
    case 2:
      return PreviewPictureName("waterquality_", position);
    case 3:
      return PreviewPictureName("fogquality_", position);
    case 4:
      return PreviewPictureName("LightsLevel_", position);
    case 5:
      return PreviewPictureName("effectoptions_", position);
    default:
      return PreviewPictureName("ShadowLevel_", position);
  }
}

inline std::string ShadowDensityPicture(int position) {
  return position <= 3   ? "shadowdensity_0.jpg"
         : position <= 6 ? "shadowdensity_5.jpg"
                         : "shadowdensity_10.jpg";
}

inline std::string ExhaustPicture(bool checked) { return checked ? "exhaust_1.jpg" : "exhaust_0.jpg"; }
inline std::string ScenesPicture(int position) { return PreviewPictureName("scenes_", position); }
inline std::string CivilTrafficPicture(bool checked) {
  return PreviewPictureName("civiltraffic_", checked ? 1 : 0);
}

inline std::string MirrorsPicture(int position) { return PreviewPictureName("mirror_", position); }
inline std::string ReflectionsPicture(int position) { return PreviewPictureName("reflections_", position); }
inline std::string MirrorResolutionPicture(int position) {
  return PreviewPictureName("mirrorresolution_", position);
}
inline std::string RussianHudPicture(bool checked) {
  return PreviewPictureName("russianhud_", checked ? 1 : 0);
}

}  // namespace kesta
