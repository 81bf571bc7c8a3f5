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

// Ecliptic direction -> azimuth (0 = south, +pi/2 = west) and altitude.
// The hour angle's sine and cosine come from those of the right ascension
// and the sidereal time, so no angle has to be taken out and put back in.
void EclipticToHorizontal(const TObserver& o, TVector dir, long double& azimuth,
                          long double& altitude) {
  RotatePair(dir.Y, dir.Z, o.Obliquity.S, o.Obliquity.C); // ecliptic -> equator
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
  const TVector C = CrossProduct(S, Mo);
  TVector W = SubtractVectors(Mo, S); // from the Sun to the Moon
  NormalizeVector(W);
  NormalizeVector(Mo);
  long double angle = ArcCos(DotProduct(W, Mo));
  if (C.Z < 0.0L) angle = -angle;
  return angle;
}

} // namespace

TSkyInstant ComputeSkyInstant(long double jd, long double latitude, long double longitude) {
  TSkyInstant s;
  CalendarDate(jd, s.Date, s.Time);
  s.SiderealTime = LocalSiderealTime(s.Date, s.Time, longitude);

  const TObserver o{CosSin(latitude), ObliquityPair, CosSin(s.SiderealTime)};
  const long double T = JulianCenturies(jd);

  SunPosition(T, s.SunLon, s.SunLat, s.SunDistance);
  const TComplex sunLon = CosSin(s.SunLon), sunLat = CosSin(s.SunLat);
  EclipticToHorizontal(o, EclipticDirection(sunLon, sunLat, 1.0L), s.SunAzimuth, s.SunAltitude);
  SetDaylight(s);

  MoonPosition(T, s.MoonLon, s.MoonLat, s.MoonDistance);
  const TComplex moonLon = CosSin(s.MoonLon), moonLat = CosSin(s.MoonLat);
  EclipticToHorizontal(o, EclipticDirection(moonLon, moonLat, 1.0L), s.MoonAzimuth, s.MoonAltitude);

  s.PhaseAngle =
      PhaseAngle(EclipticDirection(sunLon, sunLat, s.SunDistance),
                 EclipticDirection(moonLon, moonLat, PhaseMoonDistance / EarthRadiiPerAU));
  return s;
}
