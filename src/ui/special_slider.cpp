#include "ui/special_slider.h"

#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QToolButton>
#include <algorithm>

#include "engine/number_format.h"

namespace kesta {
namespace {

const QSize kPlainPanel(210, 54);
const QSize kModManPanel(195, 44);
const QColor kTitleColor(0, 0, 0);
const QColor kValueColor(0, 64, 128);
constexpr int kArrowWidth = 17;
constexpr int kTrackHeight = 17;
constexpr int kGaugeHeight = 10;

// A slim groove under a round thumb 14 pixels long; the gauge below carries the fill.
const char* const kTrackStyle =
    "QSlider::groove:horizontal { height: 4px; border-radius: 2px; background: rgb(208, 214, 222); }"
    "QSlider::handle:horizontal { width: 12px; margin: -5px 0; border-radius: 7px;"
    "  background: white; border: 1px solid rgb(0, 64, 128); }"
    "QSlider::handle:horizontal:hover { background: rgb(226, 238, 250); }"
    "QSlider::handle:horizontal:disabled { border-color: rgb(160, 160, 160); }";
const char* const kGaugeStyle =
    "QProgressBar { border: none; border-radius: 2px; margin: 3px 0; background: rgb(226, 230, 236); }"
    "QProgressBar::chunk { border-radius: 2px; background: qlineargradient(x1:0, y1:0, x2:1, y2:0,"
    "  stop:0 rgb(86, 150, 214), stop:1 rgb(0, 64, 128)); }"
    "QProgressBar:disabled, QProgressBar::chunk:disabled { background: rgb(220, 220, 220); }";

QFont SliderFont(const QFont& base, bool bold) {
  QFont font = base;
  font.setPointSizeF(8.5);
  font.setBold(bold);
  return font;
}

QLabel* MakeLabel(QWidget* parent, const QColor& color, bool bold) {
  auto* label = new QLabel(parent);
  label->setFont(SliderFont(parent->font(), bold));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  return label;
}

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

void TTitleValues::Add(int position, const QString& caption) {
  m_pairs.emplace_back(QString::number(position), caption);
}

QString TTitleValues::TitleOf(int position) const {
  const QString key = QString::number(position);
  const auto found =
      std::find_if(m_pairs.begin(), m_pairs.end(), [&](const auto& p) { return p.first == key; });
  return found == m_pairs.end() ? key : found->second;
}

TSpecialSlider::TSpecialSlider(QWidget* parent)
    : QWidget(parent),
      m_title(MakeLabel(this, kTitleColor, false)),
      m_value(MakeLabel(this, kValueColor, true)),
      m_track(new QSlider(Qt::Horizontal, this)),
      m_arrows(new QWidget(this)),
      m_up(MakeArrow(m_arrows, Qt::UpArrow)),
      m_down(MakeArrow(m_arrows, Qt::DownArrow)),
      m_gauge(new QProgressBar(this)) {
  m_track->setRange(0, 10);
  m_track->setSingleStep(1);
  m_track->setPageStep(1);
  m_track->setTickPosition(QSlider::NoTicks);
  m_track->setTickInterval(m_step);
  m_track->setStyleSheet(kTrackStyle);
  m_gauge->setTextVisible(false);
  m_gauge->setStyleSheet(kGaugeStyle);
  m_value->setText("0");
  m_value->raise();
  setFocusProxy(m_track);
  SyncIndicators();
  connect(m_track, &QSlider::valueChanged, this, &TSpecialSlider::OnTrackChanged);
  connect(m_up, &QToolButton::clicked, this, [this] { MoveBy(m_step); });
  connect(m_down, &QToolButton::clicked, this, [this] { MoveBy(-m_step); });
  resize(kPlainPanel);
  PlaceParts(kPlainPanel);
}

int TSpecialSlider::Min() const { return m_track->minimum(); }
int TSpecialSlider::Max() const { return m_track->maximum(); }
int TSpecialSlider::Position() const { return m_track->value(); }
QString TSpecialSlider::Title() const { return m_title->text(); }
QString TSpecialSlider::ValueText() const { return m_value->text(); }
QSize TSpecialSlider::sizeHint() const { return kPlainPanel; }

// The track clamps and reports only actual changes, so the reaction follows by itself.
void TSpecialSlider::SetMin(int min) {
  m_track->setMinimum(min);
  SyncIndicators();
}

void TSpecialSlider::SetMax(int max) {
  m_track->setMaximum(max);
  SyncIndicators();
}

void TSpecialSlider::SetPosition(int position) { m_track->setValue(position); }
void TSpecialSlider::SetTitle(const QString& title) { m_title->setText(title); }

void TSpecialSlider::SetStep(int step) {
  m_step = step;
  m_track->setTickInterval(step);
}

void TSpecialSlider::AddTitleValue(int position, const QString& caption) {
  m_titleValues.Add(position, caption);
  ShowValue(Position());
}

void TSpecialSlider::ShowValue(int position) { m_value->setText(TitleOf(position)); }

void TSpecialSlider::OnTrackChanged(int position) {
  ShowValue(position);
  SyncIndicators();
  emit OnStep(m_track);
}

// The gauge and the arrows mirror the track.
void TSpecialSlider::SyncIndicators() {
  const int min = Min();
  const int max = Max();
  // An empty range would turn the gauge into a busy indicator.
  m_gauge->setRange(min, std::max(max, min + 1));
  m_gauge->setValue(Position());
  m_up->setEnabled(Position() < max);
  m_down->setEnabled(Position() > min);
}

void TSpecialSlider::MoveBy(int delta) {
  const long long target = static_cast<long long>(Position()) + delta;
  m_track->setValue(static_cast<int>(std::clamp<long long>(target, Min(), Max())));
}

void TSpecialSlider::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceParts(size());
}

// Parts keep their distance to the right edge, so a wider panel gives a longer track.
void TSpecialSlider::PlaceParts(QSize size) {
  m_title->setGeometry(7, 0, size.width() - 8, 14);
  m_value->setGeometry(7, 13, size.width() - 8, 13);
  PlaceTrackArrowsGauge(size, 26, 44);
}

void TSpecialSlider::PlaceTrackArrowsGauge(QSize size, int trackTop, int gaugeTop) {
  const int width = size.width();
  m_track->setGeometry(1, trackTop, width - 28, kTrackHeight);
  m_arrows->setGeometry(width - 25, trackTop, kArrowWidth, kTrackHeight + 1);
  const int half = (kTrackHeight + 1) / 2;
  m_up->setGeometry(0, 0, kArrowWidth, half);
  m_down->setGeometry(0, half, kArrowWidth, half);
  m_gauge->setGeometry(7, gaugeTop, width - 35, kGaugeHeight);
}

TSpecialSliderModMan::TSpecialSliderModMan(QWidget* parent) : TSpecialSlider(parent) {
  ValueLabel()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  PaintValueBox();  // white until the first change, whatever the reference positions
  resize(kModManPanel);
  PlaceParts(kModManPanel);
}

QSize TSpecialSliderModMan::sizeHint() const { return kModManPanel; }

// The box follows its settings at once rather than waiting for the next move of the thumb.
void TSpecialSliderModMan::SetValueLow(int position) {
  m_valueLow = position;
  ShowValue(Position());
}

void TSpecialSliderModMan::SetValueMedium(int position) {
  m_valueMedium = position;
  ShowValue(Position());
}

void TSpecialSliderModMan::SetValueHigh(int position) {
  m_valueHigh = position;
  ShowValue(Position());
}

void TSpecialSliderModMan::SetMultiplicateur(double factor) {
  m_multiplicateur = factor;
  ShowValue(Position());
}

void TSpecialSliderModMan::ShowValue(int position) {
  // Later matches override earlier ones.
  m_background = NeutralColor();
  if (position == m_valueHigh) m_background = HighColor();
  if (position == m_valueMedium) m_background = MediumColor();
  if (position == m_valueLow) m_background = LowColor();
  PaintValueBox();
  const double shown = m_multiplicateur * position;
  const char* pattern = m_multiplicateur >= 1 ? "### ##0" : "### ##0.0";
  ValueLabel()->setText(QString::fromStdString(FormatFloat(pattern, shown)));
}

void TSpecialSliderModMan::PaintValueBox() {
  ValueLabel()->setStyleSheet(
      QString("QLabel { color: black; background: %1; border: 1px solid black; border-radius: 2px;"
              " padding: 0 3px; }")
          .arg(m_background.name()));
}

void TSpecialSliderModMan::PlaceParts(QSize size) {
  // Wide enough for the longest value the pages show (120 × 2 500 = "300 000").
  const int boxWidth = std::max(42, ValueLabel()->fontMetrics().horizontalAdvance("000 000") + 10);
  const int boxLeft = size.width() - 8 - boxWidth;
  TitleLabel()->setGeometry(7, 2, boxLeft - 11, 14);
  ValueLabel()->setGeometry(boxLeft, 1, boxWidth, 15);
  PlaceTrackArrowsGauge(size, 17, 34);
}

}  // namespace kesta
