#include "Kern2Graf.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>

#include "FensterGraf.h"
#include "KernGrafIntern.h"

// ---- clock ---------------------------------------------------------------------------
void DelayMs(int milliseconds) {
  // The wait ends once more than the given time has passed, or early when a
  // key is typed. It is spent in the window's event loop, which sleeps until
  // a key or the end comes and meanwhile answers the window (Ctrl+C ends the
  // program at once). Qt's precise timer fires at its time or a little
  // later, so the loop's wait alone reaches the end: one wake-up a step, not
  // a second one for a sleep through the last millisecond. The sleep is
  // left only for a timer that came early. The window's timer does not tick
  // into the wait: Qt does not fire a timer again while its own tick, which
  // called this, still runs.
  QElapsedTimer clock;
  clock.start();
  const long long deadlineNs = (static_cast<long long>(milliseconds) + 1) * 1000000;
  if (HaveMainWindow()) {
    WaitForKeyOrTime(static_cast<int>(std::min<long long>(milliseconds + 1, 2000000000LL)));
    if (KeyPressed()) return;
  }
  for (;;) {
    const long long remaining = deadlineNs - clock.nsecsElapsed();
    if (remaining <= 0) return;
    std::this_thread::sleep_for(std::chrono::nanoseconds(remaining));
  }
}

void Beep() {
  QApplication::beep();
}

void GetTimeNow(int& hour, int& minute, int& second, int& hundredths) {
  const QTime now = QTime::currentTime();
  hour = now.hour();
  minute = now.minute();
  second = now.second();
  // Rounding would turn 995 ms and more into 100 hundredths; the clock never
  // shows more than 99.
  hundredths = std::min<int32_t>(RoundEven(now.msec() * 0.1L), 99);
}

void GetDateNow(int& day, int& month, int& year) {
  const QDate today = QDate::currentDate();
  day = today.day();
  month = today.month();
  year = today.year();
}

// ---- ellipses --------------------------------------------------------------------------
void DrawEllipse(int x, int y, int radiusX, int radiusY) {
  if (!ScreenAttached()) return;
  // The window system takes the bounding box with its corners in either
  // order, so a negative radius draws like a positive one. Reals keep huge
  // radii out of int arithmetic.
  const qreal rx = std::fabs(static_cast<qreal>(radiusX));
  const qreal ry = std::fabs(static_cast<qreal>(radiusY));
  UseFillBrush();
  UseBorderPen();
  ScreenPainter().drawEllipse(QRectF(x - rx, y - ry, 2 * rx, 2 * ry));
  if (TextsWatched()) {
    // The disc as a region of whole pixels, near enough for the text record
    // (a region of a disc far larger than any screen would cost too much).
    const QRectF disc(x - rx, y - ry, 2 * rx + 1, 2 * ry + 1);
    if (rx < 32767 && ry < 32767 && disc.intersects(QRectF(-1, -1, MaxX() + 3, MaxY() + 3)))
      RecordCover(QRegion(disc.toRect(), QRegion::Ellipse));
  }
  const long long reachX = static_cast<long long>(rx) + 2LL * CurrentLineWidth() + 2;
  const long long reachY = static_cast<long long>(ry) + 2LL * CurrentLineWidth() + 2;
  NotifyScreenChanged(FigureBox(x - reachX, y - reachY, x + reachX, y + reachY, 0));
}
