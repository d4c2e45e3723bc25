// The multiplayer pages: the player, the client's connection, its server list and the chat window of
// config.lua; the server a player hosts (config.lua), its chat log (stats.lua) and the views it allows
// (server.lua).

#include "pages/multiplayer/multiplayer_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include "documents/network_document.h"
#include "documents/server_document.h"
#include "engine/game_file.h"
#include "pages/game_page.h"
#include "pages/graphics/graphics_controls.h"
#include "pages/page_host.h"
#include "platform/file_io.h"
#include "sets/game_file_set.h"
#include "settings/game_folder_lookup.h"
#include "settings/program_folder.h"
#include "ui/dialog_service.h"
#include "ui/game_text.h"
#include "ui/ribbon_icons.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

// Server lists are plain text files; players trade them, so the dialogs offer every file as well.
constexpr char kServerListFilter[] = "Fichier texte (*txt.)|*.txt|Tous les fichiers (*.*)|*.*";

QString PathText(const fs::path& path) { return QString::fromStdString(path.string()); }

// A text box for game text: it takes only what the game's code page can store.
QLineEdit* MakeGameTextEdit(const char* name, int maxLength, QWidget* parent) {
  QLineEdit* edit = MakeEdit(name, maxLength, parent);
  AcceptGameTextOnly(edit);
  return edit;
}

// Ports, counts and delays are a few digits: a box as wide as the longest of them, so the form does not
// suggest room for more.
void MakeNarrow(QLineEdit* edit) {
  const QMargins margins = edit->textMargins();
  edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QString(7, u'0')) + margins.left() +
                        margins.right() + 16);
}

QFormLayout* MakeForm(QWidget* group) {
  auto* form = new QFormLayout(group);
  form->setHorizontalSpacing(12);
  form->setVerticalSpacing(6);
  form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return form;
}

QComboBox* MakeConnectionTypeList(const char* name, QWidget* parent) {
  QComboBox* box = MakeComboBox(name, parent);
  for (std::string_view type : ConnectionTypes()) box->addItem(FromGameText(std::string(type)));
  return box;
}

// "" (a file without a known type) selects no entry.
void ShowConnectionType(QComboBox* box, const std::string& type) {
  const auto& types = ConnectionTypes();
  const auto found = std::find(types.begin(), types.end(), type);
  box->setCurrentIndex(found == types.end() ? -1 : static_cast<int>(found - types.begin()));
}

std::string ConnectionTypeOf(const QComboBox* box) {
  const int index = box->currentIndex();
  const auto& types = ConnectionTypes();
  return index < 0 || index >= static_cast<int>(types.size())
             ? std::string()
             : std::string(types[static_cast<size_t>(index)]);
}

