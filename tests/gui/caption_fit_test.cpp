// The stepped sliders' labels have a fixed width: in every shipped language each title and each step
// caption must fit it, measured on the real window with every page shown in turn. The pages laid out
// by their layouts must give every caption its room, and so must the ribbon and its menu.
// The same tests run a second time at scale factor 2 (QT_SCALE_FACTOR=2, set by the test's CMake entry),
// where fonts are laid out for twice the pixels and may come out wider than at scale 1.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTimer>
#include <memory>
#include <set>
#include <string>

#include "settings/ini_file.h"
#include "support/program_install.h"
#include "support/scripted_dialogs.h"
#include "ui/about_window.h"
#include "ui/application_menu.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"
#include "ui/setting_finder.h"
#include "ui/special_slider.h"

namespace kesta {
namespace {

// Names the slider, the part and the text when the text is wider than the label's room.
void ExpectFits(const TSpecialSlider* slider, const QLabel* label, const QString& part, const QString& text) {
  const int advance = label->fontMetrics().horizontalAdvance(text);
  const int room = label->contentsRect().width();
  EXPECT_LE(advance, room) << slider->objectName().toStdString() << " " << part.toStdString() << " \""
                           << text.toStdString() << "\" needs " << advance << " px of " << room;
}

// The real window started in one language on a copy of the sample game, and shown, so that pages are
// laid out at the window's real width.
struct WindowInLanguage {
  explicit WindowInLanguage(const char* code) {
    WriteIniValueOrFail(install.SettingsFile(), "Config", "Language", code);
    window = std::make_unique<TFrmKESTA>(WindowEnvironment{install.Folder(), &dialogs, {}});
    window->FormCreate();
    window->show();
  }
  // A language that failed to load falls back to English with a warning, and would test nothing.
  std::string Warning() const {
    return dialogs.Recorded().empty() ? "" : dialogs.Recorded().front().text.toStdString();
  }

