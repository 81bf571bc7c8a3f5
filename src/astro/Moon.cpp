// Moon: geocentric ecliptic coordinates of the Moon from a truncated form of
// Brown's lunar theory: long-periodic corrections of the mean arguments,
// solar perturbation terms, latitude terms and planetary terms. Every
// multiple of the four arguments comes from a table of complex powers, so
// the terms themselves need no sine or cosine.
//
// The mean arguments grow by more than a thousand turns a century and are
// reduced to one turn in long double. The thirteen terms above 100
// arcseconds (the largest is 22639") and the largest latitude term are
// summed in long double; the hundred smaller ones in double, much faster
// and still exact to some 1e-14 arcseconds.
#include "Moon.h"

#include "Mathe.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <span>

namespace {

// This theory rounds 2 pi up in the last digit; the coefficients go with it.
constexpr long double TwoPiM = 6.283185308L;
constexpr long double Rho = 206264.81L; // arcseconds per radian
// Both loaded as pairs of doubles (see TLongConstant).
constexpr TLongConstant TwoPiMC = LongConstant(TwoPiM);
constexpr TLongConstant RhoC = LongConstant(Rho);

// The fractional part in [0, 1), also for negative x (dates before 2000).
// Inline: GCC left it a call, with its argument and result passed through
// memory, from each of its 27 uses.
[[gnu::always_inline]] inline long double Frac(long double x) {
  return FractionOfTurn(x);
}

// a + b T + c T^2 in revolutions, its coefficients loaded as pairs of
// doubles: the series evaluate 26 such polynomials per call.
struct TPolynomial {
  TLongConstant A, B, C;
};

consteval TPolynomial Polynomial(long double a, long double b, long double c = 0.0L) {
  return {LongConstant(a), LongConstant(b), LongConstant(c)};
}

// The angle in radians, within one turn, of a polynomial without T^2.
[[gnu::always_inline]] inline long double LinearAngle(const TPolynomial& f, long double T) {
  return Load(TwoPiMC) * Frac(Load(f.A) + Load(f.B) * T);
}

// The angles of the 21 sines for terms of a few arcseconds: ten for the
// long-periodic corrections of the mean arguments, eleven for the
// planetary terms. A negative b stands for a - |b| T: the product changes
// only its sign.
constexpr TPolynomial LongPeriodicArguments[] = {
    // the first seven for the arguments, three for the node
    Polynomial(0.19833L, 0.05611L),  Polynomial(0.27869L, 0.04508L),
    Polynomial(0.16827L, -0.36903L), Polynomial(0.34734L, -5.37261L),
    Polynomial(0.10498L, -5.37899L), Polynomial(0.42681L, -0.41855L),
    Polynomial(0.14943L, -5.37511L), Polynomial(0.59734L, -5.37261L),
    Polynomial(0.35498L, -5.37899L), Polynomial(0.39943L, -5.37511L)};
constexpr TPolynomial PlanetaryArguments[] = {
    Polynomial(0.7736L, -62.5512L),  Polynomial(0.0466L, -125.1025L),
    Polynomial(0.5785L, -25.1042L),  Polynomial(0.4591L, 1335.8075L),
    Polynomial(0.3130L, -91.5680L),  Polynomial(0.1480L, 1331.2898L),
    Polynomial(0.5918L, 1056.5859L), Polynomial(0.5784L, 1322.8595L),
    Polynomial(0.2275L, -5.7374L),   Polynomial(0.2965L, 2.6929L),
    Polynomial(0.3132L, 6.3368L)};
using TLongPeriodicSines = std::array<double, std::size(LongPeriodicArguments)>;
using TPlanetarySines = std::array<double, std::size(PlanetaryArguments)>;

// The sines of a table's angles side by side: first every angle in long
// double, then the sines two at a time (SinesD). One after the other, each
// sine's chain of x87 and double steps waited for the one before; side by
// side they overlap. Unrolled, so that the coefficients are constants.
template <std::size_t N>
[[gnu::always_inline]] inline std::array<double, N> Sines(const TPolynomial (&arguments)[N],
                                                          long double T) {
  std::array<double, N> angle;
#pragma GCC unroll 32
  for (std::size_t i = 0; i < N; ++i) angle[i] = static_cast<double>(LinearAngle(arguments[i], T));
  return SinesD(angle);
}

// A term with the multiples (p, q, r, s) of (l, l', F, D), in long double;
// its long double coefficients are loaded as pairs of doubles.
struct TLeadingTerm {
  int p, q, r, s;
  TLongConstant cL, cS; // arcseconds
  double cG, cP;        // arcseconds
};

consteval TLeadingTerm Leading(int p, int q, int r, int s, long double cL, long double cS,
                               double cG, double cP) {
  return {p, q, r, s, LongConstant(cL), LongConstant(cS), cG, cP};
}

// The same for the small terms, in double.
struct TSolarTerm {
  int p, q, r, s;
  double cL, cS, cG, cP; // arcseconds
};

struct TNodeTerm {
  int p, q, r, s;
  double cN; // arcseconds
};

// clang-format off
// The terms above 100 arcseconds in longitude, from all three groups.
constexpr TLeadingTerm LeadingTerms[] = {
    Leading(0, 0, 0, 2, 2369.912L, 2373.36L, 0.601, 28.2333),
    Leading(0, 0, 0, 1, -125.154L, -112.79L, -0.725, -0.9781),
    Leading(1, 0, 0, 2, 191.953L, 192.72L, 0.029, 3.0861),
    Leading(1, 0, 0, 0, 22639.5L, 22609.07L, 0.079, 186.5398),
    Leading(1, 0, 0, -2, -4586.465L, -4578.13L, -0.077, 34.3117),
    Leading(0, 1, 0, 0, -668.146L, -126.98L, -1.302, -0.3997),
    Leading(0, 1, 0, -2, -165.145L, -165.06L, 0.054, 1.9178),
    Leading(2, 0, 0, 0, 769.016L, 767.96L, 0.107, 10.1657),
    Leading(2, 0, 0, -2, -211.656L, -152.53L, 5.679, -0.3039),
    Leading(1, 1, 0, 0, -109.673L, -115.18L, 0.461, -0.949),
    Leading(1, 1, 0, -2, -205.962L, -182.36L, 2.056, 1.4437),
    Leading(1, -1, 0, 0, 147.687L, 138.76L, 0.679, 1.1528),
    Leading(0, 0, 2, 0, -411.608L, -0.2L, 0, -0.0124),
};

constexpr TSolarTerm FirstGroup[] = {
    {0, 0, 0, 4, 13.902, 14.06, -0.001, 0.2607},
    {0, 0, 0, 3, 0.403, -4.01, 0.394, 0.0023},
    {1, 0, 0, 4, 1.979, 6.98, -0.445, 0.0433},
    {1, 0, 0, 1, -8.466, -13.51, 0.455, -0.1093},
    {1, 0, 0, -1, 18.609, 3.59, -0.094, 0.0118},
    {1, 0, 0, -3, 3.215, 5.44, 0.192, -0.0386},
    {1, 0, 0, -4, -38.428, -38.64, 0.001, 0.6008},
    {1, 0, 0, -6, -0.393, -1.43, -0.092, 0.0086},
    {0, 1, 0, 4, -0.289, -1.59, 0.123, -0.0053},
    {0, 1, 0, 2, -24.42, -25.1, 0.04, -0.3},
    {0, 1, 0, 1, 18.023, 17.93, 0.007, 0.1494},
    {0, 1, 0, -1, 0.56, 0.32, -0.001, -0.0037},
    {0, 1, 0, -4, -1.877, -6.46, -0.416, 0.0339},
    {2, 0, 0, 4, 0.213, 1.02, -0.074, 0.0054},
    {2, 0, 0, 2, 14.387, 14.78, -0.017, 0.2833},
    {2, 0, 0, 1, -0.586, -1.2, 0.054, -0.01},
    {2, 0, 0, -1, 1.75, 2.01, -0.018, 0.0155},
    {2, 0, 0, -3, 1.225, 0.91, -0.03, -0.0088},
    {2, 0, 0, -4, -30.773, -34.07, -0.308, 0.3722},
    {2, 0, 0, -6, -0.57, -1.4, -0.074, 0.0109},
    {1, 1, 0, 2, -2.921, -11.75, 0.787, -0.0484},
    {1, 1, 0, 1, 1.267, 1.52, -0.022, 0.0164},
    {1, 1, 0, -3, 0.233, 0.36, 0.012, -0.0025},
    {1, 1, 0, -4, -4.391, -9.66, -0.471, 0.0673},
};

constexpr TSolarTerm SecondGroup[] = {
    {1, -1, 0, 4, 0.283, 1.53, -0.111, 0.006},
    {1, -1, 0, 2, 14.577, 31.7, -1.54, 0.2302},
    {1, -1, 0, -1, -1.089, 0.55, 0.021, 0},
    {1, -1, 0, -2, 28.475, 23.59, -0.443, -0.2257},
    {1, -1, 0, -3, -0.276, -0.38, -0.006, -0.0036},
    {1, -1, 0, -4, 0.636, 2.27, 0.146, -0.0102},
    {0, 2, 0, 2, -0.189, -1.68, 0.131, -0.0028},
    {0, 2, 0, 0, -7.486, -0.66, -0.037, -0.0086},
    {0, 2, 0, -2, -8.096, -16.35, -0.74, 0.0918},
    {0, 0, 2, 2, -5.741, -0.04, 0, -0.0009},
    {0, 0, 2, 1, 0.255, 0, 0, 0},
    {0, 0, 2, -1, 0.584, 0.84, 0, 0.0071},
    {0, 0, 2, -2, -55.173, -52.14, 0, -0.1052},
    {0, 0, 2, -3, 0.254, 0.25, 0, -0.0017},
    {0, 0, 2, -4, 0.025, -1.67, 0, 0.0031},
    {3, 0, 0, 2, 1.06, 2.96, -0.166, 0.0243},
    {3, 0, 0, 0, 36.124, 50.64, -1.3, 0.6215},
    {3, 0, 0, -2, -13.193, -16.4, 0.258, -0.1187},
    {3, 0, 0, -4, -1.187, -0.74, 0.042, 0.0074},
    {3, 0, 0, -6, -0.293, -0.31, -0.002, 0.0046},
    {2, 1, 0, 2, -0.29, -1.45, 0.116, -0.0051},
    {2, 1, 0, 0, -7.649, -10.56, 0.259, -0.1038},
    {2, 1, 0, -2, -8.627, -7.59, 0.078, -0.0192},
    {2, 1, 0, -4, -2.74, -2.54, 0.022, 0.0324},
    {2, -1, 0, 2, 1.181, 3.32, -0.212, 0.0213},
    {2, -1, 0, 0, 9.703, 11.67, -0.151, 0.1268},
    {2, -1, 0, -1, -0.352, -0.37, 0.001, -0.0028},
    {2, -1, 0, -2, -2.494, -1.17, -0.003, -0.0017},
    {2, -1, 0, -4, 0.36, 0.2, -0.012, -0.0043},
    {1, 2, 0, 0, -1.167, -1.25, 0.008, -0.0106},
    {1, 2, 0, -2, -7.412, -6.12, 0.117, 0.0484},
    {1, 2, 0, -4, -0.311, -0.65, -0.032, 0.0044},
    {1, -2, 0, 2, 0.757, 1.82, -0.105, 0.0112},
    {1, -2, 0, 0, 2.58, 2.32, 0.027, 0.0196},
    {1, -2, 0, -2, 2.533, 2.4, -0.014, -0.0212},
    {0, 3, 0, -2, -0.344, -0.57, -0.025, 0.0036},
    {1, 0, 2, 2, -0.992, -0.02, 0, 0},
    {1, 0, 2, 0, -45.099, -0.02, 0, -0.001},
    {1, 0, 2, -2, -0.179, -9.52, 0, -0.0833},
    {1, 0, 2, -4, -0.301, -0.33, 0, 0.0014},
    {1, 0, -2, 2, -6.382, -3.37, 0, -0.0481},
    {1, 0, -2, 0, 39.528, 85.13, 0, -0.7136},
    {1, 0, -2, -2, 9.366, 0.71, 0, -0.0112},
    {1, 0, -2, -4, 0.202, 0.02, 0, 0},
};

constexpr TSolarTerm ThirdGroup[] = {
    {0, 1, 2, 0, 0.415, 0.1, 0, 0.0013},
    {0, 1, 2, -2, -2.152, -2.26, 0, -0.0066},
    {0, 1, -2, 2, -1.44, -1.3, 0, 0.0014},
    {0, 1, -2, -2, 0.384, -0.04, 0, 0},
    {4, 0, 0, 0, 1.938, 3.6, -0.145, 0.0401},
    {4, 0, 0, -2, -0.952, -1.58, 0.052, -0.013},
    {3, 1, 0, 0, -0.551, -0.94, 0.032, -0.0097},
    {3, 1, 0, -2, -0.482, -0.57, 0.005, -0.0045},
    {3, -1, 0, 0, 0.681, 0.96, -0.026, 0.0115},
    {2, 2, 0, -2, -0.297, -0.27, 0.002, -0.0009},
    {2, -2, 0, -2, 0.254, 0.21, -0.003, 0},
    {1, 3, 0, -2, -0.25, -0.22, 0.004, 0.0014},
    {2, 0, 2, 0, -3.996, 0, 0, 0.0004},
    {2, 0, 2, -2, 0.557, -0.75, 0, -0.009},
    {2, 0, -2, 2, -0.459, -0.38, 0, -0.0053},
    {2, 0, -2, 0, -1.298, 0.74, 0, 0.0004},
    {2, 0, -2, -2, 0.538, 1.14, 0, -0.0141},
    {1, 1, 2, 0, 0.263, 0.02, 0, 0},
    {1, 1, -2, -2, 0.426, 0.07, 0, -0.0006},
    {1, -1, 2, 0, -0.304, 0.03, 0, 0.0003},
    {1, -1, -2, 2, -0.372, -0.19, 0, -0.0027},
    {0, 0, 4, 0, 0.418, 0, 0, 0},
    {3, 0, 2, 0, -0.33, -0.04, 0, 0},
};

// All node terms but the largest, -526.069" at (0, 0, 1, -2).
constexpr TNodeTerm NodeTerms[] = {
    {0, 0, 1, -4, -3.352},
    {1, 0, 1, -2, 44.297},
    {1, 0, 1, -4, -6.0},
    {-1, 0, 1, 0, 20.599},
    {-1, 0, 1, -2, -30.598},
    {-2, 0, 1, 0, -24.649},
    {-2, 0, 1, -2, -2.0},
    {0, 1, 1, -2, -22.571},
    {0, -1, 1, -2, 10.985},
};
// clang-format on

// The highest power in each argument's table: l, l', F, D.
constexpr int MaxPower[4] = {4, 3, 4, 6};
constexpr int HighestPower = 6;
// The long double terms use the multiples -2 .. 2 only; the table keeps 1
// and 2, the others follow from them without a product.
constexpr int LeadingPowers = 2;

// Everything one call works on; local to the call, so MoonPosition keeps
// no state between calls.
struct TMoonState {
  long double T = 0;
  double DL0 = 0, Dl = 0, Dls = 0, DF = 0, DD = 0, DGamma = 0; // long-periodic
  long double L0 = 0, l = 0, ls = 0, F = 0, D = 0;             // mean arguments
  // EL[k][j - 1] (j = 1, 2) and E[k][j] (j = 0 .. 6) = f^j exp(i j
  // argument_k); the negative powers are their conjugates. Every long
  // double stored costs an x87 store of 80 bits (fstp m80), slower than a
  // whole complex product in double, so EL holds no more. EF holds the
  // same powers as factors of products (TFactorD): all those of l', F and
  // D, but only the first of l, whose powers are otherwise always the
  // first factor of a term.
  TComplex EL[4][LeadingPowers];
  TPairD E[4][HighestPower + 1];
  TFactorD EF[4][HighestPower + 1];
  // The sums of the long double terms ...
  long double DLambda = 0, DS = 0, Gamma1C = 0, SinPi = 3422.7L, N = 0;
  // ... and of the double ones.
  double dLambda = 0, dS = 0, dGamma1C = 0, dSinPi = 0, dN = 0;
};

void LongPeriodic(TMoonState& m, const TLongPeriodicSines& sine) {
  const double S1 = sine[0], S2 = sine[1], S3 = sine[2], S4 = sine[3], S5 = sine[4], S6 = sine[5],
               S7 = sine[6];
  m.DL0 = 0.84 * S1 + 0.31 * S2 + 14.27 * S3 + 7.26 * S4 + 0.28 * S5 + 0.24 * S6;
  m.Dl = 2.94 * S1 + 0.31 * S2 + 14.27 * S3 + 9.34 * S4 + 1.12 * S5 + 0.83 * S6;
  m.Dls = -6.40 * S1 - 1.89 * S6;
  m.DF = 0.21 * S1 + 0.31 * S2 + 14.27 * S3 - 88.70 * S4 - 15.30 * S5 + 0.24 * S6 - 1.86 * S7;
  m.DD = m.DL0 - m.Dls;
  m.DGamma = -3.332e-6 * sine[7] - 0.539e-6 * sine[8] - 0.064e-6 * sine[9];
}

// An angle from its polynomial in revolutions and its correction in arcseconds.
// Inline, so that the five independent arguments overlap.
[[gnu::always_inline]] inline long double MeanArgument(const TPolynomial& f, long double T,
                                                       long double correction) {
  const long double T2 = T * T;
  return Load(TwoPiMC) * Frac(Load(f.A) + Load(f.B) * T + Load(f.C) * T2) + correction / Load(RhoC);
}

void MeanArguments(TMoonState& m) {
  const long double T = m.T;
  m.L0 = MeanArgument(Polynomial(0.60643382L, 1336.85522467L, -0.00000313L), T, m.DL0);
  m.l = MeanArgument(Polynomial(0.37489701L, 1325.55240982L, 0.00002565L), T, m.Dl);
  m.ls = MeanArgument(Polynomial(0.99312619L, 99.99735956L, -0.00000044L), T, m.Dls);
  m.F = MeanArgument(Polynomial(0.25909118L, 1342.2278298L, -0.00000892L), T, m.DF);
  m.D = MeanArgument(Polynomial(0.82736186L, 1236.85308708L, -0.00000397L), T, m.DD);
}

TComplex& LeadingPowerAt(TMoonState& m, int k, int j) {
  return m.EL[k][j - 1];
}

TPairD& PowerAt(TMoonState& m, int k, int j) {
  return m.E[k][j];
}

TFactorD& FactorAt(TMoonState& m, int k, int j) {
  return m.EF[k][j];
}

// The powers -2 .. 2 of e = exp(i argument_k) in long double; the double
// table takes them over rounded and goes on to the highest power by
// products in double. Inline, so that the four tables, independent of each
// other, overlap.
[[gnu::always_inline]] inline void PowerTable(TMoonState& m, int k, const TComplex& e,
                                              long double f) {
  LeadingPowerAt(m, k, 1) = {f * e.C, f * e.S};
  LeadingPowerAt(m, k, 2) = ComplexProduct(LeadingPowerAt(m, k, 1), LeadingPowerAt(m, k, 1));
  PowerAt(m, k, 0) = TPairD{1.0, 0.0};
  for (int j = 1; j <= 2; ++j) {
    const TComplex& e = LeadingPowerAt(m, k, j);
    PowerAt(m, k, j) = TPairD{static_cast<double>(e.C), static_cast<double>(e.S)};
  }
  FactorAt(m, k, 1) = Factor(PowerAt(m, k, 1));
  for (int j = 3; j <= MaxPower[k]; ++j)
    PowerAt(m, k, j) = Product(PowerAt(m, k, j - 1), FactorAt(m, k, 1));
  if (k == 0) return;
  for (int j = 2; j <= MaxPower[k]; ++j) FactorAt(m, k, j) = Factor(PowerAt(m, k, j));
}

// The cosines and sines two at a time (CosSins): one after the other, each
// one's steps in double, between two transfers from and to the x87 unit,
// waited for those of the one before.
void PowerTables(TMoonState& m) {
  const long double T = m.T;
  const std::array<TComplex, 2> lAndLs = CosSins(m.l, m.ls);
  PowerTable(m, 0, lAndLs[0], 1.000002208L);
  PowerTable(m, 1, lAndLs[1], 0.997504612L - 0.002495388L * T);
  const std::array<TComplex, 2> FAndD = CosSins(m.F, m.D);
  PowerTable(m, 2, FAndD[0], 1.000002708L + 139.978L * m.DGamma);
  PowerTable(m, 3, FAndD[1], 1.0L);
}

// (X, Y) := (X, Y) * f^|j| exp(i j argument_k), the complex product written
// out so that the running value stays in registers; a multiple of 0 leaves
// (X, Y) alone. A negative multiple takes the conjugate (C, -S) of the
// positive one: X C - Y (-S) is X C + Y S and Y C + X (-S) is Y C - X S,
// bit for bit, as a product's sign never changes its rounding.
inline void MultiplyByPower(const TMoonState& m, int k, int j, long double& X, long double& Y) {
  if (j == 0) return;
  const TComplex& E = m.EL[k][(j > 0 ? j : -j) - 1];
  long double x;
  if (j > 0) {
    x = X * E.C - Y * E.S;
    Y = Y * E.C + X * E.S;
  } else {
    x = X * E.C + Y * E.S;
    Y = Y * E.C - X * E.S;
  }
  X = x;
}

// The complex value of the term with the multiples (p, q, r, s) of (l, l', F, D).
inline TComplex LeadingTerm(const TMoonState& m, int p, int q, int r, int s) {
  long double X = 1.0L, Y = 0.0L;
  MultiplyByPower(m, 0, p, X, Y);
  MultiplyByPower(m, 1, q, X, Y);
  MultiplyByPower(m, 2, r, X, Y);
  MultiplyByPower(m, 3, s, X, Y);
  return {X, Y};
}

// The same in double, two halves of a register at once (TPairD). E[k][0]
// is (1, 0): a product with it gives back every component that is not
// zero, and none of these ever is exactly zero, so a multiple of 0 is left
// out. A negative multiple takes the conjugate, bit for bit as in
// MultiplyByPower. The loops over the terms are unrolled, so the tests of
// the multiples fold away, and a third of the products with them.
[[gnu::always_inline]] inline void MultiplyByPowerD(const TMoonState& m, int k, int j, TPairD& XY) {
  if (j == 0) return;
  const TFactorD& E = m.EF[k][j > 0 ? j : -j];
  XY = j > 0 ? Product(XY, E) : ProductWithConjugate(XY, E);
}

[[gnu::always_inline]] inline TPairD Term(const TMoonState& m, int p, int q, int r, int s) {
  const TPairD first = m.E[0][p > 0 ? p : -p];
  TPairD XY = p >= 0 ? first : Conjugate(first);
  MultiplyByPowerD(m, 1, q, XY);
  MultiplyByPowerD(m, 2, r, XY);
  MultiplyByPowerD(m, 3, s, XY);
  return XY;
}

// The rows come in runs with the same multiples of l, l' and F, as in
// SolarTerms; their product is kept for the run, so a row needs at most
// one complex product. The sums are local, so that they stay in the x87
// registers; those of the latitude factor and the parallax, whose terms
// stay below 200", are summed in double, which leaves fewer values to
// juggle on the x87 stack and rounds them by less than 1e-12".
void LeadingTermSum(TMoonState& m) {
  long double DLambda = m.DLambda, DS = m.DS;
  double Gamma1C = 0, SinPi = 0;
  int p = 0, q = 0, r = 0;
  TComplex lead = {1.0L, 0.0L};
  // Unrolled, so that the multiples and their signs are constants.
#pragma GCC unroll 16
  for (const TLeadingTerm& t : LeadingTerms) {
    if (t.p != p || t.q != q || t.r != r) {
      p = t.p;
      q = t.q;
      r = t.r;
      lead = LeadingTerm(m, p, q, r, 0);
    }
    long double X = lead.C, Y = lead.S;
    MultiplyByPower(m, 3, t.s, X, Y);
    DLambda = DLambda + Load(t.cL) * Y;
    DS = DS + Load(t.cS) * Y;
    Gamma1C += t.cG * static_cast<double>(X);
    SinPi += t.cP * static_cast<double>(X);
  }
  m.DLambda = DLambda;
  m.DS = DS;
  m.dGamma1C += Gamma1C;
  m.dSinPi += SinPi;
  m.N = -526.069L * LeadingTerm(m, 0, 0, 1, -2).S;
}

[[gnu::always_inline]] inline void SolarTerms(TMoonState& m, std::span<const TSolarTerm> terms) {
  // The sums side by side, so that one multiplication and one addition of
  // pairs take each term's cosine and sine (C, S) into two of them:
  // (SinPi, DLambda) += (cP, cL) (C, S) and (Gamma1C, DS) += (cG, cS) (C, S).
  // Local, they stay in registers through the loop.
  TPairD parallaxAndLongitude = {m.dSinPi, m.dLambda};
  TPairD latitudeFactorAndS = {m.dGamma1C, m.dS};
  // The rows come in runs with the same multiples of l, l' and F and only
  // the multiple of D changing; their product is kept for the run.
  int p = 0, q = 0, r = 0;
  TPairD lead = m.E[0][0];
  // Unrolled (inline, each group is a table known to the compiler), the
  // tests of the multiples fold away and the coefficients become constants.
#pragma GCC unroll 64
  for (const TSolarTerm& t : terms) {
    if (t.p != p || t.q != q || t.r != r) {
      p = t.p;
      q = t.q;
      r = t.r;
      lead = Term(m, p, q, r, 0);
    }
    TPairD XY = lead;
    MultiplyByPowerD(m, 3, t.s, XY);
    parallaxAndLongitude += TPairD{t.cP, t.cL} * XY;
    latitudeFactorAndS += TPairD{t.cG, t.cS} * XY;
  }
  m.dSinPi = parallaxAndLongitude[0];
  m.dLambda = parallaxAndLongitude[1];
  m.dGamma1C = latitudeFactorAndS[0];
  m.dS = latitudeFactorAndS[1];
}

void NodeTermSum(TMoonState& m) {
  double N = 0;
#pragma GCC unroll 16
  for (const TNodeTerm& t : NodeTerms) N += t.cN * Term(m, t.p, t.q, t.r, t.s)[1];
  m.dN = N;
}

void PlanetaryTerms(TMoonState& m, const TPlanetarySines& S) {
  m.dLambda += 0.82 * S[0] + 0.31 * S[1] + 0.35 * S[2] + 0.66 * S[3] + 0.64 * S[4] + 1.14 * S[5] +
               0.21 * S[6] + 0.44 * S[7] + 0.24 * S[8] + 0.28 * S[9] + 0.33 * S[10];
}

} // namespace

