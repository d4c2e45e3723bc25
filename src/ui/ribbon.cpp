#include "ui/ribbon.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWindow>
#include <cmath>

#include "ui/application_menu.h"
#include "ui/ribbon_icons.h"

namespace kesta {

namespace {

constexpr int kTitleRowNew = 30;  // also the caption bar of the frameless window
constexpr int kTitleRowClassic = 26;
constexpr int kTabRowHeight = 25;
constexpr int kBodyHeight = 104;
constexpr int kLargeHeight = 68;  // icon and two caption lines; three small buttons fit beside
constexpr int kSmallHeight = 22;
constexpr int kOrbSize = 38;
constexpr int kOrbLeft = 5;
constexpr int kRowIndent = kOrbLeft + kOrbSize + 6;  // title and tab rows start right of the orb
constexpr int kSmallColumnSize = 3;
constexpr int kGroupCaptionHeight = 18;
constexpr int kGlyphGap = 4;  // between a small button's glyph and its caption

// Room left and right of a small button's glyph and caption, by place.
struct SmallPadding {
  int left;
  int right;
};

SmallPadding PaddingOf(ButtonPlace place) {
  switch (place) {
    case ButtonPlace::MenuItem:
      return {7, 11};
    case ButtonPlace::MenuFoot:
      return {6, 11};
    case ButtonPlace::Ribbon:
      break;
  }
  return {4, 6};
}

// The keyboard's place: a dotted line just inside the part's border, in the colour of its caption, which
// stands out from every face the part can have (a border colour would vanish on the pressed face).
void PaintFocusMark(QPainter& painter, const QRect& rect, const QColor& caption, qreal radius) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(caption, 1, Qt::DotLine));
  painter.drawRoundedRect(QRectF(rect).adjusted(2.5, 2.5, -2.5, -2.5), radius, radius);
  painter.restore();
}

