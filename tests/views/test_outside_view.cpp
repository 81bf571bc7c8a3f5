// The outside view's bodies through their pixels: lit halves towards the
// light, crescent and gibbous shapes, erasing in Black, the observer dot and
// the Sun marker.
#include <gtest/gtest.h>

#include "ViewTestSupport.h"

namespace {

class OutsideViewDrawing : public ::testing::Test {
protected:
  void SetUp() override {
    StartHeadlessConsole();
    InitViewState();
    EnterParameters("54.3", "10.1", 15, 3, 2026, 12.00L);
    View.OutsideView = true;
    SelectPerspective(0);
    SetOutsideWindow();
    View.EarthCentreX = WorldToScreenX(0);
    View.EarthCentreY = WorldToScreenY(0);
    ClearToBlack();
  }
};

constexpr int X0 = 500, Y0 = 500, R = 101; // the disc drawn has radius 100

} // namespace

TEST_F(OutsideViewDrawing, LightInThePicturePlaneLightsTheHalfTowardsIt) {
  struct Case {
    TVector Light;
    int LitX, LitY; // a pixel 60 px from the centre towards the light
  };
  const Case cases[] = {{MakeVector(1, 0, 0), X0 + 60, Y0},
                        {MakeVector(0, 1, 0), X0, Y0 - 60},
                        {MakeVector(-1, 0, 0), X0 - 60, Y0},
                        {MakeVector(0, -2, 0), X0, Y0 + 60}};
  for (const Case& c : cases) {
    ClearToBlack();
    DrawLitDisc(c.Light, X0, Y0, R, LightGray, DarkGray);
    EXPECT_EQ(ColourAt(c.LitX, c.LitY), LightGray);
    EXPECT_EQ(ColourAt(2 * X0 - c.LitX, 2 * Y0 - c.LitY), DarkGray);
    EXPECT_NEAR(ShareOfColour(X0, Y0, 100, LightGray), 0.5, 0.03);
  }
}

TEST_F(OutsideViewDrawing, LightFromBehindGivesACrescentFromTheFrontAGibbousDisc) {
  // Perspective 0: the viewer looks down from +Z.
  DrawLitDisc(MakeVector(1, 0, -1), X0, Y0, R, LightGray, DarkGray);
  EXPECT_NEAR(ShareOfColour(X0, Y0, 100, LightGray), (1 - std::sqrt(0.5)) / 2, 0.03);
  EXPECT_EQ(ColourAt(X0 + 90, Y0), LightGray);
  EXPECT_EQ(ColourAt(X0, Y0), DarkGray);

  ClearToBlack();
  DrawLitDisc(MakeVector(1, 0, 1), X0, Y0, R, LightGray, DarkGray);
  EXPECT_NEAR(ShareOfColour(X0, Y0, 100, LightGray), (1 + std::sqrt(0.5)) / 2, 0.03);
  EXPECT_EQ(ColourAt(X0, Y0), LightGray);
  EXPECT_EQ(ColourAt(X0 - 85, Y0), DarkGray);

  // Perspective 2 keeps its third axis pointing away from the viewer.
  SelectPerspective(2);
  ClearToBlack();
  DrawLitDisc(MakeVector(1, 0, 1), X0, Y0, R, LightGray, DarkGray);
  EXPECT_NEAR(ShareOfColour(X0, Y0, 100, LightGray), (1 - std::sqrt(0.5)) / 2, 0.03);
}

TEST_F(OutsideViewDrawing, AnyRadiusUpToTenThousandPixelsIsDrawable) {
  for (int r : {0, 1, 2, 10000}) {
    ClearToBlack();
    DrawLitDisc(MakeVector(1, 0, 0.5L), X0, Y0, r, LightGray, DarkGray);
  }
  EXPECT_NE(ColourAt(0, 0), Black); // the huge disc covers the whole screen
  View.MoonRadiusPx = 0;
  ComputeOutsidePositions(View.CurrentJD);
  DrawMoon(LightGray);
  DrawMoon(Black);
}

TEST_F(OutsideViewDrawing, MoonIsErasedByBlack) {
  ComputeOutsidePositions(View.CurrentJD);
  int x = 0, y = 0;
  MoonPixel(x, y);
  DrawMoon(LightGray);
  EXPECT_NE(ColourAt(x, y), Black);
  DrawMoon(Black);
  for (int dy = -25; dy <= 25; dy += 5) {
    for (int dx = -25; dx <= 25; dx += 5) {
      if (dx * dx + dy * dy <= 24 * 24) {
        EXPECT_EQ(ColourAt(x + dx, y + dy), Black);
      }
    }
  }
}

