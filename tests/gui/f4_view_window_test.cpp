// The F4 view window on the offscreen platform: marks placed from the received values, clicks that write
// the caller's values, the error box of a failed show, the aircraft pictures, and the OK/Cancel outcomes
// of opening it from the main window.

#include "pages/multiplayer/f4_view_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "engine/failure.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "ui/jpeg_image.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;
using test::ScriptedDialogs;

const QString kRule = "----------------------";

// The error box of a failed show, for an error text and the value being converted.
QString ShowFailureBox(const QString& error, const QString& note) {
  return "Loading F4View\r\n" + kRule + "\r\n" + error + "\r\n" + kRule + "\r\n" + note + "\r\n" + kRule +
         "\r\nPlease contact the developper!";
}

fs::path RealImages() { return test::BinaryFolder() / "Images"; }

// Top view picture smaller than its area, in four coloured quarters, so that its place and scale show.
const QColor kTopLeftQuarter(220, 30, 30);
const QColor kBottomRightQuarter(30, 40, 220);
const QColor kOtherQuarters(250, 220, 40);
QImage Quarters(const QSize& size, const QColor& others) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(others);
  QPainter painter(&image);
  painter.fillRect(QRect(0, 0, size.width() / 2, size.height() / 2), kTopLeftQuarter);
  painter.fillRect(QRect(size.width() / 2, size.height() / 2, size.width(), size.height()),
                   kBottomRightQuarter);
  return image;
}

// Writes both pictures of an aircraft, 120×96 and 64×96, the rest of each filled with `colour`.
void WritePictures(const fs::path& folder, const std::string& aircraft, const QColor& colour) {
  EncodeJpegFile(Quarters({120, 96}, colour), folder / (aircraft + ".jpg"), 95);
  EncodeJpegFile(Quarters({64, 96}, colour), folder / (aircraft + "_side.jpg"), 95);
}

bool Near(const QColor& seen, const QColor& expected) {
  return std::abs(seen.red() - expected.red()) < 24 && std::abs(seen.green() - expected.green()) < 24 &&
         std::abs(seen.blue() - expected.blue()) < 24;
}

std::string Describe(const QColor& colour) { return colour.name().toStdString(); }

QImage Rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

std::string FailureOf(const fs::path& picture) {
  try {
    DecodeJpegFile(picture);
  } catch (const EKestaError& failure) {
    return failure.what();
  }
  return "<no failure>";
}

struct Values {
  std::string x = "8.61";
  std::string y = "+4.57";
  std::string z = "3.61";
};

class F4ViewTest : public testing::Test {
 protected:
  void SetUp() override { WritePictures(pictures.Path(), "A-10A", kOtherQuarters); }

  // The window over `values`, shown as the main window shows it.
  std::unique_ptr<TFrmF4View> Show(Values& v, const fs::path& images) {
    auto window = std::make_unique<TFrmF4View>(nullptr, dialogs, "OK!", "Cancel!", v.x, v.y, v.z, images);
    window->show();
    return window;
  }

  QLabel* Child(QWidget* window, const char* name) const { return window->findChild<QLabel*>(name); }
  QPoint CameraAt(QWidget* window) const { return Child(window, "Camera")->pos(); }
  QPoint CameraSideAt(QWidget* window) const { return Child(window, "CameraSide")->pos(); }

  std::string Recorded() const {
    std::string texts;
    for (const auto& dialog : dialogs.Recorded())
      texts += (dialog.kind + ": " + dialog.text + "\n").toStdString();
    return texts;
  }

  ScriptedDialogs dialogs;
  test::TempFolder pictures;
};

// A press and release as the window system delivers them, to whatever lies at the point of the area.
void Press(QWidget* area, QPoint point, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mousePress(area->window()->windowHandle(), button, Qt::NoModifier,
                    area->mapTo(area->window(), point));
}
void Release(QWidget* area, QPoint point, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mouseRelease(area->window()->windowHandle(), button, Qt::NoModifier,
                      area->mapTo(area->window(), point));
}
void Click(QWidget* area, QPoint point, Qt::MouseButton button = Qt::LeftButton) {
  Press(area, point, button);
  Release(area, point, button);
}

// Where a mark stands for the top view's point (x, y) and the side view's point (x, y).
QPoint TopMark(int x, int y) { return {160 + x - 4, 8 + y - 8}; }
QPoint SideMark(int x, int y) { return {7 + x - 4, 8 + y - 8}; }

