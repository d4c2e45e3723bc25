// The two visibility-range pages: one profile shown on both, its sliders, and the add and remove
// commands. The profile records and the file's Camera block are handled by visibility_profiles.

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include "engine/failure.h"
#include "engine/text.h"
#include "pages/graphics/graphics_controls.h"
#include "settings/helpers.h"
#include "ui/dialog_service.h"
#include "ui/main_window.h"
#include "ui/special_slider.h"
#include "ui/tab_sheet.h"

namespace kesta {

namespace {

QToolButton* MakeFlatButton(const char* name, const char* glyph, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText(glyph);
  button->setAutoRaise(true);
  return button;
}

std::vector<std::string> ItemsOf(const QComboBox* box) {
  std::vector<std::string> items;
  for (int i = 0; i < box->count(); ++i) items.push_back(ToGameText(box->itemText(i)));
  return items;
}

}  // namespace

void TFrmKESTA::BuildVisibilityPages(TTabSheet* clipping, TTabSheet* density) {
  struct PageParts {
    TTabSheet* page;
    const char* label;
    const char* combo;
    const char* add;
    const char* remove;
  };
  const PageParts parts[] = {
      {clipping, "LabelTextureLevel", "ComboBoxOptimization1", "SpeedButtonAddOpti", "SpeedButtonRemoveOpti"},
      {density, "LabelTextureLevelBis", "ComboBoxOptimization2", "SpeedButtonAddOptiBis",
       "SpeedButtonRemoveOptiBis"}};
  for (int index = 0; index < 2; ++index) {
    const PageParts& part = parts[index];
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(part.label, part.page);
    label->setObjectName(part.label);
    auto* combo = new QComboBox(part.page);
    combo->setObjectName(part.combo);
    combo->setMinimumWidth(160);
    QToolButton* add = MakeFlatButton(part.add, "+", part.page);
    QToolButton* remove = MakeFlatButton(part.remove, "-", part.page);
    row->addWidget(label);
    row->addWidget(combo, 1);
    row->addWidget(add);
    row->addWidget(remove);
    part.page->Body()->addLayout(row);
    (index == 0 ? m_comboBoxOptimization1 : m_comboBoxOptimization2) = combo;
    m_removeOptiButtons.push_back(remove);
    connect(combo, &QComboBox::activated, this, [this, combo] {
      try {
        ComboBoxOptimization1Change(combo);
      } catch (const std::exception& failure) {
        m_dialogs->Error(QString::fromStdString(failure.what()));
      }
    });
    connect(add, &QToolButton::clicked, this, &TFrmKESTA::SpeedButtonAddOptiClick);
    connect(remove, &QToolButton::clicked, this, &TFrmKESTA::SpeedButtonRemoveOptiClick);
  }
  QGridLayout* grids[2] = {new QGridLayout, new QGridLayout};
  int counts[2] = {0, 0};
  for (const OptiSlider& design : OptiSliders()) {
    const int index = design.page == 2 ? 0 : 1;
    auto* slider = new TSpecialSliderModMan(parts[index].page);
    const QString name = QString::fromLatin1(design.sliderName.data(), qsizetype(design.sliderName.size()));
    slider->setObjectName(name);
    slider->SetTitle(name);
    slider->SetMin(design.min);
    slider->SetMax(design.max);
    slider->SetStep(1);
    slider->SetMultiplicateur(design.multiplier);
    slider->SetValueLow(design.valueLow);
    slider->SetValueMedium(design.valueMedium);
    slider->SetValueHigh(design.valueHigh);
    slider->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    grids[index]->addWidget(slider, counts[index] / 2, counts[index] % 2);
    ++counts[index];
    m_optiSliders[design.key] = slider;
  }
  for (int index = 0; index < 2; ++index) {
    grids[index]->setColumnStretch(0, 1);
    grids[index]->setColumnStretch(1, 1);
    parts[index].page->Body()->addLayout(grids[index]);
  }
}

void TFrmKESTA::ConnectLateSliderHandlers() {
  if (m_lateSlidersConnected) return;
  m_lateSlidersConnected = true;
  connect(m_specialSliderShadowDensity, &TSpecialSlider::OnStep, this,
          &TFrmKESTA::SpecialSliderShadowDensityStep);
  for (const OptiSlider& design : OptiSliders())
    connect(m_optiSliders.at(design.key), &TSpecialSlider::OnStep, this,
            [this, &design] { OptiSliderStep(design); });
}

void TFrmKESTA::ReadProfiles(const Lines& lines) {
  m_optis = ReadOptis(lines, [this](std::string_view key) { return LookupMessageUtf8(key); });
  QStringList names;
  for (const TOpti& opti : m_optis) names.append(FromGameText(opti.Name));
  for (QComboBox* box : {m_comboBoxOptimization1, m_comboBoxOptimization2}) {
    box->clear();
    box->addItems(names);
  }
}

void TFrmKESTA::SelectCurrentProfile(const std::string& current) {
  m_comboBoxOptimization1->setCurrentIndex(m_comboBoxOptimization1->findText(FromGameText(current)));
  m_comboBoxOptimization2->setCurrentIndex(m_comboBoxOptimization1->currentIndex());
  ComboBoxOptimization1Change(m_comboBoxOptimization1);
}

void TFrmKESTA::ComboBoxOptimization1Change(QObject* sender) {
  m_sliderUpdate = true;
  try {
    if (sender == m_comboBoxOptimization1)
      m_comboBoxOptimization2->setCurrentIndex(m_comboBoxOptimization1->currentIndex());
    else
      m_comboBoxOptimization1->setCurrentIndex(m_comboBoxOptimization2->currentIndex());
    const bool stock = IsStockProfile(ToGameText(m_comboBoxOptimization1->currentText()));
    for (QToolButton* button : m_removeOptiButtons) button->setEnabled(!stock);
    const std::string shown = ToGameText(static_cast<QComboBox*>(sender)->currentText());
    const std::string name = Trim(shown).empty() ? "Low" : shown;
    const TOpti* opti = ShownOpti(m_optis, shown);
    if (!opti) throw EKestaError("No visibility range profile");
    const TOpti values = *opti;  // the slider handlers store into the record while it is shown
    m_optiSliders.at("middle_clip")->setVisible(name != "Low");
    for (const OptiSlider& design : OptiSliders()) {
      if (design.key == "middle_clip" && name == "Low") continue;
      m_optiSliders.at(design.key)->SetPosition(OptiSliderPosition(values.*design.field, design.multiplier));
    }
    LoadPreviewPicture(QString::fromStdString(VisibilityRangePicture(name)));
    MarkGraphicsModified();
    m_sliderUpdate = false;
  } catch (const std::exception& failure) {
    m_sliderUpdate = false;
    const std::string rule = "----------------------";
    throw EKestaError("Loading Textures optimizations Settings\r\n" + rule + "\r\n" + failure.what() +
                      "\r\n" + rule + "\r\n\r\n" + rule + "\r\nPlease contact the developper!");
  }
}

void TFrmKESTA::OptiSliderStep(const OptiSlider& slider) {
  StoreOptiValue(m_optis, ToGameText(m_comboBoxOptimization1->currentText()), slider.key,
                 m_optiSliders.at(slider.key)->Position(), slider.multiplier);
  if (!m_sliderUpdate) MarkGraphicsModified();
}

void TFrmKESTA::SpeedButtonAddOptiClick() {
  const QString title = LookupMessage("NameOfNewVisibilityRange");
  const std::optional<QString> typed = m_dialogs->InputText(title, title, "");
  // A name the file could not hold as a profile name would be lost at the next apply.
  if (!typed || !IsValidProfileName(ToGameText(*typed))) return;
  const std::string name = UniqueName(ToGameText(*typed), ItemsOf(m_comboBoxOptimization1), 1);
  for (QComboBox* box : {m_comboBoxOptimization1, m_comboBoxOptimization2}) box->addItem(FromGameText(name));
  m_optis.push_back(NewOpti(m_optis, ToGameText(m_comboBoxOptimization1->currentText()), name));
  m_comboBoxOptimization1->setCurrentIndex(m_comboBoxOptimization1->count() - 1);
  try {
    ComboBoxOptimization1Change(m_comboBoxOptimization1);
  } catch (const std::exception& failure) {
    m_dialogs->Error(QString::fromStdString(failure.what()));
  }
}

void TFrmKESTA::SpeedButtonRemoveOptiClick() {
  const std::string name = ToGameText(m_comboBoxOptimization1->currentText());
  if (!MarkOptiDeleted(m_optis, name)) return;
  for (QComboBox* box : {m_comboBoxOptimization1, m_comboBoxOptimization2})
    box->removeItem(box->findText(FromGameText(name), Qt::MatchFixedString | Qt::MatchCaseSensitive));
  m_comboBoxOptimization1->setCurrentIndex(m_comboBoxOptimization1->findText("Medium"));
  try {
    ComboBoxOptimization1Change(m_comboBoxOptimization1);
  } catch (const std::exception& failure) {
    m_dialogs->Error(QString::fromStdString(failure.what()));
  }
}

}  // namespace kesta
