#include "ui/page_area.h"

#include <QLabel>
#include <QPixmap>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <typeinfo>

#include "documents/graphics_document.h"
#include "engine/failure.h"
#include "language/setting_search.h"
#include "pages/game_page.h"
#include "sets/game_file_set.h"
#include "settings/program_folder.h"
#include "ui/dialog_service.h"
#include "ui/focus_ring.h"
#include "ui/jpeg_image.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"
#include "ui/ribbon_layout.h"
#include "ui/tab_sheet.h"

namespace kesta {

namespace {

// The window has a fixed size, so the page area takes the room it is given and never asks the pages
// how big they would like to be: asking would lay out every hidden page at start-up. A page is laid
// out when it is shown.
class TPageStack : public QStackedWidget {
 public:
  explicit TPageStack(QWidget* parent) : QStackedWidget(parent) {
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
  }
  QSize sizeHint() const override { return {0, 0}; }
  QSize minimumSizeHint() const override { return {0, 0}; }
};

struct PageDesign {
  const char* name;
  const char* caption;
};

// The pages in the page area, with their design captions (the language file replaces them).
constexpr PageDesign kPages[] = {
    {"TabSheetGraphicsStandards", "Standards"},
    {"TabSheetGraphicsCockpit", "Cockpit"},
    {"TabSheetResolution", "Resolution"},
    {"TabSheetScreenshot", "Screenshot"},
    {"TabSheetOptimization1", "Textures / Verrière"},
    {"TabSheetOptimization2", "Clipping / Lod"},
    {"TabSheetOptimization3", "Objects Density"},
    {"TabSheetMultiplayerClient", "Client"},
    {"TabSheetMultiplayerServer", "Server"},
    {"TabSheetViewCockpit", "Cockpit"},
    {"TabSheetViewGlobal", "Global"},
    {"TabSheetSmokeColor", "TabSheetSmokeColor"},
    {"TabSheetOther1", "Other"},
    {"TabSheetLUA", "LUA"},
    {"TabSheetRealism", "Realism"},
    {"TabSheetOptionKESTA", "TabSheetOptionKESTA"},
    {"TabSheetBackup", "Backup"},
    {"TabSheetUpdate", "TabSheetUpdate"},
};

// Pages shown from elsewhere (e.g. after a load on the backup page) without a switch of ribbon tab.
bool KeepsRibbonTab(std::string_view button) {
  return button == "dxButtonRealism" || button == "dxButtonOptions" || button == "dxButtonBackup";
}

// The picture a page shows above it; empty when the preview area is hidden on that page.
QString PreviewPictureOf(const QString& page, std::string_view visibilityProfile) {
  if (page == "TabSheetGraphicsStandards" || page == "TabSheetGraphicsCockpit") return "graphics_default.jpg";
  if (page == "TabSheetOptimization1") return "textures.jpg";
  if (page == "TabSheetOptimization2" || page == "TabSheetOptimization3") {
    if (visibilityProfile == "Low") return "visibilityrange_0.jpg";
    if (visibilityProfile == "Medium") return "visibilityrange_1.jpg";
    if (visibilityProfile == "High") return "visibilityrange_2.jpg";
    return "graphics_default.jpg";
  }
  return {};
}

}  // namespace

TPageArea::TPageArea(Collaborators collaborators)
    : QObject(&collaborators.window), m_collaborators(std::move(collaborators)) {
  Build();
  ConnectPageButtons();
}

TPageArea::~TPageArea() = default;

void TPageArea::Build() {
  m_panelMain = new QWidget(&m_collaborators.window);
  m_panelMain->setObjectName("PanelMain");
  auto* main = new QVBoxLayout(m_panelMain);
  main->setContentsMargins(8, 8, 8, 8);
  main->setSpacing(6);

  m_panelImageGraphics = new QWidget(m_panelMain);
  m_panelImageGraphics->setObjectName("PanelImageGraphics");
  m_panelImageGraphics->setFixedHeight(135);
  auto* preview = new QVBoxLayout(m_panelImageGraphics);
  preview->setContentsMargins(0, 0, 0, 0);
  m_imageGraphics = new QLabel(m_panelImageGraphics);
  m_imageGraphics->setObjectName("ImageGraphics");
  m_imageGraphics->setAlignment(Qt::AlignCenter);
  m_imageGraphics->setMinimumHeight(135);
  preview->addWidget(m_imageGraphics);
  main->addWidget(m_panelImageGraphics);

  m_pageControl = new TPageStack(m_panelMain);
  m_pageControl->setObjectName("PageControl");
  main->addWidget(m_pageControl, 1);
  new TFocusRing(m_pageControl);
}

void TPageArea::ConnectPageButtons() {
  for (const PagePlace& place : PagePlaces()) {
    TRibbonButton* button = Button(place.button);
    connect(button, &QToolButton::clicked, this, [this, button] { PageButtonClick(button); });
  }
}

TRibbonButton* TPageArea::Button(const char* name) const { return m_collaborators.layout.Button(name); }

QStringList TPageArea::PageNames() {
  QStringList names;
  for (const PageDesign& design : kPages) names.append(design.name);
  return names;
}

TTabSheet* TPageArea::Sheet(const QString& name) {
  if (const auto found = m_pages.find(name); found != m_pages.end()) return found->second;
  const auto design = std::find_if(std::begin(kPages), std::end(kPages),
                                   [&name](const PageDesign& page) { return name == page.name; });
  if (design == std::end(kPages)) return nullptr;
  auto* sheet = new TTabSheet(design->name, QString::fromUtf8(design->caption), m_pageControl);
  m_pageControl->addWidget(sheet);
  m_pages[design->name] = sheet;
  TGamePage* page = nullptr;
  try {
    page = m_collaborators.makePage(name, sheet);
  } catch (const std::bad_cast&) {
    // The file has a stand-in document of another type (tests), which no page shows.
  }
  if (page) m_builtPages[name] = page;
  m_collaborators.translate(sheet);
  if (page) page->Refresh();
  return sheet;
}

void TPageArea::ShowPage(const QString& name) {
  if (TTabSheet* sheet = Sheet(name)) m_pageControl->setCurrentWidget(sheet);
}

void TPageArea::OpenPage(const QString& page, PageOpening how) {
  if (how == PageOpening::AsItsButton)
    for (const PagePlace& place : PagePlaces())
      if (page == QLatin1StringView(place.page)) return PageButtonClick(Button(place.button));
  ShowPage(page);
  PageControlChange();
}

QWidget* TPageArea::ActivePage() const { return m_pageControl->currentWidget(); }

void TPageArea::RefreshPages(std::string_view catalogKey) {
  for (const auto& [name, page] : m_builtPages)
    if (!catalogKey.empty() && m_collaborators.showsFile(name, catalogKey)) page->Refresh();
}

void TPageArea::RefreshPage(const QString& name) {
  if (const auto built = m_builtPages.find(name); built != m_builtPages.end()) built->second->Refresh();
}

void TPageArea::RefreshAll() {
  for (const auto& [name, page] : m_builtPages) page->Refresh();
}

void TPageArea::PageButtonClick(TRibbonButton* button) {
  const PagePlace* place = PlaceOfButton(button->objectName().toStdString());
  if (!place) return;
  if (!KeepsRibbonTab(place->button)) {
    if (TRibbonTab* tab = m_collaborators.ribbon.TabOf(button)) m_collaborators.ribbon.SetActiveTab(tab);
  }
  ShowPage(QLatin1StringView(place->page));
  CheckPageButton(button);
}

void TPageArea::dxRibbonTabChanged(TRibbonTab* tab) {
  // Each tab opens on its first page, whatever page of the tab was shown before.
  for (const PagePlace& place : PagePlaces()) {
    if (tab->objectName() != QLatin1StringView(place.tab)) continue;
    ShowPage(QLatin1StringView(place.page));
    CheckPageButton(Button(place.button));
    PageControlChange();
    return;
  }
}

void TPageArea::CheckPageButton(TRibbonButton* button) {
  for (TRibbonButton* pageButton : m_collaborators.layout.pageButtons)
    if (pageButton->objectName() != button->objectName()) pageButton->SetPressed(false);
  button->SetPressed(true);
  PageControlChange();
}

void TPageArea::ShowFirstPage() {
  ShowPage("TabSheetGraphicsStandards");
  TRibbon& ribbon = m_collaborators.ribbon;
  ribbon.SetActiveTab(ribbon.Tabs().front());
  // Connected only now: setting the first tab above must not count as the user's change of tab.
  if (!m_tabChangeConnected) {
    connect(&ribbon, &TRibbon::TabChanged, this, &TPageArea::dxRibbonTabChanged);
    m_tabChangeConnected = true;
  }
  CheckPageButton(Button("dxButtonGraphicsStandard"));
}

void TPageArea::PageControlChange() {
  const QWidget* page = ActivePage();
  const GraphicsDocument* graphics = m_collaborators.files.Find<GraphicsDocument>();
  // The profile's bytes are compared as they are: converting them would read the registry for the code
  // page at start-up, where the first page has no text of the game's to show.
  const std::string profile = graphics ? graphics->currentProfile : std::string();
  const QString picture = PreviewPictureOf(page ? page->objectName() : QString(), profile);
  m_panelImageGraphics->setVisible(!picture.isEmpty());
  // The page switch is complete even when the picture cannot be shown.
  if (!picture.isEmpty()) ShowPreviewPicture(picture);
}

void TPageArea::CheckPreviewPicture(const QString& name) const {
  CheckJpegFile(m_collaborators.folder.Images() / name.toStdString());
}

void TPageArea::LoadPreviewPicture(const QString& name) {
  const std::filesystem::path file = m_collaborators.folder.Images() / name.toStdString();
  if (m_collaborators.busy) {
    // While start-up fills the pages, only the last picture asked for is ever seen: each one is checked,
    // the last one decoded when start-up ends.
    CheckJpegFile(file);
    m_pendingPreview = name;
    return;
  }
  // A file that cannot be looked at is decoded anyway, for the decoder's account of what is wrong.
  std::error_code sizeError, timeError;
  const ShownPreview stamp{name, std::filesystem::file_size(file, sizeError),
                           std::filesystem::last_write_time(file, timeError)};
  const bool unchanged = !sizeError && !timeError && stamp.name == m_shownPreview.name &&
                         stamp.size == m_shownPreview.size && stamp.written == m_shownPreview.written;
  if (unchanged && !m_imageGraphics->pixmap().isNull()) return;
  const QImage image = DecodeJpegFile(file);
  m_imageGraphics->setPixmap(QPixmap::fromImage(image));
  m_shownPreview = (sizeError || timeError) ? ShownPreview{} : stamp;
}

bool TPageArea::ShowPreviewPicture(const QString& name) {
  try {
    LoadPreviewPicture(name);
    return true;
  } catch (const EKestaError& failure) {
    // Only the picture stays as it was.
    m_collaborators.dialogs.Error(QString::fromUtf8(failure.what()));
    return false;
  }
}

void TPageArea::ShowPendingPreview() {
  if (!m_pendingPreview.isEmpty()) ShowPreviewPicture(std::exchange(m_pendingPreview, QString()));
}

}  // namespace kesta
