// Civil date and MEZ time <-> Julian date, h.mm conversions, sidereal time
// and horizontal coordinates.
#include "AstrRout.h"
#include "Mathe.h"

#include "NearLD.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {

constexpr long double DayTol = 1e-8L;   // Julian dates: about a millisecond
constexpr long double ClockTol = 1e-6L; // hours: well under a second

// h.mm times are compared as hours: 12.00 may come back as 11.5999999999,
// which is the same instant.
long double Hours(long double hmm) {
  return HoursMinutesToHours(hmm);
}
constexpr long double AngleTol = 1e-15L; // radians

TEST(HoursMinutesTest, ConversionsBothWays) {
  EXPECT_TRUE(NearLD(HoursMinutesToHours(9.30L), 9.5L, 1e-15L));
  EXPECT_TRUE(NearLD(HoursMinutesToHours(-1.30L), -1.5L, 1e-15L)); // the fraction keeps the sign
  EXPECT_TRUE(NearLD(HoursMinutesToHours(9.305L), 9.0L + 30.5L / 60.0L, 1e-15L));
  EXPECT_TRUE(NearLD(HoursToHoursMinutes(9.5L), 9.30L, 1e-15L));
  EXPECT_TRUE(NearLD(HoursToHoursMinutes(-1.5L), -1.30L, 1e-15L));
  EXPECT_EQ(HoursToHoursMinutes(0.0L), 0.0L);
}

TEST(JulianDateTest, EpochOfTheSeries) {
  const long double jd = JulianDate(TCalendarDate{1, 1, 2000}, 13.00L);
  EXPECT_TRUE(NearLD(jd, 2451545.0L, DayTol));
  EXPECT_TRUE(NearLD(JulianCenturies(jd), 0.0L, 1e-13L));
  TCalendarDate d;
  long double t = 0;
  CalendarDate(jd, d, t);
  EXPECT_EQ(d.Day, 1);
  EXPECT_EQ(d.Month, 1);
  EXPECT_EQ(d.Year, 2000);
  EXPECT_TRUE(NearLD(Hours(t), Hours(13.00L), ClockTol));
  EXPECT_TRUE(NearLD(JulianCenturies(2451545.0L + 36525.0L), 1.0L, 1e-15L));
}

TEST(JulianDateTest, GregorianReformIsOneDay) {
  const long double after = JulianDate(TCalendarDate{15, 10, 1582}, 1.00L);
  const long double before = JulianDate(TCalendarDate{4, 10, 1582}, 1.00L);
  EXPECT_TRUE(NearLD(after - before, 1.0L, DayTol));
  EXPECT_TRUE(NearLD(after, 2299160.5L, DayTol));
}

// Julian dates published with Meeus, Astronomical Algorithms, chapter 7
// (UT; the MEZ times below are one hour later).
struct TKnownDate {
  TCalendarDate Date;
  long double MEZ; // h.mm
  long double JD;
};

const TKnownDate KnownDates[] = {
    {{4, 10, 1957}, 20.264L, 2436116.31L}, // 4.81 October
    {{27, 1, 333}, 13.00L, 1842713.0L},    {{1, 1, 1999}, 1.00L, 2451179.5L},
    {{27, 1, 1987}, 1.00L, 2446822.5L},    {{19, 6, 1987}, 13.00L, 2446966.0L},
    {{27, 1, 1988}, 1.00L, 2447187.5L},    {{19, 6, 1988}, 13.00L, 2447332.0L},
    {{1, 1, 1900}, 1.00L, 2415020.5L},     {{1, 1, 1600}, 1.00L, 2305447.5L},
    {{31, 12, 1600}, 1.00L, 2305812.5L},   {{10, 4, 837}, 8.12L, 2026871.8L},
    {{31, 12, -123}, 1.00L, 1676496.5L},   {{1, 1, -122}, 1.00L, 1676497.5L},
    {{12, 7, -1000}, 13.00L, 1356001.0L},  {{29, 2, -1000}, 1.00L, 1355866.5L},
    {{17, 8, -1001}, 22.36L, 1355671.4L},  {{28, 5, -584}, 16.072L, 1507900.13L},
    {{1, 1, -4712}, 13.00L, 0.0L},
};

