// World coordinates, connected lines, ellipses and the half ellipse; the clock.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QTime>

#include <climits>
#include <limits>

#include "ConsoleTestHelpers.h"
#include "Kern2Graf.h"
#include "KernGraf.h"
#include "ModulGraf.h"

namespace {

const QRgb WhitePixel = qRgb(255, 255, 255);

class FigurenTest : public ::testing::Test {
protected:
  void SetUp() override { ResetConsole(); }
};

} // namespace

// ---- world coordinates ------------------------------------------------------------------

TEST(WorldToScreen, OutsideViewWindowMapsCentreAndCorner) {
  SetViewport(25, 25 + 500, 25, 25 + 500);
  SetWorldWindow(-63.294L, 63.294L, -63.294L, 63.294L);
  EXPECT_EQ(WorldToScreenX(0), 275);
  EXPECT_EQ(WorldToScreenY(0), 275);
  EXPECT_EQ(WorldToScreenX(63.294L), 525);
  EXPECT_EQ(WorldToScreenY(63.294L), 25);
  EXPECT_EQ(WorldToScreenX(-63.294L), 25);
  EXPECT_EQ(WorldToScreenY(-63.294L), 525);
}

TEST(WorldToScreen, FarAndUndefinedValuesGiveTheLargestInteger) {
  SetViewport(25, 525, 25, 525);
  SetWorldWindow(-63.294L, 63.294L, -63.294L, 63.294L);
  EXPECT_EQ(WorldToScreenX(1e12L), 2147483647);
  EXPECT_EQ(WorldToScreenX(-1e12L), 2147483647);
  EXPECT_EQ(WorldToScreenY(1e12L), 2147483647);
  EXPECT_EQ(WorldToScreenX(std::numeric_limits<long double>::quiet_NaN()), 2147483647);
  EXPECT_EQ(WorldToScreenY(std::numeric_limits<long double>::infinity()), 2147483647);
  // About 1.98e9 pixels: still short of the limit, so rounded as usual.
  EXPECT_GT(WorldToScreenX(5e8L), 1900000000);
  EXPECT_LT(WorldToScreenX(5e8L), 2147483647);
}

TEST(WorldToScreen, RoundsHalvesToEven) {
  SetViewport(0, 10, 0, 10);
  SetWorldWindow(0, 10, 0, 10);
  EXPECT_EQ(WorldToScreenX(2.5L), 2);
  EXPECT_EQ(WorldToScreenX(3.5L), 4);
  EXPECT_EQ(WorldToScreenY(7.5L), 2); // 10 - 7.5 = 2.5
}

TEST(WorldToScreen, ViewportAloneKeepsTheOldScales) {
  SetViewport(0, 100, 0, 100);
  SetWorldWindow(0, 10, 0, 10);
  SetViewport(50, 150, 0, 100);
  EXPECT_EQ(WorldToScreenX(1), 60); // old scale 10, new left edge 50
}

TEST(WorldToScreen, WindowWithoutExtentDoesNotDivideByZero) {
  SetViewport(25, 525, 30, 530);
  SetWorldWindow(1, 1, 2, 2);
  EXPECT_EQ(WorldToScreenX(1), 25);
  EXPECT_EQ(WorldToScreenX(1000), 25);
  EXPECT_EQ(WorldToScreenY(-5), 30);
}

TEST_F(FigurenTest, PenLinesConnectAndLeaveTheLastPointUnset) {
  PenMoveTo(10, 10);
  PenLineTo(50, 10, Red);
  PenLineTo(50, 50, Red);
  EXPECT_EQ(GetPixel(10, 10), ColourTable[Red]);
  EXPECT_EQ(GetPixel(50, 10), ColourTable[Red]);
  EXPECT_EQ(GetPixel(50, 49), ColourTable[Red]);
  EXPECT_EQ(GetPixel(50, 50), WhitePixel);
}

// ---- ellipses ------------------------------------------------------------------------------

