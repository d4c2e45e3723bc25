#include "ui/ribbon_layout.h"

#include <vector>

#include "ui/application_menu.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"
#include "ui/ribbon_group.h"
#include "ui/ribbon_icons.h"

namespace kesta {

namespace {

using Size = TRibbonButton::Size;

enum class Kind { Page, Command, Separator };

struct ButtonDesign {
  const char* name;
  const char* caption;
  Size size = Size::Large;
  Kind kind = Kind::Page;
};

struct GroupDesign {
  const char* name;
  const char* caption;
  std::vector<ButtonDesign> buttons;
};

struct TabDesign {
  const char* name;
  const char* caption;
  std::vector<GroupDesign> groups;
};

const ButtonDesign kSeparator{nullptr, nullptr, Size::Large, Kind::Separator};

// Page buttons are large except the three optimisation pages, which stack as one column; the colour
// buttons stack the same way beside the large window-style button, so the Options tab fits 490 px.
const std::vector<TabDesign>& TabDesigns() {
  static const std::vector<TabDesign> tabs{
      {"dxTabDisplay",
       "Display",
       {{"dxBarGraphics",
         "Graphics",
         {{"dxButtonGraphicsStandard", "Standard"},
          {"dxButtonGraphicsCockpit", "Cockpit"},
          kSeparator,
          {"dxButtonResolution", "Resolution"},
          kSeparator,
          {"dxButtonScreenshots", "Screenshots"}}},
        {"dxBarOptimisations",
         "Optimizations",
         {{"dxButtonOptimisation", "Optimisation", Size::Small},
          {"dxButtonObjectClipping", "ObjectClipping", Size::Small},
          {"dxButtonObjectDensity", "ObjectDensity", Size::Small}}}}},
      {"dxTabGameSettings",
       "Game settings",
       {{"dxBarMultiplayer",
         "Multiplayer",
         {{"dxButtonMultiClient", "Client Settings"}, {"dxButtonMultiServer", "Server Settings"}}},
        {"dxBarGameSettings", "Game settings", {{"dxButtonRealism", "Realism"}, {"dxButtonOther", "Other"}}},
        {"dxBarAdvancedUser", "Advanced user", {{"dxButtonLUA", "Export LUA"}}}}},
      {"dxTabCustomization",
       "Customization",
       {{"dxBarView", "View", {{"dxButtonView", "View settings"}, {"dxButtonMouseView", "Mouse view"}}},
        {"dxBarSmokePod", "SmokePod", {{"dxButtonSmokeColor", "Smoke Pod color"}}}}},
      {"dxTabOptions",
       "Options",
       {{"dxBarOptions", "Options", {{"dxButtonOptions", "Options KESTA"}, {"dxButtonBackup", "Backup"}}},
        {"dxBarThemes",
         "Appearance",
         {{"dxButtonThemesBlue", "Blue", Size::Small, Kind::Command},
          {"dxButtonThemesSilver", "Silver", Size::Small, Kind::Command},
          {"dxButtonThemesBlack", "Black", Size::Small, Kind::Command},
          kSeparator,
          {"dxButtonFormStyle", "Form style", Size::Large, Kind::Command}}}}},
  };
  return tabs;
}

// Application menu items; a null name begins a new group.
const std::vector<ButtonDesign>& MenuDesign() {
  static const std::vector<ButtonDesign> items{
      {"dxButtonApply", "Apply"},
      // What Apply would change, beside it.
      {"dxButtonReview", "Review changes"},
      {"dxButtonCancel", "Cancel"},
      // Taking an Apply back
      {"dxButtonUndoApply", "Undo last Apply"},
      kSeparator,
      {"dxButtonOpenConfig", "Open config"},
      {"dxButtonSaveConfig", "Save Config"},
      kSeparator,
      {"dxButtonPlay", "Play"},
      {"dxButtonOpenServer", "Open Server"},
      {"dxButtonJoinServer", "Join a server"},
      kSeparator,
      {"dxButtonLotatcNet", "LoTATC.NET"},
      kSeparator,
      {"dxButtonLotatcClient", "Lotatc client"},
      {"dxButtonLotatcServer", "Lotatc server"},
      kSeparator,
      {"dxButtonKESTAUpdate", "KESTA Update"},
      {"dxButtonReportBug", "Report bug"},
  };
  return items;
}

class TBuilder {
 public:
  explicit TBuilder(RibbonLayout& layout) : m_layout(layout) {}

