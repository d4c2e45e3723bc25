#include "ui/command_table.h"

#include <QAction>
#include <QShortcut>

#include "ui/ribbon_button.h"

namespace kesta {

void TCommandTable::Register(TCommand command) {
  const QString id = command.id;
  auto [entry, added] = m_commands.insert_or_assign(id, std::move(command));
  TCommand& registered = entry->second;
  const auto run = [this, id] { Trigger(id); };
  for (TRibbonButton* button : registered.buttons)
    QObject::connect(button, &QToolButton::clicked, m_owner, run);
  for (QAction* item : registered.items)
    if (!item->isSeparator()) QObject::connect(item, &QAction::triggered, m_owner, run);
  if (registered.keys.isEmpty()) return;
  auto* shortcut = new QShortcut(registered.keys, m_owner);
  if (registered.buttons.isEmpty()) {
    // A command of the keyboard alone.
    QObject::connect(shortcut, &QShortcut::activated, m_owner, run);
    return;
  }
  QObject::connect(shortcut, &QShortcut::activated, registered.buttons.front(), &QAbstractButton::click);
  for (TRibbonButton* button : registered.buttons)
    button->SetShortcutText(registered.keys.toString(QKeySequence::NativeText));
}

const TCommand* TCommandTable::Find(const QString& id) const {
  const auto found = m_commands.find(id);
  return found == m_commands.end() ? nullptr : &found->second;
}

bool TCommandTable::SetEnabled(const QString& id, bool enabled) {
  const TCommand* command = Find(id);
  if (!command) return false;
  for (TRibbonButton* button : command->buttons)
    if (button) button->setEnabled(enabled);
  for (QAction* item : command->items)
    if (item && !item->isSeparator()) item->setEnabled(enabled);
  return true;
}

bool TCommandTable::SetAvailable(const QString& id, bool available, const QString& whyNot) {
  if (!SetEnabled(id, available)) return false;
  const TCommand* command = Find(id);
  const QString why = available ? QString() : whyNot;
  // An offered button keeps the hint it has; an offered item clears the reason it was withheld.
  if (!available)
    for (TRibbonButton* button : command->buttons)
      if (button) button->SetHint(why);
  for (QAction* item : command->items)
    if (item && !item->isSeparator()) item->setToolTip(why);
  return true;
}

bool TCommandTable::SetVisible(const QString& id, bool visible) {
  const auto found = m_commands.find(id);
  if (found == m_commands.end()) return false;
  TCommand& command = found->second;
  command.visible = visible;
  for (TRibbonButton* button : command.buttons)
    if (button) button->setVisible(visible);
  for (QAction* item : command.items) {
    if (!item) continue;
    if (!item->isSeparator()) {
      item->setVisible(visible);
      continue;
    }
    bool groupShown = false;
    for (const auto& [otherId, other] : m_commands)
      if (other.visible && other.items.contains(item)) groupShown = true;
    item->setVisible(groupShown);
  }
  return true;
}

bool TCommandTable::Trigger(const QString& id) const {
  const TCommand* command = Find(id);
  if (!command) return false;
  if (command->handler) command->handler();
  return true;
}

bool TCommandTable::Enabled(const QString& id) const {
  const TCommand* command = Find(id);
  if (!command) return false;
  for (TRibbonButton* button : command->buttons)
    if (button) return button->isEnabled();
  for (QAction* item : command->items)
    if (item && !item->isSeparator()) return item->isEnabled();
  return false;
}

}  // namespace kesta
