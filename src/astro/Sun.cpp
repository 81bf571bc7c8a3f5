// The solar theory: the Earth's elliptic motion as a series in its mean
// anomaly, perturbations by Venus, Mars, Jupiter, Saturn and the Moon, and
// four long-period terms. Multiples of the mean anomalies come from tables
// of complex powers, so each call needs only one sine and cosine per angle.
//
// The fundamental arguments grow by hundreds of turns over the centuries and
// are reduced to one turn in long double. The elliptic motion (the equation
// of the centre, thousands of arcseconds) is summed in long double; the
// perturbations, none above twenty arcseconds, are summed in double, which
// leaves them exact to far below 1e-15 arcseconds and is much faster.
#include "Sun.h"

#include "Mathe.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <span>

namespace {

// The series was fitted with 2 pi cut off after nine decimals; the
// fundamental arguments keep that value so they match the coefficients.
constexpr long double TwoPiS = 6.283185307L;

// Loaded as a pair of doubles (see TLongConstant), as are the
// coefficients of the arguments.
constexpr TLongConstant TwoPiSC = LongConstant(TwoPiS);

// Keeps the sign, so arguments of dates before 2000 are negative; only
// their sines and cosines are used.
long double FracS(long double x) {
  return SignedFractionalPart(x);
}

// a + b T in revolutions.
struct TLinear {
  TLongConstant A, B;
};

consteval TLinear Linear(long double a, long double b) {
  return {LongConstant(a), LongConstant(b)};
}

[[gnu::always_inline]] inline long double Argument(const TLinear& f, long double T) {
  return Load(TwoPiSC) * FracS(Load(f.A) + Load(f.B) * T);
}

// The same rounded to a double, for the perturbations, whose sines and
// cosines are taken in double: kept as a long double, each would be
// stored and loaded as 80 bits, as the x87 unit holds no more than eight.
[[gnu::always_inline]] inline double ArgumentD(const TLinear& f, long double T) {
  return static_cast<double>(Argument(f, T));
}

// One row of the elliptic motion: the multiple of M3, the power of T, and
// the coefficients of cosine and sine for longitude (arcseconds) and
// distance (1e-6 AU). A row with n > 0 is T times the row before. The
// coefficients are loaded as pairs of doubles (see TLongConstant).
struct TEllipticTerm {
  int i3, n;
  TLongConstant c1, c2, c3, c4;
};

consteval TEllipticTerm Elliptic(int i3, int n, long double c1, long double c2, long double c3,
                                 long double c4) {
  return {i3, n, LongConstant(c1), LongConstant(c2), LongConstant(c3), LongConstant(c4)};
}

// One row of a planet's table: the multiples of M3 and of the planet's
// mean anomaly, and the coefficients of cosine and sine for longitude
// (arcseconds), distance (1e-6 AU) and latitude (arcseconds).
struct TPerturbation {
  int i3, ik;
  double c1, c2, c3, c4, c5, c6;
};

// clang-format off
// The first six rows of the classical table of Venus: they hold M3 alone.
constexpr TEllipticTerm EllipticTerms[] = {
    Elliptic(1, 0, -0.22L, 6892.76L, -16707.37L, -0.54L),
    Elliptic(1, 1, -0.06L, -17.35L, 42.04L, -0.15L),
    Elliptic(1, 2, -0.01L, -0.05L, 0.13L, -0.02L),
    Elliptic(2, 0, 0, 71.98L, -139.57L, 0),
    Elliptic(2, 1, 0, -0.36L, 0.7L, 0),
    Elliptic(3, 0, 0, 1.04L, -1.75L, 0),
};

constexpr TPerturbation VenusTerms[] = {
    {0, -1, 0.03, -0.07, -0.16, -0.07, 0.02, -0.02},
    {1, -1, 2.35, -4.23, -4.75, -2.64, 0, 0},
    {1, -2, -0.1, 0.06, 0.12, 0.2, 0.02, 0},
    {2, -1, -0.06, -0.03, 0.2, -0.01, 0.01, -0.09},
    {2, -2, -4.7, 2.9, 8.28, 13.42, 0.01, -0.01},
    {3, -2, 1.8, -1.74, -1.44, -1.57, 0.04, -0.06},
    {3, -3, -0.67, 0.03, 0.11, 2.43, 0.01, 0},
    {4, -2, 0.03, -0.03, 0.1, 0.09, 0.01, -0.01},
    {4, -3, 1.51, -0.4, -0.88, -3.36, 0.18, -0.1},
    {4, -4, -0.19, -0.09, -0.38, 0.77, 0, 0},
    {5, -3, 0.76, -0.68, 0.3, 0.37, 0.01, 0},
    {5, -4, -0.14, -0.04, -0.11, 0.43, -0.03, 0},
    {5, -5, -0.05, -0.07, -0.31, 0.21, 0, 0},
    {6, -4, 0.15, -0.04, -0.06, -0.21, 0.01, 0},
    {6, -5, -0.03, -0.03, -0.09, 0.09, -0.01, 0},
    {6, -6, 0, -0.04, -0.18, 0.02, 0, 0},
    {7, -5, -0.12, -0.03, -0.08, 0.31, -0.02, -0.01},
};

constexpr TPerturbation MarsTerms[] = {
    {1, -1, -0.22, 0.17, -0.21, -0.27, 0, 0},
    {1, -2, -1.66, 0.62, 0.16, 0.28, 0, 0},
    {2, -2, 1.96, 0.57, -1.32, 4.55, 0, 0.01},
    {2, -3, 0.4, 0.15, -0.17, 0.46, 0, 0},
    {2, -4, 0.53, 0.26, 0.09, -0.22, 0, 0},
    {3, -3, 0.05, 0.12, -0.35, 0.15, 0, 0},
    {3, -4, -0.13, -0.48, 1.06, -0.29, 0.01, 0},
    {3, -5, -0.04, -0.2, 0.2, -0.04, 0, 0},
    {4, -4, 0, -0.03, 0.1, 0.04, 0, 0},
    {4, -5, 0.05, -0.07, 0.2, 0.14, 0, 0},
    {4, -6, -0.1, 0.11, -0.23, -0.22, 0, 0},
    {5, -7, -0.05, 0, 0.01, -0.14, 0, 0},
    {5, -8, 0.05, 0.01, -0.02, 0.1, 0, 0},
};

constexpr TPerturbation JupiterTerms[] = {
    {-1, -1, 0.01, 0.07, 0.18, -0.02, 0, -0.02},
    {0, -1, -0.31, 2.58, 0.52, 0.34, 0.02, 0},
    {1, -1, -7.21, -0.06, 0.13, -16.27, 0, -0.02},
    {1, -2, -0.54, -1.52, 3.09, -1.12, 0.01, -0.17},
    {1, -3, -0.03, -0.21, 0.38, -0.06, 0, -0.02},
    {2, -1, -0.16, 0.05, -0.18, -0.31, 0.01, 0},
    {2, -2, 0.14, -2.73, 9.23, 0.48, 0, 0},
    {2, -3, 0.07, -0.55, 1.83, 0.25, 0.01, 0},
    {2, -4, 0.02, -0.08, 0.25, 0.06, 0, 0},
    {3, -2, 0.01, -0.07, 0.16, 0.04, 0, 0},
    {3, -3, -0.16, -0.03, 0.08, -0.64, 0, 0},
    {3, -4, -0.04, -0.01, 0.03, -0.17, 0, 0},
};

constexpr TPerturbation SaturnTerms[] = {
    {0, -1, 0, 0.32, 0.01, 0, 0, 0},
    {1, -1, -0.08, -0.41, 0.97, -0.18, 0, -0.01},
    {1, -2, 0.04, 0.1, -0.23, 0.1, 0, 0},
    {2, -2, 0.04, 0.1, -0.35, 0.13, 0, 0},
};
// clang-format on

// The power tables of one call; local to the call, so SunPosition keeps no
// state between calls.
struct TSunState {
  long double T = 0;
  TPairD E3[9];   // exp(i j M3) for j = -1 .. 7, stored at j + 1
  TFactorD F3[9]; // the same as factors of products
  TPairD Ek[9];   // exp(i j Mk) for j = 0 .. -8, stored at -j
};

// The sums of the perturbations, in arcseconds and 1e-6 AU.
struct TSums {
  double DL = 0, DR = 0, DB = 0;
};

TPairD& E3At(TSunState& s, int j) {
  return s.E3[j + 1];
}
TFactorD& F3At(TSunState& s, int j) {
  return s.F3[j + 1];
}
TPairD& EkAt(TSunState& s, int j) {
  return s.Ek[-j];
}

// The rows of the elliptic motion with the multiple j of M3, whose cosine
// and sine are (U, V); the power is also taken over by the double table.
// The tests of the rows fold away, as the loop is unrolled, and so do the
// products with zero coefficients: adding a zero leaves a sum that is not
// zero as it is, and no sum is zero after its first term. rows is
// the table itself, read through a pointer (see EllipticMotion).
[[gnu::always_inline]] inline void UsePower(TSunState& s, const TEllipticTerm* rows, int j,
                                            long double U, long double V, long double& DL,
                                            long double& DR) {
  E3At(s, j) = TPairD{static_cast<double>(U), static_cast<double>(V)};
#pragma GCC unroll 8
  for (std::size_t i = 0; i < std::size(EllipticTerms); ++i) {
    const TEllipticTerm& r = EllipticTerms[i];
    if (r.i3 != j) continue;
    if (r.n > 0) {
      // T^n times the argument of the row before (whose n is one less).
      U = U * s.T;
      V = V * s.T;
    }
    if (r.c1.Value != 0.0L) DL = DL + LoadStored(rows[i].c1) * U;
    if (r.c2.Value != 0.0L) DL = DL + LoadStored(rows[i].c2) * V;
    if (r.c3.Value != 0.0L) DR = DR + LoadStored(rows[i].c3) * U;
    if (r.c4.Value != 0.0L) DR = DR + LoadStored(rows[i].c4) * V;
  }
}

// The equation of the centre and the distance in long double: its largest
// terms reach 7000 arcseconds, and 1e-12 degrees of them need more than the
// sixteen digits of a double. Each power of exp(i M3) is used while it is
// still on the x87 stack: stored as 80 bits and loaded again, as in a
// table, every value costs a microcoded store and load (fstp m80, fld m80).
// The double table of the powers takes them over rounded and goes on to
// the seventh.
void EllipticMotion(TSunState& s, long double M3, long double& DL, long double& DR) {
  // The coefficients read through a pointer the optimiser cannot follow:
  // known to it, each would be loaded as an 80-bit constant (fld m80,
  // microcoded), and all of them before the first product.
  const TEllipticTerm* rows = EllipticTerms;
  asm("" : "+r"(rows));
  const TComplex e1 = CosSin(M3);
  UsePower(s, rows, 1, e1.C, e1.S, DL, DR);
  const TComplex e2 = ComplexProduct(e1, e1);
  UsePower(s, rows, 2, e2.C, e2.S, DL, DR);
  const TComplex e3 = ComplexProduct(e2, e1);
  UsePower(s, rows, 3, e3.C, e3.S, DL, DR);
  E3At(s, 0) = TPairD{1.0, 0.0};
  E3At(s, -1) = Conjugate(E3At(s, 1));
  F3At(s, 1) = Factor(E3At(s, 1));
  for (int j = 4; j <= 7; ++j) E3At(s, j) = Product(E3At(s, j - 1), F3At(s, 1));
  // No factor for j = 0: the planets' rows take (1, 0) as no product.
  F3At(s, -1) = Factor(E3At(s, -1));
  for (int j = 2; j <= 7; ++j) F3At(s, j) = Factor(E3At(s, j));
}

// Only the powers down to the lowest one the planet's table uses are built;
// the table holds nine entries, 0 .. -8. e is exp(i Mk).
[[gnu::always_inline]] inline void BuildEk(TSunState& s, TComplexD e, int lowest) {
  EkAt(s, 0) = TPairD{1.0, 0.0};
  EkAt(s, -1) = TPairD{e.C, -e.S};
  const TFactorD step = Factor(EkAt(s, -1));
  for (int j = -2; j >= lowest; --j) EkAt(s, j) = Product(EkAt(s, j + 1), step);
}

// sum += c1 cos + c2 sin, with the cosine and sine P. The tables are full
// of zero coefficients, above all for the latitude; as the loop below is
// unrolled, their products fold away: a product with 0 is a zero, and
// adding a zero leaves any sum that is not zero as it is (and neither the
// sums, after the first term, nor the products of these tables ever are).
[[gnu::always_inline]] inline void AddCosSin(double& sum, double c1, double c2, TPairD P) {
  if (c1 != 0.0 && c2 != 0.0)
    sum += c1 * P[0] + c2 * P[1];
  else if (c1 != 0.0)
    sum += c1 * P[0];
  else if (c2 != 0.0)
    sum += c2 * P[1];
}

// The longitude and the distance side by side: (DL, DR) += (c1, c3) cos +
// (c2, c4) sin, each half as AddCosSin (a zero coefficient's product adds
// a zero to the other product, which leaves it as it is).
[[gnu::always_inline]] inline void AddLongitudeAndDistance(TPairD& sums, const TPerturbation& r,
                                                           TPairD P) {
  const TPairD cosine = {P[0], P[0]}, sine = {P[1], P[1]};
  sums += TPairD{r.c1, r.c3} * cosine + TPairD{r.c2, r.c4} * sine;
}

// Inline and unrolled, each planet's table is known to the compiler: its
// multiples and coefficients become constants, and the four planets'
// products overlap.
[[gnu::always_inline]] inline void AddPlanet(TSunState& s, TComplexD eMk, int lowest,
                                             std::span<const TPerturbation> terms, TSums& total) {
  BuildEk(s, eMk, lowest);
  // Local copies of the sums can stay in registers through the loop.
  TPairD longitudeAndDistance = {total.DL, total.DR};
  double DB = total.DB;
#pragma GCC unroll 32
  for (const TPerturbation& r : terms) {
    // E3[0] is (1, 0), whose product gives the other factor back. Ek E3
    // rounds as E3 Ek: products and sums do not depend on the order.
    const TPairD P = r.i3 == 0 ? EkAt(s, r.ik) : Product(EkAt(s, r.ik), F3At(s, r.i3));
    AddLongitudeAndDistance(longitudeAndDistance, r, P);
    AddCosSin(DB, r.c5, r.c6, P);
  }
  total.DL = longitudeAndDistance[0];
  total.DR = longitudeAndDistance[1];
  total.DB = DB;
}

// The Moon pulls the Earth round the common centre of mass. The sums and
// differences of the angles come from products of their cosine/sine pairs,
// eD = exp(i D) and eA = exp(i A).
void AddMoon(TSunState& s, TComplexD eD, TComplexD eA, double U, TSums& sums) {
  const TComplexD eM3 = {E3At(s, 1)[0], E3At(s, 1)[1]};
  const TComplexD DminusA = ComplexProduct(eD, Conjugate(eA));
  const TComplexD DplusA = ComplexProduct(eD, eA);
  const TComplexD DminusM3 = ComplexProduct(eD, Conjugate(eM3));
  const TComplexD DplusM3 = ComplexProduct(eD, eM3);
  sums.DL +=
      6.45 * eD.S - 0.42 * DminusA.S + 0.18 * DplusA.S + 0.17 * DminusM3.S - 0.06 * DplusM3.S;
  sums.DR +=
      30.76 * eD.C - 3.06 * DminusA.C + 0.85 * DplusA.C - 0.58 * DplusM3.C + 0.57 * DminusM3.C;
  sums.DB += 0.576 * SineD(U);
}

// Long-period terms; their arguments stay small, so no fractional part.
// The four sines side by side, two at a time (SinesD).
double LongPeriodTerms(long double T) {
  const auto angle = [T](const TLinear& f) {
    return ReduceAngle(Load(TwoPiSC) * (Load(f.A) + Load(f.B) * T));
  };
  const std::array<double, 4> sine = SinesD(
      std::array<double, 4>{angle(Linear(0.6983L, 0.0561L)), angle(Linear(0.5764L, 0.4174L)),
                            angle(Linear(0.4189L, 0.3306L)), angle(Linear(0.3581L, 2.4814L))});
  return 6.40 * sine[0] + 1.87 * sine[1] + 0.27 * sine[2] + 0.20 * sine[3];
}

} // namespace

