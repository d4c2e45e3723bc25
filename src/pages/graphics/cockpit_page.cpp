// The cockpit page: mirrors, reflections and the Russian HUD from the game's cockpit file, and the
// canopy effect, which is switched by renaming its folder among the game's effect files.

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <charconv>
#include <filesystem>
#include <optional>
#include <system_error>

#include "engine/failure.h"
#include "engine/text.h"
#include "platform/file_io.h"
#include "platform/game_paths.h"
#include "sets/game_file_set.h"
#include "pages/graphics/graphics_controls.h"
#include "ui/dialog_service.h"
#include "ui/main_window.h"
#include "ui/preview_pictures.h"
#include "ui/special_slider.h"
#include "ui/tab_sheet.h"

namespace kesta {

namespace fs = std::filesystem;

class TFrmKESTA::TCockpitFile final : public GameFileHandler {
 public:
  explicit TCockpitFile(TFrmKESTA& window) : m_window(window) {}
  const GameFileKind& Kind() const override { return GameFileKindOf("Cockpit"); }
  void ReadLines(const Lines& lines) override { m_window.ReadCockpitLines(lines); }
  void WriteLines(Lines& lines) override { m_window.WriteCockpitLines(lines); }

 private:
  TFrmKESTA& m_window;
};

namespace {

// The effect is active while this folder exists among the effect files; the game ignores the others.
constexpr std::string_view kCanopyFolder = "CANOPY";
constexpr std::string_view kDisabledCanopyFolder = "CANOPY_OLD";

void WriteSliderValue(Lines& lines, std::string_view name, const TSpecialSlider* slider) {
  SetParam(lines, name, std::to_string(slider->Position()), "", false);
}

// The entry of `folder` named `name` in any letter case, as the game's file system sees names.
std::optional<fs::path> EntryNamed(const fs::path& folder, std::string_view name) {
  const fs::path resolved = ResolveCaseInsensitive(folder / std::string(name));
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(resolved, ec))) return std::nullopt;
  return resolved;
}

bool IsFolder(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

// A folder that can stand for the disabled effect: the one the disabling command names, or else the
// first in name order whose name mentions the effect. Files never hold an effect, so they are passed over.
std::optional<fs::path> DisabledCanopyFolder(const fs::path& effects) {
  if (const auto named = EntryNamed(effects, kDisabledCanopyFolder); named && IsFolder(*named)) return named;
  std::optional<fs::path> first;
  std::error_code ec;
  for (fs::directory_iterator it(effects, ec), end; !ec && it != end; it.increment(ec)) {
    std::string upper = it->path().filename().string();
    for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (!Contains(upper, kCanopyFolder) || !IsFolder(it->path())) continue;
    if (!first || it->path().filename() < first->filename()) first = it->path();
  }
  return first;
}

// Renames `from` to `to` unless an entry of that name exists in any letter case (which the game could not
// tell apart, and which a plain rename might silently replace). Returns the platform's text on failure.
std::optional<std::string> RenameEntry(const fs::path& from, const fs::path& to) {
  if (EntryNamed(to.parent_path(), to.filename().string()))
    return SystemErrorText(static_cast<int>(std::errc::file_exists));
  std::error_code ec;
  fs::rename(from, to, ec);
  if (ec) return SystemErrorText(ec.value());
  return std::nullopt;
}

QString PathText(const fs::path& path) { return QString::fromStdString(path.string()); }

}  // namespace

void TFrmKESTA::BuildCockpitPage(TTabSheet* page) {
  auto* mirror = MakeGroupBox("GroupBoxMirror", page);
  auto* grid = new QGridLayout(mirror);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(6);
  m_specialSliderMirrors = MakeGraphicsSlider("SpecialSliderMirrors", 1, mirror);
  m_specialSliderMirrorResolution = MakeGraphicsSlider("SpecialSliderMirrorResolution", 2, mirror);
  m_specialSliderReflections = MakeGraphicsSlider("SpecialSliderReflections", 1, mirror);
  m_checkboxRussianHUD = new QCheckBox("CheckboxRussianHUD", mirror);
  m_checkboxRussianHUD->setObjectName("CheckboxRussianHUD");
  grid->addWidget(m_specialSliderMirrors, 0, 0);
  grid->addWidget(m_specialSliderMirrorResolution, 0, 1);
  grid->addWidget(m_specialSliderReflections, 1, 0);
  // A row of its own: the caption is long in some languages, and the slider columns stay equal.
  grid->addWidget(m_checkboxRussianHUD, 2, 0, 1, 2);
  m_checkboxRussianHUD->setContentsMargins(6, 4, 0, 0);  // in line with the slider titles
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  grid->setColumnMinimumWidth(0, 200);
  grid->setColumnMinimumWidth(1, 200);
  connect(m_specialSliderMirrors, &TSpecialSlider::OnStep, this, &TFrmKESTA::SpecialSliderMirrorsStep);
  connect(m_specialSliderMirrorResolution, &TSpecialSlider::OnStep, this,
          &TFrmKESTA::SpecialSliderMirrorResolutionStep);
  connect(m_specialSliderReflections, &TSpecialSlider::OnStep, this,
          &TFrmKESTA::SpecialSliderReflectionsStep);
  connect(m_checkboxRussianHUD, &QCheckBox::toggled, this, &TFrmKESTA::CheckboxRussianHUDClick);

  auto* canopy = MakeGroupBox("GroupBoxCanopy", page);
  auto* column = new QVBoxLayout(canopy);
  column->setSpacing(8);
  m_memoCanopy = new QPlainTextEdit(canopy);
  m_memoCanopy->setObjectName("MemoCanopy");
  m_memoCanopy->setReadOnly(true);
  m_memoCanopy->setFocusPolicy(Qt::NoFocus);
  m_memoCanopy->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_memoCanopy->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Three lines hold the longest explanation of every language at this width.
  const int frame =
      2 * (m_memoCanopy->frameWidth() + static_cast<int>(m_memoCanopy->document()->documentMargin()));
  m_memoCanopy->setFixedHeight(3 * m_memoCanopy->fontMetrics().lineSpacing() + frame);
  m_buttonCanopy = new QPushButton("ButtonCanopy", canopy);
  m_buttonCanopy->setObjectName("ButtonCanopy");
  connect(m_buttonCanopy, &QPushButton::clicked, this, &TFrmKESTA::ButtonCanopyClick);
  column->addWidget(m_memoCanopy);
  column->addWidget(m_buttonCanopy, 0, Qt::AlignLeft);

  page->Body()->addWidget(mirror);
  page->Body()->addWidget(canopy);
  m_gameFiles->Register(std::make_unique<TCockpitFile>(*this));
}

