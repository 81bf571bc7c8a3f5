#include "InsideView.h"

#include <algorithm>
#include <cmath>

#include "Kern2Graf.h"
#include "ModulGraf.h"
#include "ViewGeometry.h"
#include "Zahlen.h"

namespace {

// Colours of one background picture.
struct TPictureColours {
  int Ground, Sky, HorizonLine, Rays;
};
constexpr TPictureColours PictureColours[3] = {{Green, Black, DarkGray, Black}, // night
                                               {Green, Blue, DarkGray, Black},  // twilight
                                               {LightGreen, LightBlue, LightGray, DarkGray}}; // day

// The module's state: the traced horizon, the stored pictures, and what has
// been drawn over the one put back last, so that the next step puts back
// just those parts instead of copying the whole screen (a full copy of a
// 1920x1080 picture alone takes about as long as the rest of the step).
struct TSkyPictures {
  std::vector<TPoint> Horizon; // at most MaxHorizonPoints
  std::vector<TPoint> GroundPolygon, SkyPolygon;
  TPicture Pictures[3] = {};
  bool Built = false;
  long double BuiltAzimuth = 0, BuiltLatitude = 0, BuiltSpacing = 0;
  int BuiltWidth = 0, BuiltHeight = 0;
  int ShownKind = -1;      // the picture put back last; -1: none since the build
  TDamageRecord DrawnOver; // what was drawn on the screen since
  bool Noting = false;     // DrawnOver is watched (from the first build on)
};
TSkyPictures Sky;

constexpr size_t MaxHorizonPoints = 1001;
// Bodies further below the horizon than this are not drawn.
constexpr long double LowestDrawnAltitude = -10.0L * DegToRad;

long double Radians(long double degrees) {
  return degrees * DegToRad;
}

// The spacing of the grid lines in degrees, as entered (1 to 90; a whole
// number of degrees stays exactly that, so the loops over the grid add up
// exactly).
long double GridSpacing() {
  long double s = View.Setup.LineSpacing;
  if (!(s >= 1)) s = 1;
  if (s > 90) s = 90;
  if (std::fabs(s - std::nearbyint(s)) < 1e-9L) s = std::nearbyint(s);
  return s;
}

TVector Direction(long double azimuth, long double altitude) {
  return PolarToVector(TPolar{1, azimuth, altitude});
}

// Pixel of a horizon direction. The horizon is traced with the picture's u
// mirrored; the set of horizon points is the same either way, and the
// tracing loops run from the right edge to the left.
TPoint HorizonPixel(long double azimuth) {
  const TSkyPoint S = ProjectToSky(Direction(azimuth, 0));
  return TPoint{WorldToScreenX(-S.U), WorldToScreenY(S.V)};
}

// One point of a traced curve: the first point starts the line; a later one
// continues it when it is accepted and otherwise breaks it.
void CurvePoint(bool first, const TVector& direction, bool aboveHorizon, int colour) {
  const TSkyPoint S = ProjectToSky(direction);
  const int x = SkyPixelX(S);
  const int y = SkyPixelY(S);
  if (first || !(S.Visible && aboveHorizon)) {
    PenMoveTo(x, y);
  } else {
    PenLineTo(x, y, colour);
  }
}

// A point of a curve fixed in the equatorial frame, with the sines and
// cosines of its right ascension and declination, which every step needs
// again.
struct TEquatorialPoint {
  long double SinRightAscension = 0, CosRightAscension = 1;
  long double SinDeclination = 0, CosDeclination = 1;
};

TEquatorialPoint EquatorialPoint(long double rightAscension, long double declination) {
  return {Sine(rightAscension), Cosine(rightAscension), Sine(declination), Cosine(declination)};
}

// The point's direction in the horizon frame at the instant shown, from
// the sine and cosine of the sidereal time. The hour angle is the sidereal
// time minus the right ascension; its sine and cosine follow from the sum
// formulas, and the direction is taken as a vector without any angle: a
// curve point needs no sine at all.
TVector EquatorialDirection(const TEquatorialPoint& point, const TComplex& siderealTime) {
  const long double sinH =
      siderealTime.S * point.CosRightAscension - siderealTime.C * point.SinRightAscension;
  const long double cosH =
      siderealTime.C * point.CosRightAscension + siderealTime.S * point.SinRightAscension;
  return HourAngleToHorizonVector(point.SinDeclination, point.CosDeclination, sinH, cosH,
                                  View.SinLatitude, View.CosLatitude);
}

// The equator and the ecliptic in the equatorial frame, in the 2 degree
// steps they are drawn in. They do not move in that frame (the obliquity is
// fixed), so they are worked out once instead of at every step.
struct TFixedCurves {
  std::vector<TEquatorialPoint> Equator;  // right ascension -180 to 180
  std::vector<TEquatorialPoint> Ecliptic; // ecliptic longitude 0 to 360
  long double SinObliquity = 0, CosObliquity = 0;
};
TFixedCurves FixedCurves;

const TFixedCurves& Curves() {
  TFixedCurves& c = FixedCurves;
  if (!c.Equator.empty() && c.SinObliquity == View.SinObliquity &&
      c.CosObliquity == View.CosObliquity)
    return c;
  c.Equator.clear();
  c.Ecliptic.clear();
  for (int ra = -180; ra <= 180; ra += 2) c.Equator.push_back(EquatorialPoint(Radians(ra), 0));
  for (int longitude = 0; longitude <= 360; longitude += 2) {
    TVector E = Direction(Radians(longitude), 0);
    RotatePair(E.Y, E.Z, View.SinObliquity, View.CosObliquity); // ecliptic to equator
    const TPolar Q = VectorToPolar(E);
    c.Ecliptic.push_back(EquatorialPoint(Q.Lon, Q.Lat));
  }
  c.SinObliquity = View.SinObliquity;
  c.CosObliquity = View.CosObliquity;
  return c;
}

// Draws a curve fixed in the equatorial frame; only the parts above the
// horizon are drawn.
void DrawEquatorialCurve(const std::vector<TEquatorialPoint>& points, int colour) {
  const TComplex siderealTime{Cosine(View.SiderealTime), Sine(View.SiderealTime)};
  for (size_t i = 0; i < points.size(); ++i) {
    const TVector D = EquatorialDirection(points[i], siderealTime);
    CurvePoint(i == 0, D, D.Z >= 0, colour);
  }
}

} // namespace

