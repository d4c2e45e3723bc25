// The cockpit page: mirrors, reflections and the Russian HUD from the game's cockpit file, and the
// canopy effect, which is switched by renaming its folder among the game's effect files.

#include <QCheckBox>
#include <QGridLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>
#include <optional>
#include <system_error>

#include "documents/cockpit_document.h"
#include "engine/text.h"
#include "pages/game_page.h"
#include "pages/graphics/graphics_controls.h"
#include "pages/graphics/graphics_pages.h"
#include "pages/graphics/graphics_pictures.h"
#include "pages/page_host.h"
#include "platform/file_io.h"
#include "platform/game_paths.h"
#include "sets/game_file_set.h"
#include "ui/dialog_service.h"
#include "ui/special_slider.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

// The effect is active while this folder exists among the effect files; the game ignores the others.
constexpr std::string_view kCanopyFolder = "CANOPY";
constexpr std::string_view kDisabledCanopyFolder = "CANOPY_OLD";

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

class TCockpitPage final : public TGamePage {
 public:
  TCockpitPage(TPageHost& host, TTabSheet* sheet)
      : TGamePage(host, sheet), m_document(host.GameFiles().Get<CockpitDocument>()) {
    auto* mirror = MakeGroupBox("GroupBoxMirror", this);
    auto* grid = new QGridLayout(mirror);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(6);
    m_specialSliderMirrors = MakeGraphicsSlider("SpecialSliderMirrors", 1, mirror);
    m_specialSliderMirrorResolution = MakeGraphicsSlider("SpecialSliderMirrorResolution", 2, mirror);
    m_specialSliderReflections = MakeGraphicsSlider("SpecialSliderReflections", 1, mirror);
    m_checkboxRussianHUD = MakeCheckBox("CheckboxRussianHUD", mirror);
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
    OnUserChange(m_specialSliderMirrors, &TSpecialSlider::OnStep, [this] { SpecialSliderMirrorsStep(); });
    OnUserChange(m_specialSliderMirrorResolution, &TSpecialSlider::OnStep,
                 [this] { SpecialSliderMirrorResolutionStep(); });
    OnUserChange(m_specialSliderReflections, &TSpecialSlider::OnStep,
                 [this] { SpecialSliderReflectionsStep(); });
    OnUserChange(m_checkboxRussianHUD, &QCheckBox::toggled, [this] { CheckboxRussianHUDClick(); });

    auto* canopy = MakeGroupBox("GroupBoxCanopy", this);
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
    connect(m_buttonCanopy, &QPushButton::clicked, this, [this] { ButtonCanopyClick(); });
    column->addWidget(m_memoCanopy);
    column->addWidget(m_buttonCanopy, 0, Qt::AlignLeft);

    layout()->addWidget(mirror);
    layout()->addWidget(canopy);
  }

 private:
  void Fill() override {
    m_specialSliderMirrors->SetPosition(m_document.mirrors);
    m_specialSliderMirrorResolution->SetPosition(m_document.mirrorResolution);
    m_specialSliderReflections->SetPosition(m_document.reflections);
    m_checkboxRussianHUD->setChecked(m_document.russianHud);
    ShowCanopyState();
  }

  fs::path EffectsFolder() const { return GamePath(m_host.GameFolder(), "Bazar\\Effects"); }

  // The state is the folder itself, read anew each time, so the page never shows a stale one.
  void ShowCanopyState() {
    const auto active = EntryNamed(EffectsFolder(), kCanopyFolder);
    const bool isActive = active && IsFolder(*active);
    m_memoCanopy->setPlainText(m_host.LookupMessage(isActive ? "CanopyDisable" : "CanopyDisabled"));
    m_buttonCanopy->setText(m_host.LookupMessage(isActive ? "CanopyButtonDisable" : "CanopyButtonDisabled"));
  }

  // Renames the canopy effect's folder at once, not through Apply.
  void ButtonCanopyClick() {
    const fs::path effects = EffectsFolder();
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
      m_host.Dialogs().Error(m_host.LookupMessage("CanopyNotFound") + "\r\n" + PathText(effects / ""));
      return;
    }
    const std::optional<std::string> failure = RenameEntry(from, to);
    ShowCanopyState();
    if (failure) {
      m_host.Dialogs().Error(m_host.LookupMessage("CanopyRenameFailed") + "\r\n" + PathText(from) + "\r\n" +
                             PathText(to) + "\r\n" + QString::fromStdString(*failure));
      return;
    }
    m_host.ShowPreviewPicture(disabling ? "canopy_old.jpg" : "canopy.jpg");
    m_host.Dialogs().Information(m_host.LookupMessage(disabling ? "CanopyInfo" : "CanopyRestore") + "\r\n" +
                                 PathText(from));
  }

  void SpecialSliderMirrorsStep() {
    m_document.mirrors = m_specialSliderMirrors->Position();
    Changed(MirrorsPicture(m_document.mirrors));
  }

  void SpecialSliderReflectionsStep() {
    m_document.reflections = m_specialSliderReflections->Position();
    Changed(ReflectionsPicture(m_document.reflections));
  }

  void SpecialSliderMirrorResolutionStep() {
    m_document.mirrorResolution = m_specialSliderMirrorResolution->Position();
    Changed(MirrorResolutionPicture(m_document.mirrorResolution));
  }

  void CheckboxRussianHUDClick() {
    m_document.russianHud = m_checkboxRussianHUD->isChecked();
    Changed(RussianHudPicture(m_document.russianHud));
  }

  void Changed(const std::string& picture) {
    m_host.ShowPreviewPicture(QString::fromStdString(picture));
    MarkModified();
  }

  CockpitDocument& m_document;
  TSpecialSlider* m_specialSliderMirrors = nullptr;
  TSpecialSlider* m_specialSliderMirrorResolution = nullptr;
  TSpecialSlider* m_specialSliderReflections = nullptr;
  QCheckBox* m_checkboxRussianHUD = nullptr;
  QPlainTextEdit* m_memoCanopy = nullptr;
  QPushButton* m_buttonCanopy = nullptr;
};

}  // namespace

TGamePage* MakeCockpitPage(TPageHost& host, TTabSheet* sheet) { return new TCockpitPage(host, sheet); }

}  // namespace kesta
