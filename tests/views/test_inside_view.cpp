// The inside view through its pixels: the Moon's phase shapes, the three
// backgrounds by the Sun's altitude, the horizon, the observer's mark, and the
// lit side of the Moon in the northern and the southern sky.
#include <gtest/gtest.h>

#include "ViewTestSupport.h"

namespace {

class InsideViewDrawing : public ::testing::Test {
protected:
  void SetUp() override {
    StartHeadlessConsole();
    InitViewState();
    EnterParameters("54.3", "10.1", 15, 3, 2026, 12.00L);
    View.OutsideView = false;
    SetUpView(Entered);
  }
};

// First instant after jd (in steps of 5 minutes, within two days) at which
// the test holds.
template <typename Test> long double FindInstant(long double jd, Test test) {
  for (int i = 0; i < 2 * 288; ++i) {
    const long double t = jd + i / 288.0L;
    if (test(ComputeSkyInstant(t, View.Latitude, View.Longitude))) return t;
  }
  ADD_FAILURE() << "no such instant";
  return jd;
}

// A pixel of open sky in every picture: left of the zenith, below the title
// band and above the 60 degree circle.
void SkyPixel(int& x, int& y) {
  x = 120;
  y = View.TitleBase + 40;
}

constexpr long double Degree = DegToRad;

} // namespace

TEST_F(InsideViewDrawing, MoonPhaseFullQuarterAndNew) {
  ClearToBlack();
  DrawMoonPhase(500, 500, 100, -90 * Degree, 0, LightGray, Blue);
  EXPECT_GT(ShareOfColour(500, 500, 100, LightGray), 0.97);

  ClearToBlack();
  DrawMoonPhase(500, 500, 100, 0, 0, LightGray, Blue); // Sun to the right
  EXPECT_NEAR(ShareOfColour(500, 500, 100, LightGray), 0.5, 0.03);
  EXPECT_EQ(ColourAt(560, 500), LightGray);
  EXPECT_EQ(ColourAt(440, 500), Black);

  ClearToBlack();
  DrawMoonPhase(500, 500, 100, 0, 180 * Degree, LightGray, Blue); // Sun to the left
  EXPECT_EQ(ColourAt(440, 500), LightGray);
  EXPECT_EQ(ColourAt(560, 500), Black);

  ClearToBlack();
  DrawMoonPhase(500, 500, 100, 88 * Degree, 0, LightGray, Black);
  EXPECT_LT(ShareOfColour(500, 500, 100, LightGray), 0.03);

  // Any radius up to the cap: a gibbous Moon of 10000 pixels covers the screen.
  for (int r : {0, 1, 10000}) DrawMoonPhase(500, 500, r, -30 * Degree, 1, LightGray, Blue);
  EXPECT_EQ(ColourAt(0, 0), LightGray);
}

TEST_F(InsideViewDrawing, HorizonRunsFromBeyondTheRightEdgeToBeyondTheLeft) {
  const std::vector<TPoint>& horizon = HorizonPoints();
  ASSERT_GE(horizon.size(), 3u);
  EXPECT_LE(horizon.size(), 181u);
  EXPECT_GT(horizon.front().X, MaxX());
  EXPECT_LT(horizon.back().X, 0);
  // The south point lies three quarters down the window.
  const TSkyPoint south = ProjectToSky(MakeVector(1, 0, 0));
  EXPECT_NEAR(SkyPixelY(south), MaxY() * 3 / 4, 1);
}

TEST_F(InsideViewDrawing, BackgroundFollowsTheSunsAltitude) {
  struct Case {
    const char* Name;
    bool (*Test)(const TSkyInstant&);
    int Sky;
  };
  const Case cases[] = {
      {"day", [](const TSkyInstant& s) { return s.SunAltitude > 20 * Degree; }, LightBlue},
      {"dusk",
       [](const TSkyInstant& s) {
         return s.SunAltitude < -2 * Degree && s.SunAltitude > -4 * Degree;
       },
       Blue},
      {"night", [](const TSkyInstant& s) { return s.SunAltitude < -20 * Degree; }, Black}};
  const long double start = View.CurrentJD;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    View.CurrentJD = FindInstant(start, c.Test);
    AnimationStep();
    int x = 0, y = 0;
    SkyPixel(x, y);
    EXPECT_EQ(ColourAt(x, y), c.Sky);
    EXPECT_EQ(View.SkyColour, c.Sky);
  }
}

