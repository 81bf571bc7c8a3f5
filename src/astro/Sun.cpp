// The solar theory: the Earth's elliptic motion as a series in its mean
// anomaly, perturbations by Venus, Mars, Jupiter, Saturn and the Moon, and
// four long-period terms. Multiples of the mean anomalies come from tables
// of complex powers, so each call needs only one sine and cosine per angle.
#include "Sun.h"

#include "Mathe.h"

#include <cmath>
#include <span>

namespace {

// The series was fitted with 2 pi cut off after nine decimals; the
// fundamental arguments keep that value so they match the coefficients.
constexpr long double TwoPiS = 6.283185307L;

// Keeps the sign, so arguments of dates before 2000 are negative; only
// their sines and cosines are used.
long double FracS(long double x) {
  return x - std::trunc(x);
}

long double Argument(long double a, long double b, long double T) {
  return TwoPiS * FracS(a + b * T);
}

// One row of a planet's table: the multiples of M3 and of the planet's
// mean anomaly, the power of T, and the coefficients of cosine and sine
// for longitude (arcseconds), distance (1e-6 AU) and latitude (arcseconds).
struct TPerturbation {
  int i3, ik, n;
  long double c1, c2, c3, c4, c5, c6;
};

// clang-format off
const TPerturbation VenusTerms[] = {
    {1, 0, 0, -0.22L, 6892.76L, -16707.37L, -0.54L, 0, 0},
    {1, 0, 1, -0.06L, -17.35L, 42.04L, -0.15L, 0, 0},
    {1, 0, 2, -0.01L, -0.05L, 0.13L, -0.02L, 0, 0},
    {2, 0, 0, 0, 71.98L, -139.57L, 0, 0, 0},
    {2, 0, 1, 0, -0.36L, 0.7L, 0, 0, 0},
    {3, 0, 0, 0, 1.04L, -1.75L, 0, 0, 0},
    {0, -1, 0, 0.03L, -0.07L, -0.16L, -0.07L, 0.02L, -0.02L},
    {1, -1, 0, 2.35L, -4.23L, -4.75L, -2.64L, 0, 0},
    {1, -2, 0, -0.1L, 0.06L, 0.12L, 0.2L, 0.02L, 0},
    {2, -1, 0, -0.06L, -0.03L, 0.2L, -0.01L, 0.01L, -0.09L},
    {2, -2, 0, -4.7L, 2.9L, 8.28L, 13.42L, 0.01L, -0.01L},
    {3, -2, 0, 1.8L, -1.74L, -1.44L, -1.57L, 0.04L, -0.06L},
    {3, -3, 0, -0.67L, 0.03L, 0.11L, 2.43L, 0.01L, 0},
    {4, -2, 0, 0.03L, -0.03L, 0.1L, 0.09L, 0.01L, -0.01L},
    {4, -3, 0, 1.51L, -0.4L, -0.88L, -3.36L, 0.18L, -0.1L},
    {4, -4, 0, -0.19L, -0.09L, -0.38L, 0.77L, 0, 0},
    {5, -3, 0, 0.76L, -0.68L, 0.3L, 0.37L, 0.01L, 0},
    {5, -4, 0, -0.14L, -0.04L, -0.11L, 0.43L, -0.03L, 0},
    {5, -5, 0, -0.05L, -0.07L, -0.31L, 0.21L, 0, 0},
    {6, -4, 0, 0.15L, -0.04L, -0.06L, -0.21L, 0.01L, 0},
    {6, -5, 0, -0.03L, -0.03L, -0.09L, 0.09L, -0.01L, 0},
    {6, -6, 0, 0, -0.04L, -0.18L, 0.02L, 0, 0},
    {7, -5, 0, -0.12L, -0.03L, -0.08L, 0.31L, -0.02L, -0.01L},
};

const TPerturbation MarsTerms[] = {
    {1, -1, 0, -0.22L, 0.17L, -0.21L, -0.27L, 0, 0},
    {1, -2, 0, -1.66L, 0.62L, 0.16L, 0.28L, 0, 0},
    {2, -2, 0, 1.96L, 0.57L, -1.32L, 4.55L, 0, 0.01L},
    {2, -3, 0, 0.4L, 0.15L, -0.17L, 0.46L, 0, 0},
    {2, -4, 0, 0.53L, 0.26L, 0.09L, -0.22L, 0, 0},
    {3, -3, 0, 0.05L, 0.12L, -0.35L, 0.15L, 0, 0},
    {3, -4, 0, -0.13L, -0.48L, 1.06L, -0.29L, 0.01L, 0},
    {3, -5, 0, -0.04L, -0.2L, 0.2L, -0.04L, 0, 0},
    {4, -4, 0, 0, -0.03L, 0.1L, 0.04L, 0, 0},
    {4, -5, 0, 0.05L, -0.07L, 0.2L, 0.14L, 0, 0},
    {4, -6, 0, -0.1L, 0.11L, -0.23L, -0.22L, 0, 0},
    {5, -7, 0, -0.05L, 0, 0.01L, -0.14L, 0, 0},
    {5, -8, 0, 0.05L, 0.01L, -0.02L, 0.1L, 0, 0},
};

const TPerturbation JupiterTerms[] = {
    {-1, -1, 0, 0.01L, 0.07L, 0.18L, -0.02L, 0, -0.02L},
    {0, -1, 0, -0.31L, 2.58L, 0.52L, 0.34L, 0.02L, 0},
    {1, -1, 0, -7.21L, -0.06L, 0.13L, -16.27L, 0, -0.02L},
    {1, -2, 0, -0.54L, -1.52L, 3.09L, -1.12L, 0.01L, -0.17L},
    {1, -3, 0, -0.03L, -0.21L, 0.38L, -0.06L, 0, -0.02L},
    {2, -1, 0, -0.16L, 0.05L, -0.18L, -0.31L, 0.01L, 0},
    {2, -2, 0, 0.14L, -2.73L, 9.23L, 0.48L, 0, 0},
    {2, -3, 0, 0.07L, -0.55L, 1.83L, 0.25L, 0.01L, 0},
    {2, -4, 0, 0.02L, -0.08L, 0.25L, 0.06L, 0, 0},
    {3, -2, 0, 0.01L, -0.07L, 0.16L, 0.04L, 0, 0},
    {3, -3, 0, -0.16L, -0.03L, 0.08L, -0.64L, 0, 0},
    {3, -4, 0, -0.04L, -0.01L, 0.03L, -0.17L, 0, 0},
};

const TPerturbation SaturnTerms[] = {
    {0, -1, 0, 0, 0.32L, 0.01L, 0, 0, 0},
    {1, -1, 0, -0.08L, -0.41L, 0.97L, -0.18L, 0, -0.01L},
    {1, -2, 0, 0.04L, 0.1L, -0.23L, 0.1L, 0, 0},
    {2, -2, 0, 0.04L, 0.1L, -0.35L, 0.13L, 0, 0},
};
// clang-format on

// The power tables of one call; local to the call, so SunPosition keeps no
// state between calls.
struct TSunState {
  long double T = 0;
  TComplex E3[9]; // exp(i j M3) for j = -1 .. 7, stored at j + 1
  TComplex Ek[9]; // exp(i j Mk) for j = 0 .. -8, stored at -j
};

// The three sums and the current term (U, V), which rows with n > 0 reuse.
struct TSums {
  long double U = 0, V = 0;
  long double DL = 0, DR = 0, DB = 0;
};

TComplex& E3At(TSunState& s, int j) {
  return s.E3[j + 1];
}
TComplex& EkAt(TSunState& s, int j) {
  return s.Ek[-j];
}

void BuildE3(TSunState& s, long double M3) {
  E3At(s, 0) = {1.0L, 0.0L};
  E3At(s, 1) = {Cosine(M3), Sine(M3)};
  E3At(s, -1) = {E3At(s, 1).C, -E3At(s, 1).S};
  for (int j = 2; j <= 7; ++j) E3At(s, j) = ComplexProduct(E3At(s, j - 1), E3At(s, 1));
}

// Only the powers down to the lowest one the planet's table uses are built;
// the table holds nine entries, 0 .. -8.
void BuildEk(TSunState& s, long double Mk, int lowest) {
  EkAt(s, 0) = {1.0L, 0.0L};
  EkAt(s, -1) = {Cosine(Mk), -Sine(Mk)};
  for (int j = -2; j >= lowest; --j) EkAt(s, j) = ComplexProduct(EkAt(s, j + 1), EkAt(s, -1));
}

inline void PerturbationTerm(TSunState& s, const TPerturbation& r, TSums& sums) {
  if (r.n == 0) {
    const TComplex P = ComplexProduct(E3At(s, r.i3), EkAt(s, r.ik));
    sums.U = P.C;
    sums.V = P.S;
  } else {
    // T^n times the argument of the row before (whose n is one less).
    sums.U = sums.U * s.T;
    sums.V = sums.V * s.T;
  }
  sums.DL = sums.DL + r.c1 * sums.U + r.c2 * sums.V;
  sums.DR = sums.DR + r.c3 * sums.U + r.c4 * sums.V;
  sums.DB = sums.DB + r.c5 * sums.U + r.c6 * sums.V;
}

void AddPlanet(TSunState& s, long double Mk, int lowest, std::span<const TPerturbation> terms,
               TSums& total) {
  BuildEk(s, Mk, lowest);
  // A local copy of the sums can stay in registers through the loop.
  TSums sums = total;
  for (const TPerturbation& r : terms) PerturbationTerm(s, r, sums);
  total = sums;
}

} // namespace

