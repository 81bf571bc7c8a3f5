// Number texts of the console: conversion of typed texts into numbers and of
// numbers into fixed-width texts. No Qt, so the parameter file reader and
// the ephemeris table can use them without a display.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

// Convert the whole text. Leading blanks are skipped; the first character that
// does not belong to the number gives its 1-based position as the error
// (an empty text or one of blanks only fails at the position after the blanks).
// Error position 0 means success. A value outside the range also fails.
int ParseReal(const std::string& text, long double& value);
int ParseInteger(const std::string& text, int32_t& value);

// Text of a number for the format w.d: c = trunc(format) characters before
// the point, d = round((format - c) * 10) decimals; right-aligned in a field of
// c + d + 2 characters when d > 0, else the value rounded to a whole number in
// c characters. Rounding goes half to even. FormatReal(9.5, 2.2) == "  9.50".
std::string FormatReal(long double value, long double format);

// The time of day t (h.mm) as the program writes it everywhere: two
// decimals and no leading blank ("9.30", "14.35"). A minute count that
// rounds to 60 is the next whole hour (12.597 gives "13.00", not "12.60"),
// as the calendar conversion leaves full hours a hair short.
std::string ClockText(long double t);

// RoundEven through std::rint; RoundEven itself takes this way for NaN and
// values beyond the int32 range only.
int32_t RoundEvenFar(long double v);

constexpr long double RoundingShift() {
  long double shift = 1.5L;
  for (int i = 1; i < std::numeric_limits<long double>::digits; ++i) shift *= 2;
  return shift;
}

// Round to the nearest integer, halves to the even neighbour (2.5 -> 2).
// NaN gives 0; values beyond the int32 range give the nearest end of it.
//
// Inline, because drawing a globe or a lit disc rounds every point. Adding
// and taking away 1.5 * 2^(digits - 1) leaves no digit after the point, and
// the sum rounds as the default mode does, halves to even: the same as
// std::rint for every value in the int32 range, at the cost of two
// additions instead of a call to rint (frndint on x87). The whole number
// goes to int through double, exact below 2^53, which spares x87 the
// switch of rounding mode its own truncating conversion needs.
inline int32_t RoundEven(long double v) {
  constexpr long double Shift = RoundingShift();
  if (!(std::fabs(v) < 2147483648.0L)) return RoundEvenFar(v);
  // Without -ffast-math no compiler may fold the pair away.
  const long double r = (v + Shift) - Shift;
  if (r >= 2147483647.0L) return std::numeric_limits<int32_t>::max();
  if (r <= -2147483648.0L) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(static_cast<double>(r));
}
