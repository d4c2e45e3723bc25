#pragma once
// A button of the ribbon, its quick bar or its application menu: a glyph and a caption painted in the
// colours of the place it sits in, named after its design name so the language translator can caption it.

#include <QFont>
#include <QString>
#include <QToolButton>
#include <optional>

#include "ui/theme.h"

class QColor;
class QPainter;
class QRect;

namespace kesta {

class TRibbonButton : public QToolButton {
  Q_OBJECT
  Q_PROPERTY(QString caption READ Caption WRITE SetCaption)
  Q_PROPERTY(QString description READ Description WRITE SetDescription)
  // Shadows QWidget's property so the translator's "Hint" marks the tooltip as set on purpose.
  Q_PROPERTY(QString toolTip READ toolTip WRITE SetHint)

 public:
  enum class Size { Large, Small };
  // Icon and two caption lines; three small buttons fit beside.
  static constexpr int kLargeHeight = 68;

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
  // What the shown text was made from: a large button measures every way of breaking its caption, and
  // the events that ask for it again mostly change nothing it depends on.
  struct ShownFrom {
    QString caption;
    Size size;
    QFont font;
  };
  std::optional<ShownFrom> m_shownFrom;
  bool m_hintSet = false;
  bool m_latching = false;
};

// A caption as a button shows it: an ampersand is a letter, not a mnemonic.
QString WithoutMnemonic(QString caption);

// The keyboard's place on a ribbon part: a dotted line just inside the part's border, in the colour of
// its caption, which stands out from every face the part can have (a border colour would vanish on the
// pressed face).
void PaintFocusMark(QPainter& painter, const QRect& rect, const QColor& caption, qreal radius);

}  // namespace kesta
