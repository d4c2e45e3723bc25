// The search's table of which control lies on which page is kept without widgets; the real pages must
// agree with it both ways.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSet>
#include <memory>

#include "language/message_catalogue.h"
#include "language/setting_search.h"
#include "settings/ini_file.h"
#include "support/program_install.h"
#include "support/scripted_dialogs.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"

namespace kesta {
namespace {

TEST(SettingSearchPlacesTest, EveryIndexedControlLiesOnItsPageAndEveryLabelledControlIsIndexed) {
  test::ProgramInstall install;
  test::ScriptedDialogs dialogs;
  TFrmKESTA window(WindowEnvironment{install.Folder(), &dialogs, {}});
  window.FormCreate();
  const TMessageCatalogue catalogue(install.Folder().Languages() / "en-EN.xml");
  // Controls the language file gives a caption, text, title or hint.
  QSet<QString> labelled;
  for (const LanguageEntry& entry : catalogue.Entries())
    for (const std::string& utf8 : entry.controls) {
      const QString reference = QString::fromStdString(utf8);
      const QString property = reference.section(u'.', 1).toLower();
      if (!entry.text.empty() &&
          (property == u"caption" || property == u"text" || property == u"title" || property == u"hint"))
        labelled.insert(reference.section(u'.', 0, 0));
    }
  const TSettingSearch search(catalogue);
  for (const PagePlace& place : PagePlaces()) {
    SCOPED_TRACE(place.page);
    window.Pages().ShowPage(QString::fromLatin1(place.page));
    QApplication::processEvents();
    QWidget* page = window.Pages().ActivePage();
    ASSERT_NE(page, nullptr);
    for (const SearchEntry& entry : search.Entries()) {
      const PagePlace* placed = PageOfControl(entry.control);
      // The page button lies in the ribbon.
      if (placed != &place || entry.control == place.button) continue;
      EXPECT_NE(page->findChild<QObject*>(QString::fromStdString(entry.control)), nullptr) << entry.control;
    }
    for (const QObject* child : page->findChildren<QObject*>()) {
      const QString name = child->objectName();
      if (!labelled.contains(name)) continue;
      const PagePlace* placed = PageOfControl(name.toStdString());
      EXPECT_TRUE(placed && qstrcmp(placed->page, place.page) == 0) << name.toStdString();
    }
  }
}

// The ribbon is laid out by its own design; the page each button shows and the tab that holds it come from
// the table the search names places by, so the two must agree.
TEST(SettingSearchPlacesTest, EachPageButtonLiesOnItsTabAndShowsItsPage) {
  test::ProgramInstall install;
  test::ScriptedDialogs dialogs;
  TFrmKESTA window(WindowEnvironment{install.Folder(), &dialogs, {}});
  window.FormCreate();
  auto* ribbon = window.findChild<TRibbon*>();
  ASSERT_NE(ribbon, nullptr);
  for (const PagePlace& place : PagePlaces()) {
    SCOPED_TRACE(place.button);
    auto* button = window.findChild<TRibbonButton*>(QLatin1StringView(place.button));
    ASSERT_NE(button, nullptr);
    TRibbonTab* tab = ribbon->TabOf(button);
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->objectName(), QLatin1StringView(place.tab));
    ribbon->SetActiveTab(tab);
    button->click();
    EXPECT_EQ(window.Pages().ActivePage()->objectName(), QLatin1StringView(place.page));
  }
}

}  // namespace
}  // namespace kesta
