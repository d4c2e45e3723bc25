// graphics.cfg behind the standards, resolution, screenshot and optimisation pages: the file's page
// logic, the standards page and its preview handlers. The other pages live beside this file.

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QVBoxLayout>
#include <cmath>

#include "engine/failure.h"
#include "engine/number_format.h"
#include "engine/text.h"
#include "pages/graphics/graphics_controls.h"
#include "platform/file_times.h"
#include "sets/game_file_set.h"
#include "settings/helpers.h"
#include "ui/main_window.h"
#include "ui/preview_pictures.h"
#include "ui/special_slider.h"
#include "ui/tab_sheet.h"

namespace kesta {

namespace fs = std::filesystem;

class TFrmKESTA::TGraphicsFile final : public GameFileHandler {
 public:
  explicit TGraphicsFile(TFrmKESTA& window) : m_window(window) {}
  const GameFileKind& Kind() const override { return GameFileKindOf("Graphics"); }
  void ReadLines(const Lines& lines) override { m_window.ReadGraphicsLines(lines); }
  void WriteLines(Lines& lines) override { m_window.WriteGraphicsLines(lines); }
  // Our own write must not look like an outside change to the reactivation check.
  void AfterSave(const fs::path& targetPath) override {
    if (targetPath == m_window.GamePathOf("Graphics"))
      GetLastWriteTime(targetPath, m_window.m_graphicsTimeStamp);
  }

