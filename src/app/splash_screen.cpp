#include "app/splash_screen.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <algorithm>

namespace kesta {

namespace {

const QColor kSplashBackground(0xf4, 0xf6, 0xf9);
const QColor kSplashBorder(0x8a, 0x97, 0xa8);
const QColor kSplashFill(0x2d, 0x6c, 0xc0);
// The background is always light, whatever the desktop's palette says about text.
const QColor kSplashText(Qt::black);

constexpr QSize kWindowSize(302, 206);
constexpr QPoint kPictureOrigin(1, 1);
constexpr QRect kStatusText(11, 160, 280, 22);
constexpr QRect kBar(11, 188, 280, 10);
const QRect kStatusArea = kStatusText.united(kBar);

// The loading sequence's steps.
constexpr int kSteps = 11;
// A text replaced sooner than one frame after the last paint could not have been seen.
constexpr int kFrameIntervalMs = 16;

// "KESTA" as the picture's own lettering, stroked rather than set in a font: a font this size and
// weight would be one more to look up and rasterise before the first frame shows.
void PaintTitle(QPainter& painter) {
  constexpr qreal kTop = 37, kBottom = 66;  // the letters' band; strokes run past it and are cut square
  constexpr qreal kStroke = 6.4;
  constexpr qreal kInnerTop = kTop + kStroke / 2, kInnerBottom = kBottom - kStroke / 2;
  constexpr qreal kMiddle = (kInnerTop + kInnerBottom) / 2;
  QPainterPath letters;
  const auto line = [&letters](QPointF from, QPointF to) {
    letters.moveTo(from);
    letters.lineTo(to);
  };
  // K
  line({24.2, kTop - 4}, {24.2, kBottom + 4});
  line({45.5, kTop - 2}, {26, kMiddle + 2});
  line({32, kMiddle - 2}, {47.5, kBottom + 2});
  // E
  line({57.2, kTop}, {57.2, kBottom});
  line({54, kInnerTop}, {74.5, kInnerTop});
  line({54, kMiddle}, {72.5, kMiddle});
  line({54, kInnerBottom}, {75, kInnerBottom});
  // S: two bowls meeting at the middle
  const QRectF upper(84.5, kInnerTop, 17, kMiddle - kInnerTop);
  const QRectF lower(84, kMiddle, 18, kInnerBottom - kMiddle);
  letters.arcMoveTo(upper, 20);
  letters.arcTo(upper, 20, 250);
  letters.arcTo(lower, 90, -250);
  // T
  line({109, kInnerTop}, {134, kInnerTop});
  line({121.5, kTop}, {121.5, kBottom + 4});
  // A
  letters.moveTo(139, kBottom + 8);
  letters.lineTo(155.5, kTop - 6);
  letters.lineTo(172, kBottom + 8);
  line({146.5, kInnerBottom - 6}, {164.5, kInnerBottom - 6});
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setClipRect(QRectF(0, kTop, 300, kBottom - kTop));
  painter.setPen(QPen(Qt::white, kStroke, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(letters);
  painter.restore();
}

// The splash picture, drawn rather than shipped: 300 × 153 from the painter's origin.
void PaintPicture(QPainter& painter) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 153);
  sky.setColorAt(0.0, QColor(18, 42, 86));
  sky.setColorAt(0.65, QColor(70, 120, 180));
  sky.setColorAt(1.0, QColor(225, 180, 120));
  painter.fillRect(QRect(0, 0, 300, 153), sky);

  // A swept-wing jet climbing out of the horizon.
  QPainterPath jet;
  jet.moveTo(0, -30);
  jet.lineTo(5, -8);
  jet.lineTo(28, 10);
  jet.lineTo(28, 15);
  jet.lineTo(5, 6);
  jet.lineTo(4, 20);
  jet.lineTo(11, 27);
  jet.lineTo(-11, 27);
  jet.lineTo(-4, 20);
  jet.lineTo(-5, 6);
  jet.lineTo(-28, 15);
  jet.lineTo(-28, 10);
  jet.lineTo(-5, -8);
  jet.closeSubpath();
  painter.save();
  painter.translate(222, 70);
  painter.rotate(35);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(235, 240, 248));
  painter.drawPath(jet);
  painter.restore();