TEST(JulianDateTest, PublishedDatesBothWays) {
  for (const TKnownDate& k : KnownDates) {
    SCOPED_TRACE(testing::Message() << k.Date.Day << "." << k.Date.Month << "." << k.Date.Year);
    EXPECT_TRUE(NearLD(JulianDate(k.Date, k.MEZ), k.JD, DayTol));
    TCalendarDate d;
    long double t = 0;
    CalendarDate(k.JD, d, t);
    EXPECT_EQ(d.Day, k.Date.Day);
    EXPECT_EQ(d.Month, k.Date.Month);
    EXPECT_EQ(d.Year, k.Date.Year);
    EXPECT_TRUE(NearLD(Hours(t), Hours(k.MEZ), ClockTol));
  }
}

TEST(CalendarDateTest, MidnightMEZComesAnHourBeforeMidnightUT) {
  TCalendarDate d;
  long double t = 0;
  CalendarDate(2451545.0L + 11.5L / 24.0L, d, t); // 1.1.2000 23.30 UT
  EXPECT_EQ(d.Day, 2);
  EXPECT_EQ(d.Month, 1);
  EXPECT_EQ(d.Year, 2000);
  EXPECT_TRUE(NearLD(Hours(t), Hours(0.30L), ClockTol));

  CalendarDate(JulianDate(TCalendarDate{1, 1, 2000}, 0.45L), d, t); // over the new year
  EXPECT_EQ(d.Day, 1);
  EXPECT_EQ(d.Month, 1);
  EXPECT_EQ(d.Year, 2000);
  EXPECT_TRUE(NearLD(Hours(t), Hours(0.45L), ClockTol));
}

TEST(CalendarDateTest, RoundTripsThroughLeapDaysAndCenturies) {
  const TCalendarDate dates[] = {{29, 2, 2000},  {28, 2, 1900}, {1, 3, 1900},   {31, 12, 2099},
                                 {29, 2, 1500},  {4, 10, 1582}, {15, 10, 1582}, {1, 1, -9999},
                                 {31, 12, 9999}, {29, 2, -4800}};
  for (const TCalendarDate& a : dates)
    for (long double t : {0.10L, 7.45L, 12.00L, 23.50L}) {
      TCalendarDate b;
      long double back = 0;
      CalendarDate(JulianDate(a, t), b, back);
      EXPECT_EQ(b.Day, a.Day) << a.Year << " " << t;
      EXPECT_EQ(b.Month, a.Month) << a.Year << " " << t;
      EXPECT_EQ(b.Year, a.Year) << a.Year << " " << t;
      EXPECT_TRUE(NearLD(Hours(back), Hours(t), ClockTol)) << a.Year;
    }
}

// A runaway time step or a broken value must still give a defined date;
// the sanitizer build checks that no integer conversion overflows here.
TEST(CalendarDateTest, HugeAndNaNJulianDatesGiveADefinedDate) {
  const long double inf = std::numeric_limits<long double>::infinity();
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  for (long double jd : {1e15L, -1e15L, 1e30L, -1e300L, inf, -inf, nan, 1e11L, -1e11L}) {
    TCalendarDate d;
    long double t = -99;
    CalendarDate(jd, d, t);
    EXPECT_TRUE(std::isfinite(t)) << jd;
    EXPECT_GT(t, 0.0L) << jd;
    EXPECT_LE(t, 24.0L) << jd;
    EXPECT_GE(d.Month, 1) << jd;
    EXPECT_LE(d.Month, 12) << jd;
    EXPECT_GE(d.Day, 1) << jd;
    EXPECT_LE(d.Day, 31) << jd;
    EXPECT_TRUE(std::isfinite(LocalSiderealTime(d, t, 0.0L))) << jd;
  }
  // Far dates stop at the ends of the range, so they all show the same day.
  TCalendarDate a, b;
  long double ta = 0, tb = 0;
  CalendarDate(1e15L, a, ta);
  CalendarDate(inf, b, tb);
  EXPECT_EQ(a.Year, b.Year);
  EXPECT_GT(a.Year, 200000000);
  // NaN shows the origin of the Julian date scale.
  CalendarDate(nan, a, ta);
  EXPECT_EQ(a.Year, -4712);
  EXPECT_TRUE(NearLD(Hours(ta), Hours(13.00L), ClockTol));
}

