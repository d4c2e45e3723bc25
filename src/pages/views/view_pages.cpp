// The view pages. The cockpit view page shows one aircraft at a time: its view-angle limits and HUD
// colour from view.lua, and its default view from snapviews.lua; the rear camera button opens the F4
// window on server.lua. The global page holds view.lua's two mouse-view switches.

#include "pages/views/view_pages.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <optional>
#include <string>

#include "documents/document_fields.h"
#include "documents/server_document.h"
#include "documents/view_documents.h"
#include "pages/game_page.h"
#include "pages/graphics/graphics_controls.h"
#include "pages/multiplayer/f4_view_window.h"
#include "pages/page_host.h"
#include "sets/game_file_set.h"
#include "settings/program_folder.h"
#include "settings/settings_file.h"
#include "ui/color_patch.h"
#include "ui/dialog_service.h"
#include "ui/game_text.h"
#include "ui/special_slider.h"

namespace kesta {

namespace {

// The list entry of the aircraft shown last, so that the page opens on it again.
constexpr char kPreferredAircraft[] = "PreferedAircraft";

// The angle TrackIR starts from: the mean of the two limits, a half going to the even neighbour.
int TrackIRAngle(int min, int max) {
  const int sum = min + max;
  const int below = (sum - (sum & 1)) / 2;  // the whole number at or below the mean
  return (sum & 1) != 0 && (below & 1) != 0 ? below + 1 : below;
}

QString EntryText(const Aircraft& aircraft) {
  return QString::fromLatin1(aircraft.entry.data(), static_cast<qsizetype>(aircraft.entry.size()));
}

TSpecialSlider* MakeAngleSlider(const char* name, AngleRange range, QWidget* parent) {
  TSpecialSlider* slider = MakeGraphicsSlider(name, range.max, parent);
  slider->SetMin(range.min);
  return slider;
}

QGridLayout* MakeSliderGrid(QGroupBox* group) {
  auto* grid = new QGridLayout(group);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(2);  // the page must fit the fixed window
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  grid->setColumnMinimumWidth(0, 200);
  grid->setColumnMinimumWidth(1, 200);
  return grid;
}

class TViewCockpitPage final : public TGamePage {
 public:
  TViewCockpitPage(TPageHost& host, TTabSheet* sheet) : TGamePage(host, sheet) {
    auto* aircraftRow = new QHBoxLayout();
    aircraftRow->setContentsMargins(2, 0, 0, 0);
    aircraftRow->setSpacing(12);
    QLabel* aircraftLabel = MakeLabel("LabelAircraft", this);
    m_comboBoxAircraft = MakeComboBox("ComboBoxAircraft", this);
    for (const Aircraft& aircraft : kViewAircraft) m_comboBoxAircraft->addItem(EntryText(aircraft));
    m_comboBoxAircraft->setCurrentIndex(-1);  // none until both files were loaded
    m_comboBoxAircraft->setMinimumWidth(140);
    aircraftRow->addWidget(aircraftLabel);
    aircraftRow->addWidget(m_comboBoxAircraft);
    aircraftRow->addStretch(1);
    OnUserChange(m_comboBoxAircraft, &QComboBox::currentIndexChanged, [this] { ComboBoxAircraftChange(); });

    QGroupBox* limits = MakeGroupBox("GroupBoxViewAngleLimits", this);
    QGridLayout* limitsGrid = MakeSliderGrid(limits);
    m_specialSliderViewAngleMin = MakeAngleSlider("SpecialSliderViewAngleMin", kViewAngleMinRange, limits);
    m_specialSliderViewAngleMax = MakeAngleSlider("SpecialSliderViewAngleMax", kViewAngleMaxRange, limits);
    limitsGrid->addWidget(m_specialSliderViewAngleMin, 0, 0);
    limitsGrid->addWidget(m_specialSliderViewAngleMax, 0, 1);
    auto* trackIRRow = new QHBoxLayout();
    trackIRRow->setContentsMargins(6, 4, 0, 0);  // in line with the slider titles
    trackIRRow->setSpacing(6);
    QLabel* trackIRLabel = MakeLabel("LabelViewANgleDefaultTrackIR", limits);
    m_labelTrackIR = new QLabel(limits);
    m_labelTrackIR->setObjectName("LabelTrackIR");
    QFont bold = m_labelTrackIR->font();
    bold.setBold(true);
    m_labelTrackIR->setFont(bold);
    trackIRRow->addWidget(trackIRLabel);
    trackIRRow->addWidget(m_labelTrackIR);
    trackIRRow->addStretch(1);
    limitsGrid->addLayout(trackIRRow, 1, 0, 1, 2);

    QGroupBox* hud = MakeGroupBox("GroupBoxHUDColor", this);
    auto* hudRow = new QHBoxLayout(hud);
    hudRow->setSpacing(12);
    m_panelColor = MakeColorPatch("PanelColor", QSize(64, 24), hud);
    m_buttonColorChange = new QPushButton("ButtonColorChange", hud);
    m_buttonColorChange->setObjectName("ButtonColorChange");
    connect(m_buttonColorChange, &QPushButton::clicked, this, [this] { ButtonColorChangeClick(); });
    hudRow->addWidget(m_panelColor);
    hudRow->addWidget(m_buttonColorChange);
    hudRow->addStretch(1);

    QGroupBox* defaultView = MakeGroupBox("GroupBoxDefaultView", this);
    QGridLayout* defaultGrid = MakeSliderGrid(defaultView);
    m_specialSliderViewAngleDefault =
        MakeAngleSlider("SpecialSliderViewAngleDefault", kViewAngleDefaultRange, defaultView);
    m_specialSliderVAngle = MakeAngleSlider("SpecialSliderVAngle", kSnapAngleRange, defaultView);
    m_specialSliderHAngle = MakeAngleSlider("SpecialSliderHAngle", kSnapAngleRange, defaultView);
    defaultGrid->addWidget(m_specialSliderViewAngleDefault, 0, 0);
    defaultGrid->addWidget(m_specialSliderVAngle, 1, 0);
    defaultGrid->addWidget(m_specialSliderHAngle, 1, 1);

    // Not one aircraft's: server.lua holds a single rear camera position for all of them.
    QGroupBox* rearCamera = MakeGroupBox("GroupBoxRearCamera", this);
    auto* rearRow = new QHBoxLayout(rearCamera);
    auto* f4View = new QPushButton("ButtonF4View", rearCamera);
    f4View->setObjectName("ButtonF4View");
    connect(f4View, &QPushButton::clicked, this, [this] { ButtonF4ViewClick(); });
    rearRow->addWidget(f4View, 0, Qt::AlignLeft);

    // Connected directly, not as user changes only: when showing an aircraft moves a slider to its
    // nearest bound, the record must take the value the page shows.
    const std::pair<TSpecialSlider*, void (TViewCockpitPage::*)()> steps[] = {
        {m_specialSliderViewAngleMin, &TViewCockpitPage::SpecialSliderViewAngleMinStep},
        {m_specialSliderViewAngleMax, &TViewCockpitPage::SpecialSliderViewAngleMaxStep},
        {m_specialSliderViewAngleDefault, &TViewCockpitPage::SpecialSliderViewAngleDefaultStep},
        {m_specialSliderVAngle, &TViewCockpitPage::SpecialSliderVAngleStep},
        {m_specialSliderHAngle, &TViewCockpitPage::SpecialSliderHAngleStep},
    };
    for (const auto& [slider, step] : steps)
      connect(slider, &TSpecialSlider::OnStep, this, [this, step] { (this->*step)(); });

    auto* column = static_cast<QVBoxLayout*>(layout());
    column->addLayout(aircraftRow);
    column->addWidget(limits);
    column->addWidget(hud);
    column->addWidget(defaultView);
    column->addWidget(rearCamera);
  }