// ---- horizon --------------------------------------------------------------------

void TraceHorizon(int stepDegrees) {
  const long double step = Radians(std::max(stepDegrees, 1));
  Sky.Horizon.clear();
  // The horizon behind the observer projects far outside the window, so both
  // loops end; the counters only guard against a window too wide for that.
  long double z = Radians(0.01L);
  TPoint p;
  int turns = 0;
  do {
    z -= step;
    p = HorizonPixel(z);
  } while (p.X <= MaxX() && ++turns < static_cast<int>(MaxHorizonPoints));
  Sky.Horizon.push_back(p);
  do {
    z += step;
    p = HorizonPixel(z);
    Sky.Horizon.push_back(p);
  } while (p.X >= 0 && Sky.Horizon.size() < MaxHorizonPoints);
}

void BuildHorizon() {
  TraceHorizon(2);
  Sky.GroundPolygon = Sky.Horizon;
  Sky.GroundPolygon.push_back(TPoint{0, MaxY() + 1});
  Sky.GroundPolygon.push_back(TPoint{MaxX() + 1, MaxY() + 1});
  Sky.SkyPolygon = Sky.Horizon;
  Sky.SkyPolygon.push_back(TPoint{0, -1});
  Sky.SkyPolygon.push_back(TPoint{MaxX() + 1, -1});
}

const std::vector<TPoint>& HorizonPoints() {
  return Sky.Horizon;
}

void DrawHorizonLine(int colour) {
  if (Sky.Horizon.empty()) return;
  PenMoveTo(Sky.Horizon.front().X, Sky.Horizon.front().Y);
  for (size_t i = 1; i < Sky.Horizon.size(); ++i) {
    PenLineTo(Sky.Horizon[i].X, Sky.Horizon[i].Y, colour);
  }
}

void PaintGroundAndSky(int groundColour, int skyColour, int lineColour) {
  DrawHorizonLine(lineColour);
  SetFillStyle(255, groundColour, groundColour);
  FillPolygon(static_cast<int>(Sky.GroundPolygon.size()), Sky.GroundPolygon.data());
  SetFillStyle(255, skyColour, skyColour);
  FillPolygon(static_cast<int>(Sky.SkyPolygon.size()), Sky.SkyPolygon.data());
}

// ---- curves ---------------------------------------------------------------------
// Each curve runs its parameter in 2 degree steps; the test comes before the
// step, so the last point is the first value that fails it (the curves end
// on the horizon or close on themselves).

void DrawAzimuthLine(int colour, long double azimuth) {
  for (int altitude = 90;; altitude -= 2) {
    CurvePoint(altitude == 90, Direction(azimuth, Radians(altitude)), true, colour);
    if (!(altitude > 0)) break;
  }
}