// The calendar conversion as first written, with its divisions in long
// double; CalendarDate now divides whole numbers and must agree bit for bit.
void CalendarDateByLongDoubleDivisions(long double jd, TCalendarDate& Date, long double& t) {
  const auto floorToInt = [](long double x) { return static_cast<int64_t>(std::floor(x)); };
  const long double Zf = jd + 0.5L;
  const int64_t Z = floorToInt(Zf);
  const long double F = Zf - static_cast<long double>(Z);
  int64_t A = Z;
  if (Z > 2299160) {
    const int64_t alpha = floorToInt((static_cast<long double>(Z) - 1867216.25L) / 36524.25L);
    A = Z + 1 + alpha - alpha / 4;
  }
  const int64_t B = A + 1524;
  const int64_t C = floorToInt((static_cast<long double>(B) - 122.1L) / 365.25L);
  const int64_t D = floorToInt(static_cast<long double>(C) * 365.25L);
  const int64_t E = floorToInt(static_cast<long double>(B - D) / 30.6001L);
  const long double d =
      static_cast<long double>(B - D) -
      static_cast<long double>(floorToInt(static_cast<long double>(E) * 30.6001L)) + F;
  Date.Day = static_cast<int32_t>(std::trunc(d));
  Date.Month = static_cast<int32_t>(E > 13 ? E - 13 : E - 1);
  Date.Year = static_cast<int32_t>(E > 13 ? C - 4715 : C - 4716);
  t = HoursToHoursMinutes((d - std::trunc(d)) * 24.0L) + 1.0L;
  if (t > 24.0L) {
    CalendarDateByLongDoubleDivisions(jd + 1.0L / 24.0L, Date, t);
    t = t - 1.0L;
  }
}

void ExpectSameAsLongDoubleDivisions(long double jd) {
  TCalendarDate date, expected;
  long double t = 0, expectedT = 0;
  CalendarDate(jd, date, t);
  CalendarDateByLongDoubleDivisions(jd, expected, expectedT);
  ASSERT_EQ(date.Day, expected.Day) << static_cast<double>(jd);
  ASSERT_EQ(date.Month, expected.Month) << static_cast<double>(jd);
  ASSERT_EQ(date.Year, expected.Year) << static_cast<double>(jd);
  ASSERT_EQ(t, expectedT) << static_cast<double>(jd);
}

TEST(CalendarDateTest, IntegerDivisionsGiveTheDatesOfTheLongDoubleOnes) {
  std::mt19937_64 random(20260516);
  std::uniform_real_distribution<long double> anywhere(-1e11L, 1e11L);
  std::uniform_real_distribution<long double> historic(-2e6L, 6e6L);
  for (int i = 0; i < 200000; ++i) {
    ExpectSameAsLongDoubleDivisions(anywhere(random));
    ExpectSameAsLongDoubleDivisions(historic(random));
  }
  // Every day of the years around the calendar reform, at midnight UT and
  // MEZ, and the whole days where a rounding down could slip.
  for (long double jd = 2290000.5L; jd < 2310000.5L; jd += 1.0L) {
    for (const long double at :
         {jd, jd - 1.0L / 24.0L, std::nextafter(jd, 0.0L), std::nextafter(jd, 1e12L)})
      ExpectSameAsLongDoubleDivisions(at);
  }
  for (const long double jd : {-1e11L, 1e11L, 0.0L, -0.5L, 2299160.5L, 2299161.5L, 2451544.5L})
    ExpectSameAsLongDoubleDivisions(jd);
}

TEST(JulianDateTest, ExtremeYearsStayFinite) {
  EXPECT_TRUE(
      std::isfinite(JulianDate(TCalendarDate{1, 1, std::numeric_limits<int32_t>::max()}, 0)));
  EXPECT_TRUE(
      std::isfinite(JulianDate(TCalendarDate{1, 1, std::numeric_limits<int32_t>::min()}, 0)));
  EXPECT_TRUE(std::isfinite(JulianDate(TCalendarDate{std::numeric_limits<int32_t>::max(),
                                                     std::numeric_limits<int32_t>::max(),
                                                     std::numeric_limits<int32_t>::max()},
                                       1e30L)));
}

TEST(SiderealTimeTest, GreenwichAtTheEpoch) {
  // Greenwich mean sidereal time at 2000 January 1, 12 h UT: 18.697374558 h
  // (IAU 1982 expression); this formula is good to a few milliseconds.
  const long double s = LocalSiderealTime(TCalendarDate{1, 1, 2000}, 13.00L, 0.0L);
  EXPECT_TRUE(NearLD(s * 12.0L / Pi, 18.697374558L, 0.01L / 3600.0L));
}

TEST(SiderealTimeTest, EastLongitudeAddsItself) {
  const TCalendarDate d{21, 3, 2024};
  for (long double t : {0.30L, 9.15L, 21.40L}) {
    const long double s0 = LocalSiderealTime(d, t, 0.0L);
    const long double s1 = LocalSiderealTime(d, t, 10.1L * DegToRad);
    EXPECT_TRUE(NearLD(std::remainder(s1 - s0 - 10.1L * DegToRad, 2.0L * Pi), 0.0L, 1e-14L)) << t;
  }
}

