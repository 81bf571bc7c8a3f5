// Mathe: vectors with a stored length, polar coordinates, rotation matrices
// and the inverse trigonometric functions, all in long double.
#include "Mathe.h"

#include <cmath>
#include <cstdint>

const std::string DegreeSign = "\u00B0";

using namespace MatheDetail;

namespace {

constexpr long double TwoPi = 2.0L * Pi;

// Rounding can push a value a hair outside [-1, 1] (a dot product of two
// unit vectors, say); clamping keeps the inverse functions defined there.
long double ClampUnit(long double x) {
  if (x > 1.0L) return 1.0L;
  if (x < -1.0L) return -1.0L;
  return x;
}

// cos and sin of 0, 1, 2 and 3 quarter turns. Turning a pair on by a
// quarter-turn count with a complex product keeps every value exact and
// needs no branch on the count, which is as random as the angles are.
constexpr TComplex QuarterTurn[4] = {{1.0L, 0.0L}, {0.0L, 1.0L}, {-1.0L, 0.0L}, {0.0L, -1.0L}};

// Coefficients of the Taylor series of sine and cosine, highest power first.
constexpr long double SinTerms[] = {
    InverseFactorial(21), InverseFactorial(19), InverseFactorial(17), InverseFactorial(15),
    InverseFactorial(13), InverseFactorial(11), InverseFactorial(9),  InverseFactorial(7),
    InverseFactorial(5),  InverseFactorial(3)};
constexpr long double CosTerms[] = {
    InverseFactorial(22), InverseFactorial(20), InverseFactorial(18), InverseFactorial(16),
    InverseFactorial(14), InverseFactorial(12), InverseFactorial(10), InverseFactorial(8),
    InverseFactorial(6),  InverseFactorial(4),  InverseFactorial(2)};

// Sine and cosine for |r| <= pi/4 from their Taylor series. The first term
// left out is below 2^-66 there, so the sums are as exact as the library's
// long double functions, and faster than the x87 instructions behind those.
constexpr long double SinSeries(long double r) {
  const long double r2 = r * r;
  long double sum = 0;
  for (const long double term : SinTerms) sum = term - r2 * sum;
  return r - r * r2 * sum;
}

constexpr long double CosSeries(long double r) {
  const long double r2 = r * r;
  long double sum = 0;
  for (const long double term : CosTerms) sum = term - r2 * sum;
  return 1.0L - r2 * sum;
}

// The tables of CosSin and CosSinD (see Mathe.h) are built from the
// cosines and sines of the steps within a quarter turn of zero.
constexpr int Steps = 16; // steps of pi/64 on either side of 0 within a quarter turn

struct TStep {
  long double Angle; // j pi/64, rounded to a long double
  TComplex E;        // its cosine and sine
};

constexpr TStep MakeStep(int j) {
  const long double a = j * (Pi / 64.0L);
  return {a, {CosSeries(a), SinSeries(a)}};
}

constexpr TStep StepTable[2 * Steps + 1] = {
    MakeStep(-16), MakeStep(-15), MakeStep(-14), MakeStep(-13), MakeStep(-12), MakeStep(-11),
    MakeStep(-10), MakeStep(-9),  MakeStep(-8),  MakeStep(-7),  MakeStep(-6),  MakeStep(-5),
    MakeStep(-4),  MakeStep(-3),  MakeStep(-2),  MakeStep(-1),  MakeStep(0),   MakeStep(1),
    MakeStep(2),   MakeStep(3),   MakeStep(4),   MakeStep(5),   MakeStep(6),   MakeStep(7),
    MakeStep(8),   MakeStep(9),   MakeStep(10),  MakeStep(11),  MakeStep(12),  MakeStep(13),
    MakeStep(14),  MakeStep(15),  MakeStep(16)};

// exp(i j pi/64) for j = 0 .. 127: the step of StepTable within pi/4 of
// it, turned on by whole quarter turns (which keeps it exact). The angle
// of StepTable is rounded, while the reduction takes off j pi/64 to some
// 1e-30, so the pair is turned on by the difference (below 1e-19 radians).
constexpr TComplex MakeRoundStep(int j) {
  const int quarter = ((j + Steps) / (2 * Steps)) % 4;
  const int rest = (j + Steps) % (2 * Steps) - Steps; // -16 .. 15
  const TStep& step = StepTable[rest + Steps];
  const long double missing =
      ((rest * PiOver64Hi - step.Angle) + rest * PiOver64Mid) + rest * PiOver64Lo;
  const TComplex e = {step.E.C - step.E.S * missing, step.E.S + step.E.C * missing};
  return ComplexProduct(e, QuarterTurn[quarter]);
}

constexpr TRoundSteps MakeRoundSteps() {
  TRoundSteps table{};
  for (int j = 0; j < StepsRound; ++j) table.E[j] = MakeRoundStep(j);
  return table;
}

// The same table rounded to double.
constexpr TRoundStepsD MakeRoundStepsD(const TRoundSteps& steps) {
  TRoundStepsD table{};
  for (int j = 0; j < StepsRound; ++j)
    table.E[j] = {static_cast<double>(steps.E[j].C), static_cast<double>(steps.E[j].S)};
  return table;
}

} // namespace

