// The resolution, screenshot and first optimisation pages of graphics.cfg, and the display-mode list.

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <charconv>

#include "engine/failure.h"
#include "engine/text.h"
#include "pages/graphics/graphics_controls.h"
#include "platform/display_modes.h"
#include "ui/main_window.h"
#include "ui/tab_sheet.h"

namespace kesta {

namespace {

constexpr std::string_view kAspects[] = {"1.333333373", "1.25", "1.77", "1.6"};

// The six texture-sharpness boxes and the three fog boxes: control, read name, anchor, default.
struct EditLine {
  const char* control;
  std::string_view name;
  std::string_view anchor;
  std::string_view absent;
};
constexpr EditLine kOptimization1Lines[] = {{"EditLandDayL01", "L01", "", "10000"},
                                            {"EditLandDayL12", "L12", "", "40000"},
                                            {"EditLandNightL01", "L01", "LandNight", "8000"},
                                            {"EditLandNightL12", "L12", "LandNight", "15000"},
                                            {"EditMFDL01", "L01", "MFD", "10000"},
                                            {"EditMFDL12", "L12", "MFD", "25000"},
                                            {"EditFogParam1", "FogParam1", "", "12"},
                                            {"EditFogParam2", "FogParam2", "", "1.1"},
                                            {"EditObjectFogMultiplier", "ObjectFogMultiplier", "", "0.6"}};

// Common modes offered when the display cannot be asked; the sample files use several of them.
constexpr std::pair<int, int> kCommonModes[] = {{640, 480},   {800, 600},   {1024, 768},  {1152, 864},
                                                {1280, 720},  {1280, 960},  {1280, 1024}, {1440, 900},
                                                {1600, 1200}, {1680, 1050}, {1920, 1080}, {1920, 1200}};

bool IsInteger(const std::string& text) {
  int value = 0;
  const char* first = text.data() + (text.starts_with('+') ? 1 : 0);
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  return !text.empty() && error == std::errc() && end == last;
}

// "{1024, 768}" -> "1024x768", selected in the box ignoring case; none leaves the box empty.
void SelectResolution(QComboBox* box, std::string value) {
  std::erase(value, '{');
  std::erase(value, '}');
  std::erase(value, ' ');
  std::replace(value.begin(), value.end(), ',', 'x');
  box->setCurrentIndex(box->findText(FromGameText(value), Qt::MatchFixedString));
  if (box->currentIndex() < 0 && box->isEditable()) box->setEditText("");
}

// The box's text as the game's "{W, H}"; a text without "x" stands for both.
struct Resolution {
  std::string width, height;
};
Resolution SplitResolution(const QComboBox* box) {
  std::string rest = ToGameText(box->currentText());
  const std::string head = SplitAtFirst(rest, "x");
  return {Trim(head), Trim(rest)};
}

void CheckResolution(const Resolution& resolution, const QString& message) {
  if (!IsInteger(resolution.width) || !IsInteger(resolution.height))
    throw EKestaError("- " + message.toStdString());
}

std::string ResolutionValue(const Resolution& resolution) {
  return "{" + resolution.width + ", " + resolution.height + "}";
}

QCheckBox* MakeCheckBox(const char* name, QWidget* parent) {
  auto* box = new QCheckBox(name, parent);
  box->setObjectName(name);
  return box;
}

QLabel* MakeLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(name, parent);
  label->setObjectName(name);
  return label;
}

QComboBox* MakeComboBox(const char* name, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  return box;
}

}  // namespace

