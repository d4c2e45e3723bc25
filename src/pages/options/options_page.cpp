// The options page: language, the program's option toggles and the change of game folder. Built on its
// first visit; the toggles themselves live in the window, which acts on them.

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "app/option_toggles.h"
#include "pages/game_page.h"
#include "pages/options/options_page.h"
#include "ui/group_box.h"
#include "ui/main_window.h"

namespace kesta {

namespace {

// The six languages in list order; the list texts are the languages' names.
constexpr const char* kLanguageNames[] = {"Français", "English", "Español", "Russian", "Croatian", "German"};

class TOptionsPage final : public TGamePage {
 public:
  TOptionsPage(TFrmKESTA& window, TTabSheet* sheet) : TGamePage(window, sheet) {
    auto* group = new TGroupBox("GroupBoxOptionsKESTA", this);
    auto* column = new QVBoxLayout(group);
    column->setSpacing(6);

    auto* languageRow = new QHBoxLayout;
    auto* label = new QLabel("LabelLanguage", group);
    label->setObjectName("LabelLanguage");
    m_comboBoxLanguage = new QComboBox(group);
    m_comboBoxLanguage->setObjectName("ComboBoxLanguage");
    for (const char* name : kLanguageNames) m_comboBoxLanguage->addItem(QString::fromUtf8(name));
    OnUserChange(m_comboBoxLanguage, &QComboBox::activated,
                 [this] { m_window.ComboBoxLanguageChange(m_comboBoxLanguage->currentIndex()); });
    languageRow->addWidget(label);
    languageRow->addWidget(m_comboBoxLanguage, 1);
    column->addLayout(languageRow);
    column->addSpacing(4);

    for (const OptionToggleDesign& design : kOptionToggles) {
      const QString name = QString::fromLatin1(design.control);
      auto* box = new QCheckBox(name, group);
      box->setObjectName(name);
      column->addWidget(box);
      m_boxes.emplace_back(box, design.toggle);
      OnUserChange(box, &QCheckBox::toggled, [this, box, toggle = design.toggle] {
        m_window.SetOptionToggle(toggle, box->isChecked());
      });
    }

    column->addSpacing(6);
    auto* changePath = new QPushButton("MenuChangePath", group);
    changePath->setObjectName("MenuChangePath");
    connect(changePath, &QPushButton::clicked, &m_window, &TFrmKESTA::MenuChangePath1Click);
    column->addWidget(changePath, 0, Qt::AlignLeft);
    layout()->addWidget(group);
  }

 private:
  void Fill() override {
    m_comboBoxLanguage->setCurrentIndex(m_window.LanguageIndex());
    for (const auto& [box, toggle] : m_boxes) box->setChecked(m_window.OptionToggleOn(toggle));
  }

  QComboBox* m_comboBoxLanguage = nullptr;
  std::vector<std::pair<QCheckBox*, OptionToggle>> m_boxes;
};

}  // namespace

TGamePage* MakeOptionsPage(TFrmKESTA& window, TTabSheet* sheet) { return new TOptionsPage(window, sheet); }

}  // namespace kesta
