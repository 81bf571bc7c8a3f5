// Inverse trigonometry, vectors with a stored length, polar coordinates and
// rotation matrices.
#include "Mathe.h"

#include "NearLD.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr long double Tol = 1e-17L; // a few units in the last place of a long double

// Sine and Cosine reduce the angle themselves before calling the library;
// the values must stay those of the library to within a unit or two in the
// last place (1 ulp of a long double near 1 is 1.1e-19).
TEST(SineCosineTest, AgreeWithTheLibrary) {
  for (long double x = -50.0L; x <= 50.0L; x += 0.01234567L) {
    EXPECT_TRUE(NearLD(Sine(x), std::sin(x), 2.5e-19L)) << static_cast<double>(x);
    EXPECT_TRUE(NearLD(Cosine(x), std::cos(x), 2.5e-19L)) << static_cast<double>(x);
  }
  for (int k = -40; k <= 40; ++k) { // at the quarter turns themselves
    const long double x = k * Pi / 4.0L;
    EXPECT_TRUE(NearLD(Sine(x), std::sin(x), 2.5e-19L)) << k;
    EXPECT_TRUE(NearLD(Cosine(x), std::cos(x), 2.5e-19L)) << k;
  }
  EXPECT_EQ(Sine(0.5L), std::sin(0.5L));   // small angles go straight to the library
  EXPECT_EQ(Sine(1e10L), std::sin(1e10L)); // so do huge ones
  EXPECT_EQ(Cosine(-1e10L), std::cos(-1e10L));
  EXPECT_TRUE(std::isnan(Sine(std::numeric_limits<long double>::quiet_NaN())));
  EXPECT_TRUE(std::isnan(Cosine(std::numeric_limits<long double>::infinity())));
}

// CosSin works from a table of steps of pi/64; it must stay within a few
// units in the last place of the library everywhere, the ends and the
// middle of the steps included.
TEST(SineCosineTest, PairAgreesWithTheLibrary) {
  for (long double x = -50.0L; x <= 50.0L; x += 0.001234567L) {
    const TComplex e = CosSin(x);
    EXPECT_TRUE(NearLD(e.C, std::cos(x), 3.5e-19L)) << static_cast<double>(x);
    EXPECT_TRUE(NearLD(e.S, std::sin(x), 3.5e-19L)) << static_cast<double>(x);
  }
  for (int k = -64; k <= 64; ++k) { // the steps themselves and half-way between
    for (const long double x : {k * Pi / 64.0L, (k + 0.5L) * Pi / 64.0L}) {
      EXPECT_TRUE(NearLD(CosSin(x).C, std::cos(x), 3.5e-19L)) << k;
      EXPECT_TRUE(NearLD(CosSin(x).S, std::sin(x), 3.5e-19L)) << k;
    }
  }
  EXPECT_EQ(CosSin(1e10L).S, std::sin(1e10L)); // beyond the reduction: the library
  EXPECT_TRUE(std::isnan(CosSin(std::numeric_limits<long double>::quiet_NaN()).C));
}

// The double pair for the small terms of the series: within two units in
// the last place of a double (2.2e-16 near 1), also after many turns.
TEST(SineCosineTest, DoublePairAgreesWithTheLibrary) {
  for (double x = -50.0; x <= 50.0; x += 0.01234567) {
    const TComplexD e = CosSinD(x);
    EXPECT_NEAR(e.C, std::cos(x), 4.5e-16) << x;
    EXPECT_NEAR(e.S, std::sin(x), 4.5e-16) << x;
    EXPECT_EQ(SineD(x), e.S) << x;
  }
  for (int k = -40; k <= 40; ++k) { // at the quarter turns themselves
    const double x = k * static_cast<double>(Pi) / 4.0;
    EXPECT_NEAR(CosSinD(x).C, std::cos(x), 4.5e-16) << k;
    EXPECT_NEAR(CosSinD(x).S, std::sin(x), 4.5e-16) << k;
  }
  // Every entry of the table of steps of pi/64 round the circle, negative
  // counts included, at the step and half-way to the next.
  for (int k = -300; k <= 300; ++k) {
    for (const double x :
         {k * static_cast<double>(Pi) / 64.0, (k + 0.5) * static_cast<double>(Pi) / 64.0}) {
      EXPECT_NEAR(CosSinD(x).C, std::cos(x), 4.5e-16) << k;
      EXPECT_NEAR(CosSinD(x).S, std::sin(x), 4.5e-16) << k;
    }
  }
  EXPECT_NEAR(SineD(123456.789), std::sin(123456.789), 4.5e-16);
  EXPECT_EQ(SineD(1e10), std::sin(1e10)); // beyond the reduction: the library
  EXPECT_TRUE(std::isnan(CosSinD(std::numeric_limits<double>::quiet_NaN()).C));
}

