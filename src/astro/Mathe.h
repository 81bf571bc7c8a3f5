// Mathe: vectors that carry their length, polar coordinates, 3x3 rotation
// matrices and inverse trigonometry. Everything in extended precision
// (long double, 80 bit on x86-64); every angle in radians.
#pragma once

#include <cmath>
#include <string>

struct TVector {
  long double Length = 0; // stored, see the notes at each operation
  long double X = 0;
  long double Y = 0;
  long double Z = 0;
};

struct TPolar {
  long double R = 0;
  long double Lon = 0; // angle in the x-y plane from +x towards +y
  long double Lat = 0; // angle above the x-y plane towards +z
};

struct TMatrix {
  long double M[3][3] = {}; // [row][column]; applied to column vectors from the left
};

// The degree sign as the program writes it (UTF-8 inside the program;
// Windows-1252 0xB0 in the files).
extern const std::string DegreeSign;

constexpr long double Pi = 3.141592653589793238462643383279502884L;
constexpr long double DegToRad = Pi / 180.0L;

// Sine and cosine for the series and the coordinate routines: the same
// values as std::sin and std::cos to within a unit in the last place, but
// about four times faster for angles beyond pi/4 (see Mathe.cpp).
long double Sine(long double x);
long double Cosine(long double x);

// A cosine/sine pair (c, s) standing for the complex number c + i s; the
// Sun and Moon series build the multiples of their angles from such pairs.
// No default values: the power tables of a call are filled before use, and
// setting them up first would cost as much as filling them.
struct TComplex {
  long double C; // cosine (real part)
  long double S; // sine (imaginary part)
};

constexpr TComplex ComplexProduct(const TComplex& A, const TComplex& B) {
  return {A.C * B.C - A.S * B.S, A.S * B.C + A.C * B.S};
}

// Cosine and sine at once, from a table of steps of pi/64 and a short
// series: within a few units in the last place of std::cos and std::sin,
// for less than the cost of one Sine.
TComplex CosSin(long double x);

// The same pair in double. The many small periodic terms of the series are
// summed in double: it is several times faster than long double, and its
// sixteen digits are far more than a term of a few arcseconds needs.
struct TComplexD {
  double C; // cosine (real part)
  double S; // sine (imaginary part)
};

constexpr TComplexD ComplexProduct(const TComplexD& A, const TComplexD& B) {
  return {A.C * B.C - A.S * B.S, A.S * B.C + A.C * B.S};
}

constexpr TComplexD Conjugate(const TComplexD& A) {
  return {A.C, -A.S};
}

// Cosine and sine in double for the small terms (within a unit in the last
// place of a double for |x| up to a million radians).
TComplexD CosSinD(double x);
double SineD(double x);
// An angle of many turns, known to long double precision, reduced to
// within 5/4 pi of zero before it is rounded to a double, so that it keeps
// its digits.
double ReduceAngle(long double x);

// Trunc and Floor: the same as std::trunc and std::floor for every long
// double (a zero may lose its sign). Those switch the x87 rounding mode
// twice, which costs more than a whole sine; these round through a double
// and correct by one without a branch, since the fractions of the series'
// arguments are as often above one half as below.
namespace MatheDetail {
// Beyond this every long double is a whole number, and below it the double
// nearest to x lies within a quarter of it.
constexpr long double WholeLimit = 0x1p51L;
// Indexed by a comparison: 0 if false, 1 if true.
constexpr long double Step[2] = {0.0L, 1.0L};

// A whole number within one of x (|x| < WholeLimit): adding and removing
// 1.5 * 2^52 in double leaves no fraction.
inline long double NearWhole(long double x) {
  const double shifted = static_cast<double>(x) + 0x1.8p52;
  return shifted - 0x1.8p52;
}
} // namespace MatheDetail

inline long double Trunc(long double x) {
  using namespace MatheDetail;
  if (!(std::fabs(x) < WholeLimit)) return std::trunc(x); // huge, infinite or NaN
  const long double k = NearWhole(x);
  return k - Step[x >= 0.0L && k > x] + Step[x < 0.0L && k < x];
}

inline long double Floor(long double x) {
  using namespace MatheDetail;
  if (!(std::fabs(x) < WholeLimit)) return std::floor(x);
  const long double k = NearWhole(x);
  return k - Step[k > x];
}

// x - Floor(x) and x - Trunc(x), bit for bit but for the sign of a zero,
// for the series' arguments.
// Both take off the nearest whole number first, which leaves the rest
// exact, and then add or remove one turn where needed: the result is the
// exact difference rounded once, as with Floor and Trunc. They work in
// double as far as possible and need no x87 comparison with a table
// value, which makes them about twice as fast as the subtraction.
namespace MatheDetail {
// The rest of x after the nearest whole number, exact, in [-1/2, 1/2]
// (a hair more where x rounded to a double lies half-way); false if |x|
// is too large for that (or x is no number).
inline bool NearestRest(long double x, long double& rest) {
  const double xd = static_cast<double>(x);
  if (!(std::fabs(xd) < 0x1p51)) return false;
  rest = x - static_cast<long double>((xd + 0x1.8p52) - 0x1.8p52);
  return true;
}
} // namespace MatheDetail

// In [0, 1], 1 only where a tiny negative x rounds up to it.
inline long double FractionalPart(long double x) {
  long double rest = 0;
  if (!MatheDetail::NearestRest(x, rest)) return x - Floor(x);
  return rest < 0.0L ? rest + 1.0L : rest;
}

// With the sign of x: in [0, 1] for x >= 0, in [-1, 0] for negative x;
// +-1 only where a tiny rest rounds to it.
inline long double SignedFractionalPart(long double x) {
  long double rest = 0;
  if (!MatheDetail::NearestRest(x, rest)) return x - Trunc(x);
  if (x >= 0.0L && rest < 0.0L) return rest + 1.0L;
  if (x < 0.0L && rest > 0.0L) return rest - 1.0L;
  return rest;
}

// Arguments outside [-1, 1] are clamped, so no NaN comes out.
long double ArcSin(long double x);
long double ArcCos(long double x);
// Result in (-pi, pi]; ArcTan2(0, 0) = 0.
long double ArcTan2(long double y, long double x);

// Operations that build a vector from components recompute Length.
TVector MakeVector(long double x, long double y, long double z);
TVector AddVectors(const TVector& A, const TVector& B);
TVector SubtractVectors(const TVector& A, const TVector& B); // A - B
TVector CrossProduct(const TVector& A, const TVector& B);
long double DotProduct(const TVector& A, const TVector& B);
// These trust the stored Length.
void NormalizeVector(TVector& V);
void ScaleVector(TVector& V, long double f);

// Length := P.R (copied, not recomputed).
TVector PolarToVector(const TPolar& P);
// R := V.Length; Lon in [0, 2pi); a vector on the z axis gets Lon = 0.
TPolar VectorToPolar(const TVector& V);

void RotateVector(const TMatrix& M, TVector& V); // V := M V, Length recomputed
TMatrix RotationX(long double a);
TMatrix RotationY(long double a);
TMatrix RotationZ(long double a);
TMatrix MatrixProduct(const TMatrix& A, const TMatrix& B); // A B
