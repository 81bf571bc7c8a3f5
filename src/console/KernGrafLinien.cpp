// KernGraf, the thin lines: a one-pixel line whose ends both lie on the
// framebuffer is set pixel by pixel here rather than drawn by the painter,
// which costs more for a short line than its pixels do. The pixels are
// exactly those of Qt's aliased one-pixel line with square ends (a test
// compares the two in every direction): one pixel for every step along the
// longer axis, a diagonal counting as horizontal, both ends included. The
// other coordinate is carried in 16.16 fixed point; its step is truncated
// toward zero, and it starts on the first end's pixel, half a step on
// (rounded up) when it grows. "First" is the end with the smaller coordinate
// along the longer axis.
// A polyline of such lines (an outline of the globe, of thousands of points
// a step) is set here too, with one report of what it drew.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "KernGrafIntern.h"

namespace {

// Qt computes in 32-bit 16.16 fixed point, so the framebuffer must stay below
// 32768 pixels both ways for the two to agree; larger ones use the painter.
constexpr int LargestThinLineArea = 32767;

bool OnThinLineArea(const TScreenPixels& screen, int x, int y) {
  return x >= 0 && y >= 0 && x < screen.Width && y < screen.Height &&
         screen.Width <= LargestThinLineArea && screen.Height <= LargestThinLineArea;
}

// Both ends set.
void DrawThinLine(const TScreenPixels& screen, int x1, int y1, int x2, int y2, QRgb colour) {
  QRgb* const pixels = screen.Pixels;
  const qsizetype pixelsPerRow = screen.PixelsPerRow;
  // Qt's pen ignores the alpha of a colour: what it sets is opaque.
  const QRgb opaque = colour | 0xFF000000u;
  const bool steep = std::abs(y2 - y1) > std::abs(x2 - x1);
  // Along the longer axis from a to b, the other coordinate from c to d.
  int a = steep ? y1 : x1, b = steep ? y2 : x2;
  int c = steep ? x1 : y1, d = steep ? x2 : y2;
  if (a == b) return; // length 0
  if (a > b) {
    std::swap(a, b);
    std::swap(c, d);
  }
  const long long step = (static_cast<long long>(d - c) << 16) / (b - a);
  long long other = static_cast<long long>(c) << 16;
  if (step > 0) other += step - (step >> 1);
  for (int along = a; along <= b; ++along, other += step) {
    const int across = static_cast<int>(other >> 16);
    if (steep)
      pixels[along * pixelsPerRow + across] = opaque;
    else
      pixels[across * pixelsPerRow + along] = opaque;
  }
}

// A line longer than one step, without its end pixel.
[[gnu::noinline]] void SetLongThinLineWithoutEnd(const TScreenPixels& screen, int x1, int y1,
                                                 int x2, int y2, QRgb colour) {
  QRgb& end = screen.Pixels[y2 * screen.PixelsPerRow + x2];
  const QRgb underEnd = end;
  DrawThinLine(screen, x1, y1, x2, y2, colour);
  end = underEnd;
}

// The line without its end pixel, both ends known to lie on the framebuffer.
// A line of one step sets its first pixel only; most lines of an outline
// seen from afar are such steps, and they take no call here. A line of
// length 0 sets nothing.
inline void SetThinLineWithoutEnd(const TScreenPixels& screen, int x1, int y1, int x2, int y2,
                                  QRgb colour) {
  if (std::abs(x2 - x1) <= 1 && std::abs(y2 - y1) <= 1) {
    if (x1 != x2 || y1 != y2) screen.Pixels[y1 * screen.PixelsPerRow + x1] = colour | 0xFF000000u;
    return;
  }
  SetLongThinLineWithoutEnd(screen, x1, y1, x2, y2, colour);
}

} // namespace

bool DrawThinLineWithoutEnd(int x1, int y1, int x2, int y2, QRgb colour) {
  const TScreenPixels& screen = ScreenPixels();
  if (!OnThinLineArea(screen, x1, y1) || !OnThinLineArea(screen, x2, y2)) return false;
  SetThinLineWithoutEnd(screen, x1, y1, x2, y2, colour);
  return true;
}

void DrawPolyline(int n, const TPoint* points, int colour) {
  if (!ScreenAttached() || n < 2) return;
  if (CurrentLineWidth() > 1) {
    for (int i = 1; i < n; ++i)
      DrawLine(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y, colour);
    return;
  }
  const QRgb value = ColourOf(colour);
  const TScreenPixels* screen = &ScreenPixels();
  int left = points[0].X, right = points[0].X, top = points[0].Y, bottom = points[0].Y;
  // Each point is the end of one line and the start of the next: it is
  // checked once.
  bool startOnArea = OnThinLineArea(*screen, points[0].X, points[0].Y);
  for (int i = 1; i < n; ++i) {
    const TPoint& a = points[i - 1];
    const TPoint& b = points[i];
    const bool endOnArea = OnThinLineArea(*screen, b.X, b.Y);
    if (startOnArea && endOnArea) {
      SetThinLineWithoutEnd(*screen, a.X, a.Y, b.X, b.Y, value);
      left = std::min({left, a.X, b.X});
      right = std::max({right, a.X, b.X});
      top = std::min({top, a.Y, b.Y});
      bottom = std::max({bottom, a.Y, b.Y});
    } else {
      DrawLine(a.X, a.Y, b.X, b.Y, colour); // reports what it drew itself
      screen = &ScreenPixels();
    }
    startOnArea = endOnArea;
  }
  NotifyScreenChanged(FigureBox(left, top, right, bottom, 0));
}
