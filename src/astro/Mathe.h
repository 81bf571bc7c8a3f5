// Mathe: vectors that carry their length, polar coordinates, 3x3 rotation
// matrices and inverse trigonometry. Everything in extended precision
// (long double, 80 bit on x86-64); every angle in radians.
#pragma once

#include <array>
#include <cfloat>
#include <cmath>
#include <cstddef>
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

// A long double constant for the series, loaded as the sum of two doubles.
// On the x87 unit an 80-bit constant comes from memory through a microcoded
// load (fld m80) that costs as much as several multiplications, and the
// series load dozens of them per call; two doubles load with plain
// instructions, and their sum is the constant exactly: rounded to a double,
// a 64-bit constant leaves a rest of at most 11 bits. Where long double is
// no x87 format (the browser build), the constant is used as it is.
#if defined(__x86_64__) && LDBL_MANT_DIG == 64
#define LUNOTROP_X87_CONSTANTS 1
#endif

struct TLongConstant {
  long double Value;
  double Hi, Lo; // Hi + Lo == Value on the x87 unit
};

consteval TLongConstant LongConstant(long double c) {
  const double hi = static_cast<double>(c);
  const double lo = static_cast<double>(c - hi);
#ifdef LUNOTROP_X87_CONSTANTS
  // Not a constant expression: a constant that does not split exactly
  // does not compile.
  if (static_cast<long double>(hi) + lo != c) throw "no exact split";
#endif
  return {c, hi, lo};
}

[[gnu::always_inline]] inline long double Load(const TLongConstant& c) {
#ifdef LUNOTROP_X87_CONSTANTS
  long double hi = c.Hi;
  // Hides hi from the optimiser, which would otherwise fold the sum back
  // into the one 80-bit constant.
  asm("" : "+t"(hi));
  return hi + c.Lo;
#else
  return c.Value;
#endif
}

// The same for a constant in a table that the optimiser cannot see into
// (read through a pointer it cannot follow): two plain loads of doubles
// and their sum, made where the value is needed. Constants it can see are
// loaded by Load, as it would otherwise fold them into 80-bit constants.
[[gnu::always_inline]] inline long double LoadStored(const TLongConstant& c) {
#ifdef LUNOTROP_X87_CONSTANTS
  return static_cast<long double>(c.Hi) + c.Lo;
#else
  return c.Value;
#endif
}

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

