// GoogleTest's EXPECT_NEAR compares in double precision; tolerances below
// that need the comparison in long double.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>

inline testing::AssertionResult NearLD(long double a, long double b, long double tol) {
  const long double d = std::fabs(a - b);
  if (d <= tol) return testing::AssertionSuccess();
  return testing::AssertionFailure() << std::setprecision(21) << a << " and " << b << " differ by "
                                     << d << ", more than " << tol;
}
