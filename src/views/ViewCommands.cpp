#include "ViewCommands.h"

#include <algorithm>

#include "InsideView.h"
#include "Kern2Graf.h"
#include "KernGraf.h"
#include "Labels.h"
#include "OutsideView.h"
#include "ViewGeometry.h"
#include "ViewState.h"

namespace {

// Radii grow and shrink by a tenth. A small radius would not grow at all by
// rounding (4 * 1.1 rounds to 4), so ">" always adds at least one pixel.
int Larger(int radius) {
  const int grown = RoundEven(radius * 1.1L);
  return std::min(MaxRadiusPx, std::max(grown, radius + 1));
}
int Smaller(int radius) {
  return RoundEven(radius * 0.9L);
}

} // namespace

void ChooseView(bool outside) {
  View.OutsideView = outside;
}

bool OutsideViewShown() {
  return View.OutsideView;
}

TRect MoonDiscBox() {
  if (!View.OutsideView || !MoonDrawable()) return {};
  int x = 0, y = 0;
  MoonPixel(x, y);
  const long long r = View.MoonRadiusPx;
  auto pixel = [](long long v) {
    return static_cast<int>(std::clamp<long long>(v, -(1LL << 30), 1LL << 30));
  };
  return {pixel(x - r), pixel(y - r), pixel(x + r + 1), pixel(y + r + 1)};
}

int SavedPictureTop() {
  return View.OutsideView ? 0 : View.TitleBase - 50;
}

int InsideTitleBase() {
  return View.TitleBase;
}

void StepBack() {
  View.CurrentJD -= View.TimeDirection * View.StepDays;
}

void TimeForward() {
  StepBack();
  View.TimeDirection = 1;
}

void ReverseTime() {
  StepBack();
  View.TimeDirection = -View.TimeDirection;
}

void DoubleTimeStep() {
  View.StepDays = std::clamp(View.StepDays * 2, -MaxStepDays, MaxStepDays);
}

void HalveTimeStep() {
  View.StepDays *= 0.5L;
}

void ChangeBodySizes(bool larger) {
  if (!View.OutsideView) {
    View.DiscRadius = larger ? Larger(View.DiscRadius) : Smaller(View.DiscRadius);
  } else if (larger) {
    View.EarthRadiusPx = Larger(View.EarthRadiusPx);
  } else {
    SetFillStyle(255, Black, Black);
    DrawEllipse(View.EarthCentreX, View.EarthCentreY, View.EarthRadiusPx + 10,
                View.EarthRadiusPx + 10);
    View.EarthRadiusPx = Smaller(View.EarthRadiusPx);
  }
  StepBack();
}

void SwitchView() {
  View.OutsideView = !View.OutsideView;
  // The outside view comes without a start picture of earlier Moons, which
  // the next key would have to clear.
  if (View.OutsideView) View.MoonShown = true;
  if (View.OutsideView)
    SetOutsideWindow();
  else
    SetInsideWindow();
  SetFillStyle(255, Black, Black);
  FillBar(0, 0, MaxX() + 1, MaxY() + 1); // the whole screen, last row and column too
  StepBack();
}

void NextPerspective() {
  DrawMoon(Black);
  const int next = (View.Perspective + 1) % 3;
  if (next == 0) {
    EraseSunMarker();
    DrawOutsideHorizon(Black);
    EraseHorizonLabels();
  }
  DrawEarth(Black);
  SelectPerspective(next);
  if (next == 2) DrawOutsideHorizon(Black);
  DrawEarthAndMoon();
  StepBack();
}

void TiltPicture(bool up) {
  // Perspective 2 is tied to the horizon and does not tilt.
  if (View.Perspective == 2) return;
  DrawMoon(Black);
  DrawEarth(Black);
  TiltView(up ? 1 : -1);
  DrawEarthAndMoon();
  DrawViewFrame();
}

void ToggleEquatorialGrid() {
  View.EquatorialGrid = !View.EquatorialGrid;
  StepBack();
}

void ToggleSeenSky() {
  View.SeenSky = !View.SeenSky;
  StepBack();
}

void ShowSightLines() {
  DrawSightLines();
}

void ClearStartPicture() {
  if (!View.OutsideView || View.MoonShown) return;
  SetFillStyle(255, Black, Black);
  FillBar(0, 0, MaxY(), MaxY());
  View.MoonShown = true;
}

void ClearForStep() {
  SetFillStyle(255, Black, Black);
  FillBar(0, 0, MaxX() + 1, MaxY() + 1);
}
