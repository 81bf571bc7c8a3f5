// The texts that the views draw: dates, times, the location lines and the
// lines that say where the outside picture is seen from.
#include <gtest/gtest.h>

#include "ScreenLayout.h"
#include "ViewTestSupport.h"

namespace {

class ViewLabels : public ::testing::Test {
protected:
  void SetUp() override {
    StartHeadlessConsole();
    InitViewState();
    EnterParameters("54.3", "10.1", 6, 12, 2026, 14.35L);
  }
};

const std::string Deg = DegreeSign;

} // namespace

TEST_F(ViewLabels, DateAndClockTexts) {
  EXPECT_EQ(FormatDate(TCalendarDate{6, 1, 2026}), " 6. 1.2026");
  EXPECT_EQ(FormatDate(TCalendarDate{16, 11, 2026}), "16.11.2026");
  EXPECT_EQ(DayMonthYear(TCalendarDate{6, 12, 2026}), "6.12.2026");
}

TEST_F(ViewLabels, ShownTimeTurnsSixtyMinutesIntoTheNextHour) {
  EXPECT_EQ(ShownTime(12.597L), "13.00");
  EXPECT_EQ(ShownTime(9.30L), " 9.30");
  EXPECT_EQ(ShownTime(8.597L), " 9.00");
  EXPECT_EQ(ShownTime(14.35L), "14.35");
}

TEST_F(ViewLabels, LocationTextsNameTheHemispheresWithoutMinusSigns) {
  // The panel's line and the inside view's title name the place alike.
  EnterParameters("-33.9", "-18.4", 6, 12, 2026, 14.35L);
  EXPECT_EQ(LocationLine(), "Standort: 33.9" + Deg + " s.B., 18.4" + Deg + " w.L.");
  EXPECT_EQ(Labels.LocationText, " (33.9" + Deg + "s.B., 18.4" + Deg + "w.L.)");
  EnterParameters("54.3", "10.1", 6, 12, 2026, 14.35L);
  EXPECT_EQ(LocationLine(), "Standort: 54.3" + Deg + " n.B., 10.1" + Deg + " ö.L.");
  EXPECT_EQ(Labels.LocationText, " (54.3" + Deg + "n.B., 10.1" + Deg + "ö.L.)");
  // South-east and north-west; the equator and the prime meridian count as
  // north and east, as typed.
  EnterParameters("-90", "18.4", 6, 12, 2026, 14.35L);
  EXPECT_EQ(Labels.LocationText, " (90" + Deg + "s.B., 18.4" + Deg + "ö.L.)");
  EnterParameters("0", "-0.5", 6, 12, 2026, 14.35L);
  EXPECT_EQ(Labels.LocationText, " (0" + Deg + "n.B., 0.5" + Deg + "w.L.)");
}

TEST_F(ViewLabels, TiltLabelSaysWhereThePictureIsSeenFrom) {
  EXPECT_EQ(TiltLabel(0.5L * DegToRad), "Blick vom Nordpol der Ekliptik");
  EXPECT_EQ(TiltLabel(-20 * DegToRad), "Blick von 70" + Deg + " nördl. ekl. Breite");
  EXPECT_EQ(TiltLabel(90 * DegToRad), "Blick von  0" + Deg + " nördl. ekl. Breite");
  // Tilted beyond the ecliptic the view comes from the south.
  EXPECT_EQ(TiltLabel(120 * DegToRad), "Blick von 30" + Deg + " südl. ekl. Breite");
  EXPECT_EQ(TiltLabel(360 * DegToRad), "Blick vom Nordpol der Ekliptik");
}

