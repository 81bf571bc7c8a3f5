#include "Labels.h"

#include <cmath>

#include "KernGraf.h"
#include "ViewGeometry.h"
#include "ViewState.h"
#include "Zahlen.h"

TLabelTexts Labels;

namespace {

std::string WithoutLeadingBlank(std::string text) {
  if (!text.empty() && text.front() == ' ') text.erase(0, 1);
  return text;
}

std::string WithoutMinusSigns(std::string text) {
  std::erase(text, '-');
  return text;
}

long double Degrees(long double radians) {
  return radians / DegToRad;
}

} // namespace

std::string FormatDate(const TCalendarDate& D) {
  return FormatReal(D.Day, 2.0L) + "." + FormatReal(D.Month, 2.0L) + "." + FormatReal(D.Year, 4.0L);
}

std::string DayMonthYear(const TCalendarDate& D) {
  return WithoutLeadingBlank(FormatReal(D.Day, 2.0L)) + "." +
         WithoutLeadingBlank(FormatReal(D.Month, 2.0L)) + "." + FormatReal(D.Year, 4.0L);
}

std::string ShownTime(long double t) {
  const std::string s = ClockText(t);
  return s.size() < 5 ? std::string(5 - s.size(), ' ') + s : s;
}

std::string MakeLocationText() {
  const TViewSetup& s = View.Setup;
  return " (" + WithoutMinusSigns(s.LatitudeText) + DegreeSign +
         (s.Latitude >= 0 ? "n.B., " : "s.B., ") + WithoutMinusSigns(s.LongitudeText) + DegreeSign +
         (s.Longitude >= 0 ? "ö.L.)" : "w.L.)");
}

std::string LocationLine() {
  const std::string line = "Standort: " + View.Setup.LatitudeText + DegreeSign +
                           (View.Latitude >= 0 ? " n.B., " : " s.B., ") + View.Setup.LongitudeText +
                           DegreeSign + (View.Longitude >= 0 ? " ö.L." : " w.L.");
  return WithoutMinusSigns(line);
}

long double ViewingLatitude(long double b) {
  // b is the angle between the picture's axis towards the viewer and the
  // ecliptic north pole; beyond 90 degrees the picture is seen from south
  // of the ecliptic.
  long double fromPole = std::fmod(std::fabs(Degrees(b)), 360.0L);
  if (fromPole > 180) fromPole = 360 - fromPole;
  return 90 - fromPole;
}

std::string TiltLabel(long double tiltAngle) {
  const long double latitude = ViewingLatitude(tiltAngle);
  if (latitude > 89) return "Blick vom Nordpol der Ekliptik";
  return "Blick von " + FormatReal(std::fabs(latitude), 2.0L) + DegreeSign +
         (latitude >= 0 ? " nördl. ekl. Breite" : " südl. ekl. Breite");
}

std::string LatitudeCircleLabel(long double latitude, long double tiltAngle) {
  // Perspective 1 turns the picture by LatitudeViewAngle, the tilt keys by
  // their angle on top: the picture is seen from the ecliptic latitude of
  // the sum.
  const long double seenFrom = ViewingLatitude(LatitudeViewAngle(latitude) + tiltAngle);
  std::string degrees = FormatReal(std::fabs(seenFrom), 2.1L);
  degrees.erase(0, degrees.find_first_not_of(' '));
  if (degrees == "90.0")
    return seenFrom > 0 ? "Blick vom Nordpol der Ekliptik" : "Blick vom Südpol der Ekliptik";
  return "Blick von " + degrees + DegreeSign +
         (seenFrom >= 0 ? " nördl. ekl. Breite" : " südl. ekl. Breite");
}