void SunPosition(long double T, long double& L, long double& B, long double& R) {
  TSunState s;
  s.T = T;
  TSums sums;

  // First, though they are added last: the long-period terms depend on T
  // alone, and their chain of x87 and double steps waits on one step after
  // the other. Started first, it runs alongside the planets' many
  // independent products instead of after them.
  const double longPeriod = LongPeriodTerms(T);
  const double M2 = ArgumentD(Linear(0.1387306L, 162.5485917L), T);
  const long double M3 = Argument(Linear(0.9931266L, 99.9973604L), T);
  const double M4 = ArgumentD(Linear(0.054325L, 53.1666028L), T);
  const double M5 = ArgumentD(Linear(0.055175L, 8.4293972L), T);
  const double M6 = ArgumentD(Linear(0.88165L, 3.3938722L), T);
  const double D = ArgumentD(Linear(0.8274L, 1236.8531L), T);
  const double A = ArgumentD(Linear(0.3749L, 1325.5524L), T);
  const double Uarg = ArgumentD(Linear(0.2591L, 1342.2278L), T);
  long double DL = 0, DR = 0;
  EllipticMotion(s, M3, DL, DR);
  // The cosines and sines of the planets' mean anomalies and of the Moon's
  // arguments two at a time (CosSinsD): one after the other, each pair's
  // chain of steps waited for the one before.
  const std::array<TComplexD, 2> venusMars = CosSinsD(M2, M4);
  const std::array<TComplexD, 2> jupiterSaturn = CosSinsD(M5, M6);
  const std::array<TComplexD, 2> moon = CosSinsD(D, A);
  AddPlanet(s, venusMars[0], -6, VenusTerms, sums);
  AddPlanet(s, venusMars[1], -8, MarsTerms, sums);
  AddPlanet(s, jupiterSaturn[0], -4, JupiterTerms, sums);
  AddPlanet(s, jupiterSaturn[1], -2, SaturnTerms, sums);
  AddMoon(s, moon[0], moon[1], Uarg, sums);
  sums.DL += longPeriod;
  DL = DL + sums.DL;
  DR = DR + sums.DR;

  // The constants as pairs of doubles (see TLongConstant).
  L = Load(LongConstant(2.0L * Pi)) *
      FracS(Load(LongConstant(0.7859453L)) + M3 / Load(TwoPiSC) +
            ((Load(LongConstant(6191.2L)) + Load(LongConstant(1.1L)) * T) * T + DL) / 1296000.0L);
  R = Load(LongConstant(1.0001398L)) - Load(LongConstant(0.0000007L)) * T +
      DR * Load(LongConstant(1e-6L));
  B = sums.DB / 3600.0L * Load(LongConstant(Pi)) / 180.0L;
}
