// The two visibility-range pages: one profile shown on both, its sliders, and the add and remove
// commands. The profiles themselves live in the graphics document.

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include "documents/graphics_document.h"
#include "engine/text.h"
#include "pages/game_page.h"
#include "pages/graphics/graphics_controls.h"
#include "pages/graphics/graphics_pages.h"
#include "pages/page_host.h"
#include "sets/game_file_set.h"
#include "settings/helpers.h"
#include "ui/dialog_service.h"
#include "ui/game_text.h"
#include "ui/special_slider.h"

namespace kesta {

namespace {

struct PageParts {
  int page;  // 2 or 3, as in the slider table
  const char* label;
  const char* combo;
  const char* add;
  const char* remove;
};
constexpr PageParts kClipping{2, "LabelTextureLevel", "ComboBoxOptimization1", "SpeedButtonAddOpti",
                              "SpeedButtonRemoveOpti"};
constexpr PageParts kDensity{3, "LabelTextureLevelBis", "ComboBoxOptimization2", "SpeedButtonAddOptiBis",
                             "SpeedButtonRemoveOptiBis"};

QToolButton* MakeFlatButton(const char* name, const char* glyph, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText(glyph);
  button->setAutoRaise(true);
  return button;
}

class TVisibilityRangePage final : public TGamePage {
 public:
  TVisibilityRangePage(TPageHost& host, TTabSheet* sheet, const PageParts& parts)
      : TGamePage(host, sheet), m_document(host.GameFiles().Get<GraphicsDocument>()) {
    auto* row = new QHBoxLayout;
    m_comboBoxOptimization = MakeComboBox(parts.combo, this);
    m_comboBoxOptimization->setMinimumWidth(160);
    QToolButton* add = MakeFlatButton(parts.add, "+", this);
    m_removeButton = MakeFlatButton(parts.remove, "-", this);
    row->addWidget(MakeLabel(parts.label, this));
    row->addWidget(m_comboBoxOptimization, 1);
    row->addWidget(add);
    row->addWidget(m_removeButton);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);

    auto* grid = new QGridLayout;
    int count = 0;
    for (const OptiSlider& design : OptiSliders()) {
      if (design.page != parts.page) continue;
      TSpecialSliderModMan* slider = MakeMultiplierSlider(QString::fromLatin1(design.sliderName), design.min,
                                                          design.max, design.multiplier, design.valueLow,
                                                          design.valueMedium, design.valueHigh, this);
      grid->addWidget(slider, count / 2, count % 2);
      ++count;
      m_sliders.emplace_back(&design, slider);
      OnUserChange(slider, &TSpecialSlider::OnStep,
                   [this, &design, slider] { OptiSliderStep(design, slider); });
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    static_cast<QVBoxLayout*>(layout())->addLayout(grid);

    OnUserChange(m_comboBoxOptimization, &QComboBox::activated, [this] { ComboBoxOptimization1Change(); });
    connect(add, &QToolButton::clicked, this, [this] { SpeedButtonAddOptiClick(); });
    connect(m_removeButton, &QToolButton::clicked, this, [this] { SpeedButtonRemoveOptiClick(); });
  }

 private:
  void Fill() override {
    m_comboBoxOptimization->clear();
    for (const std::string& name : m_document.ProfileNames())
      m_comboBoxOptimization->addItem(FromGameText(name));
    m_comboBoxOptimization->setCurrentIndex(m_comboBoxOptimization->findText(
        FromGameText(m_document.currentProfile), Qt::MatchFixedString | Qt::MatchCaseSensitive));
    m_removeButton->setEnabled(!IsStockProfile(m_document.currentProfile));
    const TOpti* opti = m_document.ShownProfile();
    const bool low = Trim(m_document.currentProfile).empty() || m_document.currentProfile == "Low";
    for (const auto& [design, slider] : m_sliders) {
      const bool middle = design->key == "middle_clip";
      if (middle) slider->setVisible(!low);
      if (!opti || (middle && (low || opti->Name == "Low"))) continue;
      try {
        slider->SetPosition(OptiSliderPosition(opti->*design->field, design->multiplier));
      } catch (const std::exception&) {
        // The document refuses to show such a profile; nothing to show here either.
      }
    }
  }

  // Shows the profile chosen in this page's list on both pages.
  void ComboBoxOptimization1Change() {
    try {
      m_document.ShowProfile(ToGameText(m_comboBoxOptimization->currentText()));
    } catch (const std::exception& failure) {
      m_host.Dialogs().Error(QString::fromStdString(failure.what()));
    }
    ShowChange();
  }

  void ShowChange() {
    m_host.RefreshPages(GraphicsDocument::kCatalogKey);
    m_host.ShowPreviewPicture(QString::fromStdString(VisibilityRangePicture(m_document.currentProfile)));
    MarkModified();
  }

  // SliderLodStep, SliderNearClipStep, ... SliderLightsDensityStep.
  void OptiSliderStep(const OptiSlider& design, const TSpecialSlider* slider) {
    StoreOptiValue(m_document.optis, m_document.currentProfile, design.key, slider->Position(),
                   design.multiplier);
    MarkModified();
  }

  void SpeedButtonAddOptiClick() {
    const QString title = m_host.LookupMessage("NameOfNewVisibilityRange");
    const std::optional<QString> typed = m_host.Dialogs().InputText(title, title, "");
    if (!typed) return;
    const std::optional<std::string> name = GameTextOf(*typed);
    if (!name) {
      m_host.Dialogs().Error(m_host.LookupMessage("GameTextNotInCodePage") + "\r\n" + *typed);
      return;
    }
    // A name the file could not hold as a profile name would be lost at the next apply.
    if (!IsValidProfileName(*name)) return;
    const std::string unique = UniqueName(*name, m_document.ProfileNames(), 1);
    m_document.optis.push_back(NewOpti(m_document.optis, m_document.currentProfile, unique));
    ShowProfile(unique);
  }

  void SpeedButtonRemoveOptiClick() {
    if (!MarkOptiDeleted(m_document.optis, m_document.currentProfile)) return;
    ShowProfile("Medium");
  }

  void ShowProfile(const std::string& name) {
    try {
      m_document.ShowProfile(name);
    } catch (const std::exception& failure) {
      m_host.Dialogs().Error(QString::fromStdString(failure.what()));
    }
    ShowChange();
  }

  GraphicsDocument& m_document;
  QComboBox* m_comboBoxOptimization = nullptr;
  QToolButton* m_removeButton = nullptr;
  std::vector<std::pair<const OptiSlider*, TSpecialSliderModMan*>> m_sliders;
};

}  // namespace

TGamePage* MakeClippingPage(TPageHost& host, TTabSheet* sheet) {
  return new TVisibilityRangePage(host, sheet, kClipping);
}

TGamePage* MakeDensityPage(TPageHost& host, TTabSheet* sheet) {
  return new TVisibilityRangePage(host, sheet, kDensity);
}

}  // namespace kesta
