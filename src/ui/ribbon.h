#pragma once
// The ribbon along the top of the main window: a title row with the application button and the quick
// bar, a row of tab captions, and the active tab's groups of buttons. Every part carries its design
// name as object name so the language translator can caption it.

#include <QFrame>
#include <QList>
#include <QPointer>
#include <QString>
#include <QToolButton>
#include <QWidget>

#include "ui/theme.h"

class QAbstractButton;
class QBoxLayout;
class QButtonGroup;
class QHBoxLayout;
class QKeyEvent;
class QLabel;
class QStackedWidget;
class QVBoxLayout;

namespace kesta {

class TApplicationMenu;

class TRibbonButton : public QToolButton {
  Q_OBJECT
  Q_PROPERTY(QString caption READ Caption WRITE SetCaption)
  Q_PROPERTY(QString description READ Description WRITE SetDescription)
  // Shadows QWidget's property so the translator's "Hint" marks the tooltip as set on purpose.
  Q_PROPERTY(QString toolTip READ toolTip WRITE SetHint)

 public:
  enum class Size { Large, Small };

  explicit TRibbonButton(const QString& name, Size size = Size::Large, QWidget* parent = nullptr);

  QString Caption() const { return m_caption; }
  // Shows the caption; it is also the tooltip until a hint is set.
  void SetCaption(const QString& caption);
  QString Description() const { return m_description; }
  void SetDescription(const QString& description) { m_description = description; }
  void SetHint(const QString& hint);
  // The command's shortcut in native text, shown after the tooltip: "Apply (Ctrl+S)".
  void SetShortcutText(const QString& shortcut);

  Size ButtonSize() const { return m_size; }
  // Large: 32 px icon above a caption of up to two lines. Small: 16 px icon beside the caption.
  void SetSize(Size size);
  // Icon only, for the quick bar.
  void SetIconOnly();

  // Buttons paint themselves in the colours of the ribbon they belong to, as their place asks.
  void SetPlace(ButtonPlace place);
  ButtonPlace Place() const { return m_place; }

  // A latching button stays pressed when clicked again; only SetPressed releases it.
  void SetLatching(bool latching);
  bool Latching() const { return m_latching; }
  void SetPressed(bool pressed) { setChecked(pressed); }
  bool Pressed() const { return isChecked(); }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }
  // Where the caption is painted; empty for an icon-only button.
  QRect CaptionRect() const;

 protected:
  void nextCheckState() override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void ShowCaption();
  void ShowToolTip();

  QString m_caption;
  QString m_hint;
  QString m_shortcut;
  QString m_description;
  Size m_size;
  ButtonPlace m_place = ButtonPlace::Ribbon;
  bool m_hintSet = false;
  bool m_latching = false;
};

class TRibbonGroup : public QFrame {
  Q_OBJECT
  Q_PROPERTY(QString caption READ Caption WRITE SetCaption)

 public:
  explicit TRibbonGroup(const QString& name, QWidget* parent = nullptr);

  QString Caption() const;
  void SetCaption(const QString& caption);

  // Large buttons stand alone; consecutive small buttons stack in columns of up to three.
  TRibbonButton* AddButton(TRibbonButton* button);
  void AddSeparator();

  QList<TRibbonButton*> Buttons() const;
  // Buttons and separators in the order they were added.
  const QList<QWidget*>& Items() const { return m_items; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  // The caption as painted: shortened with an ellipsis if the group is narrower than it needs.
  QString ShownCaption() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRect CaptionStrip() const;
  QRect CaptionArea() const;
  int CaptionWidth() const;

  QHBoxLayout* m_row;
  QVBoxLayout* m_column = nullptr;  // open column of small buttons
  QString m_caption;
  QList<QWidget*> m_items;
};

class TRibbonTab : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString caption READ Caption WRITE SetCaption NOTIFY CaptionChanged)

 public:
  explicit TRibbonTab(const QString& name, QWidget* parent = nullptr);

  QString Caption() const { return m_caption; }
  void SetCaption(const QString& caption);

  TRibbonGroup* AddGroup(TRibbonGroup* group);
  const QList<TRibbonGroup*>& Groups() const { return m_groups; }

 signals:
  void CaptionChanged(const QString& caption);

 private:
  QHBoxLayout* m_row;
  QString m_caption;
  QList<TRibbonGroup*> m_groups;
};

class TRibbon : public QWidget {
  Q_OBJECT

 public:
  explicit TRibbon(QWidget* parent = nullptr);

  // A new tab, its caption the name until the language sets it; the first tab becomes active.
  TRibbonTab* AddTab(const QString& name);
  const QList<TRibbonTab*>& Tabs() const { return m_tabs; }
  TRibbonTab* ActiveTab() const { return m_activeTab; }
  // Emits TabChanged when the active tab actually changes.
  void SetActiveTab(TRibbonTab* tab);
  // The tab holding the button's group, or nullptr.
  TRibbonTab* TabOf(const QWidget* button) const;

  void AddQuickButton(TRibbonButton* button);
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
  // The parts the keyboard moves through: the title row, the tab row, the active tab's buttons.
  QList<QList<QAbstractButton*>> KeyboardRows() const;
  bool KeyOnPart(QAbstractButton* part, const QKeyEvent* key);
  void FocusPart(QAbstractButton* part);
  void WatchAltAlone(QObject* watched, const QEvent* event);

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
  QToolButton* m_minimize = nullptr;
  QToolButton* m_close = nullptr;
  QAbstractButton* m_appButton = nullptr;
  QWidget* m_tabRow = nullptr;
  QHBoxLayout* m_tabLayout = nullptr;
  QButtonGroup* m_tabButtons = nullptr;
  QStackedWidget* m_body = nullptr;
  TApplicationMenu* m_menu = nullptr;
  QList<TRibbonTab*> m_tabs;
  TRibbonTab* m_activeTab = nullptr;
  QList<TRibbonButton*> m_quickButtons;
  QPointer<QWidget> m_returnFocus;  // where Escape takes the keyboard back to
  bool m_altAlone = false;          // Alt is down and no other key or click came since
};

}  // namespace kesta