void TFrmKESTA::BuildResolutionPage(TTabSheet* page) {
  QGroupBox* game = MakeGroupBox("GroupBoxGameResolution", page);
  auto* form = new QFormLayout(game);
  m_comboBoxGameResolution = MakeComboBox("ComboBoxGameResolution", game);
  m_comboBoxGameResolution->setEditable(true);
  m_comboBoxGameResolution->setInsertPolicy(QComboBox::NoInsert);
  m_comboBoxBits = MakeComboBox("ComboBoxBits", game);
  m_comboBoxBits->addItems({"16bits", "32bits"});
  m_comboBoxGameAspect = MakeComboBox("ComboBoxGameAspect", game);
  m_comboBoxGameAspect->addItems({"4/3 (1.33..)", "5/4 (1.25)", "16/9 (1.77)", "16/10 (1.6)"});
  QLabel* memo = MakeLabel("MemoInfoAspect", game);  // an explanation only
  memo->setWordWrap(true);
  m_checkBoxGameFullScreen = MakeCheckBox("CheckBoxGameFullScreen", game);
  form->addRow(MakeLabel("LabelGameResolution", game), m_comboBoxGameResolution);
  form->addRow(MakeLabel("LabelBits", game), m_comboBoxBits);
  form->addRow(MakeLabel("LabelGameAspect", game), m_comboBoxGameAspect);
  form->addRow(memo);
  form->addRow(m_checkBoxGameFullScreen);

  QGroupBox* movie = MakeGroupBox("GroupBoxMovieResolution", page);
  auto* movieForm = new QFormLayout(movie);
  m_comboBoxMovieResolution = MakeComboBox("ComboBoxMovieResolution", movie);
  m_checkBoxMovieFullScreen = MakeCheckBox("CheckBoxMovieFullScreen", movie);
  movieForm->addRow(MakeLabel("LabelMovieResolution", movie), m_comboBoxMovieResolution);
  movieForm->addRow(m_checkBoxMovieFullScreen);
  page->Body()->addWidget(game);
  page->Body()->addWidget(movie);

  connect(m_comboBoxGameResolution, &QComboBox::activated, this, &TFrmKESTA::MarkGraphicsModified);
  connect(m_comboBoxGameResolution->lineEdit(), &QLineEdit::textEdited, this,
          &TFrmKESTA::MarkGraphicsModified);
  for (QComboBox* box : {m_comboBoxBits, m_comboBoxGameAspect, m_comboBoxMovieResolution})
    connect(box, &QComboBox::activated, this, &TFrmKESTA::MarkGraphicsModified);
  for (QCheckBox* box : {m_checkBoxGameFullScreen, m_checkBoxMovieFullScreen})
    connect(box, &QCheckBox::toggled, this, &TFrmKESTA::MarkGraphicsModified);
}

void TFrmKESTA::BuildScreenshotPage(TTabSheet* page) {
  QGroupBox* group = MakeGroupBox("GroupBoxScreenshot", page);
  auto* form = new QFormLayout(group);
  m_editScreenShotName = MakeEdit("EditScreenShotName", 32767, group);
  m_editScreenShotQuality = MakeEdit("EditScreenShotQuality", 3, group);
  m_editScreenShotQuality->setMaximumWidth(60);
  m_checkboxJPG = MakeCheckBox("CheckboxJPG", group);
  m_checkboxBMP = MakeCheckBox("CheckboxBMP", group);
  form->addRow(MakeLabel("LabelScreenShotName", group), m_editScreenShotName);
  form->addRow(MakeLabel("LabelScreenShotQuality", group), m_editScreenShotQuality);
  form->addRow(m_checkboxJPG);
  form->addRow(m_checkboxBMP);
  page->Body()->addWidget(group);
  for (QLineEdit* edit : {m_editScreenShotName, m_editScreenShotQuality})
    connect(edit, &QLineEdit::textChanged, this, &TFrmKESTA::MarkGraphicsModified);
  connect(m_checkboxJPG, &QCheckBox::toggled, this, &TFrmKESTA::CheckboxJPGClick);
  connect(m_checkboxBMP, &QCheckBox::toggled, this, &TFrmKESTA::CheckboxBMPClick);
}