 private:
  // Opens the F4 window on the rear camera's values; a change kept with OK marks the pages modified.
  void ButtonF4ViewClick() {
    ServerDocument* server = DocumentOf<ServerDocument>();
    if (!server) return;
    if (OpenF4View(window(), m_host.Dialogs(), m_host.LookupMessage("F4ViewOk"),
                   m_host.LookupMessage("F4ViewCancel"), server->f4ViewX, server->f4ViewY, server->f4ViewZ,
                   m_host.Folder().Images()))
      MarkModified();
  }

  // Once both files have been loaded, the aircraft shown last is selected and shown again: after
  // every load of either file, and when the page is first built after them.
  void Fill() override {
    const TGameFileSet& files = m_host.GameFiles();
    if (!files.RememberedPath(ViewDocument::kCatalogKey) ||
        !files.RememberedPath(SnapViewDocument::kCatalogKey))
      return;
    int position = AircraftPosition(m_host.ReadSetting("Config", kPreferredAircraft));
    // A setting naming no aircraft of the list falls back to the setting's default.
    if (position < 0) position = AircraftPosition(DefaultSetting(kPreferredAircraft));
    m_comboBoxAircraft->setCurrentIndex(position);
    ComboBoxAircraftChange();
  }

  // The selected aircraft's position in the list, or -1 while none is.
  int Selected() const { return m_comboBoxAircraft->currentIndex(); }

