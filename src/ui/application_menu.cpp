#include "ui/application_menu.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ui/ribbon_button.h"
#include "ui/ribbon_icons.h"

namespace kesta {

namespace {

constexpr int kItemHeight = 28;
constexpr int kMinimumColumnWidth = 170;
constexpr double kPaneRatio = 1.2;  // extra pane width to item column width

bool IsSeparator(const QWidget* item) { return qobject_cast<const TRibbonButton*>(item) == nullptr; }

}  // namespace

TApplicationMenu::TApplicationMenu(QWidget* parent) : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("dxBarApplicationMenu1"));
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->setContentsMargins(5, 5, 5, 5);
  layout->setSpacing(5);
  auto* body = new QHBoxLayout;
  body->setSpacing(4);
  layout->addLayout(body);

  m_itemColumn = new QWidget(this);
  m_itemColumn->setObjectName(QLatin1String(ribbon_part::kMenuItems));
  m_itemLayout = new QVBoxLayout(m_itemColumn);
  m_itemLayout->setContentsMargins(3, 3, 3, 3);
  m_itemLayout->setSpacing(0);
  m_itemLayout->addStretch(1);
  body->addWidget(m_itemColumn);

  m_pane = new QWidget(this);
  m_pane->setObjectName(QLatin1String(ribbon_part::kMenuPane));
  m_recentLayout = new QVBoxLayout(m_pane);
  m_recentLayout->setContentsMargins(4, 2, 4, 4);
  m_recentLayout->setSpacing(0);
  m_paneHeader = new QLabel(QStringLiteral("Configuration récentes"), m_pane);
  m_paneHeader->setObjectName(QLatin1String(ribbon_part::kMenuPaneHeader));
  m_paneHeader->setWordWrap(true);               // long translations wrap rather than lose their end
  m_paneHeader->setContentsMargins(4, 5, 4, 5);  // the last pixel row carries the line under it
  QFont bold = m_paneHeader->font();
  bold.setBold(true);
  m_paneHeader->setFont(bold);
  m_recentLayout->addWidget(m_paneHeader);
  m_recentLayout->addSpacing(3);
  m_recentLayout->addStretch(1);
  body->addWidget(m_pane);

  auto* foot = new QWidget(this);
  foot->setObjectName(QLatin1String(ribbon_part::kMenuFoot));
  m_footLayout = new QHBoxLayout(foot);
  m_footLayout->setContentsMargins(0, 0, 0, 0);
  m_footLayout->setSpacing(5);
  m_footLayout->addStretch(1);
  layout->addWidget(foot);
}

TRibbonButton* TApplicationMenu::AddItem(TRibbonButton* item) {
  item->setParent(m_itemColumn);
  item->SetSize(TRibbonButton::Size::Small);
  item->SetPlace(ButtonPlace::MenuItem);
  item->setFixedHeight(kItemHeight);
  item->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  // Connected first, so the menu is gone before a command opens its dialogs.
  connect(item, &QToolButton::clicked, this, &QWidget::close);
  item->installEventFilter(this);
  m_itemLayout->insertWidget(m_itemLayout->count() - 1, item);
  m_items.append(item);
  return item;
}

void TApplicationMenu::AddSeparator() {
  auto* separator = new QFrame(m_itemColumn);
  separator->setObjectName(QLatin1String(ribbon_part::kMenuSeparator));
  separator->setFixedHeight(7);  // room around the line the menu paints across it
  m_itemLayout->insertWidget(m_itemLayout->count() - 1, separator);
  m_items.append(separator);
  UpdateSeparators();
}

TRibbonButton* TApplicationMenu::AddFootButton(TRibbonButton* button) {
  button->setParent(this);
  button->SetSize(TRibbonButton::Size::Small);
  button->SetPlace(ButtonPlace::MenuFoot);
  button->setFixedHeight(24);
  connect(button, &QToolButton::clicked, this, &QWidget::close);
  m_footLayout->addWidget(button);
  m_footButtons.append(button);
  return button;
}

