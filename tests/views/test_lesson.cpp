// What the lesson adds to the views: the Moon's phase in words and numbers
// in both views, the grid's spacing, the equatorial grid ("a") and the sky
// as seen from the place ("t").
#include <gtest/gtest.h>

#include "ViewTestSupport.h"

namespace {

class LessonViews : public ::testing::Test {
protected:
  void SetUp() override {
    StartHeadlessConsole();
    InitViewState();
    EnterParameters("54.3", "10.1", 16, 12, 2026, 21.00L);
  }

  // The texts drawn in the panel or the title band by one set-up.
  std::vector<std::string> TextsOfSetUp(bool outside) {
    TTextRecord record;
    WatchTexts(record);
    ChooseView(outside);
    SetUpView(Entered);
    AnimationStep();
    UnwatchTexts(record);
    std::vector<std::string> texts;
    for (const TShownText& t : record.Texts) texts.push_back(t.Text);
    return texts;
  }

  static bool HasTextStarting(const std::vector<std::string>& texts, const std::string& start) {
    for (const std::string& t : texts)
      if (t.rfind(start, 0) == 0) return true;
    return false;
  }

  // Pixels of the colour in the square (x, y) +- half.
  static int ColourNear(int x, int y, int colour, int half = 3) {
    int n = 0;
    for (int dy = -half; dy <= half; ++dy)
      for (int dx = -half; dx <= half; ++dx) n += ColourAt(x + dx, y + dy) == colour;
    return n;
  }
};

const std::string Nbsp = "\u00a0";

} // namespace