// The reduction and the tables behind CosSin, CosSinD and SineD. Those are
// inline: the series call them dozens of times per instant, a call hands
// a long double pair back through memory, and inlined the independent
// calls of a series overlap.
namespace MatheDetail {
// pi/2 in three parts: the first two have 33 significant bits, so their
// products with a quadrant count below 2^20 are exact in a long double.
// They are double literals on purpose: each is exactly representable.
constexpr long double PiOver2Hi = 1.57079632673412561417e+00;
constexpr long double PiOver2Mid = 6.07710050630396597660e-11;
constexpr long double PiOver2Lo = 2.02226624879595063154e-21;
constexpr long double ReductionLimit = 1e6L; // quadrant counts stay below 2^20
constexpr long double TwoOverPi = 2.0L / Pi;

// x - k pi/2 with k the nearest whole number of quarter turns, so that the
// library works on |r| <= pi/4 only. glibc's long double sine and cosine
// reduce any larger argument with a multi-precision routine that costs some
// 150 ns a call; the series call them dozens of times per instant.
inline bool ReduceQuarterTurns(long double x, long double& r, int& quadrant) {
  if (!(std::fabs(x) <= ReductionLimit)) return false; // huge, infinite or NaN
  // Rounded to a whole number by adding and removing 1.5 * 2^52 in double
  // precision; nearbyintl would save and restore the floating-point state.
  const double shifted = static_cast<double>(x * TwoOverPi) + 0x1.8p52;
  const double kd = shifted - 0x1.8p52;
  const long double k = kd;
  r = ((x - k * PiOver2Hi) - k * PiOver2Mid) - k * PiOver2Lo;
  quadrant = static_cast<int>(static_cast<long long>(kd) & 3);
  return true;
}

// CosSin and CosSinD reduce their angle straight to the nearest multiple
// of pi/64, not of pi/2: a table holds the cosine and sine of all 128
// multiples round the circle, so the quarter turn needs no extra product
// and no branch, and the rest (at most pi/128) needs only four terms of
// each series. The parts of pi/64 are those of pi/2 divided by 32, so
// their products with a count below 2^20 are still exact.
constexpr int StepsRound = 128;
constexpr long double StepsPerRadian = 64.0L / Pi;
constexpr long double PiOver64Hi = PiOver2Hi / 32.0L;
constexpr long double PiOver64Mid = PiOver2Mid / 32.0L;
constexpr long double PiOver64Lo = PiOver2Lo / 32.0L;
constexpr long double StepReductionLimit = ReductionLimit / 32.0L; // counts below 2^20

// The same in double.
constexpr double PiOver64HiD = static_cast<double>(PiOver64Hi);
constexpr double PiOver64MidD = static_cast<double>(PiOver64Mid);
constexpr double PiOver64LoD = static_cast<double>(PiOver64Lo);
constexpr double StepsPerRadianD = static_cast<double>(StepsPerRadian);
constexpr double StepReductionLimitD = static_cast<double>(StepReductionLimit);

// exp(i j pi/64) for j = 0 .. 127 in long double and in double (Mathe.cpp).
struct TRoundSteps {
  TComplex E[StepsRound];
};
struct TRoundStepsD {
  TComplexD E[StepsRound];
};
extern const TRoundSteps RoundSteps;
extern const TRoundStepsD RoundStepsD;

// 1/n! in long double.
constexpr long double InverseFactorial(int n) {
  long double f = 1.0L;
  for (int i = 2; i <= n; ++i) f *= i;
  return 1.0L / f;
}

// 1 - cos t and t - sin t for |t| <= pi/128 in double: they stay below
// 3e-4, so their rounding errors stay under 1e-19 and a long double result
// built from them keeps its last digit. The first terms left out are below
// 1e-20. Templates, so that SinesD runs the very same steps on two angles
// at once; t2 is t * t.
template <class V> inline V SmallCosRest(V t2) {
  return t2 * (static_cast<double>(InverseFactorial(2)) -
               t2 * (static_cast<double>(InverseFactorial(4)) -
                     t2 * (static_cast<double>(InverseFactorial(6)) -
                           t2 * static_cast<double>(InverseFactorial(8)))));
}

template <class V> inline V SmallSinRest(V t, V t2) {
  return t * t2 *
         (static_cast<double>(InverseFactorial(3)) -
          t2 * (static_cast<double>(InverseFactorial(5)) -
                t2 * (static_cast<double>(InverseFactorial(7)) -
                      t2 * static_cast<double>(InverseFactorial(9)))));
}

inline TComplexD SmallCosSinRest(double t) {
  const double t2 = t * t;
  return {SmallCosRest(t2), SmallSinRest(t, t2)};
}

// The nearest step of pi/64 below 2^20 steps, rounded by adding and
// removing 1.5 * 2^52, and what is left of x after it.
template <class V> inline V NearestStepD(V x) {
  return (x * StepsPerRadianD + 0x1.8p52) - 0x1.8p52;
}

template <class V> inline V StepRestD(V x, V k) {
  return ((x - k * PiOver64HiD) - k * PiOver64MidD) - k * PiOver64LoD;
}

// A negative count wraps round: -1 & 127 is the step at 127 pi/64.
inline const TComplexD& RoundStepD(double k) {
  return RoundStepsD.E[static_cast<long long>(k) & (StepsRound - 1)];
}

// The same in long double, for CosSin and CosSins: x - k pi/64 and the
// step at k pi/64.
inline long double StepRest(long double x, long double k) {
  return ((x - k * PiOver64Hi) - k * PiOver64Mid) - k * PiOver64Lo;
}

inline const TComplex& RoundStep(double k) {
  return RoundSteps.E[static_cast<long long>(k) & (StepsRound - 1)];
}
} // namespace MatheDetail

