// The parameter file, as teachers pass it around: any bytes either load as
// values the program can show, with texts of one line of UTF-8, or are
// refused with a German message naming the line and nothing changed; what
// loads, written back as F2 writes it, loads again with the same values.
#include <algorithm>
#include <cmath>
#include <string>

#include "Mathe.h"
#include "ParameterFile.h"
#include "TextChecks.h"

namespace {

const std::string FileName = "Klasse 7b.dat";

bool Same(const TParameters& a, const TParameters& b) {
  return a.Latitude == b.Latitude && a.Longitude == b.Longitude && a.StartDay == b.StartDay &&
         a.StartMonth == b.StartMonth && a.StartYear == b.StartYear && a.StartTime == b.StartTime &&
         a.StepDays == b.StepDays && a.Delay == b.Delay && a.CentralAzimuth == b.CentralAzimuth &&
         a.LineSpacing == b.LineSpacing && a.DrawEquator == b.DrawEquator &&
         a.DrawEcliptic == b.DrawEcliptic && a.LatitudeText == b.LatitudeText &&
         a.LongitudeText == b.LongitudeText && a.DayText == b.DayText &&
         a.MonthText == b.MonthText && a.YearText == b.YearText &&
         a.StartTimeText == b.StartTimeText && a.TimeStepText == b.TimeStepText &&
         a.DelayText == b.DelayText && a.AzimuthText == b.AzimuthText &&
         a.LineSpacingText == b.LineSpacingText && a.EquatorAnswer == b.EquatorAnswer &&
         a.EclipticAnswer == b.EclipticAnswer;
}

// What the program held before the file was read: values no file gives.
TParameters Before() {
  TParameters p;
  p.Latitude = -1234;
  p.LatitudeText = "vorher";
  p.StartYear = 123456;
  p.EquatorAnswer = "x";
  return p;
}

bool InRange(long double value, const TInputRange& range) {
  return value >= range.Low && value <= range.High;
}

bool IsYes(const std::string& answer) {
  return answer == "J" || answer == "j";
}

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void RequireRefusal(const TParameterFileResult& r, const TParameters& p, bool outside,
                    bool singleStep) {
  Require(r.Line >= 1 && r.Line <= 12, "a refusal names a line 1..12");
  const std::string line = ", Zeile " + std::to_string(r.Line) + ": \"";
  Require(StartsWith(r.Message, "Parameterdatei \"" + FileName + "\"" + line),
          "the message names the file and the line");
  Require(EndsWith(r.Message, "\" ist keine gültige Zahl."), "the message says why in German");
  RequireOneLineOfUtf8(r.Message, "the message is one line of UTF-8");
  Require(r.Notes.empty(), "a refused file has no notes");
  Require(Same(p, Before()) && outside && !singleStep, "a refused file changes nothing");
}

void RequireShowable(const TParameters& p) {
  Require(InRange(p.Latitude, LatitudeRange), "latitude -90..90");
  Require(InRange(p.Longitude, LongitudeRange), "longitude -180..360");
  Require(InRange(p.StartYear, YearRange), "year -4712..9999");
  Require(InRange(p.StepDays, StepRange), "step at most 876000 hours either way");
  Require(InRange(p.Delay, DelayRange), "delay 1..10000 ms");
  // The spacing is kept in radians; a little room for the conversion.
  const long double spacing = p.LineSpacing / DegToRad;
  Require(spacing >= LineSpacingRange.Low - 1e-9L && spacing <= LineSpacingRange.High + 1e-9L,
          "grid lines 1..90 degrees apart");
  Require(std::isfinite(p.StartTime) && std::isfinite(p.CentralAzimuth), "finite time and azimuth");
}

void RequireTexts(const TParameters& p, const TParameterFileResult& r) {
  for (const std::string* text :
       {&p.LatitudeText, &p.LongitudeText, &p.DayText, &p.MonthText, &p.YearText, &p.StartTimeText,
        &p.TimeStepText, &p.DelayText, &p.AzimuthText, &p.LineSpacingText, &p.EquatorAnswer,
        &p.EclipticAnswer})
    RequireOneLineOfUtf8(*text, "every text is one line of UTF-8");
  Require(CharacterCount(p.EquatorAnswer) == 1 && CharacterCount(p.EclipticAnswer) == 1,
          "each answer is one letter");
  Require(p.DrawEquator == IsYes(p.EquatorAnswer) && p.DrawEcliptic == IsYes(p.EclipticAnswer),
          "J or j draws the line, any other letter does not");
  Require(r.Notes.size() <= 6, "at most one note for each clamped value");
  for (const std::string& note : r.Notes) {
    RequireOneLineOfUtf8(note, "every note is one line of UTF-8");
    Require(note.find(" aus der Parameterdatei auf ") != std::string::npos,
            "a note says what was clamped");
  }
}

// F2's bytes of what was read: 12 lines with CR LF, read back to the same
// values, in range without notes, in single-step mode; written again, the
// same bytes.
void RequireRoundTrip(const TParameters& p, bool outside) {
  const std::string bytes = ParameterFileBytes(p, outside);
  size_t lineEnds = 0;
  for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2))
    ++lineEnds;
  Require(lineEnds == 12 && EndsWith(bytes, "\r\n"), "F2 writes 12 lines ended by CR LF");
  Require(std::count(bytes.begin(), bytes.end(), '\r') == 12 &&
              std::count(bytes.begin(), bytes.end(), '\n') == 12,
          "no other CR or LF");
  TParameters again;
  bool outsideAgain = !outside, singleStep = false;
  const TParameterFileResult r =
      ParseParameterFile(bytes, FileName, again, outsideAgain, singleStep);
  Require(r.Ok, "what loaded loads again after F2");
  Require(r.Notes.empty(), "what loaded needs no clamping the second time");
  Require(Same(again, p), "the same values and texts after F2");
  Require(outsideAgain == outside, "the same view after F2");
  Require(singleStep, "a file of F2 starts in single-step mode");
  Require(ParameterFileBytes(again, outsideAgain) == bytes, "F2 again writes the same bytes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  TParameters p = Before();
  bool outside = true, singleStep = false;
  const TParameterFileResult r = ParseParameterFile(bytes, FileName, p, outside, singleStep);
  if (!r.Ok) {
    RequireRefusal(r, p, outside, singleStep);
    return 0;
  }
  Require(r.Message.empty() && r.Line == 0, "a loaded file has no message");
  RequireShowable(p);
  RequireTexts(p, r);
  RequireRoundTrip(p, outside);
  return 0;
}