// ReduceAngle as first written, with a branch for the upper quadrants.
double ReduceAngleWithBranch(long double x) {
  long double r;
  int quadrant;
  if (!MatheDetail::ReduceQuarterTurns(x, r, quadrant)) return static_cast<double>(x);
  if (quadrant >= 2) quadrant -= 4;
  return static_cast<double>(r + quadrant * (Pi / 2.0L));
}

// SinesD works on two angles at once with the steps of SineD; the values
// must be the same bit for bit, also where one of a pair is out of the
// table's range or no number, and for the odd one left over.
TEST(SineCosineTest, SinesInPairsAreThoseOfSineD) {
  std::mt19937_64 random(20261209);
  std::uniform_real_distribution<double> angle(-40.0, 40.0);
  for (int i = 0; i < 20000; ++i) {
    std::array<double, 7> x;
    for (double& a : x) a = angle(random);
    const std::array<double, 7> s = SinesD(x);
    for (std::size_t j = 0; j < x.size(); ++j) ASSERT_EQ(s[j], SineD(x[j])) << x[j];
  }
  const std::array<double, 4> odd = {1e7, 0.5, std::numeric_limits<double>::quiet_NaN(), -2.0};
  const std::array<double, 4> s = SinesD(odd);
  EXPECT_EQ(s[0], SineD(odd[0]));
  EXPECT_EQ(s[1], SineD(odd[1]));
  EXPECT_TRUE(std::isnan(s[2]));
  EXPECT_EQ(s[3], SineD(odd[3]));
}

// CosSins takes two angles at once with the steps of CosSin; the pairs must
// be the same bit for bit, also where one angle is out of the table's range
// or no number.
TEST(SineCosineTest, CosSinsInPairsAreThoseOfCosSin) {
  std::mt19937_64 random(20261212);
  std::uniform_real_distribution<long double> angle(-40.0L, 40.0L);
  for (int i = 0; i < 20000; ++i) {
    const long double x0 = angle(random), x1 = angle(random);
    const std::array<TComplex, 2> e = CosSins(x0, x1);
    ASSERT_EQ(e[0].C, CosSin(x0).C) << static_cast<double>(x0);
    ASSERT_EQ(e[0].S, CosSin(x0).S) << static_cast<double>(x0);
    ASSERT_EQ(e[1].C, CosSin(x1).C) << static_cast<double>(x1);
    ASSERT_EQ(e[1].S, CosSin(x1).S) << static_cast<double>(x1);
  }
  const std::array<TComplex, 2> wide = CosSins(-3.0L, 1e7L);
  EXPECT_EQ(wide[0].C, CosSin(-3.0L).C);
  EXPECT_EQ(wide[0].S, CosSin(-3.0L).S);
  EXPECT_EQ(wide[1].C, CosSin(1e7L).C);
  EXPECT_EQ(wide[1].S, CosSin(1e7L).S);
  const std::array<TComplex, 2> nan = CosSins(std::numeric_limits<long double>::quiet_NaN(), 0.5L);
  EXPECT_TRUE(std::isnan(nan[0].C));
  EXPECT_TRUE(std::isnan(nan[0].S));
  EXPECT_EQ(nan[1].C, CosSin(0.5L).C);
  EXPECT_EQ(nan[1].S, CosSin(0.5L).S);
}