// Cosine and sine at once, from a table of steps of pi/64 and a short
// series: within a few units in the last place of std::cos and std::sin,
// for less than the cost of one Sine.
inline TComplex CosSin(long double x) {
  using namespace MatheDetail;
  if (!(std::fabs(x) <= StepReductionLimit)) return {std::cos(x), std::sin(x)};
  // The nearest step, rounded by adding and removing 1.5 * 2^52 in double;
  // nearbyintl would save and restore the floating-point state.
  const double k = (static_cast<double>(x * StepsPerRadian) + 0x1.8p52) - 0x1.8p52;
  const long double r = StepRest(x, k);
  // Only the first terms of the series need long double; the rest is
  // computed in double, several times faster than on the x87 unit.
  const TComplexD rest = SmallCosSinRest(static_cast<double>(r));
  return ComplexProduct(RoundStep(k), TComplex{1.0L - rest.C, r - rest.S});
}

// Cosine and sine in double for the small terms (within a unit in the last
// place of a double for |x| up to a million radians).
inline TComplexD CosSinD(double x) {
  using namespace MatheDetail;
  if (!(std::fabs(x) <= StepReductionLimitD)) return {std::cos(x), std::sin(x)};
  const double k = NearestStepD(x);
  const double r = StepRestD(x, k);
  const TComplexD& step = RoundStepD(k);
  const TComplexD rest = SmallCosSinRest(r);
  return ComplexProduct(step, TComplexD{1.0 - rest.C, r - rest.S});
}

// Inlined, the cosine the pair would carry is never computed.
inline double SineD(double x) {
  return CosSinD(x).S;
}

// SineD of many angles, two at a time in the halves of an SSE register:
// the same steps, rounded the same way, so bit for bit the same values,
// for little more than the cost of one. The series' small terms need a
// few dozen sines of independent angles per call.
namespace MatheDetail {
using TDouble2 = double __attribute__((vector_size(16)));

template <std::size_t N> inline bool AllInStepRange(const std::array<double, N>& x) {
  bool inRange = true;
  for (const double a : x) inRange = inRange && std::fabs(a) <= StepReductionLimitD;
  return inRange;
}
} // namespace MatheDetail

// Each step is taken for all pairs before the next. Taken pair by pair,
// the compiler sets up every constant of the series anew for each pair,
// as it has too few registers to keep them all, and without SSE3 a
// register of two equal doubles takes two instructions.
template <std::size_t N> inline std::array<double, N> SinesD(const std::array<double, N>& x) {
  using namespace MatheDetail;
  constexpr std::size_t Pairs = N / 2;
  std::array<double, N> s;
  if (!AllInStepRange(x)) {
    for (std::size_t i = 0; i < N; ++i) s[i] = SineD(x[i]);
    return s;
  }
  std::array<TDouble2, Pairs> r, t2, stepC, stepS, cosine, sine;
#pragma GCC unroll 16
  for (std::size_t p = 0; p < Pairs; ++p) {
    const TDouble2 angle = {x[2 * p], x[2 * p + 1]};
    const TDouble2 k = NearestStepD(angle);
    r[p] = StepRestD(angle, k);
    t2[p] = r[p] * r[p];
    const TComplexD& step0 = RoundStepD(k[0]);
    const TComplexD& step1 = RoundStepD(k[1]);
    stepC[p] = TDouble2{step0.C, step1.C};
    stepS[p] = TDouble2{step0.S, step1.S};
  }
#pragma GCC unroll 16
  for (std::size_t p = 0; p < Pairs; ++p) cosine[p] = 1.0 - SmallCosRest(t2[p]);
#pragma GCC unroll 16
  for (std::size_t p = 0; p < Pairs; ++p) sine[p] = r[p] - SmallSinRest(r[p], t2[p]);
#pragma GCC unroll 16
  for (std::size_t p = 0; p < Pairs; ++p) {
    // The imaginary part of step * (1 - cos rest, r - sin rest), as in CosSinD.
    const TDouble2 pair = stepS[p] * cosine[p] + stepC[p] * sine[p];
    s[2 * p] = pair[0];
    s[2 * p + 1] = pair[1];
  }
  if (N % 2 == 1) s[N - 1] = SineD(x[N - 1]);
  return s;
}

