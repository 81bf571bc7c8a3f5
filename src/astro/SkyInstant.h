// What the sky looks like at one instant for one observer: MEZ date and time,
// local sidereal time, Sun and Moon in ecliptic and horizontal coordinates,
// daylight state and the Moon's phase angle. The inside view and the
// ephemeris table both use this, so they can never disagree.
#pragma once

#include "AstrRout.h"
#include "Mathe.h"

struct TSkyInstant {
  TCalendarDate Date;                                     // MEZ date of the instant
  long double Time = 0;                                   // MEZ time of day, h.mm form
  long double SiderealTime = 0;                           // local sidereal time, radians
  long double SunLon = 0, SunLat = 0, SunDistance = 0;    // radians, radians, AU
  long double MoonLon = 0, MoonLat = 0, MoonDistance = 0; // radians, radians, Earth radii
  long double SunAzimuth = 0, SunAltitude = 0;   // radians; azimuth 0 = south, +pi/2 = west
  long double MoonAzimuth = 0, MoonAltitude = 0; // radians
  bool SunUp = false, Twilight = false, Night = false;
  long double PhaseAngle = 0; // radians: 0 full Moon, +-pi new Moon, negative while waning
  // The cosines and sines of the sidereal time and of the Moon's longitude
  // and latitude, for ComputeSeenSky: the sky instant has them already.
  TComplex SiderealPair = {1, 0}, MoonLonPair = {1, 0}, MoonLatPair = {1, 0};
};

// latitude and longitude in radians (north and east positive).
TSkyInstant ComputeSkyInstant(long double jd, long double latitude, long double longitude);

// What an observer on the Earth's surface sees, beyond the geocentric
// directions of TSkyInstant. The Moon is shifted by its parallax: the
// observer stands one Earth radius from the centre, the Moon only some 60
// away, so near the horizon it appears up to a degree lower. The air lifts
// both Sun and Moon by the refraction, about half a degree at the horizon.
struct TSeenSky {
  long double MoonAzimuthTopo = 0, MoonAltitudeTopo = 0; // radians, without the air
  long double SunAltitudeRefracted = 0;                  // radians: SunAltitude plus refraction
  long double MoonAltitudeRefracted = 0; // radians: MoonAltitudeTopo plus refraction
};

// s is ComputeSkyInstant(jd, latitude, longitude); latitude in radians.
TSeenSky ComputeSeenSky(const TSkyInstant& s, long double latitude);

// The standard refraction (10 degrees C, 1010 hPa) for an altitude without
// the air, both in radians: about 0.48 degrees at 0, 1 arcminute at 45
// degrees, 0 at the zenith; it fades out between -1 and -2 degrees and is
// 0 below.
long double Refraction(long double airlessAltitude);

// A run of instants for one observer, as the ephemeris table computes them:
// the same values as ComputeSkyInstant and ComputeSeenSky, but the sine and
// cosine of the latitude are taken once for all instants, and the Julian
// date of the day's 0 h UT, from which the sidereal time is counted, only
// when the date changes.
class TSkyRun {
public:
  // latitude and longitude in radians (north and east positive).
  TSkyRun(long double latitude, long double longitude);
  TSkyInstant Instant(long double jd);
  TSeenSky Seen(const TSkyInstant& s) const; // s is one of this run's instants

private:
  long double Longitude;
  TComplex LatitudePair; // (cos phi, sin phi)
  // The date whose 0 h UT is Midnight, once there is one.
  bool HasMidnight = false;
  TCalendarDate MidnightDate;
  long double Midnight = 0;
};
