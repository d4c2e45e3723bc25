#pragma once
// The ribbon along the top of the main window: a title row with the application button and the quick
// bar, a row of tab captions, and the active tab's groups of buttons. Every part carries its design
// name as object name so the language translator can caption it. The parts have headers of their own:
// ribbon_button.h, ribbon_group.h (groups and tabs) and application_menu.h.

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

#include "ui/ribbon_group.h"  // TabChanged carries a tab: connecting to it needs the whole type
#include "ui/theme.h"

class QAbstractButton;
class QButtonGroup;
class QHBoxLayout;
class QLabel;
class QStackedWidget;

namespace kesta {

class TApplicationMenu;
class TRibbonButton;
class TRibbonKeyboard;

class TRibbon : public QWidget {
  Q_OBJECT

 public:
  explicit TRibbon(QWidget* parent = nullptr);
  ~TRibbon() override;

  // A new tab, its caption the name until the language sets it; the first tab becomes active.
  TRibbonTab* AddTab(const QString& name);
  const QList<TRibbonTab*>& Tabs() const { return m_tabs; }
  TRibbonTab* ActiveTab() const { return m_activeTab; }
  // Emits TabChanged when the active tab actually changes.
  void SetActiveTab(TRibbonTab* tab);
  // The tab holding the button's group, or nullptr.
  TRibbonTab* TabOf(const QWidget* button) const;

  void AddQuickButton(TRibbonButton* button);
  // A control at the right of the title row, before the caption buttons (the search field).
  void AddTitleRowWidget(QWidget* widget);
  const QList<TRibbonButton*>& QuickButtons() const { return m_quickButtons; }

  // "New" style: the window is frameless and the title row is its caption bar. "Classic": system frame.
  void SetDrawsWindowFrame(bool draws);
  bool DrawsWindowFrame() const { return m_drawsFrame; }
  // Shown before the window title in the caption, as in "KESTA - Kesta".
  void SetDocumentName(const QString& name);

  void SetColorScheme(ColorScheme scheme);
  ColorScheme Scheme() const { return m_scheme; }

  // The scheme of the ribbon the widget belongs to (Silver outside any ribbon).
  static ColorScheme SchemeAround(const QWidget* widget);

  TApplicationMenu* ApplicationMenu() const { return m_menu; }
  QAbstractButton* ApplicationButton() const { return m_appButton; }
  QAbstractButton* TabButton(TRibbonTab* tab) const;
  QAbstractButton* MinimizeButton() const { return m_minimize; }
  QAbstractButton* CloseButton() const { return m_close; }
  QLabel* CaptionLabel() const { return m_captionLabel; }
  QWidget* TitleRow() const { return m_titleRow; }

  // Keyboard use: F10 or Alt pressed alone puts the focus on the active tab; arrows move along a row
  // (the title row, the tabs, the active tab's buttons) and Up and Down between rows, Enter or Space
  // presses, Escape gives the focus back to the widget that had it.
  void EnterKeyboard();
  // Back to the widget that had the focus, or to the first control of the window outside the ribbon
  // when that one is gone from view or `toRemembered` is false.
  void LeaveKeyboard(bool toRemembered = true);
  bool HasKeyboard() const;

 signals:
  void TabChanged(TRibbonTab* tab);
  void SizeChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildTitleRow();
  void ApplyFrameToWindow();
  void UpdateCaption();
  void PlaceApplicationButton();
  void RefreshIcons();
  void FitTabs();
  void OpenApplicationMenu();

  ColorScheme m_scheme = ColorScheme::Silver;
  // Glyphs are given when the ribbon is first shown, in the scheme it has then, not for every scheme
  // it passes through while the window is being set up.
  bool m_iconsCurrent = false;
  bool m_drawsFrame = false;
  QString m_documentName;
  QPointer<QWidget> m_watchedWindow;
  QWidget* m_titleRow = nullptr;
  QWidget* m_quickBar = nullptr;
  QHBoxLayout* m_quickLayout = nullptr;
  QLabel* m_captionLabel = nullptr;
  QAbstractButton* m_minimize = nullptr;
  QAbstractButton* m_close = nullptr;
  QAbstractButton* m_appButton = nullptr;
  QWidget* m_tabRow = nullptr;
  QHBoxLayout* m_tabLayout = nullptr;
  QButtonGroup* m_tabButtons = nullptr;
  QStackedWidget* m_body = nullptr;
  TApplicationMenu* m_menu = nullptr;
  QList<TRibbonTab*> m_tabs;
  TRibbonTab* m_activeTab = nullptr;
  QList<TRibbonButton*> m_quickButtons;
  // Last member: its filter is gone before the lists and children it reads are torn down.
  std::unique_ptr<TRibbonKeyboard> m_keyboard;
};

}  // namespace kesta