// CosSin of two angles at once: the steps in double, the nearest step of
// pi/64 and the short series of the rest, are taken for both in the halves
// of SSE registers, the steps in long double one after the other, all
// rounded as in CosSin, so bit for bit the same pairs.
inline std::array<TComplex, 2> CosSins(long double x0, long double x1) {
  using namespace MatheDetail;
  if (!(std::fabs(x0) <= StepReductionLimit && std::fabs(x1) <= StepReductionLimit))
    return {CosSin(x0), CosSin(x1)};
  const TDouble2 steps = {static_cast<double>(x0 * StepsPerRadian),
                          static_cast<double>(x1 * StepsPerRadian)};
  const TDouble2 k = (steps + 0x1.8p52) - 0x1.8p52;
  const long double r0 = StepRest(x0, k[0]), r1 = StepRest(x1, k[1]);
  const TDouble2 r = {static_cast<double>(r0), static_cast<double>(r1)};
  const TDouble2 t2 = r * r;
  const TDouble2 restC = SmallCosRest(t2), restS = SmallSinRest(r, t2);
  return {ComplexProduct(RoundStep(k[0]), TComplex{1.0L - restC[0], r0 - restS[0]}),
          ComplexProduct(RoundStep(k[1]), TComplex{1.0L - restC[1], r1 - restS[1]})};
}

// CosSinD of two angles at once, in the halves of SSE registers: the same
// steps, rounded the same way, so bit for bit the same pairs, for little
// more than the cost of one (as SinesD).
inline std::array<TComplexD, 2> CosSinsD(double x0, double x1) {
  using namespace MatheDetail;
  if (!(std::fabs(x0) <= StepReductionLimitD && std::fabs(x1) <= StepReductionLimitD))
    return {CosSinD(x0), CosSinD(x1)};
  const TDouble2 angle = {x0, x1};
  const TDouble2 k = NearestStepD(angle);
  const TDouble2 r = StepRestD(angle, k);
  const TDouble2 t2 = r * r;
  const TComplexD& step0 = RoundStepD(k[0]);
  const TComplexD& step1 = RoundStepD(k[1]);
  const TDouble2 stepC = {step0.C, step1.C}, stepS = {step0.S, step1.S};
  const TDouble2 cosine = 1.0 - SmallCosRest(t2);
  const TDouble2 sine = r - SmallSinRest(r, t2);
  // ComplexProduct(step, (cosine, sine)), as in CosSinD.
  const TDouble2 c = stepC * cosine - stepS * sine;
  const TDouble2 s = stepS * cosine + stepC * sine;
  return {TComplexD{c[0], s[0]}, TComplexD{c[1], s[1]}};
}

// A cosine/sine pair (C, S) in the two halves of an SSE register, for the
// series' many small terms. A complex product of two pairs takes two
// multiplications, one addition and one swap of halves instead of four
// multiplications and two additions, rounded the same way as
// ComplexProduct. The second factor of such products is prepared once for
// all of them: (C, C) and (-S, S).
using TPairD = MatheDetail::TDouble2;

struct TFactorD {
  TPairD Cos; // (C, C)
  TPairD Sin; // (-S, S)
};

inline TFactorD Factor(TPairD w) {
  return {TPairD{w[0], w[0]}, TPairD{-w[1], w[1]}};
}

inline TPairD SwapHalves(TPairD z) {
  return TPairD{z[1], z[0]};
}

