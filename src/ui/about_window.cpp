#include "ui/about_window.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <iterator>
#include <utility>

#include "engine/failure.h"
#include "settings/helpers.h"
#include "settings/program_folder.h"
#include "settings/settings_file.h"
#include "settings/web_addresses.h"
#include "ui/command_table.h"
#include "ui/dialog_service.h"
#include "ui/jpeg_image.h"
#include "ui/preview_pictures.h"

namespace kesta {

namespace {

constexpr int kWindowWidth = 297;
constexpr int kWindowHeight = 452;
constexpr int kMargin = 8;
constexpr QColor kLinkColour{0, 64, 128};

// The credits' names are not translated; only their headings are.
constexpr char kTeam[] = "KESTA for Linux team";
// One line a language: the window was designed for two translators of French and English, but one team
// made every language file, and the same line twice would read as a mistake.
constexpr const char* kTranslatorLanguages[] = {"FR", "EN", "SP", "RU", "HR", "DE"};
constexpr char kIconSet[] = "KESTA glyphs - KESTA for Linux team";

QFont SmallFont(bool bold) {
  QFont font(QStringLiteral("Verdana"));
  font.setPointSize(7);
  font.setBold(bold);
  return font;
}

QLabel* MakeLabel(const QString& name, const QString& text, const QFont& font, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setFont(font);
  return label;
}

}  // namespace

TFrmAbout::TFrmAbout(QWidget* parent, const std::filesystem::path& imagesFolder,
                     std::optional<std::string> webPage, std::function<void(const std::string&)> openAddress)
    : QDialog(parent), m_webPage(std::move(webPage)), m_openAddress(std::move(openAddress)) {
  setObjectName("FrmAbout");
  setWindowTitle("About KESTA");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(kWindowWidth, kWindowHeight);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* banner = new QLabel(this);
  banner->setObjectName("Image1");
  banner->setFixedSize(kAboutBannerWidth, kAboutBannerHeight);
  try {
    banner->setPixmap(QPixmap::fromImage(DecodeJpegFile(imagesFolder / std::string(kAboutBanner))));
  } catch (const EKestaError&) {
    // Only decoration: without its picture the window still says everything it has to say.
  }
  column->addWidget(banner);

  auto* panel = new QWidget(this);
  panel->setObjectName("Panel1");
  column->addWidget(panel, 1);
  BuildCredits(panel);

  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen) move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
  FormCreate();
}