QString TApplicationMenu::ExtraPaneHeader() const { return m_paneHeader->text(); }

void TApplicationMenu::SetExtraPaneHeader(const QString& header) { m_paneHeader->setText(header); }

void TApplicationMenu::SetRecentItems(const QStringList& captions, const QStringList& hints) {
  qDeleteAll(m_recentButtons);
  m_recentButtons.clear();
  m_recent = captions;
  const QIcon icon = RecentIcon();
  for (int index = 0; index < captions.size(); ++index) {
    auto* button =
        new TRibbonButton(QLatin1String(ribbon_part::kMenuRecentItem), TRibbonButton::Size::Small, m_pane);
    button->SetPlace(ButtonPlace::MenuItem);
    button->setIcon(icon);
    button->setFixedHeight(24);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    button->SetHint(index < hints.size() ? hints[index] : captions[index]);
    connect(button, &QToolButton::clicked, this, [this, index] {
      close();
      emit RecentItemClicked(index);
    });
    m_recentLayout->insertWidget(m_recentLayout->count() - 1, button);
    button->show();  // also when the list changes while the menu is open
    m_recentButtons.append(button);
  }
  UpdateWidths();
}

int TApplicationMenu::ItemColumnWidth() const { return m_itemColumn->width(); }

int TApplicationMenu::ExtraPaneWidth() const { return m_pane->width(); }

void TApplicationMenu::UpdateWidths() {
  int column = kMinimumColumnWidth;
  const QMargins margins = m_itemLayout->contentsMargins();
  for (QWidget* item : m_items)
    if (!IsSeparator(item))
      column = std::max(column, item->sizeHint().width() + 12 + margins.left() + margins.right());
  m_itemColumn->setFixedWidth(column);
  const int pane = static_cast<int>(std::lround(column * kPaneRatio));
  m_pane->setFixedWidth(pane);
  // A long name loses its middle: its start and its date and extension at the end stay readable.
  const int textWidth =
      pane - m_recentLayout->contentsMargins().left() - m_recentLayout->contentsMargins().right() - 36;
  for (int index = 0; index < m_recentButtons.size(); ++index)
    m_recentButtons[index]->SetCaption(
        m_recentButtons[index]->fontMetrics().elidedText(m_recent[index], Qt::ElideMiddle, textWidth));
}

void TApplicationMenu::UpdateSeparators() {
  // A separator shows only between two visible items, so hidden commands never leave doubled lines.
  bool itemSinceLastShown = false;
  for (qsizetype index = 0; index < m_items.size(); ++index) {
    QWidget* item = m_items[index];
    if (!IsSeparator(item)) {
      itemSinceLastShown = itemSinceLastShown || !item->isHidden();
      continue;
    }
    const bool itemAfter = std::any_of(m_items.begin() + index + 1, m_items.end(), [](const QWidget* next) {
      return !IsSeparator(next) && !next->isHidden();
    });
    const bool shown = itemSinceLastShown && itemAfter;
    item->setHidden(!shown);
    if (shown) itemSinceLastShown = false;
  }
}

void TApplicationMenu::PopupBelow(QWidget* opener) {
  m_opener = opener;
  UpdateSeparators();
  UpdateWidths();
  // Items hidden since the last opening have only posted their layout change; size for them now.
  m_itemColumn->updateGeometry();
  layout()->invalidate();
  layout()->activate();
  QPoint at = opener->mapToGlobal(QPoint(0, opener->height()));
  if (const QScreen* screen = opener->screen()) {
    const QRect area = screen->availableGeometry();
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width() + 1)));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height() + 1)));
  }
  move(at);
  const bool byKeyboard = opener->hasFocus();
  show();
  // Opened from the keyboard, the menu takes the keyboard on its first command.
  if (byKeyboard) MoveKeyboard(1);
}

QList<TRibbonButton*> TApplicationMenu::KeyboardItems() const {
  QList<TRibbonButton*> items;
  for (QWidget* item : m_items)
    if (auto* button = qobject_cast<TRibbonButton*>(item);
        button && !button->isHidden() && button->isEnabled())
      items.append(button);
  items.append(m_recentButtons);
  items.append(m_footButtons);
  return items;
}