  test::ProgramInstall install;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TFrmKESTA> window;
};

TEST(CaptionFitTest, EverySliderTitleAndStepCaptionFitsItsLabelInEveryLanguage) {
  for (const char* code : {"FR", "EN", "SP", "RU", "HR", "DE"}) {
    SCOPED_TRACE(std::string("language ") + code);
    WindowInLanguage started(code);
    ASSERT_EQ(started.Warning(), "");
    TFrmKESTA& window = *started.window;
    std::set<const TSpecialSlider*> measured;
    for (const QString& name : TPageArea::PageNames()) {
      window.Pages().ShowPage(name);  // built on its first visit
      QApplication::processEvents();  // lays the page out at the window's width
      for (const TSpecialSlider* slider : window.Pages().ActivePage()->findChildren<TSpecialSlider*>()) {
        if (!slider->isVisible()) continue;
        measured.insert(slider);
        ExpectFits(slider, slider->TitleLabel(), "title", slider->Title());
        // The multiplier variant shows a number in a box sized for the largest one.
        if (qobject_cast<const TSpecialSliderModMan*>(slider)) continue;
        for (int position = slider->Min(); position <= slider->Max(); ++position)
          ExpectFits(slider, slider->ValueLabel(), QString("step %1").arg(position),
                     slider->TitleOf(position));
      }
    }
    // A slider never shown was never measured.
    EXPECT_EQ(measured.size(), static_cast<size_t>(window.findChildren<TSpecialSlider*>().size()));
  }
}

// The button's caption, all its lines, within the rectangle it is painted in, and the button within
// the widget that holds it.
void ExpectCaptionFits(const TRibbonButton* button) {
  const std::string name =
      button->objectName().toStdString() + " \"" + button->Caption().toStdString() + "\"";
  const QSize needed = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
  const QRect room = button->CaptionRect();
  EXPECT_LE(needed.width(), room.width()) << name;
  EXPECT_LE(needed.height(), room.height()) << name;
  EXPECT_TRUE(button->parentWidget()->rect().contains(button->geometry())) << name << " is cut off";
}

TEST(CaptionFitTest, RibbonAndMenuCaptionsFitInEveryLanguage) {
  const QByteArray scale = qgetenv("QT_SCALE_FACTOR");
  for (const char* code : {"FR", "EN", "SP", "RU", "HR", "DE"}) {
    SCOPED_TRACE(std::string("language ") + code);
    WindowInLanguage started(code);
    ASSERT_EQ(started.Warning(), "");
    TFrmKESTA& window = *started.window;
    if (!scale.isEmpty()) {
      ASSERT_EQ(window.devicePixelRatio(), scale.toDouble());
    }
    TRibbon& ribbon = *window.Ribbon();
    int groups = 0, buttons = 0;
    for (TRibbonTab* tab : ribbon.Tabs()) {
      ribbon.SetActiveTab(tab);
      QApplication::processEvents();
      const QAbstractButton* tabButton = ribbon.TabButton(tab);
      const std::string tabName =
          tab->objectName().toStdString() + " \"" + tab->Caption().toStdString() + "\"";
      EXPECT_LE(tabButton->fontMetrics().size(Qt::TextShowMnemonic, tabButton->text()).width(),
                tabButton->width())
          << tabName;
      EXPECT_TRUE(tabButton->parentWidget()->rect().contains(tabButton->geometry()))
          << tabName << " is cut off";
      for (const TRibbonGroup* group : tab->Groups()) {
        ++groups;
        EXPECT_EQ(group->ShownCaption().toStdString(), group->Caption().toStdString())
            << group->objectName().toStdString();
        const QRect placed(group->mapTo(&ribbon, QPoint(0, 0)), group->size());
        EXPECT_TRUE(ribbon.rect().contains(placed)) << group->objectName().toStdString() << " is cut off";
        for (const TRibbonButton* button : group->Buttons()) {
          ExpectCaptionFits(button);
          ++buttons;
        }
      }
    }
    EXPECT_EQ(groups, 9);
    EXPECT_EQ(buttons, 21);  // 17 page buttons, three colours and the window style
    // The search field's invitation is read whole beside the glass and the room of the clear button.
    const QLineEdit* field = window.Search().Field();
    EXPECT_LE(field->fontMetrics().horizontalAdvance(field->placeholderText()) + 2 * 22 + 8, field->width())
        << field->placeholderText().toStdString();
    EXPECT_TRUE(field->parentWidget()->rect().contains(field->geometry()));
    TApplicationMenu& menu = *ribbon.ApplicationMenu();
    // The LoTATC commands show only where LoTATC is installed; their captions must fit all the same.
    for (const char* name : {"dxButtonLotatcNet", "dxButtonLotatcClient", "dxButtonLotatcServer"})
      menu.findChild<TRibbonButton*>(name)->setVisible(true);
    ribbon.ApplicationButton()->click();
    QApplication::processEvents();
    ASSERT_TRUE(menu.isVisible());
    int items = 0;
    for (const TRibbonButton* button : menu.findChildren<TRibbonButton*>()) {
      if (!button->isVisible()) continue;
      ExpectCaptionFits(button);
      ++items;
    }
    EXPECT_GE(items, 14);  // the twelve commands, About and Exit
    menu.hide();
  }
}

// Whether the control's caption has the room it needs, and the control lies wholly on the page.
void ExpectRoom(const QWidget* page, const QWidget* control) {
  const std::string name = control->objectName().toStdString();
  const QRect placed(control->mapTo(page, QPoint(0, 0)), control->size());
  EXPECT_TRUE(page->rect().contains(placed)) << name << " is cut off by the page's edge";
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    if (label->text().isEmpty()) return;  // a picture
    if (label->wordWrap())
      EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name << " cuts lines off";
    else
      EXPECT_GE(label->width(), label->sizeHint().width())
          << name << " \"" << label->text().toStdString() << "\"";
  } else if (const auto* box = qobject_cast<const QGroupBox*>(control)) {
    EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(box->title()) + 16)
        << name << " \"" << box->title().toStdString() << "\"";
  } else {
    EXPECT_GE(control->width(), control->sizeHint().width()) << name;
  }
}