void DrawAltitudeLine(int colour, long double altitude) {
  for (int azimuth = -180;; azimuth += 2) {
    CurvePoint(azimuth == -180, Direction(Radians(azimuth), altitude), true, colour);
    if (!(azimuth < 180)) break;
  }
}

void DrawEquatorLine(int colour) {
  DrawEquatorialCurve(Curves().Equator, colour);
}

void DrawEclipticLine(int colour) {
  DrawEquatorialCurve(Curves().Ecliptic, colour);
}

// ---- Sun and Moon ---------------------------------------------------------------------

void DrawSunDisc(int x, int y, int colour) {
  const int r = std::max(View.DiscRadius, 0);
  SetFillStyle(255, colour, colour);
  DrawEllipse(x, y, r, r);
}

void DrawMoonPhase(int x, int y, int r, long double k, long double limbAngle, int litColour,
                   int darkColour) {
  if (!std::isfinite(k) || !std::isfinite(limbAngle)) return;
  r = std::max(r, 0);
  const long double a = limbAngle / DegToRad;
  // The half disc towards the Sun.
  DrawHalfEllipse(x, y, r, r, 255, litColour, false, true, a - 90);
  if (k > 0) {
    // Less than half lit: a dark half ellipse cuts it down to a crescent.
    DrawHalfEllipse(x, y, r, RoundEven(r * std::sin(k)), 255, darkColour, false, true, a - 90);
  } else {
    // Half or more: a lit half ellipse on the far side makes it gibbous.
    DrawHalfEllipse(x, y, r, RoundEven(r * std::sin(-k)), 255, litColour, false, true, a + 90);
  }
}

// ---- the stored pictures ---------------------------------------------------------------

void ComputeObserverMark() {
  const TSkyPoint S = ProjectToSky(MakeVector(0, 0, 0));
  View.ObserverX = SkyPixelX(S);
  View.ObserverY = SkyPixelY(S);
}

int ComputeTitleBase() {
  const long double a = Radians(100);
  const TSkyPoint S = ProjectToSky(MakeVector(0, std::cos(a), std::sin(a)));
  return std::max(WorldToScreenY(S.V), -2147483647 + 50) - 50;
}

namespace {

void DrawGrid() {
  const long double s = GridSpacing();
  long double azimuth = 0;
  while (azimuth - s >= -180) azimuth -= s;
  for (; azimuth < 180; azimuth += s) DrawAzimuthLine(LightGray, Radians(azimuth));
  for (long double altitude = 0; altitude < 90; altitude += s) {
    DrawAltitudeLine(LightGray, Radians(altitude));
  }
}

void DrawRays(int colour) {
  const long double s = GridSpacing();
  for (long double q = -180; q < 180 - s; q += s) {
    const long double a = Radians(q);
    const TSkyPoint S = ProjectToSky(MakeVector(-std::sin(a), std::cos(a), 0));
    DrawLine(View.ObserverX, View.ObserverY, SkyPixelX(S), SkyPixelY(S), colour);
  }
}

void DrawCompassLetters(int groundColour) {
  struct TLetter {
    const char* Text;
    int Azimuth;
  };
  constexpr TLetter Letters[] = {{"S", 0}, {"O", -90}, {"W", 90}, {"N", 180}};
  SetTextJustify(1, 1);
  SetTextBackground(groundColour);
  for (const TLetter& letter : Letters) {
    const TSkyPoint S = ProjectToSky(PolarToVector(TPolar{0.9L, Radians(letter.Azimuth), 0}));
    if (S.Visible) OutTextXY(SkyPixelX(S), SkyPixelY(S), letter.Text, White);
  }
}

void DrawObserverMark(int groundColour) {
  SetFillStyle(255, LightRed, LightRed);
  DrawEllipse(View.ObserverX, View.ObserverY, 4, 4);
  SetTextJustify(1, 2);
  SetTextBackground(groundColour);
  OutTextXY(View.ObserverX, View.ObserverY + 3, "Beobachter", White);
}

void BuildPicture(TSkyPictureKind kind) {
  const TPictureColours& c = PictureColours[kind];
  SetFillStyle(255, Black, Black);
  FillBar(0, 0, MaxX() + 1, MaxY() + 1);
  PaintGroundAndSky(c.Ground, c.Sky, c.HorizonLine);
  DrawGrid();

  View.TitleBase = ComputeTitleBase();
  SetFillStyle(255, Black, Black);
  FillBar(0, 0, MaxX() + 1, View.TitleBase);

  ComputeObserverMark();
  DrawRays(c.Rays);
  DrawCompassLetters(c.Ground);
  DrawObserverMark(c.Ground);

  SetTextJustify(2, 0);
  SetTextBackground(Black);
  OutTextXY(MaxX(), CharHeight, "\"F1\": Hilfe ", LightRed);
  FreePicture(Sky.Pictures[kind]);
  Sky.Pictures[kind] = GrabPicture(0, 0, MaxX(), MaxY());
}

} // namespace

