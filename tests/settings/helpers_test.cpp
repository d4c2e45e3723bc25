#include "settings/helpers.h"

#include <gtest/gtest.h>

#include "engine/failure.h"

namespace kesta {
namespace {

TEST(UniqueNameTest, SuffixesAccumulate) {
  EXPECT_EQ(UniqueName("N", {}, 1), "N");
  EXPECT_EQ(UniqueName("N", {"N"}, 1), "N_1");
  EXPECT_EQ(UniqueName("N", {"N", "N_1"}, 1), "N_1_2");
  EXPECT_EQ(UniqueName("N", {"n"}, 1), "N");  // case matters
  EXPECT_EQ(UniqueName("High", {"High", "High_3"}, 3), "High_3_4");
}

TEST(SplitStringTest, Table) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"", {""}},
      {"a;b;", {"a", "b", ""}},
      {";;", {"", "", ""}},
      {"x", {"x"}},
      {" a ; b", {" a ", " b"}},
  };
  std::vector<std::string> list{"stale"};
  for (const auto& [text, expected] : cases) {
    SplitString(text, ';', list);
    EXPECT_EQ(list, expected) << text;
  }
}

TEST(ParseFloatTest, PointIsTheSeparator) {
  EXPECT_DOUBLE_EQ(ParseFloat("0.6"), 0.6);
  EXPECT_DOUBLE_EQ(ParseFloat(" -2.5 "), -2.5);
  EXPECT_DOUBLE_EQ(ParseFloat("+3"), 3.0);
  EXPECT_DOUBLE_EQ(ParseFloat("1e3"), 1000.0);
  for (const char* bad : {"0,6", "", "abc", "1.2.3", "inf", "nan", "++1", "1 2"}) {
    EXPECT_THROW(ParseFloat(bad), EKestaError) << bad;
  }
  try {
    ParseFloat("x.5");
  } catch (const EKestaError& e) {
    EXPECT_STREQ(e.what(), "'x,5' is not a valid floating point value");
  }
}

TEST(WebToolsTest, CannotBeInstantiated) {
  try {
    TWebTools tools;
    FAIL() << "expected a failure";
  } catch (const EKestaError& e) {
    EXPECT_STREQ(e.what(), "This class cannot be instantiated");
  }
}

}  // namespace
}  // namespace kesta
