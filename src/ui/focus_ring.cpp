#include "ui/focus_ring.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QWidget>

namespace kesta {

namespace {
constexpr int kMargin = 2;  // the ring stands this far outside the control
}  // namespace

class TFocusRingWidget : public QWidget {
 public:
  explicit TFocusRingWidget(QWidget* parent) : QWidget(parent) {
    setObjectName("FocusRing");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    // Dark on a light page, light on a dark one: the highlight colour, far from the background.
    const QColor page = palette().color(QPalette::Window);
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor ring = page.lightness() >= 128 ? highlight.darker(170) : highlight.lighter(170);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ring, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
  }
};

TFocusRing::TFocusRing(QWidget* area) : QObject(area), m_area(area) {
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { Follow(now); });
}

TFocusRing::~TFocusRing() {
  if (m_target) m_target->removeEventFilter(this);
  delete m_ring.data();
}

QWidget* TFocusRing::RingedControl(QWidget* focused) {
  QWidget* control = focused;
  while (control->parentWidget() && !control->isWindow() && control->parentWidget()->focusProxy() == control)
    control = control->parentWidget();
  return control;
}

void TFocusRing::Follow(QWidget* focused) {
  QWidget* target = nullptr;
  if (focused && focused != m_area && m_area->isAncestorOf(focused) &&
      (focused->focusPolicy() & Qt::TabFocus))
    target = RingedControl(focused);
  if (target == m_target) return;
  if (m_target) m_target->removeEventFilter(this);
  m_target = target;
  if (!target || !target->parentWidget()) {
    if (m_ring) m_ring->hide();
    return;
  }
  target->installEventFilter(this);
  if (!m_ring)
    m_ring = new TFocusRingWidget(target->parentWidget());
  else if (m_ring->parentWidget() != target->parentWidget())
    m_ring->setParent(target->parentWidget());
  Place();
}

void TFocusRing::Place() {
  if (!m_ring || !m_target) return;
  m_ring->setGeometry(m_target->geometry().adjusted(-kMargin, -kMargin, kMargin, kMargin));
  m_ring->setVisible(m_target->isVisible());
  m_ring->raise();
}

bool TFocusRing::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_target) {
    switch (event->type()) {
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::Hide:
      case QEvent::ZOrderChange:
        Place();
        break;
      case QEvent::ParentChange:
        m_target->removeEventFilter(this);
        m_target = nullptr;
        Follow(QApplication::focusWidget());
        break;
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace kesta