void TApplicationMenu::MoveKeyboard(int step) {
  const QList<TRibbonButton*> items = KeyboardItems();
  if (items.isEmpty()) return;
  const qsizetype at = items.indexOf(qobject_cast<TRibbonButton*>(focusWidget()));
  const qsizetype next =
      at < 0 ? (step > 0 ? 0 : items.size() - 1) : (at + step + items.size()) % items.size();
  FocusItem(items[next]);
}

void TApplicationMenu::FocusItem(TRibbonButton* item) {
  item->installEventFilter(this);  // the keys reach the menu before the button's own handling
  item->setFocus(Qt::TabFocusReason);
}

void TApplicationMenu::SetColorScheme(ColorScheme scheme) {
  m_scheme = scheme;
  QPalette header = m_paneHeader->palette();
  header.setColor(QPalette::WindowText, ColorsOf(scheme).menuText);
  m_paneHeader->setPalette(header);
  for (TRibbonButton* button : m_recentButtons) button->setIcon(RecentIcon());
  update();
}

QIcon TApplicationMenu::RecentIcon() const {
  return RibbonIcon(QStringLiteral("RecentConfiguration"), m_scheme == ColorScheme::Black);
}

// The frame, the item column, the pane and their lines; the items paint themselves on top.
void TApplicationMenu::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const SchemeColors& colors = ColorsOf(m_scheme);
  const auto box = [&painter, &colors](const QRect& area, const QColor& fill) {
    painter.fillRect(area, fill);
    painter.setPen(colors.menuBorder);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
  };
  box(rect(), colors.menuBackground);
  box(m_itemColumn->geometry(), colors.menuItems);
  box(m_pane->geometry(), colors.menuPane);
  const QRect header = m_paneHeader->geometry().translated(m_pane->pos());
  painter.drawLine(header.left(), header.bottom(), header.right(), header.bottom());
  for (const QWidget* item : m_items)
    if (IsSeparator(item) && !item->isHidden()) {
      const QRect line = item->geometry().translated(m_itemColumn->pos());
      const int y = line.center().y();
      painter.drawLine(line.left() + 6, y, line.right() - 6, y);
    }
}

void TApplicationMenu::showEvent(QShowEvent* event) {
  UpdateSeparators();
  QFrame::showEvent(event);
}

void TApplicationMenu::hideEvent(QHideEvent* event) {
  QFrame::hideEvent(event);
  emit Closed();
}

void TApplicationMenu::mousePressEvent(QMouseEvent* event) {
  if (rect().contains(event->position().toPoint())) return QFrame::mousePressEvent(event);
  // A click on the opener closes the menu; replaying it to the opener would open the menu again.
  const QPoint global = event->globalPosition().toPoint();
  if (m_opener && m_opener->rect().contains(m_opener->mapFromGlobal(global)))
    setAttribute(Qt::WA_NoMouseReplay);
  close();
}

void TApplicationMenu::keyPressEvent(QKeyEvent* event) {
  if (!HandleKey(event->key())) QFrame::keyPressEvent(event);
}

bool TApplicationMenu::HandleKey(int key) {
  switch (key) {
    case Qt::Key_Escape:
      close();
      return true;
    case Qt::Key_Up:
    case Qt::Key_Left:
    case Qt::Key_Backtab:
      MoveKeyboard(-1);
      return true;
    case Qt::Key_Down:
    case Qt::Key_Right:
    case Qt::Key_Tab:
      MoveKeyboard(1);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (auto* item = qobject_cast<TRibbonButton*>(focusWidget()); item && KeyboardItems().contains(item))
        item->click();
      return true;
    default:
      return false;
  }
}

bool TApplicationMenu::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->hasFocus() && HandleKey(static_cast<QKeyEvent*>(event)->key()))
    return true;
  if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) UpdateSeparators();
  return QFrame::eventFilter(watched, event);
}

}  // namespace kesta