void TFrmKESTA::LoadCockpitSettings(const fs::path& path) { m_gameFiles->Load("Cockpit", path); }

void TFrmKESTA::ApplyCockpitSettings(const fs::path& targetPath) {
  m_gameFiles->Apply("Cockpit", targetPath);
}

void TFrmKESTA::ReadCockpitLines(const Lines& lines) {
  m_specialSliderMirrors->SetPosition(IntegerValue(lines, "Mirrors", "0"));
  m_specialSliderMirrorResolution->SetPosition(IntegerValue(lines, "MirrorResolution", "0"));
  m_specialSliderReflections->SetPosition(IntegerValue(lines, "Reflections", "1"));
  m_checkboxRussianHUD->setChecked(GetParam(lines, "RussianHUD", "1", "", false) == "1");
  ShowCanopyState();
  LoadPreviewPicture("graphics_default.jpg");
}

void TFrmKESTA::WriteCockpitLines(Lines& lines) const {
  WriteSliderValue(lines, "Mirrors", m_specialSliderMirrors);
  WriteSliderValue(lines, "MirrorResolution", m_specialSliderMirrorResolution);
  WriteSliderValue(lines, "Reflections", m_specialSliderReflections);
  SetParam(lines, "RussianHUD", m_checkboxRussianHUD->isChecked() ? "1" : "0", "", false);
}

// The state is the folder itself, read anew each time, so the page never shows a stale one.
void TFrmKESTA::ShowCanopyState() {
  const auto active = EntryNamed(GamePath(GameFolder(), "Bazar\\Effects"), kCanopyFolder);
  const bool isActive = active && IsFolder(*active);
  m_memoCanopy->setPlainText(LookupMessage(isActive ? "CanopyDisable" : "CanopyDisabled"));
  m_buttonCanopy->setText(LookupMessage(isActive ? "CanopyButtonDisable" : "CanopyButtonDisabled"));
}

void TFrmKESTA::ButtonCanopyClick() {
  const fs::path effects = GamePath(GameFolder(), "Bazar\\Effects");
  fs::path from;
  fs::path to;
  const auto active = EntryNamed(effects, kCanopyFolder);
  const bool disabling = active && IsFolder(*active);
  if (disabling) {
    from = *active;
    to = effects / std::string(kDisabledCanopyFolder);
  } else if (const auto disabled = DisabledCanopyFolder(effects)) {
    from = *disabled;
    to = effects / std::string(kCanopyFolder);
  } else {
    m_dialogs->Error(LookupMessage("CanopyNotFound") + "\r\n" + PathText(effects / ""));
    return;
  }
  const std::optional<std::string> failure = RenameEntry(from, to);
  ShowCanopyState();
  if (failure) {
    m_dialogs->Error(LookupMessage("CanopyRenameFailed") + "\r\n" + PathText(from) + "\r\n" + PathText(to) +
                     "\r\n" + QString::fromStdString(*failure));
    return;
  }
  ShowPreviewPicture(disabling ? "canopy_old.jpg" : "canopy.jpg");
  m_dialogs->Information(LookupMessage(disabling ? "CanopyInfo" : "CanopyRestore") + "\r\n" + PathText(from));
}

void TFrmKESTA::SpecialSliderMirrorsStep() {
  ShowPreviewPicture(
      QString::fromStdString(PreviewPictureName("mirror_", m_specialSliderMirrors->Position())));
  EnableApplyCancel(true, true);
}

void TFrmKESTA::SpecialSliderReflectionsStep() {
  ShowPreviewPicture(
      QString::fromStdString(PreviewPictureName("reflections_", m_specialSliderReflections->Position())));
  EnableApplyCancel(true, true);
}

void TFrmKESTA::SpecialSliderMirrorResolutionStep() {
  ShowPreviewPicture(QString::fromStdString(
      PreviewPictureName("mirrorresolution_", m_specialSliderMirrorResolution->Position())));
  EnableApplyCancel(true, true);
}

void TFrmKESTA::CheckboxRussianHUDClick() {
  ShowPreviewPicture(
      QString::fromStdString(PreviewPictureName("russianhud_", m_checkboxRussianHUD->isChecked() ? 1 : 0)));
  EnableApplyCancel(true, true);
}

}  // namespace kesta
