// Starts the real window on a copy of the sample game, visits every page by clicking through the
// ribbon as a person would, and saves a picture of each, so that people can look at the program without
// a display of their own. Under X (for example xvfb-run) the pictures are what the X server shows.
//   kesta_screenshot_tour [--scale FACTOR] OUTPUT_FOLDER [LANGUAGE_CODE...]   (all six languages without a
//   code)
// --scale 2 shows the program as on a screen scaled to 200 % (Qt's QT_SCALE_FACTOR); under Xvfb give it a
// screen of at least 1000x1500 pixels.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <fstream>
#include <iostream>

#include "documents/graphics_document.h"
#include "pages/multiplayer/f4_view_window.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "settings/ini_file.h"
#include "support/program_install.h"
#include "support/scripted_dialogs.h"
#include "ui/about_window.h"
#include "ui/application_menu.h"
#include "ui/command_table.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/review_window.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"
#include "ui/ribbon_layout.h"
#include "ui/setting_finder.h"
#include "ui/special_slider.h"

namespace {

constexpr const char* kPageButtons[] = {"dxButtonGraphicsStandard",
                                        "dxButtonGraphicsCockpit",
                                        "dxButtonResolution",
                                        "dxButtonScreenshots",
                                        "dxButtonOptimisation",
                                        "dxButtonObjectClipping",
                                        "dxButtonObjectDensity",
                                        "dxButtonMultiClient",
                                        "dxButtonMultiServer",
                                        "dxButtonRealism",
                                        "dxButtonOther",
                                        "dxButtonLUA",
                                        "dxButtonView",
                                        "dxButtonMouseView",
                                        "dxButtonSmokeColor",
                                        "dxButtonOptions",
                                        "dxButtonBackup"};

void Save(QWidget* widget, const QString& file, QRect area = {}) {
  QTest::qWait(50);  // let the window repaint after the click
  QScreen* screen = widget->screen();
  const bool onX = QGuiApplication::platformName() == "xcb";
  // On X, the screen's pixels where the window is, so that popups over it are in the picture too.
  area = area.isNull() ? widget->frameGeometry() : area;
  const QPixmap picture =
      onX && screen ? screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()) : widget->grab();
  picture.save(file);
  std::cout << file.toStdString() << '\n';
}

