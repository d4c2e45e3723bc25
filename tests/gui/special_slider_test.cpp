#include "ui/special_slider.h"

#include <gtest/gtest.h>

#include <QMetaObject>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <vector>

namespace kesta {
namespace {

// Counts OnStep and records what the slider showed when it fired.
struct StepRecorder {
  explicit StepRecorder(TSpecialSlider& slider) {
    QObject::connect(&slider, &TSpecialSlider::OnStep, [this, &slider](QObject* sender) {
      senders.push_back(sender);
      shown.push_back(slider.ValueText());
      gauge.push_back(slider.Gauge()->value());
    });
  }
  std::vector<QObject*> senders;
  std::vector<QString> shown;
  std::vector<int> gauge;
};

TEST(SpecialSliderTest, StartsAtZeroOfTenWithStepOne) {
  TSpecialSlider slider;
  EXPECT_EQ(slider.Min(), 0);
  EXPECT_EQ(slider.Max(), 10);
  EXPECT_EQ(slider.Position(), 0);
  EXPECT_EQ(slider.Step(), 1);
  EXPECT_EQ(slider.ValueText(), "0");
  EXPECT_EQ(slider.sizeHint(), QSize(210, 54));
  EXPECT_EQ(TSpecialSliderModMan().sizeHint(), QSize(195, 44));
}

TEST(SpecialSliderTest, CaptionsFallBackToThePositionAndKeepTheFirstOfTwins) {
  TSpecialSlider slider;
  slider.SetMax(3);
  slider.AddTitleValue(0, "Low");
  EXPECT_EQ(slider.ValueText(), "Low");  // refreshed for the current position
  slider.AddTitleValue(1, "Medium");
  slider.AddTitleValue(2, "High");
  slider.AddTitleValue(2, "Ultra");
  slider.SetPosition(3);
  EXPECT_EQ(slider.ValueText(), "3");
  slider.SetPosition(2);
  EXPECT_EQ(slider.ValueText(), "High");
}

// The translator knows the slider only through Qt's meta-object system.
TEST(SpecialSliderTest, TranslatorReachesTitleAndCaptionsByName) {
  TSpecialSlider slider;
  ASSERT_TRUE(slider.setProperty("title", QString("Water quality")));
  ASSERT_TRUE(QMetaObject::invokeMethod(&slider, "AddTitleValue", Q_ARG(int, 0), Q_ARG(QString, "Off")));
  EXPECT_EQ(slider.Title(), "Water quality");
  EXPECT_EQ(slider.ValueText(), "Off");
}

TEST(SpecialSliderTest, OnStepFollowsEveryActualChangeOnly) {
  struct Case {
    const char* what;
    int start;
    std::function<void(TSpecialSlider&)> change;
    int position;
    int steps;
  };
  const std::vector<Case> cases = {
      {"position beyond Max", 0, [](TSpecialSlider& s) { s.SetPosition(7); }, 3, 1},
      {"beyond Max when already there", 3, [](TSpecialSlider& s) { s.SetPosition(7); }, 3, 0},
      {"same position twice", 0,
       [](TSpecialSlider& s) {
         s.SetPosition(2);
         s.SetPosition(2);
       },
       2, 1},
      {"Min above the position", 1, [](TSpecialSlider& s) { s.SetMin(2); }, 2, 1},
      {"Max below the position", 3, [](TSpecialSlider& s) { s.SetMax(1); }, 1, 1},
      {"range still holding it", 2,
       [](TSpecialSlider& s) {
         s.SetMin(1);
         s.SetMax(5);
       },
       2, 0},
  };
  for (const Case& c : cases) {
    TSpecialSlider slider;
    slider.SetMax(3);
    slider.SetPosition(c.start);
    StepRecorder recorder(slider);
    c.change(slider);
    EXPECT_EQ(slider.Position(), c.position) << c.what;
    ASSERT_EQ(recorder.senders.size(), static_cast<size_t>(c.steps)) << c.what;
    if (c.steps == 0) continue;
    EXPECT_EQ(recorder.senders.back(), slider.Track()) << c.what;
    EXPECT_EQ(recorder.shown.back(), QString::number(c.position)) << c.what;  // label first, then the event
    EXPECT_EQ(recorder.gauge.back(), c.position) << c.what;
  }
}

TEST(SpecialSliderTest, ArrowsMoveByStepAndStopAtTheBounds) {
  TSpecialSlider slider;
  slider.SetMax(100);
  slider.SetStep(10);
  slider.SetPosition(95);
  slider.show();
  StepRecorder recorder(slider);

  QTest::mouseClick(slider.UpArrow(), Qt::LeftButton);
  EXPECT_EQ(slider.Position(), 100);
  EXPECT_FALSE(slider.UpArrow()->isEnabled());
  QTest::mouseClick(slider.UpArrow(), Qt::LeftButton);
  EXPECT_EQ(recorder.senders.size(), 1u);

  QTest::mouseClick(slider.DownArrow(), Qt::LeftButton);
  EXPECT_EQ(slider.Position(), 90);
  slider.SetPosition(5);
  QTest::mouseClick(slider.DownArrow(), Qt::LeftButton);
  EXPECT_EQ(slider.Position(), 0);
  EXPECT_FALSE(slider.DownArrow()->isEnabled());
  EXPECT_EQ(slider.Gauge()->value(), 0);
}

TEST(SpecialSliderTest, TrackKeysMoveByOneWhateverTheStep) {
  TSpecialSlider slider;
  slider.SetMax(100);
  slider.SetStep(10);
  slider.SetPosition(50);
  StepRecorder recorder(slider);
  QTest::keyClick(slider.Track(), Qt::Key_Right);
  EXPECT_EQ(slider.Position(), 51);
  QTest::keyClick(slider.Track(), Qt::Key_PageDown);
  EXPECT_EQ(slider.Position(), 50);
  EXPECT_EQ(recorder.shown, (std::vector<QString>{"51", "50"}));
}

TEST(SpecialSliderTest, WiderPanelLengthensTrackAndKeepsArrowsAtTheRight) {
  TSpecialSlider slider;
  slider.show();
  const int trackWidth = slider.Track()->width();
  const int arrowsFromRight = slider.width() - slider.UpArrow()->parentWidget()->geometry().right();
  slider.resize(300, 54);
  EXPECT_EQ(slider.Track()->width(), trackWidth + 90);
  EXPECT_EQ(slider.width() - slider.UpArrow()->parentWidget()->geometry().right(), arrowsFromRight);
}

TEST(SpecialSliderModManTest, ShowsPositionTimesFactor) {
  struct Case {
    double factor;
    int position;
    const char* shown;
  };
  for (const Case& c : {Case{0.1, 15, "1.5"}, Case{0.1, 7, "0.7"}, Case{500, 10, "5 000"},
                        Case{5000, 16, "80 000"}, Case{1, 50, "50"}, Case{25, 2, "50"}}) {
    TSpecialSliderModMan slider;
    slider.SetMax(100);
    slider.SetMultiplicateur(c.factor);
    slider.SetPosition(c.position);
    EXPECT_EQ(slider.ValueText(), c.shown) << c.factor << " x " << c.position;
  }
}

TEST(SpecialSliderModManTest, GreenBeatsYellowBeatsRed) {
  struct Case {
    int low, medium, high, position;
    QColor expected;
  };
  const QColor white = TSpecialSliderModMan::NeutralColor();
  const QColor red = TSpecialSliderModMan::HighColor();
  const QColor yellow = TSpecialSliderModMan::MediumColor();
  const QColor green = TSpecialSliderModMan::LowColor();
  for (const Case& c : {Case{40, 2, 2, 2, yellow}, Case{40, 2, 2, 40, green}, Case{40, 2, 2, 10, white},
                        Case{7, 10, 15, 15, red}, Case{12, 12, 12, 12, green}}) {
    TSpecialSliderModMan slider;
    slider.SetMax(40);
    slider.SetValueLow(c.low);
    slider.SetValueMedium(c.medium);
    slider.SetValueHigh(c.high);
    slider.SetPosition(c.position);
    EXPECT_EQ(slider.ValueBackground(), c.expected)
        << c.low << "/" << c.medium << "/" << c.high << " at " << c.position;
  }
}

TEST(SpecialSliderModManTest, StartsWhiteAndIgnoresCaptions) {
  TSpecialSliderModMan slider;
  EXPECT_EQ(slider.ValueBackground(), TSpecialSliderModMan::NeutralColor());
  EXPECT_EQ(slider.ValueText(), "0");
  slider.SetMultiplicateur(0.5);
  slider.SetPosition(3);
  slider.AddTitleValue(3, "Three");
  EXPECT_EQ(slider.ValueText(), "1.5");
}

}  // namespace
}  // namespace kesta
