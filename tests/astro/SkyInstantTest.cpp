// The sky at one instant over Kiel (54.3 N, 10.1 E): date and time, the
// Sun's place in the sky, daylight, and the Moon's phase angle.
#include "SkyInstant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const long double Latitude = 54.3L * DegToRad;
const long double Longitude = 10.1L * DegToRad;

TSkyInstant At(int day, int month, int year, long double mez) {
  return ComputeSkyInstant(JulianDate(TCalendarDate{day, month, year}, mez), Latitude, Longitude);
}

long double Degrees(long double radians) {
  return radians / DegToRad;
}

TEST(SkyInstantTest, CarriesDateTimeAndSiderealTime) {
  const TSkyInstant s = At(21, 1, 2000, 5.44L);
  EXPECT_EQ(s.Date.Day, 21);
  EXPECT_EQ(s.Date.Month, 1);
  EXPECT_EQ(s.Date.Year, 2000);
  EXPECT_NEAR(s.Time, 5.44L, 1e-6L);
  EXPECT_NEAR(s.SiderealTime, LocalSiderealTime(s.Date, s.Time, Longitude), 1e-15L);
}

// Altitude and azimuth (from the south through the west) of the Sun, from
// the ERFA routines epv00, pnm06a, gmst06 and hd2ae. The program keeps the
// obliquity at 23.5 degrees and uses mean places, so it may differ by a few
// hundredths of a degree.
struct TSunSeen {
  int Day, Month, Year;
  long double MEZ;
  long double Altitude, Azimuth; // degrees
  bool Up, Twilight, Night;
};

const TSunSeen SunSeen[] = {
    {21, 6, 2000, 13.00L, 58.302L, 17.010L, true, false, false},   // summer noon
    {21, 12, 2000, 0.00L, -58.961L, 172.158L, false, false, true}, // winter midnight
    {20, 3, 2000, 18.50L, -3.226L, 94.793L, false, true, false},   // dusk
    {20, 3, 2000, 20.30L, -17.205L, 115.921L, false, false, true}, // night
    {20, 3, 2000, 12.27L, 35.766L, 0.004L, true, false, false},    // true noon: due south
};

TEST(SkyInstantTest, SunInTheSkyAndDaylight) {
  for (const TSunSeen& e : SunSeen) {
    SCOPED_TRACE(testing::Message()
                 << e.Day << "." << e.Month << "." << e.Year << " " << static_cast<double>(e.MEZ));
    const TSkyInstant s = At(e.Day, e.Month, e.Year, e.MEZ);
    EXPECT_NEAR(Degrees(s.SunAltitude), e.Altitude, 0.1L);
    EXPECT_NEAR(Degrees(s.SunAzimuth), e.Azimuth, 0.1L);
    EXPECT_EQ(s.SunUp, e.Up);
    EXPECT_EQ(s.Twilight, e.Twilight);
    EXPECT_EQ(s.Night, e.Night);
  }
}

TEST(SkyInstantTest, MoonRisesInTheEastAndSetsInTheWest) {
  // Full Moon of 21 January 2000: low in the east at dusk, in the west at dawn.
  const TSkyInstant evening = At(20, 1, 2000, 17.00L);
  EXPECT_LT(Degrees(evening.MoonAzimuth), -60.0L);
  const TSkyInstant morning = At(21, 1, 2000, 7.00L);
  EXPECT_GT(Degrees(morning.MoonAzimuth), 60.0L);
  EXPECT_LT(Degrees(morning.MoonAltitude), 20.0L);
  EXPECT_GT(Degrees(morning.MoonAltitude), -5.0L);
}

// Phase angle: 0 at full Moon, +-180 degrees at new Moon, +90 at first and
// -90 at last quarter. Instants (UT + 1 h) from the published lunar phases.
TEST(SkyInstantTest, PhaseAngleAtKnownPhases) {
  // Total lunar eclipse, greatest 2000 January 21, 4.44 UT: Moon opposite the Sun.
  EXPECT_NEAR(Degrees(At(21, 1, 2000, 5.44L).PhaseAngle), 0.0L, 1.0L);
  // Total solar eclipse, 1999 August 11, 11.08 UT: the Moon in front of the Sun.
  EXPECT_GT(std::fabs(Degrees(At(11, 8, 1999, 12.08L).PhaseAngle)), 179.0L);
  // Full and new Moon of January 2024 (25th 17.54 UT, 11th 11.57 UT): the
  // Moon is then up to 5 degrees off the ecliptic.
  EXPECT_LT(std::fabs(Degrees(At(25, 1, 2024, 18.54L).PhaseAngle)), 6.0L);
  EXPECT_GT(std::fabs(Degrees(At(11, 1, 2024, 12.57L).PhaseAngle)), 174.0L);
  // First quarter 2000 January 14, 13.34 UT; last quarter January 28, 7.57 UT.
  EXPECT_NEAR(Degrees(At(14, 1, 2000, 14.34L).PhaseAngle), 90.0L, 1.0L);
  EXPECT_NEAR(Degrees(At(28, 1, 2000, 8.57L).PhaseAngle), -90.0L, 1.0L);
}