// A plus or a minus, as the ribbon's glyphs are drawn: on a 16 x 16 grid, in the palette's green and red.
QIcon SignIcon(bool plus) {
  QIcon icon;
  for (const int side : {16, 32}) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / 16.0, side / 16.0);
    painter.setPen(
        QPen(plus ? QColor(0x35, 0xa8, 0x5a) : QColor(0xd8, 0x4a, 0x3f), 2.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(3.5, 8), QPointF(12.5, 8));
    if (plus) painter.drawLine(QPointF(8, 3.5), QPointF(8, 12.5));
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

QToolButton* MakeListButton(const char* name, const QIcon& icon, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setIcon(icon);
  button->setIconSize(QSize(16, 16));
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  return button;
}

// The text boxes of config.lua and the document member each one shows.
struct NetworkEdit {
  const char* label;
  const char* name;
  int maxLength;
  std::string NetworkDocument::*member;
  bool narrow;
};

class TMultiplayerPage : public TGamePage {
 protected:
  using TGamePage::TGamePage;

  // Adds the labelled box to the form; each change the user makes is written at once.
  void AddNetworkEdit(QFormLayout* form, QWidget* group, const NetworkEdit& design) {
    QLineEdit* edit = MakeGameTextEdit(design.name, design.maxLength, group);
    if (design.narrow) MakeNarrow(edit);
    form->addRow(AddLabel(design.label, group), edit);
    m_networkEdits.emplace_back(edit, design.member);
    OnUserChange(edit, &QLineEdit::textChanged, [this, edit, member = design.member] {
      if (NetworkDocument* network = DocumentOf<NetworkDocument>())
        network->*member = ToGameText(edit->text());
      MarkModified();
    });
  }

  void FillNetworkEdits() {
    const NetworkDocument* network = DocumentOf<NetworkDocument>();
    if (!network) return;
    for (const auto& [edit, member] : m_networkEdits) ShowGameText(edit, network->*member);
  }

  QLabel* AddLabel(const char* name, QWidget* group) {
    QLabel* label = MakeLabel(name, group);
    m_labels.push_back(label);
    return label;
  }

  // The forms of the page's groups line their boxes up at the language's widest label. Captions are
  // set after the page is built, so this waits for the page to be shown.
  void showEvent(QShowEvent* event) override {
    int widest = 0;
    for (const QLabel* label : m_labels) widest = std::max(widest, label->sizeHint().width());
    for (QLabel* label : m_labels) label->setMinimumWidth(widest);
    TGamePage::showEvent(event);
  }

  // Each change the user makes to the connection type list is written at once.
  void ConnectConnectionTypeList(QComboBox* box, std::string NetworkDocument::*member) {
    OnUserChange(box, &QComboBox::currentIndexChanged, [this, box, member] {
      if (NetworkDocument* network = DocumentOf<NetworkDocument>()) network->*member = ConnectionTypeOf(box);
      MarkModified();
    });
  }

 private:
  std::vector<std::pair<QLineEdit*, std::string NetworkDocument::*>> m_networkEdits;
  std::vector<QLabel*> m_labels;
};

constexpr NetworkEdit kPlayerEdits[] = {
    {"LabelPlayerName", "EditPlayerName", 50, &NetworkDocument::playerName, false},
    {"LabelClientPort", "EditClientPort", 5, &NetworkDocument::clientPort, true},
};
constexpr NetworkEdit kDefaultServerEdit = {"LabelServerDefault", "EditServerDefault", 100,
                                            &NetworkDocument::defaultServer, false};
constexpr NetworkEdit kChatEdits[] = {
    {"LabelChatHeight", "EditChatHeight", 4, &NetworkDocument::chatHeight, true},
    {"LabelChatDelay", "EditChatDelay", 5, &NetworkDocument::chatDelay, true},
};

class TMultiplayerClientPage final : public TMultiplayerPage {
 public:
  TMultiplayerClientPage(TPageHost& host, TTabSheet* sheet) : TMultiplayerPage(host, sheet) {
    QGroupBox* player = MakeGroupBox("GroupBoxClient", this);
    QFormLayout* playerForm = MakeForm(player);
    for (const NetworkEdit& edit : kPlayerEdits) AddNetworkEdit(playerForm, player, edit);
    m_comboBoxConnexionType = MakeConnectionTypeList("ComboBoxConnexionType", player);
    playerForm->addRow(AddLabel("LabelConnexionType", player), m_comboBoxConnexionType);
    ConnectConnectionTypeList(m_comboBoxConnexionType, &NetworkDocument::connectionType);

    QGroupBox* servers = MakeGroupBox("GroupBoxServerList", this);
    QFormLayout* serverForm = MakeForm(servers);
    AddNetworkEdit(serverForm, servers, kDefaultServerEdit);
    auto* row = new QHBoxLayout();
    row->setSpacing(2);
    m_comboBoxServerList = MakeComboBox("ComboBoxServerList", servers);
    m_comboBoxServerList->setEditable(true);
    // Entries come and go through the buttons only, so the list always matches the document.
    m_comboBoxServerList->setInsertPolicy(QComboBox::NoInsert);
    AcceptGameTextOnly(m_comboBoxServerList->lineEdit());
    m_comboBoxServerList->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    row->addWidget(m_comboBoxServerList, 1);
    row->addSpacing(4);
    const ListButton buttons[] = {
        {"SpeedButtonServerListAdd", SignIcon(true), &TMultiplayerClientPage::SpeedButtonServerListAddClick},
        {"SpeedButtonServerListDelete", SignIcon(false),
         &TMultiplayerClientPage::SpeedButtonServerListDeleteClick},
        {"SpeedButtonServerListOpen", RibbonIcon("SpeedButtonLoadFromFile"),
         &TMultiplayerClientPage::SpeedButtonServerListOpenClick},
        {"SpeedButtonServerListSave", RibbonIcon("SpeedButtonSaveToFile"),
         &TMultiplayerClientPage::SpeedButtonServerListSaveClick},
    };
    for (const ListButton& design : buttons) {
      QToolButton* button = MakeListButton(design.name, design.icon, servers);
      connect(button, &QToolButton::clicked, this, [this, click = design.click] { (this->*click)(); });
      row->addWidget(button);
    }
    serverForm->addRow(AddLabel("LabelServerList", servers), row);
    // The typed text is the list's too: picking or typing an entry counts as a change.
    OnUserChange(m_comboBoxServerList, &QComboBox::editTextChanged, [this] { MarkModified(); });

    QGroupBox* chat = MakeGroupBox("GroupBoxChat", this);
    QFormLayout* chatForm = MakeForm(chat);
    for (const NetworkEdit& edit : kChatEdits) AddNetworkEdit(chatForm, chat, edit);

    layout()->addWidget(player);
    layout()->addWidget(servers);
    layout()->addWidget(chat);
  }

 private:
  struct ListButton {
    const char* name;
    QIcon icon;
    void (TMultiplayerClientPage::*click)();
  };

  void Fill() override {
    const NetworkDocument* network = DocumentOf<NetworkDocument>();
    if (!network) return;
    FillNetworkEdits();
    ShowConnectionType(m_comboBoxConnexionType, network->connectionType);
    ShowServers(network->servers);
  }

  // The entries from the document; the text being typed stays.
  void ShowServers(const std::vector<std::string>& servers) {
    const QSignalBlocker blocker(m_comboBoxServerList);
    const QString typed = m_comboBoxServerList->currentText();
    m_comboBoxServerList->clear();
    for (const std::string& server : servers) m_comboBoxServerList->addItem(FromGameText(server));
    m_comboBoxServerList->setCurrentIndex(-1);
    m_comboBoxServerList->setEditText(typed);
  }

  // Whatever is typed becomes the last entry: an empty text or a repeat too, as the game reads them.
  void SpeedButtonServerListAddClick() {
    NetworkDocument* network = DocumentOf<NetworkDocument>();
    if (!network) return;
    network->servers.push_back(ToGameText(m_comboBoxServerList->currentText()));
    ShowServers(network->servers);
    GameFiles().ServerListChanged();
    MarkModified();
  }

  // Removes the first entry that reads as the typed text in any letter case, Cyrillic included.
  void SpeedButtonServerListDeleteClick() {
    NetworkDocument* network = DocumentOf<NetworkDocument>();
    if (!network) return;
    const QString typed = m_comboBoxServerList->currentText();
    auto& servers = network->servers;
    const auto found = std::find_if(servers.begin(), servers.end(), [&typed](const std::string& server) {
      return FromGameText(server).compare(typed, Qt::CaseInsensitive) == 0;
    });
    if (found != servers.end()) servers.erase(found);
    ShowServers(servers);
    GameFiles().ServerListChanged();
    MarkModified();
  }

  // A server list file replaces the entries. Nothing changes unless the whole file could be read.
  void SpeedButtonServerListOpenClick() {
    NetworkDocument* network = DocumentOf<NetworkDocument>();
    if (!network) return;
    const auto chosen = m_host.Dialogs().OpenFileName(ServerListRequest("ServerListOpenTitle"));
    if (!chosen || chosen->isEmpty()) return;
    const fs::path path = fs::absolute(chosen->toStdString());
    std::string bytes;
    try {
      bytes = ReadWholeFile(path);
    } catch (const std::exception& failure) {
      m_host.Dialogs().Error(m_host.LookupMessage("ServerListOpenFailed") + "\r\n" +
                             QString::fromUtf8(failure.what()));
      return;
    }
    network->servers = SplitGameText(bytes);
    ShowServers(network->servers);
    // The tray's join entries would otherwise offer the servers of the list just replaced.
    GameFiles().ServerListChanged();
    MarkModified();
    StoreServerListFolder(path);
  }

  // Writes the entries as they are; the game files and the modified state are not concerned.
  void SpeedButtonServerListSaveClick() {
    const NetworkDocument* network = DocumentOf<NetworkDocument>();
    if (!network) return;
    FileDialogRequest request = ServerListRequest("ServerListSaveTitle");
    request.defaultExtension = "txt";
    const auto chosen = m_host.Dialogs().SaveFileName(request);
    if (!chosen || chosen->isEmpty()) return;
    const fs::path path = fs::absolute(chosen->toStdString());
    try {
      WriteFileAtomically(path, JoinGameText(network->servers));
    } catch (const std::exception& failure) {
      m_host.Dialogs().Error(m_host.LookupMessage("ServerListSaveFailed") + "\r\n" +
                             QString::fromUtf8(failure.what()));
      return;
    }
    StoreServerListFolder(path);
  }

  // The dialogs start where the last server list was opened or saved, else in the program's own folder
  // of server lists.
  FileDialogRequest ServerListRequest(const char* titleKey) const {
    FileDialogRequest request;
    request.title = m_host.LookupMessage(titleKey);
    const std::string stored = m_host.ReadSetting("Config", "ServerListPath");
    request.folder =
        stored.empty() ? PathText(m_host.Folder().ServerLists()) : QString::fromStdString(stored);
    request.filter = kServerListFilter;
    return request;
  }

  void StoreServerListFolder(const fs::path& file) {
    m_host.StoreSetting("Config", "ServerListPath", WithTrailingSeparator(file.parent_path().string()));
  }

  QComboBox* m_comboBoxConnexionType = nullptr;
  QComboBox* m_comboBoxServerList = nullptr;
};

constexpr NetworkEdit kServerNameEdit = {"LabelServerName", "EditServerName", 50,
                                         &NetworkDocument::serverName, false};
constexpr NetworkEdit kMaxPlayersEdit = {"LabelMaxPlayers", "EditMaxPlayers", 5, &NetworkDocument::maxPlayers,
                                         true};
constexpr NetworkEdit kServerPortEdit = {"LabelServerPort", "EditServerPort", 5, &NetworkDocument::serverPort,
                                         true};

class TMultiplayerServerPage final : public TMultiplayerPage {
 public:
  TMultiplayerServerPage(TPageHost& host, TTabSheet* sheet,
                         std::function<void(const std::string& password)> roomPassword)
      : TMultiplayerPage(host, sheet) {
    QGroupBox* server = MakeGroupBox("GroupBoxServer", this);
    QFormLayout* form = MakeForm(server);
    AddNetworkEdit(form, server, kServerNameEdit);
    // The room's password lives only as long as the program: no file holds it.
    m_editServerPassword = MakeGameTextEdit("EditServerPassword", 5, server);
    m_editServerPassword->setEchoMode(QLineEdit::PasswordEchoOnEdit);
    MakeNarrow(m_editServerPassword);
    form->addRow(AddLabel("LabelServerPassword", server), m_editServerPassword);
    // Like every field of the page, typing marks the pages modified, though Apply writes it nowhere.
    OnUserChange(m_editServerPassword, &QLineEdit::textEdited, [this] { MarkModified(); });
    connect(
        m_editServerPassword, &QLineEdit::textChanged, this,
        [roomPassword = std::move(roomPassword)](const QString& text) { roomPassword(ToGameText(text)); });
    AddNetworkEdit(form, server, kMaxPlayersEdit);
    m_comboBoxConnexionTypeServer = MakeConnectionTypeList("ComboBoxConnexionTypeServer", server);
    form->addRow(AddLabel("LabelConnexionTypeServer", server), m_comboBoxConnexionTypeServer);
    ConnectConnectionTypeList(m_comboBoxConnexionTypeServer, &NetworkDocument::serverConnectionType);
    m_comboBoxInterface = MakeComboBox("ComboBoxInterface", server);
    m_comboBoxInterface->addItems({"Lan & Internet", "Lan"});  // in the order of ServerInterface
    form->addRow(AddLabel("LabelInterface", server), m_comboBoxInterface);
    AddNetworkEdit(form, server, kServerPortEdit);
    m_checkBoxShowMessage = MakeCheckBox("CheckBoxShowMessage", server);
    form->addRow(m_checkBoxShowMessage);
    OnUserChange(m_comboBoxInterface, &QComboBox::currentIndexChanged, [this] { ComboBoxInterfaceChange(); });
    OnUserChange(m_checkBoxShowMessage, &QCheckBox::toggled, [this] { CheckBoxShowMessageClick(); });

    QGroupBox* views = MakeGroupBox("GroupBoxServerViews", this);
    auto* column = new QVBoxLayout(views);
    column->setSpacing(6);
    m_checkboxDisableCombatViews = MakeCheckBox("CheckboxDisableCombatViews", views);
    m_checkboxCameraTerrainRestriction = MakeCheckBox("CheckboxCameraTerrainRestriction", views);
    column->addWidget(m_checkboxDisableCombatViews);
    column->addWidget(m_checkboxCameraTerrainRestriction);
    for (QCheckBox* box : {m_checkboxDisableCombatViews, m_checkboxCameraTerrainRestriction})
      OnUserChange(box, &QCheckBox::toggled, [this] { CheckboxViewsClick(); });

    layout()->addWidget(server);
    layout()->addWidget(views);
  }

 private:
  void Fill() override {
    FillNetworkEdits();
    if (const NetworkDocument* network = DocumentOf<NetworkDocument>()) {
      ShowConnectionType(m_comboBoxConnexionTypeServer, network->serverConnectionType);
      m_comboBoxInterface->setCurrentIndex(static_cast<int>(network->serverInterface));
    }
    if (const StatsDocument* stats = DocumentOf<StatsDocument>())
      m_checkBoxShowMessage->setChecked(stats->chatLog);
    if (const ServerDocument* views = DocumentOf<ServerDocument>()) {
      m_checkboxDisableCombatViews->setChecked(views->combatViewsDisabled);
      m_checkboxCameraTerrainRestriction->setChecked(views->cameraTerrainRestriction);
    }
  }

  void ComboBoxInterfaceChange() {
    if (NetworkDocument* network = DocumentOf<NetworkDocument>())
      network->serverInterface =
          m_comboBoxInterface->currentIndex() == 0 ? ServerInterface::LanAndInternet : ServerInterface::Lan;
    MarkModified();
  }

  void CheckBoxShowMessageClick() {
    if (StatsDocument* stats = DocumentOf<StatsDocument>())
      stats->chatLog = m_checkBoxShowMessage->isChecked();
    MarkModified();
  }

  void CheckboxViewsClick() {
    if (ServerDocument* views = DocumentOf<ServerDocument>()) {
      views->combatViewsDisabled = m_checkboxDisableCombatViews->isChecked();
      views->cameraTerrainRestriction = m_checkboxCameraTerrainRestriction->isChecked();
    }
    MarkModified();
  }

  QLineEdit* m_editServerPassword = nullptr;
  QComboBox* m_comboBoxConnexionTypeServer = nullptr;
  QComboBox* m_comboBoxInterface = nullptr;
  QCheckBox* m_checkBoxShowMessage = nullptr;
  QCheckBox* m_checkboxDisableCombatViews = nullptr;
  QCheckBox* m_checkboxCameraTerrainRestriction = nullptr;
};

}  // namespace

TGamePage* MakeMultiplayerClientPage(TPageHost& host, TTabSheet* sheet) {
  return new TMultiplayerClientPage(host, sheet);
}

TGamePage* MakeMultiplayerServerPage(TPageHost& host, TTabSheet* sheet,
                                     std::function<void(const std::string& password)> roomPassword) {
  return new TMultiplayerServerPage(host, sheet, std::move(roomPassword));
}

}  // namespace kesta
