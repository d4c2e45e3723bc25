// The page of the game's other options: force feedback (producer.cfg) and the date every mission starts
// on (World.lua); and the page of the smoke colours of the twelve smoke pods (drawinfo.lua).

#include "pages/game_options/game_option_pages.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <string>

#include "documents/option_documents.h"
#include "engine/failure.h"
#include "pages/game_page.h"
#include "pages/graphics/graphics_controls.h"
#include "pages/page_host.h"
#include "sets/game_file_set.h"
#include "settings/program_folder.h"
#include "ui/color_patch.h"
#include "ui/dialog_service.h"
#include "ui/jpeg_image.h"
#include "ui/preview_pictures.h"

namespace kesta {

namespace {

class TOther1Page final : public TGamePage {
 public:
  TOther1Page(TPageHost& host, TTabSheet* sheet) : TGamePage(host, sheet) {
    // Force feedback: index 0 "Yes", index 1 "No".
    QGroupBox* ffb = MakeGroupBox("RadioGroupFFB", this);
    m_radioGroupFFB = AddYesNoRow(new QVBoxLayout(ffb), ffb, "RadioGroupFFBItem",
                                  [this](int index) { RadioGroupFFBClick(index); });

    QGroupBox* date = MakeGroupBox("GroupBoxMissionDate", this);
    auto* dateRow = new QHBoxLayout(date);
    dateRow->setSpacing(12);
    m_dateTimePicker = new QDateEdit(date);
    m_dateTimePicker->setObjectName("DateTimePicker");
    m_dateTimePicker->setCalendarPopup(true);
    // The user's own short date format and month names; the program's default locale is C for numbers.
    m_dateTimePicker->setLocale(QLocale::system());
    m_dateTimePicker->setDisplayFormat(MissionDateFormat(QLocale::system()));
    m_dateTimePicker->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    m_dateTimePicker->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QLabel* info = MakeLabel("LabelInfoMissionDate", date);
    info->setWordWrap(true);
    info->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    dateRow->addWidget(m_dateTimePicker, 0, Qt::AlignTop);
    dateRow->addWidget(info, 1);
    OnUserChange(m_dateTimePicker, &QDateEdit::dateChanged, [this] { DateTimePickerChange(); });

    layout()->addWidget(ffb);
    layout()->addWidget(date);
    static_cast<QVBoxLayout*>(layout())->addStretch(1);
  }

 private:
  void Fill() override {
    ShowYesNoTexts(m_radioGroupFFB);
    if (const ProducerDocument* producer = DocumentOf<ProducerDocument>())
      m_radioGroupFFB->button(producer->forceFeedback ? 0 : 1)->setChecked(true);
    if (const WorldDocument* world = DocumentOf<WorldDocument>()) {
      const MissionDate& shown = world->missionDate;
      m_dateTimePicker->setDate(QDate(shown.year, shown.month, shown.day));
    }
  }

  void RadioGroupFFBClick(int index) {
    if (ProducerDocument* producer = DocumentOf<ProducerDocument>()) producer->forceFeedback = index == 0;
    MarkModified();
  }

  void DateTimePickerChange() {
    const QDate date = m_dateTimePicker->date();
    if (WorldDocument* world = DocumentOf<WorldDocument>())
      world->missionDate = {date.year(), date.month(), date.day()};
    MarkModified();
  }

