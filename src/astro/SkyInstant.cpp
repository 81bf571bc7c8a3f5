// The sky at one instant for one observer: date and time, sidereal time,
// Sun and Moon in ecliptic and horizontal coordinates, daylight and phase.
#include "SkyInstant.h"

#include "Moon.h"
#include "Sun.h"

#include <cmath>

namespace {

// The phase only needs the directions; the Moon is put at a fixed 25 Earth
// radii so that its distance never matters.
constexpr long double PhaseMoonDistance = 25.0L;
// Civil twilight ends when the Sun is 6 degrees below the horizon.
constexpr long double TwilightDepth = -6.0L * Pi / 180.0L;

// The sines and cosines of the angles that every conversion of one call
// uses: computed once per call (the obliquity once for all).
struct TObserver {
  TComplex Latitude;  // (cos phi, sin phi)
  TComplex Obliquity; // (cos eps, sin eps)
  TComplex Sidereal;  // (cos theta, sin theta)
};

const TComplex ObliquityPair = CosSin(Obliquity);

// A body's direction as a unit vector in ecliptic coordinates, from the
// pairs of its longitude and latitude (as PolarToVector would build it).
TVector EclipticDirection(const TComplex& lon, const TComplex& lat, long double r) {
  TVector V;
  V.X = r * lat.C * lon.C;
  V.Y = r * lat.C * lon.S;
  V.Z = r * lat.S;
  V.Length = r;
  return V;
}

// Equatorial direction -> azimuth (0 = south, +pi/2 = west) and altitude.
// The hour angle's sine and cosine come from those of the right ascension
// and the sidereal time, so no angle has to be taken out and put back in.
void EquatorialDirectionToHorizontal(const TObserver& o, const TVector& dir, long double& azimuth,
                                     long double& altitude) {
  const long double rho = std::sqrt(dir.X * dir.X + dir.Y * dir.Y);
  const long double length = std::sqrt(rho * rho + dir.Z * dir.Z);
  long double cosAlpha = 1.0L, sinAlpha = 0.0L; // at a celestial pole any will do
  if (rho > 0.0L) {
    cosAlpha = dir.X / rho;
    sinAlpha = dir.Y / rho;
  }
  // H = theta - alpha
  const long double cosH = o.Sidereal.C * cosAlpha + o.Sidereal.S * sinAlpha;
  const long double sinH = o.Sidereal.S * cosAlpha - o.Sidereal.C * sinAlpha;
  HourAngleToHorizontal(dir.Z / length, rho / length, sinH, cosH, o.Latitude.S, o.Latitude.C,
                        azimuth, altitude);
}

// Ecliptic direction -> azimuth and altitude.
void EclipticToHorizontal(const TObserver& o, TVector dir, long double& azimuth,
                          long double& altitude) {
  RotatePair(dir.Y, dir.Z, o.Obliquity.S, o.Obliquity.C); // ecliptic -> equator
  EquatorialDirectionToHorizontal(o, dir, azimuth, altitude);
}

void SetDaylight(TSkyInstant& s) {
  const long double h = s.SunAltitude;
  // Exactly on the horizon or exactly at -6 degrees none of the three holds.
  s.SunUp = h > 0.0L;
  s.Twilight = h < 0.0L && h > TwilightDepth;
  s.Night = h < TwilightDepth;
}

// 0 at full Moon, +-pi at new Moon; positive while the Moon moves away from
// the Sun (waxing), negative while it approaches it (waning). S is the Sun
// in AU, Mo the Moon's direction.
long double PhaseAngle(const TVector& S, TVector Mo) {
  // Only the z component of S x Mo is needed, not the whole cross product
  // with its length.
  const long double crossZ = S.X * Mo.Y - S.Y * Mo.X;
  TVector W = SubtractVectors(Mo, S); // from the Sun to the Moon
  NormalizeVector(W);
  NormalizeVector(Mo);
  long double angle = ArcCos(DotProduct(W, Mo));
  if (crossZ < 0.0L) angle = -angle;
  return angle;
}

} // namespace

