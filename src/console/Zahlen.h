// Number texts of the console: conversion of typed texts into numbers and of
// numbers into fixed-width texts. No Qt, so the parameter file reader and
// the ephemeris table can use them without a display.
#pragma once

#include <cstdint>
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

// Round to the nearest integer, halves to the even neighbour (2.5 -> 2).
// NaN gives 0; values beyond the int32 range give the nearest end of it.
int32_t RoundEven(long double v);