  QButtonGroup* m_radioGroupFFB = nullptr;
  QDateEdit* m_dateTimePicker = nullptr;
};

// One group box: six pods of kSmokePods from `first` on, beside the group's picture.
struct PodGroup {
  const char* name;
  const char* picture;
  const char* pictureName;
  size_t first;
};

constexpr PodGroup kPodGroups[] = {
    {"GroupBoxSmokeColor", "ImagePodUS", "smokepod_us.jpg", 0},
    {"GroupBoxSmokeColorRU", "ImagePodRU", "smokepod_ru.jpg", 6},
};
constexpr size_t kPodsPerGroup = 6;

QString NameOf(std::string_view name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QColor ColorOf(const SmokeColor& color) { return QColor(color.red, color.green, color.blue); }

class TSmokeColorPage final : public TGamePage {
 public:
  TSmokeColorPage(TPageHost& host, TTabSheet* sheet) : TGamePage(host, sheet) {
    std::string failures;
    for (const PodGroup& design : kPodGroups) {
      QGroupBox* group = MakeGroupBox(design.name, this);
      auto* row = new QHBoxLayout(group);
      row->setSpacing(14);
      auto* picture = new QLabel(group);
      picture->setObjectName(design.picture);
      picture->setFixedSize(kSmokePodWidth, kSmokePodHeight);
      try {
        picture->setPixmap(QPixmap::fromImage(DecodeJpegFile(host.Folder().Images() / design.pictureName)));
      } catch (const EKestaError& failure) {
        // The pods can be set without their picture: its place stays empty.
        failures += (failures.empty() ? "" : "\r\n") + std::string(failure.what());
      }
      row->addWidget(picture, 0, Qt::AlignTop);

      auto* grid = new QGridLayout();
      grid->setHorizontalSpacing(10);
      grid->setVerticalSpacing(4);
      for (size_t i = design.first; i < design.first + kPodsPerGroup; ++i) {
        const QString panelName = NameOf(kSmokePods[i].panel);
        const int line = static_cast<int>(i - design.first);
        QLabel* label = MakeLabel(("Label" + panelName).toUtf8().constData(), group);
        m_panels[i] = MakeColorPatch(NameOf(kSmokePods[i].panel), QSize(56, 20), group);
        auto* button = new QPushButton("Change", group);
        button->setObjectName("Button" + panelName);
        connect(button, &QPushButton::clicked, this, [this, button] { ButtonPodUSRedClick(*button); });
        grid->addWidget(label, line, 0);
        grid->addWidget(m_panels[i], line, 1);
        grid->addWidget(button, line, 2);
      }
      grid->setColumnStretch(0, 1);
      row->addLayout(grid, 1);
      layout()->addWidget(group);
    }
    static_cast<QVBoxLayout*>(layout())->addStretch(1);
    if (!failures.empty()) host.Dialogs().Error(QString::fromUtf8(failures));
  }

 private:
  void Fill() override {
    const DrawinfoDocument* drawinfo = DocumentOf<DrawinfoDocument>();
    if (!drawinfo) return;
    for (size_t i = 0; i < kSmokePods.size(); ++i) SetPatchColor(m_panels[i], ColorOf(drawinfo->colors[i]));
  }

  // Every "Change" button: its name without "Button" names the colour patch it changes.
  void ButtonPodUSRedClick(const QPushButton& button) {
    QString panelName = button.objectName();
    if (const qsizetype at = panelName.indexOf("Button"); at >= 0) panelName.remove(at, 6);
    size_t index = 0;
    while (index < kSmokePods.size() && panelName != NameOf(kSmokePods[index].panel)) ++index;
    if (index == kSmokePods.size()) return;
    QFrame* panel = m_panels[index];
    const std::optional<QColor> chosen = m_host.Dialogs().ChooseColor(PatchColor(panel));
    if (!chosen) return;
    SetPatchColor(panel, *chosen);
    if (DrawinfoDocument* drawinfo = DocumentOf<DrawinfoDocument>()) {
      drawinfo->colors[index] = {static_cast<std::uint8_t>(chosen->red()),
                                 static_cast<std::uint8_t>(chosen->green()),
                                 static_cast<std::uint8_t>(chosen->blue())};
    }
    // Confirming the same colour counts as a change too.
    MarkModified();
  }

  std::array<QFrame*, kSmokePods.size()> m_panels{};
};

}  // namespace

// A two-digit year typed in would be taken for one of the 1900s, and missions may be set in any century.
QString MissionDateFormat(const QLocale& locale) {
  QString format = locale.dateFormat(QLocale::ShortFormat);
  if (!format.contains("yyyy")) format.replace("yy", "yyyy");
  return format;
}

TGamePage* MakeOther1Page(TPageHost& host, TTabSheet* sheet) { return new TOther1Page(host, sheet); }

TGamePage* MakeSmokeColorPage(TPageHost& host, TTabSheet* sheet) { return new TSmokeColorPage(host, sheet); }

}  // namespace kesta