TEST_F(LessonViews, BothViewsNameThePhaseOfTheInstantShown) {
  // Published instants of 2026 (UT; MEZ is an hour later): first quarter
  // 26 Jan 04:47, full Moon 3 Jan 10:03, last quarter 10 Jan 15:48, new Moon
  // 18 Jan 19:52 (USNO, Phases of the Moon 2026); three days after the new
  // Moon a waxing crescent.
  struct TCase {
    int Day, Month;
    long double Time; // MEZ, h.mm
    const char* Name;
  } cases[] = {{26, 1, 5.47L, "erstes Viertel"},
               {3, 1, 11.03L, "Vollmond"},
               {10, 1, 16.48L, "letztes Viertel"},
               {18, 1, 20.52L, "Neumond"},
               {21, 1, 20.52L, "zunehmende Sichel"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Entered.StartDate = TCalendarDate{c.Day, c.Month, 2026};
    Entered.StartTime = c.Time;
    for (const bool outside : {false, true}) {
      const std::vector<std::string> texts = TextsOfSetUp(outside);
      EXPECT_TRUE(HasTextStarting(texts, std::string("Mond: ") + c.Name + ", "))
          << (outside ? "outside" : "inside");
    }
  }
  // The numbers: a full Moon lit all round, a first quarter half, its age
  // from the new Moon before.
  Entered.StartDate = TCalendarDate{26, 1, 2026};
  Entered.StartTime = 5.47L;
  SetUpView(Entered);
  EXPECT_EQ(PhaseText(),
            "Mond: erstes Viertel, 50" + Nbsp + "% beleuchtet, 7.4" + Nbsp + "Tage alt");
  Entered.StartDate = TCalendarDate{3, 1, 2026};
  Entered.StartTime = 11.03L;
  SetUpView(Entered);
  EXPECT_EQ(PhaseText().rfind("Mond: Vollmond, 100" + Nbsp + "% beleuchtet, ", 0), 0u);
}

TEST_F(LessonViews, TheLineSpacingSetsTheGridOfTheSky) {
  // An altitude line every 15 degrees: one at 15 degrees, ten degrees east
  // of south (away from the azimuth line through the south).
  ChooseView(false);
  const TVector at15 = PolarToVector(TPolar{1, -10 * DegToRad, 15 * DegToRad});
  Entered.LineSpacing = 15;
  SetUpView(Entered);
  const TSkyPoint p = ProjectToSky(at15);
  ClearToBlack();
  PutPicture(BackgroundPicture(NightPicture), 0, 0);
  EXPECT_GT(ColourNear(SkyPixelX(p), SkyPixelY(p), LightGray, 2), 0);
  // The default 30 has none there.
  Entered.LineSpacing = 30;
  SetUpView(Entered);
  PutPicture(BackgroundPicture(NightPicture), 0, 0);
  EXPECT_EQ(ColourNear(SkyPixelX(p), SkyPixelY(p), LightGray, 2), 0);
}

TEST_F(LessonViews, TheEquatorialGridMarksThePoleAtThePlacesLatitude) {
  // Looking north from Kiel the celestial pole stands 54.3 degrees high.
  Entered.CentralAzimuth = 180;
  ChooseView(false);
  SetUpView(Entered);
  const TVector pole = PolarToVector(TPolar{1, Pi, 54.3L * DegToRad});
  const TSkyPoint P = ProjectToSky(pole);
  AnimationStep();
  EXPECT_EQ(ColourNear(SkyPixelX(P), SkyPixelY(P), LightCyan), 0);
  ToggleEquatorialGrid();
  AnimationStep();
  EXPECT_GT(ColourNear(SkyPixelX(P), SkyPixelY(P), LightCyan), 20);
  // The grid stays through the steps, and "a" again takes it away.
  AnimationStep();
  EXPECT_GT(ColourNear(SkyPixelX(P), SkyPixelY(P), LightCyan), 20);
  ToggleEquatorialGrid();
  AnimationStep();
  EXPECT_EQ(ColourNear(SkyPixelX(P), SkyPixelY(P), LightCyan), 0);
  // A new input starts without it.
  ToggleEquatorialGrid();
  SetUpView(Entered);
  EXPECT_FALSE(View.EquatorialGrid);
}

TEST_F(LessonViews, TheSkyAsSeenLowersTheMoonAndLiftsTheSun) {
  ChooseView(false);
  SetUpView(Entered);
  ComputeInsidePositions();
  const long double geocentric = View.MoonAltitude;
  const TVector geocentricDir = View.MoonDir;
  View.SeenSky = true; // as "t" sets it, without its step back
  ComputeInsidePositions();
  // From the place, the Moon stands lower by its parallax (about 0.9
  // degrees times the cosine of its altitude), a little raised by the air.
  const long double lowered = (geocentric - View.MoonAltitude) / DegToRad;
  EXPECT_GT(lowered, 0.3L);
  EXPECT_LT(lowered, 1.0L);
  EXPECT_NE(View.MoonDir.Z, geocentricDir.Z);
  TTextRecord record;
  WatchTexts(record);
  AnimationStep();
  UnwatchTexts(record);
  View.CurrentJD -= View.StepDays;
  bool seen = false;
  for (const TShownText& t : record.Texts)
    seen = seen || t.Text.find("(wie beobachtet)") != std::string::npos;
  EXPECT_TRUE(seen);

  // Half a degree below the horizon without the air, the Sun is seen above
  // it: day instead of twilight.
  long double jd = View.CurrentJD;
  for (int minute = 0; minute < 24 * 60; ++minute, jd += 1 / 1440.0L) {
    const TSkyInstant s = ComputeSkyInstant(jd, View.Latitude, View.Longitude);
    if (s.SunAltitude < -0.2L * DegToRad && s.SunAltitude > -0.4L * DegToRad) break;
  }
  View.CurrentJD = jd;
  ComputeInsidePositions();
  EXPECT_TRUE(View.SunUp);
  EXPECT_EQ(View.SkyColour, LightBlue);
  View.SeenSky = false;
  ComputeInsidePositions();
  EXPECT_FALSE(View.SunUp);
  EXPECT_EQ(View.SkyColour, Blue);
}
