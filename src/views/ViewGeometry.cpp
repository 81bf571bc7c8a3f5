#include "ViewGeometry.h"

#include <cmath>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "KernGraf.h"
#include "ModulGraf.h"
#include "SkyInstant.h"
#include "Zahlen.h"

namespace {

constexpr long double TenDegrees = 10.0L * DegToRad;
// Half the side of the outside view's world window, in Earth radii: room for
// the Moon's orbit with the Moon's disc inside the square.
constexpr long double OutsideHalfWidth = 63.294L;
// Half the width of the inside view's world window.
constexpr long double InsideHalfWidth = 2.5L;
// In perspective 2 the Moon is always drawn at this distance (Earth radii).
constexpr long double HorizonMoonDistance = 54.0L;
// Civil twilight ends when the Sun is 6 degrees below the horizon.
constexpr long double TwilightDepth = -6.0L * DegToRad;
// The limb direction is taken towards a point this far from the Moon.
constexpr long double LimbOffset = 25.0L * DegToRad;

bool NorthernPlace() {
  return View.Latitude >= 0;
}

// A horizon direction (azimuth from the south through the west, altitude) at
// distance r, arranged as perspective 2 shows it: picture x to the right,
// picture y to the zenith, the third component pointing away from the viewer
// (towards the south for a northern place, which is looked at from the north;
// towards the north for a southern place).
TVector HorizonToPicture(long double azimuth, long double altitude, long double r) {
  const TVector H = PolarToVector(TPolar{r, azimuth, altitude});
  if (NorthernPlace()) return MakeVector(H.Y, H.Z, H.X);
  return MakeVector(-H.Y, H.Z, -H.X);
}

} // namespace

// The turn about the picture's x axis that perspective 1 applies.
//
// The globe's points are handled in the arrangement (X, -Z, Y) of the view
// frame. That arrangement is itself a quarter turn about the X axis, and
// turns about one axis commute, so a turn about X has the same matrix for
// globe points and for the Sun and Moon vectors. Both therefore get
// RotationX(-b). With b = phi - eps (northern place) the observer stands at
// the top of the Earth disc when the globe is turned as in perspective 2;
// for a southern place b = 180 deg - eps - phi, which is the northern view of
// the place's mirror latitude turned half round about the picture's x axis,
// i.e. the same picture seen from the other side of the ecliptic.
// A place on the equator counts as northern, as in perspective 2.
long double LatitudeViewAngle(long double latitude) {
  if (latitude >= 0) return latitude - Obliquity;
  return 156.5L * DegToRad - latitude;
}

// ---- outside view -----------------------------------------------------------

namespace {

// The date and time of the instant as the labels show them, to the minute.
// The time rounds up to "24.00" less than half a minute before midnight, and
// so that the date does not lag a day behind it, that instant is shown as
// 0.00 of the next day.
void SetShownInstant(const TSkyInstant& sky) {
  View.Date = sky.Date;
  View.Time = sky.Time;
  if (ClockText(sky.Time) != "24.00") return;
  long double noon = 0;
  CalendarDate(JulianDate(sky.Date, 12.0L) + 1, View.Date, noon);
  View.Time = 0;
}

} // namespace

void ComputeOutsidePositions(long double jd) {
  const TSkyInstant sky = ComputeSkyInstant(jd, View.Latitude, View.Longitude);
  SetShownInstant(sky);
  View.SiderealTime = sky.SiderealTime;
  View.Phase = DescribeMoonPhase(jd, sky);

  if (View.Perspective == 2) {
    // The Earth stands still with the place at the top of the disc.
    SetGlobeSpin(RotationY(View.Longitude + (NorthernPlace() ? -Pi / 2 : Pi / 2)));
    View.SunVec =
        HorizonToPicture(sky.SunAzimuth, sky.SunAltitude, sky.SunDistance * EarthRadiiPerAU);
    View.MoonVec = HorizonToPicture(sky.MoonAzimuth, sky.MoonAltitude, HorizonMoonDistance);
  } else {
    // The Earth turns eastward: the place's right ascension is the sidereal time.
    SetGlobeSpin(RotationY(View.Longitude - View.SiderealTime));
    View.SunVec = PolarToVector(TPolar{sky.SunDistance * EarthRadiiPerAU, sky.SunLon, sky.SunLat});
    View.MoonVec = PolarToVector(TPolar{sky.MoonDistance, sky.MoonLon, sky.MoonLat});
  }
}

namespace {

void ComposeGlobeMatrix() {
  View.GlobeMatrix =
      MatrixProduct(View.ViewMatrix, MatrixProduct(View.EclipticTilt, View.GlobeSpin));
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j)
      View.GlobeTurn[i][j] = static_cast<double>(View.GlobeMatrix.M[i][j]);
  }
}

} // namespace

