#include "language/form_translator.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPair>
#include <QPushButton>
#include <QWidget>
#include <string>
#include <vector>

#include "support/language_file_text.h"
#include "support/temp_folder.h"

namespace kesta {

namespace {

using test::FailureOf;
using test::TempFolder;
using test::WriteLanguage;

// Carries the properties the stock widgets lack, as the stepped slider and the application menu do.
class FakeSlider : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString caption MEMBER m_caption)
  Q_PROPERTY(QString title MEMBER m_title)
  Q_PROPERTY(QString description MEMBER m_description)
  Q_PROPERTY(QString extraPaneHeader MEMBER m_extraPaneHeader)

 public:
  using QObject::QObject;
  Q_INVOKABLE void AddTitleValue(int position, const QString& caption) {
    m_steps.append({position, caption});
  }

  QString m_caption;
  QString m_title;
  QString m_description;
  QString m_extraPaneHeader;
  QList<QPair<int, QString>> m_steps;
};

// A small window with one control of each kind the program labels, every caption "design".
struct TestWindow {
  QWidget window;
  QPushButton* button = new QPushButton("design", &window);
  QLabel* label = new QLabel("design", &window);
  QGroupBox* groupBox = new QGroupBox("design", &window);
  QCheckBox* checkBox = new QCheckBox("design", &window);
  QLineEdit* edit = new QLineEdit("design", &window);
  QAction* action = new QAction("design", &window);
  FakeSlider* slider = new FakeSlider(&window);
  QObject* plain = new QObject(&window);

  TestWindow() {
    window.setObjectName("FrmTest");
    button->setObjectName("ButtonApply");
    label->setObjectName("LabelInfo");
    groupBox->setObjectName("GroupBoxMain");
    checkBox->setObjectName("CheckBoxOption");
    edit->setObjectName("EditName");
    action->setObjectName("ActionPlay");
    slider->setObjectName("Slider");
    plain->setObjectName("Plain");
  }
};

TEST(FormTranslatorTest, TranslateControlsWritesTheEntryTextIntoEveryReferencedProperty) {
  TempFolder folder;
  const auto path = WriteLanguage(folder, R"(
    <entry><name>Apply</name><string>Appliquer</string><controls>
      <control>ButtonApply.Caption</control><control>buttonapply.Hint</control>
      <control>LabelInfo.Caption</control><control>GROUPBOXMAIN.Caption</control>
      <control>CheckBoxOption.Caption</control><control>ActionPlay.Caption</control>
      <control>ActionPlay.Hint</control><control>Slider.Caption</control>
    </controls></entry>
    <entry><name>Edit</name><string>typed</string><controls><control>EditName.Text</control></controls></entry>
    <entry><name>Slider</name><string>Water</string><controls>
      <control>Slider.Title</control><control>Slider.Description</control>
    </controls></entry>
    <entry><name>RecentConfig</name><string>Recent</string><controls>
      <control>Slider.ExtraPane.Header</control>
    </controls></entry>
    <entry><name>NoString</name><controls><control>CheckBoxOption.Hint</control></controls></entry>
    <entry><name>Ignored</name><string>never</string><controls>
      <control>NoSuchControl.Caption</control><control>LabelInfoCaption</control>
      <control>.Caption</control><control>LabelInfo.Color</control>
    </controls></entry>)");
  TestWindow test;
  test.checkBox->setToolTip("design");
  TFormTranslator translator(&test.window, path);
  translator.TranslateControls();

  EXPECT_EQ(test.button->text(), "Appliquer");
  EXPECT_EQ(test.button->toolTip(), "Appliquer");
  EXPECT_EQ(test.label->text(), "Appliquer");
  EXPECT_EQ(test.groupBox->title(), "Appliquer");
  EXPECT_EQ(test.checkBox->text(), "Appliquer");
  EXPECT_EQ(test.action->text(), "Appliquer");
  EXPECT_EQ(test.action->toolTip(), "Appliquer");
  EXPECT_EQ(test.edit->text(), "typed");
  EXPECT_EQ(test.slider->m_caption, "Appliquer");  // a caption property wins over title
  EXPECT_EQ(test.slider->m_title, "Water");
  EXPECT_EQ(test.slider->m_description, "Water");
  EXPECT_EQ(test.slider->m_extraPaneHeader, "Recent");
  EXPECT_EQ(test.checkBox->toolTip(), "");
}

