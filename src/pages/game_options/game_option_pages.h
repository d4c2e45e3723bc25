#pragma once
// The pages of producer.cfg and World.lua (force feedback, the missions' date) and of drawinfo.lua (the
// smoke pods' colours), each built on its first visit.

class QLocale;
class QString;

namespace kesta {

class TPageHost;
class TGamePage;
class TTabSheet;

TGamePage* MakeOther1Page(TPageHost& host, TTabSheet* sheet);
TGamePage* MakeSmokeColorPage(TPageHost& host, TTabSheet* sheet);

// The date picker's format: the locale's short date with the year in four digits.
QString MissionDateFormat(const QLocale& locale);

}  // namespace kesta