void MoonPosition(long double T, long double& Lambda, long double& Beta, long double& R) {
  TMoonState m;
  m.T = T;
  LongPeriodic(m, Sines(LongPeriodicArguments, T));
  MeanArguments(m);
  PowerTables(m);
  // Not needed before the end, the planetary terms' sines are taken here,
  // where their many independent steps fill the waits of the products and
  // sums of the other terms, each of which waits for the one before.
  const TPlanetarySines planetary = Sines(PlanetaryArguments, T);
  LeadingTermSum(m);
  SolarTerms(m, FirstGroup);
  SolarTerms(m, SecondGroup);
  SolarTerms(m, ThirdGroup);
  NodeTermSum(m);
  PlanetaryTerms(m, planetary);

  const long double DLambda = m.DLambda + m.dLambda;
  Lambda = Frac((m.L0 + DLambda / Rho) / TwoPiM) * 360.0L * Pi / 180.0L;

  const long double S = m.F + (m.DS + m.dS) / Rho;
  const long double f3 = 1.000002708L + 139.978L * m.DGamma;
  Beta = (f3 * (18519.7L + m.Gamma1C + m.dGamma1C) * CosSin(S).S -
          6.24L * SineD(static_cast<double>(3.0L * S)) + m.N + m.dN) /
         3600.0L * Pi / 180.0L;

  const long double SinPi = (m.SinPi + m.dSinPi) * 0.999953253L;
  R = Rho / SinPi;
}
