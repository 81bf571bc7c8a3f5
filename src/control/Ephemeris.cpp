#include "Ephemeris.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "AstrRout.h"
#include "Mathe.h"
#include "ParameterFile.h"
#include "SkyInstant.h"
#include "Zahlen.h"

namespace {

constexpr long double RadToDeg = 180.0L / Pi;

// Fixed-point text with the given decimals, independent of the locale.
std::string Fixed(long double value, int decimals) {
  if (!std::isfinite(value)) return "nan";
  char buffer[128];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return "nan";
  std::string text(buffer, result.ptr);
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

void AppendNumber(std::string& out, long long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

// "00", "01", .. "99": two digits per division halve the divisions.
struct TDigitPairs {
  char Pair[100][2];
  constexpr TDigitPairs() : Pair{} {
    for (int i = 0; i < 100; ++i) {
      Pair[i][0] = static_cast<char>('0' + i / 10);
      Pair[i][1] = static_cast<char>('0' + i % 10);
    }
  }
};

constexpr TDigitPairs DigitPairs;

// The six digits of 0 <= n < 10^6, leading zeros included.
void SixDigits(char* to, int n) {
  for (int i = 4; i >= 0; i -= 2, n /= 100) {
    to[i] = DigitPairs.Pair[n % 100][0];
    to[i + 1] = DigitPairs.Pair[n % 100][1];
  }
}

// A finite long double as Significand * 2^Exponent, both exact, read from
// its bits in the x87 format (64 bits with the leading one, then 15 bits
// of exponent and the sign).
struct TExactBinary {
  uint64_t Significand = 0;
  int Exponent = 0;
};

constexpr bool LongDoubleIsX87 = std::numeric_limits<long double>::digits == 64 &&
                                 std::numeric_limits<long double>::max_exponent == 16384;

TExactBinary ExactBinary(long double value) {
  unsigned char bytes[sizeof(long double)];
  std::memcpy(bytes, &value, sizeof bytes);
  TExactBinary b;
  std::memcpy(&b.Significand, bytes, 8);
  const int biased = (bytes[8] | (bytes[9] << 8)) & 0x7FFF;
  // Subnormal numbers have the exponent of the smallest normal ones.
  b.Exponent = (biased == 0 ? 1 : biased) - 16383 - 63;
  return b;
}

long double Degrees(long double radians) {
  return radians * RadToDeg;
}

long double LongitudeDegrees(long double radians) {
  long double d = std::fmod(Degrees(radians), 360.0L);
  if (d < 0) d += 360.0L;
  if (d >= 360.0L) d -= 360.0L;
  return d;
}

void AppendRow(std::string& out, long double jd, const TSkyInstant& s, const TSeenSky& seen) {
  const long double columns[] = {LongitudeDegrees(s.SunLon),
                                 Degrees(s.SunLat),
                                 s.SunDistance,
                                 LongitudeDegrees(s.MoonLon),
                                 Degrees(s.MoonLat),
                                 s.MoonDistance,
                                 Degrees(s.SiderealTime),
                                 Degrees(s.SunAzimuth),
                                 Degrees(s.SunAltitude),
                                 Degrees(s.MoonAzimuth),
                                 Degrees(s.MoonAltitude),
                                 Degrees(s.PhaseAngle),
                                 50.0L * (1.0L + std::cos(s.PhaseAngle)),
                                 Degrees(seen.MoonAltitudeTopo),
                                 Degrees(seen.MoonAzimuthTopo),
                                 Degrees(seen.SunAltitudeRefracted),
                                 Degrees(seen.MoonAltitudeRefracted)};
  AppendFixed12(out, jd);
  out += ',';
  AppendNumber(out, s.Date.Day);
  out += '.';
  AppendNumber(out, s.Date.Month);
  out += '.';
  AppendNumber(out, s.Date.Year);
  out += ',';
  out += ClockText(s.Time);
  for (const long double column : columns) {
    out += ',';
    AppendFixed12(out, column);
  }
  out += '\n';
}

} // namespace

// Fixed(value, 12) costs a printf for long double; this is the same text at
// a fraction of the cost, without the x87 unit.
// A long double is m * 2^e, so value * 10^12 is m * 10^12 (below 2^104,
// exact in 128 bits) shifted right by -e; the bits shifted out round it to
// the nearest whole number of 10^-12. Below 10^7 (every column but a
// Julian date some 20000 years away) the result fits 64 bits. Exactly half
// way Fixed decides, as to_chars rounds such a value its own way.
void AppendFixed12(std::string& out, long double value) {
  constexpr uint64_t Scale = 1000000000000ULL;
  if (!LongDoubleIsX87 || !(std::fabs(value) < 1e7L)) {
    out += Fixed(value, 12);
    return;
  }
  const TExactBinary b = ExactBinary(value);
  const int shift = -b.Exponent; // at least 40 below 10^7
  const unsigned __int128 product = static_cast<unsigned __int128>(b.Significand) * Scale;
  uint64_t scaled = 0; // value * 10^12, rounded
  // Beyond 104 bits of shift the product is below half of one.
  if (shift <= 104) {
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    const unsigned __int128 rest = product & ((half << 1) - 1);
    if (rest == half) {
      out += Fixed(value, 12);
      return;
    }
    scaled = static_cast<uint64_t>(product >> shift) + (rest > half ? 1 : 0);
  }
  // A value that rounds to zero has no minus sign.
  if (std::signbit(value) && scaled != 0) out += '-';
  AppendNumber(out, static_cast<long long>(scaled / Scale));
  // The twelve decimals in two halves of six, each with plain int arithmetic.
  const uint64_t fraction = scaled % Scale;
  char digits[13] = {'.'};
  SixDigits(digits + 1, static_cast<int>(fraction / 1000000));
  SixDigits(digits + 7, static_cast<int>(fraction % 1000000));
  out.append(digits, 13);
}

int WriteEphemeris(const std::string& parameterFile, long long count, std::ostream& out,
                   std::ostream& err) {
  if (count < 1) {
    err << "lunotrop: --count braucht eine positive ganze Zahl.\n";
    return 2;
  }
  TParameters p;
  bool outsideView = false, singleStep = true;
  const TParameterFileResult read = ReadParameterFile(parameterFile, p, outsideView, singleStep);
  if (!read.Ok) {
    err << "lunotrop: " << read.Message << '\n';
    return 2;
  }

  // The same conversions as the set-up of a view.
  const long double latitude = p.Latitude * DegToRad;
  const long double longitude = p.Longitude * DegToRad;
  const long double stepDays = HoursMinutesToHours(p.StepDays) / 24.0L;
  const TCalendarDate start{p.StartDay, p.StartMonth, p.StartYear};
  long double jd = JulianDate(start, p.StartTime);

  // Written in pieces of about 64 KB: a long table never sits in memory as
  // a whole, and a failed write ends it at once.
  constexpr size_t Piece = 1 << 16;
  std::string table = std::string(EphemerisHeader) + "\n";
  table.reserve(Piece + 1024);
  for (long long i = 0; i < count && out; ++i) {
    const TSkyInstant s = ComputeSkyInstant(jd, latitude, longitude);
    AppendRow(table, jd, s, ComputeSeenSky(s, latitude));
    jd += stepDays; // one step after another, as the animation adds them
    if (table.size() >= Piece) {
      out << table;
      table.clear();
    }
  }
  out << table;
  out.flush();
  if (!out) {
    err << "lunotrop: Die Tabelle konnte nicht geschrieben werden.\n";
    return 1;
  }
  return 0;
}
