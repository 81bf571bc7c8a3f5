// The Moon's phase in words and numbers, its age, and the instants of the
// main phases against published almanac times.
#include "MoonPhase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <limits>

namespace {

long double Degrees(long double radians) {
  return radians / DegToRad;
}

// A published instant in UT.
struct TPublished {
  EMoonPhase Phase;
  int Day, Month, Year, Hour, Minute;
};

long double JulianDateUT(const TPublished& p) {
  // JulianDate takes MEZ in h.mm form: UT + 1 h.
  return JulianDate(TCalendarDate{p.Day, p.Month, p.Year}, p.Hour + 1 + p.Minute / 100.0L);
}

constexpr EMoonPhase New = EMoonPhase::NewMoon, First = EMoonPhase::FirstQuarter,
                     Full = EMoonPhase::FullMoon, Last = EMoonPhase::LastQuarter;

// UT to the minute.
// 2024 January and February, 2025 January and February: U.S. Naval
// Observatory, Astronomical Applications Department, "Phases of the Moon".
// 2024 April and all of 2026: F. Espenak, AstroPixels almanac for 2024 and
// 2026, "Phases of the Moon, Greenwich Mean Time".
const TPublished Published[] = {
    {Last, 4, 1, 2024, 3, 30},
    {New, 11, 1, 2024, 11, 57},
    {First, 18, 1, 2024, 3, 52},
    {Full, 25, 1, 2024, 17, 54},
    {Last, 2, 2, 2024, 23, 18},
    {New, 8, 4, 2024, 18, 21},
    {First, 15, 4, 2024, 19, 13},
    {Full, 23, 4, 2024, 23, 49},
    {Last, 1, 5, 2024, 11, 27},
    {First, 6, 1, 2025, 23, 56},
    {Full, 13, 1, 2025, 22, 27},
    {Last, 21, 1, 2025, 20, 31},
    {New, 29, 1, 2025, 12, 36},
    {First, 5, 2, 2025, 8, 2},
    {Full, 12, 2, 2025, 13, 53},
    {Last, 20, 2, 2025, 17, 32},
    {New, 28, 2, 2025, 0, 45},
    // 2026, the whole year.
    {Full, 3, 1, 2026, 10, 3},
    {Last, 10, 1, 2026, 15, 48},
    {New, 18, 1, 2026, 19, 52},
    {First, 26, 1, 2026, 4, 47},
    {Full, 1, 2, 2026, 22, 9},
    {Last, 9, 2, 2026, 12, 43},
    {New, 17, 2, 2026, 12, 1},
    {First, 24, 2, 2026, 12, 28},
    {Full, 3, 3, 2026, 11, 38},
    {Last, 11, 3, 2026, 9, 39},
    {New, 19, 3, 2026, 1, 23},
    {First, 25, 3, 2026, 19, 18},
    {Full, 2, 4, 2026, 2, 12},
    {Last, 10, 4, 2026, 4, 52},
    {New, 17, 4, 2026, 11, 52},
    {First, 24, 4, 2026, 2, 32},
    {Full, 1, 5, 2026, 17, 23},
    {Last, 9, 5, 2026, 21, 10},
    {New, 16, 5, 2026, 20, 1},
    {First, 23, 5, 2026, 11, 11},
    {Full, 31, 5, 2026, 8, 45},
    {Last, 8, 6, 2026, 10, 0},
    {New, 15, 6, 2026, 2, 54},
    {First, 21, 6, 2026, 21, 55},
    {Full, 29, 6, 2026, 23, 57},
    {Last, 7, 7, 2026, 19, 29},
    {New, 14, 7, 2026, 9, 43},
    {First, 21, 7, 2026, 11, 6},
    {Full, 29, 7, 2026, 14, 36},
    {Last, 6, 8, 2026, 2, 21},
    {New, 12, 8, 2026, 17, 37},
    {First, 20, 8, 2026, 2, 46},
    {Full, 28, 8, 2026, 4, 18},
    {Last, 4, 9, 2026, 7, 51},
    {New, 11, 9, 2026, 3, 27},
    {First, 18, 9, 2026, 20, 44},
    {Full, 26, 9, 2026, 16, 49},
    {Last, 3, 10, 2026, 13, 25},
    {New, 10, 10, 2026, 15, 50},
    {First, 18, 10, 2026, 16, 13},
    {Full, 26, 10, 2026, 4, 12},
    {Last, 1, 11, 2026, 20, 28},
    {New, 9, 11, 2026, 7, 2},
    {First, 17, 11, 2026, 11, 48},
    {Full, 24, 11, 2026, 14, 53},
    {Last, 1, 12, 2026, 6, 9},
    {New, 9, 12, 2026, 0, 52},
    {First, 17, 12, 2026, 5, 43},
    {Full, 24, 12, 2026, 1, 28},
    {Last, 30, 12, 2026, 18, 59},
};

const TPublished& PublishedAt(EMoonPhase phase, int day, int month, int year) {
  for (const TPublished& p : Published)
    if (p.Phase == phase && p.Day == day && p.Month == month && p.Year == year) return p;
  ADD_FAILURE() << "no such published phase";
  return Published[0];
}

TMoonPhase PhaseAt(long double jd) {
  return DescribeMoonPhase(jd, ComputeSkyInstant(jd, 54.3L * DegToRad, 10.1L * DegToRad));
}

TEST(MoonPhaseTest, NamesAndNumbersAtThePublishedQuartersOf2026) {
  const long double hour = 1.0L / 24;
  // Half a day away the main phase is still named, a day away no longer.
  struct TCase {
    TPublished At;
    long double Offset; // days
    const char* Name;
  } const cases[] = {
      {PublishedAt(New, 18, 1, 2026), 0, "Neumond"},
      {PublishedAt(New, 18, 1, 2026), 11 * hour, "Neumond"},
      {PublishedAt(New, 18, 1, 2026), 1, "zunehmende Sichel"},
      {PublishedAt(New, 18, 1, 2026), -1, "abnehmende Sichel"},
      {PublishedAt(First, 26, 1, 2026), 0, "erstes Viertel"},
      {PublishedAt(First, 26, 1, 2026), -11 * hour, "erstes Viertel"},
      {PublishedAt(First, 26, 1, 2026), -1, "zunehmende Sichel"},
      {PublishedAt(First, 26, 1, 2026), 1, "zunehmender Mond"},
      {PublishedAt(Full, 3, 3, 2026), 0, "Vollmond"},
      {PublishedAt(Full, 3, 3, 2026), -1, "zunehmender Mond"},
      {PublishedAt(Full, 3, 3, 2026), 1, "abnehmender Mond"},
      {PublishedAt(Last, 10, 1, 2026), 0, "letztes Viertel"},
      {PublishedAt(Last, 10, 1, 2026), 11 * hour, "letztes Viertel"},
      {PublishedAt(Last, 10, 1, 2026), -1, "abnehmender Mond"},
      {PublishedAt(Last, 10, 1, 2026), 1, "abnehmende Sichel"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.At.Day << "." << c.At.Month << "." << c.At.Year << " "
                                    << static_cast<double>(c.Offset) << " d");
    EXPECT_STREQ(PhaseAt(JulianDateUT(c.At) + c.Offset).Name, c.Name);
  }

  // The lit part: a half at the quarters, all at the full Moon (the total
  // lunar eclipse of 3 March 2026), none at the new Moon.
  EXPECT_NEAR(PhaseAt(JulianDateUT(PublishedAt(First, 26, 1, 2026))).IlluminatedPercent, 50, 1);
  EXPECT_NEAR(PhaseAt(JulianDateUT(PublishedAt(Last, 10, 1, 2026))).IlluminatedPercent, 50, 1);
  EXPECT_GT(PhaseAt(JulianDateUT(PublishedAt(Full, 3, 3, 2026))).IlluminatedPercent, 99.9L);
  EXPECT_LT(PhaseAt(JulianDateUT(PublishedAt(New, 18, 1, 2026))).IlluminatedPercent, 0.5L);
}

TEST(MoonPhaseTest, ACrescentThreeDaysAfterNewMoon) {
  const long double newMoon = JulianDateUT(PublishedAt(New, 18, 1, 2026));
  const TMoonPhase p = PhaseAt(newMoon + 3);
  EXPECT_STREQ(p.Name, "zunehmende Sichel");
  // The program's new Moon is a minute or two after the published one
  // (its time scale has no Delta T).
  EXPECT_NEAR(p.AgeDays, 3, 0.003);
  EXPECT_NEAR(Degrees(p.Elongation), 37, 3); // about 12 degrees a day
  EXPECT_GT(p.IlluminatedPercent, 5);
  EXPECT_LT(p.IlluminatedPercent, 15);
}

TEST(MoonPhaseTest, TheAgeCountsFromTheLastNewMoon) {
  const long double first = JulianDateUT(PublishedAt(New, 18, 1, 2026));
  const long double second = JulianDateUT(PublishedAt(New, 17, 2, 2026));
  EXPECT_NEAR(MoonAge(first + 0.25L), 0.25L, 0.003);
  EXPECT_NEAR(MoonAge(second - 0.25L), second - first - 0.25L, 0.003);
  EXPECT_NEAR(MoonAge(second + 1), 1, 0.003);
  // Growing steadily through the month, never negative, never a month.
  long double previous = -1;
  for (long double jd = first + 0.01L; jd < second - 0.01L; jd += 0.5L) {
    const long double age = MoonAge(jd);
    EXPECT_GT(age, previous);
    EXPECT_NEAR(age, jd - first, 0.003);
    previous = age;
  }
  // Right at the program's own new Moon the age is zero, not a month.
  const long double own = LastNewMoon(first + 1);
  EXPECT_NEAR(own, first, 2.0L / 1440);
  EXPECT_GE(MoonAge(own), 0);
  EXPECT_LT(MoonAge(own), 1e-6L);
}

TEST(MoonPhaseTest, BandsAroundTheFourMainPhases) {
  const struct {
    long double Degrees;
    EMoonPhase Phase;
  } cases[] = {
      {0, EMoonPhase::NewMoon},
      {5.9L, EMoonPhase::NewMoon},
      {6.1L, EMoonPhase::WaxingCrescent},
      {83.9L, EMoonPhase::WaxingCrescent},
      {84.1L, EMoonPhase::FirstQuarter},
      {95.9L, EMoonPhase::FirstQuarter},
      {96.1L, EMoonPhase::WaxingGibbous},
      {173.9L, EMoonPhase::WaxingGibbous},
      {174.1L, EMoonPhase::FullMoon},
      {185.9L, EMoonPhase::FullMoon},
      {186.1L, EMoonPhase::WaningGibbous},
      {263.9L, EMoonPhase::WaningGibbous},
      {264.1L, EMoonPhase::LastQuarter},
      {275.9L, EMoonPhase::LastQuarter},
      {276.1L, EMoonPhase::WaningCrescent},
      {353.9L, EMoonPhase::WaningCrescent},
      {354.1L, EMoonPhase::NewMoon},
      {360, EMoonPhase::NewMoon},
      {-3, EMoonPhase::NewMoon},
      {720 + 90, EMoonPhase::FirstQuarter},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PhaseOf(c.Degrees * DegToRad), c.Phase) << static_cast<double>(c.Degrees);
  EXPECT_STREQ(PhaseName(EMoonPhase::WaxingGibbous), "zunehmender Mond");
  EXPECT_STREQ(PhaseName(EMoonPhase::WaningGibbous), "abnehmender Mond");
  EXPECT_STREQ(PhaseName(EMoonPhase::WaningCrescent), "abnehmende Sichel");
}

TEST(MoonPhaseTest, IlluminatedPercentIsTheTablesColumn) {
  EXPECT_NEAR(IlluminatedPercent(0), 100, 1e-15);
  EXPECT_NEAR(IlluminatedPercent(Pi), 0, 1e-15);
  EXPECT_NEAR(IlluminatedPercent(-Pi / 2), 50, 1e-15);
  EXPECT_NEAR(IlluminatedPercent(Pi / 3), 75, 1e-15);
}

TEST(MoonPhaseTest, MainPhasesAgreeWithThePublishedTimes) {
  const long double from = JulianDateUT({New, 1, 1, 2024, 0, 0});
  const long double to = JulianDateUT({New, 1, 1, 2027, 0, 0});
  const std::vector<TPhaseEvent> events = MainPhasesBetween(from, to);
  ASSERT_GT(events.size(), 140u);

  long double largest = 0;
  for (const TPublished& p : Published) {
    const long double published = JulianDateUT(p);
    const TPhaseEvent* nearest = nullptr;
    for (const TPhaseEvent& e : events)
      if (e.Phase == p.Phase &&
          (!nearest || std::fabs(e.JD - published) < std::fabs(nearest->JD - published)))
        nearest = &e;
    ASSERT_NE(nearest, nullptr);
    const long double minutes = (nearest->JD - published) * 1440;
    EXPECT_LE(std::fabs(minutes), 2) << p.Day << "." << p.Month << "." << p.Year;
    largest = std::fmax(largest, std::fabs(minutes));
  }
  std::cout << "largest difference from the published times: " << static_cast<double>(largest)
            << " min\n";

  // In order, a quarter of a month apart, the four phases in turn.
  for (size_t i = 1; i < events.size(); ++i) {
    EXPECT_NEAR(events[i].JD - events[i - 1].JD, SynodicMonth / 4, 1.0L);
    EXPECT_EQ(events[i].Phase, PhaseOf(Elongation(events[i - 1].JD) + Pi / 2));
  }
  // Not one more nor less than published for 2026 (50, with 13 full Moons).
  int found = 0, published = 0;
  for (const TPhaseEvent& e : events)
    if (e.JD >= JulianDateUT({New, 1, 1, 2026, 0, 0})) ++found;
  for (const TPublished& p : Published)
    if (p.Year == 2026) ++published;
  EXPECT_EQ(found, published);
  EXPECT_EQ(published, 50);
}

TEST(MoonPhaseTest, FarDatesAndNaNAreHandled) {
  // The first and last years a calendar can be made for.
  for (const int year : {-4712, 9999}) {
    const long double from = JulianDate(TCalendarDate{1, 1, year}, 1.00L);
    const long double to = JulianDate(TCalendarDate{1, 1, year + 1}, 1.00L);
    const std::vector<TPhaseEvent> events = MainPhasesBetween(from, to);
    EXPECT_GE(events.size(), 48u) << year;
    EXPECT_LE(events.size(), 51u) << year;
    for (const TPhaseEvent& e : events) {
      // The enumeration lists the main phases at every second place.
      const long double target = static_cast<int>(e.Phase) / 2 * Pi / 2;
      EXPECT_NEAR(std::remainder(Elongation(e.JD) - target, 2 * Pi), 0, 1e-6L) << year;
    }
  }
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  EXPECT_TRUE(MainPhasesBetween(nan, nan).empty());
  EXPECT_TRUE(std::isnan(MoonAge(nan)));
}

} // namespace