namespace MatheDetail {
constexpr TRoundSteps RoundSteps = MakeRoundSteps();
constexpr TRoundStepsD RoundStepsD = MakeRoundStepsD(RoundSteps);
} // namespace MatheDetail

long double Sine(long double x) {
  long double r;
  int quadrant;
  if (!ReduceQuarterTurns(x, r, quadrant)) return std::sin(x);
  switch (quadrant) {
  case 0:
    return SinSeries(r);
  case 1:
    return CosSeries(r);
  case 2:
    return -SinSeries(r);
  default:
    return -CosSeries(r);
  }
}

long double Cosine(long double x) {
  long double r;
  int quadrant;
  if (!ReduceQuarterTurns(x, r, quadrant)) return std::cos(x);
  switch (quadrant) {
  case 0:
    return CosSeries(r);
  case 1:
    return -SinSeries(r);
  case 2:
    return -CosSeries(r);
  default:
    return SinSeries(r);
  }
}

long double ArcSin(long double x) {
  x = ClampUnit(x);
  // The end points first, so that no square root of zero is divided by.
  if (std::fabs(x) == 1.0L) return x * Pi / 2.0L;
  if (std::fabs(x) <= 1e-7L) return x;
  return std::atan(x / std::sqrt(1.0L - x * x));
}

long double ArcCos(long double x) {
  x = ClampUnit(x);
  if (x > 0.0L) return std::atan(std::sqrt(1.0L / (x * x) - 1.0L));
  if (x == 0.0L) return Pi / 2.0L;
  return Pi - std::atan(std::sqrt(1.0L / (x * x) - 1.0L));
}

long double ArcTan2(long double y, long double x) {
  if (x == 0.0L && y == 0.0L) return 0.0L;
  const long double ax = std::fabs(x);
  const long double ay = std::fabs(y);
  // Divide the smaller by the larger magnitude, so the quotient stays <= 1.
  long double phi = (ay >= ax) ? Pi / 2.0L - std::atan(ax / ay) : std::atan(ay / ax);
  if (x < 0.0L) phi = Pi - phi;
  // A negative zero is not less than 0, so ArcTan2(-0.0, -1) is +pi.
  if (y < 0.0L) phi = -phi;
  return phi;
}

TVector MakeVector(long double x, long double y, long double z) {
  TVector V;
  V.X = x;
  V.Y = y;
  V.Z = z;
  V.Length = std::sqrt(x * x + y * y + z * z);
  return V;
}

TVector AddVectors(const TVector& A, const TVector& B) {
  return MakeVector(A.X + B.X, A.Y + B.Y, A.Z + B.Z);
}

TVector SubtractVectors(const TVector& A, const TVector& B) {
  return MakeVector(A.X - B.X, A.Y - B.Y, A.Z - B.Z);
}

