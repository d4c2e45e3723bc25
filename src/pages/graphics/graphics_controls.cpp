#include "pages/graphics/graphics_controls.h"

#include <charconv>

#include "engine/failure.h"
#include "engine/text.h"
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

QGroupBox* MakeGroupBox(const char* name, QWidget* parent) {
  return new TGroupBox(name, parent);
}

QLineEdit* MakeEdit(const char* name, int maxLength, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setMaxLength(maxLength);
  return edit;
}

int IntegerValue(const Lines& lines, std::string_view name, std::string_view absent) {
  const std::string text = GetParam(lines, name, absent, "", false);
  int value = 0;
  const char* first = text.data() + (text.starts_with('+') ? 1 : 0);
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (text.empty() || error != std::errc() || end != last)
    throw EKestaError("'" + text + "' is not a valid integer value for " + std::string(name));
  return value;
}

std::string RemoveAllNoCase(std::string text, std::string_view what) {
  if (what.empty()) return text;
  for (size_t at = 0; at + what.size() <= text.size();) {
    if (EqualsNoCase(std::string_view(text).substr(at, what.size()), what))
      text.erase(at, what.size());
    else
      ++at;
  }
  return text;
}

QString FromGameText(const std::string& text) {
  return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

std::string ToGameText(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace kesta