void TFrmAbout::BuildCredits(QWidget* panel) {
  auto* rows = new QVBoxLayout(panel);
  rows->setContentsMargins(kMargin, 4, kMargin, kMargin);
  rows->setSpacing(3);

  auto* title = new QHBoxLayout;
  QFont nameFont = font();
  nameFont.setPixelSize(16);
  nameFont.setBold(true);
  QLabel* name = MakeLabel("Label1", "KESTA", nameFont, panel);
  QPalette red = name->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  name->setPalette(red);
  title->addWidget(name);
  title->addStretch(1);
  m_labelVersion = MakeLabel("LabelVersion", {}, SmallFont(false), panel);
  m_labelVersion->setAlignment(Qt::AlignRight | Qt::AlignBottom);
  title->addWidget(m_labelVersion, 0, Qt::AlignBottom);
  rows->addLayout(title);

  QFont linkFont = font();
  linkFont.setBold(true);
  linkFont.setUnderline(true);
  m_jvLinkLabel = MakeLabel("JvLinkLabel", {}, linkFont, panel);
  QPalette blue = m_jvLinkLabel->palette();
  blue.setColor(QPalette::WindowText, kLinkColour);
  m_jvLinkLabel->setPalette(blue);
  m_jvLinkLabel->setCursor(Qt::PointingHandCursor);
  if (m_webPage) ShowAddress(m_jvLinkLabel);
  m_jvLinkLabel->setVisible(m_webPage.has_value());
  rows->addWidget(m_jvLinkLabel);

  auto* rule = new QFrame(panel);
  rule->setObjectName("GroupBox1");
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  rows->addWidget(rule);

  auto* credits = new QGridLayout;
  credits->setHorizontalSpacing(6);
  credits->setVerticalSpacing(1);
  credits->setColumnStretch(1, 1);
  int row = 0;
  const auto addCredit = [&](const char* heading, const char* headingText, const QString& textName,
                             const QString& text) {
    if (heading) {
      if (row > 0) credits->setRowMinimumHeight(row++, 6);  // a gap between the groups
      credits->addWidget(MakeLabel(heading, headingText, SmallFont(true), panel), row, 0, Qt::AlignTop);
    }
    credits->addWidget(MakeLabel(textName, text, SmallFont(false), panel), row++, 1);
  };
  addCredit("LabelDevelopper", "Developper:", "LabelDevelopperName", kTeam);
  addCredit("LabelPictures", "Pictures:", "LabelPicturesName", kTeam);
  for (int i = 0; i < static_cast<int>(std::size(kTranslatorLanguages)); ++i)
    addCredit(i == 0 ? "LabelLanguages" : nullptr, "Languages:", QString("LabelLanguage%1").arg(i + 1),
              QString("%1 - %2").arg(kTranslatorLanguages[i], kTeam));
  addCredit("LabelIcons", "Icons:", "LabelIconsName", kIconSet);
  if (m_webPage) {
    addCredit(nullptr, nullptr, "LabelIconsSite", {});
    ShowAddress(panel->findChild<QLabel*>("LabelIconsSite"));
  }
  rows->addLayout(credits);
  rows->addStretch(1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* ok = new QPushButton("OK", panel);
  ok->setObjectName("ButtonGraphicsApply");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(ok);
  rows->addLayout(buttons);
}

void TFrmAbout::ShowAddress(QLabel* label) {
  const QString address = QString::fromStdString(*m_webPage);
  // A long host must not widen the fixed window: the label takes the width it is given and shows as
  // much of the address as fits there (see eventFilter), the whole of it in its tooltip.
  label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
  label->setProperty("address", address);
  label->setText(address);  // its height until the first layout gives it a width
  label->setToolTip(address);
  label->installEventFilter(this);
}

void TFrmAbout::FormCreate() { m_labelVersion->setText(kAboutVersion); }

void TFrmAbout::JvLinkLabelLinkClick() {
  if (m_webPage && m_openAddress) m_openAddress(*m_webPage);
}

bool TFrmAbout::eventFilter(QObject* watched, QEvent* event) {
  auto* label = qobject_cast<QLabel*>(watched);
  if (label && event->type() == QEvent::Resize) {
    // The label asks for a little more than the text's advance (the glyphs' bearings): shorten until what it
    // asks for is what it has.
    const QString address = label->property("address").toString();
    for (int room = label->width(); room > 0; --room) {
      label->setText(label->fontMetrics().elidedText(address, Qt::ElideMiddle, room));
      if (label->sizeHint().width() <= label->width()) break;
    }
  }
  if (watched == m_jvLinkLabel && event->type() == QEvent::MouseButtonRelease) {
    const auto* release = static_cast<QMouseEvent*>(event);
    const QPoint at = release->position().toPoint();
    // Only the text is the link; released after dragging off it, the press was not a click on it.
    const QRect text(0, 0, label->fontMetrics().horizontalAdvance(label->text()), label->height());
    if (release->button() == Qt::LeftButton && text.contains(at)) JvLinkLabelLinkClick();
  }
  return QDialog::eventFilter(watched, event);
}

// --- The commands ---

void TAboutCommands::MenuAboutClick() {
  TFrmAbout about(&m_with.window, m_with.folder.Images(), ProgramWebPage(m_with.settings),
                  [this](const std::string& address) { OpenWebAddress(address); });
  m_with.translate(&about);
  about.exec();
}

void TAboutCommands::MenuBugReportClick() {
  if (const std::optional<std::string> page = BugReportPage(m_with.settings)) {
    OpenWebAddress(*page);
    return;
  }
  // The settings changed since start-up: say why nothing opens, and stop offering it.
  m_with.dialogs.Error(m_with.lookup("BugReportNoServer"));
  UpdateBugReportCommands();
}

void TAboutCommands::UpdateBugReportCommands() {
  const bool available = BugReportPage(m_with.settings).has_value();
  m_with.commands.SetAvailable(command::kReportBug, available,
                               available ? QString() : m_with.lookup("BugReportNoServer"));
}

void TAboutCommands::OpenWebAddress(const std::string& address) {
  if (!TWebTools::OpenURL(address))
    m_with.dialogs.Error(m_with.lookup("OpenAddressFailed") + "\r\n" + QString::fromStdString(address));
}

}  // namespace kesta
