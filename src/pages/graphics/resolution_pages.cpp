// The resolution, screenshot and first optimisation pages of graphics.cfg.

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>

#include "documents/graphics_document.h"
#include "pages/game_page.h"
#include "pages/graphics/graphics_controls.h"
#include "pages/graphics/graphics_pages.h"
#include "pages/page_host.h"
#include "platform/display_modes.h"
#include "sets/game_file_set.h"
#include "ui/game_text.h"

namespace kesta {

namespace {

// Common sizes offered when the display cannot be asked for its modes.
constexpr std::pair<int, int> kCommonModes[] = {{640, 480},   {800, 600},   {1024, 768},  {1152, 864},
                                                {1280, 720},  {1280, 960},  {1280, 1024}, {1440, 900},
                                                {1600, 1200}, {1680, 1050}, {1920, 1080}, {1920, 1200}};

// The sizes of the display's modes as "WxH", each once, in the display's order. Asked when the page is
// first built: the question costs time that start-up does not need to spend.
QStringList FillResolutions() {
  std::vector<std::pair<int, int>> modes = DisplayModes();
  if (modes.empty()) {
    for (const QScreen* screen : QGuiApplication::screens())
      modes.emplace_back(screen->size().width(), screen->size().height());
    modes.insert(modes.end(), std::begin(kCommonModes), std::end(kCommonModes));
  }
  QStringList items;
  for (const auto& [width, height] : modes) {
    const QString item = QString("%1x%2").arg(width).arg(height);
    if (!items.contains(item)) items.append(item);
  }
  return items;
}

// The display's sizes, plus the file's own when the display lacks it, that one selected: a size the
// display does not list must not turn into another one behind the user's back.
void ShowResolution(QComboBox* box, const QStringList& modes, const std::string& value) {
  const QString text = FromGameText(value);
  QStringList items = modes;
  if (!text.isEmpty() && !items.contains(text, Qt::CaseInsensitive)) items.append(text);
  box->clear();
  box->addItems(items);
  box->setCurrentIndex(box->findText(text, Qt::MatchFixedString));
  if (box->currentIndex() < 0 && box->isEditable()) box->setEditText(text);
}

class TResolutionPage final : public TGamePage {
 public:
  TResolutionPage(TPageHost& host, TTabSheet* sheet)
      : TGamePage(host, sheet),
        m_document(host.GameFiles().Get<GraphicsDocument>()),
        m_modes(FillResolutions()) {
    QGroupBox* game = MakeGroupBox("GroupBoxGameResolution", this);
    auto* form = new QFormLayout(game);
    m_comboBoxGameResolution = MakeComboBox("ComboBoxGameResolution", game);
    m_comboBoxGameResolution->setEditable(true);
    m_comboBoxGameResolution->setInsertPolicy(QComboBox::NoInsert);
    AcceptGameTextOnly(m_comboBoxGameResolution->lineEdit());
    m_comboBoxBits = MakeComboBox("ComboBoxBits", game);
    for (std::string_view entry : ColourDepthEntries()) m_comboBoxBits->addItem(QString::fromLatin1(entry));
    m_comboBoxGameAspect = MakeComboBox("ComboBoxGameAspect", game);
    for (std::string_view entry : AspectEntries()) m_comboBoxGameAspect->addItem(QString::fromLatin1(entry));
    QLabel* memo = MakeLabel("MemoInfoAspect", game);  // an explanation only
    memo->setWordWrap(true);
    m_checkBoxGameFullScreen = MakeCheckBox("CheckBoxGameFullScreen", game);
    form->addRow(MakeLabel("LabelGameResolution", game), m_comboBoxGameResolution);
    form->addRow(MakeLabel("LabelBits", game), m_comboBoxBits);
    form->addRow(MakeLabel("LabelGameAspect", game), m_comboBoxGameAspect);
    form->addRow(memo);
    form->addRow(m_checkBoxGameFullScreen);

    QGroupBox* movie = MakeGroupBox("GroupBoxMovieResolution", this);
    auto* movieForm = new QFormLayout(movie);
    m_comboBoxMovieResolution = MakeComboBox("ComboBoxMovieResolution", movie);
    m_checkBoxMovieFullScreen = MakeCheckBox("CheckBoxMovieFullScreen", movie);
    movieForm->addRow(MakeLabel("LabelMovieResolution", movie), m_comboBoxMovieResolution);
    movieForm->addRow(m_checkBoxMovieFullScreen);
    layout()->addWidget(game);
    layout()->addWidget(movie);

    // Any text reaches the document; only the user's choice or typing marks the pages modified.
    OnUserChange(m_comboBoxGameResolution, &QComboBox::editTextChanged,
                 [this] { m_document.gameResolution = ToGameText(m_comboBoxGameResolution->currentText()); });
    for (QComboBox* box : {m_comboBoxBits, m_comboBoxGameAspect, m_comboBoxMovieResolution})
      OnUserChange(box, &QComboBox::currentIndexChanged, [this] { StoreLists(); });
    const auto gameResolution = [this] { ComboBoxGameResolutionChange(); };
    OnUserChange(m_comboBoxGameResolution, &QComboBox::activated, gameResolution);
    OnUserChange(m_comboBoxGameResolution->lineEdit(), &QLineEdit::textEdited, gameResolution);
    OnUserChange(m_comboBoxBits, &QComboBox::activated, gameResolution);
    OnUserChange(m_comboBoxGameAspect, &QComboBox::activated, [this] { ComboBoxGameAspectChange(); });
    OnUserChange(m_comboBoxMovieResolution, &QComboBox::activated,
                 [this] { ComboBoxMovieResolutionChange(); });
    for (QCheckBox* box : {m_checkBoxGameFullScreen, m_checkBoxMovieFullScreen})
      OnUserChange(box, &QCheckBox::toggled, [this] { CheckBoxGameFullScreenClick(); });
  }