// Relative luminance: 0 for black, 1 for white.
double Luminance(const QColor& colour) {
  const auto linear = [](float c) { return c <= 0.03928f ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

QString Escaped(QString text) { return text.replace(u'&', QStringLiteral("&&")); }

// Large buttons break their caption at the space, or after the hyphen, that gives the narrowest button.
QString TwoLines(const QString& caption, const QFontMetrics& metrics) {
  QString best = caption;
  int bestWidth = metrics.horizontalAdvance(caption);
  for (qsizetype at = 1; at + 1 < caption.size(); ++at) {
    const QChar c = caption[at];
    if (c != u' ' && c != u'-') continue;
    const QString first = caption.left(c == u' ' ? at : at + 1);
    const QString second = caption.mid(at + 1);
    const int width = std::max(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second));
    if (width < bestWidth) {
      bestWidth = width;
      best = first + u'\n' + second;
    }
  }
  return best;
}

// The round application button, painted in the scheme's accent with the program's emblem.
class TApplicationButton : public QAbstractButton {
 public:
  explicit TApplicationButton(TRibbon* ribbon) : QAbstractButton(ribbon), m_ribbon(ribbon) {
    setObjectName(QStringLiteral("dxRibbonApplicationButton"));
    setFixedSize(kOrbSize, kOrbSize);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor base = ColorsOf(m_ribbon->Scheme()).accent;
    const bool open = m_ribbon->ApplicationMenu()->isVisible();
    if (isDown() || open)
      base = base.darker(118);
    else if (underMouse() || hasFocus())
      base = base.lighter(115);
    PaintApplicationOrb(painter, QRectF(rect()).adjusted(1, 1, -1, -1), base);
    if (hasFocus()) {  // a dotted ring inside the orb: light on a dark accent, dark on a light one
      painter.setBrush(Qt::NoBrush);
      const bool whiteStandsOut = 1.05 / (Luminance(base) + 0.05) >= 3;  // the contrast of white on it
      painter.setPen(QPen(whiteStandsOut ? QColor(Qt::white) : QColor(Qt::black), 1, Qt::DotLine));
      painter.drawEllipse(QRectF(rect()).adjusted(3.5, 3.5, -3.5, -3.5));
    }
  }

 private:
  TRibbon* m_ribbon;
};

// Minimise and close of the frameless window, drawn flat in the caption colours.
class TCaptionButton : public QToolButton {
 public:
  enum class Kind { Minimize, Close };
  TCaptionButton(Kind kind, TRibbon* ribbon, QWidget* parent)
      : QToolButton(parent), m_kind(kind), m_ribbon(ribbon) {
    setObjectName(
        QLatin1String(kind == Kind::Close ? ribbon_part::kCloseButton : ribbon_part::kMinimizeButton));
    setFixedSize(32, 22);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const SchemeColors& colors = ColorsOf(m_ribbon->Scheme());
    QColor glyph = colors.captionText;
    if (isDown() || underMouse()) {
      if (m_kind == Kind::Close) {
        painter.fillRect(rect(), isDown() ? QColor(0xa8, 0x22, 0x1a) : QColor(0xd9, 0x3b, 0x2f));
        glyph = Qt::white;
      } else {
        painter.fillRect(rect(), isDown() ? colors.pressed : colors.hover);
        if (m_ribbon->Scheme() != ColorScheme::Black) glyph = colors.text;
      }
    }
    PaintCaptionGlyph(painter, QRectF(rect()).center(), m_kind == Kind::Close, glyph);
  }

 private:
  Kind m_kind;
  TRibbon* m_ribbon;
};

// Tab captions are painted here rather than by the style sheet: their padding shrinks when a long
// translation would not fit the fixed window width.
class TTabButton : public QToolButton {
 public:
  TTabButton(TRibbon* ribbon, QWidget* parent) : QToolButton(parent), m_ribbon(ribbon) {
    setObjectName(QLatin1String(ribbon_part::kTabButton));
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    setFixedHeight(kTabRowHeight - 2);
  }
  int TextWidth() const { return fontMetrics().size(Qt::TextShowMnemonic, text()).width(); }
  void SetPadding(int padding) {
    if (padding == m_padding) return;
    m_padding = padding;
    updateGeometry();
  }
  QSize sizeHint() const override { return {TextWidth() + 2 * m_padding + 2, kTabRowHeight - 2}; }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const SchemeColors& colors = ColorsOf(m_ribbon->Scheme());
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, 0);
    QPainterPath outline;  // open at the bottom, where the tab joins the body
    outline.moveTo(r.left(), r.bottom() + 1);
    outline.lineTo(r.left(), r.top() + 3);
    outline.quadTo(r.topLeft(), QPointF(r.left() + 3, r.top()));
    outline.lineTo(r.right() - 3, r.top());
    outline.quadTo(r.topRight(), QPointF(r.right(), r.top() + 3));
    outline.lineTo(r.right(), r.bottom() + 1);
    if (isChecked()) {
      painter.setPen(colors.groupFrame);
      painter.setBrush(colors.activeTab);
      painter.drawPath(outline);
    } else if (underMouse() || hasFocus()) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(colors.tabHover);
      painter.drawPath(outline);
    }
    const QColor caption = isChecked() ? colors.activeTabText : colors.tabText;
    if (hasFocus()) PaintFocusMark(painter, rect().adjusted(0, 0, 0, 2), caption, 2);
    painter.setPen(caption);
    painter.drawText(rect().adjusted(0, 1, 0, 0), Qt::AlignCenter | Qt::TextShowMnemonic, text());
  }

 private:
  TRibbon* m_ribbon;
  int m_padding = 8;
};

// The title row moves the window when the ribbon draws the window frame.
class TTitleRow : public QWidget {
 public:
  explicit TTitleRow(TRibbon* ribbon) : QWidget(ribbon), m_ribbon(ribbon) {
    setObjectName(QLatin1String(ribbon_part::kTitleRow));
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton || !m_ribbon->DrawsWindowFrame())
      return QWidget::mousePressEvent(event);
    QWidget* frame = window();
    if (frame->windowHandle() && frame->windowHandle()->startSystemMove()) return;
    // Platforms without a system move (offscreen, some X11 window managers) follow the mouse by hand.
    m_dragOffset = event->globalPosition().toPoint() - frame->pos();
    m_dragging = true;
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (m_dragging && (event->buttons() & Qt::LeftButton))
      window()->move(event->globalPosition().toPoint() - m_dragOffset);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
  }

 private:
  TRibbon* m_ribbon;
  QPoint m_dragOffset;
  bool m_dragging = false;
};

}  // namespace

TRibbonButton::TRibbonButton(const QString& name, Size size, QWidget* parent)
    : QToolButton(parent), m_caption(name), m_size(size) {
  setObjectName(name);
  setFocusPolicy(Qt::NoFocus);
  SetSize(size);
  SetCaption(name);
}

