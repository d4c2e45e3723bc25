// Where the keyboard is must be seen: every control that takes the focus shows a mark that stands out
// by a contrast of 3:1 (what is asked of the marks of a state), on the real window, on every page and
// on the ribbon and its menu in all three colour schemes.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <map>

#include "support/page_test.h"
#include "ui/appearance.h"
#include "ui/application_menu.h"
#include "ui/focus_ring.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"
#include "ui/theme.h"
#include "ui/window_status.h"

namespace kesta {
namespace {

double Channel(int value) {
  const double c = value / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(QRgb pixel) {
  return 0.2126 * Channel(qRed(pixel)) + 0.7152 * Channel(qGreen(pixel)) + 0.0722 * Channel(qBlue(pixel));
}

double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Where the control stands in its window, with room for what is drawn just around it.
QRect Area(QWidget* control) {
  const QWidget* shown = TFocusRing::RingedControl(control);
  return QRect(shown->mapTo(control->window(), QPoint(0, 0)), shown->size()).adjusted(-3, -3, 3, 3);
}

// That part of the window as the player sees it.
QImage Picture(QWidget* control, const QRect& area) {
  return control->window()->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

// The colour the control is painted on: the most frequent one of its picture.
QRgb Background(const QImage& picture) {
  std::map<QRgb, int> counts;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) ++counts[picture.pixel(x, y)];
  return std::max_element(counts.begin(), counts.end(),
                          [](const auto& a, const auto& b) { return a.second < b.second; })
      ->first;
}

// The pixels of the mark: those that the focus changes visibly (1.5:1) and that then stand out by 3:1
// from what was there before or from the control's background. -1 when the control takes no focus.
int MarkPixels(QWidget* control) {
  control->clearFocus();
  // One place for both pictures: a control may change its size when it takes the focus.
  const QRect area = Area(control);
  const QImage without = Picture(control, area);
  // As the Tab key gives it, so that styles which mark only the keyboard's focus mark it.
  control->window()->setAttribute(Qt::WA_KeyboardFocusChange);
  control->setFocus(Qt::TabFocusReason);
  if (!control->hasFocus()) return -1;
  const QImage with = Picture(control, area);
  control->clearFocus();
  if (with.size() != without.size()) return 0;
  const QRgb background = Background(without);
  int marked = 0;
  for (int y = 0; y < with.height(); ++y)
    for (int x = 0; x < with.width(); ++x) {
      const QRgb before = without.pixel(x, y);
      const QRgb now = with.pixel(x, y);
      const double change = Contrast(now, before);
      if (change >= 1.5 && std::max(change, Contrast(now, background)) >= 3.0) ++marked;
    }
  return marked;
}

// A mark is more than a stray pixel or two of a changed face.
constexpr int kLeastMark = 8;

class FocusMarkTest : public test::ActiveWindowTest {
 protected:
  static QString Name(const QWidget* control) {
    return QString("%1 (%2)").arg(control->objectName(), control->metaObject()->className());
  }
  void ExpectMarked(QWidget* control) {
    const int marked = MarkPixels(control);
    EXPECT_GE(marked, kLeastMark) << Name(control).toStdString();
  }
};

TEST_F(FocusMarkTest, EveryControlOfEveryPageShowsTheFocus) {
  int controls = 0;
  for (const QString& page : TPageArea::PageNames()) {
    SCOPED_TRACE(page.toStdString());
    window->Pages().ShowPage(page);
    for (QWidget* control : window->Pages().ActivePage()->findChildren<QWidget*>())
      if (control->isVisible() && control->isEnabled() && (control->focusPolicy() & Qt::TabFocus)) {
        ExpectMarked(control);
        ++controls;
      }
  }
  EXPECT_GT(controls, 0);
}

TEST_F(FocusMarkTest, TheRibbonAndItsMenuShowTheFocusInEveryScheme) {
  TRibbon* ribbon = window->Ribbon();
  for (const auto& [scheme, choose] : {std::pair{"Blue", &TAppearance::dxButtonBlueStyleClick},
                                       std::pair{"Silver", &TAppearance::dxButtonGreyStyleClick},
                                       std::pair{"Black", &TAppearance::dxButtonBlackStyleClick}}) {
    SCOPED_TRACE(scheme);
    (window->Appearance().*choose)();
    ASSERT_EQ(SchemeName(ribbon->Scheme()), scheme);
    ExpectMarked(ribbon->ApplicationButton());
    window->EnableApplyCancel(true, true);  // the quick bar's buttons take the keyboard while enabled
    for (TRibbonTab* tab : ribbon->Tabs()) {
      ribbon->SetActiveTab(tab);
      ExpectMarked(ribbon->TabButton(tab));
      for (TRibbonButton* button : ribbon->findChildren<TRibbonButton*>())
        if (button->isVisible() && button->isEnabled()) ExpectMarked(button);
    }
    window->EnableApplyCancel(false, false);

    TApplicationMenu* menu = ribbon->ApplicationMenu();
    ribbon->ApplicationButton()->click();
    ASSERT_TRUE(menu->isVisible());
    for (TRibbonButton* item : menu->findChildren<TRibbonButton*>())
      if (item->isVisible() && item->isEnabled()) ExpectMarked(item);
    menu->hide();
  }
}

}  // namespace
}  // namespace kesta