// CosSinsD works on two angles at once with the steps of CosSinD; the pairs
// must be the same bit for bit, also where one angle is out of the table's
// range or no number.
TEST(SineCosineTest, CosSinsInPairsAreThoseOfCosSinD) {
  std::mt19937_64 random(20261211);
  std::uniform_real_distribution<double> angle(-40.0, 40.0);
  const auto expectSame = [](const TComplexD& a, const TComplexD& b) {
    EXPECT_EQ(a.C, b.C);
    EXPECT_EQ(a.S, b.S);
  };
  for (int i = 0; i < 20000; ++i) {
    const double x0 = angle(random), x1 = angle(random);
    const std::array<TComplexD, 2> e = CosSinsD(x0, x1);
    ASSERT_EQ(e[0].C, CosSinD(x0).C) << x0;
    ASSERT_EQ(e[0].S, CosSinD(x0).S) << x0;
    ASSERT_EQ(e[1].C, CosSinD(x1).C) << x1;
    ASSERT_EQ(e[1].S, CosSinD(x1).S) << x1;
  }
  const std::array<TComplexD, 2> wide = CosSinsD(1e7, -2.0);
  expectSame(wide[0], CosSinD(1e7));
  expectSame(wide[1], CosSinD(-2.0));
  const std::array<TComplexD, 2> nan = CosSinsD(0.5, std::numeric_limits<double>::quiet_NaN());
  expectSame(nan[0], CosSinD(0.5));
  EXPECT_TRUE(std::isnan(nan[1].C));
  EXPECT_TRUE(std::isnan(nan[1].S));
}

// Products of pairs in the halves of a register round as ComplexProduct
// does, bit for bit, also with the conjugate of the second factor.
TEST(ComplexPairTest, ProductsAreThoseOfComplexProduct) {
  std::mt19937_64 random(20261210);
  std::uniform_real_distribution<double> component(-1.5, 1.5);
  for (int i = 0; i < 20000; ++i) {
    const TComplexD a = {component(random), component(random)};
    const TComplexD b = {component(random), component(random)};
    const TPairD z = {a.C, a.S};
    const TFactorD w = Factor(TPairD{b.C, b.S});
    const TComplexD product = ComplexProduct(a, b);
    const TComplexD withConjugate = ComplexProduct(a, Conjugate(b));
    ASSERT_EQ(Product(z, w)[0], product.C);
    ASSERT_EQ(Product(z, w)[1], product.S);
    ASSERT_EQ(ProductWithConjugate(z, w)[0], withConjugate.C);
    ASSERT_EQ(ProductWithConjugate(z, w)[1], withConjugate.S);
    ASSERT_EQ(Conjugate(z)[1], -a.S);
  }
}

// A constant stored in a table and loaded as two doubles is the long
// double constant itself, as with Load.
TEST(LongConstantTest, LoadsAStoredConstantExactly) {
  static const TLongConstant Stored[] = {LongConstant(6892.76L), LongConstant(-16707.37L),
                                         LongConstant(0.13L)};
  EXPECT_EQ(LoadStored(Stored[0]), 6892.76L);
  EXPECT_EQ(LoadStored(Stored[1]), -16707.37L);
  EXPECT_EQ(LoadStored(Stored[2]), 0.13L);
}

// A constant loaded as two doubles is the long double constant itself.
TEST(LongConstantTest, LoadsTheConstantExactly) {
  constexpr TLongConstant TwoPi = LongConstant(6.283185308L);
  constexpr TLongConstant Rate = LongConstant(-1336.85522467L);
  constexpr TLongConstant Tiny = LongConstant(0.00002565L);
  EXPECT_EQ(Load(TwoPi), 6.283185308L);
  EXPECT_EQ(Load(Rate), -1336.85522467L);
  EXPECT_EQ(Load(Tiny), 0.00002565L);
  EXPECT_EQ(Load(LongConstant(Pi)), Pi);
}

