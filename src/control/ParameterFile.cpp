#include "ParameterFile.h"

#include <algorithm>
#include <vector>

#include "Dateien.h"
#include "Mathe.h"
#include "Zahlen.h"

namespace {

// The lines of the file as UTF-8, without their line ends.
std::vector<std::string> Utf8Lines(const std::string& bytes) {
  std::vector<std::string> lines = SplitTextLines(bytes);
  for (std::string& line : lines) line = Cp1252ToUtf8(line);
  return lines;
}

// The value text of a line: up to the first blank after the value; blanks
// ahead of the value stay.
std::string ValueText(const std::string& line) {
  size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  const size_t blank = line.find(' ', i);
  return blank == std::string::npos ? line : line.substr(0, blank);
}

std::string WithDecimalPoint(std::string text) {
  for (char& c : text)
    if (c == ',') c = '.';
  return text;
}

// The bytes of the UTF-8 character that starts with this byte.
size_t CharacterLength(char first) {
  const unsigned char b = static_cast<unsigned char>(first);
  if ((b & 0xE0) == 0xC0) return 2;
  if ((b & 0xF0) == 0xE0) return 3;
  if ((b & 0xF8) == 0xF0) return 4;
  return 1;
}

// The first n characters of a line (UTF-8): the file counts characters of
// Windows-1252, one byte each, so a cut must not split an "ä" in two.
std::string FirstCharacters(const std::string& line, size_t n) {
  size_t end = 0;
  for (size_t k = 0; k < n && end < line.size(); ++k) end += CharacterLength(line[end]);
  return line.substr(0, std::min(end, line.size()));
}

// The first character of a line, or "" for an empty line.
std::string FirstCharacter(const std::string& line) {
  return FirstCharacters(line, 1);
}

bool IsYes(const std::string& answer) {
  return answer == "J" || answer == "j";
}

TParameterFileResult Failure(const std::string& fileName, int line, const std::string& text) {
  TParameterFileResult result;
  result.Ok = false;
  result.Line = line;
  if (line == 0)
    result.Message = "Die Parameterdatei \"" + fileName + "\" kann nicht gelesen werden.";
  else
    result.Message = "Parameterdatei \"" + fileName + "\", Zeile " + std::to_string(line) + ": \"" +
                     text + "\" ist keine gültige Zahl.";
  return result;
}

// Brings one value into its range; the text follows the value (with the
// given decimals), and the note says what was changed.
template <typename TValue>
void Clamp(TValue& value, std::string& text, const TInputRange& range, int decimals,
           const std::string& what, const std::string& unit, std::vector<std::string>& notes) {
  const long double v = value;
  if (v >= range.Low && v <= range.High) return;
  const long double limit = v < range.Low ? range.Low : range.High;
  value = static_cast<TValue>(limit);
  text = FormatReal(limit, 1 + decimals / 10.0L);
  text.erase(0, text.find_first_not_of(' '));
  notes.push_back(what + " aus der Parameterdatei auf " + text + unit + " begrenzt.");
}

std::vector<std::string> ClampToRanges(TParameters& p) {
  std::vector<std::string> notes;
  Clamp(p.Latitude, p.LatitudeText, LatitudeRange, 0, "Breite", DegreeSign, notes);
  Clamp(p.Longitude, p.LongitudeText, LongitudeRange, 0, "Länge", DegreeSign, notes);
  Clamp(p.StartYear, p.YearText, YearRange, 0, "Jahr", "", notes);
  Clamp(p.StepDays, p.TimeStepText, StepRange, 2, "Zeitschritt", " Stunden", notes);
  Clamp(p.Delay, p.DelayText, DelayRange, 0, "Verzögerung", " ms", notes);
  // The spacing is kept in radians; it is clamped in the degrees it was typed in.
  long double spacing = p.LineSpacing / DegToRad;
  const size_t before = notes.size();
  Clamp(spacing, p.LineSpacingText, LineSpacingRange, 0, "Abstand der Koordinatenlinien", "°",
        notes);
  if (notes.size() > before) p.LineSpacing = spacing * DegToRad;
  return notes;
}

} // namespace

TParameterFileResult ReadParameterFile(const std::string& fileName, TParameters& p,
                                       bool& outsideView, bool& singleStep) {
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes).Ok) return Failure(fileName, 0, "");
  return ParseParameterFile(bytes, fileName, p, outsideView, singleStep);
}

