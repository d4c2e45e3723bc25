// The options page: language, the program's option check boxes and the change of game folder.

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "settings/ini_file.h"
#include "ui/group_box.h"
#include "ui/main_window.h"
#include "ui/tab_sheet.h"

namespace kesta {

namespace {

// The six languages in list order; the list texts are the languages' names.
constexpr const char* kLanguageNames[] = {"Français", "English", "Español", "Russian", "Croatian", "German"};

}  // namespace

void TFrmKESTA::BuildOptionsPage(TTabSheet* page) {
  auto* group = new TGroupBox("GroupBoxOptionsKESTA", page);
  auto* layout = new QVBoxLayout(group);
  layout->setSpacing(6);

  auto* languageRow = new QHBoxLayout;
  auto* label = new QLabel("LabelLanguage", group);
  label->setObjectName("LabelLanguage");
  m_comboBoxLanguage = new QComboBox(group);
  m_comboBoxLanguage->setObjectName("ComboBoxLanguage");
  for (const char* name : kLanguageNames) m_comboBoxLanguage->addItem(QString::fromUtf8(name));
  connect(m_comboBoxLanguage, &QComboBox::activated, this, &TFrmKESTA::ComboBoxLanguageChange);
  languageRow->addWidget(label);
  languageRow->addWidget(m_comboBoxLanguage, 1);
  layout->addLayout(languageRow);
  layout->addSpacing(4);

  struct OptionBox {
    const char* name;
    const char* settingsKey;  // nullptr: not stored in the settings file
    QCheckBox** member;
  };
  const OptionBox boxes[] = {
      {"MenuCheckForUpdateWhenStarting", "CheckForUpdateWhenStarting", &m_menuCheckForUpdateWhenStarting},
      {"MenuStartMinimize", "StartMinimize", &m_menuStartMinimize},
      {"MenuStartWithWindows", nullptr, &m_menuStartWithWindows},
      {"MenuMinimize", "MinimizeInSysTray", &m_menuMinimize},
      {"MenuReloadSettings", "ReloadSettingsMessage", nullptr},
      {"MenuSynchronizeDate", "SynchronizeDate", &m_menuSynchronizeDate},
      {"MenuDeleteTrackIrIni", "AutoDeleteTrackIrIni", nullptr},
      {"MenuCheckTrackIR", "CheckTrackIR", nullptr},
  };
  for (const OptionBox& option : boxes) {
    auto* box = new QCheckBox(option.name, group);
    box->setObjectName(option.name);
    layout->addWidget(box);
    if (option.member) *option.member = box;
    if (!option.settingsKey) continue;
    m_optionBoxes.emplace_back(box, option.settingsKey);
    const char* key = option.settingsKey;
    // toggled: code that changes a box fires it too, which the busy flag guards against.
    connect(box, &QCheckBox::toggled, this, [this, box, key] { WriteOptionCheckBox(box, key); });
  }
  connect(m_menuMinimize, &QCheckBox::toggled, this, &TFrmKESTA::MenuMinimize1Click);
  connect(m_menuStartWithWindows, &QCheckBox::toggled, this, &TFrmKESTA::MenuStartWithWindows1Click);

  layout->addSpacing(6);
  auto* changePath = new QPushButton("MenuChangePath", group);
  changePath->setObjectName("MenuChangePath");
  connect(changePath, &QPushButton::clicked, this, &TFrmKESTA::MenuChangePath1Click);
  layout->addWidget(changePath, 0, Qt::AlignLeft);

  page->Body()->addWidget(group);
}

void TFrmKESTA::WriteOptionCheckBox(QCheckBox* box, const char* key) {
  if (m_busy) return;
  try {
    WriteIniValueOrFail(m_settings.Path(), "Config", key, box->isChecked() ? "1" : "0");
  } catch (const std::exception& failure) {
    ReportSettingsWriteFailure(failure.what());
  }
}

void TFrmKESTA::LoadOptionCheckBoxes() {
  // The order in which start-up reads them, which is the order missing keys reach the settings file.
  constexpr std::string_view kLoadOrder[] = {"MinimizeInSysTray",    "StartMinimize",        "CheckTrackIR",
                                             "ReloadSettingsMessage", "AutoDeleteTrackIrIni",
                                             "CheckForUpdateWhenStarting", "SynchronizeDate"};
  for (std::string_view key : kLoadOrder)
    for (const auto& [box, boxKey] : m_optionBoxes)
      if (key == boxKey) box->setChecked(m_settings.ReadSetting("Config", key) == "1");
}

}  // namespace kesta
