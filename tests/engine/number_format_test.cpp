#include "engine/number_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace kesta {
namespace {

struct FormatCase {
  const char* pattern;
  double value;
  const char* expected;
};

void ExpectAll(std::initializer_list<FormatCase> cases) {
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FormatFloat(c.pattern, c.value), c.expected)
        << "pattern \"" << c.pattern << "\", value " << c.value;
  }
}

TEST(FormatFloatTest, FixedDecimalsRoundHalfAwayFromZero) {
  ExpectAll({
      {"0", 0, "0"},
      {"0", 2.5, "3"},
      {"0", 3.5, "4"},
      {"0", -2.5, "-3"},
      {"0", 0.4, "0"},
      {"0.0", 15 * 0.1, "1.5"},  // not exact in binary
      {"0.0", 6 * 0.1, "0.6"},
      {"0.0", 0.05, "0.1"},
      {"0.0", 0.15, "0.2"},
      {"0.0", 9.96, "10.0"},  // the carry adds a digit
      {"0.00", 12.3456, "12.35"},
      {"0.00", 0, "0.00"},
      {"0.00", 1234567.891, "1234567.89"},
      {"### ##0.0", 2500.25, "2 500.3"},  // halves to even would give 2 500.2
  });
}

TEST(FormatFloatTest, OptionalPlacesAndLiteralsAmongDigits) {
  ExpectAll({
      {"#####0", 80000, "80000"},
      {"#####0", 1234567, "1234567"},  // more digits than places
      {"#####0", 0, "0"},
      {"##0.0", 20, "20.0"},
      {"##0.0", 140, "140.0"},
      {"##0.0#", 8.61, "8.61"},
      {"##0.0#", 2.5, "2.5"},
      {"##0.0#", 3, "3.0"},
      {"##0.0#", 0.004, "0.0"},
      {"### ##0", 80000, "80 000"},
      {"### ##0", 1000, "1 000"},
      {"### ##0", 999, "999"},
      {"### ##0", 5, "5"},
      {"### ##0", 0, "0"},
      {"### ##0", 1234567, "1234 567"},
      {"### ##0", -80000, "-80 000"},
      {"### ##0.0", 1.5, "1.5"},
      {"### ##0.0", 0, "0.0"},
      {"#", 0, ""},
      {"#", 7, "7"},
      {"####################", 0, ""},
      {"####################", 12, "12"},
      {"0.##", 5, "5"},  // no point without decimals after it
      {"#,##0", 1234567, "1,234,567"},
      {"0 'km'", 5, "5 km"},
  });
}

TEST(FormatFloatTest, SectionsAndSigns) {
  ExpectAll({
      {"##0.0#;- ##0.0#", -2.5, "- 2.5"},
      {"##0.0#;- ##0.0#", 8.61, "8.61"},
      {"+ ##0.0#;- ##0.0#", -21.0 / 21 + 4.57, "+ 3.57"},
      {"+ ##0.0#;- ##0.0#", -0.004, "+ 0.0"},  // shows as zero: positive section, no sign
      {"0", -3, "-3"},
      {"0.0", -0.04, "0.0"},
      {"0;(0);zero", -5, "(5)"},
      {"0;(0);zero", 0, "zero"},
      {"0;;zero", -5, "-5"},  // an empty negative section falls back to the first
  });
}

TEST(FormatFloatTest, SpecialValuesAndEmptyPattern) {
  ExpectAll({
      {"0.0", std::numeric_limits<double>::quiet_NaN(), "NAN"},
      {"0.0", std::numeric_limits<double>::infinity(), "INF"},
      {"0.0", -std::numeric_limits<double>::infinity(), "-INF"},
      {"", 1.5, "1.5"},
      {"0", 1e20, "100000000000000000000"},
  });
}

}  // namespace
}  // namespace kesta