TEST_F(F4ViewTest, ShowsTheFirstAircraftUnscaledWithCaptionsAndVisibleMarksAtRest) {
  Values v;
  auto window =
      std::make_unique<TFrmF4View>(nullptr, dialogs, "OK!", "Cancel!", v.x, v.y, v.z, pictures.Path());
  // Before the show the marks rest where they can be seen, clear of pictures and controls.
  const QRect controls[] = {QRect(160, 8, 360, 450), QRect(7, 8, 141, 435),
                            window->findChild<QComboBox*>("ComboBoxAircraft")->geometry(),
                            window->findChild<QPushButton*>("ButtonOK")->geometry(),
                            window->findChild<QPushButton*>("ButtonCancel")->geometry()};
  for (const char* name : {"Camera", "CameraSide"}) {
    SCOPED_TRACE(name);
    const QRect mark = Child(window.get(), name)->geometry();
    EXPECT_TRUE(window->rect().contains(mark));
    for (const QRect& control : controls)
      EXPECT_FALSE(mark.intersects(control)) << mark.x() << "," << mark.y();
  }
  EXPECT_FALSE(
      Child(window.get(), "Camera")->geometry().intersects(Child(window.get(), "CameraSide")->geometry()));

  // An unreadable X keeps both marks at rest, so that they can be looked at there.
  v.x = "none";
  window = std::make_unique<TFrmF4View>(nullptr, dialogs, "OK!", "Cancel!", v.x, v.y, v.z, pictures.Path());
  window->show();
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  EXPECT_EQ(window->size(), QSize(532, 502));
  EXPECT_EQ(window->windowTitle(), "F4 View");
  EXPECT_TRUE(window->isModal());
  EXPECT_EQ(window->findChild<QPushButton*>("ButtonOK")->text(), "OK!");
  EXPECT_EQ(window->findChild<QPushButton*>("ButtonCancel")->text(), "Cancel!");
  EXPECT_TRUE(window->findChild<QPushButton*>("ButtonOK")->isDefault());
  const QComboBox* aircraft = window->findChild<QComboBox*>("ComboBoxAircraft");
  ASSERT_EQ(aircraft->count(), 6);
  EXPECT_EQ(aircraft->currentText(), "A-10A");
  EXPECT_EQ(aircraft->itemText(5), "Su-33");

  const QImage shown = window->grab().toImage();
  // Pictures from the top-left corner of their areas, at their own size: the quarters of a 120×96 and a
  // 64×96 picture, and the window's own background beyond them.
  struct Spot {
    QPoint at;
    QColor colour;
  };
  const Spot spots[] = {
      {{160 + 5, 8 + 5}, kTopLeftQuarter},
      {{160 + 115, 8 + 90}, kBottomRightQuarter},
      {{160 + 115, 8 + 5}, kOtherQuarters},
      {{7 + 5, 8 + 5}, kTopLeftQuarter},
      {{7 + 60, 8 + 90}, kBottomRightQuarter},
      {{160 + 130, 8 + 106}, window->palette().window().color()},
      {{7 + 70, 8 + 106}, window->palette().window().color()},
  };
  for (const Spot& spot : spots) {
    const QColor seen = shown.pixelColor(spot.at);
    EXPECT_TRUE(Near(seen, spot.colour)) << spot.at.x() << "," << spot.at.y() << ": " << Describe(seen);
  }
  // Each resting mark shows red pixels.
  for (const char* name : {"Camera", "CameraSide"}) {
    const QRect mark = Child(window.get(), name)->geometry();
    int red = 0;
    for (int y = mark.top(); y <= mark.bottom(); ++y)
      for (int x = mark.left(); x <= mark.right(); ++x) red += Near(shown.pixelColor(x, y), Qt::red);
    EXPECT_GT(red, 3) << name;
  }
  // Centred on the screen.
  const QPoint offCentre = window->geometry().center() - window->screen()->availableGeometry().center();
  EXPECT_LE(offCentre.manhattanLength(), 2) << offCentre.x() << "," << offCentre.y();

  // Placed on a picture, the mark lets the picture show around the "x".
  Click(Child(window.get(), "Image"), {90, 20});
  const QRect mark = Child(window.get(), "Camera")->geometry();
  ASSERT_EQ(mark.topLeft(), TopMark(90, 20));
  const QImage placed = window->grab().toImage();
  EXPECT_TRUE(Near(placed.pixelColor(mark.topLeft()), kOtherQuarters))
      << Describe(placed.pixelColor(mark.topLeft()));
  EXPECT_TRUE(Near(placed.pixelColor(mark.topLeft() + QPoint(4, 8)), Qt::red));
}

