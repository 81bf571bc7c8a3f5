// Sun and Moon positions against independent ephemerides. The series are
// evaluated at the dynamical time of the reference, so no Delta T enters.
// Both references are geometric positions referred to the mean ecliptic
// and equinox of date, as the series are: no nutation, no aberration.
#include "AstrRout.h"
#include "Mathe.h"
#include "Moon.h"
#include "Sun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr long double EarthRadiusKm = 6378.14L; // the radius the lunar parallax refers to

// Signed difference of two longitudes in arcseconds, across 0/360 degrees.
long double LongitudeDiff(long double radians, long double degrees) {
  return std::remainder(radians / DegToRad - degrees, 360.0L) * 3600.0L;
}

long double Arcsec(long double radians) {
  return radians / DegToRad * 3600.0L;
}

// The series and these references agree to about 2" for the Sun and 6" for
// the Moon over 1900-2100; the tolerances leave room for the references' own
// error (a few arcseconds for the lunar one) and still catch any wrong
// coefficient above a few arcseconds.
constexpr long double SunLonTol = 5.0L;     // arcseconds
constexpr long double SunLatTol = 0.5L;     // arcseconds
constexpr long double SunDistTol = 5e-6L;   // AU
constexpr long double MoonLonTol = 15.0L;   // arcseconds
constexpr long double MoonLatTol = 5.0L;    // arcseconds
constexpr long double MoonDistTol = 0.005L; // Earth radii, about 30 km

TEST(SunPositionTest, MeeusExample25b) {
  // 1992 October 13, 0 h TD, from VSOP87: L = 199 deg 54' 26.18", B = +0.72",
  // R = 0.99760775 AU (Meeus, Astronomical Algorithms, example 25.b).
  long double L, B, R;
  SunPosition(JulianCenturies(2448908.5L), L, B, R);
  EXPECT_NEAR(LongitudeDiff(L, 199.0L + 54.0L / 60.0L + 26.18L / 3600.0L), 0.0L, SunLonTol);
  EXPECT_NEAR(Arcsec(B), 0.72L, SunLatTol);
  EXPECT_NEAR(R, 0.99760775L, SunDistTol);
}

TEST(MoonPositionTest, MeeusExample47a) {
  // 1992 April 12, 0 h TD: lambda = 133.162655 deg, beta = -3.229126 deg,
  // distance 368409.7 km (Meeus, Astronomical Algorithms, example 47.a).
  long double Lambda, Beta, R;
  MoonPosition(JulianCenturies(2448724.5L), Lambda, Beta, R);
  EXPECT_NEAR(LongitudeDiff(Lambda, 133.162655L), 0.0L, MoonLonTol);
  EXPECT_NEAR(Arcsec(Beta) - (-3.229126L * 3600.0L), 0.0L, MoonLatTol);
  EXPECT_NEAR(R, 368409.7L / EarthRadiusKm, MoonDistTol);
}

// Geometric positions from the IAU SOFA/ERFA routines epv00 (the Earth,
// hence the Sun) and moon98 (the Moon), rotated into the mean ecliptic and
// equinox of date with ecm06.
struct TReference {
  long double JD;                         // dynamical time
  long double SunLon, SunLatArcsec, SunR; // degrees, arcseconds, AU
  long double MoonLon, MoonLat, MoonR;    // degrees, degrees, Earth radii
};

