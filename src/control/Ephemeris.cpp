#include "Ephemeris.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
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

// Fixed writes at most this many characters: to_chars into 128 of them,
// or "nan".
constexpr size_t MaxFixedChars = 128;
// A long long has at most 19 digits and a sign.
constexpr size_t MaxNumberChars = 20;

char* WriteText(char* to, const std::string& text) {
  std::memcpy(to, text.data(), text.size());
  return to + text.size();
}

char* WriteNumber(char* to, long long value) {
  return std::to_chars(to, to + MaxNumberChars, value).ptr;
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

// The two digits of 0 <= n < 100.
void TwoDigits(char* to, uint32_t n) {
  std::memcpy(to, DigitPairs.Pair[n], 2);
}

// The six digits of 0 <= n < 10^6, leading zeros included: three pairs
// that do not wait for each other, not a chain of divisions by 100.
void SixDigits(char* to, uint32_t n) {
  const uint32_t low = n % 10000;
  TwoDigits(to, n / 10000);
  TwoDigits(to + 2, low / 100);
  TwoDigits(to + 4, low % 100);
}

// A finite long double as Significand * 2^Exponent, both exact, read from
// its bits in the x87 format (64 bits with the leading one, then 15 bits
// of exponent and the sign).
struct TExactBinary {
  uint64_t Significand = 0;
  int Exponent = 0;
  int Field = 0; // the exponent as stored: 0 to 0x7FFF
  bool Negative = false;
};

constexpr bool LongDoubleIsX87 = std::numeric_limits<long double>::digits == 64 &&
                                 std::numeric_limits<long double>::max_exponent == 16384;

TExactBinary ExactBinary(long double value) {
  // Room for ten bytes whatever the size of a long double: where it is no
  // x87 number the fields are read but not used (ScaledTwelve).
  unsigned char bytes[sizeof(long double) < 10 ? 10 : sizeof(long double)] = {};
  std::memcpy(bytes, &value, sizeof(long double));
  TExactBinary b;
  std::memcpy(&b.Significand, bytes, 8);
  b.Field = (bytes[8] | (bytes[9] << 8)) & 0x7FFF;
  b.Negative = (bytes[9] & 0x80) != 0;
  // Subnormal numbers have the exponent of the smallest normal ones.
  b.Exponent = (b.Field == 0 ? 1 : b.Field) - 16383 - 63;
  return b;
}

// |value| < 10^7, decided from the bits as exactly as the x87 comparison
// would, which waits for the value and whose flags take a slow way back:
// below 2^23 the exponent decides, from 2^23 to 2^24 the significand
// (10^7 * 2^40 is a whole number below 2^64). No number (an infinity, a
// NaN, or bits that no arithmetic makes: a missing leading one) is below.
bool BelowTenMillion(const TExactBinary& b) {
  constexpr int Field23 = 16383 + 23;
  const bool leadingOne = (b.Significand >> 63) != 0 || b.Field == 0;
  return leadingOne &&
         (b.Field < Field23 || (b.Field == Field23 && b.Significand < (10000000ULL << 40)));
}

// Fixed(value, 12) costs a printf for long double; this is the same text at
// a fraction of the cost, without the x87 unit.
// A long double is m * 2^e, so value * 10^12 is m * 10^12 (below 2^104,
// exact in 128 bits) shifted right by -e; the bits shifted out round it to
// the nearest whole number of 10^-12. Below 10^7 (every column but a
// Julian date some 20000 years away) the result fits 64 bits. Exactly half
// way Fixed decides, as to_chars rounds such a value its own way: then,
// beyond 10^7, and for what is no number this gives false.
bool ScaledTwelve(const TExactBinary& b, uint64_t& scaled) {
  constexpr uint64_t Scale = 1000000000000ULL;
  if (!LongDoubleIsX87 || !BelowTenMillion(b)) return false;
  const int shift = -b.Exponent; // at least 40 below 10^7
  const unsigned __int128 product = static_cast<unsigned __int128>(b.Significand) * Scale;
  scaled = 0;
  // Beyond 104 bits of shift the product is below half of one.
  if (shift <= 104) {
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    const unsigned __int128 rest = product & ((half << 1) - 1);
    if (rest == half) return false;
    scaled = static_cast<uint64_t>(product >> shift) + (rest > half ? 1 : 0);
  }
  return true;
}

// The text of a value whose ScaledTwelve is scaled.
char* WriteScaled(char* to, bool negative, uint64_t scaled) {
  constexpr uint64_t Scale = 1000000000000ULL;
  // A value that rounds to zero has no minus sign.
  if (negative && scaled != 0) *to++ = '-';
  to = WriteNumber(to, static_cast<long long>(scaled / Scale));
  // The twelve decimals in two halves of six, each with plain int arithmetic.
  const uint64_t fraction = scaled % Scale;
  *to++ = '.';
  SixDigits(to, static_cast<uint32_t>(fraction / 1000000));
  SixDigits(to + 6, static_cast<uint32_t>(fraction % 1000000));
  return to + 12;
}

char* WriteFixed12(char* to, long double value) {
  const TExactBinary b = ExactBinary(value);
  uint64_t scaled = 0;
  if (!ScaledTwelve(b, scaled)) return WriteText(to, Fixed(value, 12));
  return WriteScaled(to, b.Negative, scaled);
}

long double Illuminated(long double cosine) {
  return 50.0L * (1.0L + cosine);
}

// CosSin stays within 3.5e-19 of std::cos (the library's own tests hold it
// to that); the margin is ten times as wide.
constexpr long double CosineMargin = 0x1p-58L;

// The illuminated percentage 50 (1 + cos phase) as std::cos makes it,
// which reduces an angle beyond pi/4 by a multi-precision routine that
// costs more than a whole column. Rounding and the twelve decimals keep
// the order of the values, so a cosine within the margin of CosSin's
// gives a text between those of the margin's ends: where both ends write
// the same, that is the text (with the same sign, so no zero lies between
// them). Only a percentage within some 10^-15 of a rounding edge, about
// one row in a thousand, needs std::cos itself.
char* WriteIlluminated(char* to, long double phase) {
  const long double cosine = CosSin(phase).C;
  const TExactBinary low = ExactBinary(Illuminated(cosine - CosineMargin));
  const TExactBinary high = ExactBinary(Illuminated(cosine + CosineMargin));
  uint64_t lowScaled = 0, highScaled = 0;
  if (ScaledTwelve(low, lowScaled) && ScaledTwelve(high, highScaled) && lowScaled == highScaled &&
      low.Negative == high.Negative)
    return WriteScaled(to, low.Negative, lowScaled);
  return WriteFixed12(to, Illuminated(std::cos(phase)));
}

long double Degrees(long double radians) {
  return radians * RadToDeg;
}

long double LongitudeDegrees(long double radians) {
  long double d = Degrees(radians);
  // The longitudes come in [0, 2 pi), and the remainder of a value already
  // in [0, 360) is that value itself (also -0): fmod is exact, but slow.
  if (d >= 0.0L && d < 360.0L) return d;
  d = std::fmod(d, 360.0L);
  if (d < 0) d += 360.0L;
  if (d >= 360.0L) d -= 360.0L;
  return d;
}

// The columns after the time: the places of Sun and Moon and what the
// observer sees of them.
constexpr size_t Columns = 17;
// A row's text before and after the time: the Julian date and the date
// with their commas, and the columns with theirs and the line end.
constexpr size_t MaxRowStartChars = MaxFixedChars + 3 * MaxNumberChars + 4;
constexpr size_t MaxRowEndChars = Columns * (MaxFixedChars + 1) + 1;

char* WriteRowStart(char* to, long double jd, const TCalendarDate& date) {
  to = WriteFixed12(to, jd);
  *to++ = ',';
  to = WriteNumber(to, date.Day);
  *to++ = '.';
  to = WriteNumber(to, date.Month);
  *to++ = '.';
  to = WriteNumber(to, date.Year);
  *to++ = ',';
  return to;
}

char* WriteColumns(char* to, const long double* columns, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    *to++ = ',';
    to = WriteFixed12(to, columns[i]);
  }
  return to;
}