  // The records of the selected aircraft; nothing while none is selected or a stand-in holds a file.
  ViewDocument::Limits* Limits() {
    ViewDocument* view = DocumentOf<ViewDocument>();
    const int p = Selected();
    return view && p >= 0 ? &view->views[static_cast<size_t>(p)] : nullptr;
  }
  SnapViewDocument::DefaultView* DefaultView() {
    SnapViewDocument* snap = DocumentOf<SnapViewDocument>();
    const int p = Selected();
    return snap && p >= 0 ? &snap->views[static_cast<size_t>(p)] : nullptr;
  }

  void ComboBoxAircraftChange() {
    ViewDocument::Limits* limits = Limits();
    SnapViewDocument::DefaultView* defaultView = DefaultView();
    if (!limits || !defaultView) return;
    const QString entry = m_comboBoxAircraft->currentText();
    // What was being shown when a value failed, for the report.
    std::string note;
    m_sliderUpdate = true;
    try {
      ShowSlider(m_specialSliderViewAngleMin, "ViewAngleMin: ", limits->viewAngleMin, note);
      ShowSlider(m_specialSliderViewAngleMax, "ViewAngleMax: ", limits->viewAngleMax, note);
      ShowTrackIRAngle();
      // A component outside 0 to 255 shows as its low byte; the record keeps it until a colour is chosen.
      SetPanelColor(QColor(WholeNumber(limits->hudColorR) & 0xFF, WholeNumber(limits->hudColorG) & 0xFF,
                           WholeNumber(limits->hudColorB) & 0xFF));
      ShowSlider(m_specialSliderViewAngleDefault, "ViewAngleDefault: ", defaultView->viewAngle, note);
      ShowSlider(m_specialSliderVAngle, "ViewVAngle: ", defaultView->vAngle, note);
      ShowSlider(m_specialSliderHAngle, "ViewHAngle: ", defaultView->hAngle, note);
    } catch (const std::exception& failure) {
      m_sliderUpdate = false;
      const QString rule = "\r\n----------------------\r\n";
      m_host.Dialogs().Error("Loading " + entry + " View-SnapViews Settings" + rule +
                             FromGameText(failure.what()) + rule + FromGameText(note) + rule +
                             "Please contact the developper!");
      return;
    }
    m_host.StoreSetting("Config", kPreferredAircraft, entry.toStdString());
    m_sliderUpdate = false;
  }

  // Moves the slider to the field's value, or to its nearest bound. The field then holds what the
  // slider shows, also when the slider was already there and reported no step.
  void ShowSlider(TSpecialSlider* slider, const char* label, std::string& field, std::string& note) {
    note = label + field;
    slider->SetPosition(WholeNumber(field));
    field = std::to_string(slider->Position());
  }

  void ShowTrackIRAngle() {
    m_labelTrackIR->setText(QString::number(
        TrackIRAngle(m_specialSliderViewAngleMin->Position(), m_specialSliderViewAngleMax->Position())));
  }

  QColor PanelColor() const { return PatchColor(m_panelColor); }
  void SetPanelColor(const QColor& color) { SetPatchColor(m_panelColor, color); }

  // A slider's new position goes into the selected aircraft's record; only the user's moves mark
  // the pages modified.
  void Stored(std::string* field, const TSpecialSlider* slider) {
    if (!field) return;
    *field = std::to_string(slider->Position());
    if (!m_sliderUpdate) MarkModified();
  }

  void SpecialSliderViewAngleMinStep() {
    ViewDocument::Limits* limits = Limits();
    if (!limits) return;
    ShowTrackIRAngle();
    Stored(&limits->viewAngleMin, m_specialSliderViewAngleMin);
  }