TEST(SineCosineTest, ReduceAngleMapsTheQuadrantsWithoutABranch) {
  std::mt19937_64 random(20260516);
  std::uniform_real_distribution<long double> angle(-2000.0L, 2000.0L);
  for (int i = 0; i < 100000; ++i) {
    const long double x = angle(random);
    ASSERT_EQ(ReduceAngle(x), ReduceAngleWithBranch(x)) << static_cast<double>(x);
  }
  for (const long double x : {0.0L, -0.0L, Pi / 4, 3 * Pi / 4, -3 * Pi / 4, 5 * Pi / 4, 2e6L,
                              std::numeric_limits<long double>::infinity()})
    EXPECT_EQ(ReduceAngle(x), ReduceAngleWithBranch(x)) << static_cast<double>(x);
}

TEST(SineCosineTest, ReduceAngleKeepsTheDigitsOfLargeAngles) {
  // Some 16 000 turns: rounded to a double first, the angle would lose a
  // few 1e-12 radians.
  for (long double x = 1e5L; x < 1e5L + 100.0L; x += 0.377L) {
    EXPECT_NEAR(SineD(ReduceAngle(x)), static_cast<double>(std::sin(x)), 4.5e-16)
        << static_cast<double>(x);
  }
  for (long double a = -700.0L; a <= 700.0L; a += 0.377L) {
    const double r = ReduceAngle(a);
    EXPECT_LE(std::fabs(r), 1.25 * static_cast<double>(Pi)) << static_cast<double>(a);
    EXPECT_NEAR(SineD(r), static_cast<double>(std::sin(a)), 4.5e-16) << static_cast<double>(a);
  }
}

// Trunc and Floor must be std::trunc and std::floor exactly: the calendar
// and the fractional turns of the series depend on every bit.
TEST(WholeNumberTest, TruncAndFloorAreExact) {
  const long double ulp = 0x1p-63L;
  for (long double x : {0.0L, 0.3L, 0.5L, 0.7L, 1.0L, 1.0L - ulp, 1.0L + 2 * ulp, 2.5L, 3.5L,
                        2451545.0L, 2451545.5L, 2451544.9999999999L, 1e15L + 0.5L, 0x1p51L - 0.5L,
                        0x1p51L, 0x1p53L + 1.0L, 1e30L}) {
    for (long double v : {x, -x}) {
      EXPECT_EQ(Trunc(v), std::trunc(v)) << static_cast<double>(v);
      EXPECT_EQ(Floor(v), std::floor(v)) << static_cast<double>(v);
    }
  }
  for (long double x = -1000.0L; x <= 1000.0L; x += 0.0625L / 3.0L) {
    EXPECT_EQ(Trunc(x), std::trunc(x)) << static_cast<double>(x);
    EXPECT_EQ(Floor(x), std::floor(x)) << static_cast<double>(x);
  }
  EXPECT_TRUE(std::isnan(Trunc(std::numeric_limits<long double>::quiet_NaN())));
  EXPECT_TRUE(std::isinf(Floor(-std::numeric_limits<long double>::infinity())));
}

// The fractional parts of the series' arguments must be those of the
// subtraction bit for bit (a zero may lose its sign), also where the rest
// is tiny and the turn added or removed rounds, and for arguments of many
// thousand turns.
TEST(WholeNumberTest, FractionalPartsAreThoseOfTheSubtraction) {
  const long double ulp = 0x1p-63L;
  std::vector<long double> xs = {
      0.0L, ulp,  1e-30L,     0.5L,         1.0L - ulp,     1.0L,    1.0L + 2 * ulp,
      2.5L, 3.5L, 2451545.5L, 1e15L + 0.5L, 0x1p51L - 0.5L, 0x1p51L, 0x1p53L + 1.0L,
      1e30L};
  // Arguments of the Moon's series over the calendar: a + b T in turns.
  for (long double T = -67.5L; T <= 80.0L; T += 0.0137L)
    xs.push_back(0.60643382L + 1336.85522467L * T);
  for (long double x : xs) {
    for (long double v : {x, -x}) {
      const long double floorRest = v - std::floor(v), truncRest = v - std::trunc(v);
      EXPECT_EQ(FractionalPart(v), floorRest) << static_cast<double>(v);
      EXPECT_EQ(SignedFractionalPart(v), truncRest) << static_cast<double>(v);
    }
  }
  EXPECT_TRUE(std::isnan(FractionalPart(std::numeric_limits<long double>::quiet_NaN())));
  EXPECT_TRUE(std::isnan(SignedFractionalPart(std::numeric_limits<long double>::infinity())));
}

