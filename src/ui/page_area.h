#pragma once
// The page area under the ribbon: the pages, each built on its first visit; the ribbon's page buttons and
// tabs that choose them; and the picture shown above some of them.

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string_view>

#include "pages/page_host.h"

class QLabel;
class QStackedWidget;
class QWidget;

namespace kesta {

class DialogService;
class ProgramFolder;
class TGameFileSet;
class TGamePage;
class TRibbon;
class TRibbonButton;
class TRibbonTab;
class TTabSheet;
struct RibbonLayout;

class TPageArea : public QObject {
 public:
  struct Collaborators {
    QWidget& window;  // the parent of the area's panel
    TRibbon& ribbon;
    const RibbonLayout& layout;
    TGameFileSet& files;
    DialogService& dialogs;
    const ProgramFolder& folder;  // the pictures
    const bool& busy;             // start-up: only the last picture asked for is decoded, at its end
    // Fills a page's sheet with its controls on its first visit; the page object, or nullptr for a page
    // without one.
    std::function<TGamePage*(const QString& page, TTabSheet* sheet)> makePage;
    // Whether a page shows a game file's values.
    std::function<bool(const QString& page, std::string_view catalogKey)> showsFile;
    // Translates a part made after start-up.
    std::function<void(QWidget* part)> translate;
  };

  explicit TPageArea(Collaborators collaborators);
  ~TPageArea() override;

  // The panel with the picture and the pages: the window's central widget.
  QWidget* Panel() const { return m_panelMain; }
  // Every page the area can show, built or not.
  static QStringList PageNames();

  // Shows a page, building it on its first visit.
  void ShowPage(const QString& name);
  // Shows a page with the picture it shows above it; as its ribbon button would, when asked so and it has
  // one.
  void OpenPage(const QString& page, PageOpening how);
  QWidget* ActivePage() const;

  void PageButtonClick(TRibbonButton* button);
  void dxRibbonTabChanged(TRibbonTab* tab);
  void CheckPageButton(TRibbonButton* button);
  void PageControlChange();
  // The start-up page: the first tab, its first page and button.
  void ShowFirstPage();

  // Fills the built pages of a game file from its document again.
  void RefreshPages(std::string_view catalogKey);
  void RefreshPage(const QString& name);
  void RefreshAll();  // texts the pages take from messages, after the language is loaded

  // Shows a picture of the images folder above the page; a picture that cannot be shown is reported.
  bool ShowPreviewPicture(const QString& name);
  // Fails with a text for the user when the picture cannot be shown.
  void LoadPreviewPicture(const QString& name);
  void CheckPreviewPicture(const QString& name) const;
  // The picture start-up asked for last, once it has ended.
  void ShowPendingPreview();

 private:
  void Build();
  void ConnectPageButtons();
  TTabSheet* Sheet(const QString& name);  // the page's sheet, made with its controls on the first call
  TRibbonButton* Button(const char* name) const;

  Collaborators m_collaborators;
  QWidget* m_panelMain = nullptr;
  QWidget* m_panelImageGraphics = nullptr;
  QLabel* m_imageGraphics = nullptr;
  QStackedWidget* m_pageControl = nullptr;
  std::map<QString, TTabSheet*> m_pages;       // the sheets made so far, by page name
  std::map<QString, TGamePage*> m_builtPages;  // their page objects, for the pages that have one
  QString m_pendingPreview;
  // The picture shown above the page and its file's size and time when it was read: every load of the
  // graphics file asks for the default picture again, and decoding it costs more than the load.
  struct ShownPreview {
    QString name;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written;
  } m_shownPreview;
  bool m_tabChangeConnected = false;
};

}  // namespace kesta