void SetViewMatrix(const TMatrix& M) {
  View.ViewMatrix = M;
  ComposeGlobeMatrix();
}

void SetGlobeSpin(const TMatrix& M) {
  View.GlobeSpin = M;
  ComposeGlobeMatrix();
}

namespace {

// Runs for every outline point at every step: one turn instead of three,
// in double precision (the points are single precision), and no polar
// coordinates, which nothing reads in the view frame.
inline TEarthVector Turned(const TEarthVector& P, const double (&m)[3][3]) {
  const double v[3] = {P.X, -P.Z, P.Y}; // the arrangement (X, -Z, Y)
  TEarthVector Q;
  Q.Length = P.Length;
  Q.X = static_cast<float>(m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2]);
  Q.Y = static_cast<float>(m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2]);
  Q.Z = static_cast<float>(m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]);
  return Q;
}

// The far hemisphere is hidden, and so is a narrow band along the limb,
// where the outlines would crowd into the disc's edge.
inline bool Seen(const TEarthVector& P) {
  if (P.Y >= 0) return false;
  return P.X * P.X + P.Z * P.Z < 0.95;
}

// The nearest integer, halves to even, in double precision: GlobeProject runs
// for every outline point, and the outline points are single precision
// anyway. Beyond the integer range (and for NaN) the ends of the range.
inline int NearestPixel(double v) {
  if (!(v > -2147483647.0 && v < 2147483647.0)) return v < 0 ? -2147483647 : 2147483647;
  // Adding and taking away 1.5 * 2^52 rounds as nearbyint does, halves to
  // even, without its call and its save of the floating-point state.
  constexpr double Shift = 6755399441055744.0;
  return static_cast<int>((v + Shift) - Shift);
}

inline void Projected(const TEarthVector& P, double r, int cx, int cy, int& x, int& y) {
  x = NearestPixel(r * P.X + cx);
  y = NearestPixel(cy - r * P.Z);
}

} // namespace

void GlobeToView(const TEarthPoint& P, TEarthPoint& Q) {
  Q.Vector = Turned(P.Vector, View.GlobeTurn);
  Q.Polar = TEarthPolar{};
}

bool GlobeVisible(const TEarthPoint& P) {
  return Seen(P.Vector);
}

bool GlobeAllHidden(const TEarthPoint& centre, float reach) {
  // A turn keeps distances, so no point of the ball comes nearer than
  // centre.Y - reach; the margin covers the single precision of the turned
  // points.
  return centre.Vector.Y - reach > 1e-5f;
}

void GlobeProject(const TEarthPoint& P, int& x, int& y) {
  Projected(P.Vector, View.EarthRadiusPx, View.EarthCentreX, View.EarthCentreY, x, y);
}

#ifdef __SSE2__
namespace {

// Two points at once, in the two lanes of SSE2 registers: the same
// operations in the same order and precision as Turned, Seen and Projected,
// so the pixels are the same bit for bit. In one lane each, the projection
// was a fifth of the outside view's step.
struct TTwoPoints {
  __m128d X, Y, Z;
};

// Lane k holds the coordinate of points[k], widened to double.
inline __m128d Coordinates(float a, float b) {
  return _mm_cvtps_pd(_mm_unpacklo_ps(_mm_set_ss(a), _mm_set_ss(b)));
}

// m v in double, each component rounded to single precision and widened again.
inline __m128d TurnedComponent(const double (&row)[3], const TTwoPoints& v) {
  const __m128d sum = _mm_add_pd(
      _mm_add_pd(_mm_mul_pd(_mm_set1_pd(row[0]), v.X), _mm_mul_pd(_mm_set1_pd(row[1]), v.Y)),
      _mm_mul_pd(_mm_set1_pd(row[2]), v.Z));
  return _mm_cvtps_pd(_mm_cvtpd_ps(sum));
}

// NearestPixel in both lanes. The range check becomes a clamp: a minimum
// that gives its second operand for NaN, then a maximum, so that NaN ends at
// the top of the range as there.
inline __m128i NearestPixels(__m128d v) {
  constexpr double Shift = 6755399441055744.0;
  const __m128d clamped =
      _mm_max_pd(_mm_min_pd(v, _mm_set1_pd(2147483647.0)), _mm_set1_pd(-2147483647.0));
  return _mm_cvttpd_epi32(_mm_sub_pd(_mm_add_pd(clamped, _mm_set1_pd(Shift)), _mm_set1_pd(Shift)));
}

void TwoToPixels(const TEarthPoint* points, const double (&m)[3][3], double r, int cx, int cy,
                 TSeenPixel* pixels) {
  const TEarthVector& a = points[0].Vector;
  const TEarthVector& b = points[1].Vector;
  const TTwoPoints v{Coordinates(a.X, b.X), _mm_xor_pd(Coordinates(a.Z, b.Z), _mm_set1_pd(-0.0)),
                     Coordinates(a.Y, b.Y)}; // the arrangement (X, -Z, Y)
  const __m128d qx = TurnedComponent(m[0], v);
  const __m128d qy = TurnedComponent(m[1], v);
  const __m128d qz = TurnedComponent(m[2], v);
  // Seen: not Y >= 0 (NaN included), and X^2 + Z^2 in single precision below 0.95.
  const __m128 sx = _mm_cvtpd_ps(qx), sz = _mm_cvtpd_ps(qz);
  const __m128d band = _mm_cvtps_pd(_mm_add_ps(_mm_mul_ps(sx, sx), _mm_mul_ps(sz, sz)));
  const int seen = _mm_movemask_pd(
      _mm_and_pd(_mm_cmpnge_pd(qy, _mm_setzero_pd()), _mm_cmplt_pd(band, _mm_set1_pd(0.95))));
  const __m128d rr = _mm_set1_pd(r);
  const __m128i x = NearestPixels(_mm_add_pd(_mm_mul_pd(rr, qx), _mm_set1_pd(cx)));
  const __m128i y = NearestPixels(_mm_sub_pd(_mm_set1_pd(cy), _mm_mul_pd(rr, qz)));
  pixels[0] = {_mm_cvtsi128_si32(x), _mm_cvtsi128_si32(y), (seen & 1) != 0};
  pixels[1] = {_mm_cvtsi128_si32(_mm_shuffle_epi32(x, 1)),
               _mm_cvtsi128_si32(_mm_shuffle_epi32(y, 1)), (seen & 2) != 0};
}

} // namespace
#endif