void Click(QWidget* widget) {
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

// The key goes where the keyboard is, as a person's would.
void Press(Qt::Key key) {
  QWidget* target = QApplication::focusWidget();
  QTest::keyClick(target ? target : QApplication::activeWindow(), key);
}

// The search field with the list for a query, then the entry of that row opened: its control marked.
void SaveSearch(kesta::TFrmKESTA& window, const QString& prefix, const QString& query, int row) {
  kesta::TSettingFinder& search = window.Search();
  search.FocusField();
  search.Field()->setText(query);
  search.UpdateList();
  Save(&window, prefix + "-Search.png");
  search.List()->setCurrentRow(std::min(row, search.List()->count() - 1));
  search.OpenCurrent();
  QTest::qWait(150);  // the page is painted, the mark still at its full strength
  Save(&window, prefix + "-SearchMark.png");
  search.Field()->clear();
}

// Where the keyboard is, in each colour scheme: a slider of the first page, reached as Tab reaches it,
// then the latched page button and its neighbour in the ribbon, reached with F10 and the arrows.
void SaveFocusMarks(kesta::TFrmKESTA& window, const QString& output) {
  window.activateWindow();
  if (!QTest::qWaitForWindowActive(&window)) std::cerr << "the window never became active\n";
  for (const QString scheme : {"Blue", "Silver", "Black"}) {
    window.RibbonButton("dxButtonThemes" + scheme)->click();
    window.RibbonButton("dxButtonGraphicsStandard")->click();
    if (auto* slider = window.Pages().ActivePage()->findChild<kesta::TSpecialSlider*>())
      slider->setFocus(Qt::TabFocusReason);
    Save(&window, QString("%1/Focus-%2-slider.png").arg(output, scheme));
    Press(Qt::Key_F10);
    Press(Qt::Key_Down);
    Save(&window, QString("%1/Focus-%2-ribbon-latched.png").arg(output, scheme));
    Press(Qt::Key_Right);
    Save(&window, QString("%1/Focus-%2-ribbon.png").arg(output, scheme));
    Press(Qt::Key_Up);
    Press(Qt::Key_Up);
    Save(&window, QString("%1/Focus-%2-application-button.png").arg(output, scheme));
    Press(Qt::Key_Escape);
    // Ribbon buttons the search opened, marked on the scheme's ribbon: a latched page button, a command.
    SaveSearch(window, QString("%1/Focus-%2").arg(output, scheme), "@page TabSheetGraphicsStandards", 0);
    SaveSearch(window, QString("%1/Focus-%2-command").arg(output, scheme),
               window.RibbonButton("dxButtonThemes" + scheme)->Caption(), 0);
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty() && qgetenv("DISPLAY").isEmpty())
    qputenv("QT_QPA_PLATFORM", "offscreen");
  int first = 1;
  // Qt reads the factor when the application starts.
  if (argc > 2 && std::string(argv[1]) == "--scale") {
    qputenv("QT_SCALE_FACTOR", argv[2]);
    first = 3;
  }
  QApplication application(argc, argv);
  if (argc <= first) {
    std::cerr << "usage: kesta_screenshot_tour [--scale FACTOR] OUTPUT_FOLDER [LANGUAGE_CODE...]\n";
    return 2;
  }
  const QString output = argv[first];
  QDir().mkpath(output);
  QStringList languages;
  for (int i = first + 1; i < argc; ++i) languages << argv[i];
  if (languages.isEmpty()) languages = {"EN", "FR", "SP", "RU", "HR", "DE"};

  for (const QString& language : languages) {
    kesta::test::ProgramInstall install;
    kesta::WriteIniValue(install.SettingsFile(), "Config", "Language", language.toStdString());
    // Recent configurations for the menu's pane, one with a name too long for it.
    std::ofstream(install.Folder().RecentList())
        << (install.Folder().Backups() / "config_2008_03_14.kst").string() << '\n'
        << (install.Folder().Backups() / "campaign_red_flag_nevada_evening_sorties_2008_03_14.kst").string()
        << '\n'
        << "/home/pilot/night & day.kst\n";
    // Example servers, so that the About window shows its link.
    kesta::WriteIniValue(install.SettingsFile(), "Config", "WebSiteHost", "kesta.example.org");
    kesta::WriteIniValue(install.SettingsFile(), "Config", "DownloadServerHost", "downloads.example.org");
    kesta::test::ScriptedDialogs dialogs;
    kesta::TFrmKESTA window({install.Folder(), &dialogs, {}});
    window.FormCreate();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) std::cerr << "the window never appeared\n";
    // Two Applies and an undo, so that the backup page's history has entries.
    for (int level : {0, 1}) {
      window.GameFiles().Get<kesta::GraphicsDocument>().textureLevel = level;
      window.Configuration().dxButtonApplyClick();
    }
    dialogs.QueueYes();
    window.Configuration().dxButtonUndoApplyClick();
    dialogs.ClearRecorded();
    for (const char* name : kPageButtons) {
      kesta::TRibbonButton* button = window.RibbonButton(name);
      Click(window.Ribbon()->TabButton(window.Ribbon()->TabOf(button)));
      Click(button);
      Save(&window, QString("%1/%2-%3.png").arg(output, language, QString(name).mid(8)));
    }
    Click(window.Ribbon()->ApplicationButton());
    Save(&window, QString("%1/%2-menu.png").arg(output, language),
         window.frameGeometry().united(window.Ribbon()->ApplicationMenu()->frameGeometry()));
    window.Ribbon()->ApplicationMenu()->hide();
    // The history of Applies, opened from the backup page, its newest entry chosen.
    window.Pages().ShowPage("TabSheetBackup");
    if (auto* open = window.findChild<QToolButton*>("ButtonApplyHistory")) {
      Click(open);
      auto* history = window.findChild<QDialog*>("FormApplyHistory");
      auto* list = window.findChild<QTreeWidget*>("TreeApplyHistory");
      if (history && list && QTest::qWaitForWindowExposed(history)) {
        list->setCurrentItem(list->topLevelItem(0));
        Save(history, QString("%1/%2-History.png").arg(output, language));
        history->hide();
      } else {
        std::cerr << "the history of Applies never appeared\n";
      }
    }
    // The tray icon's menu, opened over the window as a tray would open it, with its Join submenu.
    if (auto* tray = window.findChild<QMenu*>("PopupDroit")) {
      tray->popup(window.mapToGlobal(QPoint(60, 200)));
      QTest::qWait(50);
      QMenu* join = window.findChild<QMenu*>("MenuSysTrayJoin");
      if (join) tray->setActiveAction(join->menuAction());
      QTest::qWait(400);  // the submenu opens after a delay
      QRect area = tray->frameGeometry();
      if (join && join->isVisible()) area = area.united(join->frameGeometry());
      Save(tray, QString("%1/%2-tray.png").arg(output, language), area);
      tray->hide();
    }
    // The update page after a check: no update server is configured in a fresh installation.
    window.RibbonButton("dxButtonKESTAUpdate")->click();
    QTest::qWait(50);
    Save(&window, QString("%1/%2-Update.png").arg(output, language));
    // The F4 window over the window, with the camera placed by a click on each view.
    QTimer::singleShot(0, [&] {
      if (auto* f4 = qobject_cast<kesta::TFrmF4View*>(QApplication::activeModalWidget())) {
        if (!QTest::qWaitForWindowExposed(f4)) std::cerr << "the F4 window never appeared\n";
        f4->ImageMouseUp({170, 140});
        f4->ImageSideMouseUp({60, 140});
        Save(f4, QString("%1/%2-F4View.png").arg(output, language));
        f4->reject();
      }
    });
    window.Pages().ShowPage("TabSheetViewCockpit");
    window.findChild<QPushButton*>("ButtonF4View")->click();
    // The About window over the window.
    QTimer::singleShot(0, [&] {
      if (auto* about = qobject_cast<kesta::TFrmAbout*>(QApplication::activeModalWidget())) {
        if (!QTest::qWaitForWindowExposed(about)) std::cerr << "the About window never appeared\n";
        Save(about, QString("%1/%2-About.png").arg(output, language));
        about->accept();
      }
    });
    window.About().MenuAboutClick();
    // Review changes after edits of two files.
    window.RibbonButton("dxButtonGraphicsStandard")->click();
    if (auto* slider = window.findChild<kesta::TSpecialSlider*>("SpecialSliderTextureLevel"))
      slider->SetPosition(0);
    window.RibbonButton("dxButtonGraphicsCockpit")->click();
    if (auto* slider = window.findChild<kesta::TSpecialSlider*>("SpecialSliderMirrors"))
      slider->SetPosition(0);
    window.Commands().Trigger(kesta::command::kReview);
    if (auto* review = window.findChild<kesta::TReviewWindow*>("ReviewWindow")) {
      if (!QTest::qWaitForWindowExposed(review)) std::cerr << "the review never appeared\n";
      Save(review, QString("%1/%2-Review.png").arg(output, language));
      review->close();
    }
    // The choice a player makes when several game managers' prefixes hold the game.
    kesta::QtDialogService realDialogs(&window);
    realDialogs.SetTexts(dialogs.Texts());
    QTimer::singleShot(0, [&] {
      if (QWidget* choice = QApplication::activeModalWidget()) {
        if (!QTest::qWaitForWindowExposed(choice)) std::cerr << "the prefix choice never appeared\n";
        Save(choice, QString("%1/%2-PrefixChoice.png").arg(output, language));
        choice->close();
      }
    });
    realDialogs.ChooseItem(
        window.LookupMessage("GameInSeveralPrefixesCaption"), window.LookupMessage("GameInSeveralPrefixes"),
        {"LockOn  \u2014  /home/pilot/.local/share/bottles/bottles/LockOn/drive_c/Games/Lock On/",
         "lock-on  \u2014  /home/pilot/Games/lock-on/drive_c/Program Files/Lock On/"});
    // The search's list of one page's controls, and a check box it opened.
    SaveSearch(window, QString("%1/%2").arg(output, language), "@page TabSheetRealism", 4);
    if (language == languages.front()) SaveFocusMarks(window, output);
    for (const auto& dialog : dialogs.Recorded())
      std::cerr << language.toStdString() << " dialog: " << dialog.text.toStdString() << '\n';
  }
  return 0;
}
