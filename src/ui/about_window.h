#pragma once
// The About window: the banner, the program's name and version, the link to its web page and the
// credits. The main window's About and bug-report commands live beside it (about_window.cpp).

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

}  // namespace kesta
