#include "PhaseCalendar.h"

#include <charconv>
#include <cmath>

#include "AstrRout.h"
#include "Mathe.h"
#include "MoonPhase.h"
#include "SkyInstant.h"
#include "Zahlen.h"

namespace {

constexpr long double MinutesPerDay = 1440.0L;

struct TPlace {
  long double Latitude = 0, Longitude = 0; // degrees
};

bool ParseYear(const std::string& text, int& year) {
  int32_t value = 0;
  if (ParseInteger(text, value) != 0) return false;
  if (value < PhaseCalendarFirstYear || value > PhaseCalendarLastYear) return false;
  year = value;
  return true;
}

// "LATITUDE,LONGITUDE" in degrees with a decimal point.
bool ParsePlace(const std::string& text, TPlace& place) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos) return false;
  if (ParseReal(text.substr(0, comma), place.Latitude) != 0 ||
      ParseReal(text.substr(comma + 1), place.Longitude) != 0)
    return false;
  return std::fabs(place.Latitude) <= 90 && std::fabs(place.Longitude) <= 180;
}

// The MEZ date and time of the minute nearest to jd, as the ephemeris
// table writes them: "3.1.2026" and "11.03".
void AppendMinute(std::string& out, long double minuteJD) {
  TCalendarDate date;
  long double t = 0;
  // A tenth of a second past the minute, so that the conversion never
  // lands a hair before it (and on the previous minute or day).
  CalendarDate(minuteJD + 0.1L / 86400.0L, date, t);
  const int hours = static_cast<int>(Trunc(t));
  const int minutes = static_cast<int>(Trunc((t - hours) * 100));
  out += std::to_string(date.Day) + '.' + std::to_string(date.Month) + '.' +
         std::to_string(date.Year) + ',' + std::to_string(hours) + '.' + (minutes < 10 ? "0" : "") +
         std::to_string(minutes);
}

// One decimal, no minus sign on a zero.
void AppendDegrees(std::string& out, long double radians) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, radians / DegToRad,
                                    std::chars_format::fixed, 1);
  std::string text(buffer, result.ptr);
  if (text == "-0.0") text = "0.0";
  out += text;
}

void AppendPlaceColumns(std::string& out, long double jd, const TPlace& place) {
  const long double latitude = place.Latitude * DegToRad;
  const TSkyInstant s = ComputeSkyInstant(jd, latitude, place.Longitude * DegToRad);
  const TSeenSky seen = ComputeSeenSky(s, latitude);
  out += ',';
  AppendDegrees(out, seen.MoonAltitudeRefracted);
  out += ',';
  AppendDegrees(out, seen.MoonAzimuthTopo);
}

} // namespace

int WritePhaseCalendar(const std::string& yearText, const std::optional<std::string>& placeText,
                       std::ostream& out, std::ostream& err) {
  int year = 0;
  if (!ParseYear(yearText, year)) {
    err << "lunotrop: --phases braucht ein Jahr als ganze Zahl von " << PhaseCalendarFirstYear
        << " bis " << PhaseCalendarLastYear << ", nicht „" << yearText << "“.\n";
    return 2;
  }
  TPlace place;
  if (placeText && !ParsePlace(*placeText, place)) {
    err << "lunotrop: --place braucht Breite und Länge in Grad mit Dezimalpunkt, durch ein Komma "
           "getrennt, etwa 54.3,10.1 (Breite -90 bis 90, Länge -180 bis 180), nicht „"
        << *placeText << "“.\n";
    return 2;
  }

  // The year in MEZ. The phases are searched a day beyond both ends, and
  // the minute each is rounded to decides to which year it belongs.
  const long double start = JulianDate(TCalendarDate{1, 1, year}, 0.00L);
  const long double end = JulianDate(TCalendarDate{1, 1, year + 1}, 0.00L);
  const long double halfMinute = 0.5L / MinutesPerDay;

  std::string table =
      std::string(PhaseCalendarHeader) + (placeText ? PhaseCalendarPlaceColumns : "") + "\n";
  for (const TPhaseEvent& event : MainPhasesBetween(start - 1, end + 1)) {
    const long double minute = std::round(event.JD * MinutesPerDay) / MinutesPerDay;
    if (minute < start - halfMinute || minute >= end - halfMinute) continue;
    table += PhaseName(event.Phase);
    table += ',';
    AppendMinute(table, minute);
    if (placeText) AppendPlaceColumns(table, event.JD, place);
    table += '\n';
  }
  out << table;
  out.flush();
  if (!out) {
    err << "lunotrop: Der Kalender konnte nicht geschrieben werden.\n";
    return 1;
  }
  return 0;
}
