#include "language/setting_search.h"

#include <QHash>
#include <algorithm>
#include <vector>

namespace kesta {

namespace {

constexpr PagePlace kPagePlaces[] = {
    {"TabSheetGraphicsStandards", "dxButtonGraphicsStandard", "dxTabDisplay"},
    {"TabSheetGraphicsCockpit", "dxButtonGraphicsCockpit", "dxTabDisplay"},
    {"TabSheetResolution", "dxButtonResolution", "dxTabDisplay"},
    {"TabSheetScreenshot", "dxButtonScreenshots", "dxTabDisplay"},
    {"TabSheetOptimization1", "dxButtonOptimisation", "dxTabDisplay"},
    {"TabSheetOptimization2", "dxButtonObjectClipping", "dxTabDisplay"},
    {"TabSheetOptimization3", "dxButtonObjectDensity", "dxTabDisplay"},
    {"TabSheetMultiplayerClient", "dxButtonMultiClient", "dxTabGameSettings"},
    {"TabSheetMultiplayerServer", "dxButtonMultiServer", "dxTabGameSettings"},
    {"TabSheetRealism", "dxButtonRealism", "dxTabGameSettings"},
    {"TabSheetOther1", "dxButtonOther", "dxTabGameSettings"},
    {"TabSheetLUA", "dxButtonLUA", "dxTabGameSettings"},
    {"TabSheetViewCockpit", "dxButtonView", "dxTabCustomization"},
    {"TabSheetViewGlobal", "dxButtonMouseView", "dxTabCustomization"},
    {"TabSheetSmokeColor", "dxButtonSmokeColor", "dxTabCustomization"},
    {"TabSheetOptionKESTA", "dxButtonOptions", "dxTabOptions"},
    {"TabSheetBackup", "dxButtonBackup", "dxTabOptions"},
};

struct PageControls {
  const char* page;
  std::vector<const char*> controls;
};

// The named controls of each page that a language file labels.
const std::vector<PageControls>& ControlsOfPages() {
  static const std::vector<PageControls> pages{
      {"TabSheetGraphicsStandards",
       {"GroupBoxGraphicsStandards", "SpecialSliderTextureLevel", "SpecialSliderPrecaching",
        "SpecialSliderWaterQuality", "SpecialSliderFogQuality", "SpecialSliderLightsLevel",
        "SpecialSliderEffectOptions", "SpecialSliderShadowLevel", "SpecialSliderShadowDensity",
        "SpecialSliderScenes", "CheckboxExhaust", "CheckBoxTrafficCivil"}},
      {"TabSheetGraphicsCockpit",
       {"GroupBoxMirror", "SpecialSliderMirrors", "SpecialSliderMirrorResolution", "SpecialSliderReflections",
        "CheckboxRussianHUD", "GroupBoxCanopy"}},
      {"TabSheetResolution",
       {"GroupBoxGameResolution", "MemoInfoAspect", "CheckBoxGameFullScreen", "LabelGameResolution",
        "LabelBits", "LabelGameAspect", "GroupBoxMovieResolution", "CheckBoxMovieFullScreen",
        "LabelMovieResolution"}},
      {"TabSheetScreenshot",
       {"GroupBoxScreenshot", "CheckboxJPG", "CheckboxBMP", "LabelScreenShotName", "LabelScreenShotQuality"}},
      {"TabSheetOptimization1",
       {"LabelLandDay", "LabelLandNight", "LabelMFD", "GroupBoxFogParams", "GroupBoxLandOptions", "LabelL01",
        "LabelL12", "LabelFogParam1", "LabelFogParam2", "LabelObjectFogMultiplier"}},
      {"TabSheetOptimization2",
       {"LabelTextureLevel", "SpeedButtonAddOpti", "SpeedButtonRemoveOpti", "SliderDynamicClip",
        "SliderFarClip", "SliderLightsClip", "SliderLod", "SliderMiddleClip", "SliderMirageClip",
        "SliderNearClip", "SliderObjectsClip", "SliderStructuresClip", "SliderSurfaceClip",
        "SliderTreesClip"}},
      {"TabSheetOptimization3",
       {"LabelTextureLevelBis", "SpeedButtonAddOptiBis", "SpeedButtonRemoveOptiBis", "SliderDynamicDensity",
        "SliderLightsDensity", "SliderMirageDensity", "SliderObjectsDensity", "SliderStructuresDensity",
        "SliderSurfaceDensity", "SliderTreesDensity"}},
      {"TabSheetMultiplayerClient",
       {"LabelPlayerName", "LabelClientPort", "LabelServerDefault", "LabelChatHeight", "LabelChatDelay",
        "GroupBoxClient", "LabelConnexionType", "GroupBoxServerList", "SpeedButtonServerListAdd",
        "SpeedButtonServerListDelete", "SpeedButtonServerListOpen", "SpeedButtonServerListSave",
        "LabelServerList", "GroupBoxChat"}},
      {"TabSheetMultiplayerServer",
       {"GroupBoxServer", "LabelServerPassword", "LabelConnexionTypeServer", "LabelInterface",
        "CheckBoxShowMessage", "GroupBoxServerViews", "CheckboxDisableCombatViews",
        "CheckboxCameraTerrainRestriction", "LabelServerName", "LabelServerPort", "LabelMaxPlayers"}},
      {"TabSheetRealism", {"GroupBoxRealismMyAircraft", "SpecialSliderGEffects",
                           "GroupBoxRealismIA",         "SpecialSliderMissilesEffectiveness",
                           "GroupBoxRealismView",       "CheckBoxMapMyAircraft",
                           "CheckBoxMapAllies",         "CheckBoxMapEnnemies",
                           "CheckBoxAircraftSwitching", "CheckBoxAwacsView",
                           "CheckBoxCrashRecovery",     "CheckBoxEasyFlight",
                           "CheckBoxEasyRadar",         "CheckBoxExternalLabels",
                           "CheckBoxExternalView",      "CheckBoxImmortal",
                           "CheckBoxMiniHUD",           "CheckBoxPadLock",
                           "CheckBoxRadioAssist",       "CheckBoxUnlimitedFuel",
                           "CheckBoxUnlimitedWeapons"}},
      {"TabSheetOther1", {"RadioGroupFFB", "GroupBoxMissionDate", "LabelInfoMissionDate"}},
      {"TabSheetLUA",
       {"RadioGroupActiveExport", "LabelInfoActiveExport", "GroupBoxLUAScripts", "LabelLUAScripts",
        "LabelScriptInfoTitle", "LabelScriptAuteurTitle", "LabelScriptSiteTitle", "LabelScriptDispo",
        "LabelScriptNonDispo", "CheckBoxScriptEnabled"}},
      {"TabSheetViewCockpit",
       {"LabelAircraft", "GroupBoxViewAngleLimits", "SpecialSliderViewAngleMin", "SpecialSliderViewAngleMax",
        "LabelViewANgleDefaultTrackIR", "GroupBoxHUDColor", "ButtonColorChange", "GroupBoxDefaultView",
        "SpecialSliderViewAngleDefault", "SpecialSliderVAngle", "SpecialSliderHAngle", "GroupBoxRearCamera",
        "ButtonF4View"}},
      {"TabSheetViewGlobal", {"GroupBoxMouseView", "CheckboxCockpitMouse", "CheckboxExternalMouse"}},
      {"TabSheetSmokeColor",
       {"GroupBoxSmokeColor", "GroupBoxSmokeColorRU", "ButtonPodRUBlue",   "ButtonPodRUGreen",
        "ButtonPodRUOrange",  "ButtonPodRURed",       "ButtonPodRUWhite",  "ButtonPodRUYellow",
        "ButtonPodUSBlue",    "ButtonPodUSGreen",     "ButtonPodUSOrange", "ButtonPodUSRed",
        "ButtonPodUSWhite",   "ButtonPodUSYellow",    "LabelPodRUBlue",    "LabelPodRUGreen",
        "LabelPodRUOrange",   "LabelPodRURed",        "LabelPodRUWhite",   "LabelPodRUYellow",
        "LabelPodUSBlue",     "LabelPodUSGreen",      "LabelPodUSOrange",  "LabelPodUSRed",
        "LabelPodUSWhite",    "LabelPodUSYellow"}},
      {"TabSheetOptionKESTA",
       {"GroupBoxOptionsKESTA", "LabelLanguage", "MenuChangePath", "MenuStartWithWindows",
        "MenuStartMinimize", "MenuMinimize", "MenuCheckForUpdateWhenStarting", "MenuSynchronizeDate",
        "MenuCheckTrackIR", "MenuDeleteTrackIrIni", "MenuReloadSettings"}},
      {"TabSheetBackup",
       {"SpeedButtonLoadLockonSettings", "SpeedButtonLoadDefault", "GroupBoxBackup",
        "GroupBoxAutomaticBackup", "ButtonAutomaticBackup", "GroupBoxBackupInput", "ButtonBackupInput",
        "ButtonApplyHistory", "SpeedButtonLoadFromFile", "SpeedButtonSaveToFile"}},
  };
  return pages;
}

// Ribbon commands that are no page button: the appearance commands on their tab, then the application
// menu's, on no tab.
constexpr std::pair<const char*, const char*> kCommands[] = {
    {"dxButtonThemesBlue", "dxTabOptions"},
    {"dxButtonThemesSilver", "dxTabOptions"},
    {"dxButtonThemesBlack", "dxTabOptions"},
    {"dxButtonFormStyle", "dxTabOptions"},
    {"dxButtonApply", ""},
    {"dxButtonReview", ""},
    {"dxButtonCancel", ""},
    {"dxButtonUndoApply", ""},
    {"dxButtonOpenConfig", ""},
    {"dxButtonSaveConfig", ""},
    {"dxButtonPlay", ""},
    {"dxButtonOpenServer", ""},
    {"dxButtonJoinServer", ""},
    {"dxButtonLotatcNet", ""},
    {"dxButtonLotatcClient", ""},
    {"dxButtonLotatcServer", ""},
    {"dxButtonKESTAUpdate", ""},
    {"dxButtonReportBug", ""},
    {"dxButtonAbout", ""},
    {"dxButtonExit", ""},
};

// Value controls captioned by a control whose name is not theirs with "Label" for "Edit" or "ComboBox".
constexpr std::pair<const char*, const char*> kCaptionedBy[] = {
    {"EditLandDayL01", "LabelLandDay"},
    {"EditLandDayL12", "LabelLandDay"},
    {"EditLandNightL01", "LabelLandNight"},
    {"EditLandNightL12", "LabelLandNight"},
    {"EditMFDL01", "LabelMFD"},
    {"EditMFDL12", "LabelMFD"},
    {"ComboBoxOptimization1", "LabelTextureLevel"},
    {"ComboBoxOptimization2", "LabelTextureLevelBis"},
    {"DateTimePicker", "GroupBoxMissionDate"},
    {"F4ViewX", "ButtonF4View"},
    {"F4ViewY", "ButtonF4View"},
    {"F4ViewZ", "ButtonF4View"},
    {"PanelColor", "GroupBoxHUDColor"},
};

QString FoldLetter(QChar letter) {
  switch (letter.unicode()) {
    case 0x00DF:
      return QStringLiteral("ss");
    case 0x00E6:
    case 0x00C6:
      return QStringLiteral("ae");
    case 0x0153:
    case 0x0152:
      return QStringLiteral("oe");
    case 0x0111:
    case 0x0110:
      return QStringLiteral("d");
    case 0x0142:
    case 0x0141:
      return QStringLiteral("l");
    case 0x00F8:
    case 0x00D8:
      return QStringLiteral("o");
    default:
      break;
  }
  // Latin letters with accents decompose into the bare letter and combining marks; other scripts stay.
  if (letter.unicode() >= 0x00C0 && letter.unicode() < 0x0250) {
    const QString decomposed = QString(letter).normalized(QString::NormalizationForm_D);
    if (!decomposed.isEmpty() && decomposed.at(0).unicode() < 0x80) return decomposed.left(1).toLower();
  }
  return QString(letter.toLower());
}

// A label beside an edit ends in a colon, which reads wrong in "caption — page".
QString CaptionForList(const QString& text) {
  QString caption = text.trimmed();
  while (caption.endsWith(u':') || caption.endsWith(u'\uFF1A')) caption.chop(1);
  return caption.trimmed();
}

// Property references whose text names the control to a reader; a hint explains it and is searched too.
bool LabelsControl(QStringView property) {
  return property.compare(u"Caption", Qt::CaseInsensitive) == 0 ||
         property.compare(u"Text", Qt::CaseInsensitive) == 0 ||
         property.compare(u"Title", Qt::CaseInsensitive) == 0;
}

}  // namespace

std::span<const PagePlace> PagePlaces() { return kPagePlaces; }

QString CaptionControlOf(QStringView valueControl) {
  const QStringView control = valueControl.left(valueControl.indexOf(u'['));
  for (const auto& [value, caption] : kCaptionedBy)
    if (control == QLatin1StringView(value)) return QLatin1StringView(caption).toString();
  for (const QStringView prefix : {QStringView(u"Edit"), QStringView(u"ComboBox")})
    if (control.startsWith(prefix)) return QStringLiteral("Label").append(control.mid(prefix.size()));
  // The smoke colours: a colour button beside a label, the value named by the colour alone.
  if (control.startsWith(u"Pod")) return QStringLiteral("Label").append(control);
  return control.toString();
}

SearchQuery ParseSearchQuery(QStringView text) {
  SearchQuery query;
  qsizetype at = 0;
  const auto atEnd = [&text, &at] {
    while (at < text.size() && text.at(at).isSpace()) ++at;
    return at == text.size();
  };
  // The next word, or the text between double quotes (the closing one may not be typed yet).
  const auto next = [&text, &at]() -> QStringView {
    const bool quoted = text.at(at) == u'"';
    const qsizetype start = quoted ? ++at : at;
    while (at < text.size() && (quoted ? text.at(at) != u'"' : !text.at(at).isSpace())) ++at;
    const QStringView word = text.mid(start, at - start);
    if (quoted && at < text.size()) ++at;
    return word;
  };
  while (!atEnd()) {
    const QStringView word = next();
    if (word.compare(u"@modified", Qt::CaseInsensitive) == 0) {
      query.modifiedOnly = true;
    } else if (word.compare(u"@page", Qt::CaseInsensitive) == 0) {
      if (!atEnd()) query.page = FoldForSearch(next()).simplified();
    } else if (!word.startsWith(u'@')) {  // a filter still being typed matches nothing yet
      query.words.append(FoldForSearch(word).split(u' ', Qt::SkipEmptyParts));
    }
  }
  return query;
}

QString ListText(const SearchEntry& entry) {
  QString text = entry.caption;
  if (!entry.pageCaption.isEmpty()) text += QStringLiteral(" — ") + entry.pageCaption;
  if (!entry.tabCaption.isEmpty()) text += QStringLiteral(" (") + entry.tabCaption + u')';
  return text;
}

const PagePlace* PlaceOfButton(QStringView button) {
  for (const PagePlace& place : kPagePlaces)
    if (button == QLatin1StringView(place.button)) return &place;
  return nullptr;
}

const PagePlace* PlaceOfEntry(const SearchEntry& entry) {
  if (const PagePlace* place = PageOfControl(entry.control)) return place;
  return PlaceOfButton(entry.control);
}

const PagePlace* PageOfControl(QStringView control) {
  for (const PageControls& page : ControlsOfPages())
    for (const char* name : page.controls)
      if (control == QLatin1StringView(name))
        for (const PagePlace& place : kPagePlaces)
          if (qstrcmp(place.page, page.page) == 0) return &place;
  return nullptr;
}

QString FoldForSearch(QStringView text) {
  QString folded;
  folded.reserve(text.size());
  for (QChar letter : text) folded += FoldLetter(letter);
  return folded;
}

TSettingSearch::TSettingSearch(const TMessageCatalogue& catalogue) {
  // What labels each control, and a slider's step captions, by control name.
  struct Label {
    QString caption;
    QString hint;
    QStringList steps;
  };
  QHash<QString, Label> labels;
  for (const LanguageEntry& entry : catalogue.Entries()) {
    for (const QString& reference : entry.controls) {
      const qsizetype dot = reference.indexOf(u'.');
      if (dot <= 0) continue;
      const QString control = reference.left(dot);
      const QStringView property = QStringView(reference).mid(dot + 1);
      Label& label = labels[control];
      if (entry.text.isEmpty()) continue;
      if (property.compare(u"Hint", Qt::CaseInsensitive) == 0) {
        if (label.hint.isEmpty()) label.hint = entry.text;
      } else if (LabelsControl(property) && label.caption.isEmpty()) {
        label.caption = CaptionForList(entry.text);
      }
      if (property.compare(u"Values", Qt::CaseInsensitive) == 0)
        for (const LanguageEntry::StepCaption& step : entry.values) label.steps.append(step.caption);
    }
  }
  const auto text = [&catalogue](const char* key) {
    const QString* found = catalogue.Find(QString::fromLatin1(key));
    return found ? *found : QString();
  };
  const auto add = [&](const QString& control, const QString& page, const QString& tab) {
    const auto label = labels.constFind(control);
    if (label == labels.cend()) return;
    // A control with a hint and no caption is listed by its hint.
    const QString caption = label->caption.isEmpty() ? CaptionForList(label->hint) : label->caption;
    if (caption.isEmpty()) return;
    m_entries.append({control, caption, page, tab});
    m_folded.append(FoldForSearch(caption + u' ' + label->hint + u' ' + label->steps.join(u' ')));
  };
  for (const PagePlace& place : kPagePlaces) {
    const QString page = text(place.button);
    const QString tab = text(place.tab);
    add(QLatin1StringView(place.button), page, tab);
    for (const PageControls& controls : ControlsOfPages())
      if (qstrcmp(controls.page, place.page) == 0)
        for (const char* control : controls.controls) add(QLatin1StringView(control), page, tab);
  }
  for (const auto& [command, tab] : kCommands) add(QLatin1StringView(command), QString(), text(tab));
}

QList<SearchEntry> TSettingSearch::Find(QStringView query) const {
  SearchQuery words;
  words.words = FoldForSearch(query).split(u' ', Qt::SkipEmptyParts);
  return Find(words, {});
}

QList<SearchEntry> TSettingSearch::Find(const SearchQuery& query, const QStringList& changedControls) const {
  QList<SearchEntry> found;
  if (query.Empty()) return found;
  for (qsizetype i = 0; i < m_entries.size(); ++i) {
    const SearchEntry& entry = m_entries.at(i);
    if (query.modifiedOnly && !changedControls.contains(entry.control)) continue;
    if (!query.page.isEmpty()) {
      const PagePlace* place = PlaceOfEntry(entry);
      if (!place || !(FoldForSearch(entry.pageCaption).contains(query.page) ||
                      QLatin1StringView(place->page).compare(query.page, Qt::CaseInsensitive) == 0))
        continue;
    }
    if (std::all_of(query.words.begin(), query.words.end(),
                    [&](const QString& word) { return m_folded.at(i).contains(word); }))
      found.append(entry);
  }
  return found;
}

}  // namespace kesta
