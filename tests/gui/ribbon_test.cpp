#include "ui/ribbon.h"
#include "ui/ribbon_button.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QVBoxLayout>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "language/form_translator.h"
#include "support/temp_folder.h"
#include "ui/application_menu.h"
#include "ui/ribbon_icons.h"
#include "ui/ribbon_layout.h"
#include "ui/status_bar.h"
#include "ui/theme.h"

namespace kesta {
namespace {

// The main window's shape: 490 px wide, the ribbon along the top and pages below.
struct RibbonWindow {
  QWidget window;
  TRibbon* ribbon = new TRibbon(&window);
  RibbonLayout layout = BuildKestaRibbon(*ribbon);

  RibbonWindow() {
    window.setObjectName("FrmKESTA");
    window.setWindowTitle("Kesta");
    window.setFixedSize(490, 720);
    auto* column = new QVBoxLayout(&window);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(ribbon);
    column->addStretch(1);
  }
  void Show() {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  TRibbonButton* Button(const char* name) const { return layout.Button(name); }
  TRibbonTab* Tab(const char* name) const { return layout.Tab(name); }
};

// Object names with "|" for a separator, e.g. "dxButtonApply dxButtonReview dxButtonCancel |
// dxButtonOpenConfig".
QString Describe(const QList<QWidget*>& items, bool visibleOnly = false) {
  QStringList names;
  for (const QWidget* item : items) {
    if (visibleOnly && item->isHidden()) continue;
    names << (qobject_cast<const TRibbonButton*>(item) ? item->objectName() : QString("|"));
  }
  return names.join(' ');
}

QStringList Names(const QList<TRibbonButton*>& buttons) {
  QStringList names;
  for (const TRibbonButton* button : buttons) names << button->objectName();
  return names;
}

TEST(RibbonLayoutTest, TabsGroupsAndButtonsFollowTheDesign) {
  RibbonWindow w;
  QStringList actual;
  for (const TRibbonTab* tab : w.ribbon->Tabs())
    for (const TRibbonGroup* group : tab->Groups())
      actual << QString("%1 (%2) / %3 (%4): %5")
                    .arg(tab->objectName(), tab->Caption(), group->objectName(), group->Caption(),
                         Describe(group->Items()));
  const QStringList expected{
      "dxTabDisplay (Display) / dxBarGraphics (Graphics): dxButtonGraphicsStandard dxButtonGraphicsCockpit | "
      "dxButtonResolution | dxButtonScreenshots",
      "dxTabDisplay (Display) / dxBarOptimisations (Optimizations): dxButtonOptimisation "
      "dxButtonObjectClipping "
      "dxButtonObjectDensity",
      "dxTabGameSettings (Game settings) / dxBarMultiplayer (Multiplayer): dxButtonMultiClient "
      "dxButtonMultiServer",
      "dxTabGameSettings (Game settings) / dxBarGameSettings (Game settings): dxButtonRealism dxButtonOther",
      "dxTabGameSettings (Game settings) / dxBarAdvancedUser (Advanced user): dxButtonLUA",
      "dxTabCustomization (Customization) / dxBarView (View): dxButtonView dxButtonMouseView",
      "dxTabCustomization (Customization) / dxBarSmokePod (SmokePod): dxButtonSmokeColor",
      "dxTabOptions (Options) / dxBarOptions (Options): dxButtonOptions dxButtonBackup",
      "dxTabOptions (Options) / dxBarThemes (Appearance): dxButtonThemesBlue dxButtonThemesSilver "
      "dxButtonThemesBlack | dxButtonFormStyle",
  };
  EXPECT_EQ(actual, expected);
  EXPECT_EQ(w.ribbon->Tabs(), w.layout.tabs);
  EXPECT_EQ(w.ribbon->ActiveTab(), w.Tab("dxTabDisplay"));

  using Size = TRibbonButton::Size;
  EXPECT_EQ(w.Button("dxButtonGraphicsStandard")->ButtonSize(), Size::Large);
  for (const char* name : {"dxButtonOptimisation", "dxButtonObjectClipping", "dxButtonObjectDensity"})
    EXPECT_EQ(w.Button(name)->ButtonSize(), Size::Small) << name;
}

TEST(RibbonLayoutTest, PageButtonsLatchAndKnowTheirTab) {
  RibbonWindow w;
  QStringList latching;
  for (const TRibbonTab* tab : w.ribbon->Tabs())
    for (const TRibbonGroup* group : tab->Groups())
      for (TRibbonButton* button : group->Buttons()) {
        if (button->Latching()) latching << button->objectName();
        EXPECT_EQ(w.ribbon->TabOf(button), tab) << button->objectName().toStdString();
      }
  EXPECT_EQ(latching.size(), 17);
  EXPECT_EQ(Names(w.layout.pageButtons), latching);
  for (const char* name :
       {"dxButtonThemesBlue", "dxButtonThemesSilver", "dxButtonThemesBlack", "dxButtonFormStyle"})
    EXPECT_FALSE(w.Button(name)->isCheckable()) << name;
  EXPECT_EQ(w.ribbon->TabOf(w.Button("dxButtonOpenConfig")), nullptr);
  EXPECT_EQ(w.ribbon->TabOf(w.layout.applyButtons.front()), nullptr);
}

TEST(RibbonLayoutTest, QuickBarAndApplicationMenuHoldTheirCommandsInOrder) {
  RibbonWindow w;
  EXPECT_EQ(Names(w.ribbon->QuickButtons()),
            QStringList({"dxButtonApply", "dxButtonReview", "dxButtonCancel"}));
  const TApplicationMenu& menu = *w.ribbon->ApplicationMenu();
  EXPECT_EQ(menu.objectName(), "dxBarApplicationMenu1");
  EXPECT_EQ(Describe(menu.Items()),
            "dxButtonApply dxButtonReview dxButtonCancel dxButtonUndoApply | dxButtonOpenConfig "
            "dxButtonSaveConfig | "
            "dxButtonPlay "
            "dxButtonOpenServer "
            "dxButtonJoinServer | dxButtonLotatcNet | dxButtonLotatcClient dxButtonLotatcServer | "
            "dxButtonKESTAUpdate dxButtonReportBug");
  EXPECT_EQ(Names(menu.FootButtons()), QStringList({"dxButtonAbout", "dxButtonExit"}));
  EXPECT_EQ(menu.ExtraPaneHeader(), "Configuration récentes");

  // Both copies of Apply and Cancel carry the design name, quick bar first.
  ASSERT_EQ(w.layout.applyButtons.size(), 2);
  ASSERT_EQ(w.layout.cancelButtons.size(), 2);
  EXPECT_EQ(w.layout.applyButtons[0], w.ribbon->QuickButtons()[0]);
  EXPECT_EQ(w.layout.applyButtons[1], menu.Items()[0]);
  EXPECT_EQ(w.layout.cancelButtons[1], menu.Items()[2]);
  // Review changes stands beside Apply in both places.
  ASSERT_EQ(w.layout.reviewButtons.size(), 2);
  EXPECT_EQ(w.layout.reviewButtons[0], w.ribbon->QuickButtons()[1]);
  EXPECT_EQ(w.layout.reviewButtons[1], menu.Items()[1]);
  EXPECT_EQ(w.Button("dxButtonApply"), w.layout.applyButtons[0]);
  for (const TRibbonButton* copy : w.layout.applyButtons) {
    EXPECT_EQ(copy->objectName(), "dxButtonApply");
    EXPECT_EQ(copy->toolTip(), "Apply configuration to Lock On");
  }
  // Every other hint is the caption.
  for (const TRibbonButton* button : w.layout.buttons) {
    if (button->objectName() == "dxButtonApply") continue;
    EXPECT_EQ(button->toolTip(), button->Caption()) << button->objectName().toStdString();
  }
}

TEST(RibbonTest, TabChangedFollowsEveryActualChangeFromCodeAndClicks) {
  RibbonWindow w;
  w.Show();
  QSignalSpy changes(w.ribbon, &TRibbon::TabChanged);
  TRibbonTab* options = w.Tab("dxTabOptions");
  TRibbonTab* display = w.Tab("dxTabDisplay");

  w.ribbon->SetActiveTab(display);  // already active
  EXPECT_EQ(changes.count(), 0);
  w.ribbon->SetActiveTab(options);
  ASSERT_EQ(changes.count(), 1);
  EXPECT_EQ(changes.takeFirst().at(0).value<TRibbonTab*>(), options);
  w.ribbon->SetActiveTab(nullptr);
  EXPECT_EQ(changes.count(), 0);

  QTest::mouseClick(w.ribbon->TabButton(w.Tab("dxTabCustomization")), Qt::LeftButton);
  ASSERT_EQ(changes.count(), 1);
  EXPECT_EQ(changes.takeFirst().at(0).value<TRibbonTab*>(), w.Tab("dxTabCustomization"));
  EXPECT_EQ(w.ribbon->ActiveTab(), w.Tab("dxTabCustomization"));
  EXPECT_TRUE(w.Tab("dxTabCustomization")->isVisible());
  EXPECT_FALSE(display->isVisible());
  EXPECT_TRUE(w.ribbon->TabButton(w.Tab("dxTabCustomization"))->isChecked());

  QTest::mouseClick(w.ribbon->TabButton(w.Tab("dxTabCustomization")), Qt::LeftButton);
  EXPECT_EQ(changes.count(), 0);
  EXPECT_TRUE(w.ribbon->TabButton(w.Tab("dxTabCustomization"))->isChecked());
}

TEST(RibbonButtonTest, LatchingButtonIsReleasedOnlyByCode) {
  RibbonWindow w;
  w.Show();
  TRibbonButton* resolution = w.Button("dxButtonResolution");
  QSignalSpy clicks(resolution, &QToolButton::clicked);
  QTest::mouseClick(resolution, Qt::LeftButton);
  QTest::mouseClick(resolution, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 2);
  EXPECT_TRUE(resolution->Pressed());
  resolution->SetPressed(false);
  EXPECT_FALSE(resolution->Pressed());

  TRibbonButton* blue = w.Button("dxButtonThemesBlue");
  QTest::mouseClick(blue, Qt::LeftButton);
  EXPECT_FALSE(blue->Pressed());
}

TEST(RibbonButtonTest, CaptionDoublesAsHintUntilAHintIsSet) {
  TRibbonButton button("dxButtonView", TRibbonButton::Size::Small);
  button.SetCaption("Save & load");
  EXPECT_EQ(button.Caption(), "Save & load");
  EXPECT_EQ(button.text(), "Save && load");  // shown as typed, not as a shortcut
  EXPECT_EQ(button.toolTip(), "Save & load");
  ASSERT_TRUE(button.setProperty("toolTip", QString("Explained")));  // the translator's "Hint"
  button.SetCaption("Views");
  EXPECT_EQ(button.toolTip(), "Explained");
  ASSERT_TRUE(button.setProperty("description", QString("Long text")));
  EXPECT_EQ(button.Description(), "Long text");
  EXPECT_EQ(button.text(), "Views");

  // Large buttons take two short lines rather than one wide one.
  TRibbonButton large("dxButtonMultiClient");
  large.SetCaption("Client settings");
  EXPECT_EQ(large.text(), "Client\nsettings");
  EXPECT_EQ(large.Caption(), "Client settings");
}

// A language file labels tabs, groups, both copies of Apply and the recent pane through the translator.
TEST(RibbonTest, TranslatorCaptionsEveryPartByDesignName) {
  RibbonWindow w;
  test::TempFolder folder;
  const auto file = folder.Write("en.xml", R"(<language>
  <entry><string>Screen</string><controls><control>dxTabDisplay.Caption</control></controls></entry>
  <entry><string>Pictures</string><controls><control>dxBarGraphics.Caption</control></controls></entry>
  <entry><string>Commit</string><controls><control>dxButtonApply.Caption</control></controls></entry>
  <entry><string>Write to the game</string><controls><control>dxButtonApply.Hint</control></controls></entry>
  <entry><string>Recent</string><controls><control>dxBarApplicationMenu1.ExtraPane.Header</control></controls></entry>
</language>)");
  TFormTranslator translator(&w.window, file);
  translator.TranslateControls();
  EXPECT_EQ(w.Tab("dxTabDisplay")->Caption(), "Screen");
  EXPECT_EQ(w.ribbon->TabButton(w.Tab("dxTabDisplay"))->text(), "Screen");
  EXPECT_EQ(w.ribbon->Tabs()[0]->Groups()[0]->Caption(), "Pictures");
  for (const TRibbonButton* apply : w.layout.applyButtons) {
    EXPECT_EQ(apply->Caption(), "Commit");
    EXPECT_EQ(apply->toolTip(), "Write to the game");
  }
  EXPECT_EQ(w.ribbon->ApplicationMenu()->ExtraPaneHeader(), "Recent");
}

TEST(ApplicationMenuTest, OpensBelowTheApplicationButtonAndClosesOnAClick) {
  RibbonWindow w;
  w.Show();
  TApplicationMenu* menu = w.ribbon->ApplicationMenu();
  QAbstractButton* appButton = w.ribbon->ApplicationButton();
  EXPECT_EQ(appButton->objectName(), "dxRibbonApplicationButton");

  QTest::mouseClick(appButton, Qt::LeftButton);
  ASSERT_TRUE(menu->isVisible());
  EXPECT_EQ(menu->pos(), appButton->mapToGlobal(QPoint(0, appButton->height())));
  EXPECT_NEAR(menu->ExtraPaneWidth(), menu->ItemColumnWidth() * 1.2, 1.0);
  TRibbonButton* open = w.Button("dxButtonOpenConfig");
  EXPECT_GE(open->width(), open->sizeHint().width());
  QSignalSpy opened(open, &QToolButton::clicked);
  QTest::mouseClick(open, Qt::LeftButton);
  EXPECT_EQ(opened.count(), 1);
  EXPECT_FALSE(menu->isVisible());

  // Recent configurations report their index and close the menu too.
  menu->SetRecentItems({"config_2008_03_14.kst", "night & day.kst"});
  QSignalSpy recent(menu, &TApplicationMenu::RecentItemClicked);
  QTest::mouseClick(appButton, Qt::LeftButton);
  ASSERT_TRUE(menu->isVisible());
  ASSERT_EQ(menu->RecentButtons().size(), 2);
  EXPECT_EQ(menu->RecentButtons()[1]->text(), "night && day.kst");
  QTest::mouseClick(menu->RecentButtons()[1], Qt::LeftButton);
  ASSERT_EQ(recent.count(), 1);
  EXPECT_EQ(recent.takeFirst().at(0).toInt(), 1);
  EXPECT_FALSE(menu->isVisible());

  QTest::mouseClick(appButton, Qt::LeftButton);
  QTest::keyClick(menu, Qt::Key_Escape);
  EXPECT_FALSE(menu->isVisible());
}

// The companion commands are hidden when the companion is missing; their groups' lines go with them.
TEST(ApplicationMenuTest, HiddenCommandsLeaveNoDoubledSeparatorOrGap) {
  RibbonWindow w;
  w.Show();
  TApplicationMenu* menu = w.ribbon->ApplicationMenu();
  QTest::mouseClick(w.ribbon->ApplicationButton(), Qt::LeftButton);
  const int fullHeight = menu->height();
  menu->close();
  for (const char* name : {"dxButtonLotatcNet", "dxButtonLotatcClient", "dxButtonLotatcServer"})
    w.Button(name)->hide();
  QTest::mouseClick(w.ribbon->ApplicationButton(), Qt::LeftButton);
  EXPECT_LT(menu->height(), fullHeight - 3 * w.Button("dxButtonPlay")->height());
  menu->close();
  EXPECT_EQ(Describe(menu->Items(), true),
            "dxButtonApply dxButtonReview dxButtonCancel dxButtonUndoApply | dxButtonOpenConfig "
            "dxButtonSaveConfig | "
            "dxButtonPlay dxButtonOpenServer "
            "dxButtonJoinServer | dxButtonKESTAUpdate dxButtonReportBug");
  w.Button("dxButtonLotatcClient")->show();
  EXPECT_EQ(Describe(menu->Items(), true),
            "dxButtonApply dxButtonReview dxButtonCancel dxButtonUndoApply | dxButtonOpenConfig "
            "dxButtonSaveConfig | "
            "dxButtonPlay dxButtonOpenServer "
            "dxButtonJoinServer | dxButtonLotatcClient | dxButtonKESTAUpdate dxButtonReportBug");
}

TEST(RibbonFrameTest, NewStyleMakesTheTitleRowTheWindowCaption) {
  RibbonWindow w;
  w.Show();
  QSignalSpy resized(w.ribbon, &TRibbon::SizeChanged);
  w.ribbon->SetDrawsWindowFrame(true);
  EXPECT_TRUE(w.window.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(w.window.isVisible());
  EXPECT_EQ(w.ribbon->height(), 159);
  QApplication::processEvents();
  EXPECT_GE(resized.count(), 1);
  EXPECT_TRUE(w.ribbon->CaptionLabel()->isVisible());
  EXPECT_TRUE(w.ribbon->MinimizeButton()->isVisible());
  EXPECT_TRUE(w.ribbon->CloseButton()->isVisible());
  EXPECT_EQ(w.ribbon->CaptionLabel()->text(), "KESTA - Kesta");
  w.window.setWindowTitle("Kesta 2");
  EXPECT_EQ(w.ribbon->CaptionLabel()->text(), "KESTA - Kesta 2");

  // Dragging the title row moves the window.
  const QPoint before = w.window.pos();
  QWidget* title = w.ribbon->TitleRow();
  const QPoint grip(title->width() / 2, title->height() / 2);
  QTest::mousePress(title, Qt::LeftButton, {}, grip);
  QTest::mouseMove(title, grip + QPoint(30, 20));
  QTest::mouseRelease(title, Qt::LeftButton, {}, grip + QPoint(30, 20));
  EXPECT_EQ(w.window.pos(), before + QPoint(30, 20));

  w.ribbon->SetDrawsWindowFrame(false);
  EXPECT_FALSE(w.window.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(w.window.isVisible());
  EXPECT_FALSE(w.ribbon->CaptionLabel()->isVisible());
  EXPECT_FALSE(w.ribbon->MinimizeButton()->isVisible());
  EXPECT_FALSE(w.ribbon->CloseButton()->isVisible());
  // Without the caption the quick bar keeps its buttons together at the left.
  const QList<TRibbonButton*> quick = w.ribbon->QuickButtons();
  EXPECT_LE(quick[1]->x() - quick[0]->geometry().right(), 4);
  QTest::mousePress(title, Qt::LeftButton, {}, grip);
  QTest::mouseMove(title, grip + QPoint(30, 20));
  QTest::mouseRelease(title, Qt::LeftButton, {}, grip + QPoint(30, 20));
  EXPECT_EQ(w.window.pos(), before + QPoint(30, 20));  // the system frame moves a classic window
}

TEST(RibbonFrameTest, CaptionButtonsMinimiseAndCloseTheWindow) {
  RibbonWindow w;
  w.ribbon->SetDrawsWindowFrame(true);
  w.Show();
  QTest::mouseClick(w.ribbon->MinimizeButton(), Qt::LeftButton);
  EXPECT_TRUE(w.window.isMinimized());
  w.window.showNormal();
  QTest::mouseClick(w.ribbon->CloseButton(), Qt::LeftButton);
  EXPECT_FALSE(w.window.isVisible());
}

QColor PixelAt(QWidget& widget, QPoint at) { return widget.grab().toImage().pixelColor(at); }

// Saves what the ribbon looks like when KESTA_RIBBON_SHOTS names a folder.
void SaveShot(QWidget& window, const QString& name, QWidget* popup = nullptr) {
  const QString folder = qEnvironmentVariable("KESTA_RIBBON_SHOTS");
  if (folder.isEmpty()) return;
  QImage image = window.grab().toImage();
  if (popup) {
    QPainter painter(&image);
    painter.drawPixmap(window.mapFromGlobal(popup->pos()), popup->grab());
  }
  image.save(QDir(folder).filePath("ribbon-" + name + ".png"));
}

TEST(ThemeTest, SchemesGiveClearlyDifferentRibbons) {
  RibbonWindow w;
  w.ribbon->SetDrawsWindowFrame(true);
  w.Show();
  w.Button("dxButtonGraphicsStandard")->SetPressed(true);  // as after start-up
  const QPoint tabRow(w.ribbon->width() - 10, w.ribbon->TitleRow()->height() + 5);
  const QPoint body(w.ribbon->width() - 10, w.ribbon->height() - 20);
  std::set<QRgb> tabRows;
  std::set<QRgb> bodies;
  std::set<QRgb> statusBars;
  TStatusBar statusBar;
  statusBar.resize(200, 22);
  for (ColorScheme scheme : {ColorScheme::Blue, ColorScheme::Silver, ColorScheme::Black}) {
    w.ribbon->SetColorScheme(scheme);
    EXPECT_EQ(w.ribbon->Scheme(), scheme);
    tabRows.insert(PixelAt(*w.ribbon, tabRow).rgb());
    bodies.insert(PixelAt(*w.ribbon, body).rgb());
    statusBar.SetColorScheme(scheme);
    statusBars.insert(PixelAt(statusBar, QPoint(100, 11)).rgb());
    SaveShot(w.window, SchemeName(scheme).toLower());
  }
  EXPECT_EQ(tabRows.size(), 3u);
  EXPECT_EQ(bodies.size(), 3u);
  EXPECT_EQ(statusBars.size(), 3u);
  // The dark scheme is dark.
  EXPECT_LT(QColor(PixelAt(*w.ribbon, tabRow)).lightness(), 80);

  w.ribbon->SetColorScheme(ColorScheme::Blue);
  w.ribbon->ApplicationMenu()->SetRecentItems({"config_2008_03_14.kst", "campaign.kst"});
  QTest::mouseClick(w.ribbon->ApplicationButton(), Qt::LeftButton);
  SaveShot(w.window, "menu", w.ribbon->ApplicationMenu());
  w.ribbon->ApplicationMenu()->close();
  w.ribbon->SetActiveTab(w.Tab("dxTabOptions"));
  w.ribbon->SetColorScheme(ColorScheme::Black);
  SaveShot(w.window, "options-black");
}

TEST(ThemeTest, StoredNamesMatchWithLetterCaseCounting) {
  EXPECT_EQ(SchemeFromName("Blue"), ColorScheme::Blue);
  EXPECT_EQ(SchemeFromName("Silver"), ColorScheme::Silver);
  EXPECT_EQ(SchemeFromName("Black"), ColorScheme::Black);
  EXPECT_EQ(SchemeFromName("blue"), std::nullopt);
  EXPECT_EQ(SchemeFromName(""), std::nullopt);
}

TEST(RibbonIconsTest, EveryDesignedButtonHasItsOwnGlyph) {
  RibbonWindow w;
  w.Show();  // glyphs are drawn when the ribbon is first shown
  for (const TRibbonButton* button : w.layout.buttons) {
    EXPECT_TRUE(HasRibbonGlyph(button->objectName())) << button->objectName().toStdString();
    EXPECT_FALSE(button->icon().pixmap(32).isNull());
  }
  EXPECT_FALSE(HasRibbonGlyph("dxButtonUnknown"));
  EXPECT_FALSE(RibbonIcon("dxButtonUnknown").pixmap(16).isNull());
}

// A disabled command must look disabled: its glyph loses its colour.
TEST(RibbonIconsTest, DisabledGlyphsAreGrey) {
  const QIcon icon = RibbonIcon("dxButtonPlay");
  for (int side : {16, 32}) {
    const QImage normal = icon.pixmap(side, QIcon::Normal).toImage();
    const QImage disabled = icon.pixmap(side, QIcon::Disabled).toImage();
    ASSERT_EQ(normal.size(), QSize(side, side));
    ASSERT_EQ(disabled.size(), QSize(side, side));
    int colourful = 0;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) {
        if (qAlpha(normal.pixel(x, y)) > 128 && QColor(normal.pixel(x, y)).hsvSaturation() > 80) ++colourful;
        if (qAlpha(disabled.pixel(x, y)) > 128) {
          EXPECT_LT(QColor(disabled.pixel(x, y)).hsvSaturation(), 40);
        }
      }
    EXPECT_GT(colourful, 0) << "the enabled glyph has colour to lose";
  }
}

// Every tab must fit the fixed 490 px window in every shipped language, with no caption cut short.
TEST(RibbonLookTest, EveryTabFitsTheWindowInEveryLanguage) {
  const std::filesystem::path languages = test::SourceFolder() / "resources" / "Languages";
  ASSERT_TRUE(std::filesystem::is_directory(languages));
  for (const auto& entry : std::filesystem::directory_iterator(languages)) {
    if (entry.path().extension() != ".xml") continue;
    SCOPED_TRACE(entry.path().filename().string());
    RibbonWindow w;
    w.ribbon->SetDrawsWindowFrame(true);
    TFormTranslator translator(&w.window, entry.path());
    translator.TranslateControls();
    w.Show();
    for (TRibbonTab* tab : w.ribbon->Tabs()) {
      const QAbstractButton* caption = w.ribbon->TabButton(tab);
      EXPECT_GE(caption->width(), caption->sizeHint().width()) << tab->objectName().toStdString();
      EXPECT_LE(caption->geometry().right(), w.ribbon->width()) << tab->objectName().toStdString();
    }
    for (TRibbonTab* tab : w.ribbon->Tabs()) {
      w.ribbon->SetActiveTab(tab);
      QApplication::processEvents();
      const TRibbonGroup* last = tab->Groups().back();
      EXPECT_LE(last->mapTo(w.ribbon, QPoint(last->width(), 0)).x(), w.ribbon->width())
          << tab->objectName().toStdString();
      for (const TRibbonGroup* group : tab->Groups())
        for (const TRibbonButton* button : group->Buttons())
          EXPECT_GE(button->width(), button->sizeHint().width()) << button->objectName().toStdString();
      SaveShot(w.window, QString::fromStdString(entry.path().stem().string()) + "-" + tab->objectName());
    }
  }
}

}  // namespace
}  // namespace kesta
