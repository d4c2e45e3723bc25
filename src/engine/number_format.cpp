#include "engine/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace kesta {
namespace {

bool IsQuote(char c) { return c == '\'' || c == '"'; }

// Splits at ';' outside quotes.
std::vector<std::string_view> SplitSections(std::string_view pattern) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  char quote = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (quote != 0) {
      quote = c == quote ? 0 : quote;
    } else if (IsQuote(c)) {
      quote = c;
    } else if (c == ';') {
      sections.push_back(pattern.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(pattern.substr(start));
  return sections;
}

// What a section asks for, gathered before any digit is written.
struct Layout {
  int intPlaces = 0;
  int firstZeroPlace = -1;  // integer places from the first '0' on always print
  int maxFrac = 0;
  int minFrac = 0;  // places up to the last fractional '0'
  bool grouping = false;
  size_t firstIntPlace = std::string_view::npos;
  size_t lastIntPlace = std::string_view::npos;
  int MinIntDigits() const { return firstZeroPlace < 0 ? 0 : intPlaces - firstZeroPlace; }
};

Layout Analyse(std::string_view section) {
  Layout layout;
  bool inFraction = false;
  char quote = 0;
  for (size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (quote != 0) {
      quote = c == quote ? 0 : quote;
    } else if (IsQuote(c)) {
      quote = c;
    } else if (c == '.') {
      inFraction = true;
    } else if (c == ',') {
      layout.grouping = true;
    } else if ((c == '0' || c == '#') && inFraction) {
      ++layout.maxFrac;
      if (c == '0') layout.minFrac = layout.maxFrac;
    } else if (c == '0' || c == '#') {
      if (c == '0' && layout.firstZeroPlace < 0) layout.firstZeroPlace = layout.intPlaces;
      ++layout.intPlaces;
      if (layout.firstIntPlace == std::string_view::npos) layout.firstIntPlace = i;
      layout.lastIntPlace = i;
    }
  }
  return layout;
}

// A magnitude rounded to a number of decimals, as digit texts.
struct Digits {
  std::string integer;   // no leading zeros; empty when the integer part is 0
  std::string fraction;  // exactly as many digits as decimals asked for
  bool IsZero() const { return integer.empty() && fraction.find_first_not_of('0') == std::string::npos; }
};

// Like Delphi, the value is first taken to 15 significant digits and then rounded half away from zero, so
// 15 × 0.1 shows as 1.5 and 0.15 rounds to 0.2 although neither is exact in binary.
Digits RoundMagnitude(double magnitude, int decimals) {
  if (magnitude == 0) return {"", std::string(decimals, '0')};
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
  *result.ptr = '\0';
  const std::string_view text(buffer, result.ptr);  // "d.dddddddddddddde+XX", locale-independent
  std::string digits;
  digits.reserve(24);
  digits.push_back(text[0]);
  digits.append(text.substr(2, 14));
  int pointPos = std::atoi(buffer + text.find('e') + 1) + 1;
  const int keep = pointPos + decimals;
  if (keep < 0) return {"", std::string(decimals, '0')};
  if (keep < static_cast<int>(digits.size())) {
    const bool roundUp = digits[keep] >= '5';
    digits.resize(keep);
    int i = keep - 1;
    for (; roundUp && i >= 0 && digits[i] == '9'; --i) digits[i] = '0';
    if (roundUp && i >= 0) ++digits[i];
    if (roundUp && i < 0) {
      digits.insert(digits.begin(), '1');
      ++pointPos;
    }
  } else {
    digits.append(keep - digits.size(), '0');
  }
  if (pointPos <= 0) return {"", std::string(-pointPos, '0') + digits};
  return {digits.substr(0, pointPos), digits.substr(pointPos)};
}

// Writes one section's characters with the digits put in place.
class SectionWriter {
 public:
  SectionWriter(std::string_view section, const Layout& layout, Digits digits)
      : m_section(section),
        m_layout(layout),
        m_integer(std::move(digits.integer)),
        m_fraction(std::move(digits.fraction)) {
    if (static_cast<int>(m_integer.size()) < layout.MinIntDigits()) {
      m_integer.insert(0, layout.MinIntDigits() - m_integer.size(), '0');
    }
    while (static_cast<int>(m_fraction.size()) > layout.minFrac && m_fraction.back() == '0') {
      m_fraction.pop_back();
    }
  }

  std::string Write() {
    bool inFraction = false;
    char quote = 0;
    for (size_t i = 0; i < m_section.size(); ++i) {
      const char c = m_section[i];
      if (quote != 0) {
        if (c == quote) {
          quote = 0;
        } else {
          m_out += c;
        }
      } else if (IsQuote(c)) {
        quote = c;
      } else if (c == '.' && !inFraction) {
        inFraction = true;
        if (m_layout.intPlaces == 0) PutIntegerDigits(0, m_integer.size());
        if (!m_fraction.empty()) m_out += '.';
      } else if (c == '0' || c == '#') {
        inFraction ? PutFractionPlace() : PutIntegerPlace();
      } else if (c != ',' && c != '.') {
        PutLiteral(c, i, inFraction);
      }
    }
    if (!inFraction && m_layout.intPlaces == 0) PutIntegerDigits(0, m_integer.size());
    return m_out;
  }

 private:
  void PutIntegerPlace() {
    const int length = static_cast<int>(m_integer.size());
    const int index = m_intPlace++;
    if (index == 0 && length > m_layout.intPlaces) {
      PutIntegerDigits(0, length - m_layout.intPlaces + 1);
    } else if (const int k = index - (m_layout.intPlaces - length); k >= 0) {
      PutIntegerDigits(k, k + 1);
    }
  }

  void PutIntegerDigits(size_t from, size_t to) {
    for (size_t j = from; j < to; ++j) {
      m_out += m_integer[j];
      m_digitWritten = true;
      const size_t after = m_integer.size() - 1 - j;
      if (m_layout.grouping && after > 0 && after % 3 == 0) m_out += ',';
    }
  }

  void PutFractionPlace() {
    const size_t index = m_fracPlace++;
    if (index < m_fraction.size()) m_out += m_fraction[index];
  }

  void PutLiteral(char c, size_t position, bool inFraction) {
    const bool amongDigits = !inFraction && m_layout.firstIntPlace != std::string_view::npos &&
                             position > m_layout.firstIntPlace && position < m_layout.lastIntPlace;
    if (!amongDigits || m_digitWritten) m_out += c;
  }

  std::string_view m_section;
  const Layout& m_layout;
  std::string m_integer;
  std::string m_fraction;
  std::string m_out;
  int m_intPlace = 0;
  size_t m_fracPlace = 0;
  bool m_digitWritten = false;
};

std::string WriteSection(std::string_view section, double magnitude) {
  const Layout layout = Analyse(section);
  return SectionWriter(section, layout, RoundMagnitude(magnitude, layout.maxFrac)).Write();
}

std::string GeneralFormat(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string FormatFloat(std::string_view pattern, double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  const std::vector<std::string_view> sections = SplitSections(pattern);
  const std::string_view positive = sections[0];
  const std::string_view negative = sections.size() > 1 ? sections[1] : std::string_view();
  const std::string_view zero = sections.size() > 2 ? sections[2] : std::string_view();
  if (positive.empty()) return GeneralFormat(value);
  const double magnitude = std::fabs(value);
  const std::string_view chosen = value < 0 && !negative.empty() ? negative : positive;
  // Rounded once: the same digits decide whether the value shows as zero and are the ones shown.
  const Layout layout = Analyse(chosen);
  Digits digits = RoundMagnitude(magnitude, layout.maxFrac);
  // A value that shows as zero shows without a sign, as in Delphi.
  if (digits.IsZero()) return WriteSection(zero.empty() ? positive : zero, 0.0);
  std::string text = SectionWriter(chosen, layout, std::move(digits)).Write();
  return value < 0 && negative.empty() ? "-" + text : text;
}

}  // namespace kesta
