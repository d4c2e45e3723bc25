#include "app/splash_screen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QStringList>
#include <QTest>
#include <algorithm>

namespace kesta {
namespace {

const QStringList kSteps = {
    "Loading language...",          "Loading regkey settings...",  "Loading resolution settings...",
    "Loading graphic settings...",  "Loading cockpit settings...", "Loading network settings...",
    "Loading stats settings...",    "Loading server settings...",  "Loading view settings...",
    "Loading snapview settings...", "Loading other settings..."};

// What the offscreen platform has on screen for the window.
QImage OnScreen(QWidget& window) {
  return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// The splash as it looks after the first `count` steps, painted by a window that is never shown.
QImage LookAfter(qsizetype count) {
  TFrmSplashScreen splash;
  for (const QString& text : kSteps.first(count)) splash.SetLabel(text);
  return splash.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class SplashScreenTest : public testing::Test {
 protected:
  void SetUp() override {
    m_splash = new TFrmSplashScreen;
    m_splash->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_splash));
    QApplication::processEvents();
  }
  void TearDown() override { delete m_splash; }

  TFrmSplashScreen* m_splash = nullptr;
};

// Steps come far faster than a frame here, so only the first and the last are sure to be painted at once.
TEST_F(SplashScreenTest, FirstAndLastStepsAreOnScreenAsSoonAsTheyArePainted) {
  m_splash->StatusStep(kSteps.front());
  EXPECT_TRUE(OnScreen(*m_splash) == LookAfter(1)) << "an older text is on screen";

  for (const QString& text : kSteps.sliced(1)) m_splash->StatusStep(text);
  EXPECT_EQ(m_splash->Progress(), 11);
  EXPECT_EQ(m_splash->Label(), kSteps.back());
  EXPECT_TRUE(OnScreen(*m_splash) == LookAfter(kSteps.size())) << "an older text is on screen";
}

// A step that replaced the last painted one too soon still shows once the event loop runs again, as it
// does under the dialog that asks for the game folder.
TEST_F(SplashScreenTest, AStepLeftUnpaintedShowsWhenTheEventLoopRuns) {
  m_splash->StatusStep(kSteps[0]);
  m_splash->SetLabel(kSteps[1]);
  const QImage expected = LookAfter(2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return OnScreen(*m_splash) == expected; }, 2000));
}

// The step's text in dark letters on the light background and the bar filled in proportion.
TEST(SplashScreenLookTest, TextIsDarkAndTheBarFillsWithTheSteps) {
  const QColor fill(0x2d, 0x6c, 0xc0);
  const struct {
    qsizetype steps;
    int filledPixels;
  } cases[] = {{0, 0}, {1, 25}, {6, 151}, {11, 278}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.steps);
    const QImage look = LookAfter(c.steps);
    int darkest = 255;
    for (int y = 160; y < 182; ++y)
      for (int x = 11; x < 291; ++x) darkest = std::min(darkest, qGray(look.pixel(x, y)));
    EXPECT_LT(darkest, 80);
    int filled = 0;
    for (int x = 0; x < look.width(); ++x) filled += QColor(look.pixel(x, 193)) == fill;
    EXPECT_EQ(filled, c.filledPixels);
  }
}

}  // namespace
}  // namespace kesta