TEST(SkyInstantTest, PhaseAngleIsPositiveWhileWaxing) {
  // Between the new Moon of 6 January and the full Moon of 21 January 2000.
  for (int day = 7; day <= 20; ++day) EXPECT_GT(At(day, 1, 2000, 12.00L).PhaseAngle, 0.0L) << day;
  // Between that full Moon and the new Moon of 5 February.
  for (int day = 22; day <= 31; ++day) EXPECT_LT(At(day, 1, 2000, 12.00L).PhaseAngle, 0.0L) << day;
}

TEST(SkyInstantTest, FarAndNaNInstantsAreDefined) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  for (long double jd : {1e15L, -1e15L, nan}) {
    const TSkyInstant s = ComputeSkyInstant(jd, Latitude, Longitude);
    EXPECT_GE(s.Date.Month, 1);
    EXPECT_LE(s.Date.Month, 12);
    EXPECT_TRUE(std::isfinite(s.Time));
    // At most one of the daylight states holds (none for a NaN altitude).
    EXPECT_LE(int(s.SunUp) + int(s.Twilight) + int(s.Night), 1);
  }
}

// The sky instant hands its pairs on to ComputeSeenSky; they must be
// exactly those of its angles, or the parallax would use another Moon.
TEST(SkyInstantTest, PairsAreThoseOfTheAngles) {
  const auto same = [](const TComplex& a, const TComplex& b) { return a.C == b.C && a.S == b.S; };
  long double jd = JulianDate(TCalendarDate{1, 1, 1900}, 0.00L);
  for (int i = 0; i < 3000; ++i, jd += 24.3217L) {
    const TSkyInstant s = ComputeSkyInstant(jd, Latitude, Longitude);
    EXPECT_TRUE(same(s.SiderealPair, CosSin(s.SiderealTime))) << i;
    EXPECT_TRUE(same(s.MoonLonPair, CosSin(s.MoonLon))) << i;
    EXPECT_TRUE(same(s.MoonLatPair, CosSin(s.MoonLat))) << i;
  }
}

// A run of instants remembers the day's 0 h UT between instants; every
// value must still be exactly that of a single instant, also where the
// date changes back and forth (steps across midnight, a step back, the
// same date in another year) and for a NaN instant.
TEST(SkyInstantTest, ARunGivesExactlyTheSingleInstants) {
  const auto same = [](long double a, long double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
  };
  const long double start = JulianDate(TCalendarDate{31, 12, 1999}, 22.00L);
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const long double jds[] = {start,          start + 0.05L,   start + 0.1L, start - 0.1L,
                             start + 365.0L, start + 366.25L, start + 0.1L, nan,
                             start,          2299160.3L,      2299161.7L,   -1e15L};
  TSkyRun run(Latitude, Longitude);
  for (const long double jd : jds) {
    const TSkyInstant a = ComputeSkyInstant(jd, Latitude, Longitude);
    const TSkyInstant b = run.Instant(jd);
    EXPECT_EQ(a.Date.Day, b.Date.Day);
    EXPECT_EQ(a.Date.Month, b.Date.Month);
    EXPECT_EQ(a.Date.Year, b.Date.Year);
    EXPECT_TRUE(same(a.Time, b.Time)) << static_cast<double>(jd);
    EXPECT_TRUE(same(a.SiderealTime, b.SiderealTime)) << static_cast<double>(jd);
    EXPECT_TRUE(same(a.SunAzimuth, b.SunAzimuth)) << static_cast<double>(jd);
    EXPECT_TRUE(same(a.MoonAltitude, b.MoonAltitude)) << static_cast<double>(jd);
    EXPECT_TRUE(same(a.PhaseAngle, b.PhaseAngle)) << static_cast<double>(jd);
    const TSeenSky seenA = ComputeSeenSky(a, Latitude), seenB = run.Seen(b);
    EXPECT_TRUE(same(seenA.MoonAzimuthTopo, seenB.MoonAzimuthTopo)) << static_cast<double>(jd);
    EXPECT_TRUE(same(seenA.MoonAltitudeRefracted, seenB.MoonAltitudeRefracted))
        << static_cast<double>(jd);
    EXPECT_TRUE(same(seenA.SunAltitudeRefracted, seenB.SunAltitudeRefracted))
        << static_cast<double>(jd);
  }
}

} // namespace