  void SpecialSliderViewAngleMaxStep() {
    ViewDocument::Limits* limits = Limits();
    if (!limits) return;
    ShowTrackIRAngle();
    Stored(&limits->viewAngleMax, m_specialSliderViewAngleMax);
  }

  void SpecialSliderViewAngleDefaultStep() {
    SnapViewDocument::DefaultView* view = DefaultView();
    Stored(view ? &view->viewAngle : nullptr, m_specialSliderViewAngleDefault);
  }

  void SpecialSliderVAngleStep() {
    SnapViewDocument::DefaultView* view = DefaultView();
    Stored(view ? &view->vAngle : nullptr, m_specialSliderVAngle);
  }

  void SpecialSliderHAngleStep() {
    SnapViewDocument::DefaultView* view = DefaultView();
    Stored(view ? &view->hAngle : nullptr, m_specialSliderHAngle);
  }

  // A confirmed colour is a change even when it is the same one.
  void ButtonColorChangeClick() {
    ViewDocument::Limits* limits = Limits();
    if (!limits) return;
    const std::optional<QColor> chosen = m_host.Dialogs().ChooseColor(PanelColor());
    if (!chosen) return;
    SetPanelColor(*chosen);
    limits->hudColorR = std::to_string(chosen->red());
    limits->hudColorG = std::to_string(chosen->green());
    limits->hudColorB = std::to_string(chosen->blue());
    MarkModified();
  }

  // Set while the program itself moves the sliders: their steps are stored but are no change of the user's.
  bool m_sliderUpdate = false;
  QComboBox* m_comboBoxAircraft = nullptr;
  TSpecialSlider* m_specialSliderViewAngleMin = nullptr;
  TSpecialSlider* m_specialSliderViewAngleMax = nullptr;
  QLabel* m_labelTrackIR = nullptr;
  QFrame* m_panelColor = nullptr;
  QPushButton* m_buttonColorChange = nullptr;
  TSpecialSlider* m_specialSliderViewAngleDefault = nullptr;
  TSpecialSlider* m_specialSliderVAngle = nullptr;
  TSpecialSlider* m_specialSliderHAngle = nullptr;
};

class TViewGlobalPage final : public TGamePage {
 public:
  TViewGlobalPage(TPageHost& host, TTabSheet* sheet) : TGamePage(host, sheet) {
    QGroupBox* mouse = MakeGroupBox("GroupBoxMouseView", this);
    auto* column = new QVBoxLayout(mouse);
    column->setSpacing(6);
    m_checkboxCockpitMouse = MakeCheckBox("CheckboxCockpitMouse", mouse);
    m_checkboxExternalMouse = MakeCheckBox("CheckboxExternalMouse", mouse);
    column->addWidget(m_checkboxCockpitMouse);
    column->addWidget(m_checkboxExternalMouse);
    OnUserChange(m_checkboxCockpitMouse, &QCheckBox::toggled, [this] { CheckboxMouseClick(); });
    OnUserChange(m_checkboxExternalMouse, &QCheckBox::toggled, [this] { CheckboxMouseClick(); });
    layout()->addWidget(mouse);
  }

 private:
  void Fill() override {
    const ViewDocument* view = DocumentOf<ViewDocument>();
    if (!view) return;
    m_checkboxCockpitMouse->setChecked(view->cockpitMouse);
    m_checkboxExternalMouse->setChecked(view->externalMouse);
  }

  void CheckboxMouseClick() {
    if (ViewDocument* view = DocumentOf<ViewDocument>()) {
      view->cockpitMouse = m_checkboxCockpitMouse->isChecked();
      view->externalMouse = m_checkboxExternalMouse->isChecked();
    }
    MarkModified();
  }

  QCheckBox* m_checkboxCockpitMouse = nullptr;
  QCheckBox* m_checkboxExternalMouse = nullptr;
};

}  // namespace

TGamePage* MakeViewCockpitPage(TPageHost& host, TTabSheet* sheet) {
  return new TViewCockpitPage(host, sheet);
}

TGamePage* MakeViewGlobalPage(TPageHost& host, TTabSheet* sheet) { return new TViewGlobalPage(host, sheet); }

}  // namespace kesta
