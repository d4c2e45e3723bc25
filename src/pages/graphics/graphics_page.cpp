// The standards page of graphics.cfg: nine quality sliders and two check boxes, each change shown
// in a preview picture. The scenery and the civil traffic are the mission editor's (MeCustom.xml); the
// scenery is written to graphics.cfg too.

#include <QCheckBox>
#include <QGridLayout>

#include "documents/graphics_document.h"
#include "documents/mission_editor_document.h"
#include "pages/game_page.h"
#include "pages/graphics/graphics_controls.h"
#include "pages/graphics/graphics_pages.h"
#include "pages/graphics/graphics_pictures.h"
#include "pages/page_host.h"
#include "sets/game_file_set.h"
#include "ui/special_slider.h"

namespace kesta {

namespace {

class TGraphicsStandardsPage final : public TGamePage {
 public:
  TGraphicsStandardsPage(TPageHost& host, TTabSheet* sheet)
      : TGamePage(host, sheet), m_document(host.GameFiles().Get<GraphicsDocument>()) {
    QGroupBox* group = MakeGroupBox("GroupBoxGraphicsStandards", this);
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);  // the page must fit the fixed window with its preview picture
    const std::pair<const char*, int> plain[] = {
        {"SpecialSliderTextureLevel", 2}, {"SpecialSliderPrecaching", 2},  {"SpecialSliderWaterQuality", 3},
        {"SpecialSliderFogQuality", 1},   {"SpecialSliderLightsLevel", 2}, {"SpecialSliderEffectOptions", 3},
        {"SpecialSliderShadowLevel", 3}};
    int cell = 0;
    for (const auto& [name, max] : plain) {
      TSpecialSlider* slider = MakeGraphicsSlider(name, max, group);
      grid->addWidget(slider, cell / 2, cell % 2);
      ++cell;
      m_sliders.push_back(slider);
    }
    m_specialSliderShadowDensity =
        MakeMultiplierSlider("SpecialSliderShadowDensity", 0, 10, 0.1, 6, 20, 20, group);
    grid->addWidget(m_specialSliderShadowDensity, cell / 2, cell % 2);
    ++cell;
    m_specialSliderScenes = MakeGraphicsSlider("SpecialSliderScenes", 2, group);
    grid->addWidget(m_specialSliderScenes, cell / 2, cell % 2);
    m_checkboxExhaust = MakeCheckBox("CheckboxExhaust", group);
    m_checkBoxTrafficCivil = MakeCheckBox("CheckBoxTrafficCivil", group);
    // Beside the last slider and on a row of its own: the window's height allows no more, and the
    // civil traffic caption is long in some languages.
    grid->addWidget(m_checkboxExhaust, 4, 1, Qt::AlignVCenter);
    grid->addWidget(m_checkBoxTrafficCivil, 5, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(0, 200);
    grid->setColumnMinimumWidth(1, 200);
    layout()->addWidget(group);

    using Handler = void (TGraphicsStandardsPage::*)();
    const Handler handlers[] = {&TGraphicsStandardsPage::SpecialSliderTextureLevelStep,
                                &TGraphicsStandardsPage::SpecialSliderPrecachingStep,
                                &TGraphicsStandardsPage::SpecialSliderWaterQualityStep,
                                &TGraphicsStandardsPage::SpecialSliderFogQualityStep,
                                &TGraphicsStandardsPage::SpecialSliderLightsLevelStep,
                                &TGraphicsStandardsPage::SpecialSliderEffectOptionsStep,
                                &TGraphicsStandardsPage::SpecialSliderShadowLevelStep};
    for (size_t i = 0; i < m_sliders.size(); ++i)
      OnUserChange(m_sliders[i], &TSpecialSlider::OnStep,
                   [this, handler = handlers[i]] { (this->*handler)(); });
    OnUserChange(m_specialSliderShadowDensity, &TSpecialSlider::OnStep,
                 [this] { SpecialSliderShadowDensityStep(); });
    OnUserChange(m_checkboxExhaust, &QCheckBox::toggled, [this] { CheckboxExhausClick(); });
    OnUserChange(m_specialSliderScenes, &TSpecialSlider::OnStep, [this] { SpecialSliderScenesStep(); });
    OnUserChange(m_checkBoxTrafficCivil, &QCheckBox::toggled, [this] { CheckBoxTrafficCivilClick(); });
  }

