#include "ui/setting_finder.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVariantAnimation>

#include "language/message_catalogue.h"
#include "language/setting_search.h"
#include "ui/application_menu.h"
#include "ui/page_area.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"

namespace kesta {

namespace {

// The field grows with its invitation in a wordy language, within bounds that leave the caption its room.
constexpr int kFieldWidth = 160;
constexpr int kWidestField = 210;
constexpr int kFieldSides = 52;  // the glass, the clear button's room and the frame
constexpr int kVisibleRows = 12;

// A warm orange reads on the blue, silver and black ribbons and on the pages' light grey; a white line
// inside it keeps it apart from the orange of a latched ribbon button.
const QColor kMarkColor(255, 128, 0);
const QColor kMarkInner(255, 255, 255, 220);

// The highlight: a rounded frame with a light fill over the control, held for a moment, then faded out.
// It lies on the window, above every control, and goes with its control when that is hidden (another
// page shown, the menu closed).
class TFadingMark : public QWidget {
 public:
  TFadingMark(QWidget* parent, const QRect& area, QWidget* control) : QWidget(parent), m_control(control) {
    control->installEventFilter(this);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setObjectName(QStringLiteral("SearchMark"));
    setGeometry(area.adjusted(-4, -3, 4, 3));
    auto* fade = new QVariantAnimation(this);
    fade->setStartValue(1.0);
    fade->setKeyValueAt(0.6, 1.0);  // held before it fades
    fade->setEndValue(0.0);
    fade->setDuration(1600);
    connect(fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
      m_opacity = value.toReal();
      update();
    });
    connect(fade, &QVariantAnimation::finished, this, &QObject::deleteLater);
    show();
    raise();
    fade->start();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_opacity);
    QColor fill = kMarkColor;
    fill.setAlpha(50);
    const QRectF frame = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(QPen(kMarkColor, 3));
    painter.setBrush(fill);
    painter.drawRoundedRect(frame, 4, 4);
    painter.setPen(QPen(kMarkInner, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame.adjusted(2, 2, -2, -2), 3, 3);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == m_control && event->type() == QEvent::Hide) deleteLater();
    return false;
  }

 private:
  QPointer<QWidget> m_control;
  qreal m_opacity = 1.0;
};

// A magnifying glass drawn in the field's text colour.
QIcon MagnifierIcon(const QColor& color, qreal scale) {
  QPixmap picture(QSize(16, 16) * scale);
  picture.setDevicePixelRatio(scale);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap));
  painter.drawEllipse(QRectF(2.5, 2.5, 8, 8));
  painter.drawLine(QPointF(9.5, 9.5), QPointF(13.5, 13.5));
  return QIcon(picture);
}

// Draws a match with its caption in the text colour and where it lies ("— page (tab)") quieter, so the
// eye runs down the captions.
class TMatchDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), option.fontMetrics.height() + 8));  // room to aim a click
    return size;
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    const qsizetype captionLength = index.data(Qt::UserRole).value<qsizetype>();
    item.text.clear();
    const QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
    const QRect area =
        style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget).adjusted(2, 0, -2, 0);
    const bool selected = item.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    const QColor strong = item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    QColor quiet = strong;
    quiet.setAlphaF(selected ? 0.8 : 0.55);
    painter->save();
    painter->setFont(item.font);
    const QString caption = text.left(captionLength);
    const QString rest =
        item.fontMetrics.elidedText(text.mid(captionLength), Qt::ElideRight,
                                    std::max(0, area.width() - item.fontMetrics.horizontalAdvance(caption)));
    painter->setPen(strong);
    painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, caption);
    painter->setPen(quiet);
    painter->drawText(area.adjusted(item.fontMetrics.horizontalAdvance(caption), 0, 0, 0),
                      Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, rest);
    painter->restore();
  }
};

bool TakesFocus(const QWidget* widget) {
  return widget->isVisibleTo(widget->window()) && widget->isEnabled() &&
         (widget->focusPolicy() & Qt::TabFocus);
}

// The widget a search entry's control should give the focus to: the value control its caption names
// (the edit beside a label), the control itself, or the first control inside a group box.
QWidget* FocusTarget(QWidget* page, QWidget* named, const std::string& control) {
  for (QWidget* child : page->findChildren<QWidget*>())
    if (child != named && CaptionControlOf(child->objectName().toStdString()) == control && TakesFocus(child))
      return child;
  if (named && TakesFocus(named)) return named;
  if (named)
    for (QWidget* child : named->findChildren<QWidget*>())
      if (TakesFocus(child)) return child;
  return nullptr;
}

}  // namespace

