// What an observer sees: the Moon's parallax and the refraction of the air,
// compared as effects with an independent library, and their shape.
#include "SkyInstant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <limits>

namespace {

long double Degrees(long double radians) {
  return radians / DegToRad;
}

struct TPlace {
  long double Latitude, Longitude; // degrees
};

const TPlace Kiel{54.3L, 10.1L};
const TPlace Kapstadt{-33.9L, 18.4L};
const TPlace Quito{-0.22L, -78.5L};

// An altitude below 2 degrees: that refraction is not compared.
constexpr long double NoCheck = std::numeric_limits<long double>::quiet_NaN();

// The effects, in degrees, as astronomy-engine 2.1.19 gives them for an
// observer at sea level:
//   parallax:   altitude of Equator(Moon, time, observer, true, true)
//               minus that of the geocentric Moon of date
//               (GeoMoon rotated by Rotation_EQJ_EQD), both by Horizon
//               without refraction;
//   refraction: Horizon(..., "normal") minus Horizon(..., null) for the
//               topocentric Moon and the Sun, where the airless altitude
//               is above 2 degrees.
// The library's own positions differ from the program's by up to about
// 0.1 degree, so only the effects are compared. Its observer stands on
// the ellipsoid, the program's on a sphere of one Earth radius: that
// changes the parallax by up to about 0.003 degree.
struct TEffects {
  TPlace Place;
  TCalendarDate Date;
  long double MEZ; // h.mm
  long double Parallax, MoonRefraction, SunRefraction;
};

const TEffects Reference[] = {
    {Kiel, {26, 1, 2026}, 18.00L, -0.56386L, 0.01189, NoCheck},
    {Kiel, {27, 1, 2026}, 0.00L, -0.90655L, 0.03909, NoCheck},
    {Kiel, {4, 3, 2026}, 2.00L, -0.76343L, 0.02306, NoCheck},
    {Kiel, {12, 8, 2026}, 14.00L, -0.68045L, 0.01589, 0.01608},
    {Kiel, {1, 10, 2026}, 10.00L, -0.91906L, 0.04242, 0.03362},
    {Kiel, {26, 1, 2026}, 6.00L, -0.92704L, NoCheck, NoCheck},
    {Kiel, {3, 3, 2026}, 6.40L, -0.95452L, 0.24819, NoCheck},
    {Kiel, {3, 3, 2026}, 17.30L, -0.94433L, NoCheck, 0.21014},
    {Kapstadt, {26, 1, 2026}, 18.00L, -0.80559L, 0.02407, 0.08989},
    {Kapstadt, {27, 1, 2026}, 0.00L, -0.97175L, NoCheck, NoCheck},
    {Kapstadt, {4, 3, 2026}, 2.00L, -0.65895L, 0.01638, NoCheck},
    {Kapstadt, {12, 8, 2026}, 14.00L, -0.87180L, 0.03050, 0.02648},
    {Kapstadt, {1, 10, 2026}, 10.00L, -0.92434L, NoCheck, 0.01317},
    {Kapstadt, {3, 3, 2026}, 5.00L, -0.95559L, 0.21340, NoCheck},
    {Kapstadt, {3, 3, 2026}, 18.00L, -0.94799L, NoCheck, 0.21374},
    {Quito, {26, 1, 2026}, 18.00L, -0.97773L, NoCheck, 0.00597},
    {Quito, {27, 1, 2026}, 0.00L, -0.40704L, 0.00764, 0.13322},
    {Quito, {4, 3, 2026}, 2.00L, -0.90946L, 0.05493, NoCheck},
    {Quito, {12, 8, 2026}, 14.00L, -0.90261L, 0.03558, 0.03709},
    {Quito, {1, 10, 2026}, 10.00L, -0.45742L, 0.00881, NoCheck},
    {Quito, {3, 3, 2026}, 12.10L, -0.95438L, 0.24612, NoCheck},
    {Quito, {4, 3, 2026}, 0.10L, -0.93612L, NoCheck, 0.19122},
};

TEST(SeenSkyTest, ParallaxAndRefractionAgreeWithAnIndependentLibrary) {
  long double worstParallax = 0, worstRefraction = 0;
  for (const TEffects& e : Reference) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(e.Place.Latitude) << " " << e.Date.Day
                                    << "." << e.Date.Month << ". " << static_cast<double>(e.MEZ));
    const long double latitude = e.Place.Latitude * DegToRad;
    const TSkyInstant s =
        ComputeSkyInstant(JulianDate(e.Date, e.MEZ), latitude, e.Place.Longitude * DegToRad);
    const TSeenSky seen = ComputeSeenSky(s, latitude);