void BuildBackgroundPictures() {
  // From now on the console notes everything drawn over the pictures.
  WatchDamage(Sky.DrawnOver);
  Sky.Noting = true;
  // The letters in the console's normal font, whatever the start screen left.
  SetFont("Courier", 10, 0);
  BuildPicture(NightPicture);
  BuildPicture(TwilightPicture);
  BuildPicture(DayPicture);
  Sky.Built = true;
  Sky.ShownKind = -1;
  Sky.BuiltAzimuth = View.CentralAzimuth;
  Sky.BuiltLatitude = View.Latitude;
  Sky.BuiltSpacing = GridSpacing();
  Sky.BuiltWidth = MaxX() + 1;
  Sky.BuiltHeight = MaxY() + 1;
}

bool BackgroundPicturesExist() {
  return Sky.Built;
}

bool BackgroundPicturesFit(long double centralAzimuth, long double latitude) {
  // The sign of the latitude decides which way the observer looks.
  return Sky.Built && Sky.BuiltAzimuth == centralAzimuth && latitude * Sky.BuiltLatitude > 0 &&
         Sky.BuiltSpacing == GridSpacing() && Sky.BuiltWidth == MaxX() + 1 &&
         Sky.BuiltHeight == MaxY() + 1;
}

TPicture BackgroundPicture(TSkyPictureKind kind) {
  return Sky.Pictures[kind];
}

void ForgetBackgroundPictures() {
  for (TPicture& picture : Sky.Pictures) {
    FreePicture(picture);
    picture = 0;
  }
  Sky.Built = false;
  Sky.ShownKind = -1;
}

void ShowBackgroundPicture() {
  const TSkyPictureKind kind =
      View.SunUp ? DayPicture : (View.Twilight ? TwilightPicture : NightPicture);
  const TPicture picture = Sky.Pictures[kind];
  if (picture == 0) return;
  if (Sky.ShownKind != kind || PictureWidth(picture) != MaxX() + 1 ||
      PictureHeight(picture) != MaxY() + 1) {
    PutPicture(picture, 0, 0);
  } else {
    // Putting a part back is itself drawing: the list is copied first.
    const std::vector<TRect> drawnOver = Sky.DrawnOver.Rects;
    for (const TRect& part : drawnOver) PutPicturePart(picture, part, 0, 0);
  }
  ClearDamage(Sky.DrawnOver);
  Sky.ShownKind = kind;
}

void DrawKeptOverPicture(void (*draw)(void* context), void* context) {
  UnwatchDamage(Sky.DrawnOver);
  draw(context);
  if (Sky.Noting) WatchDamage(Sky.DrawnOver);
}

void PutBackAtNextStep(const std::vector<TRect>& parts) {
  for (const TRect& part : parts) AddDamage(Sky.DrawnOver, part);
}

void DrawSightLines() {
  DrawLine(View.ObserverX, View.ObserverY, SkyPixelX(View.SunSky), SkyPixelY(View.SunSky),
           LightRed);
  DrawLine(View.ObserverX, View.ObserverY, SkyPixelX(View.MoonSky), SkyPixelY(View.MoonSky),
           Yellow);
}

// ---- one step ------------------------------------------------------------------------

void DrawRequestedCircles() {
  if (View.Setup.DrawEquator) DrawEquatorLine(LightGray);
  if (View.Setup.DrawEcliptic) DrawEclipticLine(LightGray);
}

// ---- equatorial coordinates ("a") ------------------------------------------------