TEST(FormTranslatorTest, LaterEntriesOverwriteEarlierOnesAndEveryObjectOfTheNameIsLabelled) {
  TempFolder folder;
  const auto path = WriteLanguage(folder, R"(
    <entry><name>Twice</name><string>first</string><controls>
      <control>LabelInfo.Caption</control><control>ButtonApply.Caption</control>
    </controls></entry>
    <entry><name>Twice</name><string>second</string><controls>
      <control>ButtonApply.Caption</control><control>Twin.Caption</control>
    </controls></entry>)");
  TestWindow test;
  TFormTranslator translator(&test.window, path);
  // Controls made after the file was read are found too.
  auto* twinLabel = new QLabel("design", test.groupBox);
  twinLabel->setObjectName("Twin");
  auto* twinButton = new QPushButton("design", &test.window);
  twinButton->setObjectName("twin");
  translator.TranslateControls();

  EXPECT_EQ(translator.Catalogue().LookupMessage("Twice"), "first");
  EXPECT_EQ(test.label->text(), "first");
  EXPECT_EQ(test.button->text(), "second");
  EXPECT_EQ(twinLabel->text(), "second");
  EXPECT_EQ(twinButton->text(), "second");
}

TEST(FormTranslatorTest, TranslatingAPageLabelsItAndItsControlsOnly) {
  TempFolder folder;
  const auto path = WriteLanguage(folder, R"(
    <entry><name>Page</name><string>Page</string><controls>
      <control>GroupBoxMain.Caption</control><control>LabelInfo.Caption</control>
    </controls></entry>
    <entry><name>Inner</name><string>Inner</string><controls>
      <control>inner.Caption</control><control>ButtonApply.Caption</control>
    </controls></entry>)");
  TestWindow test;
  TFormTranslator translator(&test.window, path);
  auto* inner = new QLabel("design", new QWidget(test.groupBox));
  inner->setObjectName("Inner");
  translator.TranslateControls(test.groupBox);

  EXPECT_EQ(test.groupBox->title(), "Page");
  EXPECT_EQ(inner->text(), "Inner");
  EXPECT_EQ(test.label->text(), "design");
  EXPECT_EQ(test.button->text(), "design");
}

TEST(FormTranslatorTest, ValuesGiveStepCaptionsToSlidersOnly) {
  TempFolder folder;
  const auto path = WriteLanguage(folder, R"(
    <entry><name>Quality</name><string>Quality</string>
      <controls><control>Slider.Values</control><control>ButtonApply.Values</control></controls>
      <values><item value="0">Low</item><item value="2">High</item><item value="-1">Off</item>
        <item value="0">Again</item></values></entry>
    <entry><name>NotASlider</name><string>x</string>
      <controls><control>LabelInfo.Values</control></controls>
      <values><item value="bad">Never read</item></values></entry>)");
  TestWindow test;
  TFormTranslator translator(&test.window, path);
  translator.TranslateControls();

  const QList<QPair<int, QString>> expected{{0, "Low"}, {2, "High"}, {-1, "Off"}, {0, "Again"}};
  EXPECT_EQ(test.slider->m_steps, expected);
  EXPECT_EQ(test.slider->m_caption, "");
  EXPECT_EQ(test.button->text(), "design");
}

TEST(FormTranslatorTest, AMissingPropertyOrABadStepPositionEndsTheTranslation) {
  const struct {
    const char* what;
    std::string entry;
    std::vector<std::string> inFailure;
  } cases[] = {
      {"property the control lacks",
       "<entry><name>A</name><string>x</string><controls><control>ButtonApply.Description</control>"
       "</controls></entry>",
       {"Description", "ButtonApply"}},
      {"caption on an object without caption, text or title",
       "<entry><name>A</name><string>x</string><controls><control>plain.Caption</control></controls></entry>",
       {"Caption", "Plain"}},
      {"step position that is not a number",
       "<entry><name>A</name><controls><control>Slider.Values</control></controls>"
       "<values><item value=\"two\">x</item></values></entry>",
       {"'two'", "Slider"}},
      {"step without a position",
       "<entry><name>A</name><controls><control>Slider.Values</control></controls>"
       "<values><item>x</item></values></entry>",
       {"Slider"}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    TempFolder folder;
    const auto path =
        WriteLanguage(folder, row.entry +
                                  "<entry><name>After</name><string>after</string>"
                                  "<controls><control>LabelInfo.Caption</control></controls></entry>");
    TestWindow test;
    TFormTranslator translator(&test.window, path);
    const std::string failure = FailureOf([&] { translator.TranslateControls(); });
    for (const std::string& part : row.inFailure) EXPECT_NE(failure.find(part), std::string::npos) << failure;
    EXPECT_EQ(test.label->text(), "design");
  }
}

}  // namespace
}  // namespace kesta

#include "form_translator_test.moc"
