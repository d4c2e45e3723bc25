#include "pages/multiplayer/f4_view_window.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <optional>
#include <string_view>
#include <utility>

#include "engine/failure.h"
#include "engine/number_format.h"
#include "ui/dialog_service.h"
#include "ui/game_text.h"
#include "ui/jpeg_image.h"
#include "ui/preview_pictures.h"

namespace kesta {
namespace {

// Both pictures are drawn at 21 pixels per metre.
constexpr int kPixelsPerUnit = 21;

// The values at the pictures' left and top edges, in hundredths: X and Y on the top view, Z on the side view.
constexpr int kLeftX = 861;
constexpr int kTopY = 457;
constexpr int kLeftZ = 361;

// The point a mark stands for lies this far right of and below the mark's corner.
constexpr QPoint kMarkCentre{4, 8};

constexpr QRect kImageArea{160, 8, kTopViewWidth, kTopViewHeight};
constexpr QRect kImageSideArea{7, 8, kSideViewWidth, kSideViewHeight};

std::string WithoutSpaces(std::string text) {
  std::erase(text, ' ');
  return text;
}

// A number written in decimal: value = ±0.digits × 10^point.
struct DecimalText {
  bool negative = false;
  std::string digits;
  long point = 0;
};

// What Delphi's StrToFloat takes with "." as separator: an optional sign, digits with at most one ".",
// and an optional exponent.
std::optional<DecimalText> ParseDecimal(std::string_view text) {
  DecimalText number;
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.negative = text[i++] == '-';
  bool seenPoint = false;
  bool seenDigit = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      number.digits += c;
      seenDigit = true;
      if (!seenPoint) ++number.point;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!seenDigit) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
    const size_t exponentStart = i;
    long exponent = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
      exponent = std::min(exponent * 10 + (text[i] - '0'), 1000000L);  // far beyond any use, never overflows
    if (i == exponentStart) return std::nullopt;
    number.point += negativeExponent ? -exponent : exponent;
  }
  if (i != text.size()) return std::nullopt;
  const size_t firstSignificant = number.digits.find_first_not_of('0');
  if (firstSignificant == std::string::npos) return DecimalText{};
  number.digits.erase(0, firstSignificant);
  number.point -= static_cast<long>(firstSignificant);
  return number;
}

long FloorDiv(long long value, long long divisor) {
  long long quotient = value / divisor;
  if (value % divisor != 0 && value < 0) --quotient;
  return static_cast<long>(quotient);
}

// R((value − origin) × −21) with R rounding to nearest and halves to even, worked out exactly on the
// decimal digits of the text: in binary, X = "7.11" gives (7.11 − 8.61) × −21 = 31.499999999999982 and
// would round to 31, where the person who wrote 7.11 expects the half 31.5 to go to 32.
int PixelOffset(const std::string& text, int originHundredths) {
  const std::optional<DecimalText> number = ParseDecimal(text);
  if (!number)
    throw EKestaError("'" + FromGameText(text).toStdString() + "' is not a valid floating point value");
  // Beyond this the mark would be thousands of pictures away; refusing also keeps every sum below in range.
  if (number->point > 5)
    throw EKestaError("'" + FromGameText(text).toStdString() + "' is too far from the aircraft to be shown");

  // value × 100 = hundredths + 0.tail, both taken from the digits.
  const long hundredthsEnd = number->point + 2;
  long long hundredths = 0;
  for (long i = 0; i < hundredthsEnd; ++i)
    hundredths =
        hundredths * 10 + (i < static_cast<long>(number->digits.size()) ? number->digits[i] - '0' : 0);
  std::string tail;
  if (hundredthsEnd < 0) {
    // Far below a hundredth only "not zero" matters, so no more than four leading zeros are written out.
    tail = std::string(std::min(-hundredthsEnd, 4L), '0') + number->digits;
  } else if (hundredthsEnd < static_cast<long>(number->digits.size())) {
    tail = number->digits.substr(static_cast<size_t>(hundredthsEnd));
  }
  // 21 × 0.tail = whole + a fraction that is zero only when the tail is.
  int whole = 0;
  for (auto digit = tail.rbegin(); digit != tail.rend(); ++digit)
    whole = ((*digit - '0') * kPixelsPerUnit + whole) / 10;
  const bool tailIsZero = tail.find_first_not_of('0') == std::string::npos;

  // (origin − value) × 21 × 100 = exact − sign × fraction, with exact an integer.
  const int sign = number->negative ? -1 : 1;
  const long long exact = kPixelsPerUnit * (originHundredths - sign * hundredths) - sign * whole;
  if (tailIsZero) {
    const long quotient = FloorDiv(exact, 100);
    const long long rest = exact - 100LL * quotient;
    if (rest != 50) return static_cast<int>(rest < 50 ? quotient : quotient + 1);
    return static_cast<int>(quotient % 2 == 0 ? quotient : quotient + 1);
  }
  // The product lies strictly between below and below + 1 (in hundredths), so it is never a half.
  const long long below = sign > 0 ? exact - 1 : exact;
  const long quotient = FloorDiv(below, 100);
  return static_cast<int>(below - 100LL * quotient >= 50 ? quotient + 1 : quotient);
}

