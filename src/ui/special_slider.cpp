#include "ui/special_slider.h"

#include <QLabel>
#include <QPainter>
#include <QPolygonF>
#include <QStyleOptionSlider>
#include <QProgressBar>
#include <QSlider>
#include <QToolButton>
#include <algorithm>

#include "engine/number_format.h"
#include "ui/flat_bar.h"

namespace kesta {
namespace {

const QSize kPlainPanel(210, 54);
const QSize kModManPanel(195, 44);
const QColor kTitleColor(0, 0, 0);
const QColor kValueColor(0, 64, 128);
constexpr int kArrowWidth = 17;
constexpr int kTrackHeight = 17;
constexpr int kGaugeHeight = 10;

const QColor kGroove(208, 214, 222);
const QColor kThumbRim(0, 64, 128);
const QColor kThumbHover(226, 238, 250);
const QColor kDisabled(160, 160, 160);
const QColor kGaugeBack(226, 230, 236);
const QColor kGaugeBackDisabled(220, 220, 220);
const QColor kGaugeStart(86, 150, 214);

// A slim groove under a round thumb 14 pixels across; the gauge below carries the fill. Painted here
// rather than through a style sheet, which would cost more than the rest of the slider together.
class TTrack : public QSlider {
 public:
  explicit TTrack(QWidget* parent) : QSlider(Qt::Horizontal, parent) { setAttribute(Qt::WA_Hover); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal middle = handle.center().y() + 0.5;
    painter.setPen(Qt::NoPen);
    painter.setBrush(kGroove);
    painter.drawRoundedRect(QRectF(0, middle - 2, width(), 4), 2, 2);
    const bool hovered = option.activeSubControls.testFlag(QStyle::SC_SliderHandle) &&
                         option.state.testFlag(QStyle::State_MouseOver);
    painter.setPen(isEnabled() ? kThumbRim : kDisabled);
    painter.setBrush(hovered && isEnabled() ? kThumbHover : QColor(Qt::white));
    const qreal radius = std::min<qreal>(6.5, height() / 2.0 - 1);
    painter.drawEllipse(QPointF(handle.center().x() + 0.5, middle), radius, radius);
  }
};

}  // namespace

// The value caption; the variant with reference positions shows it in a coloured box.
class TValueLabel : public QLabel {
 public:
  using QLabel::QLabel;

  void SetBox(const QColor& fill) {
    m_box = fill;
    setContentsMargins(fill.isValid() ? QMargins(3, 0, 3, 0) : QMargins());
    update();
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (m_box.isValid()) {
      QPainter painter(this);
      painter.setRenderHint(QPainter::Antialiasing);
      painter.setPen(Qt::black);
      painter.setBrush(m_box);
      painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    }
    QLabel::paintEvent(event);
  }

 private:
  QColor m_box;
};

namespace {

QFont SliderFont(const QFont& base, bool bold) {
  QFont font = base;
  font.setPointSizeF(8.5);
  font.setBold(bold);
  return font;
}

template <typename Label = QLabel>
Label* MakeLabel(QWidget* parent, const QColor& color, bool bold) {
  auto* label = new Label(parent);
  label->setFont(SliderFont(parent->font(), bold));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  return label;
}

const QColor kArrowFace(246, 248, 251);
const QColor kArrowRim(170, 180, 192);
const QColor kArrowPressed(196, 212, 232);

// The arrows are painted here: the style draws its arrows from an image file, and reading it loads
// every image format plug-in just when the first page is painted.
class TArrowButton : public QToolButton {
 public:
  TArrowButton(QWidget* parent, bool up) : QToolButton(parent), m_up(up) {
    setAttribute(Qt::WA_Hover);
    setAutoRepeat(true);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QColor face = kArrowFace;
    if (isEnabled() && isDown())
      face = kArrowPressed;
    else if (isEnabled() && underMouse())
      face = kThumbHover;
    painter.fillRect(rect(), face);
    painter.setPen(kArrowRim);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QPointF centre = QRectF(rect()).center();
    const qreal tip = m_up ? -2.0 : 2.0;
    const QPolygonF arrow({centre + QPointF(-3.5, -tip), centre + QPointF(3.5, -tip), centre + QPointF(0, tip + (m_up ? -0.5 : 0.5))});
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? kThumbRim : kDisabled);
    painter.drawPolygon(arrow);
  }

 private:
  bool m_up;
};

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
      m_value(MakeLabel<TValueLabel>(this, kValueColor, true)),
      m_track(new TTrack(this)),
      m_arrows(new QWidget(this)),
      m_up(new TArrowButton(m_arrows, true)),
      m_down(new TArrowButton(m_arrows, false)),
      m_gauge(new TFlatBar({.track = kGaugeBack,
                            .disabledTrack = kGaugeBackDisabled,
                            .border = {},
                            .fillStart = kGaugeStart,
                            .fillEnd = kThumbRim,
                            .verticalInset = 3},
                           this)) {
  m_track->setRange(0, 10);
  m_track->setSingleStep(1);
  m_track->setPageStep(1);
  m_track->setTickPosition(QSlider::NoTicks);
  m_track->setTickInterval(m_step);
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
QLabel* TSpecialSlider::ValueLabel() const { return m_value; }

void TSpecialSlider::SetValueBox(const QColor& fill) {
  QPalette colours = m_value->palette();
  colours.setColor(QPalette::WindowText, fill.isValid() ? QColor(Qt::black) : kValueColor);
  m_value->setPalette(colours);
  m_value->SetBox(fill);
}

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

void TSpecialSliderModMan::PaintValueBox() { SetValueBox(m_background); }

void TSpecialSliderModMan::PlaceParts(QSize size) {
  // Wide enough for the longest value the pages show (120 × 2 500 = "300 000").
  const int boxWidth = std::max(42, ValueLabel()->fontMetrics().horizontalAdvance("000 000") + 10);
  const int boxLeft = size.width() - 8 - boxWidth;
  TitleLabel()->setGeometry(7, 2, boxLeft - 11, 14);
  ValueLabel()->setGeometry(boxLeft, 1, boxWidth, 15);
  PlaceTrackArrowsGauge(size, 17, 34);
}

}  // namespace kesta
