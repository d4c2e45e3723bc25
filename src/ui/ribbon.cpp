#include "ui/ribbon.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/application_menu.h"
#include "ui/ribbon_bar_parts.h"
#include "ui/ribbon_button.h"
#include "ui/ribbon_group.h"
#include "ui/ribbon_icons.h"
#include "ui/ribbon_keyboard.h"

namespace kesta {

using ribbon_bar::kOrbSize;
using ribbon_bar::kTabRowHeight;

namespace {

constexpr int kTitleRowNew = 30;  // also the caption bar of the frameless window
constexpr int kTitleRowClassic = 26;
constexpr int kBodyHeight = 104;
constexpr int kOrbLeft = 5;
constexpr int kRowIndent = kOrbLeft + kOrbSize + 6;  // title and tab rows start right of the orb

}  // namespace

TRibbon::TRibbon(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("dxRibbon"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  BuildTitleRow();
  layout->addWidget(m_titleRow);

  m_tabRow = new QWidget(this);
  m_tabRow->setObjectName(QLatin1String(ribbon_part::kTabRow));
  m_tabRow->setFixedHeight(kTabRowHeight);
  m_tabLayout = new QHBoxLayout(m_tabRow);
  m_tabLayout->setContentsMargins(kRowIndent - 4, 0, 4, 0);
  m_tabLayout->setSpacing(1);
  m_tabLayout->addStretch(1);
  m_tabButtons = new QButtonGroup(this);
  layout->addWidget(m_tabRow);

  m_body = new QStackedWidget(this);
  m_body->setObjectName(QLatin1String(ribbon_part::kBody));
  m_body->setFixedHeight(kBodyHeight);
  m_body->setContentsMargins(4, 4, 4, 4);
  m_body->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  layout->addWidget(m_body);

  m_appButton = new TApplicationButton(this);
  m_menu = new TApplicationMenu(this);
  connect(m_appButton, &QAbstractButton::clicked, this, &TRibbon::OpenApplicationMenu);
  connect(m_menu, &TApplicationMenu::Closed, m_appButton, qOverload<>(&QWidget::update));

  SetDrawsWindowFrame(false);
  SetColorScheme(ColorScheme::Silver);
  m_keyboard = std::make_unique<TRibbonKeyboard>(*this);
}

TRibbon::~TRibbon() = default;

void TRibbon::EnterKeyboard() { m_keyboard->Enter(); }

void TRibbon::LeaveKeyboard(bool toRemembered) { m_keyboard->Leave(toRemembered); }

bool TRibbon::HasKeyboard() const { return m_keyboard->Active(); }

void TRibbon::BuildTitleRow() {
  m_titleRow = new TTitleRow(this);
  auto* row = new QHBoxLayout(m_titleRow);
  row->setContentsMargins(kRowIndent, 0, 0, 0);
  row->setSpacing(4);
  m_quickBar = new QWidget(m_titleRow);
  m_quickBar->setObjectName(QStringLiteral("dxQuickBar"));
  m_quickLayout = new QHBoxLayout(m_quickBar);
  m_quickLayout->setContentsMargins(0, 0, 0, 0);
  m_quickLayout->setSpacing(1);
  row->addWidget(m_quickBar, 0, Qt::AlignLeft | Qt::AlignVCenter);
  m_captionLabel = new QLabel(m_titleRow);
  m_captionLabel->setObjectName(QLatin1String(ribbon_part::kCaption));
  m_captionLabel->setAlignment(Qt::AlignCenter);
  m_captionLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  m_captionLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
  m_captionLabel->setAutoFillBackground(false);
  row->addWidget(m_captionLabel, 1);
  m_minimize = new TCaptionButton(TCaptionButton::Kind::Minimize, this, m_titleRow);
  m_close = new TCaptionButton(TCaptionButton::Kind::Close, this, m_titleRow);
  row->addWidget(m_minimize, 0, Qt::AlignTop);
  row->addWidget(m_close, 0, Qt::AlignTop);
  row->setSpacing(0);
  connect(m_minimize, &QAbstractButton::clicked, this, [this] { window()->showMinimized(); });
  connect(m_close, &QAbstractButton::clicked, this, [this] { window()->close(); });
}

TRibbonTab* TRibbon::AddTab(const QString& name) {
  auto* tab = new TRibbonTab(name, m_body);
  m_tabs.append(tab);
  m_body->addWidget(tab);
  auto* button = new TTabButton(this, m_tabRow);
  button->SetCaption(tab->Caption());
  m_tabButtons->addButton(button, static_cast<int>(m_tabs.size() - 1));
  m_tabLayout->insertWidget(m_tabLayout->count() - 1, button, 0, Qt::AlignBottom);
  connect(button, &QToolButton::clicked, this, [this, tab] { SetActiveTab(tab); });
  connect(tab, &TRibbonTab::CaptionChanged, button, [this, button](const QString& caption) {
    button->SetCaption(caption);
    FitTabs();
  });
  FitTabs();
  if (m_activeTab == nullptr) SetActiveTab(tab);
  return tab;
}

QAbstractButton* TRibbon::TabButton(TRibbonTab* tab) const {
  const qsizetype index = m_tabs.indexOf(tab);
  return index < 0 ? nullptr : m_tabButtons->button(static_cast<int>(index));
}

// Tabs are padded generously when the row has room and tighter when a translation needs it.
void TRibbon::FitTabs() {
  const QList<QAbstractButton*> buttons = m_tabButtons->buttons();
  if (buttons.isEmpty()) return;
  const QMargins margins = m_tabLayout->contentsMargins();
  int room = m_tabRow->width() - margins.left() - margins.right();
  for (const QAbstractButton* button : buttons)
    room -= static_cast<const TTabButton*>(button)->TextWidth() + 2 + m_tabLayout->spacing();
  const int padding = std::clamp(room / (2 * static_cast<int>(buttons.size())), 3, 10);
  for (QAbstractButton* button : buttons) static_cast<TTabButton*>(button)->SetPadding(padding);
}

void TRibbon::SetActiveTab(TRibbonTab* tab) {
  if (tab == nullptr || tab == m_activeTab || !m_tabs.contains(tab)) return;
  m_activeTab = tab;
  m_body->setCurrentWidget(tab);
  TabButton(tab)->setChecked(true);
  update();
  emit TabChanged(tab);
}

TRibbonTab* TRibbon::TabOf(const QWidget* button) const {
  for (QWidget* parent = button ? button->parentWidget() : nullptr; parent; parent = parent->parentWidget())
    if (auto* tab = qobject_cast<TRibbonTab*>(parent)) return m_tabs.contains(tab) ? tab : nullptr;
  return nullptr;
}

void TRibbon::AddTitleRowWidget(QWidget* widget) {
  auto* row = static_cast<QHBoxLayout*>(m_titleRow->layout());
  const int before = row->indexOf(m_minimize);
  row->insertWidget(before, widget, 0, Qt::AlignVCenter);
  row->insertSpacing(before + 1, 6);
}

void TRibbon::AddQuickButton(TRibbonButton* button) {
  button->SetIconOnly();
  m_quickLayout->addWidget(button);
  m_quickButtons.append(button);
}

void TRibbon::SetDrawsWindowFrame(bool draws) {
  m_drawsFrame = draws;
  m_captionLabel->setVisible(draws);
  m_minimize->setVisible(draws);
  m_close->setVisible(draws);
  const int titleHeight = draws ? kTitleRowNew : kTitleRowClassic;
  m_titleRow->setFixedHeight(titleHeight);
  setFixedHeight(titleHeight + kTabRowHeight + kBodyHeight);
  PlaceApplicationButton();
  ApplyFrameToWindow();
  update();
}

void TRibbon::ApplyFrameToWindow() {
  QWidget* frame = window();
  if (frame == this) return;
  if (frame->windowFlags().testFlag(Qt::FramelessWindowHint) == m_drawsFrame) return;
  const bool wasVisible = frame->isVisible();
  frame->setWindowFlag(Qt::FramelessWindowHint, m_drawsFrame);
  // Changing window flags hides the window.
  if (wasVisible) frame->show();
}

void TRibbon::SetDocumentName(const QString& name) {
  m_documentName = name;
  UpdateCaption();
}

void TRibbon::UpdateCaption() {
  const QString title = window() == this ? QString() : window()->windowTitle();
  if (m_documentName.isEmpty() || title.isEmpty())
    m_captionLabel->setText(m_documentName + title);
  else
    m_captionLabel->setText(m_documentName + QStringLiteral(" - ") + title);
}

void TRibbon::SetColorScheme(ColorScheme scheme) {
  m_scheme = scheme;
  QPalette caption = m_captionLabel->palette();
  caption.setColor(QPalette::WindowText, ColorsOf(scheme).captionText);
  m_captionLabel->setPalette(caption);
  m_menu->SetColorScheme(scheme);
  m_iconsCurrent = false;
  if (isVisible()) RefreshIcons();
  // Every part paints from the scheme: repainting the ribbon repaints them all.
  for (QWidget* part : findChildren<QWidget*>()) part->update();
  update();
}

ColorScheme TRibbon::SchemeAround(const QWidget* widget) {
  for (; widget != nullptr; widget = widget->parentWidget())
    if (const auto* ribbon = qobject_cast<const TRibbon*>(widget)) return ribbon->Scheme();
  return ColorScheme::Silver;
}

void TRibbon::RefreshIcons() {
  const bool dark = m_scheme == ColorScheme::Black;
  for (TRibbonButton* button : findChildren<TRibbonButton*>())
    if (HasRibbonGlyph(button->objectName())) button->setIcon(RibbonIcon(button->objectName(), dark));
  m_iconsCurrent = true;
}

void TRibbon::showEvent(QShowEvent* event) {
  if (!m_iconsCurrent) RefreshIcons();
  QWidget::showEvent(event);
}

void TRibbon::PlaceApplicationButton() {
  const int rows = m_titleRow->height() + kTabRowHeight;
  m_appButton->move(kOrbLeft, (rows - kOrbSize) / 2);
  m_appButton->raise();
}

void TRibbon::OpenApplicationMenu() {
  m_menu->PopupBelow(m_appButton);
  m_appButton->update();
}

void TRibbon::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const SchemeColors& colors = ColorsOf(m_scheme);
  const QRect title = m_titleRow->geometry();
  QLinearGradient frame(title.topLeft(), title.bottomLeft());
  frame.setColorAt(0, colors.frame.lighter(105));
  frame.setColorAt(1, colors.frame);
  painter.fillRect(title, frame);
  painter.fillRect(m_tabRow->geometry(), colors.tabRow);
  const QRect body = m_body->geometry();
  QLinearGradient shade(body.topLeft(), body.bottomLeft());
  shade.setColorAt(0, colors.bodyTop);
  shade.setColorAt(1, colors.bodyBottom);
  painter.fillRect(body, shade);
  // The body's top edge stops under the active tab, so the tab and its groups read as one sheet.
  painter.setPen(colors.groupFrame);
  const QAbstractButton* active = TabButton(m_activeTab);
  if (active && active->isVisible()) {
    const QRect tab = active->geometry().translated(m_tabRow->pos());
    painter.drawLine(0, body.top(), tab.left(), body.top());
    painter.drawLine(tab.right(), body.top(), width(), body.top());
  } else {
    painter.drawLine(0, body.top(), width(), body.top());
  }
  painter.drawLine(0, height() - 1, width(), height() - 1);
}

void TRibbon::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceApplicationButton();
  FitTabs();
  emit SizeChanged();
}

bool TRibbon::event(QEvent* event) {
  if (event->type() == QEvent::ParentChange || event->type() == QEvent::Polish) {
    if (m_watchedWindow) m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = window() == this ? nullptr : window();
    if (m_watchedWindow) m_watchedWindow->installEventFilter(this);
    ApplyFrameToWindow();
    UpdateCaption();
  }
  return QWidget::event(event);
}

bool TRibbon::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_watchedWindow && event->type() == QEvent::WindowTitleChange) UpdateCaption();
  return QWidget::eventFilter(watched, event);
}

}  // namespace kesta