  PaintTitle(painter);
  QFont subtitle = QApplication::font();
  subtitle.setPointSize(9);
  painter.setFont(subtitle);
  painter.setPen(QColor(220, 230, 245));
  painter.drawText(QRect(20, 78, 220, 20), Qt::AlignLeft | Qt::AlignVCenter, "Lock On configuration");
  painter.restore();
}

// Everything but the step's text and the bar's fill.
QPixmap PaintFrame(qreal pixelRatio) {
  QPixmap frame(kWindowSize * pixelRatio);
  frame.setDevicePixelRatio(pixelRatio);
  QPainter painter(&frame);
  const QRect window(QPoint(), kWindowSize);
  painter.fillRect(window, kSplashBackground);
  painter.setPen(kSplashBorder);
  painter.drawRect(window.adjusted(0, 0, -1, -1));
  painter.translate(kPictureOrigin);
  PaintPicture(painter);
  painter.resetTransform();
  painter.fillRect(kBar, Qt::white);
  painter.setPen(kSplashBorder);
  painter.drawRect(kBar.adjusted(0, 0, -1, -1));
  return frame;
}

}  // namespace

TFrmSplashScreen::TFrmSplashScreen() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName("FrmSplashScreen");
  setWindowTitle("KESTA is loading...");
  setFixedSize(kWindowSize);
  setAttribute(Qt::WA_DeleteOnClose);
  // The frame covers every pixel: nothing needs to be erased first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  m_label = "Loading...";

  m_pendingPaint.setSingleShot(true);
  connect(&m_pendingPaint, &QTimer::timeout, this, [this] { update(kStatusArea); });

  if (const QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TFrmSplashScreen::paintEvent(QPaintEvent* event) {
  const qreal pixelRatio = devicePixelRatioF();
  if (m_frame.isNull() || m_frame.devicePixelRatio() != pixelRatio) m_frame = PaintFrame(pixelRatio);
  QPainter painter(this);
  // The painter is clipped to the region to repaint, so a step copies only the status lines.
  painter.drawPixmap(0, 0, m_frame);
  if (!event->rect().intersects(kStatusArea)) return;

  painter.setPen(kSplashText);
  painter.drawText(kStatusText, Qt::AlignLeft | Qt::AlignVCenter, m_label);
  const QRect track = kBar.adjusted(1, 1, -1, -1);
  painter.fillRect(QRect(track.topLeft(), QSize(track.width() * m_progress / kSteps, track.height())),
                   kSplashFill);
  m_sincePaint.start();
  m_pendingPaint.stop();
}

// Paints the first and the last step at once, any other step when a frame has passed since the
// last paint; a step that comes sooner is painted a frame later, if the event loop runs by then,
// unless a newer step has replaced it.
void TFrmSplashScreen::RequestStatusPaint() {
  const bool firstOrLast = m_progress == 1 || m_progress == kSteps;
  const qint64 sincePaint = m_sincePaint.isValid() ? m_sincePaint.elapsed() : kFrameIntervalMs;
  if (firstOrLast || sincePaint >= kFrameIntervalMs) {
    m_pendingPaint.stop();
    update(kStatusArea);
  } else if (!m_pendingPaint.isActive()) {
    m_pendingPaint.start(static_cast<int>(kFrameIntervalMs - sincePaint));
  }
}

void TFrmSplashScreen::SetLabel(const QString& text) {
  m_progress = std::min(m_progress + 1, kSteps);
  m_label = text;
  RequestStatusPaint();
}

void TFrmSplashScreen::StatusStep(const QString& text) {
  SetLabel(text);
  QApplication::processEvents();
}

int TFrmSplashScreen::Progress() const { return m_progress; }
QString TFrmSplashScreen::Label() const { return m_label; }

}  // namespace kesta