 private:
  void Fill() override {
    ShowResolution(m_comboBoxGameResolution, m_modes, m_document.gameResolution);
    m_comboBoxBits->setCurrentIndex(m_comboBoxBits->findText(QString::fromStdString(m_document.colourDepth)));
    m_comboBoxGameAspect->setCurrentIndex(m_document.aspect);
    ShowResolution(m_comboBoxMovieResolution, m_modes, m_document.movieResolution);
    m_checkBoxGameFullScreen->setChecked(m_document.gameFullScreen);
    m_checkBoxMovieFullScreen->setChecked(m_document.movieFullScreen);
  }

  // Any selection reaches the document; only the user's choice marks the pages modified.
  void StoreLists() {
    m_document.colourDepth =
        m_comboBoxBits->currentIndex() < 0 ? "" : m_comboBoxBits->currentText().toStdString();
    m_document.aspect = m_comboBoxGameAspect->currentIndex();
    m_document.movieResolution = ToGameText(m_comboBoxMovieResolution->currentText());
  }

  void ComboBoxGameResolutionChange() {
    m_document.gameResolution = ToGameText(m_comboBoxGameResolution->currentText());
    StoreLists();
    MarkModified();
  }

  void ComboBoxGameAspectChange() {
    StoreLists();
    MarkModified();
  }

  void ComboBoxMovieResolutionChange() {
    StoreLists();
    MarkModified();
  }

  void CheckBoxGameFullScreenClick() {
    m_document.gameFullScreen = m_checkBoxGameFullScreen->isChecked();
    m_document.movieFullScreen = m_checkBoxMovieFullScreen->isChecked();
    MarkModified();
  }

  GraphicsDocument& m_document;
  const QStringList m_modes;
  QComboBox* m_comboBoxGameResolution = nullptr;
  QComboBox* m_comboBoxBits = nullptr;
  QComboBox* m_comboBoxGameAspect = nullptr;
  QCheckBox* m_checkBoxGameFullScreen = nullptr;
  QComboBox* m_comboBoxMovieResolution = nullptr;
  QCheckBox* m_checkBoxMovieFullScreen = nullptr;
};

class TScreenshotPage final : public TGamePage {
 public:
  TScreenshotPage(TPageHost& host, TTabSheet* sheet)
      : TGamePage(host, sheet), m_document(host.GameFiles().Get<GraphicsDocument>()) {
    QGroupBox* group = MakeGroupBox("GroupBoxScreenshot", this);
    auto* form = new QFormLayout(group);
    m_editScreenShotName = MakeEdit("EditScreenShotName", 32767, group);
    m_editScreenShotQuality = MakeEdit("EditScreenShotQuality", 3, group);
    m_editScreenShotQuality->setMaximumWidth(60);
    AcceptGameTextOnly(m_editScreenShotName);
    AcceptGameTextOnly(m_editScreenShotQuality);
    m_checkboxJPG = MakeCheckBox("CheckboxJPG", group);
    m_checkboxBMP = MakeCheckBox("CheckboxBMP", group);
    form->addRow(MakeLabel("LabelScreenShotName", group), m_editScreenShotName);
    form->addRow(MakeLabel("LabelScreenShotQuality", group), m_editScreenShotQuality);
    form->addRow(m_checkboxJPG);
    form->addRow(m_checkboxBMP);
    layout()->addWidget(group);
    for (QLineEdit* edit : {m_editScreenShotName, m_editScreenShotQuality})
      OnUserChange(edit, &QLineEdit::textChanged, [this] { EditFogParam1Change(); });
    OnUserChange(m_checkboxJPG, &QCheckBox::toggled, [this] { CheckboxJPGClick(); });
    OnUserChange(m_checkboxBMP, &QCheckBox::toggled, [this] { CheckboxBMPClick(); });
  }

