// The framebuffer's painter stays open between drawing operations: copies of
// the screen must keep what they showed, and drawing must still make the main
// window repaint.
#include <gtest/gtest.h>

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <random>

#include "ConsoleTestHelpers.h"
#include "FensterGraf.h"
#include "KernGraf.h"

namespace {

const QRgb WhitePixel = qRgb(255, 255, 255);

} // namespace

// ---- copies of the screen ---------------------------------------------------------------

TEST(ScreenCopies, KeepWhatTheScreenShowedWhenTheyWereTaken) {
  ResetConsole();
  DrawLine(10, 10, 100, 10, Red);
  const QImage shown = ScreenImage();
  const QImage grabbed = GrabScreen(0, 0, MaxX(), MaxY());
  // Drawn by the painter first, then directly, and the other way round.
  SetLineWidth(3);
  DrawLine(10, 30, 100, 30, Blue);
  SetLineWidth(1);
  DrawLine(10, 40, 100, 40, Blue);
  PutPixel(5, 5, Black);
  const QImage shownLater = ScreenImage();
  PutPixel(6, 5, Black);
  DrawLine(10, 50, 100, 50, Green);
  SetFillStyle(255, Yellow, Yellow);
  FillBar(200, 200, 20, 20);
  OutTextXY(300, 300, "Mond", Black);

  for (const QImage* copy : {&shown, &grabbed}) {
    EXPECT_EQ(copy->pixel(50, 10), ColourTable[Red]);
    EXPECT_EQ(copy->pixel(50, 30), WhitePixel);
    EXPECT_EQ(copy->pixel(50, 40), WhitePixel);
    EXPECT_EQ(copy->pixel(5, 5), WhitePixel);
  }
  EXPECT_EQ(shownLater.pixel(50, 40), ColourTable[Blue]);
  EXPECT_EQ(shownLater.pixel(6, 5), WhitePixel);
  EXPECT_EQ(shownLater.pixel(50, 50), WhitePixel);
  EXPECT_EQ(shownLater.pixel(210, 210), WhitePixel);

  EXPECT_EQ(GetPixel(50, 30), ColourTable[Blue]);
  EXPECT_EQ(GetPixel(6, 5), ColourTable[Black]);
  EXPECT_EQ(GetPixel(50, 50), ColourTable[Green]);
  EXPECT_EQ(GetPixel(210, 210), ColourTable[Yellow]);
}

// ---- repainting -------------------------------------------------------------------------

namespace {

// Counts the paint events of the window it watches.
class PaintCounter : public QObject {
public:
  int Count = 0;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Count;
    return QObject::eventFilter(watched, event);
  }
};

} // namespace

TEST(Repaint, EveryKindOfDrawingRepaintsTheWindow) {
  StartFensterGraf("/opt/lunotrop/Lunotrop");
  TGrundfenster window(false);
  ResetPalette();
  ClearScreen();
  window.ShowAndActivate();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  PaintCounter counter;
  window.installEventFilter(&counter);
  auto repaintsAfter = [&](auto draw) {
    QTest::qWait(5);
    const int before = counter.Count;
    draw();
    return QTest::qWaitFor([&] { return counter.Count > before; }, 2000);
  };
  EXPECT_TRUE(repaintsAfter([] { DrawLine(10, 10, 60, 30, Red); }));
  EXPECT_TRUE(repaintsAfter([] { PutPixel(70, 70, Blue); }));
  EXPECT_TRUE(repaintsAfter([] {
    SetLineWidth(2);
    DrawLine(10, 100, 60, 130, Red);
    SetLineWidth(1);
  }));
  EXPECT_TRUE(repaintsAfter([] { OutTextXY(100, 100, "Sonne", Black); }));
  const QImage shown = window.grab().toImage();
  EXPECT_EQ(shown.pixel(10, 10), ColourTable[Red]);
  EXPECT_EQ(shown.pixel(70, 70), ColourTable[Blue]);
  window.removeEventFilter(&counter);
}