char* WriteRowEnd(char* to, const TSkyInstant& s, const TSeenSky& seen) {
  const long double beforeIlluminated[] = {
      LongitudeDegrees(s.SunLon),  Degrees(s.SunLat),       s.SunDistance,
      LongitudeDegrees(s.MoonLon), Degrees(s.MoonLat),      s.MoonDistance,
      Degrees(s.SiderealTime),     Degrees(s.SunAzimuth),   Degrees(s.SunAltitude),
      Degrees(s.MoonAzimuth),      Degrees(s.MoonAltitude), Degrees(s.PhaseAngle)};
  const long double afterIlluminated[] = {
      Degrees(seen.MoonAltitudeTopo), Degrees(seen.MoonAzimuthTopo),
      Degrees(seen.SunAltitudeRefracted), Degrees(seen.MoonAltitudeRefracted)};
  to = WriteColumns(to, beforeIlluminated, std::size(beforeIlluminated));
  *to++ = ',';
  to = WriteIlluminated(to, s.PhaseAngle);
  to = WriteColumns(to, afterIlluminated, std::size(afterIlluminated));
  *to++ = '\n';
  return to;
}

// A row is put together in a buffer of characters and appended in three
// pieces: appending each number, comma and digit on its own checked the
// string's capacity some sixty times a row.
void AppendRow(std::string& out, long double jd, const TSkyInstant& s, const TSeenSky& seen) {
  char start[MaxRowStartChars];
  out.append(start, WriteRowStart(start, jd, s.Date));
  out += ClockText(s.Time);
  char end[MaxRowEndChars];
  out.append(end, WriteRowEnd(end, s, seen));
}

} // namespace

void AppendFixed12(std::string& out, long double value) {
  char text[MaxFixedChars];
  out.append(text, WriteFixed12(text, value));
}

void AppendIlluminated(std::string& out, long double phase) {
  char text[MaxFixedChars];
  out.append(text, WriteIlluminated(text, phase));
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
  TSkyRun sky(latitude, longitude);
  const TCalendarDate start{p.StartDay, p.StartMonth, p.StartYear};
  long double jd = JulianDate(start, p.StartTime);

  // Written in pieces of about 64 KB: a long table never sits in memory as
  // a whole, and a failed write ends it at once.
  constexpr size_t Piece = 1 << 16;
  std::string table = std::string(EphemerisHeader) + "\n";
  table.reserve(Piece + 1024);
  for (long long i = 0; i < count && out; ++i) {
    const TSkyInstant s = sky.Instant(jd);
    AppendRow(table, jd, s, sky.Seen(s));
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