// clang-format off
const TReference References[] = {
    {2415082.7500L, 343.233213L, 0.63L, 0.9919449L, 22.453043L, 4.021501L, 57.0350L}, // 1900-03-04 6.0h TT
    {2419634.2292L, 146.332550L, -0.49L, 1.0117441L, 236.598586L, -3.514289L, 61.3141L}, // 1912-08-19 17.5h TT
    {2424174.6354L, 303.651749L, 0.13L, 0.9844434L, 296.927825L, 1.529937L, 56.3020L}, // 1925-01-24 3.25h TT
    {2428715.0000L, 98.255425L, 0.46L, 1.0166990L, 355.005144L, 5.167683L, 59.5387L}, // 1937-06-30 12.0h TT
    {2433226.3750L, 223.126114L, -0.20L, 0.9911304L, 43.048230L, 2.335499L, 63.4348L}, // 1949-11-05 21.0h TT
    {2437765.9062L, 21.037333L, -0.27L, 1.0022674L, 106.217571L, -2.510662L, 61.6104L}, // 1962-04-11 9.75h TT
    {2442307.1458L, 173.384497L, -0.25L, 1.0052786L, 180.740642L, -4.796358L, 57.0377L}, // 1974-09-16 15.5h TT
    {2446846.5417L, 330.853318L, -0.20L, 0.9886467L, 223.915393L, -2.724113L, 59.2621L}, // 1987-02-20 1.0h TT
    {2448724.5000L, 22.340852L, -0.64L, 1.0024977L, 133.162861L, -3.229126L, 57.7613L}, // 1992-04-12 0.0h TT
    {2451388.2500L, 125.231052L, 0.37L, 1.0154114L, 308.409697L, 0.417181L, 61.5698L}, // 1999-07-28 18.0h TT
    {2455898.8125L, 250.774165L, 0.96L, 0.9858119L, 350.808107L, 5.259493L, 62.8884L}, // 2011-12-03 7.5h TT
    {2460440.4271L, 49.769577L, 0.27L, 1.0097460L, 73.452396L, 4.418606L, 58.6798L}, // 2024-05-09 22.25h TT
    {2464980.9167L, 201.648657L, -0.19L, 0.9973915L, 133.427394L, -0.125556L, 57.6979L}, // 2036-10-14 10.0h TT
    {2469520.6875L, 0.001160L, -0.61L, 0.9957528L, 188.105414L, -4.518521L, 60.4741L}, // 2049-03-20 4.5h TT
    {2474062.1667L, 152.995530L, -0.89L, 1.0107398L, 271.561708L, -5.093062L, 63.0608L}, // 2061-08-25 16.0h TT
    {2478236.9583L, 310.146612L, 0.28L, 0.9849631L, 206.416784L, 4.357380L, 58.0523L}, // 2073-01-29 11.0h TT
    {2483143.3542L, 105.270714L, 0.34L, 1.0166727L, 54.611715L, 1.660207L, 58.7635L}, // 2086-07-06 20.5h TT
    {2488048.5833L, 259.317711L, -0.26L, 0.9849110L, 247.637078L, -4.838855L, 57.9715L}, // 2099-12-11 2.0h TT
};
// clang-format on

TEST(SunPositionTest, AgreesWithReferenceEphemeris1900To2100) {
  for (const TReference& r : References) {
    SCOPED_TRACE(testing::Message() << "JD " << static_cast<double>(r.JD));
    long double L, B, R;
    SunPosition(JulianCenturies(r.JD), L, B, R);
    EXPECT_NEAR(LongitudeDiff(L, r.SunLon), 0.0L, SunLonTol);
    EXPECT_NEAR(Arcsec(B), r.SunLatArcsec, SunLatTol);
    EXPECT_NEAR(R, r.SunR, SunDistTol);
  }
}

TEST(MoonPositionTest, AgreesWithReferenceEphemeris1900To2100) {
  for (const TReference& r : References) {
    SCOPED_TRACE(testing::Message() << "JD " << static_cast<double>(r.JD));
    long double Lambda, Beta, R;
    MoonPosition(JulianCenturies(r.JD), Lambda, Beta, R);
    EXPECT_NEAR(LongitudeDiff(Lambda, r.MoonLon), 0.0L, MoonLonTol);
    EXPECT_NEAR(Arcsec(Beta) - r.MoonLat * 3600.0L, 0.0L, MoonLatTol);
    EXPECT_NEAR(R, r.MoonR, MoonDistTol);
  }
}