TEST_F(FigurenTest, EllipseFillsItsBoundingBoxWithOutline) {
  SetFillStyle(255, Red, Blue);
  DrawEllipse(100, 100, 20, 10);
  EXPECT_EQ(GetPixel(100, 100), ColourTable[Red]);
  EXPECT_EQ(GetPixel(80, 100), ColourTable[Blue]);
  EXPECT_EQ(GetPixel(120, 100), ColourTable[Blue]);
  EXPECT_EQ(GetPixel(100, 90), ColourTable[Blue]);
  EXPECT_EQ(GetPixel(100, 110), ColourTable[Blue]);
  EXPECT_EQ(GetPixel(79, 100), WhitePixel);
  EXPECT_EQ(GetPixel(121, 100), WhitePixel);
  EXPECT_EQ(GetPixel(100, 111), WhitePixel);
}

TEST_F(FigurenTest, EllipseWithoutBorderAndWithWideBorder) {
  SetFillStyle(255, Green, Green);
  DrawEllipse(100, 100, 20, 20);
  EXPECT_EQ(GetPixel(100, 100), ColourTable[Green]);
  EXPECT_EQ(GetPixel(100, 121), WhitePixel);
  SetLineWidth(4);
  SetFillStyle(255, Yellow, Black);
  DrawEllipse(300, 100, 30, 30);
  EXPECT_EQ(GetPixel(300, 70), ColourTable[Black]);
  EXPECT_EQ(GetPixel(300, 71), ColourTable[Black]);
  EXPECT_EQ(GetPixel(300, 100), ColourTable[Yellow]);
}

TEST_F(FigurenTest, DegenerateAndHugeEllipsesAreSafe) {
  SetFillStyle(255, Red, Black);
  DrawEllipse(50, 50, 0, 0);
  DrawEllipse(50, 50, 0, 10);
  DrawEllipse(200, 200, -20, -10); // like radii 20 and 10
  EXPECT_EQ(GetPixel(200, 200), ColourTable[Red]);
  EXPECT_EQ(GetPixel(180, 200), ColourTable[Black]);
  DrawEllipse(320, 240, 10000, 10000);
  EXPECT_EQ(GetPixel(0, 0), ColourTable[Red]);
  DrawEllipse(0, 0, INT_MAX, INT_MIN);
  DrawEllipse(INT_MAX, INT_MIN, INT_MAX, INT_MAX);
}

// ---- half ellipse --------------------------------------------------------------------------

TEST_F(FigurenTest, HalfEllipseAtAngleZeroLiesAboveTheCentre) {
  DrawHalfEllipse(200, 200, 50, 30, 255, Yellow, false, true, 0);
  EXPECT_EQ(GetPixel(200, 185), ColourTable[Yellow]);
  EXPECT_EQ(GetPixel(240, 195), ColourTable[Yellow]);
  EXPECT_EQ(GetPixel(200, 215), WhitePixel);
  EXPECT_EQ(GetPixel(200, 165), WhitePixel); // b = 30 ends at y = 170
}

TEST_F(FigurenTest, HalfEllipseTurnsWithTheAngle) {
  // At 90 degrees the a axis is vertical and the half lies to the left.
  DrawHalfEllipse(200, 200, 50, 30, 255, Green, false, true, 90);
  EXPECT_EQ(GetPixel(185, 200), ColourTable[Green]);
  EXPECT_EQ(GetPixel(215, 200), WhitePixel);
  EXPECT_EQ(GetPixel(195, 160), ColourTable[Green]);
}

TEST_F(FigurenTest, HalfEllipseWithBEqualAIsAHalfDisc) {
  DrawHalfEllipse(200, 200, 50, 50, 255, Red, false, true, 0);
  EXPECT_EQ(GetPixel(200 + 34, 200 - 34), ColourTable[Red]);
  EXPECT_EQ(GetPixel(200 - 34, 200 - 34), ColourTable[Red]);
  EXPECT_EQ(GetPixel(200, 152), ColourTable[Red]);
  EXPECT_EQ(GetPixel(200 + 37, 200 - 37), WhitePixel); // outside radius 50
  EXPECT_EQ(GetPixel(200, 210), WhitePixel);
}

