#include "Labels.h"

#include <algorithm>
#include <cmath>

#include "KernGraf.h"
#include "ScreenLayout.h"
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

std::string PhaseText() {
  const TMoonPhase& phase = View.Phase;
  std::string percent = FormatReal(phase.IlluminatedPercent, 3.0L);
  percent.erase(0, percent.find_first_not_of(' '));
  std::string age = FormatReal(phase.AgeDays, 2.1L);
  age.erase(0, age.find_first_not_of(' '));
  // Number and unit stay on one line where the panel breaks the text: a
  // no-break space between them.
  const std::string nbsp = "\u00a0";
  return std::string("Mond: ") + phase.Name + ", " + percent + nbsp + "% beleuchtet, " + age +
         nbsp + (age == "1.0" ? "Tag alt" : "Tage alt");
}

std::string MakeLocationText() {
  const TViewSetup& s = View.Setup;
  return " (" + WithoutMinusSigns(s.LatitudeText) + DegreeSign +
         (s.Latitude >= 0 ? "n.B., " : "s.B., ") + WithoutMinusSigns(s.LongitudeText) + DegreeSign +
         (s.Longitude >= 0 ? "ö.L.)" : "w.L.)");
}

std::string LocationPlace() {
  const std::string place =
      View.Setup.LatitudeText + DegreeSign + (View.Latitude >= 0 ? " n.B., " : " s.B., ") +
      View.Setup.LongitudeText + DegreeSign + (View.Longitude >= 0 ? " ö.L." : " w.L.");
  return WithoutMinusSigns(place);
}

std::string LocationLine() {
  return "Standort: " + LocationPlace();
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

// A text of the panel at (x, y), left-aligned; in the compact layout broken
// into lines that end at the screen's edge. Returns the bottom of the line
// after it.
int WritePanelText(int x, int y, const std::string& text, int colour) {
  if (!CompactScreen()) {
    OutTextXY(x, y, text, colour);
    return y + CharHeight;
  }
  return WriteLines(x, y, FitLines(text, MaxX() - x), colour);
}

// The location line; in the compact layout, where it is too wide, the place
// stands under "Standort:". Returns the bottom of the line after it.
int WriteLocation(int x, int y) {
  const std::string line = LocationLine();
  if (!CompactScreen() || TextWidth(line) <= MaxX() - x) {
    OutTextXY(x, y, line, White);
    return y + CharHeight;
  }
  std::vector<std::string> lines = {"Standort:"};
  for (const std::string& part : FitLines(LocationPlace(), MaxX() - x)) lines.push_back(part);
  return WriteLines(x, y, lines, White);
}

// The labels at the right end of perspective 2's horizon line.
void HorizonLabels(int colour, bool east) {
  const int y0 = View.EarthCentreY - View.EarthRadiusPx; // top of the Earth disc
  SetTextJustify(2, 0);
  OutTextXY(MaxY(), y0, "Horizont", colour);
  SetTextJustify(2, 2);
  OutTextXY(MaxY(), y0, east ? "Osten" : "Westen", colour);
}

void DrawPerspectiveLabels() {
  const int x = MaxY(); // right edge of the square picture
  switch (View.Perspective) {
  case 0:
    SetTextJustify(0, 1);
    OutTextXY(x, View.EarthCentreY, " zum Frühlingspunkt ------->", Yellow);
    SetTextJustify(0, 0);
    WritePanelText(x + CharWidth, 200, TiltLabel(View.TiltAngle), White);
    break;
  case 1:
    WritePanelText(x + CharWidth, 200, LatitudeCircleLabel(View.Latitude, View.TiltAngle), White);
    DrawLine(x, View.EarthCentreY, x + 50, View.EarthCentreY, Yellow);
    SetTextJustify(0, 1);
    OutTextXY(x + 60, View.EarthCentreY, "zum Frühlingspunkt", Yellow);
    break;
  default:
    HorizonLabels(LightGray, View.Latitude < 0);
    SetTextJustify(0, 0);
    const int next =
        WritePanelText(x + 10, 200, "Blick über den Horizont des Standortes     ", White);
    OutTextXY(x + 10, next, std::string("Richtung ") + (View.Latitude >= 0 ? "Süden" : "Norden"),
              White);
    break;
  }
}

void DrawHelpHint() {
  SetTextJustify(2, 0);
  OutTextXY(MaxX(), MaxY() - 5, "F1: Hilfe ", LightRed);
  SetTextJustify(0, 0);
}

} // namespace