// Over whole cycles the distances stay between the known extremes: the Sun
// 0.98324 .. 1.01676 AU, the Moon 356400 .. 406700 km.
TEST(SunPositionTest, DistanceStaysBetweenPerihelionAndAphelion) {
  long double smallest = 2, largest = 0;
  for (long double jd = 2460310.5L; jd < 2460310.5L + 366.0L; jd += 0.25L) {
    long double L, B, R;
    SunPosition(JulianCenturies(jd), L, B, R);
    smallest = std::min(smallest, R);
    largest = std::max(largest, R);
  }
  EXPECT_GT(smallest, 0.98324L);
  EXPECT_LT(smallest, 0.98335L);
  EXPECT_LT(largest, 1.01676L);
  EXPECT_GT(largest, 1.01665L);
}

TEST(MoonPositionTest, DistanceAndLongitudeStayInRange) {
  for (long double jd = 2415020.5L; jd < 2488070.5L; jd += 9.37L) {
    long double Lambda, Beta, R;
    MoonPosition(JulianCenturies(jd), Lambda, Beta, R);
    EXPECT_GE(Lambda, 0.0L);
    EXPECT_LT(Lambda, 2.0L * Pi);
    EXPECT_LT(std::fabs(Beta), 5.4L * DegToRad);
    EXPECT_GT(R * EarthRadiusKm, 356400.0L);
    EXPECT_LT(R * EarthRadiusKm, 406700.0L);
  }
}

TEST(SunMoonTest, FarDatesGiveFiniteResults) {
  for (long double T : {-1e6L, -30.0L, 30.0L, 1e6L}) {
    long double L, B, R;
    SunPosition(T, L, B, R);
    EXPECT_TRUE(std::isfinite(L) && std::isfinite(B) && std::isfinite(R)) << T;
    MoonPosition(T, L, B, R);
    EXPECT_TRUE(std::isfinite(L) && std::isfinite(B) && std::isfinite(R)) << T;
    EXPECT_GE(L, 0.0L);
    EXPECT_LT(L, 2.0L * Pi);
  }
}

// The ways the series are evaluated change for speed, but the ephemeris
// prints twelve decimals of a degree, so every bit of the results must
// stay. These are the values of the series as they were before those
// changes (x87 long double): two instants in full, and a fingerprint of
// the bits of 20 001 instants from 4713 BC to AD 9999.
#if LDBL_MANT_DIG == 64
struct TFingerprint {
  uint64_t Hash = 0xcbf29ce484222325ULL; // 64-bit FNV-1a

  void Add(long double x) {
    unsigned char bytes[10]; // the 80 bits, without the padding
    std::memcpy(bytes, &x, sizeof bytes);
    for (const unsigned char b : bytes) {
      Hash ^= b;
      Hash *= 0x100000001b3ULL;
    }
  }
};

TEST(SunMoonTest, EveryBitAsBefore) {
  long double L, B, R;
  SunPosition(-0.5L, L, B, R);
  EXPECT_EQ(L, 0x9.c633e468d875bdep-1L);
  EXPECT_EQ(B, -0x8.72bbf3d5ccf0d37p-26L);
  EXPECT_EQ(R, 0xf.bb5d4d6407b23cap-4L);
  MoonPosition(0.2437L, L, B, R);
  EXPECT_EQ(L, 0xa.4218bf9bf0fbbb4p-2L);
  EXPECT_EQ(B, 0x8.9e78618b534bfc1p-7L);
  EXPECT_EQ(R, 0xf.bfb1ec4888ded42p+2L);

  TFingerprint sun, moon;
  for (int i = 0; i <= 20000; ++i) {
    const long double T = -67.2L + i * (147.2L / 20000);
    SunPosition(T, L, B, R);
    for (const long double x : {L, B, R}) sun.Add(x);
    MoonPosition(T, L, B, R);
    for (const long double x : {L, B, R}) moon.Add(x);
  }
  EXPECT_EQ(sun.Hash, 0x8caa5dc18e96f5beULL);
  EXPECT_EQ(moon.Hash, 0x6008ac10a50a6947ULL);
}
#endif

} // namespace