TEST_F(FigurenTest, HalfEllipseWithBZeroIsTheSegmentAlongA) {
  DrawHalfEllipse(200, 200, 50, 0, 255, Red, false, false, 0);
  EXPECT_EQ(GetPixel(200, 200), ColourTable[Black]);
  EXPECT_EQ(GetPixel(160, 200), ColourTable[Black]);
  EXPECT_EQ(GetPixel(200, 199), WhitePixel);
  EXPECT_EQ(GetPixel(200, 201), WhitePixel);
}

TEST_F(FigurenTest, HalfEllipseOutlineIsBlackAndClosedAlongA) {
  DrawHalfEllipse(200, 200, 50, 30, 255, Red, false, false, 0);
  EXPECT_EQ(GetPixel(200, 170), ColourTable[Black]); // end of the b axis
  EXPECT_EQ(GetPixel(200, 200), ColourTable[Black]); // the closing segment
  EXPECT_EQ(GetPixel(200, 185), WhitePixel);         // not filled
}

TEST_F(FigurenTest, FilledHalfEllipseWithBlackBorderAndIntensity) {
  DrawHalfEllipse(200, 200, 50, 30, 100, White, true, true, 0);
  EXPECT_EQ(GetPixel(200, 185), Rgb(115, 115, 115));
  EXPECT_EQ(GetPixel(200, 170), ColourTable[Black]);
  EXPECT_EQ(GetPixel(200, 200), ColourTable[Black]);
}

TEST_F(FigurenTest, HalfEllipseRestoresTheFillState) {
  SetFillStyle(255, Green, Black);
  DrawHalfEllipse(200, 200, 50, 30, 255, Red, false, true, 0); // no border inside
  FillBar(400, 100, 20, 20);
  EXPECT_EQ(GetPixel(410, 110), ColourTable[Green]);
  EXPECT_EQ(GetPixel(400, 100), ColourTable[Black]); // the border is back too
}

TEST_F(FigurenTest, HalfEllipseWithHugeOrUndefinedValuesIsSafe) {
  DrawHalfEllipse(200, 200, INT_MAX, INT_MAX, 255, Red, true, true, 45);
  DrawHalfEllipse(200, 200, 50, 30, 255, Red, true, true,
                  std::numeric_limits<long double>::quiet_NaN());
  DrawHalfEllipse(200, 200, 10000, 10000, 255, Red, true, false, 10);
  SUCCEED();
}

// ---- clock ----------------------------------------------------------------------------------

TEST(Clock, TimeAndDateAreTheLocalOnes) {
  const QDate dayBefore = QDate::currentDate();
  int hour = -1, minute = -1, second = -1, hundredths = -1;
  GetTimeNow(hour, minute, second, hundredths);
  int day = 0, month = 0, year = 0;
  GetDateNow(day, month, year);
  EXPECT_GE(hour, 0);
  EXPECT_LE(hour, 23);
  EXPECT_GE(minute, 0);
  EXPECT_LE(minute, 59);
  EXPECT_GE(second, 0);
  EXPECT_LE(second, 59);
  EXPECT_GE(hundredths, 0);
  EXPECT_LE(hundredths, 99);
  const QDate date(year, month, day);
  EXPECT_TRUE(date == dayBefore || date == dayBefore.addDays(1));
}

TEST(Clock, DelayProcessesNoEvents) {
  // A key posted before the wait is still waiting afterwards.
  int delivered = 0;
  struct Counter : QObject {
    int* Count;
    explicit Counter(int* count) : Count(count) {}
    bool event(QEvent* e) override {
      if (e->type() == QEvent::User) ++*Count;
      return QObject::event(e);
    }
  } counter(&delivered);
  QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
  DelayMs(5);
  DelayMs(0);
  DelayMs(-3);
  EXPECT_EQ(delivered, 0);
  QCoreApplication::sendPostedEvents(&counter);
  EXPECT_EQ(delivered, 1);
}