 private:
  void Fill() override {
    ShowGameText(m_editScreenShotName, m_document.screenshotName);
    ShowGameText(m_editScreenShotQuality, m_document.screenshotQuality);
    m_checkboxJPG->setChecked(m_document.screenshotJpg);
    m_checkboxBMP->setChecked(!m_document.screenshotJpg);
  }

  void EditFogParam1Change() {
    m_document.screenshotName = ToGameText(m_editScreenShotName->text());
    m_document.screenshotQuality = ToGameText(m_editScreenShotQuality->text());
    MarkModified();
  }

  void CheckboxJPGClick() {
    m_document.screenshotJpg = m_checkboxJPG->isChecked();
    Refresh();
    MarkModified();
  }

  void CheckboxBMPClick() {
    m_document.screenshotJpg = !m_checkboxBMP->isChecked();
    Refresh();
    MarkModified();
  }

  GraphicsDocument& m_document;
  QLineEdit* m_editScreenShotName = nullptr;
  QLineEdit* m_editScreenShotQuality = nullptr;
  QCheckBox* m_checkboxJPG = nullptr;
  QCheckBox* m_checkboxBMP = nullptr;
};

// The texture-distance and fog boxes with the document's member each one shows.
struct EditBox {
  const char* name;
  std::string GraphicsDocument::*member;
};
constexpr EditBox kFogBoxes[] = {{"EditFogParam1", &GraphicsDocument::fogParam1},
                                 {"EditFogParam2", &GraphicsDocument::fogParam2},
                                 {"EditObjectFogMultiplier", &GraphicsDocument::objectFogMultiplier}};
constexpr EditBox kLandBoxes[3][2] = {
    {{"EditLandDayL01", &GraphicsDocument::landDayL01}, {"EditLandDayL12", &GraphicsDocument::landDayL12}},
    {{"EditLandNightL01", &GraphicsDocument::landNightL01},
     {"EditLandNightL12", &GraphicsDocument::landNightL12}},
    {{"EditMFDL01", &GraphicsDocument::mfdL01}, {"EditMFDL12", &GraphicsDocument::mfdL12}}};
constexpr const char* kLandRows[] = {"LabelLandDay", "LabelLandNight", "LabelMFD"};

class TOptimization1Page final : public TGamePage {
 public:
  TOptimization1Page(TPageHost& host, TTabSheet* sheet)
      : TGamePage(host, sheet), m_document(host.GameFiles().Get<GraphicsDocument>()) {
    QGroupBox* fog = MakeGroupBox("GroupBoxFogParams", this);
    auto* fogForm = new QFormLayout(fog);
    for (const EditBox& box : kFogBoxes) {
      QLineEdit* edit = AddEdit(box, fog);
      fogForm->addRow(MakeLabel(QByteArray("Label").append(box.name + 4).constData(), fog), edit);
      // Only the fog boxes mark the pages modified; the distances are written all the same.
      OnUserChange(edit, &QLineEdit::textChanged, [this] { MarkModified(); });
    }
    QGroupBox* land = MakeGroupBox("GroupBoxLandOptions", this);
    auto* landGrid = new QGridLayout(land);
    landGrid->addWidget(MakeLabel("LabelL01", land), 0, 1);
    landGrid->addWidget(MakeLabel("LabelL12", land), 0, 2);
    for (int row = 0; row < 3; ++row) {
      landGrid->addWidget(MakeLabel(kLandRows[row], land), row + 1, 0);
      for (int column = 0; column < 2; ++column)
        landGrid->addWidget(AddEdit(kLandBoxes[row][column], land), row + 1, column + 1);
    }
    landGrid->setColumnStretch(0, 1);
    layout()->addWidget(fog);
    layout()->addWidget(land);
  }

 private:
  QLineEdit* AddEdit(const EditBox& box, QWidget* parent) {
    QLineEdit* edit = MakeEdit(box.name, 6, parent);
    edit->setMaximumWidth(90);
    AcceptGameTextOnly(edit);
    m_edits.emplace_back(edit, box.member);
    // Every change reaches the document, whether or not it marks the pages modified.
    OnUserChange(edit, &QLineEdit::textChanged,
                 [this, edit, member = box.member] { m_document.*member = ToGameText(edit->text()); });
    return edit;
  }

  void Fill() override {
    for (const auto& [edit, member] : m_edits) ShowGameText(edit, m_document.*member);
  }

  GraphicsDocument& m_document;
  std::vector<std::pair<QLineEdit*, std::string GraphicsDocument::*>> m_edits;
};

}  // namespace

TGamePage* MakeResolutionPage(TPageHost& host, TTabSheet* sheet) { return new TResolutionPage(host, sheet); }
TGamePage* MakeScreenshotPage(TPageHost& host, TTabSheet* sheet) { return new TScreenshotPage(host, sheet); }
TGamePage* MakeOptimization1Page(TPageHost& host, TTabSheet* sheet) {
  return new TOptimization1Page(host, sheet);
}

}  // namespace kesta