TVector CrossProduct(const TVector& A, const TVector& B) {
  return MakeVector(A.Y * B.Z - A.Z * B.Y, A.Z * B.X - A.X * B.Z, A.X * B.Y - A.Y * B.X);
}

long double DotProduct(const TVector& A, const TVector& B) {
  return A.X * B.X + A.Y * B.Y + A.Z * B.Z;
}

void NormalizeVector(TVector& V) {
  if (V.Length > 0.0L) {
    V.X = V.X / V.Length;
    V.Y = V.Y / V.Length;
    V.Z = V.Z / V.Length;
  }
  // A zero vector keeps its zero components but reports length 1.
  V.Length = 1.0L;
}

void ScaleVector(TVector& V, long double f) {
  V.Length = V.Length * f;
  V.X = V.X * f;
  V.Y = V.Y * f;
  V.Z = V.Z * f;
  V.Length = std::fabs(V.Length);
}

TVector PolarToVector(const TPolar& P) {
  TVector V;
  const long double cosLat = Cosine(P.Lat);
  V.X = P.R * cosLat * Cosine(P.Lon);
  V.Y = P.R * cosLat * Sine(P.Lon);
  V.Z = P.R * Sine(P.Lat);
  V.Length = P.R;
  return V;
}

TPolar VectorToPolar(const TVector& V) {
  TPolar P;
  P.R = V.Length;
  const long double rho = std::sqrt(V.X * V.X + V.Y * V.Y);
  if (rho == 0.0L) {
    // On the z axis the longitude is undefined; 0 is as good as any and
    // the latitude is the pole the vector points to (0 for the zero vector).
    P.Lat = (V.Z > 0.0L) ? Pi / 2.0L : (V.Z < 0.0L) ? -Pi / 2.0L : 0.0L;
  } else {
    P.Lat = std::atan(V.Z / rho);
  }
  P.Lon = ArcTan2(V.Y, V.X);
  if (P.Lon < 0.0L) P.Lon = P.Lon + TwoPi;
  // A tiny negative angle plus 2 pi can round to 2 pi itself.
  if (P.Lon >= TwoPi) P.Lon = 0.0L;
  return P;
}

void RotateVector(const TMatrix& M, TVector& V) {
  const long double v[3] = {V.X, V.Y, V.Z};
  long double r[3];
  for (int row = 0; row < 3; ++row) {
    r[row] = 0.0L;
    for (int col = 0; col < 3; ++col) r[row] = r[row] + M.M[row][col] * v[col];
  }
  V = MakeVector(r[0], r[1], r[2]);
}

TMatrix RotationX(long double a) {
  const long double s = Sine(a);
  const long double c = Cosine(a);
  TMatrix R;
  R.M[0][0] = 1.0L;
  R.M[1][1] = c;
  R.M[1][2] = -s;
  R.M[2][1] = s;
  R.M[2][2] = c;
  return R;
}

TMatrix RotationY(long double a) {
  const long double s = Sine(a);
  const long double c = Cosine(a);
  TMatrix R;
  R.M[0][0] = c;
  R.M[0][2] = s;
  R.M[1][1] = 1.0L;
  R.M[2][0] = -s;
  R.M[2][2] = c;
  return R;
}

TMatrix RotationZ(long double a) {
  const long double s = Sine(a);
  const long double c = Cosine(a);
  TMatrix R;
  R.M[0][0] = c;
  R.M[0][1] = -s;
  R.M[1][0] = s;
  R.M[1][1] = c;
  R.M[2][2] = 1.0L;
  return R;
}

TMatrix MatrixProduct(const TMatrix& A, const TMatrix& B) {
  // Summed into a fresh matrix, so the result may be assigned to A or B.
  TMatrix C;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      C.M[i][j] = 0.0L;
      for (int k = 0; k < 3; ++k) C.M[i][j] = C.M[i][j] + A.M[i][k] * B.M[k][j];
    }
  return C;
}