namespace {

// Everything of a sky instant after its date, time and sidereal time.
void ComputeBodies(TSkyInstant& s, long double jd, const TComplex& latitude) {
  s.SiderealPair = CosSin(s.SiderealTime);
  const TObserver o{latitude, ObliquityPair, s.SiderealPair};
  const long double T = JulianCenturies(jd);

  SunPosition(T, s.SunLon, s.SunLat, s.SunDistance);
  const TComplex sunLon = CosSin(s.SunLon), sunLat = CosSin(s.SunLat);
  EclipticToHorizontal(o, EclipticDirection(sunLon, sunLat, 1.0L), s.SunAzimuth, s.SunAltitude);
  SetDaylight(s);

  MoonPosition(T, s.MoonLon, s.MoonLat, s.MoonDistance);
  s.MoonLonPair = CosSin(s.MoonLon);
  s.MoonLatPair = CosSin(s.MoonLat);
  const TComplex& moonLon = s.MoonLonPair;
  const TComplex& moonLat = s.MoonLatPair;
  EclipticToHorizontal(o, EclipticDirection(moonLon, moonLat, 1.0L), s.MoonAzimuth, s.MoonAltitude);

  s.PhaseAngle =
      PhaseAngle(EclipticDirection(sunLon, sunLat, s.SunDistance),
                 EclipticDirection(moonLon, moonLat, PhaseMoonDistance / EarthRadiiPerAU));
}

TSeenSky SeenSky(const TSkyInstant& s, const TComplex& latitude) {
  const TObserver o{latitude, ObliquityPair, s.SiderealPair};
  TSeenSky seen;

  // The Moon seen from the observer: its geocentric place in Earth radii
  // (equatorial) minus the observer's, one Earth radius from the centre
  // towards the zenith.
  TVector moon = EclipticDirection(s.MoonLonPair, s.MoonLatPair, s.MoonDistance);
  RotatePair(moon.Y, moon.Z, o.Obliquity.S, o.Obliquity.C);
  moon.X -= o.Latitude.C * o.Sidereal.C;
  moon.Y -= o.Latitude.C * o.Sidereal.S;
  moon.Z -= o.Latitude.S;
  EquatorialDirectionToHorizontal(o, moon, seen.MoonAzimuthTopo, seen.MoonAltitudeTopo);

  seen.SunAltitudeRefracted = s.SunAltitude + Refraction(s.SunAltitude);
  seen.MoonAltitudeRefracted = seen.MoonAltitudeTopo + Refraction(seen.MoonAltitudeTopo);
  return seen;
}

bool SameDate(const TCalendarDate& a, const TCalendarDate& b) {
  return a.Day == b.Day && a.Month == b.Month && a.Year == b.Year;
}

} // namespace

TSkyInstant ComputeSkyInstant(long double jd, long double latitude, long double longitude) {
  TSkyInstant s;
  CalendarDate(jd, s.Date, s.Time);
  s.SiderealTime = LocalSiderealTime(s.Date, s.Time, longitude);
  ComputeBodies(s, jd, CosSin(latitude));
  return s;
}

TSkyRun::TSkyRun(long double latitude, long double longitude)
    : Longitude(longitude), LatitudePair(CosSin(latitude)) {}

TSkyInstant TSkyRun::Instant(long double jd) {
  TSkyInstant s;
  CalendarDate(jd, s.Date, s.Time);
  if (!HasMidnight || !SameDate(s.Date, MidnightDate)) {
    MidnightDate = s.Date;
    Midnight = MidnightJulianDate(s.Date);
    HasMidnight = true;
  }
  s.SiderealTime = LocalSiderealTimeFrom(Midnight, s.Time, Longitude);
  ComputeBodies(s, jd, LatitudePair);
  return s;
}

TSeenSky TSkyRun::Seen(const TSkyInstant& s) const {
  return SeenSky(s, LatitudePair);
}

// Standard refraction by Saemundsson's formula (10 degrees C, 1010 hPa):
// R = 1.02' / tan(h + 10.3 / (h + 5.11)), h the airless altitude in
// degrees. It holds down to about -1 degree, where a body is still seen on
// the horizon; below that the formula would grow again, so the refraction
// fades linearly to zero at -2 degrees. Near the zenith the formula dips a
// hair below zero, which is cut off.
long double Refraction(long double airlessAltitude) {
  constexpr long double FormulaLimit = -1.0L; // degrees
  constexpr long double FadeWidth = 1.0L;     // degrees
  const long double h = airlessAltitude / DegToRad;
  const auto saemundsson = [](long double degrees) {
    const long double arcminutes =
        1.02L / std::tan((degrees + 10.3L / (degrees + 5.11L)) * DegToRad);
    return std::fmax(arcminutes, 0.0L) / 60.0L * DegToRad;
  };
  if (h >= FormulaLimit) return saemundsson(h);
  if (h > FormulaLimit - FadeWidth)
    return saemundsson(FormulaLimit) * (h - (FormulaLimit - FadeWidth)) / FadeWidth;
  return 0.0L; // also for a NaN
}

TSeenSky ComputeSeenSky(const TSkyInstant& s, long double latitude) {
  return SeenSky(s, CosSin(latitude));
}
