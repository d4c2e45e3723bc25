// The stepped sliders' labels have a fixed width: in every shipped language each title and each step
// caption must fit it, measured on the real window with every page shown in turn.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QStackedWidget>
#include <set>
#include <string>

#include "settings/ini_file.h"
#include "support/program_install.h"
#include "support/scripted_dialogs.h"
#include "ui/main_window.h"
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

TEST(CaptionFitTest, EverySliderTitleAndStepCaptionFitsItsLabelInEveryLanguage) {
  for (const char* code : {"FR", "EN", "SP", "RU", "HR", "DE"}) {
    SCOPED_TRACE(std::string("language ") + code);
    test::ProgramInstall install;
    WriteIniValueOrFail(install.SettingsFile(), "Config", "Language", code);
    test::ScriptedDialogs dialogs;
    TFrmKESTA window({install.Folder(), &dialogs, {}});
    window.FormCreate();
    // A language that failed to load would fall back to English with a warning and test nothing.
    ASSERT_TRUE(dialogs.Recorded().empty()) << dialogs.Recorded().front().text.toStdString();
    window.show();
    std::set<const TSpecialSlider*> measured;
    for (const QString& name : TFrmKESTA::PageNames()) {
      window.ShowPage(name);          // built on its first visit
      QApplication::processEvents();  // lays the page out at the window's width
      for (const TSpecialSlider* slider : window.ActivePage()->findChildren<TSpecialSlider*>()) {
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

}  // namespace
}  // namespace kesta
