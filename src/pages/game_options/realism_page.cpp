// The realism page of MeCustom.xml: what the player's aircraft forgives, how well the computer's missiles
// hit, and which views and map marks the player may use.

#include "pages/game_options/realism_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <array>
#include <string>

#include "documents/mission_editor_document.h"
#include "pages/game_page.h"
#include "pages/graphics/graphics_controls.h"
#include "ui/special_slider.h"

namespace kesta {

namespace {

// The switches of each group in page order, by their name in kRealismSwitches.
constexpr std::string_view kMyAircraftSwitches[] = {"Immortal",         "CrashRecovery", "UnlimitedFuel",
                                                    "UnlimitedWeapons", "EasyFlight",    "EasyRadar",
                                                    "RadioAssist",      "PadLock",       "MiniHUD"};
constexpr std::string_view kViewSwitches[] = {"ExternalView", "AwacsView", "ExternalLabels",
                                              "AircraftSwitching"};

size_t SwitchIndex(std::string_view name) {
  size_t index = 0;
  while (kRealismSwitches[index] != name) ++index;
  return index;
}

class TRealismPage final : public TGamePage {
 public:
  TRealismPage(TPageHost& host, TTabSheet* sheet) : TGamePage(host, sheet) {
    QGroupBox* myAircraft = MakeGroupBox("GroupBoxRealismMyAircraft", this);
    auto* myAircraftLayout = new QVBoxLayout(myAircraft);
    auto* myAircraftGrid = new QGridLayout();
    myAircraftGrid->setHorizontalSpacing(16);
    int cell = 0;
    for (std::string_view name : kMyAircraftSwitches) {
      myAircraftGrid->addWidget(AddSwitch(name, myAircraft), cell % 5, cell / 5);
      ++cell;
    }
    myAircraftLayout->addLayout(myAircraftGrid);
    m_specialSliderGEffects = MakeGraphicsSlider("SpecialSliderGEffects", 2, myAircraft);
    myAircraftLayout->addWidget(m_specialSliderGEffects);

    QGroupBox* ia = MakeGroupBox("GroupBoxRealismIA", this);
    auto* iaLayout = new QVBoxLayout(ia);
    // The value box turns green at the game's own effectiveness, 50.
    m_specialSliderMissilesEffectiveness =
        MakeMultiplierSlider("SpecialSliderMissilesEffectiveness", 0, 100, 1, 50, 110, 110, ia);
    m_specialSliderMissilesEffectiveness->SetStep(10);
    iaLayout->addWidget(m_specialSliderMissilesEffectiveness);

    QGroupBox* view = MakeGroupBox("GroupBoxRealismView", this);
    auto* viewGrid = new QGridLayout(view);
    viewGrid->setHorizontalSpacing(16);
    cell = 0;
    for (std::string_view name : kViewSwitches) viewGrid->addWidget(AddSwitch(name, view), cell++, 0);
    m_checkBoxMapMyAircraft = AddMapBox("CheckBoxMapMyAircraft", view);
    m_checkBoxMapAllies = AddMapBox("CheckBoxMapAllies", view);
    m_checkBoxMapEnnemies = AddMapBox("CheckBoxMapEnnemies", view);
    viewGrid->addWidget(m_checkBoxMapMyAircraft, 0, 1);
    viewGrid->addWidget(m_checkBoxMapAllies, 1, 1);
    viewGrid->addWidget(m_checkBoxMapEnnemies, 2, 1);
    viewGrid->setColumnStretch(0, 1);
    viewGrid->setColumnStretch(1, 1);

    OnUserChange(m_specialSliderGEffects, &TSpecialSlider::OnStep, [this] { SpecialSliderGEffectsStep(); });
    OnUserChange(m_specialSliderMissilesEffectiveness, &TSpecialSlider::OnStep,
                 [this] { SpecialSliderGEffectsStep(); });

    layout()->addWidget(myAircraft);
    layout()->addWidget(ia);
    layout()->addWidget(view);
    static_cast<QVBoxLayout*>(layout())->addStretch(1);
  }

 private:
  QCheckBox* AddSwitch(std::string_view name, QWidget* group) {
    const size_t index = SwitchIndex(name);
    QCheckBox* box = MakeCheckBox(("CheckBox" + std::string(name)).c_str(), group);
    m_switches[index] = box;
    OnUserChange(box, &QCheckBox::toggled, [this] { CheckBoxImmortalClick(); });
    return box;
  }

  QCheckBox* AddMapBox(const char* name, QWidget* group) {
    QCheckBox* box = MakeCheckBox(name, group);
    OnUserChange(box, &QCheckBox::toggled, [this] { CheckBoxImmortalClick(); });
    return box;
  }

  void Fill() override {
    const MissionEditorDocument* document = DocumentOf<MissionEditorDocument>();
    if (!document) return;
    for (size_t i = 0; i < m_switches.size(); ++i) m_switches[i]->setChecked(document->switches[i]);
    m_specialSliderGEffects->SetPosition(document->gEffects);
    m_specialSliderMissilesEffectiveness->SetPosition(document->missilesEffectiveness);
    m_checkBoxMapMyAircraft->setChecked(document->mapMyAircraft);
    m_checkBoxMapAllies->setChecked(document->mapAllies);
    m_checkBoxMapEnnemies->setChecked(document->mapEnemies);
  }

  // Every check box of the page: the page's boxes are stored together.
  void CheckBoxImmortalClick() {
    if (MissionEditorDocument* document = DocumentOf<MissionEditorDocument>()) {
      for (size_t i = 0; i < m_switches.size(); ++i) document->switches[i] = m_switches[i]->isChecked();
      document->mapMyAircraft = m_checkBoxMapMyAircraft->isChecked();
      document->mapAllies = m_checkBoxMapAllies->isChecked();
      document->mapEnemies = m_checkBoxMapEnnemies->isChecked();
    }
    MarkModified();
  }

  // Both sliders of the page.
  void SpecialSliderGEffectsStep() {
    if (MissionEditorDocument* document = DocumentOf<MissionEditorDocument>()) {
      document->gEffects = m_specialSliderGEffects->Position();
      document->missilesEffectiveness = m_specialSliderMissilesEffectiveness->Position();
    }
    MarkModified();
  }

  std::array<QCheckBox*, kRealismSwitches.size()> m_switches{};
  QCheckBox* m_checkBoxMapMyAircraft = nullptr;
  QCheckBox* m_checkBoxMapAllies = nullptr;
  QCheckBox* m_checkBoxMapEnnemies = nullptr;
  TSpecialSlider* m_specialSliderGEffects = nullptr;
  TSpecialSliderModMan* m_specialSliderMissilesEffectiveness = nullptr;
};

}  // namespace

TGamePage* MakeRealismPage(TPageHost& host, TTabSheet* sheet) { return new TRealismPage(host, sheet); }

}  // namespace kesta
