#include "pages/graphics/graphics_controls.h"

#include <QVariant>

#include "documents/document_fields.h"
#include "ui/game_text.h"
#include "ui/group_box.h"
#include "ui/special_slider.h"

namespace kesta {

TSpecialSlider* MakeGraphicsSlider(const char* name, int max, QWidget* parent) {
  auto* slider = new TSpecialSlider(parent);
  slider->setObjectName(name);
  slider->SetTitle(name);
  slider->SetMin(0);
  slider->SetMax(max);
  slider->SetStep(1);
  slider->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return slider;
}

TSpecialSliderModMan* MakeMultiplierSlider(const QString& name, int min, int max, double multiplier, int low,
                                           int medium, int high, QWidget* parent) {
  auto* slider = new TSpecialSliderModMan(parent);
  slider->setObjectName(name);
  slider->SetTitle(name);
  slider->SetMin(min);
  slider->SetMax(max);
  slider->SetStep(1);
  slider->SetMultiplicateur(multiplier);
  slider->SetValueLow(low);
  slider->SetValueMedium(medium);
  slider->SetValueHigh(high);
  slider->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return slider;
}

QGroupBox* MakeGroupBox(const char* name, QWidget* parent) { return new TGroupBox(name, parent); }

namespace {
// The length a box takes when typed into; its maxLength grows while it shows a longer text of the file.
constexpr char kTypedLength[] = "kestaTypedLength";
}  // namespace

QLineEdit* MakeEdit(const char* name, int maxLength, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setMaxLength(maxLength);
  edit->setProperty(kTypedLength, maxLength);
  return edit;
}

void ShowGameText(QLineEdit* edit, const std::string& text) {
  const QVariant typed = edit->property(kTypedLength);
  if (typed.isValid())
    edit->setMaxLength(static_cast<int>(BoxLength(static_cast<size_t>(typed.toInt()), text)));
  edit->setText(FromGameText(text));
}

QCheckBox* MakeCheckBox(const char* name, QWidget* parent) {
  auto* box = new QCheckBox(name, parent);
  box->setObjectName(name);
  return box;
}

QLabel* MakeLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(name, parent);
  label->setObjectName(name);
  return label;
}

QComboBox* MakeComboBox(const char* name, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  return box;
}

}  // namespace kesta