void MarkWidget(QWidget* widget, const QWidget* alongside) {
  if (!widget) return;
  QWidget* top = widget->window();
  QRect area(widget->mapTo(top, QPoint(0, 0)), widget->size());
  // A label and the edit it names are marked as one, when they sit side by side.
  if (alongside && alongside->window() == top) {
    const QRect other(alongside->mapTo(top, QPoint(0, 0)), alongside->size());
    if (other.intersects(area.adjusted(-40, -12, 40, 12))) area = area.united(other);
  }
  new TFadingMark(top, area, widget);
}

TSettingFinder::TSettingFinder(Collaborators collaborators) : m_with(std::move(collaborators)) {
  m_field = new QLineEdit;
  m_field->setObjectName(QStringLiteral("EditFindSetting"));
  m_field->setFixedWidth(kFieldWidth);
  // Reached by Ctrl+F, "/" or a click; the window's first focus and Tab stay with the pages.
  m_field->setFocusPolicy(Qt::ClickFocus);
  m_field->addAction(
      MagnifierIcon(m_field->palette().color(QPalette::PlaceholderText), m_with.window.devicePixelRatioF()),
      QLineEdit::LeadingPosition);
  m_with.ribbon.AddTitleRowWidget(m_field);
  m_field->installEventFilter(this);

  connect(m_field, &QLineEdit::textEdited, this, [this] { UpdateList(); });
  m_with.window.installEventFilter(this);
}

// Made on first use: start-up does not pay for a list nobody has opened.
QListWidget* TSettingFinder::MakeList() {
  if (m_list) return m_list;
  m_list = new QListWidget(&m_with.window);
  m_list->setObjectName(QStringLiteral("ListFindSetting"));
  m_list->setFocusPolicy(Qt::NoFocus);  // the field keeps the keyboard while the list is open
  m_list->setUniformItemSizes(true);
  m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_list->setItemDelegate(new TMatchDelegate(m_list));
  m_list->hide();
  connect(m_list, &QListWidget::itemClicked, this, [this] { OpenCurrent(); });
  return m_list;
}

TSettingFinder::~TSettingFinder() = default;

void TSettingFinder::LanguageLoaded() {
  m_index.reset();
  m_field->setPlaceholderText(m_with.lookup(QStringLiteral("FindPlaceholder")));
  const int needed = m_field->fontMetrics().horizontalAdvance(m_field->placeholderText()) + kFieldSides;
  m_field->setFixedWidth(std::clamp(needed, kFieldWidth, kWidestField));
  m_field->setToolTip(m_with.lookup(QStringLiteral("FindHint")));
}

const TSettingSearch* TSettingFinder::Index() {
  if (!m_index)
    if (const TMessageCatalogue* catalogue = m_with.catalogue())
      m_index = std::make_unique<TSettingSearch>(*catalogue);
  return m_index.get();
}

void TSettingFinder::FocusField() {
  QWidget* focused = QApplication::focusWidget();
  if (focused != m_field) m_focusBefore = focused;
  m_field->setFocus(Qt::ShortcutFocusReason);
  m_field->selectAll();
  if (!m_field->text().isEmpty()) UpdateList();
}

void TSettingFinder::UpdateList() {
  const SearchQuery query = ParseSearchQuery(m_field->text().toStdString());
  const TSettingSearch* index = Index();
  if (query.Empty() || !index) return HideList();
  m_shown = index->Find(query, query.modifiedOnly ? m_with.changedControls() : std::vector<std::string>());
  MakeList()->clear();
  for (const SearchEntry& entry : m_shown) {
    auto* item = new QListWidgetItem(QString::fromStdString(ListText(entry)), m_list);
    item->setData(Qt::UserRole, QString::fromStdString(entry.caption).size());
    item->setToolTip(item->text());
  }
  if (m_shown.empty()) {
    auto* item =
        new QListWidgetItem(m_with.lookup(query.modifiedOnly && query.words.empty() && query.page.empty()
                                              ? QStringLiteral("FindNoChanges")
                                              : QStringLiteral("FindNothing")),
                            m_list);
    item->setFlags(Qt::NoItemFlags);
    item->setData(Qt::UserRole, item->text().size());
  } else {
    m_list->setCurrentRow(0);
  }
  PlaceList();
}

void TSettingFinder::PlaceList() {
  QWidget& window = m_with.window;
  const int rows = std::min<int>(std::max<int>(m_list->count(), 1), kVisibleRows);
  const int rowHeight =
      m_list->sizeHintForRow(0) > 0 ? m_list->sizeHintForRow(0) : m_list->fontMetrics().height() + 4;
  const QPoint below = m_field->mapTo(&window, QPoint(0, m_field->height() + 2));
  const int width = window.width() - 16;
  m_list->setGeometry(8, below.y(), width, rows * rowHeight + 2 * m_list->frameWidth());
  m_list->show();
  m_list->raise();
}

void TSettingFinder::HideList() {
  m_shown.clear();
  if (!m_list) return;
  m_list->clear();
  m_list->hide();
}