void GlobeToPixels(const TEarthPoint* points, size_t count, TSeenPixel* pixels) {
  // The view's values in locals, which the loop keeps in registers.
  double m[3][3];
  std::memcpy(m, View.GlobeTurn, sizeof m);
  const double r = View.EarthRadiusPx;
  const int cx = View.EarthCentreX, cy = View.EarthCentreY;
  // Every point is projected, seen or not: a branch on the side of the
  // globe, taken one way and the other along the limb, cost more than the
  // projection of the hidden points.
  size_t i = 0;
#ifdef __SSE2__
  for (; i + 2 <= count; i += 2) TwoToPixels(&points[i], m, r, cx, cy, &pixels[i]);
#endif
  for (; i < count; ++i) {
    const TEarthVector Q = Turned(points[i].Vector, m);
    pixels[i].Seen = Seen(Q);
    Projected(Q, r, cx, cy, pixels[i].X, pixels[i].Y);
  }
}

void BuildLatitudeViews() {
  View.LatitudeView = RotationX(-LatitudeViewAngle(View.Latitude));
}

void SelectPerspective(int perspective) {
  View.Perspective = ((perspective % 3) + 3) % 3;
  // Perspective 2 keeps the latitude view, so the place stays at the top.
  SetViewMatrix(View.Perspective == 0 ? RotationX(0) : View.LatitudeView);
  View.TiltAngle = 0;
}

void TiltView(int direction) {
  if (direction == 0 || View.Perspective == 2) return;
  // Tilting back turns the picture by -10 degrees about its x axis: its top
  // goes away from the viewer and the ecliptic north pole comes up.
  const TMatrix turn = RotationX(direction > 0 ? -TenDegrees : TenDegrees);
  View.TiltAngle += direction > 0 ? TenDegrees : -TenDegrees;
  SetViewMatrix(MatrixProduct(turn, View.ViewMatrix));
}

bool MoonInFront() {
  if (View.Perspective == 2) return View.MoonVec.Z < 0; // the viewer stands behind the picture
  TVector P = View.MoonVec;
  RotateVector(View.ViewMatrix, P);
  return P.Z > 0; // the viewer looks down from +Z
}

void SetOutsideWindow() {
  const int m = View.MoonRadiusPx;
  SetViewport(m, MaxY() - m, m, MaxY() - m);
  SetWorldWindow(-OutsideHalfWidth, OutsideHalfWidth, -OutsideHalfWidth, OutsideHalfWidth);
}

void SetInsideWindow() {
  // Square pixels, the straight-ahead horizon three quarters down the window.
  const int maxX = MaxX() > 0 ? MaxX() : 1;
  const int maxY = MaxY() > 0 ? MaxY() : 1;
  const long double e = InsideHalfWidth;
  const long double ratio = static_cast<long double>(maxY) / maxX;
  SetViewport(0, maxX, 0, maxY);
  SetWorldWindow(-e, e, -0.5L * e * ratio, 1.5L * e * ratio);
}

