// The rasterising helpers of the browser console: rectangles, polygons,
// ellipses and lines set pixel by pixel into the framebuffer. A pixel
// belongs to a filled figure when its centre lies inside; one-pixel lines
// follow the desktop's rule exactly (see ThinLinePixels).
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "WebIntern.h"

namespace {

// Sets the pixels from..to-1 of a row, clipped to the screen.
void FillRow(long long y, long long from, long long to, uint32_t stored) {
  TFramebuffer& screen = Framebuffer();
  if (y < 0 || y >= screen.Height) return;
  from = std::max<long long>(from, 0);
  to = std::min<long long>(to, screen.Width);
  if (from >= to) return;
  auto row = screen.Pixels.begin() + static_cast<std::ptrdiff_t>(y * screen.Width);
  std::fill(row + static_cast<std::ptrdiff_t>(from), row + static_cast<std::ptrdiff_t>(to), stored);
}

// The first pixel whose centre lies at or right of x.
long long FirstCentreFrom(double x) {
  return static_cast<long long>(std::ceil(x - 0.5));
}

void FillDisc(double centreX, double centreY, double radius, uint32_t stored) {
  const long long top = FirstCentreFrom(centreY - radius);
  const long long bottom = FirstCentreFrom(centreY + radius);
  for (long long y = std::max<long long>(top, 0); y <= bottom && y < Framebuffer().Height; ++y) {
    const double dy = y + 0.5 - centreY;
    const double half = radius * radius - dy * dy;
    if (half < 0) continue;
    const double w = std::sqrt(half);
    FillRow(y, FirstCentreFrom(centreX - w), FirstCentreFrom(centreX + w), stored);
  }
}

// Far-off ends (world coordinates mapped to 2147483647) would overflow the
// stepping; such a segment is first cut to a margin round the screen.
bool CutToScreen(int& x1, int& y1, int& x2, int& y2) {
  const TFramebuffer& screen = Framebuffer();
  const double margin = 64;
  const double left = -margin, top = -margin;
  const double right = screen.Width + margin, bottom = screen.Height + margin;
  auto inside = [&](int x, int y) { return x >= left && x <= right && y >= top && y <= bottom; };
  if (inside(x1, y1) && inside(x2, y2)) return true;
  double t0 = 0, t1 = 1;
  const double dx = static_cast<double>(x2) - x1, dy = static_cast<double>(y2) - y1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - left, right - x1, y1 - top, bottom - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
  }
  if (t0 > t1) return false;
  const double sx = x1 + t0 * dx, sy = y1 + t0 * dy, ex = x1 + t1 * dx, ey = y1 + t1 * dy;
  x1 = static_cast<int>(std::lround(sx));
  y1 = static_cast<int>(std::lround(sy));
  x2 = static_cast<int>(std::lround(ex));
  y2 = static_cast<int>(std::lround(ey));
  return true;
}

} // namespace

void FillRectPixels(long long left, long long top, long long right, long long bottom,
                    TColourValue colour) {
  const uint32_t stored = ToStored(colour);
  top = std::max<long long>(top, 0);
  bottom = std::min<long long>(bottom, Framebuffer().Height);
  for (long long y = top; y < bottom; ++y) FillRow(y, left, right, stored);
}

void FillPolygonPixels(const std::vector<TPointF>& points, TColourValue colour) {
  if (points.size() < 3) return;
  const uint32_t stored = ToStored(colour);
  double top = points[0].Y, bottom = points[0].Y;
  for (const TPointF& p : points) {
    top = std::min(top, p.Y);
    bottom = std::max(bottom, p.Y);
  }
  const long long firstRow = std::max<long long>(FirstCentreFrom(top), 0);
  const long long lastRow = std::min<long long>(FirstCentreFrom(bottom), Framebuffer().Height);
  std::vector<double> crossings;
  for (long long y = firstRow; y < lastRow; ++y) {
    const double centre = y + 0.5;
    crossings.clear();
    for (size_t i = 0; i < points.size(); ++i) {
      const TPointF& a = points[i];
      const TPointF& b = points[(i + 1) % points.size()];
      // Half-open in y, so a vertex on the row counts once.
      if ((a.Y <= centre && centre < b.Y) || (b.Y <= centre && centre < a.Y))
        crossings.push_back(a.X + (centre - a.Y) * (b.X - a.X) / (b.Y - a.Y));
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t i = 0; i + 1 < crossings.size(); i += 2)
      FillRow(y, FirstCentreFrom(crossings[i]), FirstCentreFrom(crossings[i + 1]), stored);
  }
}