void TSettingFinder::LeaveField() {
  HideList();
  if (m_focusBefore && m_focusBefore->isVisible())
    m_focusBefore->setFocus(Qt::OtherFocusReason);
  else if (QWidget* page = m_with.pages.ActivePage())
    page->setFocus(Qt::OtherFocusReason);
}

void TSettingFinder::OpenCurrent() {
  const int row = m_list ? m_list->currentRow() : -1;
  if (row < 0 || row >= static_cast<int>(m_shown.size())) return;
  const SearchEntry entry = m_shown[size_t(row)];
  HideList();
  Open(entry);
}

QWidget* TSettingFinder::CommandButton(const SearchEntry& entry) {
  TRibbon& ribbon = m_with.ribbon;
  const QList<TRibbonButton*> copies =
      ribbon.findChildren<TRibbonButton*>(QString::fromStdString(entry.control));
  // A command on a tab is shown there.
  for (TRibbonButton* button : copies)
    if (TRibbonTab* tab = ribbon.TabOf(button)) {
      ribbon.SetActiveTab(tab);
      return button;
    }
  // The application menu holds every other command; a copy in the quick bar is not where it is explained.
  TApplicationMenu& menu = *ribbon.ApplicationMenu();
  for (TRibbonButton* button : copies)
    if (menu.isAncestorOf(button)) {
      // Opened as from the keyboard, so the keyboard is in the menu even when the command is not offered.
      ribbon.ApplicationButton()->setFocus(Qt::OtherFocusReason);
      menu.PopupBelow(ribbon.ApplicationButton());
      if (button->isEnabled()) menu.FocusItem(button);
      return button;
    }
  return nullptr;
}

void TSettingFinder::Open(const SearchEntry& entry) {
  const PagePlace* place = PlaceOfEntry(entry);
  if (!place) {
    if (QWidget* button = CommandButton(entry)) {
      if (!button->hasFocus()) button->setFocus(Qt::OtherFocusReason);
      MarkWidget(button);
    }
    return;
  }
  // The tab first: changing it shows the tab's first page.
  if (QAbstractButton* pageButton = m_with.ribbon.findChild<TRibbonButton*>(QLatin1StringView(place->button)))
    if (TRibbonTab* tab = m_with.ribbon.TabOf(pageButton)) m_with.ribbon.SetActiveTab(tab);
  m_with.pages.OpenPage(QLatin1StringView(place->page), PageOpening::AsItsButton);
  QWidget* page = m_with.pages.ActivePage();
  if (!page) return;
  const QString control = QString::fromStdString(entry.control);
  if (entry.control == place->button) {
    page->setFocus(Qt::OtherFocusReason);
    return MarkWidget(m_with.ribbon.findChild<TRibbonButton*>(control));
  }
  QWidget* named = page->findChild<QWidget*>(control);
  QWidget* target = FocusTarget(page, named, entry.control);
  if (target) target->setFocus(Qt::OtherFocusReason);
  if (named)
    MarkWidget(named, target && !named->isAncestorOf(target) ? target : nullptr);
  else
    MarkWidget(target);
}

bool TSettingFinder::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &m_with.window) {
    // "/" reaches the window only when the focused control did not take it as text.
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Slash && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        FocusField();
        return true;
      }
    } else if (event->type() == QEvent::Resize && m_list && m_list->isVisible()) {
      PlaceList();
    }
    return false;
  }
  if (watched != m_field) return false;
  // The clear button's icon costs start-up more than the whole field: it comes with the first use.
  if (event->type() == QEvent::FocusIn && !m_field->isClearButtonEnabled())
    m_field->setClearButtonEnabled(true);
  if (event->type() == QEvent::FocusOut) {
    HideList();
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool listed = m_list && m_list->isVisible();
  const int rows = listed ? static_cast<int>(m_shown.size()) : 0;
  const int current = listed ? m_list->currentRow() : 0;
  const auto moveTo = [this, rows](int row) {
    if (rows > 0) m_list->setCurrentRow(std::clamp(row, 0, rows - 1));
    return true;
  };
  switch (key->key()) {
    case Qt::Key_Down:
      if (!listed) {
        UpdateList();
        return true;
      }
      return moveTo(rows > 0 ? (current + 1) % rows : 0);
    case Qt::Key_Up:
      return moveTo(rows > 0 ? (current + rows - 1) % rows : 0);
    case Qt::Key_PageDown:
      return moveTo(current + kVisibleRows - 1);
    case Qt::Key_PageUp:
      return moveTo(current - kVisibleRows + 1);
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!listed) UpdateList();
      OpenCurrent();
      return true;
    case Qt::Key_Escape:
      LeaveField();
      return true;
    default:
      return false;
  }
}

}  // namespace kesta