namespace {

// What the panel shows besides the instant: when none of it changed and
// nothing else drew on the panel since, a step writes only the texts of the
// instant anew (date, time, phase) and leaves the rest standing. A full
// panel is about 40 % of the screen; redrawing and presenting all of it at
// every step cost more than the rest of the step.
struct TPanelState {
  bool Valid = false;
  int Perspective = 0;
  long double TiltAngle = 0;
  int Width = 0, Height = 0;
  std::string LocationText;
  bool Southern = false, Western = false;
  int PhaseTop = 0, PhaseBottom = 0; // rows of the phase text drawn last
  // The right edge of what the texts of the date, the time and the phase
  // drew last: a step clears their rows only that far, not across the
  // panel, which would hand the window five times as many pixels to present.
  int DateRight = 0, ClockRight = 0, PhaseRight = 0;
  int DateBottom = 0; // the bottom of the date's box; the time stands below
  // The date and the phase text drawn last; unchanged, they stay.
  std::string DateText, PhaseText;
  TDamageRecord DrawnOver; // drawing since the panel was finished
  bool Watched = false;
};
TPanelState Panel;

bool SamePanel() {
  return Panel.Valid && Panel.Perspective == View.Perspective &&
         Panel.TiltAngle == View.TiltAngle && Panel.Width == MaxX() + 1 &&
         Panel.Height == MaxY() + 1 && Panel.LocationText == Labels.LocationText &&
         Panel.Southern == (View.Latitude < 0) && Panel.Western == (View.Longitude < 0);
}

// True if something other than the panel itself drew on it since.
bool PanelDrawnOver() {
  const TRect panel{MaxY(), 0, MaxX() + 1, MaxY() + 1};
  for (const TRect& r : Panel.DrawnOver.Rects)
    if (r.Left < panel.Right && panel.Left < r.Right && r.Top < panel.Bottom &&
        panel.Top < r.Bottom)
      return true;
  return false;
}

// Clears the rows top .. bottom of the panel from its left edge to right.
void ClearPanelRows(int top, int bottom, int right) {
  SetFillStyle(255, Black, Black);
  FillBar(MaxY(), top, right - MaxY(), bottom - top);
}

// The box round the rectangles in a record (all zero for none).
TRect DrawnBox(const TDamageRecord& drawn) {
  TRect box;
  for (const TRect& r : drawn.Rects) box = RectUnion(box, r);
  return box;
}

// A line of the date or the time in the panel's large letters; returns the
// box it drew.
TRect WriteInstantLine(int y, const std::string& text) {
  TDamageRecord drawn;
  WatchDamage(drawn);
  SetFont("Courier", 20, 1);
  SetTextJustify(0, 0);
  OutTextXY(MaxY() + 10, y, text, White);
  UnwatchDamage(drawn);
  return DrawnBox(drawn);
}

// The date and the time: what changes from step to step.
void WriteDate(int h) {
  const TRect box = WriteInstantLine(2 * h, Labels.DateText);
  Panel.DateText = Labels.DateText;
  Panel.DateRight = box.Right;
  Panel.DateBottom = box.Bottom;
}

void WriteClock(int h) {
  Panel.ClockRight = WriteInstantLine(3 * h, Labels.ClockText + " Uhr MEZ").Right;
}

// The rows h .. 3h hold the date and the time (the time's box reaches a
// little below). A new date clears them all; the same date stays, and only
// the rows below its box are cleared for the time.
void RenewInstant(int h) {
  if (Labels.DateText != Panel.DateText) {
    ClearPanelRows(h, 3 * h, std::max(Panel.DateRight, Panel.ClockRight));
    WriteDate(h);
  } else {
    ClearPanelRows(std::max(h, Panel.DateBottom), 3 * h, Panel.ClockRight);
  }
  WriteClock(h);
}

void WritePhase() {
  TDamageRecord drawn;
  WatchDamage(drawn);
  // Below the lines of the perspective (three at most).
  SetFont("Courier", 10, 0);
  SetTextJustify(0, 0);
  const int y = 200 + 4 * CharHeight;
  Panel.PhaseText = PhaseText();
  Panel.PhaseTop = y - CharHeight;
  Panel.PhaseBottom = WritePanelText(MaxY() + 10, y, Panel.PhaseText, LightCyan) - CharHeight;
  UnwatchDamage(drawn);
  Panel.PhaseRight = DrawnBox(drawn).Right;
}

} // namespace