// Measures every visible captioned control of the page shown; returns how many there were.
int ExpectCaptionsFit(const TFrmKESTA& window) {
  QApplication::processEvents();
  const QWidget* page = window.Pages().ActivePage();
  int measured = 0;
  for (const QWidget* control : page->findChildren<QWidget*>()) {
    const bool captioned = qobject_cast<const QLabel*>(control) || qobject_cast<const QGroupBox*>(control) ||
                           qobject_cast<const QAbstractButton*>(control) ||
                           qobject_cast<const QDateEdit*>(control) || qobject_cast<const QComboBox*>(control);
    // A slider's own parts are measured with the sliders.
    const bool inSlider = qobject_cast<const TSpecialSlider*>(control->parentWidget()) ||
                          (control->parentWidget() &&
                           qobject_cast<const TSpecialSlider*>(control->parentWidget()->parentWidget()));
    if (!captioned || inSlider || !control->isVisible()) continue;
    ExpectRoom(page, control);
    ++measured;
  }
  return measured;
}

TEST(CaptionFitTest, PageCaptionsFitInEveryLanguage) {
  for (const char* code : {"FR", "EN", "SP", "RU", "HR", "DE"}) {
    SCOPED_TRACE(std::string("language ") + code);
    WindowInLanguage started(code);
    ASSERT_EQ(started.Warning(), "");
    TFrmKESTA& window = *started.window;
    for (const char* name :
         {"TabSheetOther1", "TabSheetSmokeColor", "TabSheetRealism", "TabSheetBackup", "TabSheetLUA"}) {
      SCOPED_TRACE(name);
      window.Pages().ShowPage(name);
      EXPECT_GT(ExpectCaptionsFit(window), 0);
    }
    // The script page (shown last) shows one of its two states at a time: the sample's last script is not
    // installed.
    auto* scripts = window.findChild<QComboBox*>("ComboBoxLUAScripts");
    ASSERT_NE(scripts, nullptr);
    ASSERT_EQ(scripts->count(), 3);
    scripts->setCurrentIndex(2);
    emit scripts->activated(2);
    ASSERT_TRUE(window.findChild<QLabel*>("LabelScriptNonDispo")->isVisible());
    EXPECT_GT(ExpectCaptionsFit(window), 0);
  }
}

// The About window has a fixed size: its headings, translated, and the credits beside them must fit, and
// so must a long address, shortened.
TEST(CaptionFitTest, AboutWindowCaptionsFitInEveryLanguage) {
  for (const char* code : {"FR", "EN", "SP", "RU", "HR", "DE"}) {
    SCOPED_TRACE(std::string("language ") + code);
    WindowInLanguage started(code);
    ASSERT_EQ(started.Warning(), "");
    WriteIniValueOrFail(started.install.SettingsFile(), "Config", "WebSiteHost",
                        "kesta-for-linux.flight-simulator-configuration.example.org");
    int measured = 0;
    QTimer::singleShot(0, [&measured] {
      auto* about = qobject_cast<TFrmAbout*>(QApplication::activeModalWidget());
      if (!about) return ADD_FAILURE() << "no About window";
      QApplication::processEvents();
      EXPECT_LE(about->layout()->totalMinimumSize().height(), about->height());
      EXPECT_LE(about->layout()->totalMinimumSize().width(), about->width());
      for (const QWidget* control : about->findChildren<QWidget*>()) {
        if (!control->isVisible()) continue;
        if (!qobject_cast<const QLabel*>(control) && !qobject_cast<const QAbstractButton*>(control)) continue;
        ExpectRoom(about, control);
        EXPECT_GE(control->height(), control->sizeHint().height()) << control->objectName().toStdString();
        ++measured;
      }
      about->accept();
    });
    started.window->About().MenuAboutClick();
    // Banner, name, version, link, four headings, ten credit lines and OK: all shown, all measured.
    EXPECT_GE(measured, 19);
  }
}

}  // namespace
}  // namespace kesta