// z w: (zC wC + zS (-wS), zS wC + zC wS), bit for bit ComplexProduct, as a
// product's sign never changes its rounding.
inline TPairD Product(TPairD z, const TFactorD& w) {
  return z * w.Cos + SwapHalves(z) * w.Sin;
}

// z times the conjugate of w: (zC wC + zS wS, zS wC - zC wS).
inline TPairD ProductWithConjugate(TPairD z, const TFactorD& w) {
  return z * w.Cos - SwapHalves(z) * w.Sin;
}

inline TPairD Conjugate(TPairD z) {
  return z * TPairD{1.0, -1.0};
}

// An angle of many turns, known to long double precision, reduced to
// within 5/4 pi of zero before it is rounded to a double, so that it keeps
// its digits. Inline, as CosSinD, for the long-period terms of the Sun.
inline double ReduceAngle(long double x) {
  long double r;
  int quadrant;
  if (!MatheDetail::ReduceQuarterTurns(x, r, quadrant)) return static_cast<double>(x);
  // Quadrants 2 and 3 are the same angles as -2 and -1 (0 and 1 stay).
  quadrant = (quadrant ^ 2) - 2;
  return static_cast<double>(r + quadrant * (Pi / 2.0L));
}

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
// Nearly always the whole number to take off is decided in double from x
// rounded to a double (FloorInDouble), and the one subtraction left in long
// double is exact. Close to a whole number they take off the nearest whole
// number first, which leaves the rest exact, and then add or remove one
// turn where needed: the result is the exact difference rounded once, as
// with Floor and Trunc. The usual way needs no x87 comparison at all.
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

// Closer than this to a whole number, x rounded to a double may lie on it
// or on its other side, and a negative x's fraction may round up to 1.
constexpr double NearWholeGap = 0x1p-40;

// Floor(x) in double, decided from x rounded to a double: rounding never
// carries a number past a whole number (each is a double here), so x and
// its double lie on the same side of the nearest one unless the double
// lands on it. False within NearWholeGap of a whole number, for |x| of
// 2^51 or more, and for what is no number. These comparisons in double
// cost less than the x87 comparison of the rest with zero that they save.
inline bool FloorInDouble(long double x, double& whole, double& xd) {
  xd = static_cast<double>(x);
  if (!(std::fabs(xd) < 0x1p51)) return false;
  const double nearest = (xd + 0x1.8p52) - 0x1.8p52;
  const double gap = xd - nearest;
  if (!(std::fabs(gap) >= NearWholeGap)) return false;
  whole = nearest - (gap < 0.0 ? 1.0 : 0.0);
  return true;
}
} // namespace MatheDetail

// In [0, 1], 1 only where a tiny negative x rounds up to it.
inline long double FractionalPart(long double x) {
  double whole, xd;
  // Away from whole numbers x - whole is exact: no rounding, no 1.
  if (MatheDetail::FloorInDouble(x, whole, xd)) return x - static_cast<long double>(whole);
  long double rest = 0;
  if (!MatheDetail::NearestRest(x, rest)) return x - Floor(x);
  return rest < 0.0L ? rest + 1.0L : rest;
}

// The same in [0, 1) for the series' turns: a fraction that rounds up to
// a whole turn counts as none. Away from whole numbers that cannot happen,
// so the fast way needs no comparison at all.
inline long double FractionOfTurn(long double x) {
  double whole, xd;
  if (MatheDetail::FloorInDouble(x, whole, xd)) return x - static_cast<long double>(whole);
  const long double f = FractionalPart(x);
  return f >= 1.0L ? 0.0L : f;
}

// With the sign of x: in [0, 1] for x >= 0, in [-1, 0] for negative x;
// +-1 only where a tiny rest rounds to it.
inline long double SignedFractionalPart(long double x) {
  double whole, xd;
  // Away from whole numbers x is none, so Trunc is Floor + 1 below zero.
  if (MatheDetail::FloorInDouble(x, whole, xd))
    return x - static_cast<long double>(whole + (xd < 0.0 ? 1.0 : 0.0));
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