TEST_F(F4ViewTest, ReceivedValuesPlaceTheMarksRoundingHalvesToEven) {
  struct Case {
    const char* label;
    Values values;
    QPoint camera;
    QPoint cameraSide;
  };
  const Case cases[] = {
      {"edges", {"8.61", "+4.57", "3.61"}, TopMark(0, 0), SideMark(0, 0)},
      {"spaces removed", {" 8.61 ", "+ 4.57", "+ 3.61"}, TopMark(0, 0), SideMark(0, 0)},
      {"ten units right", {"-1.39", "+3.57", "+2.61"}, TopMark(210, 21), SideMark(21, 21)},
      {"negative Y", {"8.61", "-2.5", "3.61"}, TopMark(0, 148), SideMark(0, 148)},  // 148.47
      {"exponent", {"861e-2", "0.457E1", "3.61e0"}, TopMark(0, 0), SideMark(0, 0)},
      {"no integer digits", {"8.61", ".57", "3.61"}, TopMark(0, 84), SideMark(0, 84)},
      // (4.57 − 4.07) × 21 is exactly 10.5: halves go to the even neighbour, in every direction.
      {"10.5 down", {"8.11", "4.07", "3.11"}, TopMark(10, 10), SideMark(10, 10)},
      {"31.5 up", {"7.11", "3.07", "2.11"}, TopMark(32, 32), SideMark(32, 32)},
      {"-10.5 up", {"9.11", "5.07", "4.11"}, TopMark(-10, -10), SideMark(-10, -10)},
      {"-31.5 down", {"10.11", "6.07", "5.11"}, TopMark(-32, -32), SideMark(-32, -32)},
      // A hair off the half is no longer a half, however far down the digits go.
      {"just under a half", {"8.61", "4.0700000000000000000000001", "3.61"}, TopMark(0, 10), SideMark(0, 10)},
      {"just over a half", {"8.61", "4.0699999999999999999999999", "3.61"}, TopMark(0, 11), SideMark(0, 11)},
      {"negative hair",
       {"8.61", "-0.0000000000000000001", "3.61"},
       TopMark(0, 96),
       SideMark(0, 96)},  // 95.97
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Values v = c.values;
    auto window = Show(v, pictures.Path());
    EXPECT_EQ(CameraAt(window.get()), c.camera);
    EXPECT_EQ(CameraSideAt(window.get()), c.cameraSide);
    // Showing writes nothing back.
    EXPECT_EQ(v.x, c.values.x);
    EXPECT_EQ(v.y, c.values.y);
  }
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(F4ViewTest, TopViewClickWritesXAndYAndMovesBothMarksVertically) {
  struct Case {
    QPoint click;
    const char* x;
    const char* y;
  };
  const Case cases[] = {
      {{0, 0}, "8.61", "+ 4.57"},        {{210, 21}, "- 1.39", "+ 3.57"}, {{180, 150}, "0.04", "- 2.57"},
      {{181, 96}, "- 0.01", "+ 0.0"},  // 4.57 − 96/21 shows as zero, without a sign
      {{359, 449}, "- 8.49", "- 16.81"},
  };
  Values v;
  auto window = Show(v, pictures.Path());
  QLabel* image = Child(window.get(), "Image");
  const int sideLeft = CameraSideAt(window.get()).x();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.click.x() << "," << c.click.y());
    Click(image, c.click);
    EXPECT_EQ(v.x, c.x);
    EXPECT_EQ(v.y, c.y);
    EXPECT_EQ(v.z, "3.61");
    EXPECT_EQ(CameraAt(window.get()), TopMark(c.click.x(), c.click.y()));
    EXPECT_EQ(CameraSideAt(window.get()), QPoint(sideLeft, 8 + c.click.y() - 8));
  }
  // Any button counts.
  Click(image, {31, 42}, Qt::RightButton);
  EXPECT_EQ(CameraAt(window.get()), TopMark(31, 42));
  // A click on the mark itself reaches the picture below the mark.
  ASSERT_TRUE(Child(window.get(), "Camera")->geometry().contains(image->mapTo(window.get(), QPoint(32, 43))));
  Click(image, {32, 43});
  EXPECT_EQ(CameraAt(window.get()), TopMark(32, 43));
  EXPECT_EQ(v.x, "7.09");
  EXPECT_EQ(v.y, "+ 2.52");
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(F4ViewTest, SideViewClickWritesZAndMovesOnlyTheSideMarkAcross) {
  struct Case {
    int x;
    const char* z;
  };
  const Case cases[] = {{0, "+ 3.61"}, {21, "+ 2.61"}, {76, "- 0.01"}, {140, "- 3.06"}};
  Values v{"1.5", "+1", "3"};
  auto window = Show(v, pictures.Path());
  const QPoint camera = CameraAt(window.get());
  const int sideTop = CameraSideAt(window.get()).y();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    Click(Child(window.get(), "ImageSide"), {c.x, 300});
    EXPECT_EQ(v.z, c.z);
    EXPECT_EQ(CameraSideAt(window.get()), QPoint(7 + c.x - 4, sideTop));
    EXPECT_EQ(CameraAt(window.get()), camera);
  }
  EXPECT_EQ(v.x, "1.5");
  EXPECT_EQ(v.y, "+1");
}