TEST_F(OutsideViewDrawing, EarthsLitHalfFacesTheSun) {
  ComputeOutsidePositions(View.CurrentJD);
  DrawEarth(LightBlue);
  const double s =
      std::atan2(static_cast<double>(View.SunVec.Y), static_cast<double>(View.SunVec.X));
  int sunSide = 0, nightSide = 0;
  for (int i = -6; i <= 6; ++i) {
    const double a = s + i * 0.1;
    const int dx = static_cast<int>(std::lround(70 * std::cos(a)));
    const int dy = static_cast<int>(std::lround(-70 * std::sin(a)));
    if (ColourAt(View.EarthCentreX + dx, View.EarthCentreY + dy) == LightBlue) ++sunSide;
    if (ColourAt(View.EarthCentreX - dx, View.EarthCentreY - dy) == DarkGray) ++nightSide;
  }
  EXPECT_GE(sunSide, 8); // coastlines and grid cross some of the samples
  EXPECT_GE(nightSide, 8);
}

TEST_F(OutsideViewDrawing, ObserverDotShrinksOnALargeEarth) {
  SelectPerspective(2); // the place is always drawn, at the top of the disc
  ComputeOutsidePositions(View.CurrentJD);
  const int top = View.EarthCentreY - 112;
  View.EarthRadiusPx = 112;
  DrawEarth(LightBlue);
  EXPECT_EQ(ColourAt(View.EarthCentreX + 6, top), LightRed);
  ClearToBlack();
  View.EarthRadiusPx = 113;
  DrawEarth(LightBlue);
  EXPECT_EQ(ColourAt(View.EarthCentreX, top - 1), LightRed);
  EXPECT_NE(ColourAt(View.EarthCentreX + 6, top - 1), LightRed);
}

TEST_F(OutsideViewDrawing, EarthIsErasedByBlackWithItsMargin) {
  ComputeOutsidePositions(View.CurrentJD);
  SelectPerspective(2);
  ComputeOutsidePositions(View.CurrentJD);
  DrawEarth(LightBlue);
  DrawEarth(Black);
  for (int dy = -108; dy <= 108; dy += 6) {
    for (int dx = -108; dx <= 108; dx += 6) {
      if (dx * dx + dy * dy > 108 * 108) continue;
      EXPECT_EQ(ColourAt(View.EarthCentreX + dx, View.EarthCentreY + dy), Black);
    }
  }
}

TEST_F(OutsideViewDrawing, SunMarkerStandsAboveTheHorizonAndIsErased) {
  SelectPerspective(2);
  ComputeOutsidePositions(View.CurrentJD); // noon: the Sun is up
  ASSERT_GT(View.SunVec.Y, 0);
  const long double k = 60 / View.SunVec.Length;
  const int x = WorldToScreenX(k * View.SunVec.X);
  const int y = WorldToScreenY(k * View.SunVec.Y) - View.EarthRadiusPx;
  DrawSunMarker(Yellow);
  EXPECT_EQ(ColourAt(x, y), Yellow);
  EraseSunMarker();
  EXPECT_EQ(ColourAt(x, y), Black);

  ComputeOutsidePositions(View.CurrentJD + 0.5L); // midnight: no marker
  EraseSunMarker();
  DrawSunMarker(Yellow);
  EXPECT_EQ(ColourAt(x, y), Black);
}

TEST_F(OutsideViewDrawing, MoonBelowTheHorizonPlaneIsNeitherDrawnNorErased) {
  SelectPerspective(2);
  View.SunVec = MakeVector(0, 1, 0);
  View.MoonVec = MakeVector(10, -5, 30);
  int x = 0, y = 0;
  MoonPixel(x, y);
  SetFillStyle(255, White, White);
  FillBar(x - 30, y - 30, 60, 60);
  DrawMoon(LightGray);
  DrawMoon(Black);
  EXPECT_EQ(ColourAt(x, y), White);
}

TEST_F(OutsideViewDrawing, HorizonLineOfPerspectiveTwo) {
  const int y = View.EarthCentreY - View.EarthRadiusPx;
  DrawOutsideHorizon(DarkGray);
  EXPECT_EQ(ColourAt(10, y), DarkGray);
  EXPECT_EQ(ColourAt(MaxY() - 1, y), DarkGray);
  EXPECT_EQ(ColourAt(MaxY() + 5, y), Black); // not into the label panel
  DrawOutsideHorizon(Black);
  EXPECT_EQ(ColourAt(10, y), Black);
}