void TFrmKESTA::BuildOptimization1Page(TTabSheet* page) {
  QGroupBox* fog = MakeGroupBox("GroupBoxFogParams", page);
  auto* fogForm = new QFormLayout(fog);
  QGroupBox* land = MakeGroupBox("GroupBoxLandOptions", page);
  auto* landGrid = new QGridLayout(land);
  for (const EditLine& line : kOptimization1Lines) {
    QLineEdit* edit = MakeEdit(line.control, 6, page);
    edit->setMaximumWidth(90);
    m_optimization1Edits[line.control] = edit;
  }
  for (const char* name : {"EditFogParam1", "EditFogParam2", "EditObjectFogMultiplier"}) {
    QLineEdit* edit = m_optimization1Edits[name];
    edit->setParent(fog);
    fogForm->addRow(MakeLabel(QByteArray("Label").append(name + 4).constData(), fog), edit);
    connect(edit, &QLineEdit::textChanged, this, &TFrmKESTA::MarkGraphicsModified);
  }
  landGrid->addWidget(MakeLabel("LabelL01", land), 0, 1);
  landGrid->addWidget(MakeLabel("LabelL12", land), 0, 2);
  const char* rows[][3] = {{"LabelLandDay", "EditLandDayL01", "EditLandDayL12"},
                           {"LabelLandNight", "EditLandNightL01", "EditLandNightL12"},
                           {"LabelMFD", "EditMFDL01", "EditMFDL12"}};
  for (int row = 0; row < 3; ++row) {
    landGrid->addWidget(MakeLabel(rows[row][0], land), row + 1, 0);
    for (int column = 1; column < 3; ++column) {
      QLineEdit* edit = m_optimization1Edits[rows[row][column]];
      edit->setParent(land);
      landGrid->addWidget(edit, row + 1, column);
    }
  }
  landGrid->setColumnStretch(0, 1);
  page->Body()->addWidget(fog);
  page->Body()->addWidget(land);
}

void TFrmKESTA::FillResolutions() {
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
  m_comboBoxGameResolution->clear();
  m_comboBoxGameResolution->addItems(items);
  m_comboBoxMovieResolution->clear();
  m_comboBoxMovieResolution->addItems(items);
}

void TFrmKESTA::ReadOptimization1Lines(const Lines& lines) {
  for (const EditLine& line : kOptimization1Lines)
    m_optimization1Edits[line.control]->setText(
        FromGameText(GetParam(lines, line.name, line.absent, line.anchor, false)));
}

void TFrmKESTA::WriteOptimization1Lines(Lines& lines) const {
  for (const EditLine& line : kOptimization1Lines) {
    const std::string name =
        line.name.starts_with('L') ? "\t\t" + std::string(line.name) : std::string(line.name);
    SetParam(lines, name, ToGameText(m_optimization1Edits.at(line.control)->text()), line.anchor, false);
  }
}

void TFrmKESTA::ReadScreenshotLines(const Lines& lines) {
  std::string name = GetParam(lines, "ScreenshotName", "ScreenShots/ScreenShot_%03d.jpg", "", false);
  std::erase(name, '"');
  name = RemoveAllNoCase(name, "%03d");
  const bool jpg = Contains(name, ".jpg") || Contains(name, ".JPG");
  m_checkboxJPG->setChecked(jpg);
  m_checkboxBMP->setChecked(!jpg);
  m_editScreenShotName->setText(FromGameText(RemoveAllNoCase(RemoveAllNoCase(name, ".jpg"), ".bmp")));
  m_editScreenShotQuality->setText(FromGameText(GetParam(lines, "ScreenshotQuality", "90", "", false)));
}

void TFrmKESTA::WriteScreenshotLines(Lines& lines) const {
  const std::string extension = m_checkboxJPG->isChecked() ? ".jpg" : ".bmp";
  SetParam(lines, "ScreenshotName",
           "\"" + ToGameText(m_editScreenShotName->text()) + "%03d" + extension + "\"", "", false);
  SetParam(lines, "ScreenshotQuality", ToGameText(m_editScreenShotQuality->text()), "", false);
}