namespace {

// A direction of the equatorial frame (right ascension and declination in
// degrees) in the horizon frame at the instant shown: the hour angle is the
// sidereal time minus the right ascension, turned by the latitude.
TVector EquatorialGridPoint(long double rightAscension, long double declination) {
  const long double hourAngle = View.SiderealTime - Radians(rightAscension);
  const long double d = Radians(declination);
  const long double x = std::cos(d) * std::cos(hourAngle); // towards the meridian's equator
  const long double y = std::cos(d) * std::sin(hourAngle); // west
  const long double z = std::sin(d);                       // the celestial north pole
  return MakeVector(View.SinLatitude * x - View.CosLatitude * z, y,
                    View.CosLatitude * x + View.SinLatitude * z);
}

// True if a point of the grid is drawn: above the horizon and below the
// title band, which the grid leaves black like the horizon's grid.
bool GridPointShown(const TVector& D) {
  return D.Z >= 0 && SkyPixelY(ProjectToSky(D)) >= View.TitleBase;
}

// The circles of the grid run in steps of 2 degrees and are joined where
// they are shown.
void DrawDeclinationCircle(long double declination, int colour) {
  for (int ra = 0; ra <= 360; ra += 2) {
    const TVector D = EquatorialGridPoint(ra, declination);
    CurvePoint(ra == 0, D, GridPointShown(D), colour);
  }
}

void DrawHourCircle(long double rightAscension, int colour) {
  for (int declination = -90; declination <= 90; declination += 2) {
    const TVector D = EquatorialGridPoint(rightAscension, declination);
    CurvePoint(declination == -90, D, GridPointShown(D), colour);
  }
}

// "2h", "1h20m": a right ascension in hours and minutes.
std::string HourText(long double rightAscension) {
  const int minutes = static_cast<int>(std::lround(rightAscension * 4)); // 15 degrees an hour
  std::string text = std::to_string(minutes / 60) + "h";
  if (minutes % 60 != 0) text += std::to_string(minutes % 60) + "m";
  return text;
}

// Writes the text centred just above (or below) a direction's pixel, if it
// is shown.
void LabelDirection(const TVector& D, const std::string& text, int colour, bool below = false) {
  const TSkyPoint S = ProjectToSky(D);
  if (!S.Visible || !GridPointShown(D)) return;
  SetTextJustify(1, below ? 2 : 0);
  OutTextXY(SkyPixelX(S), SkyPixelY(S) + (below ? 4 : -3), text, colour);
}

} // namespace

void DrawEquatorialGrid() {
  if (!View.EquatorialGrid) return;
  const long double s = GridSpacing();
  SetTextBackground(-1);
  // Declination circles both ways from the celestial equator, which is
  // drawn brighter and wider.
  SetLineWidth(2);
  DrawDeclinationCircle(0, LightCyan);
  SetLineWidth(1);
  for (long double declination = s; declination < 90; declination += s) {
    DrawDeclinationCircle(declination, Cyan);
    DrawDeclinationCircle(-declination, Cyan);
  }
  // Hour circles from pole to pole, labelled in hours where they cross the
  // equator.
  for (long double ra = 0; ra < 360 - 1e-9L; ra += s) {
    DrawHourCircle(ra, Cyan);
    LabelDirection(EquatorialGridPoint(ra, 0), HourText(ra), Cyan);
  }
  // The celestial pole above the horizon.
  const bool north = View.Latitude >= 0;
  const TVector pole = EquatorialGridPoint(0, north ? 90 : -90);
  const TSkyPoint P = ProjectToSky(pole);
  if (P.Visible && GridPointShown(pole)) {
    SetFillStyle(255, LightCyan, LightCyan);
    DrawEllipse(SkyPixelX(P), SkyPixelY(P), 4, 4);
    LabelDirection(pole, north ? "Himmelsnordpol" : "Himmelssüdpol", LightCyan);
  }
  // The equator's name where it stands highest, on the meridian, below the
  // line (the hour labels stand above it).
  LabelDirection(EquatorialGridPoint(View.SiderealTime / DegToRad, 0), "Himmelsäquator", LightCyan,
                 true);
  SetTextJustify(0, 0);
  SetTextBackground(Black);
}

void DrawSunAndMoon() {
  // Bodies a little below the horizon are drawn over the ground, darker.
  if (View.SunAltitude > LowestDrawnAltitude) {
    const int x = SkyPixelX(View.SunSky);
    const int y = SkyPixelY(View.SunSky);
    DrawSunDisc(x, y, View.SunAltitude >= 0 ? Yellow : Red);
  }
  if (View.MoonAltitude > LowestDrawnAltitude) {
    const bool up = View.MoonAltitude >= 0;
    const int lit = up ? LightGray : DarkGray;
    int dark = up ? Blue : Green;
    if (dark == Blue) dark = View.SkyColour;
    const long double k = std::fabs(View.PhaseAngle) - Radians(90);
    const int x = SkyPixelX(View.MoonSky);
    const int y = SkyPixelY(View.MoonSky);
    DrawMoonPhase(x, y, View.DiscRadius, k, View.LimbAngle, lit, dark);
  }
}