void TRibbonButton::SetCaption(const QString& caption) {
  m_caption = caption;
  ShowCaption();
  ShowToolTip();
}

void TRibbonButton::SetHint(const QString& hint) {
  m_hintSet = true;
  m_hint = hint;
  ShowToolTip();
}

void TRibbonButton::SetShortcutText(const QString& shortcut) {
  m_shortcut = shortcut;
  ShowToolTip();
}

void TRibbonButton::ShowToolTip() {
  const QString text = m_hintSet ? m_hint : m_caption;
  QWidget::setToolTip(m_shortcut.isEmpty() || text.isEmpty() ? text
                                                             : QStringLiteral("%1 (%2)").arg(text, m_shortcut));
}

void TRibbonButton::SetSize(Size size) {
  m_size = size;
  if (size == Size::Large) {
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(32, 32));
    setFixedHeight(kLargeHeight);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  } else {
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(QSize(16, 16));
    setFixedHeight(kSmallHeight);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  }
  ShowCaption();
}

void TRibbonButton::SetIconOnly() {
  setToolButtonStyle(Qt::ToolButtonIconOnly);
  setIconSize(QSize(16, 16));
  setFixedSize(kSmallHeight, kSmallHeight);
}

void TRibbonButton::SetLatching(bool latching) {
  m_latching = latching;
  setCheckable(latching);
}

void TRibbonButton::nextCheckState() {
  if (m_latching)
    setChecked(true);
  else
    QToolButton::nextCheckState();
}

void TRibbonButton::changeEvent(QEvent* event) {
  QToolButton::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) ShowCaption();
}

void TRibbonButton::SetPlace(ButtonPlace place) {
  m_place = place;
  updateGeometry();
  update();
}

// Narrower than QToolButton's own hint, which pads every caption by two spaces.
QSize TRibbonButton::sizeHint() const {
  if (toolButtonStyle() == Qt::ToolButtonIconOnly) return {iconSize().width() + 6, kSmallHeight};
  const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, text());
  if (m_size == Size::Large) return {std::max(iconSize().width(), textSize.width()) + 8, kLargeHeight};
  const SmallPadding padding = PaddingOf(m_place);
  return {padding.left + iconSize().width() + kGlyphGap + textSize.width() + padding.right, kSmallHeight};
}

// Large buttons keep the icon at the top and the caption right under it, whether it has one line or
// two, so neighbouring buttons line up.
void TRibbonButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const SchemeColors& colors = ColorsOf(TRibbon::SchemeAround(this));
  // The keyboard's button looks as under the mouse, with a second line inside its border.
  const ButtonState state{isEnabled(), underMouse() || hasFocus(), isDown() || isChecked()};
  const ButtonFace face = FaceOf(colors, m_place, state);
  const qreal radius = m_place == ButtonPlace::Ribbon ? 3 : 2;
  PaintButtonFace(painter, rect(), face, radius);
  if (hasFocus()) PaintFocusMark(painter, rect(), face.text, radius);
  const QSize side = iconSize();
  const QPixmap glyph =
      icon().isNull() ? QPixmap() : icon().pixmap(side, devicePixelRatio(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
  painter.setPen(face.text);
  constexpr int mnemonic = Qt::TextShowMnemonic;
  switch (toolButtonStyle()) {
    case Qt::ToolButtonIconOnly:
      painter.drawPixmap((width() - side.width()) / 2, (height() - side.height()) / 2, glyph);
      return;
    case Qt::ToolButtonTextUnderIcon: {
      const QRect inner = rect().adjusted(2, 3, -2, -1);
      painter.drawPixmap(inner.left() + (inner.width() - side.width()) / 2, inner.top(), glyph);
      painter.drawText(CaptionRect(), Qt::AlignHCenter | Qt::AlignTop | mnemonic, text());
      return;
    }
    default: {
      painter.drawPixmap(PaddingOf(m_place).left, (height() - side.height()) / 2, glyph);
      painter.drawText(CaptionRect(), Qt::AlignLeft | Qt::AlignVCenter | mnemonic, text());
      return;
    }
  }
}

QRect TRibbonButton::CaptionRect() const {
  switch (toolButtonStyle()) {
    case Qt::ToolButtonIconOnly:
      return {};
    case Qt::ToolButtonTextUnderIcon:
      return rect().adjusted(2, 3 + iconSize().height() + 1, -2, -1);
    default: {
      const int textLeft = PaddingOf(m_place).left + iconSize().width() + kGlyphGap;
      return {textLeft, 0, width() - textLeft - 2, height()};
    }
  }
}

void TRibbonButton::ShowCaption() {
  const QString shown = m_size == Size::Large ? TwoLines(m_caption, fontMetrics()) : m_caption;
  setText(Escaped(shown));
}

TRibbonGroup::TRibbonGroup(const QString& name, QWidget* parent) : QFrame(parent), m_caption(name) {
  setObjectName(name);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 4, 1, 1 + kGroupCaptionHeight);  // the caption strip is painted below
  layout->setSpacing(0);
  m_row = new QHBoxLayout;
  m_row->setContentsMargins(2, 0, 2, 0);
  m_row->setSpacing(1);
  layout->addLayout(m_row);
  layout->addStretch(1);
}

