#include "Zahlen.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Position (1-based) just after the leading blanks.
size_t SkipBlanks(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  return i;
}

// The digits of a non-negative whole number held in a long double. Below
// 2^64 the number is an unsigned integer exactly, whose digits to_chars
// writes without the stream machinery of printf (a panel's date took a
// percent of an animation tick so).
std::string WholeDigits(long double r) {
  if (r < 18446744073709551616.0L) {
    char digits[24];
    return std::string(digits,
                       std::to_chars(digits, digits + sizeof digits, static_cast<uint64_t>(r)).ptr);
  }
  char buffer[8192];
  std::snprintf(buffer, sizeof buffer, "%.0Lf", r);
  return buffer;
}

// 10^d as std::pow gives it, the small powers taken once.
long double PowerOfTen(int d) {
  struct TPowers {
    long double Values[19];
    TPowers() {
      for (int k = 0; k < 19; ++k) Values[k] = std::pow(10.0L, k);
    }
  };
  static const TPowers powers;
  return d >= 0 && d < 19 ? powers.Values[d] : std::pow(10.0L, d);
}

std::string PadLeft(const std::string& s, long double width) {
  if (!(width > 0) || width > 4096) return s;
  const size_t w = static_cast<size_t>(width);
  return s.size() >= w ? s : std::string(w - s.size(), ' ') + s;
}

} // namespace

namespace {

// The value of a number text whose form was checked: false if it is out of
// range. The browser build's C++ library has no from_chars for reals;
// strtold reads the same checked text alike there (its only locale is C).
bool ConvertReal(const char* first, const char* last, long double& result) {
#if defined(__EMSCRIPTEN__)
  const std::string copy(first, last);
  errno = 0;
  char* end = nullptr;
  result = std::strtold(copy.c_str(), &end);
  return errno != ERANGE && end == copy.c_str() + copy.size();
#else
  const auto [end, error] = std::from_chars(first, last, result);
  return error == std::errc() && end == last;
#endif
}

} // namespace

int ParseReal(const std::string& text, long double& value) {
  size_t i = SkipBlanks(text);
  const size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return static_cast<int>(i) + 1;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i >= text.size() || !IsDigit(text[i])) return static_cast<int>(i) + 1;
    while (i < text.size() && IsDigit(text[i])) ++i;
  }
  if (i < text.size()) return static_cast<int>(i) + 1;

  // from_chars does not take a leading '+', and it ignores the locale.
  size_t from = start;
  if (text[from] == '+') ++from;
  long double result = 0;
  if (!ConvertReal(text.data() + from, text.data() + text.size(), result) || !std::isfinite(result))
    return static_cast<int>(start) + 1;
  value = result;
  return 0;
}

int ParseInteger(const std::string& text, int32_t& value) {
  size_t i = SkipBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size() || !IsDigit(text[i])) return static_cast<int>(i) + 1;
  int64_t result = 0;
  const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                 : std::numeric_limits<int32_t>::max();
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return static_cast<int>(i) + 1;
    result = result * 10 + (text[i] - '0');
    if (result > limit) return static_cast<int>(i) + 1; // out of range
  }
  value = static_cast<int32_t>(negative ? -result : result);
  return 0;
}

int32_t RoundEvenFar(long double v) {
  if (std::isnan(v)) return 0;
  // The default rounding mode takes halves to the even neighbour. rint rounds
  // exactly like nearbyint but may flag the result as inexact, which nothing
  // here looks at; nearbyint saves and restores the floating-point state for
  // every call, which made it the costliest step of drawing a globe.
  const long double r = std::rint(v);
  if (r >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (r <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

std::string FormatReal(long double value, long double format) {
  if (std::isnan(format) || format < 0) format = 0;
  const long double c = std::trunc(format);
  const int d = RoundEven((format - c) * 10);
  if (!std::isfinite(value)) {
    const char* text = std::isnan(value) ? "NAN" : (value > 0 ? "+INF" : "-INF");
    return PadLeft(text, d > 0 ? c + d + 2 : c);
  }
  if (d <= 0) {
    const long double r = std::nearbyint(value);
    std::string s = WholeDigits(std::fabs(r));
    if (r < 0) s = "-" + s;
    return PadLeft(s, c);
  }
  const long double r = std::nearbyint(value * PowerOfTen(d));
  if (!std::isfinite(r)) {
    // Too large to scale by 10^d: such a number has no fraction left, so its
    // digits followed by d zeros are exact.
    std::string s = WholeDigits(std::fabs(value)) + "." + std::string(d, '0');
    if (value < 0) s = "-" + s;
    return PadLeft(s, c + d + 2);
  }
  std::string digits = WholeDigits(std::fabs(r));
  if (digits.size() < static_cast<size_t>(d) + 1)
    digits = std::string(d + 1 - digits.size(), '0') + digits;
  std::string s = digits.substr(0, digits.size() - d) + "." + digits.substr(digits.size() - d);
  if (r < 0) s = "-" + s;
  return PadLeft(s, c + d + 2);
}

namespace {

// "h.mm" from a whole number of hundredths of an hour, as FormatReal with
// two decimals writes it without its leading blanks.
std::string HundredthsText(int64_t hundredths) {
  const uint64_t magnitude =
      hundredths < 0 ? 0 - static_cast<uint64_t>(hundredths) : static_cast<uint64_t>(hundredths);
  std::string text = hundredths < 0 ? "-" : "";
  char buffer[24];
  text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, magnitude / 100).ptr);
  const int minutes = static_cast<int>(magnitude % 100);
  text += '.';
  text += static_cast<char>('0' + minutes / 10);
  text += static_cast<char>('0' + minutes % 10);
  return text;
}

// Below this the hundredths are far inside the range of a double, which
// holds them exactly.
constexpr long double ClockTextDirectLimit = 1e9L;

} // namespace

std::string ClockText(long double t) {
  // The ephemeris writes a time on every row, and FormatReal's printf of
  // a long double would cost more than the rest of the row's text.
  // The same rounding as FormatReal (t * 100 to the nearest whole, halves
  // to even), then integer digits.
  if (std::fabs(t) < ClockTextDirectLimit) {
    const long double scaled = std::rint(t * 100.0L);
    int64_t hundredths = static_cast<int64_t>(static_cast<double>(scaled));
    if (hundredths % 100 == 60 || hundredths % 100 == -60) hundredths = 100 * int64_t{RoundEven(t)};
    return HundredthsText(hundredths);
  }
  auto text = [](long double value) {
    const std::string s = FormatReal(value, 2.2L);
    const size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? s : s.substr(first);
  };
  const std::string s = text(t);
  return s.find(".60") == std::string::npos ? s : text(RoundEven(t));
}