namespace {

void DrawPerspectiveLabels() {
  const int y0 = View.EarthCentreY - View.EarthRadiusPx; // top of the Earth disc
  const int x = MaxY();                                  // right edge of the square picture
  switch (View.Perspective) {
  case 0:
    // Black text in its black box removes the labels of perspective 2 (the
    // box of "Westen" also covers the shorter "Osten").
    SetTextJustify(2, 0);
    OutTextXY(x, y0, "Horizont", Black);
    SetTextJustify(2, 2);
    OutTextXY(x, y0, "Westen", Black);
    SetTextJustify(0, 1);
    OutTextXY(x, View.EarthCentreY, " zum Frühlingspunkt ------->", Yellow);
    SetTextJustify(0, 0);
    OutTextXY(x + CharWidth, 200, TiltLabel(View.TiltAngle), White);
    break;
  case 1:
    OutTextXY(x + CharWidth, 200, LatitudeCircleLabel(View.Latitude, View.TiltAngle), White);
    DrawLine(x, View.EarthCentreY, x + 50, View.EarthCentreY, Yellow);
    SetTextJustify(0, 1);
    OutTextXY(x + 60, View.EarthCentreY, "zum Frühlingspunkt", Yellow);
    break;
  default:
    SetTextJustify(2, 0);
    OutTextXY(x, y0, "Horizont", LightGray);
    SetTextJustify(2, 2);
    OutTextXY(x, y0, View.Latitude >= 0 ? "Westen" : "Osten", LightGray);
    SetTextJustify(0, 0);
    OutTextXY(x + 10, 200, "Blick über den Horizont des Standortes     ", White);
    OutTextXY(x + 10, 200 + CharHeight,
              std::string("Richtung ") + (View.Latitude >= 0 ? "Süden" : "Norden"), White);
    break;
  }
}

void DrawHelpHint() {
  SetTextJustify(2, 0);
  OutTextXY(MaxX(), MaxY() - 5, "F1: Hilfe ", LightRed);
  SetTextJustify(0, 0);
}

} // namespace

void DrawViewFrame() {
  // Texts in black boxes: the status line leaves the background transparent,
  // and the labels of perspective 2 are erased by writing them in black.
  SetTextBackground(Black);
  SetFillStyle(255, Black, Black);
  FillBar(MaxY(), 0, MaxX(), MaxY() + 1);

  Labels.ClockText = ShownTime(View.Time);
  Labels.DateText = DayMonthYear(View.Date) + "  ";

  SetFont("Courier", 20, 1);
  SetTextJustify(0, 0);
  const int h = CharHeight;
  OutTextXY(MaxY() + 10, 2 * h, Labels.DateText, White);
  OutTextXY(MaxY() + 10, 3 * h, Labels.ClockText + " Uhr MEZ", White);

  SetFont("Courier", 10, 0);
  SetTextJustify(0, 0);
  OutTextXY(MaxY() + 10, 4 * h, LocationLine(), White);

  SetFont("Courier", 16, 1);
  OutTextXY(MaxY(), 200 - CharHeight,
            View.Perspective == 2 ? " hor. System:" : " ekl. System:", White);

  SetFont("Courier", 10, 0);
  DrawHelpHint();
  DrawPerspectiveLabels();
  DrawHelpHint();
}

void DrawInsideTitle() {
  Labels.TitleText = DayMonthYear(View.Date) + ", " + ShownTime(View.Time) + " Uhr";
  SetTextSize(30);
  SetFont("Courier", 20, 1);
  SetTextJustify(1, 0);
  SetTextBackground(Black);
  OutTextXY(MaxX() / 2, View.TitleBase - 10, Labels.TitleText + Labels.LocationText, White);
  SetFont("Courier", 10, 0);
}

void LabelMoon(int x, int y, const std::string& dateText, const std::string& clockText,
               int colour) {
  SetTextJustify(1, 0);
  OutTextXY(x, y - View.MoonRadiusPx - 2 * CharHeight, dateText, colour);
  OutTextXY(x, y - View.MoonRadiusPx - CharHeight, clockText + " Uhr MEZ", colour);
}
