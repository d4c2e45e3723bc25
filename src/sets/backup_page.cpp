// The backup page: one file chosen from the catalogue, loaded from the game, from its default copy or
// from any file, or saved into any file.

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>

#include "ui/group_box.h"
#include "ui/main_window.h"
#include "ui/ribbon_icons.h"
#include "ui/tab_sheet.h"

namespace kesta {

void TFrmKESTA::BuildBackupPage(TTabSheet* page) {
  auto* group = new TGroupBox("GroupBoxBackup", page);
  auto* grid = new QGridLayout(group);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(8);

  m_comboBoxBackup = new QComboBox(group);
  m_comboBoxBackup->setObjectName("ComboBoxBackup");
  connect(m_comboBoxBackup, &QComboBox::activated, this, [this] { ComboBoxBackupChange(); });
  grid->addWidget(m_comboBoxBackup, 0, 0, 1, 2);
  const char* const names[] = {"SpeedButtonLoadLockonSettings", "SpeedButtonLoadDefault", "SpeedButtonLoadFromFile",
                               "SpeedButtonSaveToFile"};
  m_labelBackupInfo = new QLabel(group);
  m_labelBackupInfo->setObjectName("LabelBackupInfo");
  m_labelBackupInfo->setWordWrap(true);
  m_labelBackupInfo->setMinimumHeight(48);
  m_labelBackupInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  grid->addWidget(m_labelBackupInfo, 1, 0, 1, 2);

  // Two rows of two: each command with its words, so nobody has to guess from an icon.
  for (int i = 0; i < 4; ++i) {
    auto* button = new QToolButton(group);
    button->setObjectName(names[i]);
    button->setIcon(RibbonIcon(names[i]));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setVisible(false);  // until a file is chosen
    connect(button, &QToolButton::clicked, this, [this, button] { SpeedButtonLoadLockonSettingsClick(button); });
    grid->addWidget(button, 2 + i / 2, i % 2);
    m_backupButtons.push_back(button);
  }
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);

  page->Body()->addWidget(group);
}

}  // namespace kesta
