#pragma once
// The About window: the banner, the program's name and version, the link to its web page and the
// credits; and the About and bug-report commands.

#include <QDialog>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QPushButton;

namespace kesta {

// The version the window shows.
inline constexpr char kAboutVersion[] = "v.3.0.3";

class TFrmAbout : public QDialog {
  Q_OBJECT
  // The language file captions the window by its title.
  Q_PROPERTY(QString caption READ windowTitle WRITE setWindowTitle)

 public:
  // `webPage`: the address the link shows and opens; without one there is no link. `openAddress` opens
  // an address for the link (the window does not know how failures are reported).
  TFrmAbout(QWidget* parent, const std::filesystem::path& imagesFolder, std::optional<std::string> webPage,
            std::function<void(const std::string&)> openAddress);

  void FormCreate();            // the version text
  void JvLinkLabelLinkClick();  // opens the web page

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildCredits(QWidget* panel);
  // Shows the web page's address in the label, shortened to the label's width.
  void ShowAddress(QLabel* label);

  std::optional<std::string> m_webPage;
  std::function<void(const std::string&)> m_openAddress;
  QLabel* m_labelVersion = nullptr;
  QLabel* m_jvLinkLabel = nullptr;
};

class DialogService;
class ProgramFolder;
class SettingsFile;
class TCommandTable;

// The About and bug-report commands, and opening the program's web addresses.
class TAboutCommands {
 public:
  struct Collaborators {
    QWidget& window;  // the About window's parent
    const ProgramFolder& folder;
    const SettingsFile& settings;
    DialogService& dialogs;
    std::function<QString(const QString& key)> lookup;
    TCommandTable& commands;
    std::function<void(QWidget* part)> translate;
  };
  explicit TAboutCommands(Collaborators collaborators) : m_with(std::move(collaborators)) {}

  void MenuAboutClick();
  void MenuBugReportClick();
  // The bug-report commands are offered only while a bug-report page is set; otherwise they say why not.
  void UpdateBugReportCommands();
  // Opens a web address with the desktop's handler; a failure to start one is reported.
  void OpenWebAddress(const std::string& address);

 private:
  Collaborators m_with;
};

}  // namespace kesta