TEST_F(InsideViewDrawing, PicturesCarryTheirFixedParts) {
  // Observer's mark, its label below it, the help hint at the top right.
  const QImage day = PictureImage(BackgroundPicture(DayPicture));
  ASSERT_FALSE(day.isNull());
  EXPECT_EQ(day.pixel(View.ObserverX, View.ObserverY) & 0xFFFFFF, ColourTable[LightRed] & 0xFFFFFF);
  EXPECT_EQ(day.pixel(5, 5) & 0xFFFFFF, ColourTable[Black] & 0xFFFFFF); // title band
  // The letter S stands at the south point, on the day picture's ground.
  const TSkyPoint s = ProjectToSky(PolarToVector(TPolar{0.9L, 0, 0}));
  int white = 0;
  for (int dy = -6; dy <= 6; ++dy) {
    for (int dx = -6; dx <= 6; ++dx) {
      if ((day.pixel(SkyPixelX(s) + dx, SkyPixelY(s) + dy) & 0xFFFFFF) ==
          (ColourTable[White] & 0xFFFFFF)) {
        ++white;
      }
    }
  }
  EXPECT_GT(white, 5);
}

TEST_F(InsideViewDrawing, SunAndMoonJustBelowTheHorizonAreDrawnDarker) {
  ClearToBlack();
  View.SkyColour = Black;
  View.SunSky = ProjectToSky(MakeVector(1, 0.3L, 0));
  View.MoonSky = ProjectToSky(MakeVector(1, -0.3L, 0));
  View.PhaseAngle = 0; // full
  View.MoonAltitude = -5 * Degree;
  View.SunAltitude = -9.5L * Degree;
  DrawSunAndMoon();
  EXPECT_EQ(ColourAt(SkyPixelX(View.SunSky), SkyPixelY(View.SunSky)), Red);
  EXPECT_EQ(ColourAt(SkyPixelX(View.MoonSky), SkyPixelY(View.MoonSky)), DarkGray);

  ClearToBlack();
  View.SunAltitude = -10.5L * Degree;
  View.MoonAltitude = -10.5L * Degree;
  DrawSunAndMoon();
  EXPECT_EQ(ColourAt(SkyPixelX(View.SunSky), SkyPixelY(View.SunSky)), Black);
  EXPECT_EQ(ColourAt(SkyPixelX(View.MoonSky), SkyPixelY(View.MoonSky)), Black);
}

// In the northern sky the waxing Moon is lit on the right (towards the
// setting Sun in the west), in the southern sky on the left.
TEST_F(InsideViewDrawing, WaxingMoonIsLitTowardsTheSunInBothHemispheres) {
  struct Case {
    const char* Latitude;
    const char* Longitude;
    int LitSide; // +1 right, -1 left
  };
  for (const Case c : {Case{"54.3", "10.1", +1}, Case{"-33.9", "18.4", -1}}) {
    SCOPED_TRACE(c.Latitude);
    // 19 March 2026 is a new Moon; four to seven days later the evening
    // Moon stands in the west, a crescent to half lit.
    EnterParameters(c.Latitude, c.Longitude, 23, 3, 2026, 12.00L);
    SetUpView(Entered);
    View.CurrentJD = FindInstant(View.CurrentJD, [](const TSkyInstant& s) {
      return s.SunAltitude < -8 * Degree && s.MoonAltitude > 12 * Degree && s.PhaseAngle > 0 &&
             s.PhaseAngle < 150 * Degree;
    });
    AnimationStep();
    View.CurrentJD -= View.StepDays;
    View.DiscRadius = 60;
    AnimationStep();
    EXPECT_GT(c.LitSide * std::cos(View.LimbAngle), 0.3L);
    const int x = SkyPixelX(View.MoonSky);
    const int y = SkyPixelY(View.MoonSky);
    EXPECT_EQ(ColourAt(x + c.LitSide * 50, y), LightGray);
    EXPECT_NE(ColourAt(x - c.LitSide * 50, y), LightGray);
  }
}