QString TRibbonGroup::Caption() const { return m_caption; }

void TRibbonGroup::SetCaption(const QString& caption) {
  if (caption == m_caption) return;
  m_caption = caption;
  updateGeometry();  // a long caption widens the group
  update();
}

// The room the caption is painted in, and the group, grow until the painted caption needs no ellipsis:
// eliding measures the shaped text, which can come out a few pixels wider than horizontalAdvance.
int TRibbonGroup::CaptionWidth() const {
  const QFontMetrics metrics = fontMetrics();
  int room = metrics.horizontalAdvance(m_caption);
  for (const int most = room + metrics.averageCharWidth() * 2; room < most; ++room)
    if (metrics.elidedText(m_caption, Qt::ElideRight, room) == m_caption) break;
  return room + 2 * 4 + 2;
}

QSize TRibbonGroup::sizeHint() const {
  const QSize hint = QFrame::sizeHint();
  return {std::max(hint.width(), CaptionWidth()), hint.height()};
}

QSize TRibbonGroup::minimumSizeHint() const {
  const QSize hint = QFrame::minimumSizeHint();
  return {std::max(hint.width(), CaptionWidth()), hint.height()};
}

QRect TRibbonGroup::CaptionStrip() const {
  return {1, height() - 1 - kGroupCaptionHeight, width() - 2, kGroupCaptionHeight};
}

QRect TRibbonGroup::CaptionArea() const { return CaptionStrip().adjusted(4, 0, -4, -1); }

QString TRibbonGroup::ShownCaption() const {
  return fontMetrics().elidedText(m_caption, Qt::ElideRight, CaptionArea().width());
}

void TRibbonGroup::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const SchemeColors& colors = ColorsOf(TRibbon::SchemeAround(this));
  const QRectF body = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.setPen(colors.groupFrame);
  painter.setBrush(VerticalShade(body, colors.groupBackground.lighter(104), colors.groupBackground));
  painter.drawRoundedRect(body, 3, 3);

  const QRect strip = CaptionStrip();
  QPainterPath stripShape;  // square at the top, rounded at the bottom like the group
  stripShape.addRoundedRect(QRectF(strip), 2, 2);
  stripShape.addRect(QRectF(strip.left(), strip.top(), strip.width(), 3));
  painter.setPen(Qt::NoPen);
  painter.setBrush(colors.groupCaptionStrip);
  painter.drawPath(stripShape.simplified());
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(colors.groupCaptionText);
  painter.drawText(CaptionArea(), Qt::AlignCenter, ShownCaption());

  painter.setPen(colors.groupFrame);
  for (const QWidget* item : m_items)
    if (qobject_cast<const TRibbonButton*>(item) == nullptr) {
      const QRect line = item->geometry();
      painter.drawLine(line.left(), line.top(), line.left(), line.bottom());
    }
}

TRibbonButton* TRibbonGroup::AddButton(TRibbonButton* button) {
  if (button->ButtonSize() == TRibbonButton::Size::Large) {
    m_column = nullptr;
    m_row->addWidget(button, 0, Qt::AlignTop);
  } else {
    if (m_column == nullptr || m_column->count() > kSmallColumnSize) {
      m_column = new QVBoxLayout;
      m_column->setSpacing(0);
      m_column->addStretch(1);  // a short column keeps its buttons at the top
      m_row->addLayout(m_column);
    }
    m_column->insertWidget(m_column->count() - 1, button);
  }
  m_items.append(button);
  return button;
}