// Most fractions are found by deciding the whole number in double; close
// to a whole number, where the double of x may land on it or beyond, the
// rest is taken exactly. Both ways must give the subtraction's value,
// however close x comes to a whole number and on whichever side.
TEST(WholeNumberTest, FractionsNextToWholeNumbersAreThoseOfTheSubtraction) {
  std::mt19937_64 random(20261208);
  std::uniform_int_distribution<int> whole(-70000, 70000);
  std::uniform_int_distribution<int> exponent(-70, -1);
  std::uniform_real_distribution<long double> mantissa(0.5L, 1.0L);
  for (int i = 0; i < 200000; ++i) {
    const long double offset = std::ldexp(mantissa(random), exponent(random));
    for (const long double v : {whole(random) + offset, whole(random) - offset}) {
      ASSERT_EQ(FractionalPart(v), v - std::floor(v)) << static_cast<double>(v);
      ASSERT_EQ(SignedFractionalPart(v), v - std::trunc(v)) << static_cast<double>(v);
    }
  }
}

// FractionOfTurn is FractionalPart but for a tiny negative x, whose
// fraction rounds up to a whole turn and counts as none.
TEST(WholeNumberTest, FractionOfTurnStaysBelowOne) {
  const long double ulp = 0x1p-63L;
  for (const long double v : {-ulp / 4, -1e-30L, -0x1p-66L}) {
    EXPECT_EQ(FractionalPart(v), 1.0L) << static_cast<double>(v);
    EXPECT_EQ(FractionOfTurn(v), 0.0L) << static_cast<double>(v);
  }
  for (long double x = -1000.0L; x <= 1000.0L; x += 0.0137L) {
    EXPECT_EQ(FractionOfTurn(x), FractionalPart(x)) << static_cast<double>(x);
    EXPECT_LT(FractionOfTurn(x), 1.0L);
  }
  EXPECT_EQ(FractionOfTurn(1e30L), 0.0L);
  EXPECT_TRUE(std::isnan(FractionOfTurn(std::numeric_limits<long double>::quiet_NaN())));
}

TEST(ArcSinTest, EndPointsAndSmallArgumentsAreExact) {
  EXPECT_EQ(ArcSin(1.0L), Pi / 2.0L);
  EXPECT_EQ(ArcSin(-1.0L), -Pi / 2.0L);
  EXPECT_EQ(ArcSin(5e-8L), 5e-8L);
  EXPECT_EQ(ArcSin(0.0L), 0.0L);
  EXPECT_TRUE(NearLD(ArcSin(0.5L), Pi / 6.0L, Tol));
  EXPECT_TRUE(NearLD(ArcSin(-std::sqrt(0.5L)), -Pi / 4.0L, Tol));
}

TEST(ArcSinTest, ArgumentsBeyondOneAreClamped) {
  EXPECT_EQ(ArcSin(1.0L + 1e-15L), Pi / 2.0L);
  EXPECT_EQ(ArcSin(-3.0L), -Pi / 2.0L);
}

TEST(ArcCosTest, KnownValues) {
  EXPECT_EQ(ArcCos(0.0L), Pi / 2.0L);
  EXPECT_EQ(ArcCos(1.0L), 0.0L);
  EXPECT_EQ(ArcCos(-1.0L), Pi);
  EXPECT_TRUE(NearLD(ArcCos(0.5L), Pi / 3.0L, Tol));
  EXPECT_TRUE(NearLD(ArcCos(-0.5L), 2.0L * Pi / 3.0L, Tol));
  // No shortcut for small arguments, yet the result is still right.
  EXPECT_TRUE(NearLD(ArcCos(1e-9L), Pi / 2.0L - 1e-9L, Tol));
  EXPECT_TRUE(NearLD(ArcCos(1e-300L), Pi / 2.0L, Tol));
}

