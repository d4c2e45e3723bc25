#pragma once
// The program's ribbon as designed: four tabs of grouped page buttons, the quick bar and the
// application menu, each control named and captioned as the language files expect.

#include <QList>
#include <QString>

namespace kesta {

class TRibbon;
class TRibbonButton;
class TRibbonTab;

struct RibbonLayout {
  // dxTabDisplay, dxTabGameSettings, dxTabCustomization, dxTabOptions.
  QList<TRibbonTab*> tabs;
  // The 17 latching page buttons, in ribbon order (tab by tab, group by group).
  QList<TRibbonButton*> pageButtons;
  // dxButtonApply and dxButtonCancel live twice, quick bar first, then the application menu.
  QList<TRibbonButton*> applyButtons;
  QList<TRibbonButton*> cancelButtons;
  // dxButtonReview stands beside Apply in both places.
  QList<TRibbonButton*> reviewButtons;
  // Every button created, in creation order.
  QList<TRibbonButton*> buttons;

  // The first button with that object name, or nullptr.
  TRibbonButton* Button(const QString& name) const;
  TRibbonTab* Tab(const QString& name) const;
};

RibbonLayout BuildKestaRibbon(TRibbon& ribbon);

}  // namespace kesta