void FillEllipsePixels(double centreX, double centreY, double radiusX, double radiusY,
                       TColourValue colour) {
  if (radiusX <= 0 || radiusY <= 0) return;
  const uint32_t stored = ToStored(colour);
  const long long top = std::max<long long>(FirstCentreFrom(centreY - radiusY), 0);
  const long long bottom =
      std::min<long long>(FirstCentreFrom(centreY + radiusY), Framebuffer().Height);
  for (long long y = top; y < bottom; ++y) {
    const double dy = (y + 0.5 - centreY) / radiusY;
    if (dy * dy > 1) continue;
    const double w = radiusX * std::sqrt(1 - dy * dy);
    FillRow(y, FirstCentreFrom(centreX - w), FirstCentreFrom(centreX + w), stored);
  }
}

// One pixel for every step along the longer axis, both ends included; the
// other coordinate in 16.16 fixed point, its step truncated toward zero,
// starting half a step on (rounded up) when it grows. "First" is the end
// with the smaller coordinate along the longer axis. These are the desktop's
// pixels.
void ThinLinePixels(int x1, int y1, int x2, int y2, TColourValue colour) {
  if (!CutToScreen(x1, y1, x2, y2)) return;
  TFramebuffer& screen = Framebuffer();
  const uint32_t stored = ToStored(colour);
  const bool steep =
      std::abs(static_cast<long long>(y2) - y1) > std::abs(static_cast<long long>(x2) - x1);
  long long a = steep ? y1 : x1, b = steep ? y2 : x2;
  long long c = steep ? x1 : y1, d = steep ? x2 : y2;
  if (a == b) return;
  if (a > b) {
    std::swap(a, b);
    std::swap(c, d);
  }
  const long long step = ((d - c) * 65536) / (b - a);
  long long other = c * 65536;
  if (step > 0) other += step - (step >> 1);
  // Only the part along the screen matters.
  const long long limit = steep ? screen.Height : screen.Width;
  if (a < 0) {
    other += step * (-a);
    a = 0;
  }
  b = std::min(b, limit - 1);
  for (long long along = a; along <= b; ++along, other += step) {
    const long long across = other >> 16;
    const long long x = steep ? across : along, y = steep ? along : across;
    if (x >= 0 && y >= 0 && x < screen.Width && y < screen.Height)
      screen.Pixels[static_cast<size_t>(y * screen.Width + x)] = stored;
  }
}

void WideLinePixels(int x1, int y1, int x2, int y2, int width, TColourValue colour) {
  if (!CutToScreen(x1, y1, x2, y2)) return;
  const double ax = x1 + 0.5, ay = y1 + 0.5, bx = x2 + 0.5, by = y2 + 0.5;
  const double half = width / 2.0;
  const double length = std::hypot(bx - ax, by - ay);
  const bool roundEnds = width >= 3;
  if (length == 0) {
    if (roundEnds)
      FillDisc(ax, ay, half, ToStored(colour));
    else
      FillRectPixels(FirstCentreFrom(ax - half), FirstCentreFrom(ay - half),
                     FirstCentreFrom(ax + half), FirstCentreFrom(ay + half), colour);
    return;
  }
  // Along the line (ux, uy), across it (-uy, ux); square ends reach half the
  // width beyond the end points.
  const double ux = (bx - ax) / length, uy = (by - ay) / length;
  const double reach = roundEnds ? 0 : half;
  const double sx = ax - ux * reach, sy = ay - uy * reach;
  const double ex = bx + ux * reach, ey = by + uy * reach;
  FillPolygonPixels({{sx - uy * half, sy + ux * half},
                     {ex - uy * half, ey + ux * half},
                     {ex + uy * half, ey - ux * half},
                     {sx + uy * half, sy - ux * half}},
                    colour);
  if (roundEnds) {
    FillDisc(ax, ay, half, ToStored(colour));
    FillDisc(bx, by, half, ToStored(colour));
  }
}
