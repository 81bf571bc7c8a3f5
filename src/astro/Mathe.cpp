// Mathe: vectors with a stored length, polar coordinates, rotation matrices
// and the inverse trigonometric functions, all in long double.
#include "Mathe.h"

#include <cmath>
#include <cstdint>

const std::string DegreeSign = "\u00B0";

namespace {

constexpr long double TwoPi = 2.0L * Pi;

// Rounding can push a value a hair outside [-1, 1] (a dot product of two
// unit vectors, say); clamping keeps the inverse functions defined there.
long double ClampUnit(long double x) {
  if (x > 1.0L) return 1.0L;
  if (x < -1.0L) return -1.0L;
  return x;
}

// pi/2 in three parts: the first two have 33 significant bits, so their
// products with a quadrant count below 2^20 are exact in a long double.
// They are double literals on purpose: each is exactly representable.
constexpr long double PiOver2Hi = 1.57079632673412561417e+00;
constexpr long double PiOver2Mid = 6.07710050630396597660e-11;
constexpr long double PiOver2Lo = 2.02226624879595063154e-21;
constexpr long double TwoOverPi = 2.0L / Pi;
constexpr long double ReductionLimit = 1e6L; // quadrant counts stay below 2^20

// x - k pi/2 with k the nearest whole number of quarter turns, so that the
// library works on |r| <= pi/4 only. glibc's long double sine and cosine
// reduce any larger argument with a multi-precision routine that costs some
// 150 ns a call; the series call them dozens of times per instant.
bool ReduceQuarterTurns(long double x, long double& r, int& quadrant) {
  if (!(std::fabs(x) <= ReductionLimit)) return false; // huge, infinite or NaN
  // Rounded to a whole number by adding and removing 1.5 * 2^52 in double
  // precision; nearbyintl would save and restore the floating-point state.
  const double shifted = static_cast<double>(x * TwoOverPi) + 0x1.8p52;
  const double kd = shifted - 0x1.8p52;
  const long double k = kd;
  r = ((x - k * PiOver2Hi) - k * PiOver2Mid) - k * PiOver2Lo;
  quadrant = static_cast<int>(static_cast<int64_t>(kd) & 3);
  return true;
}

// cos and sin of 0, 1, 2 and 3 quarter turns. Turning a pair on by a
// quarter-turn count with a complex product keeps every value exact and
// needs no branch on the count, which is as random as the angles are.
constexpr TComplex QuarterTurn[4] = {{1.0L, 0.0L}, {0.0L, 1.0L}, {-1.0L, 0.0L}, {0.0L, -1.0L}};

// 1/n! in long double.
constexpr long double InverseFactorial(int n) {
  long double f = 1.0L;
  for (int i = 2; i <= n; ++i) f *= i;
  return 1.0L / f;
}

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

// CosSin splits the quarter turn further into 33 steps of pi/64 around 0:
// the sine and cosine of the step come from a table, those of the rest
// (below pi/128) from four terms of the series each. The chains of x87
// multiplications are then a third as long as in SinSeries and CosSeries.
constexpr int Steps = 16; // steps of pi/64 on either side of 0
constexpr long double StepsPerRadian = 64.0L / Pi;

struct TStep {
  long double Angle; // j pi/64, rounded as the reduction rounds it
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

// cos and sin of |t| <= pi/128: the first terms left out are below 1e-22.
TComplex SmallCosSin(long double t) {
  const long double t2 = t * t;
  const long double s =
      t - t * t2 *
              (InverseFactorial(3) -
               t2 * (InverseFactorial(5) - t2 * (InverseFactorial(7) - t2 * InverseFactorial(9))));
  const long double c =
      1.0L -
      t2 * (InverseFactorial(2) -
            t2 * (InverseFactorial(4) - t2 * (InverseFactorial(6) - t2 * InverseFactorial(8))));
  return {c, s};
}

// CosSinD reduces its angle straight to the nearest multiple of pi/64, not
// of pi/2: the table below holds the cosine and sine of all 128 multiples
// round the circle, so the quarter turn needs no extra product and no
// branch, and the rest (at most pi/128) needs only four terms of each
// series. The parts of pi/64 are those of pi/2 divided by 32, so their
// products with a count below 2^20 are still exact.
constexpr double PiOver64Hi = static_cast<double>(PiOver2Hi) / 32.0;
constexpr double PiOver64Mid = static_cast<double>(PiOver2Mid) / 32.0;
constexpr double PiOver64Lo = static_cast<double>(PiOver2Lo) / 32.0;
constexpr double StepsPerRadianD = static_cast<double>(StepsPerRadian);
constexpr double ReductionLimitD = 1e6 / 32.0; // step counts stay below 2^20
constexpr int StepsRound = 128;

// exp(i j pi/64) in double: the step of StepTable within pi/4 of it, turned
// on by whole quarter turns (which keeps it exact) and rounded.
constexpr TComplexD MakeStepD(int j) {
  const int quarter = ((j + Steps) / (2 * Steps)) % 4;
  const int rest = (j + Steps) % (2 * Steps) - Steps; // -16 .. 15
  const TComplex e = ComplexProduct(StepTable[rest + Steps].E, QuarterTurn[quarter]);
  return {static_cast<double>(e.C), static_cast<double>(e.S)};
}

struct TStepTableD {
  TComplexD E[StepsRound];
  constexpr TStepTableD() : E{} {
    for (int j = 0; j < StepsRound; ++j) E[j] = MakeStepD(j);
  }
};

constexpr TStepTableD StepTableD;

// cos and sin of |t| <= pi/128 in double: the first terms left out are
// below 1e-20, far under a unit in the last place.
TComplexD SmallCosSinD(double t) {
  const double t2 = t * t;
  const double s = t - t * t2 *
                           (static_cast<double>(InverseFactorial(3)) -
                            t2 * (static_cast<double>(InverseFactorial(5)) -
                                  t2 * (static_cast<double>(InverseFactorial(7)) -
                                        t2 * static_cast<double>(InverseFactorial(9)))));
  const double c = 1.0 - t2 * (static_cast<double>(InverseFactorial(2)) -
                               t2 * (static_cast<double>(InverseFactorial(4)) -
                                     t2 * (static_cast<double>(InverseFactorial(6)) -
                                           t2 * static_cast<double>(InverseFactorial(8)))));
  return {c, s};
}

} // namespace

TComplexD CosSinD(double x) {
  if (!(std::fabs(x) <= ReductionLimitD)) return {std::cos(x), std::sin(x)};
  // The nearest step, rounded by adding and removing 1.5 * 2^52.
  const double k = (x * StepsPerRadianD + 0x1.8p52) - 0x1.8p52;
  const double r = ((x - k * PiOver64Hi) - k * PiOver64Mid) - k * PiOver64Lo;
  // A negative count wraps round: -1 & 127 is the step at 127 pi/64.
  const TComplexD& step = StepTableD.E[static_cast<int64_t>(k) & (StepsRound - 1)];
  return ComplexProduct(step, SmallCosSinD(r));
}

// The sine alone costs as much as the pair: the pair has no branch on the
// quadrant, which is as random as the angles are.
double SineD(double x) {
  return CosSinD(x).S;
}

double ReduceAngle(long double x) {
  long double r;
  int quadrant;
  if (!ReduceQuarterTurns(x, r, quadrant)) return static_cast<double>(x);
  // Quadrants 2 and 3 are the same angles as -2 and -1.
  if (quadrant >= 2) quadrant -= 4;
  return static_cast<double>(r + quadrant * (Pi / 2.0L));
}

TComplex CosSin(long double x) {
  long double r;
  int quadrant;
  if (!ReduceQuarterTurns(x, r, quadrant)) return {std::cos(x), std::sin(x)};
  // The step nearest to r, rounded through a double like the quarter turns.
  const double j = (static_cast<double>(r * StepsPerRadian) + 0x1.8p52) - 0x1.8p52;
  const TStep& step = StepTable[static_cast<int>(j) + Steps];
  const TComplex e = ComplexProduct(step.E, SmallCosSin(r - step.Angle));
  return ComplexProduct(e, QuarterTurn[quadrant]);
}

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
