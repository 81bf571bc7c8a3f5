// The texts of both views: the outside view's label panel right of the square
// picture (date, time, place, coordinate system, where the picture is seen
// from, direction labels), the small date and time texts beside the earlier
// Moons of the start picture, and the inside view's title line. German.
#pragma once

#include <string>

#include "AstrRout.h"

struct TLabelTexts {
  std::string DateText;     // "6.12.2026  ", set by DrawViewFrame
  std::string ClockText;    // "14.35", set by DrawViewFrame
  std::string LocationText; // " (54.3°n.B., 10.1°ö.L.)", set by the view set-up
  std::string TitleText;    // "6.12.2026, 14.35 Uhr", set by the inside view's step
};
extern TLabelTexts Labels;

// " 6. 1.2026": day and month in fields of 2, the year in a field of 4.
std::string FormatDate(const TCalendarDate& D);
// "6.12.2026": day and month without a leading blank.
std::string DayMonthYear(const TCalendarDate& D);
// The time of day (h.mm) as the panel and the title show it: ClockText in a
// field of 5, so hours below 10 get one leading blank (" 9.30").
std::string ShownTime(long double t);

// " (54.3°n.B., 10.1°ö.L.)", " (33.9°s.B., 18.4°w.L.)": the texts as typed
// (the set-up in force) without minus signs, the hemisphere from the sign.
std::string MakeLocationText();
// "Mond: zunehmende Sichel, 23 % beleuchtet, 3.4 Tage alt": the Moon's
// phase at the instant computed last (no-break spaces inside the numbers).
std::string PhaseText();
// "Standort: 33.9° s.B., 18.4° w.L.": the typed texts, the hemisphere words
// from the signs, every minus sign removed; LocationPlace is the part after
// "Standort: ".
std::string LocationLine();
std::string LocationPlace();
// The line that says from which ecliptic latitude the outside picture is
// seen: perspective 0 from its tilt, perspective 1 from the place's latitude
// and the tilt (radians). 90 degrees is the view from the ecliptic north
// pole, 0 a view in the plane of the Earth's orbit.
std::string TiltLabel(long double tiltAngle);
std::string LatitudeCircleLabel(long double latitude, long double tiltAngle);
// The ecliptic latitude (degrees) of the viewer of a picture turned by b
// (radians) from the view from the ecliptic north pole.
long double ViewingLatitude(long double b);

// Clears the panel right of the square picture and writes it anew; sets
// DateText and ClockText from the instant computed last.
void DrawViewFrame();
// Erases the labels of perspective 2's horizon (when the perspective changes).
void EraseHorizonLabels();
// The inside view's title line over the sky: sets TitleText.
void DrawInsideTitle();
// Date and time above a Moon of the outside view drawn at pixel (x, y); in
// the compact layout (ScreenLayout.h) kept on the square picture.
void LabelMoon(int x, int y, const std::string& dateText, const std::string& clockText, int colour);
