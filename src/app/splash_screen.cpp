#include "app/splash_screen.h"

#include <QApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/flat_bar.h"

namespace kesta {

namespace {

const QColor kSplashBackground(0xf4, 0xf6, 0xf9);
const QColor kSplashBorder(0x8a, 0x97, 0xa8);
const QColor kSplashFill(0x2d, 0x6c, 0xc0);

}  // namespace

QImage SplashPicture() {
  QImage image(300, 153, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 153);
  sky.setColorAt(0.0, QColor(18, 42, 86));
  sky.setColorAt(0.65, QColor(70, 120, 180));
  sky.setColorAt(1.0, QColor(225, 180, 120));
  painter.fillRect(image.rect(), sky);

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
  painter.translate(222, 70);
  painter.rotate(35);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(235, 240, 248));
  painter.drawPath(jet);
  painter.resetTransform();

  QFont title = QApplication::font();
  title.setPointSize(30);
  title.setBold(true);
  title.setLetterSpacing(QFont::PercentageSpacing, 112);
  painter.setFont(title);
  painter.setPen(Qt::white);
  painter.drawText(QRect(18, 28, 200, 50), Qt::AlignLeft | Qt::AlignVCenter, "KESTA");
  QFont subtitle = QApplication::font();
  subtitle.setPointSize(9);
  painter.setFont(subtitle);
  painter.setPen(QColor(220, 230, 245));
  painter.drawText(QRect(20, 78, 220, 20), Qt::AlignLeft | Qt::AlignVCenter, "Lock On configuration");
  return image;
}

TFrmSplashScreen::TFrmSplashScreen() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName("FrmSplashScreen");
  setWindowTitle("KESTA is loading...");
  setFixedSize(302, 206);
  setAttribute(Qt::WA_DeleteOnClose);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 8);
  layout->setSpacing(6);
  auto* picture = new QLabel(this);
  picture->setPixmap(QPixmap::fromImage(SplashPicture()));
  layout->addWidget(picture);

  m_labelLoading = new QLabel("Loading...", this);
  m_labelLoading->setObjectName("LabelLoading");
  m_labelLoading->setContentsMargins(10, 0, 10, 0);
  layout->addWidget(m_labelLoading);

  m_progressBarLoading = new TFlatBar({.track = Qt::white,
                                       .disabledTrack = Qt::white,
                                       .border = kSplashBorder,
                                       .fillStart = kSplashFill,
                                       .fillEnd = kSplashFill,
                                       .verticalInset = 0},
                                      this);
  m_progressBarLoading->setObjectName("ProgressBarLoading");
  m_progressBarLoading->setRange(0, 11);
  m_progressBarLoading->setValue(0);
  m_progressBarLoading->setFixedHeight(10);
  auto* bar = new QHBoxLayout;
  bar->setContentsMargins(10, 0, 10, 0);
  bar->addWidget(m_progressBarLoading);
  layout->addLayout(bar);

  if (const QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TFrmSplashScreen::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kSplashBackground);
  painter.setPen(kSplashBorder);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TFrmSplashScreen::SetLabel(const QString& text) {
  m_progressBarLoading->setValue(m_progressBarLoading->value() + 1);
  m_labelLoading->setText(text);
}

void TFrmSplashScreen::StatusStep(const QString& text) {
  SetLabel(text);
  QApplication::processEvents();
}

int TFrmSplashScreen::Progress() const { return m_progressBarLoading->value(); }
QString TFrmSplashScreen::Label() const { return m_labelLoading->text(); }

}  // namespace kesta
