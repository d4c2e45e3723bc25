#pragma once
// Small pieces shared by the graphics pages: control construction and strict value reading.

#include <QGroupBox>
#include <QLineEdit>
#include <string>
#include <string_view>

#include "engine/param_lines.h"

namespace kesta {

class TSpecialSlider;

// A plain stepped slider, step 1, titled by the language file under its name.
TSpecialSlider* MakeGraphicsSlider(const char* name, int max, QWidget* parent);
QGroupBox* MakeGroupBox(const char* name, QWidget* parent);
QLineEdit* MakeEdit(const char* name, int maxLength, QWidget* parent);

// The parameter's value as a whole number; anything else fails with a text for the user.
int IntegerValue(const Lines& lines, std::string_view name, std::string_view absent);

// Removes every occurrence of `what`, letters compared without regard to case.
std::string RemoveAllNoCase(std::string text, std::string_view what);

// Edits hold game text, which is 8-bit.
QString FromGameText(const std::string& text);
std::string ToGameText(const QString& text);

}  // namespace kesta