// ---- inside view ------------------------------------------------------------

void ProjectToSky(const TVector& E, const TVector& P, long double& u, bool& visible,
                  long double& v) {
  TVector Q = P;
  RotateVector(View.AzimuthMatrix, Q);
  const TVector D = SubtractVectors(Q, E);
  if (Q.X == E.X) {
    visible = false;
    return;
  }
  const long double t = (1 - E.X) / (Q.X - E.X);
  const long double pu = (Q.Y - E.Y) * t + E.Y;
  const long double pv = (Q.Z - E.Z) * t + E.Z;
  if (!std::isfinite(pu) || !std::isfinite(pv)) {
    visible = false;
    return;
  }
  u = pu;
  v = pv;
  visible = DotProduct(Q, D) > 0;
}

TSkyPoint ProjectToSky(const TVector& P) {
  TSkyPoint S;
  ProjectToSky(View.EyePoint, P, S.U, S.Visible, S.V);
  return S;
}

int SkyPixelX(const TSkyPoint& P) {
  return WorldToScreenX(P.U);
}
int SkyPixelY(const TSkyPoint& P) {
  return WorldToScreenY(P.V);
}

// The screen direction from the Moon's disc towards the Sun: the direction
// to a point 25 degrees from the Moon along the great circle to the Sun.
// When Sun and Moon stand in the same or in opposite directions there is no
// such circle; the angle is then 0 (the phase drawing shows an empty or a
// full disc, for which the direction does not matter).
long double ComputeLimbAngle(const TVector& sunDir, const TVector& moonDir) {
  TVector N = CrossProduct(sunDir, moonDir);
  if (N.Length == 0) return 0;
  NormalizeVector(N);
  TVector M = CrossProduct(moonDir, N);
  NormalizeVector(M);
  ScaleVector(M, LimbOffset);
  M = AddVectors(moonDir, M);

  TSkyPoint Moon = ProjectToSky(moonDir);
  TSkyPoint Mark = Moon;
  ProjectToSky(View.EyePoint, M, Mark.U, Mark.Visible, Mark.V);
  // Pixel differences in extended precision: far off-screen points map to
  // the clamped ends of the integer range, whose difference does not fit an int.
  const long double dy =
      static_cast<long double>(SkyPixelY(Moon)) - static_cast<long double>(SkyPixelY(Mark));
  const long double dx =
      static_cast<long double>(SkyPixelX(Mark)) - static_cast<long double>(SkyPixelX(Moon));
  return ArcTan2(dy, dx);
}

void ComputeInsidePositions() {
  const TSkyInstant sky = ComputeSkyInstant(View.CurrentJD, View.Latitude, View.Longitude);
  SetShownInstant(sky);
  View.SiderealTime = sky.SiderealTime;
  View.Phase = DescribeMoonPhase(View.CurrentJD, sky);

  // The sky as seen ("t"): the Moon from the observer's place instead of
  // the Earth's centre, and both bodies lifted by the air's refraction;
  // day, twilight and night then follow the Sun as it is seen.
  long double sunAltitude = sky.SunAltitude;
  long double moonAzimuth = sky.MoonAzimuth, moonAltitude = sky.MoonAltitude;
  View.SunUp = sky.SunUp;
  View.Twilight = sky.Twilight;
  View.Night = sky.Night;
  if (View.SeenSky) {
    const TSeenSky seen = ComputeSeenSky(sky, View.Latitude);
    sunAltitude = seen.SunAltitudeRefracted;
    moonAzimuth = seen.MoonAzimuthTopo;
    moonAltitude = seen.MoonAltitudeRefracted;
    View.SunUp = sunAltitude > 0;
    View.Twilight = sunAltitude < 0 && sunAltitude > TwilightDepth;
    View.Night = sunAltitude < TwilightDepth;
  }
  View.SkyColour = View.SunUp ? LightBlue : (View.Twilight ? Blue : Black);

  View.SunAltitude = sunAltitude;
  View.SunDir = PolarToVector(TPolar{1, sky.SunAzimuth, sunAltitude});
  ProjectToSky(View.EyePoint, View.SunDir, View.SunSky.U, View.SunSky.Visible, View.SunSky.V);

  View.MoonAltitude = moonAltitude;
  View.MoonDir = PolarToVector(TPolar{1, moonAzimuth, moonAltitude});
  ProjectToSky(View.EyePoint, View.MoonDir, View.MoonSky.U, View.MoonSky.Visible, View.MoonSky.V);

  View.LimbAngle = ComputeLimbAngle(View.SunDir, View.MoonDir);
  View.PhaseAngle = sky.PhaseAngle;
}
