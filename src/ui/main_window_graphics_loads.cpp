// What a load of graphics.cfg or cockpit.cfg does beyond its pages: the pictures that the changed
// values ask for (a missing one fails the load), the picture left above the page, the aspect check of
// the reactivation reload, the modified state and the time stamp of our own writes.

#include "documents/cockpit_document.h"
#include "documents/graphics_document.h"
#include "engine/failure.h"
#include "pages/graphics/graphics_pages.h"
#include "pages/graphics/graphics_pictures.h"
#include "platform/file_times.h"
#include "sets/game_file_set.h"
#include "ui/main_window.h"
#include "ui/page_area.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

// The pictures the standards page shows for the values that changed, in the order of the file.
std::vector<std::string> ChangedStandardsPictures(const GraphicsDocument& before,
                                                  const GraphicsDocument& after) {
  std::vector<std::string> pictures;
  const int GraphicsDocument::*sliders[] = {
      &GraphicsDocument::textureLevel, &GraphicsDocument::precaching,  &GraphicsDocument::waterQuality,
      &GraphicsDocument::fogQuality,   &GraphicsDocument::lightsLevel, &GraphicsDocument::effectOptions};
  for (size_t i = 0; i < std::size(sliders); ++i)
    if (before.*sliders[i] != after.*sliders[i])
      pictures.push_back(StandardsSliderPicture(i, after.*sliders[i]));
  if (before.exhaust != after.exhaust) pictures.push_back(ExhaustPicture(after.exhaust));
  if (before.shadowLevel != after.shadowLevel)
    pictures.push_back(StandardsSliderPicture(6, after.shadowLevel));
  if (before.shadowDensity != after.shadowDensity)
    pictures.push_back(ShadowDensityPicture(after.shadowDensity));
  return pictures;
}

QString Picture(const std::string& name) { return QString::fromStdString(name); }

}  // namespace

bool TFrmKESTA::LoadGraphicsSettings(const fs::path& path, bool checkAspectOnly) {
  m_checkAspectOnly = checkAspectOnly;
  m_aspectDiffers = false;
  m_graphicsLoadPath = path;
  m_gameFiles->Load(GraphicsDocument::kCatalogKey, path);
  m_checkAspectOnly = false;
  return checkAspectOnly && m_aspectDiffers;
}

void TFrmKESTA::ApplyGraphicsSettings(const fs::path& targetPath) {
  m_gameFiles->Apply(GraphicsDocument::kCatalogKey, targetPath);
}

void TFrmKESTA::LoadCockpitSettings(const fs::path& path) {
  m_gameFiles->Load(CockpitDocument::kCatalogKey, path);
}

void TFrmKESTA::ApplyCockpitSettings(const fs::path& targetPath) {
  m_gameFiles->Apply(CockpitDocument::kCatalogKey, targetPath);
}

void TFrmKESTA::ConnectGraphicsFileLoads() {
  TGameFileSet& files = *m_gameFiles;
  files.SetLoadedHook(
      GraphicsDocument::kCatalogKey, [this](GameDocument& document, const GameDocument& before) {
        auto* graphics = dynamic_cast<GraphicsDocument*>(&document);
        if (!graphics) return;  // a stand-in
        GraphicsDocument& after = *graphics;
        const auto& was = static_cast<const GraphicsDocument&>(before);
        // The reactivation reload only compares the aspect; the default copy offered after a failure is
        // always loaded in full.
        if (m_checkAspectOnly &&
            m_gameFiles->RememberedPath(GraphicsDocument::kCatalogKey) == m_graphicsLoadPath) {
          m_aspectDiffers = after.aspect != was.aspect;
          after.aspect = was.aspect;
        }
        const std::string profilePicture = VisibilityRangePicture(after.currentProfile);
        m_pageArea->CheckPreviewPicture("graphics_default.jpg");
        try {
          m_pageArea->CheckPreviewPicture(Picture(profilePicture));
        } catch (const std::exception& failure) {
          throw EKestaError(ProfileShowFailure(failure.what()));
        }
        for (const std::string& picture : ChangedStandardsPictures(was, after))
          m_pageArea->CheckPreviewPicture(Picture(picture));
        m_pageArea->LoadPreviewPicture(Picture(profilePicture));
        // Loading selects the resolutions, which marks the pages modified; the callers settle
        // the state.
        EnableApplyCancel(true, true);
      });
  // Our own write must not look like an outside change to the reactivation check.
  files.SetSavedHook(GraphicsDocument::kCatalogKey, [this](const fs::path& targetPath) {
    if (targetPath == GamePathOf(GraphicsDocument::kCatalogKey))
      GetLastWriteTime(targetPath, m_graphicsTimeStamp);
  });

  files.SetLoadedHook(
      CockpitDocument::kCatalogKey, [this](GameDocument& document, const GameDocument& before) {
        const auto* cockpit = dynamic_cast<const CockpitDocument*>(&document);
        if (!cockpit) return;  // a stand-in
        const CockpitDocument& after = *cockpit;
        const auto& was = static_cast<const CockpitDocument&>(before);
        const std::pair<bool, std::string> changes[] = {
            {was.mirrors != after.mirrors, MirrorsPicture(after.mirrors)},
            {was.mirrorResolution != after.mirrorResolution, MirrorResolutionPicture(after.mirrorResolution)},
            {was.reflections != after.reflections, ReflectionsPicture(after.reflections)},
            {was.russianHud != after.russianHud, RussianHudPicture(after.russianHud)}};
        for (const auto& [changed, picture] : changes) {
          if (!changed) continue;
          ShowPreviewPicture(Picture(picture));
          EnableApplyCancel(true, true);
        }
        m_pageArea->LoadPreviewPicture("graphics_default.jpg");
      });
}

}  // namespace kesta