void SunPosition(long double T, long double& L, long double& B, long double& R) {
  TSunState s;
  s.T = T;
  TSums sums;

  const long double M2 = Argument(0.1387306L, 162.5485917L, T);
  const long double M3 = Argument(0.9931266L, 99.9973604L, T);
  const long double M4 = Argument(0.054325L, 53.1666028L, T);
  const long double M5 = Argument(0.055175L, 8.4293972L, T);
  const long double M6 = Argument(0.88165L, 3.3938722L, T);
  const long double D = Argument(0.8274L, 1236.8531L, T);
  const long double A = Argument(0.3749L, 1325.5524L, T);
  const long double Uarg = Argument(0.2591L, 1342.2278L, T);
  BuildE3(s, M3);

  AddPlanet(s, M2, -6, VenusTerms, sums);
  AddPlanet(s, M4, -8, MarsTerms, sums);
  AddPlanet(s, M5, -4, JupiterTerms, sums);
  AddPlanet(s, M6, -2, SaturnTerms, sums);

  // The Moon pulls the Earth round the common centre of mass.
  sums.DL = sums.DL + 6.45L * Sine(D) - 0.42L * Sine(D - A) + 0.18L * Sine(D + A) +
            0.17L * Sine(D - M3) - 0.06L * Sine(D + M3);
  sums.DR = sums.DR + 30.76L * Cosine(D) - 3.06L * Cosine(D - A) + 0.85L * Cosine(D + A) -
            0.58L * Cosine(D + M3) + 0.57L * Cosine(D - M3);
  sums.DB = sums.DB + 0.576L * Sine(Uarg);

  // Long-period terms; their arguments stay small, so no fractional part.
  sums.DL = sums.DL + 6.40L * Sine(TwoPiS * (0.6983L + 0.0561L * T)) +
            1.87L * Sine(TwoPiS * (0.5764L + 0.4174L * T)) +
            0.27L * Sine(TwoPiS * (0.4189L + 0.3306L * T)) +
            0.20L * Sine(TwoPiS * (0.3581L + 2.4814L * T));

  L = 2.0L * Pi *
      FracS(0.7859453L + M3 / TwoPiS + ((6191.2L + 1.1L * T) * T + sums.DL) / 1296000.0L);
  R = 1.0001398L - 0.0000007L * T + sums.DR * 1e-6L;
  B = sums.DB / 3600.0L * Pi / 180.0L;
}
