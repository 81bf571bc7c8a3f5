// Setting up a view and stepping it: time moves by the step in the time
// direction, the inside pictures are reused only while they still fit, the
// outside view's start picture, erasing the previous Moon, extreme sizes.
// With LUNOTROP_PICTURE_DIR set, a lunar month of both views in both
// hemispheres is saved there as PNG pictures for looking at.
#include <gtest/gtest.h>

#include <QDir>
#include <QString>

#include "ViewTestSupport.h"

namespace {

class ViewAnimation : public ::testing::Test {
protected:
  void SetUp() override {
    StartHeadlessConsole();
    InitViewState();
    EnterParameters("54.3", "10.1", 15, 3, 2026, 12.00L);
    View.Perspective = 0;
  }
};

bool NearlyEqual(long double a, long double b) {
  return std::fabs(a - b) < 1e-9L;
}

} // namespace

TEST_F(ViewAnimation, StepAdvancesTheInstantInTheTimeDirection) {
  ChooseView(false);
  SetUpView(Entered);
  const long double start = View.CurrentJD;
  EXPECT_TRUE(NearlyEqual(View.StepDays, 1.0L / 24));
  AnimationStep();
  EXPECT_TRUE(NearlyEqual(View.CurrentJD, start + 1.0L / 24));
  View.TimeDirection = -1;
  AnimationStep();
  AnimationStep();
  EXPECT_TRUE(NearlyEqual(View.CurrentJD, start - 1.0L / 24));
  // A negative step and a negative direction run forward.
  Entered.Step = -0.30L;
  SetUpView(Entered);
  View.TimeDirection = -1;
  AnimationStep();
  EXPECT_TRUE(NearlyEqual(View.CurrentJD, start + 0.5L / 24));
}

TEST_F(ViewAnimation, SetUpLeavesTheEnteredParametersAsTheyWere) {
  SetUpView(Entered);
  SetUpView(Entered);
  EXPECT_EQ(Entered.Latitude, 54.3L);
  EXPECT_TRUE(NearlyEqual(View.Latitude, 54.3L * DegToRad));
  EXPECT_EQ(View.DiscRadius, 15);
  EXPECT_EQ(View.TimeDirection, 1);
}

TEST_F(ViewAnimation, InsidePicturesAreReusedOnlyWhileTheyFit) {
  auto night = [] { return PictureImage(BackgroundPicture(NightPicture)).cacheKey(); };
  SetUpView(Entered);
  const qint64 built = night();
  Entered.Latitude = 20; // same sign, same azimuth
  SetUpView(Entered);
  EXPECT_EQ(night(), built);
  Entered.CentralAzimuth = 90; // the letters would stand in the wrong places
  SetUpView(Entered);
  const qint64 turned = night();
  EXPECT_NE(turned, built);
  Entered.Latitude = -10; // the sign changed
  SetUpView(Entered);
  EXPECT_NE(night(), turned);
}

TEST_F(ViewAnimation, ClearForStepBlackensTheWholeScreen) {
  ChooseView(true);
  SetUpView(Entered);
  SetFillStyle(255, White, White);
  FillBar(MaxX() - 100, MaxY() - 100, 50, 50);
  FillBar(0, 0, 20, 20);
  ClearForStep();
  EXPECT_EQ(ColourAt(MaxX() - 80, MaxY() - 80), Black);
  EXPECT_EQ(ColourAt(0, 0), Black);
  EXPECT_EQ(ColourAt(MaxX(), MaxY()), Black);
}

TEST_F(ViewAnimation, OutsideStartPictureShowsTheEarlierMoons) {
  ChooseView(true);
  View.Perspective = 2;
  SetUpView(Entered);
  EXPECT_EQ(View.Perspective, 0);
  EXPECT_FALSE(View.MoonShown);
  const long double start = View.CurrentJD;
  for (int k = 1; k <= 7; ++k) {
    ComputeOutsidePositions(start - 7 * HistoryStep + (k - 1) * HistoryStep);
    int x = 0, y = 0;
    MoonPixel(x, y);
    const int c = ColourAt(x, y);
    EXPECT_TRUE(c == LightGray || c == DarkGray) << "Moon " << k;
  }
}