void TFrmKESTA::ReadResolutionLines(const Lines& lines) {
  SelectResolution(m_comboBoxGameResolution, GetParam(lines, "resolution", "{1024, 768}", "", false));
  m_comboBoxBits->setCurrentIndex(
      m_comboBoxBits->findText(FromGameText(GetParam(lines, "bpp", "32", "", false) + "bits")));
  const std::string aspect = GetParam(lines, "aspect", "1.333333373", "", false);
  int aspectItem = 0;
  for (int item = 1; item < 4; ++item)
    if (aspect == kAspects[item]) aspectItem = item;
  if (m_checkAspectOnly)
    m_aspectDiffers = aspectItem != m_comboBoxGameAspect->currentIndex();
  else
    m_comboBoxGameAspect->setCurrentIndex(aspectItem);
  SelectResolution(m_comboBoxMovieResolution, GetParam(lines, "resolution", "{640, 480}", "AVI", false));
  MarkGraphicsModified();
  m_checkBoxGameFullScreen->setChecked(GetParam(lines, "fullscreen", "1", "", false) == "1");
  m_checkBoxMovieFullScreen->setChecked(GetParam(lines, "fullscreen", "0", "AVI", false) == "1");
}

void TFrmKESTA::WriteGameResolutionLines(Lines& lines) {
  const Resolution game = SplitResolution(m_comboBoxGameResolution);
  CheckResolution(game, LookupMessage("InvalidResolution"));
  const std::string value = ResolutionValue(game);
  SetParam(lines, "\tresolution", value, "", false);
  SetParam(lines, "\t\tresolution", value, "Interface", false);
  SetParam(lines, "\t\tresolution", value, "Simulation", false);
  // A depth the list does not hold stays as the file has it rather than becoming empty.
  if (m_comboBoxBits->currentIndex() < 0) return;
  const std::string depth = Trim(RemoveAllNoCase(ToGameText(m_comboBoxBits->currentText()), "bits"));
  SetParam(lines, "\tbpp", depth, "", false);
  SetParam(lines, "\t\tbpp", depth, "Interface", false);
  SetParam(lines, "\t\tbpp", depth, "Simulation", false);
}

void TFrmKESTA::WriteMovieAspectFullScreenLines(Lines& lines) {
  const Resolution movie = SplitResolution(m_comboBoxMovieResolution);
  WriteOptis(lines, m_optis);
  CheckResolution(movie, LookupMessage("InvalidResolution"));
  SetParam(lines, "\t\tresolution", ResolutionValue(movie), "AVI", false);
  if (const int item = m_comboBoxGameAspect->currentIndex(); item >= 0) {
    SetParam(lines, "\taspect", kAspects[item], "", false);
    SetParam(lines, "\t\taspect", kAspects[item], "Interface", false);
    SetParam(lines, "\t\taspect", kAspects[item], "Simulation", false);
  }
  const std::string full = m_checkBoxGameFullScreen->isChecked() ? "1" : "0";
  SetParam(lines, "\tfullscreen", full, "", false);
  SetParam(lines, "\t\tfullscreen", full, "Interface", false);
  SetParam(lines, "\t\tfullscreen", full, "Simulation", false);
  SetParam(lines, "\t\tfullscreen", m_checkBoxMovieFullScreen->isChecked() ? "1" : "0", "AVI", false);
}

void TFrmKESTA::CheckboxJPGClick() {
  m_checkboxBMP->setChecked(!m_checkboxJPG->isChecked());
  MarkGraphicsModified();
}

void TFrmKESTA::CheckboxBMPClick() {
  m_checkboxJPG->setChecked(!m_checkboxBMP->isChecked());
  MarkGraphicsModified();
}

}  // namespace kesta
