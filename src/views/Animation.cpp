#include "Animation.h"

#include <algorithm>
#include <cmath>

#include "InsideView.h"
#include "KernGraf.h"
#include "Labels.h"
#include "ModulGraf.h"
#include "OutsideView.h"
#include "ViewGeometry.h"

namespace {

// The instants the calendar and the labels can show: from the first day of
// the year -4712 to the last minute of 9999. The animation stops at either
// end rather than run into dates no label can hold.
long double FirstShownJD() {
  static const long double jd = JulianDate(TCalendarDate{1, 1, -4712}, 0.00L);
  return jd;
}
long double LastShownJD() {
  static const long double jd = JulianDate(TCalendarDate{31, 12, 9999}, 23.59L);
  return jd;
}

long double ShownInstant(long double jd) {
  if (std::isnan(jd)) return FirstShownJD();
  return std::clamp(jd, FirstShownJD(), LastShownJD());
}

void PrepareInsideView() {
  BuildHorizon();
  // The pictures depend only on the central azimuth and the screen, so they
  // are kept when a new input leaves the latitude's sign and the azimuth as
  // they were.
  if (BackgroundPicturesFit(View.CentralAzimuth, View.Latitude)) {
    ComputeObserverMark();
  } else {
    BuildBackgroundPictures();
  }
}

// The Moon of the last 24 days, every 3.4 days, with date and time.
void DrawEarlierMoons() {
  for (int k = 1; k <= 7; ++k) {
    const long double t = View.CurrentJD - 7 * HistoryStep + (k - 1) * HistoryStep;
    ComputeOutsidePositions(t);
    DrawMoon(LightGray);
    int x = 0, y = 0;
    MoonPixel(x, y);
    LabelMoon(x, y, FormatDate(View.Date), ClockText(View.Time), White);
  }
}

void DrawStartPicture() {
  // FillBar leaves out its right and bottom edge: one more to clear the last
  // column and row as well.
  SetFillStyle(255, Black, Black);
  FillBar(0, 0, MaxX() + 1, MaxY() + 1);
  SetFont("Courier", 10, 0);
  if (View.Setup.EarlierMoons) {
    SelectPerspective(0);
    DrawEarlierMoons();
  }
  ComputeOutsidePositions(View.CurrentJD);
  DrawViewFrame();
  DrawEarth(LightBlue);
  DrawMoon(LightGray);
  int x = 0, y = 0;
  MoonPixel(x, y);
  LabelMoon(x, y, Labels.DateText, Labels.ClockText, LightRed);
  View.MoonShown = false;
  View.TiltAngle = 0;
  DrawViewFrame();
}

// The routine the next outside step calls before it draws.
struct TBeforeDrawing {
  TBeforeDrawingProc Proc = nullptr;
  void* Context = nullptr;
};
TBeforeDrawing BeforeDrawing;

void RunBeforeDrawing() {
  const TBeforeDrawing call = BeforeDrawing;
  BeforeDrawing = {};
  if (call.Proc) call.Proc(call.Context);
}

void OutsideStep() {
  ComputeOutsidePositions(View.CurrentJD);
  RunBeforeDrawing();
  // The marker of the step before goes first, so that erasing it cannot cut
  // the horizon line or its labels drawn after it.
  if (View.Perspective == 2) EraseSunMarker();
  DrawViewFrame();
  if (View.Perspective == 2) {
    DrawOutsideHorizon(DarkGray);
    DrawSunMarker(Yellow);
  }
  DrawEarthAndMoon();
}

void InsideStep() {
  ComputeInsidePositions();
  View.TitleBase = ComputeTitleBase();
  SetFillStyle(255, Black, Black);
  ShowBackgroundPicture();
  SetTextJustify(2, 0);
  DrawRequestedCircles();
  DrawEquatorialGrid();
  DrawInsideTitle();
  SetFont("Courier", 10, 0);
  DrawSunAndMoon();
}

} // namespace

void TakeParameters(const TViewSetup& setup) {
  // The set-up keeps what was entered (degrees, h.mm), so a second set-up
  // from the same input gives the same view.
  View.Setup = setup;
  // The lesson's switches start off with every input.
  View.EquatorialGrid = false;
  View.SeenSky = false;
  View.Latitude = setup.Latitude * DegToRad;
  View.Longitude = setup.Longitude * DegToRad;
  View.CentralAzimuth = setup.CentralAzimuth * DegToRad;
  View.SinLatitude = std::sin(View.Latitude);
  View.CosLatitude = std::cos(View.Latitude);
  View.StepDays = HoursMinutesToHours(setup.Step) / 24;

  View.CurrentJD = ShownInstant(JulianDate(setup.StartDate, setup.StartTime));
  View.TimeDirection = 1;
  View.DiscRadius = 15;
  View.SiderealTime = LocalSiderealTime(setup.StartDate, setup.StartTime, View.Longitude);
  View.AzimuthMatrix = RotationZ(-View.CentralAzimuth);
  Labels.LocationText = MakeLocationText();

  const TEarthPolar place{static_cast<float>(View.Longitude), static_cast<float>(View.Latitude),
                          1.0f};
  View.ObserverPoint.Polar = place;
  EarthPolarToVector(place, View.ObserverPoint.Vector);
  BuildLatitudeViews();
  // The matrices follow the perspective in force (it stays when the program
  // was started with a parameter file).
  SelectPerspective(View.Perspective);
}

void SetUpView(const TViewSetup& setup) {
  TakeParameters(setup);
  SetTextBackground(Black);

  SetInsideWindow();
  PrepareInsideView();

  SetFillStyle(255, Black, Black);
  SetOutsideWindow();
  View.EarthCentreX = WorldToScreenX(0);
  View.EarthCentreY = WorldToScreenY(0);

  if (View.OutsideView) {
    DrawStartPicture();
  } else {
    SetInsideWindow();
  }
}

void CallBeforeNextOutsideDrawing(TBeforeDrawingProc proc, void* context) {
  BeforeDrawing = {proc, context};
}

void ForgetBeforeNextOutsideDrawing() {
  BeforeDrawing = {};
}

void AnimationStep() {
  if (View.OutsideView) {
    if (View.MoonShown) DrawMoon(Black); // where the step before drew it
    OutsideStep();
  } else {
    InsideStep();
  }
  View.CurrentJD = ShownInstant(View.CurrentJD + View.TimeDirection * View.StepDays);
}