QLabel* MakePicture(const char* name, const QRect& area, QWidget* parent) {
  auto* picture = new QLabel(parent);
  picture->setObjectName(name);
  picture->setGeometry(area);
  picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return picture;
}

QLabel* MakeMark(const char* name, QPoint rest, QWidget* parent) {
  auto* mark = new QLabel("x", parent);
  mark->setObjectName(name);
  QFont font = mark->font();
  font.setBold(true);
  mark->setFont(font);
  QPalette palette = mark->palette();
  palette.setColor(QPalette::WindowText, Qt::red);
  mark->setPalette(palette);
  mark->setAutoFillBackground(false);
  // A click on the mark is a click on the picture below it.
  mark->setAttribute(Qt::WA_TransparentForMouseEvents);
  // Put the middle of the "x" on the point the mark stands for, as far as the font allows.
  const QFontMetrics metrics(font);
  const QRect glyph = metrics.tightBoundingRect("x");  // from the baseline's start
  mark->setContentsMargins(std::max(0, kMarkCentre.x() - glyph.center().x()),
                           std::max(0, kMarkCentre.y() - metrics.ascent() - glyph.center().y()), 0, 0);
  mark->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  mark->adjustSize();
  mark->move(rest);
  return mark;
}

QPushButton* MakeButton(const char* name, const QRect& area, QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  button->setGeometry(area);
  return button;
}

}  // namespace

TFrmF4View::TFrmF4View(QWidget* parent, DialogService& dialogs, const QString& okCaption,
                       const QString& cancelCaption, std::string& x, std::string& y, std::string& z,
                       std::filesystem::path imagesFolder)
    : QDialog(parent),
      m_dialogs(dialogs),
      m_okCaption(okCaption),
      m_cancelCaption(cancelCaption),
      m_x(x),
      m_y(y),
      m_z(z),
      m_receivedX(WithoutSpaces(x)),
      m_receivedY(WithoutSpaces(y)),
      m_receivedZ(WithoutSpaces(z)),
      m_imagesFolder(std::move(imagesFolder)) {
  setObjectName("FrmF4View");
  setWindowTitle("F4 View");
  setModal(true);
  setFixedSize(532, 502);

  m_image = MakePicture("Image", kImageArea, this);
  m_imageSide = MakePicture("ImageSide", kImageSideArea, this);
  m_image->installEventFilter(this);
  m_imageSide->installEventFilter(this);
  // Made after the pictures, so drawn over them.
  m_camera = MakeMark("Camera", kCameraRest, this);
  m_cameraSide = MakeMark("CameraSide", kCameraSideRest, this);

  m_aircraft = new QComboBox(this);
  m_aircraft->setObjectName("ComboBoxAircraft");
  for (std::string_view aircraft : kF4ViewAircraft)
    m_aircraft->addItem(QString::fromLatin1(aircraft.data(), static_cast<qsizetype>(aircraft.size())));
  m_aircraft->setGeometry(216, 472, 80, m_aircraft->sizeHint().height());
  connect(m_aircraft, &QComboBox::currentIndexChanged, this, [this] { ComboBoxAircraftChange(); });

  m_cancel = MakeButton("ButtonCancel", QRect(309, 470, 100, 23), this);
  m_ok = MakeButton("ButtonOK", QRect(421, 470, 100, 23), this);
  m_ok->setDefault(true);
  connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);  // Escape rejects as well

  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  if (screen) move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TFrmF4View::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window brought back from the task bar is not shown anew.
  if (!event->spontaneous()) FormShow();
}

