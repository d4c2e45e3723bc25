#pragma once
// The program's commands by id. Each command is declared once with its handler and the places it
// appears (ribbon buttons, tray items), so showing, hiding or enabling it reaches all of them.

#include <QKeySequence>
#include <QList>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>

class QAction;
class QObject;
class QWidget;

namespace kesta {

class TRibbonButton;

struct TCommand {
  QString id;
  // The "= {}" lets a declaration leave out the places a command does not have.
  std::function<void()> handler = {};
  // Every copy of its ribbon button; the first one is the one a shortcut presses.
  QList<QPointer<TRibbonButton>> buttons = {};
  // Its tray items. A separator here leads the group the command belongs to: it shows while any
  // command it leads shows.
  QList<QPointer<QAction>> items = {};
  QKeySequence keys = {};
  bool visible = true;
};

class TCommandTable {
 public:
  // Handlers run in the context of `owner`, and shortcuts are the owner window's.
  explicit TCommandTable(QWidget* owner) : m_owner(owner) {}

  // Declares a command and connects its places to its handler. A shortcut presses the first ribbon
  // button, so a command not offered now is not run by its key either; without buttons it runs the handler.
  void Register(TCommand command);

  // Each returns false for an id that was never registered.
  bool SetEnabled(const QString& id, bool enabled);
  // Disabled, a command says why in its buttons' hints and its items' tooltips.
  bool SetAvailable(const QString& id, bool available, const QString& whyNot);
  bool SetVisible(const QString& id, bool visible);
  bool Trigger(const QString& id) const;
  // Whether the command is offered now, as its first place shows it; false for an unknown id.
  bool Enabled(const QString& id) const;
  const TCommand* Find(const QString& id) const;

 private:
  QWidget* m_owner;
  std::map<QString, TCommand> m_commands;
};

// The program's commands.
namespace command {
inline const QString kApply = QStringLiteral("Apply");
inline const QString kCancel = QStringLiteral("Cancel");
inline const QString kOpenConfig = QStringLiteral("OpenConfig");
inline const QString kSaveConfig = QStringLiteral("SaveConfig");
inline const QString kPlay = QStringLiteral("Play");
inline const QString kCreateServer = QStringLiteral("CreateServer");
inline const QString kJoinServer = QStringLiteral("JoinServer");
inline const QString kLotatcClient = QStringLiteral("LotatcClient");
inline const QString kLotatcServer = QStringLiteral("LotatcServer");
inline const QString kLotatcNet = QStringLiteral("LotatcNet");
inline const QString kUpdate = QStringLiteral("Update");
inline const QString kReportBug = QStringLiteral("ReportBug");
inline const QString kAbout = QStringLiteral("About");
inline const QString kShowWindow = QStringLiteral("ShowWindow");
inline const QString kQuit = QStringLiteral("Quit");
inline const QString kThemeBlue = QStringLiteral("ThemeBlue");
inline const QString kThemeSilver = QStringLiteral("ThemeSilver");
inline const QString kThemeBlack = QStringLiteral("ThemeBlack");
inline const QString kFormStyle = QStringLiteral("FormStyle");
// What Apply would change, before it writes.
inline const QString kReview = QStringLiteral("Review");
// Taking an Apply back
inline const QString kUndoApply = QStringLiteral("UndoApply");
// The search field takes the focus.
inline const QString kFindSetting = QStringLiteral("FindSetting");
}  // namespace command

}  // namespace kesta