// Each step puts back the background where the step before drew its discs,
// and after drawing from elsewhere (sight lines) the whole picture.
TEST_F(InsideViewDrawing, StepsLeaveNoTracesOfEarlierSteps) {
  auto background = [](int x, int y) {
    const TSkyPictureKind kind =
        View.SunUp ? DayPicture : (View.Twilight ? TwilightPicture : NightPicture);
    return static_cast<QRgb>(PictureImage(BackgroundPicture(kind)).pixel(x, y) & 0xFFFFFF);
  };
  EnterParameters("54.3", "10.1", 26, 3, 2026, 12.00L); // first quarter: high in the evening
  SetUpView(Entered);
  View.StepDays = 1; // the Moon moves about 13 degrees a step
  View.CurrentJD = FindInstant(View.CurrentJD, [](const TSkyInstant& s) {
    return s.MoonAltitude > 25 * Degree && s.SunAltitude < -12 * Degree;
  });
  AnimationStep();
  const int x0 = SkyPixelX(View.MoonSky), y0 = SkyPixelY(View.MoonSky);
  ASSERT_NE(GetPixel(x0, y0) & 0xFFFFFF, background(x0, y0));
  AnimationStep();
  EXPECT_EQ(GetPixel(x0, y0) & 0xFFFFFF, background(x0, y0));

  // Some pixels about the middle of the sight line to the Moon.
  DrawSightLines();
  const int xm = (View.ObserverX + SkyPixelX(View.MoonSky)) / 2;
  const int ym = (View.ObserverY + SkyPixelY(View.MoonSky)) / 2;
  auto yellowNearMiddle = [xm, ym]() {
    int yellow = 0;
    for (int dy = -2; dy <= 2; ++dy) {
      for (int dx = -2; dx <= 2; ++dx) yellow += ColourAt(xm + dx, ym + dy) == Yellow;
    }
    return yellow;
  };
  ASSERT_GT(yellowNearMiddle(), 0);
  View.CurrentJD -= View.StepDays; // the same instant again
  AnimationStep();
  EXPECT_EQ(yellowNearMiddle(), 0);
}

TEST_F(InsideViewDrawing, PuttingThePictureBackUndoesExactlyWhatWasDrawnOverIt) {
  // After steps with all sorts of drawing in between, the screen shows the
  // whole picture again wherever the next step puts it back.
  View.Setup.DrawEquator = true;
  View.Setup.DrawEcliptic = true;
  ComputeInsidePositions();
  ShowBackgroundPicture(); // the whole picture first
  for (int round = 0; round < 3; ++round) {
    DrawRequestedCircles();
    DrawSunAndMoon();
    DrawLine(10 + 200 * round, 900, 1500, 300 + 100 * round, Yellow);
    SetTextBackground(-1);
    OutTextXY(100 * round, MaxY() - 5, "weiter mit Tastendruck", LightRed);
    SetFillStyle(255, Red, White);
    FillBar(1700, 100 + 50 * round, 40, 30);
    PutPixel(MaxX(), MaxY(), Magenta);
    ShowBackgroundPicture();
    const QImage picture = PictureImage(BackgroundPicture(DayPicture));
    ASSERT_EQ(View.SunUp, true);
    EXPECT_TRUE(ScreenImage() == picture) << "round " << round;
  }
}

namespace {

// Whether a pixel of the colour lies within one pixel of the direction
// (right ascension and declination in radians) at the instant shown; the
// direction is turned to the horizon by the angle route of the astronomy
// (azimuth and altitude from the angles themselves), not through the sines
// and cosines the curves keep of their points. False when the point is not
// clearly above the horizon or not on the screen; `checked` counts the rest.
bool CurvePassesThrough(long double rightAscension, long double declination, int colour,
                        int& checked) {
  long double azimuth = rightAscension, altitude = declination;
  EquatorialToHorizontal(azimuth, altitude, View.SinLatitude, View.CosLatitude, View.SiderealTime);
  if (altitude < 2 * Degree) return true;
  const TSkyPoint S = ProjectToSky(PolarToVector(TPolar{1, azimuth, altitude}));
  const int x = SkyPixelX(S), y = SkyPixelY(S);
  if (!S.Visible || x < 1 || y < 1 || x >= MaxX() || y >= MaxY()) return true;
  ++checked;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (ColourAt(x + dx, y + dy) == colour) return true;
  return false;
}

} // namespace

TEST_F(InsideViewDrawing, EquatorAndEclipticRunThroughTheirPointsInTheSky) {
  // The celestial equator at every 30 degrees of right ascension, and the
  // ecliptic at the equinoxes and solstices (longitude 0, 90, 180, 270:
  // right ascension the same, declination 0 or plus or minus the obliquity),
  // in the afternoon and around midnight.
  for (const long double time : {15.30L, 23.50L}) {
    EnterParameters("54.3", "10.1", 16, 12, 2026, time);
    View.OutsideView = false;
    SetUpView(Entered);
    ComputeInsidePositions();
    int checked = 0;
    ClearToBlack();
    DrawEquatorLine(Yellow);
    for (int ra = -180; ra < 180; ra += 30)
      EXPECT_TRUE(CurvePassesThrough(ra * Degree, 0, Yellow, checked)) << time << " " << ra;
    ClearToBlack();
    DrawEclipticLine(LightRed);
    const long double declination[4] = {0, Obliquity, 0, -Obliquity};
    for (int i = 0; i < 4; ++i)
      EXPECT_TRUE(CurvePassesThrough(i * 90 * Degree, declination[i], LightRed, checked))
          << time << " " << i * 90;
    EXPECT_GE(checked, 4) << time; // enough of both curves in sight to tell
  }
}
