#include "Ephemeris.h"

#include <charconv>
#include <cmath>
#include <sstream>

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

long double Degrees(long double radians) {
  return radians * RadToDeg;
}

long double LongitudeDegrees(long double radians) {
  long double d = std::fmod(Degrees(radians), 360.0L);
  if (d < 0) d += 360.0L;
  if (d >= 360.0L) d -= 360.0L;
  return d;
}

std::string Row(long double jd, const TSkyInstant& s) {
  std::ostringstream row;
  row << Fixed(jd, 12) << ',' << s.Date.Day << '.' << s.Date.Month << '.' << s.Date.Year << ','
      << ClockText(s.Time) << ',' << Fixed(LongitudeDegrees(s.SunLon), 12) << ','
      << Fixed(Degrees(s.SunLat), 12) << ',' << Fixed(s.SunDistance, 12) << ','
      << Fixed(LongitudeDegrees(s.MoonLon), 12) << ',' << Fixed(Degrees(s.MoonLat), 12) << ','
      << Fixed(s.MoonDistance, 12) << ',' << Fixed(Degrees(s.SiderealTime), 12) << ','
      << Fixed(Degrees(s.SunAzimuth), 12) << ',' << Fixed(Degrees(s.SunAltitude), 12) << ','
      << Fixed(Degrees(s.MoonAzimuth), 12) << ',' << Fixed(Degrees(s.MoonAltitude), 12) << ','
      << Fixed(Degrees(s.PhaseAngle), 12) << ','
      << Fixed(50.0L * (1.0L + std::cos(s.PhaseAngle)), 12) << '\n';
  return row.str();
}

} // namespace

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

  std::string table = std::string(EphemerisHeader) + "\n";
  for (long long i = 0; i < count; ++i) {
    table += Row(jd, ComputeSkyInstant(jd, latitude, longitude));
    jd += stepDays; // one step after another, as the animation adds them
  }
  out << table;
  out.flush();
  if (!out) {
    err << "lunotrop: Die Tabelle konnte nicht geschrieben werden.\n";
    return 1;
  }
  return 0;
}
