#include "ui/ribbon_keyboard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include "ui/ribbon.h"
#include "ui/ribbon_button.h"
#include "ui/ribbon_group.h"

namespace kesta {

TRibbonKeyboard::TRibbonKeyboard(TRibbon& ribbon) : m_ribbon(ribbon) {
  auto* enter = new QShortcut(QKeySequence(Qt::Key_F10), &ribbon);
  connect(enter, &QShortcut::activated, this, [this] { Active() ? Leave() : Enter(); });
  qApp->installEventFilter(this);  // for Alt pressed alone, wherever the focus is in the window
}

QList<QList<QAbstractButton*>> TRibbonKeyboard::Rows() const {
  QList<QAbstractButton*> title{m_ribbon.ApplicationButton()};
  for (TRibbonButton* button : m_ribbon.QuickButtons())
    if (!button->isHidden() && button->isEnabled()) title.append(button);
  QList<QAbstractButton*> tabs;
  for (TRibbonTab* tab : m_ribbon.Tabs()) tabs.append(m_ribbon.TabButton(tab));
  QList<QAbstractButton*> body;
  if (const TRibbonTab* active = m_ribbon.ActiveTab())
    for (const TRibbonGroup* group : active->Groups())
      for (TRibbonButton* button : group->Buttons())
        if (!button->isHidden() && button->isEnabled()) body.append(button);
  return {title, tabs, body};
}

bool TRibbonKeyboard::Active() const {
  const QWidget* focus = QApplication::focusWidget();
  return focus && m_ribbon.isAncestorOf(focus);
}

void TRibbonKeyboard::FocusPart(QAbstractButton* part) {
  if (!part) return;
  part->installEventFilter(this);
  part->setFocus(Qt::ShortcutFocusReason);
}

void TRibbonKeyboard::ActivateTabOf(const QAbstractButton* tabButton) {
  for (TRibbonTab* tab : m_ribbon.Tabs())
    if (m_ribbon.TabButton(tab) == tabButton) return m_ribbon.SetActiveTab(tab);
}

void TRibbonKeyboard::Enter() {
  if (!m_ribbon.isVisible()) return;
  QWidget* focus = QApplication::focusWidget();
  if (!Active()) m_returnFocus = focus && focus->window() == m_ribbon.window() ? focus : nullptr;
  FocusPart(m_ribbon.TabButton(m_ribbon.ActiveTab()));
}

void TRibbonKeyboard::Leave(bool toRemembered) {
  QWidget* target = toRemembered ? m_returnFocus.data() : nullptr;
  m_returnFocus = nullptr;
  if (!target || !target->isVisible() || !target->isEnabled()) {
    // The first control the Tab key would reach outside the ribbon.
    target = nullptr;
    QWidget* window = m_ribbon.window();
    for (QWidget* next = window->nextInFocusChain(); next && next != window; next = next->nextInFocusChain())
      if (!m_ribbon.isAncestorOf(next) && next->isVisible() && next->isEnabled() &&
          (next->focusPolicy() & Qt::TabFocus)) {
        target = next;
        break;
      }
  }
  if (target)
    target->setFocus(Qt::ShortcutFocusReason);
  else if (QWidget* focus = QApplication::focusWidget(); focus && m_ribbon.isAncestorOf(focus))
    focus->clearFocus();
}

bool TRibbonKeyboard::KeyOnPart(QAbstractButton* part, const QKeyEvent* key) {
  const QList<QList<QAbstractButton*>> rows = Rows();
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
    if (r == kTabRow) return m_ribbon.TabButton(m_ribbon.ActiveTab());
    return rows[r].isEmpty() ? nullptr : rows[r].front();
  };
  // Small buttons stack in columns: Up and Down move within one before leaving the row.
  const auto stacked = [part](const QAbstractButton* other) {
    return other && other->parentWidget() == part->parentWidget() && other->x() == part->x();
  };
  switch (key->key()) {
    case Qt::Key_Escape:
      Leave();
      return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const qsizetype step = key->key() == Qt::Key_Right ? 1 : -1;
      QAbstractButton* next = line[(at + step + line.size()) % line.size()];
      if (row == kTabRow) ActivateTabOf(next);
      FocusPart(next);
      return true;
    }
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
      QList<QAbstractButton*> all = rows[0];
      all.append(m_ribbon.TabButton(m_ribbon.ActiveTab()));
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
        ActivateTabOf(part);
        return true;
      }
      part->click();
      // A page button opens its page: the keyboard goes on there.
      if (auto* button = qobject_cast<TRibbonButton*>(part); button && button->Latching()) Leave(false);
      return true;
    default:
      return false;
  }
}

void TRibbonKeyboard::WatchAltAlone(QObject* watched, const QEvent* event) {
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
      if (!widget || widget->window() != m_ribbon.window()) return;
      Active() ? Leave() : Enter();
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

bool TRibbonKeyboard::eventFilter(QObject* watched, QEvent* event) {
  if (m_ribbon.window() != &m_ribbon) WatchAltAlone(watched, event);
  if (event->type() == QEvent::KeyPress) {
    auto* part = qobject_cast<QAbstractButton*>(watched);
    if (part && part->hasFocus() && KeyOnPart(part, static_cast<QKeyEvent*>(event))) return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace kesta
