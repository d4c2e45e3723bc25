#pragma once
// The ribbon bar's own controls, which only the bar creates: the round application button, the
// caption buttons of a frameless window, the tab captions and the title row that moves the window.

#include <QAbstractButton>
#include <QPoint>
#include <QToolButton>
#include <QWidget>

namespace kesta {

class TRibbon;

namespace ribbon_bar {
inline constexpr int kTabRowHeight = 25;
inline constexpr int kOrbSize = 38;
}  // namespace ribbon_bar

// The round application button, painted in the scheme's accent with the program's emblem.
class TApplicationButton : public QAbstractButton {
 public:
  explicit TApplicationButton(TRibbon* ribbon);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TRibbon* m_ribbon;
};

// Minimise and close of the frameless window, drawn flat in the caption colours.
class TCaptionButton : public QToolButton {
 public:
  enum class Kind { Minimize, Close };
  TCaptionButton(Kind kind, TRibbon* ribbon, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Kind m_kind;
  TRibbon* m_ribbon;
};

// Tab captions are painted here rather than by the style sheet: their padding shrinks when a long
// translation would not fit the fixed window width.
class TTabButton : public QToolButton {
 public:
  TTabButton(TRibbon* ribbon, QWidget* parent);
  // The tab's caption, every ampersand shown as one.
  void SetCaption(const QString& caption);
  int TextWidth() const;
  void SetPadding(int padding);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TRibbon* m_ribbon;
  int m_padding = 8;
};

// The title row moves the window when the ribbon draws the window frame.
class TTitleRow : public QWidget {
 public:
  explicit TTitleRow(TRibbon* ribbon);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TRibbon* m_ribbon;
  QPoint m_dragOffset;
  bool m_dragging = false;
};

}  // namespace kesta
