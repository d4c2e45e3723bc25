#pragma once
// The menu behind the ribbon's application button: a column of commands with separators, a pane of
// recent configurations beside it, and a foot row with two more commands.

#include <QFrame>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "ui/theme.h"

class QAbstractButton;
class QHBoxLayout;
class QLabel;
class QToolButton;
class QVBoxLayout;

namespace kesta {

class TRibbonButton;

class TApplicationMenu : public QFrame {
  Q_OBJECT
  Q_PROPERTY(QString extraPaneHeader READ ExtraPaneHeader WRITE SetExtraPaneHeader)

 public:
  explicit TApplicationMenu(QWidget* parent = nullptr);

  // Items show their caption beside a small icon across the column; clicking one closes the menu
  // before the item's own clicked reaches anyone else.
  TRibbonButton* AddItem(TRibbonButton* item);
  void AddSeparator();
  TRibbonButton* AddFootButton(TRibbonButton* button);
  // Items and separators in the order they were added.
  const QList<QWidget*>& Items() const { return m_items; }
  const QList<TRibbonButton*>& FootButtons() const { return m_footButtons; }

  QString ExtraPaneHeader() const;
  void SetExtraPaneHeader(const QString& header);
  // One pane entry per caption, in order, with the hint of the same index (the caption when there is
  // none); a click closes the menu and reports the entry's index.
  void SetRecentItems(const QStringList& captions, const QStringList& hints = {});
  const QStringList& RecentItems() const { return m_recent; }
  const QList<TRibbonButton*>& RecentButtons() const { return m_recentButtons; }

  // Opens the menu under the button that owns it; a click on that button closes it again.
  void PopupBelow(QWidget* opener);
  // The keyboard on that item of the open menu, as the arrow keys would put it.
  void FocusItem(TRibbonButton* item);
  void SetColorScheme(ColorScheme scheme);

  int ItemColumnWidth() const;
  int ExtraPaneWidth() const;

 signals:
  void RecentItemClicked(int index);
  void Closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateSeparators();
  void UpdateWidths();
  // The commands, the recent configurations and the foot buttons, as the arrows go through them.
  QList<TRibbonButton*> KeyboardItems() const;
  void MoveKeyboard(int step);
  bool HandleKey(int key);
  QIcon RecentIcon() const;

  QWidget* m_itemColumn;
  QVBoxLayout* m_itemLayout;
  QWidget* m_pane;
  QLabel* m_paneHeader;
  QVBoxLayout* m_recentLayout;
  QHBoxLayout* m_footLayout;
  QList<QWidget*> m_items;
  QList<TRibbonButton*> m_footButtons;
  QStringList m_recent;
  QList<TRibbonButton*> m_recentButtons;
  QPointer<QWidget> m_opener;
  ColorScheme m_scheme = ColorScheme::Silver;
};

}  // namespace kesta