 private:
  // The plain sliders in page order, with the document's member each one shows.
  static constexpr int GraphicsDocument::*kMembers[] = {
      &GraphicsDocument::textureLevel, &GraphicsDocument::precaching,  &GraphicsDocument::waterQuality,
      &GraphicsDocument::fogQuality,   &GraphicsDocument::lightsLevel, &GraphicsDocument::effectOptions,
      &GraphicsDocument::shadowLevel};

  void Fill() override {
    for (size_t i = 0; i < m_sliders.size(); ++i) m_sliders[i]->SetPosition(m_document.*kMembers[i]);
    m_specialSliderShadowDensity->SetPosition(m_document.shadowDensity);
    m_checkboxExhaust->setChecked(m_document.exhaust);
    if (const MissionEditorDocument* missionEditor = DocumentOf<MissionEditorDocument>()) {
      m_specialSliderScenes->SetPosition(missionEditor->scenes);
      m_checkBoxTrafficCivil->setChecked(missionEditor->civilTraffic);
    }
  }

  void SpecialSliderTextureLevelStep() { SliderStep(0); }
  void SpecialSliderPrecachingStep() { SliderStep(1); }
  void SpecialSliderWaterQualityStep() { SliderStep(2); }
  void SpecialSliderFogQualityStep() { SliderStep(3); }
  void SpecialSliderLightsLevelStep() { SliderStep(4); }
  void SpecialSliderEffectOptionsStep() { SliderStep(5); }
  void SpecialSliderShadowLevelStep() { SliderStep(6); }

  // Stores the plain slider's position and shows its picture.
  void SliderStep(size_t index) {
    m_document.*kMembers[index] = m_sliders[index]->Position();
    m_host.ShowPreviewPicture(
        QString::fromStdString(StandardsSliderPicture(index, m_sliders[index]->Position())));
    MarkModified();
  }

  void SpecialSliderShadowDensityStep() {
    m_document.shadowDensity = m_specialSliderShadowDensity->Position();
    m_host.ShowPreviewPicture(QString::fromStdString(ShadowDensityPicture(m_document.shadowDensity)));
    MarkModified();
  }

  void CheckboxExhausClick() {
    m_document.exhaust = m_checkboxExhaust->isChecked();
    m_host.ShowPreviewPicture(QString::fromStdString(ExhaustPicture(m_document.exhaust)));
    MarkModified();
  }

  void SpecialSliderScenesStep() {
    if (MissionEditorDocument* missionEditor = DocumentOf<MissionEditorDocument>())
      missionEditor->scenes = m_specialSliderScenes->Position();
    m_host.ShowPreviewPicture(QString::fromStdString(ScenesPicture(m_specialSliderScenes->Position())));
    MarkModified();
  }

  void CheckBoxTrafficCivilClick() {
    const bool checked = m_checkBoxTrafficCivil->isChecked();
    if (MissionEditorDocument* missionEditor = DocumentOf<MissionEditorDocument>())
      missionEditor->civilTraffic = checked;
    m_host.ShowPreviewPicture(QString::fromStdString(CivilTrafficPicture(checked)));
    MarkModified();
  }

  GraphicsDocument& m_document;
  std::vector<TSpecialSlider*> m_sliders;
  TSpecialSliderModMan* m_specialSliderShadowDensity = nullptr;
  TSpecialSlider* m_specialSliderScenes = nullptr;
  QCheckBox* m_checkboxExhaust = nullptr;
  QCheckBox* m_checkBoxTrafficCivil = nullptr;
};

}  // namespace

TGamePage* MakeGraphicsStandardsPage(TPageHost& host, TTabSheet* sheet) {
  return new TGraphicsStandardsPage(host, sheet);
}

}  // namespace kesta