TEST_F(F4ViewTest, PressOnAPictureReleasedOffItIsNoClick) {
  Values v;
  auto window = Show(v, pictures.Path());
  const QPoint camera = CameraAt(window.get());
  QLabel* image = Child(window.get(), "Image");
  Press(image, {100, 100});
  Release(image, {-60, 100});  // over the side view
  QLabel* side = Child(window.get(), "ImageSide");
  Press(side, {50, 50});
  Release(side, {50, 460});  // below it
  EXPECT_EQ(v.x, "8.61");
  EXPECT_EQ(v.y, "+4.57");
  EXPECT_EQ(v.z, "3.61");
  EXPECT_EQ(CameraAt(window.get()), camera);
}

TEST_F(F4ViewTest, AValueThatIsNoNumberShowsOneErrorBoxAndLeavesTheRestUnplaced) {
  // The one box, word for word.
  {
    Values v{"abc", "+4.57", "3.61"};
    auto window = Show(v, pictures.Path());
    ASSERT_EQ(dialogs.Recorded().size(), 1u);
    EXPECT_EQ(dialogs.Recorded()[0].kind, "Error");
    EXPECT_EQ(dialogs.Recorded()[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(dialogs.Recorded()[0].text,
              "Loading F4View\r\n----------------------\r\n'abc' is not a valid floating point value\r\n"
              "----------------------\r\nOLDF4View_X = abc\r\n----------------------\r\n"
              "Please contact the developper!");
    dialogs.ClearRecorded();
  }
  struct Case {
    const char* label;
    Values values;
    const char* error;
    const char* note;
    bool cameraPlaced;
  };
  const Case cases[] = {
      {"empty X", {"", "+4.57", "3.61"}, "'' is not a valid floating point value", "OLDF4View_X = ", false},
      {"X spaced out",
       {"8 .6 1x", "+4.57", "3.61"},
       "'8.61x' is not a valid floating point value",
       "OLDF4View_X = 8.61x",
       false},
      {"bare sign",
       {"8.61", "+", "3.61"},
       "'+' is not a valid floating point value",
       "OLDF4View_Y = +",
       false},
      {"decimal comma",
       {"8.61", "4,57", "3.61"},
       "'4,57' is not a valid floating point value",
       "OLDF4View_Y = 4,57",
       false},
      {"two signs",
       {"8.61", "+4.57", "--1"},
       "'--1' is not a valid floating point value",
       "OLDF4View_Z = --1",
       true},
      {"no exponent digits",
       {"8.61", "+4.57", "1e"},
       "'1e' is not a valid floating point value",
       "OLDF4View_Z = 1e",
       true},
      {"far away",
       {"1e9", "+4.57", "3.61"},
       "'1e9' is too far from the aircraft to be shown",
       "OLDF4View_X = 1e9",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Values v = c.values;
    auto window = Show(v, pictures.Path());
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
    EXPECT_EQ(dialogs.Recorded()[0].text, ShowFailureBox(c.error, c.note));
    dialogs.ClearRecorded();
    EXPECT_EQ(CameraAt(window.get()), c.cameraPlaced ? TopMark(0, 0) : TFrmF4View::kCameraRest);
    EXPECT_EQ(CameraSideAt(window.get()), TFrmF4View::kCameraSideRest);
    // Still open, and clicks still work.
    EXPECT_TRUE(window->isVisible());
    Click(Child(window.get(), "ImageSide"), {21, 21});
    EXPECT_EQ(v.z, "+ 2.61");
    EXPECT_EQ(CameraSideAt(window.get()).x(), 7 + 21 - 4);
  }
}

TEST_F(F4ViewTest, AMissingOrBrokenPictureShowsTheErrorBoxWithAnEmptyNote) {
  struct Case {
    const char* label;
    const char* brokenFile;  // written as text, not a picture
    const char* missingFile;
    const char* keptFile;  // still shown
  };
  const Case cases[] = {
      {"top view missing", nullptr, "A-10A.jpg", "A-10A_side.jpg"},
      {"side view broken", "A-10A_side.jpg", nullptr, "A-10A.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    test::TempFolder folder;
    WritePictures(folder.Path(), "A-10A", Qt::white);
    const fs::path failing = folder / (c.missingFile ? c.missingFile : c.brokenFile);
    if (c.missingFile) fs::remove(failing);
    if (c.brokenFile) folder.Write(c.brokenFile, "not a picture");
    Values v;
    auto window = Show(v, folder.Path());
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
    const QString text = dialogs.Recorded()[0].text;
    dialogs.ClearRecorded();
    EXPECT_EQ(text, ShowFailureBox(QString::fromStdString(FailureOf(failing)), ""));
    EXPECT_TRUE(text.contains(QString::fromStdString(failing.string()))) << text.toStdString();
    // Placing the marks comes after the pictures: skipped.
    EXPECT_EQ(CameraAt(window.get()), TFrmF4View::kCameraRest);
    EXPECT_EQ(CameraSideAt(window.get()), TFrmF4View::kCameraSideRest);
    const bool topKept = std::string(c.keptFile) == "A-10A.jpg";
    EXPECT_EQ(Child(window.get(), "Image")->pixmap().isNull(), !topKept);
    EXPECT_EQ(Child(window.get(), "ImageSide")->pixmap().isNull(), topKept);
  }
}

TEST_F(F4ViewTest, ChoosingAnAircraftChangesOnlyThePictures) {
  Values v{"5", "+2", "1"};
  auto window = Show(v, RealImages());
  ASSERT_TRUE(dialogs.Recorded().empty()) << Recorded();
  QLabel* image = Child(window.get(), "Image");
  QLabel* side = Child(window.get(), "ImageSide");
  EXPECT_EQ(Rgb(image->pixmap().toImage()), Rgb(DecodeJpegFile(RealImages() / "A-10A.jpg")));
  EXPECT_EQ(Rgb(side->pixmap().toImage()), Rgb(DecodeJpegFile(RealImages() / "A-10A_side.jpg")));
  Click(image, {100, 200});
  const Values clicked = v;
  const QPoint camera = CameraAt(window.get());
  const QPoint cameraSide = CameraSideAt(window.get());

  window->findChild<QComboBox*>("ComboBoxAircraft")->setCurrentText("Su-33");
  EXPECT_EQ(Rgb(image->pixmap().toImage()), Rgb(DecodeJpegFile(RealImages() / "Su-33.jpg")));
  EXPECT_EQ(Rgb(side->pixmap().toImage()), Rgb(DecodeJpegFile(RealImages() / "Su-33_side.jpg")));
  EXPECT_NE(Rgb(image->pixmap().toImage()), Rgb(DecodeJpegFile(RealImages() / "A-10A.jpg")));
  EXPECT_EQ(CameraAt(window.get()), camera);
  EXPECT_EQ(CameraSideAt(window.get()), cameraSide);
  EXPECT_EQ(v.x, clicked.x);
  EXPECT_EQ(v.y, clicked.y);
  EXPECT_EQ(v.z, clicked.z);
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(F4ViewTest, AnAircraftWithoutPicturesIsReportedByFileAndShowsNone) {
  WritePictures(pictures.Path(), "Su-27", Qt::green);
  Values v;
  auto window = Show(v, pictures.Path());
  QComboBox* aircraft = window->findChild<QComboBox*>("ComboBoxAircraft");
  aircraft->setCurrentText("MiG-29");
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Error");
  const QString text = dialogs.Recorded()[0].text;
  EXPECT_TRUE(text.contains(QString::fromStdString((pictures / "MiG-29.jpg").string())))
      << text.toStdString();
  EXPECT_TRUE(text.contains(QString::fromStdString((pictures / "MiG-29_side.jpg").string())))
      << text.toStdString();
  // No picture of another aircraft stays under the new name.
  EXPECT_TRUE(Child(window.get(), "Image")->pixmap().isNull());
  EXPECT_TRUE(Child(window.get(), "ImageSide")->pixmap().isNull());
  dialogs.ClearRecorded();

  aircraft->setCurrentText("Su-27");
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
  EXPECT_TRUE(Near(Child(window.get(), "Image")->pixmap().toImage().pixelColor(115, 5), Qt::green));
  EXPECT_TRUE(Near(Child(window.get(), "ImageSide")->pixmap().toImage().pixelColor(60, 5), Qt::green));
}

// Opens the window as the main window does and runs `drive` while it is open.
bool Open(DialogService& dialogs, Values& v, const std::function<void(TFrmF4View&)>& drive) {
  return OpenF4View(nullptr, dialogs, "OK", "Cancel", v.x, v.y, v.z, RealImages(), [&](TFrmF4View& window) {
    drive(window);
    if (window.isVisible()) {
      ADD_FAILURE() << "the window was left open";
      window.reject();
    }
  });
}

void ClickTopView(TFrmF4View& window, QPoint point) { Click(window.findChild<QLabel*>("Image"), point); }

TEST_F(F4ViewTest, OpeningReportsAChangeOnlyAfterOkAndAnyOtherCloseUndoesTheClicks) {
  struct Case {
    const char* label;
    bool click;
    std::function<void(TFrmF4View&)> close;
    bool changed;
  };
  const auto button = [](const char* name) {
    return [name](TFrmF4View& w) { QTest::mouseClick(w.findChild<QPushButton*>(name), Qt::LeftButton); };
  };
  const auto key = [](Qt::Key k) { return [k](TFrmF4View& w) { QTest::keyClick(&w, k); }; };
  const Case cases[] = {
      {"OK alone", false, button("ButtonOK"), false},
      {"click, OK", true, button("ButtonOK"), true},
      {"click, Enter", true, key(Qt::Key_Return), true},
      {"click, Cancel", true, button("ButtonCancel"), false},
      {"click, Escape", true, key(Qt::Key_Escape), false},
      {"click, window closed", true, [](TFrmF4View& w) { w.close(); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Values v{"+ 1.5", "- 2.0", " 3"};  // spaced as a file may hold them
    const bool changed = Open(dialogs, v, [&](TFrmF4View& window) {
      if (c.click) {
        ClickTopView(window, {210, 21});
        // Written while the window is still open.
        EXPECT_EQ(v.x, "- 1.39");
        EXPECT_EQ(v.y, "+ 3.57");
      }
      c.close(window);
    });
    EXPECT_EQ(changed, c.changed);
    const Values expected = c.changed ? Values{"- 1.39", "+ 3.57", " 3"} : Values{"+ 1.5", "- 2.0", " 3"};
    EXPECT_EQ(v.x, expected.x);
    EXPECT_EQ(v.y, expected.y);
    EXPECT_EQ(v.z, expected.z);
  }
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(F4ViewTest, ClickedValuesComeBackOnTheSamePixelsNextTime) {
  Values v{"5", "+ 2.0", "1"};
  EXPECT_TRUE(Open(dialogs, v, [&](TFrmF4View& window) {
    ClickTopView(window, {0, 0});
    Click(window.findChild<QLabel*>("ImageSide"), {63, 5});
    QTest::mouseClick(window.findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
  }));
  EXPECT_EQ(v.x, "8.61");
  EXPECT_EQ(v.y, "+ 4.57");  // handed to the window as "+4.57"
  EXPECT_EQ(v.z, "+ 0.61");

  EXPECT_FALSE(Open(dialogs, v, [&](TFrmF4View& window) {
    EXPECT_EQ(window.findChild<QLabel*>("Camera")->pos(), TopMark(0, 0));
    EXPECT_EQ(window.findChild<QLabel*>("Camera")->y(), 8 - 8);
    EXPECT_EQ(window.findChild<QLabel*>("CameraSide")->pos(), SideMark(63, 0));
    // The same spot again is no change, spaces aside.
    ClickTopView(window, {0, 0});
    QTest::mouseClick(window.findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
  }));
  EXPECT_EQ(v.y, "+ 4.57");
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

}  // namespace
}  // namespace kesta
