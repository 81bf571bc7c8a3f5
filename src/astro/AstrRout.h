// AstrRout: civil date and MEZ time <-> Julian date, h.mm conversions,
// sidereal time and the equatorial -> horizontal transformation.
// MEZ is taken as UT + 1 h throughout; there is no summer time.
#pragma once

#include <cstdint>

#include "Mathe.h"

struct TCalendarDate {
  int32_t Day = 1;
  int32_t Month = 1;
  int32_t Year = 2000; // astronomical year; Julian calendar before 15.10.1582
};

// The obliquity of the ecliptic, fixed at 23.5 degrees for all dates.
constexpr long double Obliquity = 0.41015237421866745L;
// Earth radii per astronomical unit.
constexpr long double EarthRadiiPerAU = 23454.78L;

long double HoursMinutesToHours(long double t); // 9.30 -> 9.5
long double HoursToHoursMinutes(long double h); // 9.5 -> 9.30
long double JulianCenturies(long double jd);    // (jd - 2451545) / 36525

// A' = A C - B S, B' = A S + B C
void RotatePair(long double& A, long double& B, long double S, long double C);

// Julian date (UT) of a date and an MEZ time of day in h.mm form.
long double JulianDate(const TCalendarDate& Date, long double t);
// MEZ date and MEZ time of day (h.mm form) of a Julian date (UT).
void CalendarDate(long double jd, TCalendarDate& Date, long double& t);
// Local mean sidereal time in radians, [0, 2pi); lambda = east longitude in radians.
long double LocalSiderealTime(const TCalendarDate& Date, long double t, long double lambda);
// The Julian date of the date's 0 h UT (1.00 MEZ), from which the sidereal
// time of any time of that day follows.
long double MidnightJulianDate(const TCalendarDate& Date);
// LocalSiderealTime from J0 = MidnightJulianDate(Date), for callers that
// compute many instants of one day.
long double LocalSiderealTimeFrom(long double J0, long double t, long double lambda);
// P: right ascension in, azimuth out (0 = south, +pi/2 = west, due north = pi);
// Q: declination in, altitude out. theta = local sidereal time.
void EquatorialToHorizontal(long double& P, long double& Q, long double sinPhi, long double cosPhi,
                            long double theta);
// The same from the sines and cosines of the declination and of the hour
// angle, for callers that have them without the angles.
void HourAngleToHorizontal(long double sinDelta, long double cosDelta, long double sinH,
                           long double cosH, long double sinPhi, long double cosPhi,
                           long double& azimuth, long double& altitude);
// The same direction as a unit vector of the horizon frame, for callers
// that want no angles: x towards the south point, y towards the west, z to
// the zenith, that is (cos h cos A, cos h sin A, sin h); Length is 1.
TVector HourAngleToHorizonVector(long double sinDelta, long double cosDelta, long double sinH,
                                 long double cosH, long double sinPhi, long double cosPhi);
