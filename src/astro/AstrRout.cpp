// AstrRout: civil date and MEZ time <-> Julian date, h.mm conversions,
// sidereal time and the equatorial -> horizontal transformation.
#include "AstrRout.h"

#include "Mathe.h"

#include <cmath>

namespace {

// CalendarDate turns a Julian date into integers. Beyond a hundred billion
// days (some 270 million years) no calendar means anything any more, and
// the clamp keeps every integer of the conversion far inside its range, so
// a runaway time step or a NaN can never overflow one.
constexpr long double JulianDateLimit = 1e11L;

long double ClampJulianDate(long double jd) {
  if (std::isnan(jd)) return 0.0L; // no date at all: show the origin of the scale
  if (jd > JulianDateLimit) return JulianDateLimit;
  if (jd < -JulianDateLimit) return -JulianDateLimit;
  return jd;
}

// A whole number inside the clamp range to an integer. Through a double,
// which holds it exactly: converting a long double directly switches the
// x87 rounding mode twice.
int64_t WholeToInt(long double whole) {
  return static_cast<int64_t>(static_cast<double>(whole));
}

// Whole days and months are counted by rounding down. From 4713 BC on every
// value rounded here is positive, so this is the same as cutting off the
// fraction; before that, rounding down keeps the (proleptic Julian)
// calendar going instead of producing negative days and months.
int64_t FloorToInt(long double x) {
  return WholeToInt(Floor(x));
}

// a / b rounded down, b > 0 (the division of C++ rounds towards zero).
int64_t FloorDivide(int64_t a, int64_t b) {
  return a / b - (a % b < 0 ? 1 : 0);
}

// The date and MEZ time of a Julian date already inside the clamp range.
// The recursion steps at most one hour on, which the range allows for.
//
// The classical algorithm divides by 36524.25, 365.25 and 30.6001 in
// floating point and rounds down. Each of its quotients is a fraction with
// a small denominator (146097, 36525, 306001 or 10000) that never comes
// closer to a whole number than 1/306001 without being one, while the
// long double divisions err by less than 1e-10 inside the clamp range: the
// same quotients in integer arithmetic round down to the same numbers, and
// cost a fraction of the long double divisions.
void CalendarDateInRange(long double jd, TCalendarDate& Date, long double& t) {
  const long double Zf = jd + 0.5L;
  const int64_t Z = FloorToInt(Zf);
  const long double F = Zf - static_cast<long double>(Z);

  int64_t A = Z;
  if (Z > 2299160) {
    // Gregorian calendar: leave out the century leap days.
    // floor((Z - 1867216.25) / 36524.25), the numerator positive here
    const int64_t alpha = (4 * Z - 7468865) / 146097;
    A = Z + 1 + alpha - alpha / 4;
  }
  const int64_t B = A + 1524;
  const int64_t C = FloorDivide(100 * B - 12210, 36525); // floor((B - 122.1) / 365.25)
  const int64_t D = FloorDivide(1461 * C, 4);            // floor(C * 365.25)
  // B - D lies between 123 and 488, so E and the month's start are positive.
  const int64_t E = 10000 * (B - D) / 306001;    // floor((B - D) / 30.6001)
  const int64_t monthStart = 306001 * E / 10000; // floor(E * 30.6001)

  const long double d = static_cast<long double>(B - D) - static_cast<long double>(monthStart) + F;
  Date.Day = static_cast<int32_t>(WholeToInt(Trunc(d)));
  if (E > 13) {
    Date.Month = static_cast<int32_t>(E - 13);
    Date.Year = static_cast<int32_t>(C - 4715);
  } else {
    Date.Month = static_cast<int32_t>(E - 1);
    Date.Year = static_cast<int32_t>(C - 4716);
  }
  t = HoursToHoursMinutes((d - Trunc(d)) * 24.0L) + 1.0L;
  if (t > 24.0L) {
    // Past midnight MEZ: the date is the next day's, one hour later in UT.
    CalendarDateInRange(jd + 1.0L / 24.0L, Date, t);
    t = t - 1.0L;
  }
}

} // namespace

long double HoursMinutesToHours(long double t) {
  return Trunc(t) + (t - Trunc(t)) / 0.6L;
}

long double HoursToHoursMinutes(long double h) {
  const long double a = std::fabs(h);
  const long double s = (h >= 0.0L) ? 1.0L : -1.0L;
  return s * (Trunc(a) + (a - Trunc(a)) * 0.6L);
}

long double JulianCenturies(long double jd) {
  return (jd - 2451545.0L) / 36525.0L;
}

