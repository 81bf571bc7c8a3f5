// Kern2Graf, the half ellipse from which the lit parts of Earth and Moon are
// built. Plain C++ on the console's interface: both front ends compile this
// same file, so the lit parts have the same pixels everywhere.
#include <cmath>
#include <numbers>

#include "Kern2Graf.h"
#include "KernGraf.h"

namespace {

// Cosine and sine of 0, 1, ..., 180 degrees for the half ellipses, worked out
// once instead of for every ellipse, where they cost more than the filling.
struct TDegreeTable {
  long double Cos[181];
  long double Sin[181];
  TDegreeTable() {
    for (int degree = 0; degree <= 180; ++degree) {
      const long double theta = degree * std::numbers::pi_v<long double> / 180;
      Cos[degree] = std::cos(theta);
      Sin[degree] = std::sin(theta);
    }
  }
};

const TDegreeTable& Degrees() {
  static const TDegreeTable table;
  return table;
}

} // namespace

void DrawHalfEllipse(int centreX, int centreY, int a, int b, int intensity, int colour,
                     bool blackBorder, bool filled, long double angleDegrees) {
  // The a axis is turned by the angle; with angle 0 it lies horizontal and
  // the half with the b axis lies above the centre (screen y smaller).
  const long double phi = angleDegrees * std::numbers::pi_v<long double> / 180;
  const long double p = a * std::cos(phi), q = -a * std::sin(phi);
  const long double r = -b * std::sin(phi), t = -b * std::cos(phi);
  // 181 points from one end of the a axis over the b axis to the other end,
  // one per degree whatever the size, and the first again to close along a.
  constexpr int PointCount = 182;
  TPoint points[PointCount];
  const TDegreeTable& degrees = Degrees();
  for (int degree = 0; degree <= 180; ++degree) {
    const long double c = degrees.Cos[degree], s = degrees.Sin[degree];
    points[degree].X = RoundEven(centreX + p * c + r * s);
    points[degree].Y = RoundEven(centreY + q * c + t * s);
  }
  points[PointCount - 1] = points[0];

  if (!filled) {
    // The outline is black whatever the colour says.
    for (int i = 1; i < PointCount; ++i)
      DrawLine(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y, Black);
    return;
  }
  const TFillState saved = GetFillState();
  SetFillStyle(intensity, colour, blackBorder ? Black : colour);
  FillPolygon(PointCount, points);
  SetFillState(saved);
}