TEST(SiderealTimeTest, StaysInOneTurn) {
  for (int year = -2000; year <= 3000; year += 137)
    for (long double lambda : {-3.0L, 0.0L, 3.0L}) {
      const long double s = LocalSiderealTime(TCalendarDate{17, 5, year}, 22.10L, lambda);
      EXPECT_GE(s, 0.0L);
      EXPECT_LT(s, 2.0L * Pi);
    }
}

struct THorizontal {
  long double Azimuth, Altitude;
};

THorizontal ToHorizontal(long double hourAngle, long double dec, long double phi) {
  long double P = 1.0L; // right ascension; theta below makes the hour angle
  long double Q = dec;
  EquatorialToHorizontal(P, Q, std::sin(phi), std::cos(phi), 1.0L + hourAngle);
  return {P, Q};
}

TEST(HorizontalTest, MeridianSouthAndNorth) {
  const long double phi = 54.3L * DegToRad;
  const THorizontal south = ToHorizontal(0.0L, 20.0L * DegToRad, phi);
  EXPECT_TRUE(NearLD(south.Azimuth, 0.0L, AngleTol));
  EXPECT_TRUE(NearLD(south.Altitude, (90.0L - 54.3L + 20.0L) * DegToRad, 1e-14L));

  const THorizontal north = ToHorizontal(0.0L, 80.0L * DegToRad, phi); // north of the zenith
  EXPECT_EQ(north.Azimuth, Pi);
  EXPECT_TRUE(NearLD(north.Altitude, (90.0L - 80.0L + 54.3L) * DegToRad, 1e-14L));

  const THorizontal pole = ToHorizontal(0.7L, Pi / 2.0L, phi); // the celestial pole
  EXPECT_TRUE(NearLD(std::fabs(pole.Azimuth), Pi, 1e-15L));
  EXPECT_TRUE(NearLD(pole.Altitude, phi, 1e-14L));

  // In the southern hemisphere the Sun culminates due north.
  const THorizontal noon = ToHorizontal(0.0L, -10.0L * DegToRad, -30.0L * DegToRad);
  EXPECT_EQ(noon.Azimuth, Pi);
  EXPECT_TRUE(NearLD(noon.Altitude, 70.0L * DegToRad, 1e-14L));
}

TEST(HorizontalTest, WestIsPositiveAndEastNegative) {
  const long double phi = 54.3L * DegToRad;
  const THorizontal west = ToHorizontal(Pi / 2.0L, 0.0L, phi); // six hours after culmination
  EXPECT_TRUE(NearLD(west.Azimuth, Pi / 2.0L, 1e-14L));
  EXPECT_TRUE(NearLD(west.Altitude, 0.0L, 1e-14L));
  const THorizontal east = ToHorizontal(-Pi / 2.0L, 0.0L, phi);
  EXPECT_TRUE(NearLD(east.Azimuth, -Pi / 2.0L, 1e-14L));
}

// The usual form A = atan2(sin H, cos H sin phi - tan delta cos phi)
// (Meeus, Astronomical Algorithms, 13.5), multiplied through by cos delta.
TEST(HorizontalTest, AgreesWithTheArcTangentFormEverywhere) {
  for (int phiDeg = -80; phiDeg <= 80; phiDeg += 20)
    for (int decDeg = -85; decDeg <= 90; decDeg += 5)
      for (int hDeg = -180; hDeg < 180; hDeg += 15) {
        const long double phi = phiDeg * DegToRad, dec = decDeg * DegToRad, H = hDeg * DegToRad;
        const THorizontal a = ToHorizontal(H, dec, phi);
        const long double y = std::cos(dec) * std::sin(H);
        const long double x =
            std::cos(H) * std::sin(phi) * std::cos(dec) - std::sin(dec) * std::cos(phi);
        if (std::hypot(x, y) < 1e-6L) continue; // at the zenith any azimuth is right
        const long double expected = std::atan2(y, x);
        EXPECT_TRUE(NearLD(std::remainder(a.Azimuth - expected, 2.0L * Pi), 0.0L, 1e-14L))
            << phiDeg << " " << decDeg << " " << hDeg;
        EXPECT_TRUE(NearLD(
            a.Altitude,
            std::asin(std::sin(dec) * std::sin(phi) + std::cos(dec) * std::cos(phi) * std::cos(H)),
            1e-14L));
      }
}

} // namespace