TEST_F(ViewAnimation, StartWithAParameterFileKeepsThePerspectiveAndSkipsTheEarlierMoons) {
  Entered.EarlierMoons = false;
  ChooseView(true);
  View.Perspective = 1;
  SetUpView(Entered);
  EXPECT_EQ(View.Perspective, 1);
  ComputeOutsidePositions(View.CurrentJD - 7 * HistoryStep);
  int x = 0, y = 0;
  MoonPixel(x, y);
  EXPECT_EQ(ColourAt(x, y), Black);
}

TEST_F(ViewAnimation, EachOutsideStepErasesTheMoonOfTheStepBefore) {
  Entered.Step = 24.00L; // a day: the Moon moves about 13 degrees
  ChooseView(true);
  SetUpView(Entered);
  ClearToBlack();
  View.MoonShown = true;
  AnimationStep();
  int x0 = 0, y0 = 0;
  MoonPixel(x0, y0);
  EXPECT_NE(ColourAt(x0, y0), Black);
  AnimationStep();
  EXPECT_EQ(ColourAt(x0, y0), Black);
  int x1 = 0, y1 = 0;
  MoonPixel(x1, y1);
  EXPECT_NE(ColourAt(x1, y1), Black);
}

TEST_F(ViewAnimation, BodiesOfAnySizeUpToTheCapAreDrawable) {
  for (bool outside : {true, false}) {
    View.OutsideView = outside;
    SetUpView(Entered);
    View.MoonShown = true;
    for (int size : {0, 1, MaxRadiusPx}) {
      View.EarthRadiusPx = size;
      View.DiscRadius = size;
      for (int perspective = 0; perspective < 3; ++perspective) {
        SelectPerspective(perspective);
        AnimationStep();
      }
    }
  }
  SUCCEED();
}

TEST_F(ViewAnimation, LunarMonthPictures) {
  const QString folder = qEnvironmentVariable("LUNOTROP_PICTURE_DIR");
  const int days = folder.isEmpty() ? 2 : 30;
  if (!folder.isEmpty()) QDir().mkpath(folder);
  struct Place {
    const char* Name;
    const char* Latitude;
    const char* Longitude;
  };
  for (const Place& place : {Place{"north", "54.3", "10.1"}, Place{"south", "-33.9", "18.4"}}) {
    for (int view = 0; view < 4; ++view) { // inside, outside perspectives 0, 1, 2
      // Outside: every day at 20 h. Inside: from the new Moon's transit on
      // in steps of a lunar day, so the Moon stays near the meridian while it
      // goes through its phases.
      EnterParameters(place.Latitude, place.Longitude, 19, 3, 2026, view == 0 ? 13.00L : 20.00L);
      Entered.Step = view == 0 ? 24.50L : 24.00L;
      View.OutsideView = view > 0;
      SetUpView(Entered);
      if (View.OutsideView) {
        ClearToBlack();
        View.MoonShown = true;
        SelectPerspective(view - 1);
      }
      for (int day = 0; day < days; ++day) {
        AnimationStep();
        if (folder.isEmpty()) continue;
        const QString name =
            QString("%1/%2-%3-day%4.png")
                .arg(folder, place.Name, view == 0 ? "inside" : QString("outside%1").arg(view - 1))
                .arg(day, 2, 10, QChar('0'));
        GrabScreen(0, 0, MaxX(), MaxY()).save(name);
      }
    }
  }
  SUCCEED();
}

TEST_F(ViewAnimation, TheAnimationStopsAtTheEndsOfTheCalendar) {
  // 100 years a step from the last day of 9999, and back from the first
  // of -4712: the date stays where the labels can show it.
  Entered.StartDate = TCalendarDate{31, 12, 9999};
  Entered.StartTime = 12.00L;
  Entered.Step = 876000.00L;
  SetUpView(Entered);
  for (int i = 0; i < 3; ++i) AnimationStep();
  AnimationStep();
  EXPECT_EQ(View.Date.Year, 9999);
  EXPECT_EQ(View.Date.Month, 12);
  EXPECT_EQ(View.Date.Day, 31);

  Entered.StartDate = TCalendarDate{1, 1, -4712};
  Entered.StartTime = 12.00L;
  Entered.Step = -876000.00L;
  SetUpView(Entered);
  for (int i = 0; i < 4; ++i) AnimationStep();
  EXPECT_EQ(View.Date.Year, -4712);
  EXPECT_EQ(View.Date.Month, 1);
  EXPECT_EQ(View.Date.Day, 1);
  EXPECT_TRUE(std::isfinite(View.SunSky.U) && std::isfinite(View.MoonSky.V));
}
