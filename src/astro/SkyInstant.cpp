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

struct TObserver {
  long double sinPhi, cosPhi;
  long double sinEps, cosEps;
  long double theta; // local sidereal time
};

// Ecliptic longitude and latitude -> azimuth (0 = south, +pi/2 = west) and altitude.
void EclipticToHorizontal(const TObserver& o, long double lon, long double lat,
                          long double& azimuth, long double& altitude) {
  TVector dir = PolarToVector(TPolar{1.0L, lon, lat});
  RotatePair(dir.Y, dir.Z, o.sinEps, o.cosEps); // ecliptic -> equator
  TPolar eq = VectorToPolar(dir);
  EquatorialToHorizontal(eq.Lon, eq.Lat, o.sinPhi, o.cosPhi, o.theta);
  azimuth = eq.Lon;
  altitude = eq.Lat;
}

void SetDaylight(TSkyInstant& s) {
  const long double h = s.SunAltitude;
  // Exactly on the horizon or exactly at -6 degrees none of the three holds.
  s.SunUp = h > 0.0L;
  s.Twilight = h < 0.0L && h > TwilightDepth;
  s.Night = h < TwilightDepth;
}

// 0 at full Moon, +-pi at new Moon; positive while the Moon moves away from
// the Sun (waxing), negative while it approaches it (waning).
long double PhaseAngle(const TSkyInstant& s) {
  const TVector S = PolarToVector(TPolar{s.SunDistance, s.SunLon, s.SunLat});
  TVector Mo = PolarToVector(TPolar{PhaseMoonDistance / EarthRadiiPerAU, s.MoonLon, s.MoonLat});
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

  const TObserver o{Sine(latitude), Cosine(latitude), Sine(Obliquity), Cosine(Obliquity),
                    s.SiderealTime};
  const long double T = JulianCenturies(jd);

  SunPosition(T, s.SunLon, s.SunLat, s.SunDistance);
  EclipticToHorizontal(o, s.SunLon, s.SunLat, s.SunAzimuth, s.SunAltitude);
  SetDaylight(s);

  MoonPosition(T, s.MoonLon, s.MoonLat, s.MoonDistance);
  EclipticToHorizontal(o, s.MoonLon, s.MoonLat, s.MoonAzimuth, s.MoonAltitude);

  s.PhaseAngle = PhaseAngle(s);
  return s;
}
