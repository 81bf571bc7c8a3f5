// Kern2Graf and ModulGraf in the browser: the clock and the wait, filled
// ellipses and the half ellipse of the lit parts, world coordinates, the
// pen of connected lines and the input of numbers.
#include <algorithm>
#include <cmath>
#include <ctime>
#include <numbers>

#include "FensterGraf.h"
#include "Kern2Graf.h"
#include "WebIntern.h"

// ---- clock ---------------------------------------------------------------------------
void DelayMs(int milliseconds) {
  // The browser gets its turn every few milliseconds, so the page shows the
  // picture, answers keys and Ctrl+C at once; a typed key ends the wait.
  const double deadline = NowMs() + static_cast<double>(milliseconds) + 1;
  PresentScreen();
  for (;;) {
    PumpPageEvents();
    if (KeyPressed()) return;
    const double remaining = deadline - NowMs();
    if (remaining <= 0) return;
    YieldToBrowser(static_cast<int>(std::min(remaining, 5.0)));
  }
}

// A browser has no bell of its own; the dialog says why an answer was not
// taken.
void Beep() {}

void GetTimeNow(int& hour, int& minute, int& second, int& hundredths) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  hour = local.tm_hour;
  minute = local.tm_min;
  second = local.tm_sec;
  const long long milliseconds = static_cast<long long>(NowMs()) % 1000;
  hundredths = std::min<int32_t>(RoundEven(milliseconds * 0.1L), 99);
}

void GetDateNow(int& day, int& month, int& year) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  day = local.tm_mday;
  month = local.tm_mon + 1;
  year = local.tm_year + 1900;
}

// ---- ellipses --------------------------------------------------------------------------
namespace {

// The outline of an ellipse for the border pen: one point every few pixels
// of its circumference.
std::vector<TPoint> EllipseOutline(int x, int y, double rx, double ry) {
  const int count = std::clamp(static_cast<int>((rx + ry) * 2), 16, 2048);
  std::vector<TPoint> points(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double theta = 2 * std::numbers::pi * i / count;
    points[static_cast<size_t>(i)] = {static_cast<int>(std::lround(x + rx * std::cos(theta))),
                                      static_cast<int>(std::lround(y + ry * std::sin(theta)))};
  }
  return points;
}

} // namespace

void DrawEllipse(int x, int y, int radiusX, int radiusY) {
  if (!ScreenAttached()) return;
  const double rx = std::fabs(static_cast<double>(radiusX));
  const double ry = std::fabs(static_cast<double>(radiusY));
  FillEllipsePixels(x, y, rx, ry, GetFillState().FillColour);
  if (GetFillState().BorderSolid && rx < 100000 && ry < 100000)
    StrokeBorder(EllipseOutline(x, y, rx, ry));
  const long long reachX = static_cast<long long>(rx) + 2LL * CurrentLineWidth() + 2;
  const long long reachY = static_cast<long long>(ry) + 2LL * CurrentLineWidth() + 2;
  NotifyScreenChanged(FigureBox(x - reachX, y - reachY, x + reachX, y + reachY, 0));
}