TEST(ArcCosTest, ArgumentsBeyondOneAreClamped) {
  EXPECT_EQ(ArcCos(1.0L + 1e-15L), 0.0L);
  EXPECT_EQ(ArcCos(-2.0L), Pi);
}

TEST(ArcTan2Test, SignsAndZeros) {
  EXPECT_EQ(ArcTan2(0.0L, 0.0L), 0.0L);
  EXPECT_EQ(ArcTan2(0.0L, -1.0L), Pi);
  EXPECT_EQ(ArcTan2(-0.0L, -1.0L), Pi); // a negative zero is not below zero
  EXPECT_TRUE(NearLD(ArcTan2(1.0L, 1.0L), Pi / 4.0L, Tol));
  EXPECT_TRUE(NearLD(ArcTan2(-1.0L, -1.0L), -3.0L * Pi / 4.0L, Tol));
  EXPECT_EQ(ArcTan2(2.0L, 0.0L), Pi / 2.0L);
  EXPECT_EQ(ArcTan2(-2.0L, 0.0L), -Pi / 2.0L);
}

TEST(ArcTan2Test, AgreesWithTheLibraryAllRoundTheCircle) {
  for (int k = -179; k <= 180; ++k) {
    const long double a = k * DegToRad;
    const long double r = 3.7L;
    EXPECT_TRUE(NearLD(ArcTan2(r * std::sin(a), r * std::cos(a)),
                       std::atan2(r * std::sin(a), r * std::cos(a)), 4 * Tol))
        << k << " degrees";
  }
}

TEST(VectorTest, BuildingOperationsRecomputeTheLength) {
  const TVector A = MakeVector(1.0L, 2.0L, 2.0L);
  const TVector B = MakeVector(2.0L, 4.0L, -2.0L);
  EXPECT_EQ(A.Length, 3.0L);
  EXPECT_TRUE(NearLD(AddVectors(A, B).Length, std::sqrt(45.0L), Tol));
  const TVector D = SubtractVectors(A, B); // A minus B
  EXPECT_EQ(D.Z, 4.0L);
  EXPECT_TRUE(NearLD(D.Length, std::sqrt(21.0L), Tol));
  EXPECT_EQ(DotProduct(A, B), 6.0L);
  const TVector Z = CrossProduct(MakeVector(1, 0, 0), MakeVector(0, 1, 0)); // x cross y = z
  EXPECT_EQ(Z.Z, 1.0L);
  EXPECT_EQ(Z.Length, 1.0L);
}

TEST(VectorTest, NormalizeAndScaleTrustTheStoredLength) {
  TVector V = MakeVector(3.0L, 4.0L, 0.0L);
  NormalizeVector(V);
  EXPECT_TRUE(NearLD(V.X, 0.6L, Tol));
  EXPECT_TRUE(NearLD(V.Y, 0.8L, Tol));
  EXPECT_EQ(V.Length, 1.0L);

  TVector W = MakeVector(3.0L, 4.0L, 0.0L);
  W.Length = 10.0L; // a caller's own length is used as it stands
  NormalizeVector(W);
  EXPECT_TRUE(NearLD(W.X, 0.3L, Tol));

  TVector Zero;
  NormalizeVector(Zero);
  EXPECT_EQ(Zero.X, 0.0L);
  EXPECT_EQ(Zero.Y, 0.0L);
  EXPECT_EQ(Zero.Z, 0.0L);
  EXPECT_EQ(Zero.Length, 1.0L);

  TVector U = MakeVector(1.0L, 2.0L, 2.0L);
  ScaleVector(U, -2.0L);
  EXPECT_EQ(U.X, -2.0L);
  EXPECT_EQ(U.Y, -4.0L);
  EXPECT_EQ(U.Z, -4.0L);
  EXPECT_EQ(U.Length, 6.0L); // doubled and still positive
}