void DrawViewFrame() {
  if (!Panel.Watched) {
    WatchDamage(Panel.DrawnOver);
    Panel.Watched = true;
  }
  // Texts in black boxes: the status line leaves the background transparent,
  // and the labels of perspective 2 are erased by writing them in black.
  SetTextBackground(Black);
  Labels.ClockText = ShownTime(View.Time);
  Labels.DateText = DayMonthYear(View.Date) + "  ";
  SetFont("Courier", 20, 1);
  const int h = CharHeight;

  if (SamePanel() && !PanelDrawnOver()) {
    RenewInstant(h);
    // The phase changes by a percent or a tenth of a day now and then.
    if (PhaseText() != Panel.PhaseText) {
      ClearPanelRows(Panel.PhaseTop, Panel.PhaseBottom, Panel.PhaseRight);
      WritePhase();
    }
    SetFont("Courier", 10, 0);
    ClearDamage(Panel.DrawnOver);
    return;
  }

  SetFillStyle(255, Black, Black);
  FillBar(MaxY(), 0, MaxX(), MaxY() + 1);
  WriteDate(h);
  WriteClock(h);

  SetFont("Courier", 10, 0);
  SetTextJustify(0, 0);
  WriteLocation(MaxY() + 10, 4 * h);

  SetFont("Courier", 16, 1);
  OutTextXY(MaxY(), 200 - CharHeight,
            View.Perspective == 2 ? " hor. System:" : " ekl. System:", White);

  SetFont("Courier", 10, 0);
  DrawHelpHint();
  DrawPerspectiveLabels();
  WritePhase();
  DrawHelpHint();

  Panel.Valid = true;
  Panel.Perspective = View.Perspective;
  Panel.TiltAngle = View.TiltAngle;
  Panel.Width = MaxX() + 1;
  Panel.Height = MaxY() + 1;
  Panel.LocationText = Labels.LocationText;
  Panel.Southern = View.Latitude < 0;
  Panel.Western = View.Longitude < 0;
  ClearDamage(Panel.DrawnOver);
}

void EraseHorizonLabels() {
  // Black text in its black box; the box of "Westen" also covers "Osten".
  SetTextBackground(Black);
  HorizonLabels(Black, false);
  SetTextJustify(0, 0);
}

void DrawInsideTitle() {
  Labels.TitleText = DayMonthYear(View.Date) + ", " + ShownTime(View.Time) + " Uhr";
  const std::string title =
      Labels.TitleText + Labels.LocationText + (View.SeenSky ? " (wie beobachtet)" : "");
  SetTextSize(30);
  SetFont("Courier", 20, 1);
  // A place typed with many digits may make the title too wide for a small
  // screen: smaller letters then, down to the smallest that stays readable.
  for (int size = 18; CompactScreen() && size >= 10 && TextWidth(title) > MaxX(); size -= 2)
    SetFont("Courier", size, 1);
  SetTextJustify(1, 0);
  SetTextBackground(Black);
  const int titleTop = View.TitleBase - 10 - CharHeight;
  OutTextXY(MaxX() / 2, View.TitleBase - 10, title, White);
  // The Moon's phase in a small line above the title.
  SetFont("Courier", 10, 0);
  OutTextXY(MaxX() / 2, titleTop - CharHeight / 2, PhaseText(), LightCyan);
  SetTextJustify(0, 0);
}

void LabelMoon(int x, int y, const std::string& dateText, const std::string& clockText,
               int colour) {
  const std::string clock = clockText + " Uhr MEZ";
  // The two lines stand above the Moon, their bottoms at these rows.
  int dateRow = y - View.MoonRadiusPx - 2 * CharHeight;
  int clockRow = y - View.MoonRadiusPx - CharHeight;
  if (CompactScreen()) {
    // Kept on the square picture, half a letter off its sides, and below a
    // Moon at its top.
    const int width = std::max(TextWidth(dateText), TextWidth(clock));
    const int leftmost = CharWidth / 2 + width / 2;
    x = std::clamp(x, leftmost, std::max(leftmost, MaxY() - CharWidth / 2 - width + width / 2));
    if (dateRow - CharHeight < 0) {
      dateRow = y + View.MoonRadiusPx + 2 * CharHeight;
      clockRow = y + View.MoonRadiusPx + 3 * CharHeight;
    }
  }
  SetTextJustify(1, 0);
  OutTextXY(x, dateRow, dateText, colour);
  OutTextXY(x, clockRow, clock, colour);
}