    const long double parallax = Degrees(seen.MoonAltitudeTopo - s.MoonAltitude);
    EXPECT_NEAR(parallax, e.Parallax, 0.005);
    worstParallax = std::fmax(worstParallax, std::fabs(parallax - e.Parallax));
    if (!std::isnan(e.MoonRefraction)) {
      const long double r = Degrees(seen.MoonAltitudeRefracted - seen.MoonAltitudeTopo);
      EXPECT_NEAR(r, e.MoonRefraction, 0.02);
      worstRefraction = std::fmax(worstRefraction, std::fabs(r - e.MoonRefraction));
    }
    if (!std::isnan(e.SunRefraction)) {
      const long double r = Degrees(seen.SunAltitudeRefracted - s.SunAltitude);
      EXPECT_NEAR(r, e.SunRefraction, 0.02);
      worstRefraction = std::fmax(worstRefraction, std::fabs(r - e.SunRefraction));
    }
  }
  std::cout << "largest differences: parallax " << static_cast<double>(worstParallax)
            << " deg, refraction " << static_cast<double>(worstRefraction) << " deg\n";
}

TEST(SeenSkyTest, TheMoonIsShiftedTowardsTheHorizonAlongItsAzimuth) {
  // A day of Kiel in steps of 40 minutes: the parallax always lowers the
  // Moon, by about its horizontal parallax (57' at 60 Earth radii) times
  // the cosine of the altitude, and hardly turns its azimuth.
  const long double latitude = Kiel.Latitude * DegToRad;
  const long double start = JulianDate(TCalendarDate{3, 3, 2026}, 0.00L);
  for (int step = 0; step < 36; ++step) {
    const TSkyInstant s =
        ComputeSkyInstant(start + step / 36.0L, latitude, Kiel.Longitude * DegToRad);
    const TSeenSky seen = ComputeSeenSky(s, latitude);
    const long double horizontal = std::asin(1 / s.MoonDistance);
    const long double drop = s.MoonAltitude - seen.MoonAltitudeTopo;
    EXPECT_GT(drop, 0) << step;
    EXPECT_NEAR(drop, horizontal * std::cos(s.MoonAltitude), 0.02L * DegToRad) << step;
    const long double turn = std::remainder(seen.MoonAzimuthTopo - s.MoonAzimuth, 2 * Pi);
    EXPECT_LT(std::fabs(turn) * std::cos(s.MoonAltitude), 0.3L * DegToRad) << step;
  }
}

TEST(SeenSkyTest, TheSunsAltitudeIsOnlyRefracted) {
  const long double latitude = Quito.Latitude * DegToRad;
  const TSkyInstant s = ComputeSkyInstant(JulianDate(TCalendarDate{21, 3, 2026}, 18.00L), latitude,
                                          Quito.Longitude * DegToRad);
  const TSeenSky seen = ComputeSeenSky(s, latitude);
  EXPECT_EQ(seen.SunAltitudeRefracted, s.SunAltitude + Refraction(s.SunAltitude));
  EXPECT_EQ(seen.MoonAltitudeRefracted, seen.MoonAltitudeTopo + Refraction(seen.MoonAltitudeTopo));
}

TEST(SeenSkyTest, RefractionIsContinuousAndVanishesBelowTheHorizon) {
  const auto arcmin = [](long double degrees) {
    return Degrees(Refraction(degrees * DegToRad)) * 60;
  };
  EXPECT_NEAR(arcmin(0), 29.0L, 0.1L); // 1.02' / tan(2.0157 deg)
  EXPECT_NEAR(arcmin(45), 1.0L, 0.05L);
  EXPECT_NEAR(arcmin(90), 0, 0.01L);
  EXPECT_GE(arcmin(90), 0);
  EXPECT_EQ(arcmin(-2), 0);
  EXPECT_EQ(arcmin(-10), 0);
  EXPECT_EQ(arcmin(-90), 0);
  EXPECT_EQ(Refraction(std::numeric_limits<long double>::quiet_NaN()), 0);
  // No jump where the formula hands over to the fade, and the seen
  // altitude rises with the true one everywhere, so nothing folds over.
  EXPECT_NEAR(arcmin(-1 - 1e-9L), arcmin(-1), 1e-6L);
  EXPECT_NEAR(arcmin(-1.5L), arcmin(-1) / 2, 1e-9L);
  long double previousSeen = -100, previousRefraction = 1e9;
  for (long double h = -3; h <= 90; h += 0.01L) {
    const long double seen = h + arcmin(h) / 60;
    EXPECT_GT(seen, previousSeen) << static_cast<double>(h);
    if (h > -1) {
      EXPECT_LE(arcmin(h), previousRefraction) << static_cast<double>(h);
      previousRefraction = arcmin(h);
    }
    previousSeen = seen;
  }
}

} // namespace
