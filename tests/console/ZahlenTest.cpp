// Number texts: typed input to numbers and numbers to fixed-width texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "Zahlen.h"

TEST(FormatReal, WholeNumbersRightAlignedInTheirWidth) {
  EXPECT_EQ(FormatReal(5, 2.0L), " 5");
  EXPECT_EQ(FormatReal(7, 2.0L), " 7");
  EXPECT_EQ(FormatReal(2026, 4.0L), "2026");
  EXPECT_EQ(FormatReal(12345, 2.0L), "12345"); // a field too small grows
  EXPECT_EQ(FormatReal(-3, 3.0L), " -3");
}

TEST(FormatReal, DecimalsInAFieldOfWidthPlusDecimalsPlusTwo) {
  EXPECT_EQ(FormatReal(9.5L, 2.2L), "  9.50");
  EXPECT_EQ(FormatReal(14.07L, 2.2L), " 14.07");
  EXPECT_EQ(FormatReal(0.05L, 1.2L), " 0.05");
  EXPECT_EQ(FormatReal(-0.5L, 1.1L), "-0.5");
}

TEST(FormatReal, RoundsHalvesToEven) {
  EXPECT_EQ(FormatReal(2.5L, 1.0L), "2");
  EXPECT_EQ(FormatReal(3.5L, 1.0L), "4");
  EXPECT_EQ(FormatReal(0.125L, 1.2L), " 0.12");
  EXPECT_EQ(FormatReal(0.375L, 1.2L), " 0.38");
}

TEST(FormatReal, NonFiniteValuesGiveAWordNotGarbage) {
  EXPECT_EQ(FormatReal(std::numeric_limits<long double>::quiet_NaN(), 4.0L), " NAN");
  EXPECT_EQ(FormatReal(std::numeric_limits<long double>::infinity(), 2.1L), " +INF");
}

TEST(FormatReal, HugeValuesKeepTheirDigits) {
  // 1e4931 * 100 is beyond the range of long double; the text must not be
  // built from the infinity.
  const std::string text = FormatReal(1e4931L, 2.2L);
  EXPECT_EQ(text.substr(0, 5), "10000");
  EXPECT_EQ(text.size(), 4932u + 3u); // 4932 digits, the point and two zeros
  EXPECT_EQ(text.substr(text.size() - 3), ".00");
  EXPECT_EQ(text.find_first_not_of("0123456789."), std::string::npos);
  EXPECT_EQ(FormatReal(-1e4931L, 1.1L).substr(0, 3), "-10");
}

TEST(FormatReal, WholeDigitsAreThoseOfPrintfOnEitherSideOfTwoToThe64) {
  // Whole numbers below 2^64 are written as integers, larger ones by printf:
  // the digits must be the same on both sides of the seam, and for random
  // values with and without decimals.
  const long double seam = 18446744073709551616.0L; // 2^64
  EXPECT_EQ(FormatReal(seam - 1, 0.0L), "18446744073709551615");
  EXPECT_EQ(FormatReal(seam, 0.0L), "18446744073709551616");
  EXPECT_EQ(FormatReal(seam * 2, 0.0L), "36893488147419103232");
  EXPECT_EQ(FormatReal(-(seam - 1), 0.0L), "-18446744073709551615");
  EXPECT_EQ(FormatReal(-0.0L, 1.0L), "0");
  // Random whole numbers of every size up to 2^70, as printf writes them.
  std::mt19937_64 random(20261209);
  std::uniform_real_distribution<long double> exponent(0, 70);
  for (int i = 0; i < 2000; ++i) {
    const long double value = std::nearbyint(std::exp2(exponent(random)));
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.0Lf", value);
    EXPECT_EQ(FormatReal(value, 0.0L), expected);
    EXPECT_EQ(FormatReal(-value, 0.0L), value == 0 ? "0" : "-" + std::string(expected));
  }
  // With decimals the digits of the scaled number get their point.
  EXPECT_EQ(FormatReal(123456789.125L, 1.2L), "123456789.12");
  EXPECT_EQ(FormatReal(1e17L + 0.5L, 1.1L), "100000000000000000.5");
}

TEST(ParseReal, AcceptsTheNumberFormsOfTheInput) {
  long double v = 0;
  EXPECT_EQ(ParseReal("54.3", v), 0);
  EXPECT_NEAR(static_cast<double>(v), 54.3, 1e-15);
  EXPECT_EQ(ParseReal("  -10.1", v), 0);
  EXPECT_NEAR(static_cast<double>(v), -10.1, 1e-15);
  EXPECT_EQ(ParseReal("+.5", v), 0);
  EXPECT_EQ(v, 0.5L);
  EXPECT_EQ(ParseReal("5.", v), 0);
  EXPECT_EQ(v, 5.0L);
  EXPECT_EQ(ParseReal("1e3", v), 0);
  EXPECT_EQ(v, 1000.0L);
  EXPECT_EQ(ParseReal("0.05", v), 0);
  EXPECT_NEAR(static_cast<double>(v), 0.05, 1e-17);
}

