#pragma once
// Delphi-style number patterns ("0.0", "#####0", "### ##0", "##0.0#;- ##0.0#"), one implementation for the
// whole program. The decimal point is always ".", whatever the user's locale, because the game reads "."
// and the pages must show what is written.

#include <string>
#include <string_view>

namespace kesta {

// Formats `value` like Delphi's FormatFloat. A pattern has up to three sections separated by ';': positive
// (and the fallback), negative (formats the magnitude, so it carries its own sign text) and zero. In a
// section: '0' forces a digit, '#' is an optional digit, the first '.' is the decimal point, ',' groups the
// integer digits by three, text in single or double quotes is literal and any other character is literal too.
// A literal standing between integer digit places prints only when a digit precedes it, so "### ##0" shows
// 80000 as "80 000" and 5 as "5". Integer digits beyond the pattern's places all print. An empty pattern
// gives the shortest general form. Exponent formats are not supported.
std::string FormatFloat(std::string_view pattern, double value);

}  // namespace kesta
