// The options page: language, the program's option toggles and the change of game folder. Built on its
// first visit; what it shows lives elsewhere, reached through the links it is given.

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "pages/game_page.h"
#include "pages/options/options_page.h"
#include "pages/page_host.h"
#include "ui/group_box.h"

namespace kesta {

namespace {

// The six languages in list order; the list texts are the languages' names.
constexpr const char* kLanguageNames[] = {"Français", "English", "Español", "Russian", "Croatian", "German"};

class TOptionsPage final : public TGamePage {
 public:
  TOptionsPage(TPageHost& host, TTabSheet* sheet, OptionsPageLinks links)
      : TGamePage(host, sheet), m_links(std::move(links)) {
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
                 [this] { m_links.chooseLanguage(m_comboBoxLanguage->currentIndex()); });
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
      OnUserChange(box, &QCheckBox::toggled,
                   [this, box, toggle = design.toggle] { m_links.setToggle(toggle, box->isChecked()); });
    }

    column->addSpacing(6);
    auto* changePath = new QPushButton("MenuChangePath", group);
    changePath->setObjectName("MenuChangePath");
    connect(changePath, &QPushButton::clicked, this, [this] { m_links.changeGameFolder(); });
    column->addWidget(changePath, 0, Qt::AlignLeft);
    layout()->addWidget(group);
  }

 private:
  void Fill() override {
    m_comboBoxLanguage->setCurrentIndex(m_links.languageIndex());
    for (const auto& [box, toggle] : m_boxes) box->setChecked(m_links.toggleOn(toggle));
  }

  OptionsPageLinks m_links;
  QComboBox* m_comboBoxLanguage = nullptr;
  std::vector<std::pair<QCheckBox*, OptionToggle>> m_boxes;
};

}  // namespace

TGamePage* MakeOptionsPage(TPageHost& host, TTabSheet* sheet, OptionsPageLinks links) {
  return new TOptionsPage(host, sheet, std::move(links));
}

}  // namespace kesta