TEST(ParseReal, ReportsThePositionOfTheFirstBadCharacter) {
  long double v = 99;
  EXPECT_EQ(ParseReal("12a", v), 3);
  EXPECT_EQ(ParseReal("54,3", v), 3);
  EXPECT_EQ(ParseReal("1.5 ", v), 4); // trailing blanks are not allowed
  EXPECT_EQ(ParseReal("", v), 1);
  EXPECT_EQ(ParseReal("   ", v), 4);
  EXPECT_EQ(ParseReal("-", v), 2);
  EXPECT_EQ(ParseReal("1e", v), 3);
  EXPECT_EQ(ParseReal("1e999999", v), 1); // out of range fails
  EXPECT_EQ(v, 99);                       // a failed conversion leaves the value alone
}

TEST(ParseInteger, ConvertsWholeTextsWithLeadingBlanksOnly) {
  int32_t v = 0;
  EXPECT_EQ(ParseInteger("42", v), 0);
  EXPECT_EQ(v, 42);
  EXPECT_EQ(ParseInteger("  -7", v), 0);
  EXPECT_EQ(v, -7);
  EXPECT_EQ(ParseInteger("2147483647", v), 0);
  EXPECT_EQ(v, 2147483647);
  EXPECT_EQ(ParseInteger("-2147483648", v), 0);
  EXPECT_EQ(v, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(ParseInteger("12a", v), 3);
  EXPECT_EQ(ParseInteger("42 ", v), 3);
  EXPECT_EQ(ParseInteger("1.5", v), 2);
  EXPECT_EQ(ParseInteger("", v), 1);
  EXPECT_EQ(ParseInteger("2147483648", v), 10);
}

TEST(RoundEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundEven(2.5L), 2);
  EXPECT_EQ(RoundEven(3.5L), 4);
  EXPECT_EQ(RoundEven(-2.5L), -2);
  EXPECT_EQ(RoundEven(2.4999L), 2);
  EXPECT_EQ(RoundEven(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundEven(1e30L), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundEven(-1e30L), std::numeric_limits<int32_t>::min());
}

// The fast rounding against std::rint: halves, their neighbours one unit in
// the last place away, the int32 ends, and random values of every size.
TEST(RoundEven, EqualsRintOverTheWholeRange) {
  const long double ends[] = {
      2147483646.5L,  2147483647.0L,  2147483647.4L,        2147483647.5L, -2147483647.5L,
      -2147483648.0L, -2147483648.4L, -2147483648.5L,       0.5L,          -0.5L,
      1.5L,           -1.5L,          0.49999999999999999L, -0.0L};
  for (const long double v : ends) EXPECT_EQ(RoundEven(v), RoundEvenFar(v)) << v;
  std::mt19937_64 random(12);
  std::uniform_int_distribution<int32_t> whole(-2000000000, 2000000000);
  std::uniform_real_distribution<double> size(-9, 9.4);
  for (int i = 0; i < 200000; ++i) {
    const long double half = whole(random) + 0.5L;
    const long double any = std::pow(10.0L, size(random)) * (i % 2 ? 1 : -1);
    for (const long double v :
         {half, std::nextafter(half, 0.0L), std::nextafter(half, half * 2), any})
      ASSERT_EQ(RoundEven(v), RoundEvenFar(v)) << v;
  }
}

TEST(Zahlen, ClockTextShowsTwoDecimalsAndFullHours) {
  EXPECT_EQ(ClockText(9.3L), "9.30");
  EXPECT_EQ(ClockText(14.35L), "14.35");
  EXPECT_EQ(ClockText(0.0L), "0.00");
  // The calendar conversion leaves a full hour a hair short.
  EXPECT_EQ(ClockText(19.59999L), "20.00");
  EXPECT_EQ(ClockText(12.597L), "13.00");
  EXPECT_EQ(ClockText(23.595L), "24.00");
  EXPECT_EQ(ClockText(12.594L), "12.59");
}

namespace {

// ClockText as FormatReal and RoundEven give it, the way it was first written.
std::string ClockTextByFormatReal(long double t) {
  auto text = [](long double value) {
    const std::string s = FormatReal(value, 2.2L);
    const size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? s : s.substr(first);
  };
  const std::string s = text(t);
  return s.find(".60") == std::string::npos ? s : text(RoundEven(t));
}

} // namespace

TEST(Zahlen, ClockTextIsThatOfFormatRealForEveryKindOfTime) {
  std::mt19937_64 random(20260516);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int i = 0; i < 200000; ++i) {
    // Times of day, negative times, long counts of hours, and the halves
    // and sixties where the rounding decides.
    const long double scale = std::pow(10.0L, static_cast<int>(random() % 12) - 3);
    long double t = (unit(random) - 0.2L) * scale * 24;
    if (i % 4 == 1) t = static_cast<long double>(random() % 4000) / 100 - 10 + 0.005L;
    if (i % 4 == 2) t = std::trunc(t) + 0.595L + static_cast<long double>(random() % 11) / 1000;
    ASSERT_EQ(ClockText(t), ClockTextByFormatReal(t)) << static_cast<double>(t);
  }
  for (const long double t :
       {0.0L, -0.0L, -0.004L, -0.005L, -0.006L, 0.125L, 0.375L, -0.625L, 23.995L, 24.0L, -12.597L,
        999999999.5L, 1e9L, 3e9L, -1e12L, std::numeric_limits<long double>::infinity(),
        std::numeric_limits<long double>::quiet_NaN()}) {
    EXPECT_EQ(ClockText(t), ClockTextByFormatReal(t)) << static_cast<double>(t);
  }
}