  TRibbonButton* Make(const ButtonDesign& design) {
    const QString name = QString::fromLatin1(design.name);
    auto* button = new TRibbonButton(name, design.size);
    button->SetCaption(QString::fromUtf8(design.caption));
    if (name == u"dxButtonApply") button->SetHint(QStringLiteral("Apply configuration to Lock On"));
    if (design.kind == Kind::Page) button->SetLatching(true);
    m_layout.buttons.append(button);
    if (name == u"dxButtonApply") m_layout.applyButtons.append(button);
    if (name == u"dxButtonCancel") m_layout.cancelButtons.append(button);
    if (name == u"dxButtonReview") m_layout.reviewButtons.append(button);
    return button;
  }

  void Tabs(TRibbon& ribbon) {
    for (const TabDesign& tabDesign : TabDesigns()) {
      TRibbonTab* tab = ribbon.AddTab(QString::fromLatin1(tabDesign.name));
      tab->SetCaption(QString::fromUtf8(tabDesign.caption));
      m_layout.tabs.append(tab);
      for (const GroupDesign& groupDesign : tabDesign.groups) {
        auto* group = tab->AddGroup(new TRibbonGroup(QString::fromLatin1(groupDesign.name)));
        group->SetCaption(QString::fromUtf8(groupDesign.caption));
        for (const ButtonDesign& design : groupDesign.buttons) {
          if (design.kind == Kind::Separator) {
            group->AddSeparator();
            continue;
          }
          TRibbonButton* button = group->AddButton(Make(design));
          if (design.kind == Kind::Page) m_layout.pageButtons.append(button);
        }
      }
    }
  }

  void Menu(TApplicationMenu& menu) {
    for (const ButtonDesign& design : MenuDesign()) {
      if (design.kind == Kind::Separator)
        menu.AddSeparator();
      else
        menu.AddItem(Make({design.name, design.caption, Size::Small, Kind::Command}));
    }
    menu.AddFootButton(Make({"dxButtonAbout", "About", Size::Small, Kind::Command}));
    menu.AddFootButton(Make({"dxButtonExit", "Exit", Size::Small, Kind::Command}));
    menu.SetExtraPaneHeader(QStringLiteral("Configuration récentes"));
  }

 private:
  RibbonLayout& m_layout;
};

}  // namespace

TRibbonButton* RibbonLayout::Button(const QString& name) const {
  for (TRibbonButton* button : buttons)
    if (button->objectName() == name) return button;
  return nullptr;
}

TRibbonTab* RibbonLayout::Tab(const QString& name) const {
  for (TRibbonTab* tab : tabs)
    if (tab->objectName() == name) return tab;
  return nullptr;
}

RibbonLayout BuildKestaRibbon(TRibbon& ribbon) {
  RibbonLayout layout;
  TBuilder builder(layout);
  builder.Tabs(ribbon);
  // The quick bar's copies come first, so Button() finds them.
  for (const ButtonDesign& design :
       {MenuDesign()[0], MenuDesign()[1], MenuDesign()[2]})  // Apply, Review, Cancel
    ribbon.AddQuickButton(builder.Make({design.name, design.caption, Size::Small, Kind::Command}));
  builder.Menu(*ribbon.ApplicationMenu());
  ribbon.SetDocumentName(QStringLiteral("KESTA"));
  ribbon.SetActiveTab(layout.tabs.front());
  return layout;
}

}  // namespace kesta