void TRibbonGroup::AddSeparator() {
  m_column = nullptr;
  auto* separator = new QFrame(this);
  separator->setObjectName(QLatin1String(ribbon_part::kSeparator));
  separator->setFixedSize(1, kLargeHeight - 6);
  m_row->addSpacing(1);
  m_row->addWidget(separator, 0, Qt::AlignVCenter);
  m_row->addSpacing(1);
  m_items.append(separator);
}

QList<TRibbonButton*> TRibbonGroup::Buttons() const {
  QList<TRibbonButton*> buttons;
  for (QWidget* item : m_items)
    if (auto* button = qobject_cast<TRibbonButton*>(item)) buttons.append(button);
  return buttons;
}

TRibbonTab::TRibbonTab(const QString& name, QWidget* parent) : QWidget(parent), m_caption(name) {
  setObjectName(name);
  // The window has a fixed width: a tab never asks for more.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  m_row = new QHBoxLayout(this);
  m_row->setContentsMargins(0, 0, 0, 0);
  m_row->setSpacing(3);
  m_row->addStretch(1);
}

void TRibbonTab::SetCaption(const QString& caption) {
  if (caption == m_caption) return;
  m_caption = caption;
  emit CaptionChanged(caption);
}

TRibbonGroup* TRibbonTab::AddGroup(TRibbonGroup* group) {
  m_row->insertWidget(m_row->count() - 1, group);
  m_groups.append(group);
  return group;
}

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

  auto* enter = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(enter, &QShortcut::activated, this, [this] { HasKeyboard() ? LeaveKeyboard() : EnterKeyboard(); });
  qApp->installEventFilter(this);  // for Alt pressed alone, wherever the focus is in the window
}

QList<QList<QAbstractButton*>> TRibbon::KeyboardRows() const {
  QList<QAbstractButton*> title{m_appButton};
  for (TRibbonButton* button : m_quickButtons)
    if (!button->isHidden() && button->isEnabled()) title.append(button);
  QList<QAbstractButton*> tabs = m_tabButtons->buttons();
  QList<QAbstractButton*> body;
  if (m_activeTab)
    for (const TRibbonGroup* group : m_activeTab->Groups())
      for (TRibbonButton* button : group->Buttons())
        if (!button->isHidden() && button->isEnabled()) body.append(button);
  return {title, tabs, body};
}

bool TRibbon::HasKeyboard() const {
  const QWidget* focus = QApplication::focusWidget();
  return focus && isAncestorOf(focus);
}

void TRibbon::FocusPart(QAbstractButton* part) {
  if (!part) return;
  part->installEventFilter(this);
  part->setFocus(Qt::ShortcutFocusReason);
}

void TRibbon::EnterKeyboard() {
  if (!isVisible()) return;
  QWidget* focus = QApplication::focusWidget();
  if (!HasKeyboard()) m_returnFocus = focus && focus->window() == window() ? focus : nullptr;
  FocusPart(TabButton(m_activeTab));
}

void TRibbon::LeaveKeyboard(bool toRemembered) {
  QWidget* target = toRemembered ? m_returnFocus.data() : nullptr;
  m_returnFocus = nullptr;
  if (!target || !target->isVisible() || !target->isEnabled()) {
    // The first control the Tab key would reach outside the ribbon.
    target = nullptr;
    for (QWidget* next = window()->nextInFocusChain(); next && next != window(); next = next->nextInFocusChain())
      if (!isAncestorOf(next) && next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus)) {
        target = next;
        break;
      }
  }
  if (target)
    target->setFocus(Qt::ShortcutFocusReason);
  else if (QWidget* focus = QApplication::focusWidget(); focus && isAncestorOf(focus))
    focus->clearFocus();
}

