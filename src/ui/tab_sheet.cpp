#include "ui/tab_sheet.h"

namespace kesta {

TTabSheet::TTabSheet(const QString& name, const QString& designCaption, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 4);
  layout->setSpacing(8);
  m_heading = new QLabel(designCaption, this);
  m_heading->setObjectName(name + "Heading");
  QFont font = m_heading->font();
  font.setPointSizeF(font.pointSizeF() * 1.25);
  font.setBold(true);
  m_heading->setFont(font);
  layout->addWidget(m_heading, 0, Qt::AlignTop);
  m_body = new QVBoxLayout;
  m_body->setSpacing(6);
  layout->addLayout(m_body);
  layout->addStretch(1);  // controls sit at the top of a page, whatever its height
}

}  // namespace kesta
