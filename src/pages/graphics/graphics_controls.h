#pragma once
// Control construction shared by the pages: each control carries its given name, which the language
// file uses to caption it.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <string>

namespace kesta {

class TSpecialSlider;
class TSpecialSliderModMan;
struct OptiSlider;

// A plain stepped slider from 0, step 1, titled by the language file under its name.
TSpecialSlider* MakeGraphicsSlider(const char* name, int max, QWidget* parent);
// A slider that shows position x multiplier, coloured by its reference positions.
TSpecialSliderModMan* MakeMultiplierSlider(const QString& name, int min, int max, double multiplier, int low,
                                           int medium, int high, QWidget* parent);
QGroupBox* MakeGroupBox(const char* name, QWidget* parent);
// A box that takes at most `maxLength` characters when typed into.
QLineEdit* MakeEdit(const char* name, int maxLength, QWidget* parent);
// Shows a game text in a box made by MakeEdit, whole even when the file holds more than the box takes.
void ShowGameText(QLineEdit* edit, const std::string& text);
QCheckBox* MakeCheckBox(const char* name, QWidget* parent);
QLabel* MakeLabel(const char* name, QWidget* parent);
QComboBox* MakeComboBox(const char* name, QWidget* parent);

}  // namespace kesta