void TFrmF4View::FormShow() {
  std::string note;
  try {
    m_ok->setText(m_okCaption);
    m_cancel->setText(m_cancelCaption);

    {
      const QSignalBlocker quiet(m_aircraft);
      m_aircraft->setCurrentIndex(0);
    }
    LoadPictures(m_aircraft->currentText());

    note = "OLDF4View_X = " + m_receivedX;
    const int left = kImageArea.left() + PixelOffset(m_receivedX, kLeftX) - kMarkCentre.x();
    note = "OLDF4View_Y = " + m_receivedY;
    const int height = PixelOffset(m_receivedY, kTopY) - kMarkCentre.y();
    // A mark moves only once both its coordinates are known: half placed, it would show a wrong spot.
    m_camera->move(left, kImageArea.top() + height);
    note = "OLDF4View_Z = " + m_receivedZ;
    const int sideLeft = kImageSideArea.left() + PixelOffset(m_receivedZ, kLeftZ) - kMarkCentre.x();
    m_cameraSide->move(sideLeft, kImageSideArea.top() + height);
  } catch (const std::exception& failure) {
    const QString rule = "----------------------";
    m_dialogs.Error("Loading F4View\r\n" + rule + "\r\n" + QString::fromUtf8(failure.what()) + "\r\n" + rule +
                    "\r\n" + FromGameText(note) + "\r\n" + rule + "\r\nPlease contact the developper!");
  }
}

void TFrmF4View::LoadPictures(const QString& aircraft) {
  const std::string name = aircraft.toStdString();
  std::string failures;
  // An area whose picture cannot be read is left empty rather than showing another aircraft.
  const auto show = [&](QLabel* area, const std::filesystem::path& file) {
    try {
      area->setPixmap(QPixmap::fromImage(DecodeJpegFile(file)));
    } catch (const EKestaError& failure) {
      area->clear();
      failures += (failures.empty() ? "" : "\r\n") + std::string(failure.what());
    }
  };
  show(m_image, m_imagesFolder / (name + ".jpg"));
  show(m_imageSide, m_imagesFolder / (name + "_side.jpg"));
  if (!failures.empty()) throw EKestaError(failures);
}

void TFrmF4View::ComboBoxAircraftChange() {
  try {
    LoadPictures(m_aircraft->currentText());
  } catch (const EKestaError& failure) {
    m_dialogs.Error(QString::fromUtf8(failure.what()));
  }
}

void TFrmF4View::ImageMouseUp(QPoint point) {
  m_camera->move(kImageArea.topLeft() + point - kMarkCentre);
  m_cameraSide->move(m_cameraSide->x(), kImageSideArea.top() + point.y() - kMarkCentre.y());
  m_x = FormatFloat("##0.0#;- ##0.0#", -point.x() / double(kPixelsPerUnit) + kLeftX / 100.0);
  m_y = FormatFloat("+ ##0.0#;- ##0.0#", -point.y() / double(kPixelsPerUnit) + kTopY / 100.0);
}

void TFrmF4View::ImageSideMouseUp(QPoint point) {
  m_cameraSide->move(kImageSideArea.left() + point.x() - kMarkCentre.x(), m_cameraSide->y());
  m_z = FormatFloat("+ ##0.0#;- ##0.0#", -point.x() / double(kPixelsPerUnit) + kLeftZ / 100.0);
}

bool TFrmF4View::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease && (watched == m_image || watched == m_imageSide)) {
    auto* area = static_cast<QLabel*>(watched);
    const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
    // Released after dragging off the picture, the press was not a click on it.
    if (area->rect().contains(point)) watched == m_image ? ImageMouseUp(point) : ImageSideMouseUp(point);
  }
  return QDialog::eventFilter(watched, event);
}

bool OpenF4View(QWidget* parent, DialogService& dialogs, const QString& okCaption,
                const QString& cancelCaption, std::string& x, std::string& y, std::string& z,
                const std::filesystem::path& imagesFolder,
                const std::function<void(TFrmF4View&)>& whileOpen) {
  const std::string openedX = x;
  const std::string openedY = y;
  const std::string openedZ = z;
  TFrmF4View window(parent, dialogs, okCaption, cancelCaption, x, y, z, imagesFolder);
  if (whileOpen) QTimer::singleShot(0, &window, [&] { whileOpen(window); });
  if (window.exec() == QDialog::Accepted) {
    return WithoutSpaces(x) != WithoutSpaces(openedX) || WithoutSpaces(y) != WithoutSpaces(openedY) ||
           WithoutSpaces(z) != WithoutSpaces(openedZ);
  }
  // Cancel undoes every click.
  x = openedX;
  y = openedY;
  z = openedZ;
  return false;
}

}  // namespace kesta
