// The multiplayer pages on the real window over a copy of the sample game: the values of config.lua,
// stats.lua and server.lua in the controls, the user's edits in the documents, the server list's
// buttons and files, and Apply writing the files.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/tray_and_options.h"
#include "documents/network_document.h"
#include "documents/server_document.h"
#include "launch/launcher.h"
#include "pages/multiplayer/multiplayer_pages.h"
#include "platform/code_page.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "settings/ini_file.h"
#include "support/page_test.h"
#include "support/temp_folder.h"
#include "ui/main_window.h"

namespace kesta {

namespace {

namespace fs = std::filesystem;
using Entries = std::vector<std::string>;

constexpr char kFilter[] = "Fichier texte (*txt.)|*.txt|Tous les fichiers (*.*)|*.*";

QString Text(const fs::path& path) { return QString::fromStdString(path.string()); }

class MultiplayerPagesTest : public test::PageTest {
 protected:
  void SetUp() override {
    test::PageTest::SetUp();
    joins = std::make_unique<QSignalSpy>(&window->Tray(), &TTrayAndOptions::JoinMenuOutdated);
  }

  template <typename T = QLineEdit>
  T* Control(const char* name) const {
    T* control = window->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QComboBox* List() const { return Control<QComboBox>("ComboBoxServerList"); }
  void Click(const char* button) const { Control<QToolButton>(button)->click(); }
  // Typed as a person would, so that the length limit and the code page's validator take part. Key events
  // carry the characters themselves: QTest's key clicks know only ASCII.
  void Type(QLineEdit* edit, const QString& text) const {
    edit->clear();
    for (const QChar character : text) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
      QApplication::sendEvent(edit, &press);
    }
  }
  void TypeInList(const QString& text) const { Type(List()->lineEdit(), text); }

  NetworkDocument& Network() const { return window->GameFiles().Get<NetworkDocument>(); }
  // The list's entries as game bytes.
  Entries Shown() const {
    Entries entries;
    for (int i = 0; i < List()->count(); ++i)
      entries.push_back(GameText().FromUtf8(List()->itemText(i).toStdString()).value());
    return entries;
  }
  void ShowServers(const Entries& servers) const {
    Network().servers = servers;
    window->RefreshPages("Network");
    window->EnableApplyCancel(false, false);
  }
  // As the settings file holds it; "¤¤¤¤¤" while the key is missing.
  std::string ServerListPath() const {
    return ReadIniValue(install.SettingsFile(), "Config", "ServerListPath");
  }
  // Answers the next file dialog with `file` and presses the button.
  const test::RecordedDialog& Choose(const char* button, const fs::path& file) {
    dialogs.ClearRecorded();
    dialogs.QueueText(Text(file));
    Click(button);
    EXPECT_GE(dialogs.Recorded().size(), 1u);
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
    return dialogs.Recorded().front();
  }

