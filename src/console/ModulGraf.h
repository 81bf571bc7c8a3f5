// ModulGraf: world coordinates (a world rectangle mapped linearly onto a
// viewport of the screen, world y upwards), the pen for connected lines and
// the input of numbers and letters through the dialog. Plain C++ on the
// console's interface: both front ends compile this same file.
#pragma once

#include <cstdint>
#include <string>

extern int VX1, VX2, VY1, VY2;         // viewport, pixels
extern long double WX1, WX2, WY1, WY2; // world window
extern long double SX, SY;             // scales

void SetViewport(int left, int right, int top, int bottom);
void SetWorldWindow(long double xLeft, long double xRight, long double yBottom, long double yTop);
// Rounded half to even; beyond +-2147483647 (and NaN) the result is 2147483647.
int WorldToScreenX(long double x);
int WorldToScreenY(long double y);

void PenMoveTo(int x, int y);
void PenLineTo(int x, int y, int colour);

// The range an answer must lie in, and what the dialog says when it does not.
struct TInputRange {
  long double Low, High;
  std::string TooLow, TooHigh; // "Breite zwischen −90 und 90"
};

// Re-asks until the answer converts and lies in the range (if one is given):
// with a bell at the text cursor and the reason in the dialog ("keine
// gültige Zahl" or the range's text). The text supplies the default and
// keeps the user's answer, a rejected one too. InputReal accepts a comma.
void InputReal(const std::string& prompt, std::string& text, long double& value,
               const TInputRange* range = nullptr);
void InputInteger(const std::string& prompt, std::string& text, int32_t& value,
                  const TInputRange* range = nullptr);