TEST_F(ViewLabels, LatitudeCircleLabelNamesTheLatitudeThePictureIsSeenFrom) {
  // b = phi - 23.5 degrees in the north, 156.5 degrees - phi in the south;
  // the picture is seen from 90 degrees - |b|.
  EXPECT_EQ(LatitudeCircleLabel(54.3L * DegToRad, 0),
            "Blick von 59.2" + Deg + " nördl. ekl. Breite");
  EXPECT_EQ(LatitudeCircleLabel(-33.9L * DegToRad, 0),
            "Blick von 79.6" + Deg + " südl. ekl. Breite");
  EXPECT_EQ(LatitudeCircleLabel(0, 0), "Blick von 66.5" + Deg + " nördl. ekl. Breite");
  EXPECT_EQ(LatitudeCircleLabel(90 * DegToRad, 0), "Blick von 23.5" + Deg + " nördl. ekl. Breite");
  EXPECT_EQ(LatitudeCircleLabel(-90 * DegToRad, 0), "Blick von 23.5" + Deg + " südl. ekl. Breite");
  // The tilt keys move the viewpoint.
  EXPECT_EQ(LatitudeCircleLabel(54.3L * DegToRad, 10 * DegToRad),
            "Blick von 49.2" + Deg + " nördl. ekl. Breite");
  EXPECT_EQ(LatitudeCircleLabel(23.5L * DegToRad, 0), "Blick vom Nordpol der Ekliptik");
  EXPECT_EQ(LatitudeCircleLabel(-23.5L * DegToRad, 0), "Blick vom Südpol der Ekliptik");
}

TEST_F(ViewLabels, LatitudeCircleLabelAgreesWithThePictureItLabels) {
  // The viewer looks down the picture's z axis; in the ecliptic frame that
  // axis is the third row of the view matrix. Its latitude is the label's.
  for (const char* latitude : {"54.3", "-33.9", "0", "90", "-90", "12"}) {
    for (int tilts = -3; tilts <= 3; ++tilts) {
      SCOPED_TRACE(std::string(latitude) + " tilted " + std::to_string(tilts));
      EnterParameters(latitude, "10.1", 21, 6, 2026, 12.00L);
      SelectPerspective(1);
      for (int i = 0; i < std::abs(tilts); ++i) TiltView(tilts > 0 ? 1 : -1);
      const long double z = View.ViewMatrix.M[2][2];
      const long double seenFrom = std::asin(z) / DegToRad;
      EXPECT_NEAR(ViewingLatitude(LatitudeViewAngle(View.Latitude) + View.TiltAngle), seenFrom,
                  1e-9L);
    }
  }
}

TEST_F(ViewLabels, ViewFrameTakesDateAndTimeOfTheInstantShown) {
  View.OutsideView = true;
  SetOutsideWindow();
  View.EarthCentreX = WorldToScreenX(0);
  View.EarthCentreY = WorldToScreenY(0);
  ComputeOutsidePositions(View.CurrentJD);
  ClearToBlack();
  DrawViewFrame();
  EXPECT_EQ(Labels.DateText, "6.12.2026  ");
  EXPECT_EQ(Labels.ClockText, "14.35");
  // Something white stands in the panel's date row, the square stays black.
  int white = 0;
  for (int x = MaxY() + 10; x < MaxY() + 200; ++x) {
    for (int y = 0; y < 120; ++y) white += ColourAt(x, y) == White;
  }
  EXPECT_GT(white, 20);
  EXPECT_EQ(ColourAt(MaxY() / 2, 40), Black);
}

TEST_F(ViewLabels, InsideTitleShowsTheInstantAndThePlace) {
  View.OutsideView = false;
  SetUpView(Entered);
  AnimationStep();
  EXPECT_EQ(Labels.TitleText, "6.12.2026, 14.35 Uhr");
}

TEST_F(ViewLabels, FitLinesBreaksAtBlanksIntoEvenLines) {
  SetFont("Courier", 10, 0);
  const int w = CharWidth; // a monospaced font
  // What fits stays one line, trailing blanks and all.
  EXPECT_EQ(FitLines("Richtung Süden  ", 16 * w), std::vector<std::string>{"Richtung Süden  "});
  // Two lines about equally long rather than a long one and a short one.
  EXPECT_EQ(FitLines("Blick von 59.2" + Deg + " nördl. ekl. Breite", 30 * w),
            (std::vector<std::string>{"Blick von 59.2" + Deg, "nördl. ekl. Breite"}));
  EXPECT_EQ(FitLines("Blick über den Horizont des Standortes     ", 30 * w),
            (std::vector<std::string>{"Blick über den Horizont", "des Standortes     "}));
  // A word wider than the width stands alone; nothing is lost.
  EXPECT_EQ(FitLines("ab Donaudampfschifffahrt cd", 6 * w),
            (std::vector<std::string>{"ab", "Donaudampfschifffahrt", "cd"}));
}
