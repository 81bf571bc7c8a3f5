#include "OutsideView.h"

#include <algorithm>
#include <cmath>

#include "Kern2Graf.h"
#include "KernGraf.h"
#include "ModulGraf.h"
#include "ViewGeometry.h"
#include "Zahlen.h"

namespace {

// What the outside view remembers between calls, so that it can erase it.
struct TOutsideMarks {
  TPoint ObserverDot; // centre of the observer dot drawn last
  int ObserverDotRadius = 0;
  TPoint SunMarker; // centre of the Sun marker drawn last
};
TOutsideMarks Marks;

// The Sun marker stands this far out (Earth radii), just inside the picture.
constexpr long double SunMarkerDistance = 60.0L;

// Pixel arithmetic on values that may come from the clamped ends of the
// integer range.
int OffsetPixel(int pixel, long long offset) {
  const long long v = static_cast<long long>(pixel) + offset;
  return static_cast<int>(std::clamp<long long>(v, -2147483647LL, 2147483647LL));
}

bool LargeEarth() {
  return View.EarthRadiusPx > 4.5L * View.MoonRadiusPx;
}

// The globe's outlines on the lit disc: white coastlines and the 30 degree
// grid in black, no borders, no cities.
void DrawOutlines(int coastWidth) {
  TGlobeView view;
  view.ToView = GlobeToView;
  view.IsVisible = GlobeVisible;
  view.Project = GlobeProject;
  view.AllHidden = GlobeAllHidden;
  view.ToPixels = GlobeToPixels;
  TGlobeStyle style;
  style.CoastColour = White;
  style.CoastWidth = coastWidth;
  style.BorderColour = White;
  style.Borders = false;
  style.Grid = true;
  style.GridDegrees = 30;
  style.GridColour = Black;
  style.Cities = false;
  style.CityColour = LightRed;
  DrawGlobe(view, style);
}

} // namespace

void DrawLitDisc(const TVector& L, int x, int y, int r, int litColour, int darkColour) {
  TVector D = L;
  // The light's component towards the viewer decides between crescent and
  // gibbous shape. In perspectives 0 and 1 the viewer looks down from +Z;
  // perspective 2 keeps its third axis pointing away from the viewer.
  long double towardsViewer = 0;
  if (View.OutsideView) {
    if (View.Perspective != 2) RotateVector(View.ViewMatrix, D);
    r = r - 1;
    SetFillStyle(255, darkColour, darkColour);
    DrawEllipse(x, y, std::max(r, 0), std::max(r, 0));
    towardsViewer = View.Perspective == 2 ? -D.Z : D.Z;
    D = MakeVector(D.X, D.Z, D.Y); // the picture's depth axis into the second place
  }
  r = std::max(r, 0);
  NormalizeVector(D);
  const TVector F = MakeVector(D.X, 0, D.Z);
  const long double s = ArcTan2(F.Z, F.X) / DegToRad;      // light direction in the picture
  const long double f = ArcTan2(std::fabs(D.Y), F.Length); // out of the picture plane
  const int b = RoundEven(r * std::sin(f));

  // The half disc that faces the light.
  DrawHalfEllipse(x, y, r, r, 255, litColour, false, true, s - 90);
  if (towardsViewer > 0) {
    // Light from the viewer's side: more than half is seen lit.
    DrawHalfEllipse(x, y, r, b, 255, litColour, false, true, s + 90);
  } else {
    // Light from behind: a dark half ellipse cuts the half disc to a crescent.
    DrawHalfEllipse(x, y, r, b, 255, darkColour, false, true, s - 90);
  }
}

bool MoonDrawable() {
  return !(View.Perspective == 2 && View.MoonVec.Y < 0);
}

void MoonPixel(int& x, int& y) {
  TVector P = View.MoonVec;
  if (View.Perspective != 2) RotateVector(View.ViewMatrix, P);
  x = WorldToScreenX(P.X);
  y = WorldToScreenY(P.Y);
  // In perspective 2 the Moon is placed relative to the observer, who stands
  // at the top of the Earth disc.
  if (View.Perspective == 2) y = OffsetPixel(y, -static_cast<long long>(View.EarthRadiusPx));
}

void DrawMoon(int colour) {
  if (!MoonDrawable()) return;
  int x = 0, y = 0;
  MoonPixel(x, y);
  SetFillStyle(255, colour, colour);
  if (colour == Black) {
    DrawEllipse(x, y, View.MoonRadiusPx, View.MoonRadiusPx);
  } else {
    DrawLitDisc(View.SunVec, x, y, View.MoonRadiusPx, LightGray, DarkGray);
  }
}

void DrawEarth(int colour) {
  const int dot = LargeEarth() ? 5 : 7;
  const int coastWidth = LargeEarth() ? 2 : 1;

  SetFillStyle(255, Black, Black);
  DrawEllipse(Marks.ObserverDot.X, Marks.ObserverDot.Y, Marks.ObserverDotRadius,
              Marks.ObserverDotRadius);
  if (colour == Black) {
    // The margin takes the coastlines' width and the observer dot with it.
    const int r = OffsetPixel(View.EarthRadiusPx, 10);
    DrawEllipse(View.EarthCentreX, View.EarthCentreY, r, r);
    return;
  }

  DrawLitDisc(View.SunVec, View.EarthCentreX, View.EarthCentreY, View.EarthRadiusPx, LightBlue,
              DarkGray);
  DrawOutlines(coastWidth);

  // The observer's place; in perspective 2 it stands on the limb at the top.
  TEarthPoint Q;
  GlobeToView(View.ObserverPoint, Q);
  if (Q.Vector.Y < 0 || View.Perspective == 2) {
    int x = 0, y = 0;
    GlobeProject(Q, x, y);
    SetFillStyle(255, LightRed, LightRed);
    DrawEllipse(x, y, dot, dot);
    Marks.ObserverDot = TPoint{x, y};
    Marks.ObserverDotRadius = dot;
  }
}

void EraseSunMarker() {
  const int r = View.MoonRadiusPx;
  SetFillStyle(0, Black, Black);
  DrawEllipse(Marks.SunMarker.X, Marks.SunMarker.Y, r, r);
}

void DrawSunMarker(int colour) {
  const int r = View.MoonRadiusPx;
  if (View.SunVec.Y < 0 || colour == Black || View.SunVec.Length <= 0) return;

  SetFillStyle(255, colour, Black);
  const long double scale = SunMarkerDistance / View.SunVec.Length;
  const int x = WorldToScreenX(scale * View.SunVec.X);
  const int y = OffsetPixel(WorldToScreenY(scale * View.SunVec.Y),
                            -static_cast<long long>(View.EarthRadiusPx));
  DrawEllipse(x, y, r, r);
  Marks.SunMarker = TPoint{x, y};
}

void DrawOutsideHorizon(int colour) {
  const int y = OffsetPixel(View.EarthCentreY, -static_cast<long long>(View.EarthRadiusPx));
  DrawLine(0, y, MaxY(), y, colour);
}

void DrawEarthAndMoon() {
  if (MoonInFront()) {
    DrawEarth(LightBlue);
    DrawMoon(LightGray);
  } else {
    DrawMoon(LightGray);
    DrawEarth(LightBlue);
  }
}