TParameterFileResult ParseParameterFile(const std::string& bytes, const std::string& fileName,
                                        TParameters& p, bool& outsideView, bool& singleStep) {
  std::vector<std::string> lines = Utf8Lines(bytes);
  lines.resize(12); // missing lines read as empty ones

  TParameters q = p; // filled line by line, used only when everything converts
  const bool outside = !(FirstCharacter(lines[0]) == "P" || FirstCharacter(lines[0]) == "p");

  // Each value is converted right after it is read; the first one that fails
  // stops the reading.
  auto readReal = [&](int line, std::string& text, long double& value) {
    text = ValueText(lines[line - 1]);
    return ParseReal(WithDecimalPoint(text), value) == 0;
  };
  if (!readReal(2, q.LatitudeText, q.Latitude)) return Failure(fileName, 2, q.LatitudeText);
  if (!readReal(3, q.LongitudeText, q.Longitude)) return Failure(fileName, 3, q.LongitudeText);

  // Line 4: day and month before the first and second point, then the first
  // four characters of the year. A sign ahead of the year does not count
  // among the four, so a year before the common era that F2 wrote reads
  // back as it was; nor does the comment after a shorter year ("800 * ...").
  const std::string& date = lines[3];
  const size_t dot1 = date.find('.');
  const std::string afterDay = dot1 == std::string::npos ? "" : date.substr(dot1 + 1);
  const size_t dot2 = afterDay.find('.');
  const std::string afterMonth = dot2 == std::string::npos ? "" : afterDay.substr(dot2 + 1);
  // Blanks typed ahead of the year stay in its text but do not count either.
  const size_t blanks = std::min(afterMonth.find_first_not_of(' '), afterMonth.size());
  const bool hasSign =
      blanks < afterMonth.size() && (afterMonth[blanks] == '-' || afterMonth[blanks] == '+');
  q.DayText = dot1 == std::string::npos ? "" : date.substr(0, dot1);
  q.MonthText = dot2 == std::string::npos ? "" : afterDay.substr(0, dot2);
  q.YearText = FirstCharacters(ValueText(afterMonth), blanks + (hasSign ? 5 : 4));
  if (ParseInteger(q.DayText, q.StartDay) != 0) return Failure(fileName, 4, q.DayText);
  if (ParseInteger(q.MonthText, q.StartMonth) != 0) return Failure(fileName, 4, q.MonthText);
  if (ParseInteger(q.YearText, q.StartYear) != 0) return Failure(fileName, 4, q.YearText);

  if (!readReal(5, q.StartTimeText, q.StartTime)) return Failure(fileName, 5, q.StartTimeText);
  if (!readReal(6, q.TimeStepText, q.StepDays)) return Failure(fileName, 6, q.TimeStepText);
  q.DelayText = ValueText(lines[6]);
  if (ParseInteger(q.DelayText, q.Delay) != 0) return Failure(fileName, 7, q.DelayText);
  if (!readReal(8, q.AzimuthText, q.CentralAzimuth)) return Failure(fileName, 8, q.AzimuthText);
  if (!readReal(9, q.LineSpacingText, q.LineSpacing))
    return Failure(fileName, 9, q.LineSpacingText);
  q.LineSpacing *= DegToRad;

  // Lines 10 to 12: one letter each; a missing letter means no.
  q.EquatorAnswer = FirstCharacter(lines[9]);
  q.EclipticAnswer = FirstCharacter(lines[10]);
  q.DrawEquator = IsYes(q.EquatorAnswer);
  q.DrawEcliptic = IsYes(q.EclipticAnswer);
  if (q.EquatorAnswer.empty()) q.EquatorAnswer = "n";
  if (q.EclipticAnswer.empty()) q.EclipticAnswer = "n";

  TParameterFileResult result;
  result.Notes = ClampToRanges(q);
  p = q;
  outsideView = outside;
  singleStep = IsYes(FirstCharacter(lines[11]));
  return result;
}

std::string ParameterFileBytes(const TParameters& p, bool outsideView) {
  const std::string lines[12] = {std::string(outsideView ? "b" : "p") +
                                     " * Darstellung (Phase (p)/Bewegung)",
                                 p.LatitudeText + " * geogr. Breite",
                                 p.LongitudeText + " * geogr. Länge",
                                 p.DayText + "." + p.MonthText + "." + p.YearText + " * Startdatum",
                                 p.StartTimeText + " * Startuhrzeit",
                                 p.TimeStepText + " * deltat",
                                 p.DelayText + " * Verzögerung in ms",
                                 p.AzimuthText + " * zentraler Azimut",
                                 p.LineSpacingText + " * Abstand der Koordinatenlinien",
                                 p.EquatorAnswer + " * Zeichnung der Äquators (j/n)?",
                                 p.EclipticAnswer + " * Zeichnung der Ekliptik (j/n)?",
                                 "j * Einzelschritt (j/n)?"};
  std::string bytes;
  for (const std::string& line : lines) bytes += Utf8ToCp1252(line) + "\r\n";
  return bytes;
}

TFileResult WriteParameterFile(const std::string& fileName, const TParameters& p,
                               bool outsideView) {
  TFileResult written = WriteFileAtomically(fileName, ParameterFileBytes(p, outsideView));
  if (!written.Ok)
    written.Message = "Die Parameterdatei \"" + fileName +
                      "\" kann nicht geschrieben werden: " + written.Reason + ".";
  return written;
}
