// The page of the export scripts. The switch follows Load, Apply and Cancel like every game file; the
// check box of a script rewrites export.lua at once, as the player expects of a list of installed scripts.

#include "pages/game_options/script_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "documents/export_document.h"
#include "engine/failure.h"
#include "engine/game_file.h"
#include "engine/lua_text.h"
#include "pages/game_page.h"
#include "pages/graphics/graphics_controls.h"
#include "pages/page_host.h"
#include "platform/game_paths.h"
#include "settings/helpers.h"
#include "settings/program_folder.h"
#include "ui/dialog_service.h"
#include "ui/game_text.h"

namespace kesta {

namespace {

constexpr std::string_view kExportLua = "Config\\Export\\export.lua";
constexpr std::string_view kScriptFolder = "Config\\Export\\";

// A catalogue line shows its script completely only with these four fields.
enum CatalogueField : size_t { kName, kDescription, kAuthor, kAddress, kFieldCount };

QLabel* MakeWrappingLabel(const char* name, QWidget* parent) {
  QLabel* label = MakeLabel(name, parent);
  label->setWordWrap(true);
  label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  return label;
}

// The catalogue's details are data, not markup: an address is shown as the link's text exactly as written.
QLabel* MakeDetailLabel(const char* name, QWidget* parent) {
  QLabel* label = MakeWrappingLabel(name, parent);
  label->setText(QString());
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QLabel* MakeStateLabel(const char* name, const QColor& color, QWidget* parent) {
  QLabel* label = MakeWrappingLabel(name, parent);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  label->hide();
  return label;
}

class TScriptPage final : public TGamePage {
 public:
  TScriptPage(TPageHost& host, TTabSheet* sheet, const std::vector<std::string>& catalogue)
      : TGamePage(host, sheet), m_catalogue(catalogue) {
    // The game's switch: index 0 "Yes", index 1 "No".
    QGroupBox* active = MakeGroupBox("RadioGroupActiveExport", this);
    auto* activeColumn = new QVBoxLayout(active);
    m_radioGroupActiveExport = AddYesNoRow(activeColumn, active, "RadioGroupActiveExportItem",
                                           [this](int index) { RadioGroupActiveExportClick(index); });
    activeColumn->addWidget(MakeWrappingLabel("LabelInfoActiveExport", active));

    QGroupBox* scripts = MakeScriptGroup();
    connect(m_comboBoxLUAScripts, &QComboBox::activated, this, [this] { ComboBoxLUAScriptsChange(); });
    connect(m_checkBoxScriptEnabled, &QCheckBox::toggled, this, [this] {
      if (!m_showingScript) CheckBoxScriptEnabledClick();
    });
    connect(m_labelScriptSite, &QLabel::linkActivated, this, [this] { LabelScriptSiteLinkClick(); });

    layout()->addWidget(active);
    layout()->addWidget(scripts);
    static_cast<QVBoxLayout*>(layout())->addStretch(1);

    // The first script of the catalogue is shown when the page is first seen.
    for (const std::string& line : m_catalogue)
      m_comboBoxLUAScripts->addItem(FromGameText(CatalogueFields(line)[kName]));
    if (m_comboBoxLUAScripts->count() > 0) {
      m_comboBoxLUAScripts->setCurrentIndex(0);
      ComboBoxLUAScriptsChange();
    }
  }

 private:
  // The list of scripts with the details of the one chosen, in two columns of captions and values.
  QGroupBox* MakeScriptGroup() {
    QGroupBox* scripts = MakeGroupBox("GroupBoxLUAScripts", this);
    auto* grid = new QGridLayout(scripts);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    m_comboBoxLUAScripts = MakeComboBox("ComboBoxLUAScripts", scripts);
    m_comboBoxLUAScripts->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_labelScriptInfo = MakeDetailLabel("LabelScriptInfo", scripts);
    m_labelScriptAuteur = MakeDetailLabel("LabelScriptAuteur", scripts);
    m_labelScriptSite = MakeWrappingLabel("LabelScriptSite", scripts);
    m_labelScriptSite->setText(QString());
    m_labelScriptSite->setTextFormat(Qt::RichText);
    m_labelScriptSite->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    const std::pair<const char*, QWidget*> rows[] = {
        {"LabelLUAScripts", m_comboBoxLUAScripts},
        {"LabelScriptInfoTitle", m_labelScriptInfo},
        {"LabelScriptAuteurTitle", m_labelScriptAuteur},
        {"LabelScriptSiteTitle", m_labelScriptSite},
    };
    for (int line = 0; line < static_cast<int>(std::size(rows)); ++line) {
      // The list's caption in line with the list's text; the others with the first line of theirs.
      const Qt::Alignment vertical = line == 0 ? Qt::AlignVCenter : Qt::AlignTop;
      grid->addWidget(MakeLabel(rows[line].first, scripts), line, 0, Qt::AlignLeft | vertical);
      grid->addWidget(rows[line].second, line, 1, line == 0 ? Qt::AlignLeft : Qt::Alignment());
    }
    m_labelScriptDispo = MakeStateLabel("LabelScriptDispo", QColor(0x1b, 0x7a, 0x1b), scripts);
    m_labelScriptNonDispo = MakeStateLabel("LabelScriptNonDispo", QColor(0xc0, 0x10, 0x10), scripts);
    m_checkBoxScriptEnabled = MakeCheckBox("CheckBoxScriptEnabled", scripts);
    m_checkBoxScriptEnabled->hide();  // until a script has been shown
    const int below = static_cast<int>(std::size(rows));
    grid->addWidget(m_labelScriptDispo, below, 0, 1, 2);
    grid->addWidget(m_labelScriptNonDispo, below + 1, 0, 1, 2);
    grid->addWidget(m_checkBoxScriptEnabled, below + 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return scripts;
  }

  void Fill() override {
    ShowYesNoTexts(m_radioGroupActiveExport);
    if (const ExportConfigDocument* exportConfig = DocumentOf<ExportConfigDocument>())
      m_radioGroupActiveExport->button(exportConfig->exportEnabled ? 0 : 1)->setChecked(true);
  }

  void RadioGroupActiveExportClick(int index) {
    if (ExportConfigDocument* exportConfig = DocumentOf<ExportConfigDocument>())
      exportConfig->exportEnabled = index == 0;
    MarkModified();
  }

  std::filesystem::path ExportLuaPath() const { return GamePath(m_host.GameFolder(), kExportLua); }

  // The fields of the selected catalogue line; none while nothing is selected.
  std::vector<std::string> SelectedFields() const {
    const int position = m_comboBoxLUAScripts->currentIndex();
    if (position < 0 || position >= static_cast<int>(m_catalogue.size())) return {};
    return CatalogueFields(m_catalogue[static_cast<size_t>(position)]);
  }

  // export.lua's lines, or nothing after telling the user it could not be read or was empty.
  std::optional<Lines> ReadExportLua() {
    const std::filesystem::path path = ExportLuaPath();
    try {
      Lines lines = ReadGameFile(path);
      if (!lines.empty()) return lines;
    } catch (const EKestaError&) {
      // Reported below, as an empty file is.
    }
    m_host.Dialogs().Error(m_host.LookupMessage("Loading") + "\r\n" + QString::fromStdString(path.string()));
    return std::nullopt;
  }

  // Nothing of an earlier script may stay beside the name now selected.
  void ClearScript() {
    for (QLabel* label : {m_labelScriptInfo, m_labelScriptAuteur, m_labelScriptSite}) label->clear();
    m_siteAddress.clear();
    m_labelScriptDispo->hide();
    m_labelScriptNonDispo->hide();
    m_checkBoxScriptEnabled->hide();
  }

  void ComboBoxLUAScriptsChange() {
    const QScopedValueRollback showing(m_showingScript, true);
    const std::vector<std::string> fields = SelectedFields();
    if (fields.empty()) return;
    ClearScript();
    const std::optional<Lines> exportLua = ReadExportLua();
    if (!exportLua) return;

    QLabel* const details[] = {m_labelScriptInfo, m_labelScriptAuteur};
    for (size_t field = kDescription; field <= kAuthor && field < fields.size(); ++field)
      details[field - kDescription]->setText(FromGameText(fields[field]));
    if (fields.size() < kFieldCount) {
      ReportIncompleteLine();
      return;
    }
    m_siteAddress = fields[kAddress];
    const QString address = FromGameText(m_siteAddress).toHtmlEscaped();
    m_labelScriptSite->setText("<a href=\"" + address + "\">" + address + "</a>");

    const std::string& name = fields[kName];
    m_checkBoxScriptEnabled->show();
    std::error_code ec;
    const bool installed = std::filesystem::is_regular_file(
        GamePath(m_host.GameFolder(), std::string(kScriptFolder) + name), ec);
    m_checkBoxScriptEnabled->setEnabled(installed);
    m_labelScriptDispo->setVisible(installed);
    m_labelScriptNonDispo->setVisible(!installed);
    bool runs = false;
    if (installed)
      for (const std::string& line : *exportLua) runs = runs || RunsScript(line, name);
    m_checkBoxScriptEnabled->setChecked(runs);
  }

  void ReportIncompleteLine() {
    const int position = m_comboBoxLUAScripts->currentIndex();
    const std::string& line = m_catalogue[static_cast<size_t>(position)];
    m_host.Dialogs().Error(m_host.LookupMessage("ScriptCatalogueLineIncomplete").arg(position + 1) + "\r\n" +
                           QString::fromStdString(m_host.Folder().ScriptCatalogue().string()) + "\r\n" +
                           FromGameText(line));
  }

  void CheckBoxScriptEnabledClick() {
    const bool wanted = m_checkBoxScriptEnabled->isChecked();
    const std::vector<std::string> fields = SelectedFields();
    if (fields.empty()) return;
    if (WriteScriptEnabled(fields[kName], wanted)) {
      m_host.ShowStatusMessage(m_host.LookupMessage("Applyed"));
      return;
    }
    // export.lua did not change: the box shows what it still says.
    const QScopedValueRollback showing(m_showingScript, true);
    m_checkBoxScriptEnabled->setChecked(!wanted);
  }

  // Rewrites export.lua with the script's run line or without it; false after reporting a failure.
  bool WriteScriptEnabled(const std::string& name, bool enabled) {
    std::optional<Lines> lines = ReadExportLua();
    if (!lines) return false;
    const std::filesystem::path path = ExportLuaPath();
    try {
      // What was shown may end at a NUL; the file is rewritten only when it is all text.
      *lines = ReadGameFileToWrite(path, std::nullopt, [this](std::string_view key) {
        return m_host.LookupMessage(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())))
            .toStdString();
      });
      const bool parsed = !LuaSyntaxError(JoinGameText(*lines), "export.lua");
      SetScriptEnabled(*lines, name, enabled);
      // A script file the game could read must stay readable: the removed line may have been half of one.
      if (const std::optional<std::string> error = LuaSyntaxError(JoinGameText(*lines), "export.lua");
          parsed && error)
        throw EKestaError(
            "The new text of export.lua would not be valid Lua, so the file was left as it was. "
            "Lua says: " +
            *error);
      WriteGameFile(path, *lines);
      return true;
    } catch (const EKestaError& failure) {
      m_host.Dialogs().Error(m_host.LookupMessage("Applying") + "\r\n" + QString::fromUtf8(failure.what()));
      return false;
    }
  }

  void LabelScriptSiteLinkClick() {
    if (!TWebTools::OpenURL(m_siteAddress))
      m_host.Dialogs().Error(m_host.LookupMessage("OpenAddressFailed") + "\r\n" +
                             FromGameText(m_siteAddress));
  }

  const std::vector<std::string>& m_catalogue;
  QButtonGroup* m_radioGroupActiveExport = nullptr;
  QComboBox* m_comboBoxLUAScripts = nullptr;
  QLabel* m_labelScriptInfo = nullptr;
  QLabel* m_labelScriptAuteur = nullptr;
  QLabel* m_labelScriptSite = nullptr;
  QLabel* m_labelScriptDispo = nullptr;
  QLabel* m_labelScriptNonDispo = nullptr;
  QCheckBox* m_checkBoxScriptEnabled = nullptr;
  std::string m_siteAddress;     // field 3 of the script shown, as the catalogue has it
  bool m_showingScript = false;  // the script display flag
};

}  // namespace

TGamePage* MakeScriptPage(TPageHost& host, TTabSheet* sheet, const std::vector<std::string>& catalogue) {
  return new TScriptPage(host, sheet, catalogue);
}

}  // namespace kesta
