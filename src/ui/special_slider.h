#pragma once
// The stepped slider of the pages: a title, a caption for the current position, a track with a pair of
// arrows and a thin gauge. The multiplier variant shows position × factor in a coloured box instead.

#include <QColor>
#include <QString>
#include <QWidget>
#include <utility>
#include <vector>

class QLabel;
class QProgressBar;
class QSlider;
class QToolButton;

namespace kesta {

// Captions per position, from the language file. Pairs are only ever added; the first pair for a position
// wins, so a position listed twice keeps its first caption.
class TTitleValues {
 public:
  void Add(int position, const QString& caption);
  // The caption for the position, or the position in decimal when there is none.
  QString TitleOf(int position) const;

 private:
  std::vector<std::pair<QString, QString>> m_pairs;  // position in decimal, caption
};

class TValueLabel;

class TSpecialSlider : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int min READ Min WRITE SetMin)
  Q_PROPERTY(int max READ Max WRITE SetMax)
  Q_PROPERTY(int position READ Position WRITE SetPosition)
  Q_PROPERTY(QString title READ Title WRITE SetTitle)
  Q_PROPERTY(int step READ Step WRITE SetStep)

 public:
  explicit TSpecialSlider(QWidget* parent = nullptr);

  int Min() const;
  void SetMin(int min);
  int Max() const;
  void SetMax(int max);
  int Position() const;
  // Stores the nearest bound when outside Min..Max; OnStep follows only an actual change.
  void SetPosition(int position);
  QString Title() const;
  void SetTitle(const QString& title);
  // Arrow increment only: the track itself always moves by 1.
  int Step() const { return m_step; }
  void SetStep(int step);

  // Called by the language translator, by name, for every caption of the slider.
  Q_INVOKABLE void AddTitleValue(int position, const QString& caption);
  QString TitleOf(int position) const { return m_titleValues.TitleOf(position); }
  QString ValueText() const;

  QSlider* Track() const { return m_track; }
  QToolButton* UpArrow() const { return m_up; }
  QToolButton* DownArrow() const { return m_down; }
  QProgressBar* Gauge() const { return m_gauge; }
  // The labels of the title and of the current caption, for checks that a translation fits.
  QLabel* TitleLabel() const { return m_title; }
  QLabel* ValueLabel() const;

  QSize sizeHint() const override;

 signals:
  // After every actual change of position, from the user or from code. The sender is the inner track.
  void OnStep(QObject* sender);

 protected:
  // Positions the parts for a panel of the given size; each variant has its own design.
  virtual void PlaceParts(QSize size);
  // Refreshes the value label for the position.
  virtual void ShowValue(int position);
  void resizeEvent(QResizeEvent* event) override;

  // A box of this colour with a black rim behind the value, in black; none for an invalid colour.
  void SetValueBox(const QColor& fill);
  void PlaceTrackArrowsGauge(QSize size, int trackTop, int gaugeTop);

 private:
  void OnTrackChanged(int position);
  void SyncIndicators();
  void MoveBy(int delta);

  QLabel* m_title;
  TValueLabel* m_value;
  QSlider* m_track;
  QWidget* m_arrows;
  QToolButton* m_up;
  QToolButton* m_down;
  QProgressBar* m_gauge;
  TTitleValues m_titleValues;
  int m_step = 1;
};

// Shows Multiplicateur × position, coloured at three reference positions: red at ValueHigh, yellow at
// ValueMedium, green at ValueLow; when two coincide green beats yellow and yellow beats red.
class TSpecialSliderModMan : public TSpecialSlider {
  Q_OBJECT
  Q_PROPERTY(int valueLow READ ValueLow WRITE SetValueLow)
  Q_PROPERTY(int valueMedium READ ValueMedium WRITE SetValueMedium)
  Q_PROPERTY(int valueHigh READ ValueHigh WRITE SetValueHigh)
  Q_PROPERTY(double multiplicateur READ Multiplicateur WRITE SetMultiplicateur)

 public:
  explicit TSpecialSliderModMan(QWidget* parent = nullptr);

  int ValueLow() const { return m_valueLow; }
  void SetValueLow(int position);
  int ValueMedium() const { return m_valueMedium; }
  void SetValueMedium(int position);
  int ValueHigh() const { return m_valueHigh; }
  void SetValueHigh(int position);
  double Multiplicateur() const { return m_multiplicateur; }
  void SetMultiplicateur(double factor);

  QColor ValueBackground() const { return m_background; }
  static QColor NeutralColor() { return QColor(255, 255, 255); }
  static QColor HighColor() { return QColor(236, 94, 86); }
  static QColor MediumColor() { return QColor(250, 212, 72); }
  static QColor LowColor() { return QColor(104, 200, 108); }

  QSize sizeHint() const override;

 protected:
  void PlaceParts(QSize size) override;
  void ShowValue(int position) override;

 private:
  void PaintValueBox();

  int m_valueLow = 0;
  int m_valueMedium = 0;
  int m_valueHigh = 0;
  double m_multiplicateur = 1.0;
  QColor m_background = NeutralColor();
};

}  // namespace kesta
