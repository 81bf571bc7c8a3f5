// Moon: geocentric ecliptic coordinates of the Moon from a truncated form of
// Brown's lunar theory: long-periodic corrections of the mean arguments,
// solar perturbation terms, latitude terms and planetary terms. Every
// multiple of the four arguments comes from a table of complex powers, so
// the terms themselves need no sine or cosine.
#include "Moon.h"

#include "Mathe.h"

#include <cmath>
#include <span>

namespace {

// This theory rounds 2 pi up in the last digit; the coefficients go with it.
constexpr long double TwoPiM = 6.283185308L;
constexpr long double Rho = 206264.81L; // arcseconds per radian

// The fractional part in [0, 1), also for negative x (dates before 2000).
long double Frac(long double x) {
  long double f = x - std::trunc(x);
  if (f < 0.0L) f = f + 1.0L;
  // A tiny negative part plus 1 can round to 1 itself.
  if (f >= 1.0L) f = 0.0L;
  return f;
}

// The sine of an angle given in revolutions.
long double SinRev(long double x) {
  return Sine(TwoPiM * Frac(x));
}

// A term with the multiples (p, q, r, s) of (l, l', F, D).
struct TSolarTerm {
  int p, q, r, s;
  long double cL, cS, cG, cP; // arcseconds
};

struct TNodeTerm {
  int p, q, r, s;
  long double cN; // arcseconds
};

// clang-format off
const TSolarTerm FirstGroup[] = {
    {0, 0, 0, 4, 13.902L, 14.06L, -0.001L, 0.2607L},
    {0, 0, 0, 3, 0.403L, -4.01L, 0.394L, 0.0023L},
    {0, 0, 0, 2, 2369.912L, 2373.36L, 0.601L, 28.2333L},
    {0, 0, 0, 1, -125.154L, -112.79L, -0.725L, -0.9781L},
    {1, 0, 0, 4, 1.979L, 6.98L, -0.445L, 0.0433L},
    {1, 0, 0, 2, 191.953L, 192.72L, 0.029L, 3.0861L},
    {1, 0, 0, 1, -8.466L, -13.51L, 0.455L, -0.1093L},
    {1, 0, 0, 0, 22639.5L, 22609.07L, 0.079L, 186.5398L},
    {1, 0, 0, -1, 18.609L, 3.59L, -0.094L, 0.0118L},
    {1, 0, 0, -2, -4586.465L, -4578.13L, -0.077L, 34.3117L},
    {1, 0, 0, -3, 3.215L, 5.44L, 0.192L, -0.0386L},
    {1, 0, 0, -4, -38.428L, -38.64L, 0.001L, 0.6008L},
    {1, 0, 0, -6, -0.393L, -1.43L, -0.092L, 0.0086L},
    {0, 1, 0, 4, -0.289L, -1.59L, 0.123L, -0.0053L},
    {0, 1, 0, 2, -24.42L, -25.1L, 0.04L, -0.3L},
    {0, 1, 0, 1, 18.023L, 17.93L, 0.007L, 0.1494L},
    {0, 1, 0, 0, -668.146L, -126.98L, -1.302L, -0.3997L},
    {0, 1, 0, -1, 0.56L, 0.32L, -0.001L, -0.0037L},
    {0, 1, 0, -2, -165.145L, -165.06L, 0.054L, 1.9178L},
    {0, 1, 0, -4, -1.877L, -6.46L, -0.416L, 0.0339L},
    {2, 0, 0, 4, 0.213L, 1.02L, -0.074L, 0.0054L},
    {2, 0, 0, 2, 14.387L, 14.78L, -0.017L, 0.2833L},
    {2, 0, 0, 1, -0.586L, -1.2L, 0.054L, -0.01L},
    {2, 0, 0, 0, 769.016L, 767.96L, 0.107L, 10.1657L},
    {2, 0, 0, -1, 1.75L, 2.01L, -0.018L, 0.0155L},
    {2, 0, 0, -2, -211.656L, -152.53L, 5.679L, -0.3039L},
    {2, 0, 0, -3, 1.225L, 0.91L, -0.03L, -0.0088L},
    {2, 0, 0, -4, -30.773L, -34.07L, -0.308L, 0.3722L},
    {2, 0, 0, -6, -0.57L, -1.4L, -0.074L, 0.0109L},
    {1, 1, 0, 2, -2.921L, -11.75L, 0.787L, -0.0484L},
    {1, 1, 0, 1, 1.267L, 1.52L, -0.022L, 0.0164L},
    {1, 1, 0, 0, -109.673L, -115.18L, 0.461L, -0.949L},
    {1, 1, 0, -2, -205.962L, -182.36L, 2.056L, 1.4437L},
    {1, 1, 0, -3, 0.233L, 0.36L, 0.012L, -0.0025L},
    {1, 1, 0, -4, -4.391L, -9.66L, -0.471L, 0.0673L},
};

const TSolarTerm SecondGroup[] = {
    {1, -1, 0, 4, 0.283L, 1.53L, -0.111L, 0.006L},
    {1, -1, 0, 2, 14.577L, 31.7L, -1.54L, 0.2302L},
    {1, -1, 0, 0, 147.687L, 138.76L, 0.679L, 1.1528L},
    {1, -1, 0, -1, -1.089L, 0.55L, 0.021L, 0},
    {1, -1, 0, -2, 28.475L, 23.59L, -0.443L, -0.2257L},
    {1, -1, 0, -3, -0.276L, -0.38L, -0.006L, -0.0036L},
    {1, -1, 0, -4, 0.636L, 2.27L, 0.146L, -0.0102L},
    {0, 2, 0, 2, -0.189L, -1.68L, 0.131L, -0.0028L},
    {0, 2, 0, 0, -7.486L, -0.66L, -0.037L, -0.0086L},
    {0, 2, 0, -2, -8.096L, -16.35L, -0.74L, 0.0918L},
    {0, 0, 2, 2, -5.741L, -0.04L, 0, -0.0009L},
    {0, 0, 2, 1, 0.255L, 0, 0, 0},
    {0, 0, 2, 0, -411.608L, -0.2L, 0, -0.0124L},
    {0, 0, 2, -1, 0.584L, 0.84L, 0, 0.0071L},
    {0, 0, 2, -2, -55.173L, -52.14L, 0, -0.1052L},
    {0, 0, 2, -3, 0.254L, 0.25L, 0, -0.0017L},
    {0, 0, 2, -4, 0.025L, -1.67L, 0, 0.0031L},
    {3, 0, 0, 2, 1.06L, 2.96L, -0.166L, 0.0243L},
    {3, 0, 0, 0, 36.124L, 50.64L, -1.3L, 0.6215L},
    {3, 0, 0, -2, -13.193L, -16.4L, 0.258L, -0.1187L},
    {3, 0, 0, -4, -1.187L, -0.74L, 0.042L, 0.0074L},
    {3, 0, 0, -6, -0.293L, -0.31L, -0.002L, 0.0046L},
    {2, 1, 0, 2, -0.29L, -1.45L, 0.116L, -0.0051L},
    {2, 1, 0, 0, -7.649L, -10.56L, 0.259L, -0.1038L},
    {2, 1, 0, -2, -8.627L, -7.59L, 0.078L, -0.0192L},
    {2, 1, 0, -4, -2.74L, -2.54L, 0.022L, 0.0324L},
    {2, -1, 0, 2, 1.181L, 3.32L, -0.212L, 0.0213L},
    {2, -1, 0, 0, 9.703L, 11.67L, -0.151L, 0.1268L},
    {2, -1, 0, -1, -0.352L, -0.37L, 0.001L, -0.0028L},
    {2, -1, 0, -2, -2.494L, -1.17L, -0.003L, -0.0017L},
    {2, -1, 0, -4, 0.36L, 0.2L, -0.012L, -0.0043L},
    {1, 2, 0, 0, -1.167L, -1.25L, 0.008L, -0.0106L},
    {1, 2, 0, -2, -7.412L, -6.12L, 0.117L, 0.0484L},
    {1, 2, 0, -4, -0.311L, -0.65L, -0.032L, 0.0044L},
    {1, -2, 0, 2, 0.757L, 1.82L, -0.105L, 0.0112L},
    {1, -2, 0, 0, 2.58L, 2.32L, 0.027L, 0.0196L},
    {1, -2, 0, -2, 2.533L, 2.4L, -0.014L, -0.0212L},
    {0, 3, 0, -2, -0.344L, -0.57L, -0.025L, 0.0036L},
    {1, 0, 2, 2, -0.992L, -0.02L, 0, 0},
    {1, 0, 2, 0, -45.099L, -0.02L, 0, -0.001L},
    {1, 0, 2, -2, -0.179L, -9.52L, 0, -0.0833L},
    {1, 0, 2, -4, -0.301L, -0.33L, 0, 0.0014L},
    {1, 0, -2, 2, -6.382L, -3.37L, 0, -0.0481L},
    {1, 0, -2, 0, 39.528L, 85.13L, 0, -0.7136L},
    {1, 0, -2, -2, 9.366L, 0.71L, 0, -0.0112L},
    {1, 0, -2, -4, 0.202L, 0.02L, 0, 0},
};

const TSolarTerm ThirdGroup[] = {
    {0, 1, 2, 0, 0.415L, 0.1L, 0, 0.0013L},
    {0, 1, 2, -2, -2.152L, -2.26L, 0, -0.0066L},
    {0, 1, -2, 2, -1.44L, -1.3L, 0, 0.0014L},
    {0, 1, -2, -2, 0.384L, -0.04L, 0, 0},
    {4, 0, 0, 0, 1.938L, 3.6L, -0.145L, 0.0401L},
    {4, 0, 0, -2, -0.952L, -1.58L, 0.052L, -0.013L},
    {3, 1, 0, 0, -0.551L, -0.94L, 0.032L, -0.0097L},
    {3, 1, 0, -2, -0.482L, -0.57L, 0.005L, -0.0045L},
    {3, -1, 0, 0, 0.681L, 0.96L, -0.026L, 0.0115L},
    {2, 2, 0, -2, -0.297L, -0.27L, 0.002L, -0.0009L},
    {2, -2, 0, -2, 0.254L, 0.21L, -0.003L, 0},
    {1, 3, 0, -2, -0.25L, -0.22L, 0.004L, 0.0014L},
    {2, 0, 2, 0, -3.996L, 0, 0, 0.0004L},
    {2, 0, 2, -2, 0.557L, -0.75L, 0, -0.009L},
    {2, 0, -2, 2, -0.459L, -0.38L, 0, -0.0053L},
    {2, 0, -2, 0, -1.298L, 0.74L, 0, 0.0004L},
    {2, 0, -2, -2, 0.538L, 1.14L, 0, -0.0141L},
    {1, 1, 2, 0, 0.263L, 0.02L, 0, 0},
    {1, 1, -2, -2, 0.426L, 0.07L, 0, -0.0006L},
    {1, -1, 2, 0, -0.304L, 0.03L, 0, 0.0003L},
    {1, -1, -2, 2, -0.372L, -0.19L, 0, -0.0027L},
    {0, 0, 4, 0, 0.418L, 0, 0, 0},
    {3, 0, 2, 0, -0.33L, -0.04L, 0, 0},
};

const TNodeTerm NodeTerms[] = {
    {0, 0, 1, -2, -526.069L},
    {0, 0, 1, -4, -3.352L},
    {1, 0, 1, -2, 44.297L},
    {1, 0, 1, -4, -6.0L},
    {-1, 0, 1, 0, 20.599L},
    {-1, 0, 1, -2, -30.598L},
    {-2, 0, 1, 0, -24.649L},
    {-2, 0, 1, -2, -2.0L},
    {0, 1, 1, -2, -22.571L},
    {0, -1, 1, -2, 10.985L},
};
// clang-format on

// The highest power in each argument's table: l, l', F, D.
constexpr int MaxPower[4] = {4, 3, 4, 6};
constexpr int PowerOffset = 6; // E[j] is stored at j + 6, j = -6 .. 6

// Everything one call works on; local to the call, so MoonPosition keeps
// no state between calls.
struct TMoonState {
  long double T = 0;
  long double DL0 = 0, Dl = 0, Dls = 0, DF = 0, DD = 0, DGamma = 0; // long-periodic
  long double L0 = 0, l = 0, ls = 0, F = 0, D = 0;                  // mean arguments
  TComplex E[4][2 * PowerOffset + 1]; // E[k][j + 6] = f^|j| exp(i j argument_k)
  long double DLambda = 0, DS = 0, Gamma1C = 0, SinPi = 3422.7L, N = 0;
};

void LongPeriodic(TMoonState& m) {
  const long double T = m.T;
  const long double S1 = SinRev(0.19833L + 0.05611L * T);
  const long double S2 = SinRev(0.27869L + 0.04508L * T);
  const long double S3 = SinRev(0.16827L - 0.36903L * T);
  const long double S4 = SinRev(0.34734L - 5.37261L * T);
  const long double S5 = SinRev(0.10498L - 5.37899L * T);
  const long double S6 = SinRev(0.42681L - 0.41855L * T);
  const long double S7 = SinRev(0.14943L - 5.37511L * T);
  m.DL0 = 0.84L * S1 + 0.31L * S2 + 14.27L * S3 + 7.26L * S4 + 0.28L * S5 + 0.24L * S6;
  m.Dl = 2.94L * S1 + 0.31L * S2 + 14.27L * S3 + 9.34L * S4 + 1.12L * S5 + 0.83L * S6;
  m.Dls = -6.40L * S1 - 1.89L * S6;
  m.DF =
      0.21L * S1 + 0.31L * S2 + 14.27L * S3 - 88.70L * S4 - 15.30L * S5 + 0.24L * S6 - 1.86L * S7;
  m.DD = m.DL0 - m.Dls;
  m.DGamma = -3.332e-6L * SinRev(0.59734L - 5.37261L * T) -
             0.539e-6L * SinRev(0.35498L - 5.37899L * T) -
             0.064e-6L * SinRev(0.39943L - 5.37511L * T);
}

// An angle from its polynomial in revolutions and its correction in arcseconds.
long double MeanArgument(long double a, long double b, long double c, long double T,
                         long double correction) {
  const long double T2 = T * T;
  return TwoPiM * Frac(a + b * T + c * T2) + correction / Rho;
}

void MeanArguments(TMoonState& m) {
  const long double T = m.T;
  m.L0 = MeanArgument(0.60643382L, 1336.85522467L, -0.00000313L, T, m.DL0);
  m.l = MeanArgument(0.37489701L, 1325.55240982L, 0.00002565L, T, m.Dl);
  m.ls = MeanArgument(0.99312619L, 99.99735956L, -0.00000044L, T, m.Dls);
  m.F = MeanArgument(0.25909118L, 1342.2278298L, -0.00000892L, T, m.DF);
  m.D = MeanArgument(0.82736186L, 1236.85308708L, -0.00000397L, T, m.DD);
}

TComplex& PowerAt(TMoonState& m, int k, int j) {
  return m.E[k][j + PowerOffset];
}

void PowerTable(TMoonState& m, int k, long double argument, long double f) {
  const int max = MaxPower[k];
  PowerAt(m, k, 0) = {1.0L, 0.0L};
  PowerAt(m, k, 1) = {f * Cosine(argument), f * Sine(argument)};
  for (int j = 2; j <= max; ++j)
    PowerAt(m, k, j) = ComplexProduct(PowerAt(m, k, j - 1), PowerAt(m, k, 1));
  for (int j = 1; j <= max; ++j) PowerAt(m, k, -j) = {PowerAt(m, k, j).C, -PowerAt(m, k, j).S};
}

void PowerTables(TMoonState& m) {
  const long double T = m.T;
  PowerTable(m, 0, m.l, 1.000002208L);
  PowerTable(m, 1, m.ls, 0.997504612L - 0.002495388L * T);
  PowerTable(m, 2, m.F, 1.000002708L + 139.978L * m.DGamma);
  PowerTable(m, 3, m.D, 1.0L);
}

// (X, Y) := (X, Y) * E[j, k], the complex product written out so that the
// running value stays in registers; a multiple of 0 leaves (X, Y) alone.
inline void MultiplyByPower(const TMoonState& m, int k, int j, long double& X, long double& Y) {
  if (j == 0) return;
  const TComplex& E = m.E[k][j + PowerOffset];
  const long double x = X * E.C - Y * E.S;
  Y = Y * E.C + X * E.S;
  X = x;
}

// The complex value of the term with the multiples (p, q, r, s) of (l, l', F, D).
inline TComplex Term(const TMoonState& m, int p, int q, int r, int s) {
  long double X = 1.0L, Y = 0.0L;
  MultiplyByPower(m, 0, p, X, Y);
  MultiplyByPower(m, 1, q, X, Y);
  MultiplyByPower(m, 2, r, X, Y);
  MultiplyByPower(m, 3, s, X, Y);
  return {X, Y};
}

void SolarTerms(TMoonState& m, std::span<const TSolarTerm> terms) {
  long double DLambda = m.DLambda, DS = m.DS, Gamma1C = m.Gamma1C, SinPi = m.SinPi;
  for (const TSolarTerm& t : terms) {
    const TComplex XY = Term(m, t.p, t.q, t.r, t.s);
    DLambda = DLambda + t.cL * XY.S;
    DS = DS + t.cS * XY.S;
    Gamma1C = Gamma1C + t.cG * XY.C;
    SinPi = SinPi + t.cP * XY.C;
  }
  m.DLambda = DLambda;
  m.DS = DS;
  m.Gamma1C = Gamma1C;
  m.SinPi = SinPi;
}

void NodeTermSum(TMoonState& m) {
  m.N = 0.0L;
  for (const TNodeTerm& t : NodeTerms) m.N = m.N + t.cN * Term(m, t.p, t.q, t.r, t.s).S;
}

void PlanetaryTerms(TMoonState& m) {
  const long double T = m.T;
  m.DLambda = m.DLambda + 0.82L * SinRev(0.7736L - 62.5512L * T) +
              0.31L * SinRev(0.0466L - 125.1025L * T) + 0.35L * SinRev(0.5785L - 25.1042L * T) +
              0.66L * SinRev(0.4591L + 1335.8075L * T) + 0.64L * SinRev(0.3130L - 91.5680L * T) +
              1.14L * SinRev(0.1480L + 1331.2898L * T) + 0.21L * SinRev(0.5918L + 1056.5859L * T) +
              0.44L * SinRev(0.5784L + 1322.8595L * T) + 0.24L * SinRev(0.2275L - 5.7374L * T) +
              0.28L * SinRev(0.2965L + 2.6929L * T) + 0.33L * SinRev(0.3132L + 6.3368L * T);
}

} // namespace

void MoonPosition(long double T, long double& Lambda, long double& Beta, long double& R) {
  TMoonState m;
  m.T = T;
  LongPeriodic(m);
  MeanArguments(m);
  PowerTables(m);
  SolarTerms(m, FirstGroup);
  SolarTerms(m, SecondGroup);
  SolarTerms(m, ThirdGroup);
  NodeTermSum(m);
  PlanetaryTerms(m);

  Lambda = Frac((m.L0 + m.DLambda / Rho) / TwoPiM) * 360.0L * Pi / 180.0L;

  const long double S = m.F + m.DS / Rho;
  const long double f3 = 1.000002708L + 139.978L * m.DGamma;
  Beta = (f3 * (18519.7L + m.Gamma1C) * Sine(S) - 6.24L * Sine(3.0L * S) + m.N) / 3600.0L * Pi /
         180.0L;

  m.SinPi = m.SinPi * 0.999953253L;
  R = Rho / m.SinPi;
}