bool TRibbon::KeyOnPart(QAbstractButton* part, const QKeyEvent* key) {
  const QList<QList<QAbstractButton*>> rows = KeyboardRows();
  qsizetype row = -1;
  qsizetype at = -1;
  for (qsizetype r = 0; r < rows.size() && row < 0; ++r)
    if ((at = rows[r].indexOf(part)) >= 0) row = r;
  if (row < 0) return false;
  constexpr qsizetype kTabRow = 1;
  constexpr qsizetype kBody = 2;
  const QList<QAbstractButton*>& line = rows[row];
  // A row's way in: the active tab, the first button, the application button.
  const auto entry = [&rows, this](qsizetype r) -> QAbstractButton* {
    if (r == kTabRow) return TabButton(m_activeTab);
    return rows[r].isEmpty() ? nullptr : rows[r].front();
  };
  // Small buttons stack in columns: Up and Down move within one before leaving the row.
  const auto stacked = [part](const QAbstractButton* other) {
    return other && other->parentWidget() == part->parentWidget() && other->x() == part->x();
  };
  switch (key->key()) {
    case Qt::Key_Escape:
      LeaveKeyboard();
      return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const qsizetype step = key->key() == Qt::Key_Right ? 1 : -1;
      QAbstractButton* next = line[(at + step + line.size()) % line.size()];
      if (row == kTabRow) SetActiveTab(m_tabs.value(m_tabButtons->id(next)));
      FocusPart(next);
      return true;
    }
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
      QList<QAbstractButton*> all = rows[0];
      all.append(TabButton(m_activeTab));
      all.append(rows[kBody]);
      const qsizetype step = key->key() == Qt::Key_Tab ? 1 : -1;
      const qsizetype here = row == kTabRow ? rows[0].size() : all.indexOf(part);
      FocusPart(all[(here + step + all.size()) % all.size()]);
      return true;
    }
    case Qt::Key_Up:
      if (row == kBody && at > 0 && stacked(line[at - 1]))
        FocusPart(line[at - 1]);
      else if (row > 0)
        FocusPart(entry(row - 1));
      return true;
    case Qt::Key_Down:
      if (row == kBody && at + 1 < line.size() && stacked(line[at + 1]))
        FocusPart(line[at + 1]);
      else if (row < kBody)
        FocusPart(entry(row + 1));
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (row == kTabRow) {
        SetActiveTab(m_tabs.value(m_tabButtons->id(part)));
        return true;
      }
      part->click();
      // A page button opens its page: the keyboard goes on there.
      if (auto* button = qobject_cast<TRibbonButton*>(part); button && button->Latching()) LeaveKeyboard(false);
      return true;
    default:
      return false;
  }
}

void TRibbon::WatchAltAlone(QObject* watched, const QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<const QKeyEvent*>(event);
      if (key->isAutoRepeat()) return;
      m_altAlone = key->key() == Qt::Key_Alt && (key->modifiers() & ~Qt::AltModifier) == 0;
      return;
    }
    case QEvent::KeyRelease: {
      const auto* key = static_cast<const QKeyEvent*>(event);
      if (key->key() != Qt::Key_Alt || key->isAutoRepeat() || !m_altAlone) return;
      m_altAlone = false;
      const auto* widget = qobject_cast<const QWidget*>(watched);
      if (!widget || widget->window() != window()) return;
      HasKeyboard() ? LeaveKeyboard() : EnterKeyboard();
      return;
    }
    case QEvent::MouseButtonPress:
    case QEvent::FocusOut:
    case QEvent::WindowDeactivate:
      m_altAlone = false;
      return;
    default:
      return;
  }
}

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
  connect(m_minimize, &QToolButton::clicked, this, [this] { window()->showMinimized(); });
  connect(m_close, &QToolButton::clicked, this, [this] { window()->close(); });
}

TRibbonTab* TRibbon::AddTab(const QString& name) {
  auto* tab = new TRibbonTab(name, m_body);
  m_tabs.append(tab);
  m_body->addWidget(tab);
  auto* button = new TTabButton(this, m_tabRow);
  button->setText(Escaped(tab->Caption()));
  m_tabButtons->addButton(button, static_cast<int>(m_tabs.size() - 1));
  m_tabLayout->insertWidget(m_tabLayout->count() - 1, button, 0, Qt::AlignBottom);
  connect(button, &QToolButton::clicked, this, [this, tab] { SetActiveTab(tab); });
  connect(tab, &TRibbonTab::CaptionChanged, button, [this, button](const QString& caption) {
    button->setText(Escaped(caption));
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
  if (window() != this) WatchAltAlone(watched, event);
  if (event->type() == QEvent::KeyPress) {
    auto* part = qobject_cast<QAbstractButton*>(watched);
    if (part && part->hasFocus() && KeyOnPart(part, static_cast<QKeyEvent*>(event))) return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace kesta