  std::unique_ptr<QSignalSpy> joins;
};

TEST_F(MultiplayerPagesTest, SampleFilesShowOnBothPages) {
  const std::pair<const char*, QString> edits[] = {
      {"EditPlayerName", "Pilot"}, {"EditClientPort", "10308"}, {"EditServerDefault", "192.168.0.10"},
      {"EditChatHeight", "10"},    {"EditChatDelay", "30"},     {"EditServerName", "Lock On server"},
      {"EditServerPort", "10308"}, {"EditMaxPlayers", "16"},    {"EditServerPassword", ""},
  };
  for (const auto& [name, text] : edits) EXPECT_EQ(Control(name)->text(), text) << name;
  EXPECT_EQ(Control<QComboBox>("ComboBoxConnexionType")->currentText(), "xDSL 1024/128 Kbit/s");
  EXPECT_EQ(Control<QComboBox>("ComboBoxConnexionTypeServer")->currentText(), "LAN 100 Mbit/s");
  EXPECT_EQ(Control<QComboBox>("ComboBoxInterface")->currentIndex(), 0);  // "All interfaces"
  EXPECT_EQ(Shown(), (Entries{"192.168.0.10", "lockon.example.org"}));
  EXPECT_EQ(List()->currentText(), "");
  EXPECT_TRUE(Control<QCheckBox>("CheckBoxShowMessage")->isChecked());
  EXPECT_TRUE(
      Control<QCheckBox>("CheckboxDisableCombatViews")->isChecked());  // the file does not disable them
  EXPECT_TRUE(Control<QCheckBox>("CheckboxCameraTerrainRestriction")->isChecked());

  // Both type lists offer the same entries, in the document's order; neither list can be typed in.
  for (const char* name : {"ComboBoxConnexionType", "ComboBoxConnexionTypeServer"}) {
    const auto* box = Control<QComboBox>(name);
    ASSERT_EQ(box->count(), static_cast<int>(ConnectionTypes().size()));
    for (int i = 0; i < box->count(); ++i) EXPECT_EQ(box->itemText(i).toStdString(), ConnectionTypes()[i]);
    EXPECT_FALSE(box->isEditable());
  }
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  EXPECT_EQ(joins->count(), 0);
}

TEST_F(MultiplayerPagesTest, EveryTextBoxWritesItsDocumentUpToItsLimitAndMarksThePagesModified) {
  struct Case {
    const char* name;
    int limit;
    std::string NetworkDocument::*member;
  };
  const Case cases[] = {
      {"EditPlayerName", 50, &NetworkDocument::playerName},
      {"EditClientPort", 5, &NetworkDocument::clientPort},
      {"EditServerDefault", 100, &NetworkDocument::defaultServer},
      {"EditChatHeight", 4, &NetworkDocument::chatHeight},
      {"EditChatDelay", 5, &NetworkDocument::chatDelay},
      {"EditServerName", 50, &NetworkDocument::serverName},
      {"EditServerPort", 5, &NetworkDocument::serverPort},
      {"EditMaxPlayers", 5, &NetworkDocument::maxPlayers},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window->EnableApplyCancel(false, false);
    // Free text: letters in a port are the user's business. Typing goes on past the limit.
    QString typed;
    for (int i = 0; i < c.limit + 3; ++i) typed += QChar(u'a' + i % 26);
    Type(Control(c.name), typed);
    EXPECT_EQ(Network().*c.member, typed.left(c.limit).toStdString());
    EXPECT_TRUE(window->Configuration().ApplyEnabled());
    EXPECT_TRUE(window->Configuration().CancelEnabled());
  }
}

TEST_F(MultiplayerPagesTest, EveryListAndCheckBoxWritesItsDocumentAndMarksThePagesModified) {
  struct Case {
    const char* name;
    std::function<void()> change;
    std::function<bool()> stored;
  };
  auto select = [this](const char* name, int index) {
    return [this, name, index] { Control<QComboBox>(name)->setCurrentIndex(index); };
  };
  auto click = [this](const char* name) { return [this, name] { Control<QCheckBox>(name)->click(); }; };
  const Case cases[] = {
      {"client type", select("ComboBoxConnexionType", 0),
       [this] { return Network().connectionType == "Modem 33.6K"; }},
      {"server type", select("ComboBoxConnexionTypeServer", 6),
       [this] { return Network().serverConnectionType == "LAN 10 Mbit/s"; }},
      {"interface", select("ComboBoxInterface", 1),
       [this] { return Network().serverInterface == ServerInterface::Lan; }},
      {"interface back", select("ComboBoxInterface", 0),
       [this] { return Network().serverInterface == ServerInterface::LanAndInternet; }},
      {"chat log", click("CheckBoxShowMessage"),
       [this] { return !window->GameFiles().Get<StatsDocument>().chatLog; }},
      {"combat views", click("CheckboxDisableCombatViews"),
       [this] { return !window->GameFiles().Get<ServerDocument>().combatViewsDisabled; }},
      {"terrain", click("CheckboxCameraTerrainRestriction"),
       [this] { return !window->GameFiles().Get<ServerDocument>().cameraTerrainRestriction; }},
      // The text typed in the server list is no entry yet, but typing in the list is a change of it.
      {"list text", [this] { TypeInList("typed.example"); },
       [this] {
         return Network().servers == Entries{"192.168.0.10", "lockon.example.org"};
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window->EnableApplyCancel(false, false);
    c.change();
    EXPECT_TRUE(c.stored());
    EXPECT_TRUE(window->Configuration().ApplyEnabled());
  }
  EXPECT_EQ(joins->count(), 0);
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(MultiplayerPagesTest, RoomPasswordStaysInThePageAndInNoFile) {
  EXPECT_EQ(window->Launcher().ServerRoomPassword(), "");
  Type(Control("EditServerPassword"), "secret");
  EXPECT_EQ(Control("EditServerPassword")->text(), "secre");
  EXPECT_EQ(window->Launcher().ServerRoomPassword(), "secre");
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
  window->Configuration().dxButtonApplyClick();
  for (const char* file : {"Config/network/config.lua", "Config/network/stats.lua", "Config/view/server.lua"})
    EXPECT_EQ(test::ReadBytes(install.Game(file)).find("secre"), std::string::npos) << file;
  // A load of the files it sits beside leaves it alone.
  window->GameFiles().Load("Network", install.Game("Config/network/config.lua"));
  EXPECT_EQ(window->Launcher().ServerRoomPassword(), "secre");
}

TEST_F(MultiplayerPagesTest, AddAppendsTheTypedTextEvenEmptyOrRepeated) {
  for (const char* typed : {"new.example", "new.example", ""}) {
    window->EnableApplyCancel(false, false);
    TypeInList(typed);
    window->EnableApplyCancel(false, false);
    Click("SpeedButtonServerListAdd");
    EXPECT_TRUE(window->Configuration().ApplyEnabled()) << typed;
    EXPECT_EQ(List()->currentText(), typed);  // still there for the next command
  }
  const Entries expected{"192.168.0.10", "lockon.example.org", "new.example", "new.example", ""};
  EXPECT_EQ(Network().servers, expected);
  EXPECT_EQ(Shown(), expected);
  EXPECT_EQ(joins->count(), 3);
}

TEST_F(MultiplayerPagesTest, DeleteRemovesTheFirstEntryEqualInAnyLetterCase) {
  struct Case {
    const char* typed;
    Entries expected;
  };
  const Entries servers{"Alpha.example", "", "beta", "ALPHA.example"};
  const Case cases[] = {
      {"alpha.EXAMPLE", {"", "beta", "ALPHA.example"}},
      {"BETA", {"Alpha.example", "", "ALPHA.example"}},
      {"", {"Alpha.example", "beta", "ALPHA.example"}},
      {"alpha", servers},  // only a whole entry counts
      {"gamma", servers},  // nothing to remove: the click still counts as a change
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    ShowServers(servers);
    TypeInList(c.typed);
    window->EnableApplyCancel(false, false);
    joins->clear();
    Click("SpeedButtonServerListDelete");
    EXPECT_EQ(Network().servers, c.expected);
    EXPECT_EQ(Shown(), c.expected);
    EXPECT_EQ(List()->currentText(), c.typed);
    EXPECT_TRUE(window->Configuration().ApplyEnabled());
    EXPECT_EQ(joins->count(), 1);
  }
}

TEST_F(MultiplayerPagesTest, LoadShowsTheFilesListAndKeepsTheTypedText) {
  test::TempFolder folder;
  const fs::path file = folder.Write(
      "config.lua", "client {\r\n\tserverList = {\r\n\t\t[1] = \"one.example\";\r\n\t};\r\n}\r\n");
  TypeInList("typed");
  window->GameFiles().Load("Network", file);
  EXPECT_EQ(Shown(), (Entries{"one.example"}));
  EXPECT_EQ(List()->currentText(), "typed");
}

TEST_F(MultiplayerPagesTest, OpenTakesEveryLineAsAnEntryAndRemembersTheFolder) {
  struct Case {
    const char* name;
    std::string bytes;
    Entries expected;
  };
  const Case cases[] = {
      {"CR LF", "one\r\ntwo\r\n", {"one", "two"}},
      {"LF, blank line, no final break", "one\n\n two \nlast", {"one", "", " two ", "last"}},
      {"CR", "one\r\rtwo\r", {"one", "", "two"}},
      {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"empty file", "", {}},
  };
  test::TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = folder.Write(std::string(c.name) + "/servers.txt", c.bytes);
    window->EnableApplyCancel(false, false);
    joins->clear();
    Choose("SpeedButtonServerListOpen", file);
    EXPECT_EQ(Network().servers, c.expected);
    EXPECT_EQ(Shown(), c.expected);
    EXPECT_TRUE(window->Configuration().ApplyEnabled());
    EXPECT_EQ(ServerListPath(), (folder / c.name).string() + "/");
    // The tray's join entries follow the list they offer.
    EXPECT_EQ(joins->count(), 1);
  }
  EXPECT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
}

TEST_F(MultiplayerPagesTest, FileDialogsStartInTheRememberedFolderElseInTheProgramsServerLists) {
  dialogs.QueueCancel();
  Click("SpeedButtonServerListOpen");
  dialogs.QueueCancel();
  Click("SpeedButtonServerListSave");
  ASSERT_EQ(dialogs.Recorded().size(), 2u);
  const test::RecordedDialog& open = dialogs.Recorded()[0];
  const test::RecordedDialog& save = dialogs.Recorded()[1];
  EXPECT_EQ(open.kind, "Open");
  EXPECT_EQ(open.text, window->LookupMessage("ServerListOpenTitle"));
  EXPECT_EQ(save.kind, "Save");
  EXPECT_EQ(save.text, window->LookupMessage("ServerListSaveTitle"));
  for (const auto* dialog : {&open, &save}) {
    EXPECT_EQ(dialog->file.folder, Text(install.Folder().ServerLists()));
    EXPECT_EQ(dialog->file.filter, kFilter);
  }
  EXPECT_EQ(save.file.defaultExtension, "txt");
  // Cancelled dialogs change nothing.
  EXPECT_EQ(Network().servers, (Entries{"192.168.0.10", "lockon.example.org"}));
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  EXPECT_EQ(joins->count(), 0);

  WriteIniValueOrFail(install.SettingsFile(), "Config", "ServerListPath", "/srv/lists/");
  for (const char* button : {"SpeedButtonServerListOpen", "SpeedButtonServerListSave"}) {
    dialogs.ClearRecorded();
    dialogs.QueueCancel();
    Click(button);
    ASSERT_EQ(dialogs.Recorded().size(), 1u);
    EXPECT_EQ(dialogs.Recorded()[0].file.folder, "/srv/lists/") << button;
  }
}

TEST_F(MultiplayerPagesTest, UnreadableFileIsReportedAndChangesNeitherTheListNorTheFolder) {
  test::TempFolder folder;
  WriteIniValueOrFail(install.SettingsFile(), "Config", "ServerListPath", "/srv/lists/");
  ASSERT_EQ(::mkfifo((folder / "fifo.txt").c_str(), 0600), 0);
  fs::create_directory(folder / "folder.txt");
  struct Case {
    const char* name;
    const char* reason;
  };
  const Case cases[] = {
      {"missing.txt", "No such file or directory"},
      {"fifo.txt", "only regular files are read"},  // refused at once, never waited on
      {"folder.txt", "only regular files are read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Choose("SpeedButtonServerListOpen", folder / c.name);
    ASSERT_EQ(dialogs.Recorded().size(), 2u) << Recorded();
    const test::RecordedDialog& report = dialogs.Recorded()[1];
    EXPECT_EQ(report.kind, "Error");
    EXPECT_TRUE(report.text.startsWith(window->LookupMessage("ServerListOpenFailed") + "\r\n"))
        << report.text.toStdString();
    EXPECT_TRUE(report.text.contains(Text(folder / c.name))) << report.text.toStdString();
    EXPECT_TRUE(report.text.contains(c.reason)) << report.text.toStdString();
    // Whatever the list held is kept: a file that could not be read replaces nothing.
    EXPECT_EQ(Network().servers, (Entries{"192.168.0.10", "lockon.example.org"}));
    EXPECT_EQ(Shown(), Network().servers);
    EXPECT_FALSE(window->Configuration().ApplyEnabled());
    EXPECT_EQ(ServerListPath(), "/srv/lists/");
    EXPECT_EQ(joins->count(), 0);
  }
}

TEST_F(MultiplayerPagesTest, SaveWritesOneCrLfLineAnEntryAndRemembersTheFolder) {
  test::TempFolder folder;
  ShowServers({"one", "", " two "});
  const test::RecordedDialog& save = Choose("SpeedButtonServerListSave", folder / "mine.txt");
  EXPECT_EQ(save.kind, "Save");
  EXPECT_EQ(test::ReadBytes(folder / "mine.txt"), "one\r\n\r\n two \r\n");
  EXPECT_EQ(ServerListPath(), folder.Path().string() + "/");
  EXPECT_FALSE(window->Configuration().ApplyEnabled());  // nothing of the game's files changed
  EXPECT_EQ(dialogs.Recorded().size(), 1u) << Recorded();

  // An existing file is replaced; the modified state stays as it was.
  ShowServers({"three"});
  window->EnableApplyCancel(true, true);
  Choose("SpeedButtonServerListSave", folder / "mine.txt");
  EXPECT_EQ(test::ReadBytes(folder / "mine.txt"), "three\r\n");
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
}

TEST_F(MultiplayerPagesTest, SaveThatCannotWriteIsReportedAndKeepsTheFolder) {
  test::TempFolder folder;
  WriteIniValueOrFail(install.SettingsFile(), "Config", "ServerListPath", "/srv/lists/");
  const fs::path target = folder / "no such folder/mine.txt";
  Choose("SpeedButtonServerListSave", target);
  ASSERT_EQ(dialogs.Recorded().size(), 2u) << Recorded();
  const test::RecordedDialog& report = dialogs.Recorded()[1];
  EXPECT_EQ(report.kind, "Error");
  EXPECT_TRUE(report.text.startsWith(window->LookupMessage("ServerListSaveFailed") + "\r\n"))
      << report.text.toStdString();
  EXPECT_TRUE(report.text.contains(Text(target))) << report.text.toStdString();
  EXPECT_TRUE(report.text.contains("No such file or directory")) << report.text.toStdString();
  EXPECT_FALSE(fs::exists(target));
  EXPECT_EQ(ServerListPath(), "/srv/lists/");
}

TEST_F(MultiplayerPagesTest, CyrillicEntryRoundTripsThroughTheGamesCodePage) {
  {
    // A code page without Cyrillic letters refuses them as they are typed.
    const ScopedGameCodePage western(1252);
    TypeInList(QString::fromUtf8("Сервер"));
    EXPECT_EQ(List()->currentText(), "");
  }
  const ScopedGameCodePage cyrillic(1251);
  const std::string server = "\xD1\xE5\xF0\xE2\xE5\xF0";  // "Сервер" in 1251
  TypeInList(QString::fromUtf8("Сервер"));
  Click("SpeedButtonServerListAdd");
  EXPECT_EQ(Network().servers.back(), server);

  test::TempFolder folder;
  Choose("SpeedButtonServerListSave", folder / "servers.txt");
  EXPECT_EQ(test::ReadBytes(folder / "servers.txt"),
            "192.168.0.10\r\nlockon.example.org\r\n" + server + "\r\n");

  // Deleting in the other letter case finds it; opening the saved file brings it back.
  TypeInList(QString::fromUtf8("сЕРВЕР"));
  Click("SpeedButtonServerListDelete");
  EXPECT_EQ(Network().servers, (Entries{"192.168.0.10", "lockon.example.org"}));
  Choose("SpeedButtonServerListOpen", folder / "servers.txt");
  EXPECT_EQ(Network().servers.back(), server);
  EXPECT_EQ(List()->itemText(2), QString::fromUtf8("Сервер"));
  EXPECT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
}

TEST_F(MultiplayerPagesTest, ApplyWritesTheEditsIntoTheGameFiles) {
  Type(Control("EditPlayerName"), "Pilot \"One\"");
  TypeInList("new.example");
  Click("SpeedButtonServerListAdd");
  Control<QCheckBox>("CheckBoxShowMessage")->click();
  Control<QCheckBox>("CheckboxCameraTerrainRestriction")->click();
  window->Configuration().dxButtonApplyClick();
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
  EXPECT_FALSE(window->Configuration().ApplyEnabled());

  const fs::path config = install.Game("Config/network/config.lua");
  const std::string written = test::ReadBytes(config);
  EXPECT_NE(written.find("playerName = \"Pilot \\\"One\\\"\";\r\n"), std::string::npos) << written;
  EXPECT_NE(written.find("\t\t[3] = \"new.example\";\r\n"), std::string::npos) << written;
  ExpectLuaReads(config);
  EXPECT_NE(test::ReadBytes(install.Game("Config/network/stats.lua")).find("chat_log = false;"),
            std::string::npos);
  EXPECT_NE(test::ReadBytes(install.Game("Config/view/server.lua")).find("CameraTerrainRestriction = false"),
            std::string::npos);
}

}  // namespace
}  // namespace kesta
