#include "ModulGraf.h"

#include <algorithm>
#include <cmath>

#include "Kern2Graf.h"
#include "KernGraf.h"

// ---- module state ----------------------------------------------------------------
int VX1 = 0, VX2 = 0, VY1 = 0, VY2 = 0;
long double WX1 = 0, WX2 = 1, WY1 = 0, WY2 = 1;
long double SX = 0, SY = 0;

namespace {

int PenX = 0, PenY = 0;

constexpr long double FarAway = 2147483647.0L;

// A viewport extent over a world extent. A world window without width or
// height has no scale; every point of it then maps onto the viewport's edge
// instead of dividing by zero.
long double Scale(int viewFrom, int viewTo, long double worldFrom, long double worldTo) {
  const long double world = worldTo - worldFrom;
  if (world == 0 || std::isnan(world)) return 0;
  return (static_cast<long double>(viewTo) - viewFrom) / world;
}

// round(v), but everything at or beyond 2147483647 in size, and NaN (a point
// that was not a number, such as 0 times an infinite scale), is 2147483647:
// far off the screen, never an undefined conversion.
int ToPixel(long double v) {
  if (std::isnan(v) || std::fabs(v) >= FarAway) return 2147483647;
  return RoundEven(v);
}

// The bell of a rejected number: the character with code 7 at the text
// cursor, as the console always did (it draws nothing), and the window
// system's beep.
void Bell() {
  WriteText(std::string(1, '\a'));
  Beep();
}

} // namespace

// ---- world coordinates ------------------------------------------------------------------
void SetViewport(int left, int right, int top, int bottom) {
  VX1 = left;
  VX2 = right;
  VY1 = top;
  VY2 = bottom;
}

void SetWorldWindow(long double xLeft, long double xRight, long double yBottom, long double yTop) {
  WX1 = xLeft;
  WX2 = xRight;
  WY1 = yBottom;
  WY2 = yTop;
  SX = Scale(VX1, VX2, WX1, WX2);
  SY = Scale(VY1, VY2, WY1, WY2);
}

int WorldToScreenX(long double x) {
  return ToPixel((x - WX1) * SX + VX1);
}

int WorldToScreenY(long double y) {
  return ToPixel((WY2 - y) * SY + VY1);
}

// ---- connected lines ----------------------------------------------------------------------
void PenMoveTo(int x, int y) {
  PenX = x;
  PenY = y;
}

void PenLineTo(int x, int y, int colour) {
  DrawLine(PenX, PenY, x, y, colour);
  PenX = x;
  PenY = y;
}

// ---- number input ---------------------------------------------------------------------------
namespace {

// "" when the value lies in the range (or there is none), else the reason.
std::string OutOfRange(long double value, const TInputRange* range) {
  if (range == nullptr) return "";
  if (value < range->Low) return range->TooLow;
  if (value > range->High) return range->TooHigh;
  return "";
}

} // namespace

void InputReal(const std::string& prompt, std::string& text, long double& value,
               const TInputRange* range) {
  std::string reason;
  for (;;) {
    InputString(prompt, text, reason);
    // A decimal comma is read as a point; the user's text keeps its comma.
    std::string copy = text;
    std::replace(copy.begin(), copy.end(), ',', '.');
    long double answer = 0;
    reason = ParseReal(copy, answer) == 0 ? OutOfRange(answer, range) : "keine gültige Zahl";
    if (reason.empty()) {
      value = answer;
      return;
    }
    Bell();
  }
}

void InputInteger(const std::string& prompt, std::string& text, int32_t& value,
                  const TInputRange* range) {
  std::string reason;
  for (;;) {
    InputString(prompt, text, reason);
    int32_t answer = 0;
    reason = ParseInteger(text, answer) == 0 ? OutOfRange(answer, range) : "keine gültige Zahl";
    if (reason.empty()) {
      value = answer;
      return;
    }
    Bell();
  }
}

void InputChar(const std::string& prompt, std::string& letter) {
  std::string answer = letter;
  InputString(prompt, answer);
  // An empty answer keeps the default letter.
  if (answer.empty()) return;
  // The last character, which in UTF-8 may take several bytes.
  size_t start = answer.size() - 1;
  while (start > 0 && (static_cast<unsigned char>(answer[start]) & 0xC0) == 0x80) --start;
  letter = answer.substr(start);
}