void RotatePair(long double& A, long double& B, long double S, long double C) {
  const long double a = A;
  const long double b = B;
  A = a * C - b * S;
  B = a * S + b * C;
}

long double JulianDate(const TCalendarDate& Date, long double t) {
  const long double Dd = HoursMinutesToHours(t) / 24.0L + Date.Day;
  // In long double: Year * 10000 overflows a 32-bit integer for large years.
  const long double Key = static_cast<long double>(Date.Year) * 10000.0L +
                          static_cast<long double>(Date.Month) * 100.0L + Dd;
  long double B = -63.5L;
  long double Y = static_cast<long double>(Date.Year) + 4712.0L;
  long double M = static_cast<long double>(Date.Month) + 1.0L;
  if (M <= 3.0L) {
    // January and February count as months 13 and 14 of the year before.
    Y = Y - 1.0L;
    M = M + 12.0L;
  }
  if (Key >= 15821015.0L) {
    // Gregorian calendar from 15 October 1582 on.
    const long double C = Trunc((Y + 88.0L) / 100.0L);
    B = Trunc(C / 4.0L) + (B + 38.0L - C);
  }
  // Year and month come from 32-bit integers, so both products stay far
  // inside the 64-bit range.
  const int64_t days = FloorToInt(Y * 365.25L) + FloorToInt(M * 30.6001L);
  // The last 1/24 day turns MEZ into UT.
  return static_cast<long double>(days) + Dd + B - 1.0L / 24.0L;
}

void CalendarDate(long double jd, TCalendarDate& Date, long double& t) {
  CalendarDateInRange(ClampJulianDate(jd), Date, t);
}

long double LocalSiderealTime(const TCalendarDate& Date, long double t, long double lambda) {
  return LocalSiderealTimeFrom(MidnightJulianDate(Date), t, lambda);
}

long double MidnightJulianDate(const TCalendarDate& Date) {
  return JulianDate(Date, 1.0L); // 1.00 MEZ is 0 h UT
}

long double LocalSiderealTimeFrom(long double J0, long double t, long double lambda) {
  long double S = (J0 - 2445700.5L) * 0.0657098242L + 6.656306L + lambda * 12.0L / Pi +
                  (HoursMinutesToHours(t) - 1.0L) * 1.0027379093L;
  S = S / 24.0L;
  S = (S - Trunc(S)) * 24.0L;
  if (S < 0.0L) S = S + 24.0L;
  // A tiny negative remainder plus 24 can round to 24 itself.
  if (S >= 24.0L) S = 0.0L;
  return S / 12.0L * Pi;
}

void EquatorialToHorizontal(long double& P, long double& Q, long double sinPhi, long double cosPhi,
                            long double theta) {
  const long double H = theta - P; // hour angle
  HourAngleToHorizontal(Sine(Q), Cosine(Q), Sine(H), Cosine(H), sinPhi, cosPhi, P, Q);
}

TVector HourAngleToHorizonVector(long double sinDelta, long double cosDelta, long double sinH,
                                 long double cosH, long double sinPhi, long double cosPhi) {
  TVector V;
  V.X = -(sinDelta * cosPhi - cosDelta * sinPhi * cosH);
  V.Y = cosDelta * sinH;
  V.Z = sinDelta * sinPhi + cosDelta * cosPhi * cosH;
  V.Length = 1;
  return V;
}

void HourAngleToHorizontal(long double sinDelta, long double cosDelta, long double sinH,
                           long double cosH, long double sinPhi, long double cosPhi,
                           long double& azimuth, long double& altitude) {
  const TVector V = HourAngleToHorizonVector(sinDelta, cosDelta, sinH, cosH, sinPhi, cosPhi);
  const long double sinAltitude = V.Z;
  const long double h = ArcSin(sinAltitude);
  const long double u = -V.X; // the negation is exact
  const long double numerator = V.Y;
  const long double cosAltitude = Cosine(h);
  const long double denominator = cosAltitude - u;
  altitude = h;
  if (denominator == 0.0L) {
    // Due north, or the zenith where any azimuth would do.
    azimuth = Pi;
  } else if (u > 0.0L) {
    // North of the east-west line the denominator cos h - u approaches 0
    // towards north and rounding would decide the result there (the
    // celestial pole could come out anywhere). The same half angle from
    // (1 - cos A) / sin A, that is (cos h + u) / numerator, stays exact;
    // exactly on the meridian the object is due north.
    azimuth = (numerator == 0.0L) ? Pi : 2.0L * std::atan((cosAltitude + u) / numerator);
  } else {
    // Counted from the south point through the west.
    azimuth = 2.0L * std::atan(numerator / denominator);
  }
}