 private:
  TFrmKESTA& m_window;
};

namespace {

constexpr std::string_view kPrecaching[] = {"25000", "50000", "100000"};

void WritePosition(Lines& lines, std::string_view name, const TSpecialSlider* slider) {
  SetParam(lines, name, std::to_string(slider->Position()), "", false);
}

}  // namespace

void TFrmKESTA::BuildGraphicsStandardsPage(TTabSheet* page) {
  QGroupBox* group = MakeGroupBox("GroupBoxGraphicsStandards", page);
  auto* grid = new QGridLayout(group);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(2);  // the page must fit the fixed window with its preview picture
  m_specialSliderTextureLevel = MakeGraphicsSlider("SpecialSliderTextureLevel", 2, group);
  m_specialSliderPrecaching = MakeGraphicsSlider("SpecialSliderPrecaching", 2, group);
  m_specialSliderWaterQuality = MakeGraphicsSlider("SpecialSliderWaterQuality", 3, group);
  m_specialSliderFogQuality = MakeGraphicsSlider("SpecialSliderFogQuality", 1, group);
  m_specialSliderLightsLevel = MakeGraphicsSlider("SpecialSliderLightsLevel", 2, group);
  m_specialSliderEffectOptions = MakeGraphicsSlider("SpecialSliderEffectOptions", 3, group);
  m_specialSliderShadowLevel = MakeGraphicsSlider("SpecialSliderShadowLevel", 3, group);
  m_specialSliderShadowDensity = new TSpecialSliderModMan(group);
  m_specialSliderShadowDensity->setObjectName("SpecialSliderShadowDensity");
  m_specialSliderShadowDensity->SetTitle("SpecialSliderShadowDensity");
  m_specialSliderShadowDensity->SetMin(0);
  m_specialSliderShadowDensity->SetMax(10);
  m_specialSliderShadowDensity->SetStep(1);
  m_specialSliderShadowDensity->SetMultiplicateur(0.1);
  m_specialSliderShadowDensity->SetValueLow(6);
  m_specialSliderShadowDensity->SetValueMedium(20);
  m_specialSliderShadowDensity->SetValueHigh(20);
  m_specialSliderShadowDensity->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  m_specialSliderScenes = MakeGraphicsSlider("SpecialSliderScenes", 2, group);
  TSpecialSlider* const sliders[] = {
      m_specialSliderTextureLevel, m_specialSliderPrecaching,    m_specialSliderWaterQuality,
      m_specialSliderFogQuality,   m_specialSliderLightsLevel,   m_specialSliderEffectOptions,
      m_specialSliderShadowLevel,  m_specialSliderShadowDensity, m_specialSliderScenes};
  for (int i = 0; i < 9; ++i) grid->addWidget(sliders[i], i / 2, i % 2);
  m_checkboxExhaust = new QCheckBox("CheckboxExhaust", group);
  m_checkboxExhaust->setObjectName("CheckboxExhaust");
  m_checkBoxTrafficCivil = new QCheckBox("CheckBoxTrafficCivil", group);
  m_checkBoxTrafficCivil->setObjectName("CheckBoxTrafficCivil");
  // Beside the last slider and on a row of its own: the window's height allows no more, and the
  // civil traffic caption is long in some languages.
  grid->addWidget(m_checkboxExhaust, 4, 1, Qt::AlignVCenter);
  grid->addWidget(m_checkBoxTrafficCivil, 5, 0, 1, 2);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  grid->setColumnMinimumWidth(0, 200);
  grid->setColumnMinimumWidth(1, 200);
  page->Body()->addWidget(group);

  const std::pair<TSpecialSlider*, void (TFrmKESTA::*)()> handlers[] = {
      {m_specialSliderTextureLevel, &TFrmKESTA::SpecialSliderTextureLevelStep},
      {m_specialSliderPrecaching, &TFrmKESTA::SpecialSliderPrecachingStep},
      {m_specialSliderWaterQuality, &TFrmKESTA::SpecialSliderWaterQualityStep},
      {m_specialSliderFogQuality, &TFrmKESTA::SpecialSliderFogQualityStep},
      {m_specialSliderLightsLevel, &TFrmKESTA::SpecialSliderLightsLevelStep},
      {m_specialSliderEffectOptions, &TFrmKESTA::SpecialSliderEffectOptionsStep},
      {m_specialSliderShadowLevel, &TFrmKESTA::SpecialSliderShadowLevelStep},
      {m_specialSliderScenes, &TFrmKESTA::SpecialSliderScenesStep}};
  for (const auto& [slider, handler] : handlers) connect(slider, &TSpecialSlider::OnStep, this, handler);
  connect(m_checkboxExhaust, &QCheckBox::toggled, this, &TFrmKESTA::CheckboxExhausClick);
  connect(m_checkBoxTrafficCivil, &QCheckBox::toggled, this, &TFrmKESTA::CheckBoxTrafficCivilClick);
  m_gameFiles->Register(std::make_unique<TGraphicsFile>(*this));
}

bool TFrmKESTA::LoadGraphicsSettings(const fs::path& path, bool checkAspectOnly) {
  m_checkAspectOnly = checkAspectOnly;
  m_aspectDiffers = false;
  m_graphicsLoadPath = path;
  m_gameFiles->Load("Graphics", path);
  m_checkAspectOnly = false;
  return checkAspectOnly && m_aspectDiffers;
}

void TFrmKESTA::ApplyGraphicsSettings(const fs::path& targetPath) {
  m_gameFiles->Apply("Graphics", targetPath);
}

void TFrmKESTA::GraphicsPreview(const QString& name) {
  if (!m_graphicsLoading) {
    ShowPreviewPicture(name);
    return;
  }
  try {
    LoadPreviewPicture(name);
  } catch (const std::exception& failure) {
    if (m_graphicsPreviewFailure.empty()) m_graphicsPreviewFailure = failure.what();
  }
}

void TFrmKESTA::ReadGraphicsLines(const Lines& lines) {
  // Handlers raised by the load report a missing picture as the load's failure, not in a dialog.
  m_graphicsLoading = true;
  m_graphicsPreviewFailure.clear();
  try {
    ReadGraphicsValues(lines);
  } catch (...) {
    m_graphicsLoading = false;
    throw;
  }
  m_graphicsLoading = false;
  if (!m_graphicsPreviewFailure.empty()) throw EKestaError(m_graphicsPreviewFailure);
}

void TFrmKESTA::ReadGraphicsValues(const Lines& lines) {
  // The default copy offered after a failure is always loaded in full.
  if (m_gameFiles->RememberedPath("Graphics") != m_graphicsLoadPath) m_checkAspectOnly = false;
  m_aspectDiffers = false;
  m_specialSliderTextureLevel->SetPosition(IntegerValue(lines, "TextureLevel", "2"));
  const std::string precaching = GetParam(lines, "around_camera", "50000", "", false);
  for (int position = 0; position < 3; ++position)
    if (precaching == kPrecaching[position]) m_specialSliderPrecaching->SetPosition(position);
  m_specialSliderWaterQuality->SetPosition(IntegerValue(lines, "WaterQuality", "1"));
  m_specialSliderFogQuality->SetPosition(IntegerValue(lines, "FogQuality", "1"));
  m_specialSliderLightsLevel->SetPosition(IntegerValue(lines, "LightsLevel", "2"));
  std::string current = GetParam(lines, "current", "Medium", "", false);
  std::erase(current, '"');
  m_specialSliderEffectOptions->SetPosition(IntegerValue(lines, "EffectOptions", "1"));
  m_checkboxExhaust->setChecked(GetParam(lines, "Exhaust", "0", "", false) != "0");
  m_specialSliderShadowLevel->SetPosition(IntegerValue(lines, "ShadowLevel", "1"));
  const double density = ParseFloat(GetParam(lines, "ShadowDensity", "0.6", "", false));
  m_specialSliderShadowDensity->SetPosition(static_cast<int>(std::nearbyint(density / 0.1)));
  ReadOptimization1Lines(lines);
  ReadProfiles(lines);
  ReadScreenshotLines(lines);
  ReadResolutionLines(lines);
  LoadPreviewPicture("graphics_default.jpg");
  SelectCurrentProfile(current.empty() ? "Medium" : current);
}

void TFrmKESTA::WriteGraphicsLines(Lines& lines) {
  WritePosition(lines, "TextureLevel", m_specialSliderTextureLevel);
  SetParam(lines, "\taround_camera", kPrecaching[m_specialSliderPrecaching->Position()], "", false);
  WritePosition(lines, "WaterQuality", m_specialSliderWaterQuality);
  WritePosition(lines, "FogQuality", m_specialSliderFogQuality);
  WritePosition(lines, "LightsLevel", m_specialSliderLightsLevel);
  SetParam(lines, "\tcurrent", "\"" + ToGameText(m_comboBoxOptimization1->currentText()) + "\"", "", false);
  WritePosition(lines, "EffectOptions", m_specialSliderEffectOptions);
  SetParam(lines, "Exhaust", m_checkboxExhaust->isChecked() ? "1" : "0", "", false);
  WritePosition(lines, "ShadowLevel", m_specialSliderShadowLevel);
  SetParam(lines, "ShadowDensity", FormatFloat("0.0", m_specialSliderShadowDensity->Position() * 0.1), "",
           false);
  WriteOptimization1Lines(lines);
  WriteScreenshotLines(lines);
  WriteGameResolutionLines(lines);
  WriteMovieAspectFullScreenLines(lines);  // the profiles go between the game and the film resolution
}

void TFrmKESTA::MarkGraphicsModified() { EnableApplyCancel(true, true); }

void TFrmKESTA::SpecialSliderTextureLevelStep() {
  GraphicsPreview(
      QString::fromStdString(PreviewPictureName("texturelevel_", m_specialSliderTextureLevel->Position())));
  MarkGraphicsModified();
}

void TFrmKESTA::SpecialSliderPrecachingStep() {
  GraphicsPreview("graphics_default.jpg");
  MarkGraphicsModified();
}

void TFrmKESTA::SpecialSliderWaterQualityStep() {
  GraphicsPreview(
      QString::fromStdString(PreviewPictureName("waterquality_", m_specialSliderWaterQuality->Position())));
  MarkGraphicsModified();
}

void TFrmKESTA::SpecialSliderFogQualityStep() {
  GraphicsPreview(
      QString::fromStdString(PreviewPictureName("fogquality_", m_specialSliderFogQuality->Position())));
  MarkGraphicsModified();
}

void TFrmKESTA::SpecialSliderLightsLevelStep() {
  GraphicsPreview(
      QString::fromStdString(PreviewPictureName("LightsLevel_", m_specialSliderLightsLevel->Position())));
  MarkGraphicsModified();
}

void TFrmKESTA::SpecialSliderEffectOptionsStep() {
  GraphicsPreview(
      QString::fromStdString(PreviewPictureName("effectoptions_", m_specialSliderEffectOptions->Position())));
  MarkGraphicsModified();
}

void TFrmKESTA::SpecialSliderShadowLevelStep() {
  GraphicsPreview(
      QString::fromStdString(PreviewPictureName("ShadowLevel_", m_specialSliderShadowLevel->Position())));
  MarkGraphicsModified();
}

void TFrmKESTA::SpecialSliderShadowDensityStep() {
  const int position = m_specialSliderShadowDensity->Position();
  GraphicsPreview(position <= 3   ? "shadowdensity_0.jpg"
                  : position <= 6 ? "shadowdensity_5.jpg"
                                  : "shadowdensity_10.jpg");
  MarkGraphicsModified();
}

void TFrmKESTA::SpecialSliderScenesStep() {
  if (m_missionEditorLoading) return;
  GraphicsPreview(QString::fromStdString(PreviewPictureName("scenes_", m_specialSliderScenes->Position())));
  MarkGraphicsModified();
}

void TFrmKESTA::CheckboxExhausClick() {
  GraphicsPreview(m_checkboxExhaust->isChecked() ? "exhaust_1.jpg" : "exhaust_0.jpg");
  MarkGraphicsModified();
}

void TFrmKESTA::CheckBoxTrafficCivilClick() {
  if (m_missionEditorLoading) return;
  GraphicsPreview(m_checkBoxTrafficCivil->isChecked() ? "civiltraffic_1.jpg" : "civiltraffic_0.jpg");
  MarkGraphicsModified();
}

}  // namespace kesta
