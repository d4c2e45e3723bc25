#pragma once
// The pages of producer.cfg and World.lua (force feedback, the missions' date) and of drawinfo.lua (the
// smoke pods' colours), each built on its first visit.

class QLocale;
class QString;

namespace kesta {

class TFrmKESTA;
class TGamePage;
class TTabSheet;

TGamePage* MakeOther1Page(TFrmKESTA& window, TTabSheet* sheet);
TGamePage* MakeSmokeColorPage(TFrmKESTA& window, TTabSheet* sheet);

// The date picker's format: the locale's short date with the year in four digits.
QString MissionDateFormat(const QLocale& locale);

}  // namespace kesta