TEST(PolarTest, ConversionsBothWays) {
  const TVector V = PolarToVector(TPolar{2.0L, Pi / 2.0L, 0.0L});
  EXPECT_TRUE(NearLD(V.X, 0.0L, Tol));
  EXPECT_TRUE(NearLD(V.Y, 2.0L, Tol));
  EXPECT_TRUE(NearLD(V.Z, 0.0L, Tol));
  EXPECT_EQ(PolarToVector(TPolar{5.0L, 0.3L, 0.2L}).Length, 5.0L); // copied, not recomputed

  const TPolar P = VectorToPolar(MakeVector(0.0L, -1.0L, 0.0L));
  EXPECT_TRUE(NearLD(P.Lon, 3.0L * Pi / 2.0L, Tol));
  EXPECT_EQ(P.Lat, 0.0L);
  EXPECT_EQ(P.R, 1.0L);

  const TPolar Q = VectorToPolar(MakeVector(1.0L, 0.0L, 1.0L));
  EXPECT_TRUE(NearLD(Q.Lat, Pi / 4.0L, Tol));
  EXPECT_EQ(Q.Lon, 0.0L);

  for (long double lon = 0.05L; lon < 2.0L * Pi; lon += 0.5L) {
    const TPolar R = VectorToPolar(PolarToVector(TPolar{1.5L, lon, -0.7L}));
    EXPECT_TRUE(NearLD(R.Lon, lon, 4 * Tol));
    EXPECT_TRUE(NearLD(R.Lat, -0.7L, 4 * Tol));
    EXPECT_EQ(R.R, 1.5L);
  }
}

TEST(PolarTest, VectorsOnTheZAxisGiveNoNaN) {
  const TPolar Up = VectorToPolar(MakeVector(0.0L, 0.0L, 5.0L));
  EXPECT_EQ(Up.Lon, 0.0L);
  EXPECT_EQ(Up.Lat, Pi / 2.0L);
  const TPolar Down = VectorToPolar(MakeVector(0.0L, 0.0L, -1.0L));
  EXPECT_EQ(Down.Lon, 0.0L);
  EXPECT_EQ(Down.Lat, -Pi / 2.0L);
  const TPolar Zero = VectorToPolar(TVector{});
  EXPECT_EQ(Zero.Lon, 0.0L);
  EXPECT_EQ(Zero.Lat, 0.0L);
  EXPECT_EQ(Zero.R, 0.0L);
}

// Each rotation turns a vector counter-clockwise seen from its axis.
TEST(RotationTest, QuarterTurnsAboutEachAxis) {
  TVector V = MakeVector(1, 0, 0);
  RotateVector(RotationZ(Pi / 2.0L), V); // x -> y
  EXPECT_TRUE(NearLD(V.X, 0.0L, Tol));
  EXPECT_TRUE(NearLD(V.Y, 1.0L, Tol));
  V = MakeVector(0, 1, 0);
  RotateVector(RotationX(Pi / 2.0L), V); // y -> z
  EXPECT_TRUE(NearLD(V.Y, 0.0L, Tol));
  EXPECT_TRUE(NearLD(V.Z, 1.0L, Tol));
  V = MakeVector(0, 0, 1);
  RotateVector(RotationY(Pi / 2.0L), V); // z -> x
  EXPECT_TRUE(NearLD(V.X, 1.0L, Tol));
  EXPECT_TRUE(NearLD(V.Z, 0.0L, Tol));

  TVector W = MakeVector(3, 4, 12);
  W.Length = 99; // RotateVector rebuilds the length from the components
  RotateVector(RotationX(0.4L), W);
  EXPECT_TRUE(NearLD(W.Length, 13.0L, 1e-16L));
}

TEST(RotationTest, ProductsAddAnglesAndMayOverwriteAnOperand) {
  TMatrix A = RotationZ(0.3L);
  A = MatrixProduct(A, RotationZ(0.5L));
  const TMatrix B = RotationZ(0.8L);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_TRUE(NearLD(A.M[i][j], B.M[i][j], 4 * Tol)) << i << "," << j;

  // A rotation followed by its inverse is the identity.
  const TMatrix I = MatrixProduct(RotationY(1.1L), RotationY(-1.1L));
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_TRUE(NearLD(I.M[i][j], i == j ? 1.0L : 0.0L, 4 * Tol));
}

TEST(DegreeSignTest, IsTheUtf8DegreeSign) {
  EXPECT_EQ(DegreeSign, "\xC2\xB0");
}

} // namespace
