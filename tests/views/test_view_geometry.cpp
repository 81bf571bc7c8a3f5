// The views' geometry through its values: the inside view's projection, the
// outside view's frames and globe routines, and the agreement of globe, Sun
// and Moon in every perspective.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "ViewTestSupport.h"

namespace {

class ViewGeometry : public ::testing::Test {
protected:
  void SetUp() override {
    StartHeadlessConsole();
    InitViewState();
    EnterParameters("54.3", "10.1", 15, 3, 2026, 12.00L);
  }
};

void ExpectProjection(const TVector& P, long double u, long double v, bool visible) {
  long double pu = 99, pv = 99;
  bool seen = !visible;
  ProjectToSky(View.EyePoint, P, pu, seen, pv);
  EXPECT_NEAR(static_cast<double>(pu), static_cast<double>(u), 1e-15);
  EXPECT_NEAR(static_cast<double>(pv), static_cast<double>(v), 1e-15);
  EXPECT_EQ(seen, visible);
}

// The observer's place in the view frame, as a vector of Sun and Moon would
// be given in the same perspective.
TVector ObserverInSkyFrame() {
  TEarthPoint Q;
  GlobeToView(View.ObserverPoint, Q);
  const long double depth = View.Perspective == 2 ? Q.Vector.Y : -Q.Vector.Y;
  return MakeVector(Q.Vector.X, Q.Vector.Z, depth);
}

TVector SunInViewFrame() {
  TVector S = View.SunVec;
  if (View.Perspective != 2) RotateVector(View.ViewMatrix, S);
  NormalizeVector(S);
  return S;
}

} // namespace

TEST_F(ViewGeometry, ProjectToSkyFromTheEyePoint) {
  ExpectProjection(MakeVector(1, 0, 0), 0, 0, true);                  // south point
  ExpectProjection(MakeVector(0, 0, 1), 0, 34.0L / 21, true);         // zenith
  ExpectProjection(MakeVector(0, 1, 0), 41.0L / 21, -1.0L / 3, true); // west point
  ExpectProjection(MakeVector(0, 0, 0), 0, -1.0L / 3, false);         // the observer
  ExpectProjection(MakeVector(-1, 0, 0), 0, -14, false);              // north point
}

TEST_F(ViewGeometry, PointInTheEyesPlaneLeavesTheProjectionAsItWas) {
  long double u = 7, v = 8;
  bool visible = true;
  ProjectToSky(View.EyePoint, MakeVector(-1.05L, 0.3L, 0.2L), u, visible, v);
  EXPECT_FALSE(visible);
  EXPECT_EQ(u, 7);
  EXPECT_EQ(v, 8);
}

TEST_F(ViewGeometry, CentralAzimuthTurnsTheSkyToTheFront) {
  View.AzimuthMatrix = RotationZ(-Pi); // looking north
  long double u = 0, v = 0;
  bool visible = false;
  ProjectToSky(View.EyePoint, MakeVector(-1, 0, 0), u, visible, v);
  EXPECT_TRUE(visible);
  EXPECT_NEAR(static_cast<double>(u), 0, 1e-15);
  EXPECT_NEAR(static_cast<double>(v), 0, 1e-15);
  // Facing north, east is on the right.
  ProjectToSky(View.EyePoint, MakeVector(0, -1, 0), u, visible, v);
  EXPECT_GT(u, 1.9L);
}

TEST_F(ViewGeometry, ObserverStandsOnTopOfTheDiscInPerspectiveTwo) {
  for (const char* latitude : {"54.3", "-33.9", "0", "89.9"}) {
    SCOPED_TRACE(latitude);
    EnterParameters(latitude, "10.1", 15, 3, 2026, 12.00L);
    SelectPerspective(1);
    SelectPerspective(2);
    ComputeOutsidePositions(View.CurrentJD);
    TEarthPoint Q;
    GlobeToView(View.ObserverPoint, Q);
    EXPECT_NEAR(Q.Vector.X, 0, 2e-6);
    EXPECT_NEAR(Q.Vector.Y, 0, 2e-6);
    EXPECT_NEAR(Q.Vector.Z, 1, 2e-6);
  }
}

TEST_F(ViewGeometry, GlobeVisibleHidesTheFarSideAndTheLimbBand) {
  auto point = [](float x, float y, float z) {
    TEarthPoint P;
    P.Vector = TEarthVector{1, x, y, z};
    return P;
  };
  EXPECT_TRUE(GlobeVisible(point(0, -1, 0)));
  EXPECT_FALSE(GlobeVisible(point(0, 0, 0.5f)));        // on the dividing plane
  EXPECT_FALSE(GlobeVisible(point(0.1f, 0.9f, 0)));     // far side
  EXPECT_TRUE(GlobeVisible(point(0.97f, -0.2f, 0)));    // 0.9409 < 0.95
  EXPECT_FALSE(GlobeVisible(point(0.9f, -0.2f, 0.4f))); // 0.97: in the band
}

TEST_F(ViewGeometry, MoonStandsFiftyFourEarthRadiiAwayInPerspectiveTwo) {
  SelectPerspective(2);
  for (int day = 0; day < 30; day += 3) {
    ComputeOutsidePositions(View.CurrentJD + day);
    EXPECT_NEAR(static_cast<double>(View.MoonVec.Length), 54.0, 1e-9);
  }
  SelectPerspective(0);
  ComputeOutsidePositions(View.CurrentJD);
  EXPECT_GT(View.MoonVec.Length, 54);
  EXPECT_LT(View.MoonVec.Length, 65);
}

// The globe and the Sun share one frame: the angle between the observer's
// place and the Sun is the Sun's zenith distance, in every perspective,
// tilted or not, in both hemispheres.
TEST_F(ViewGeometry, GlobeAndSunAgreeInEveryPerspective) {
  for (const char* latitude : {"54.3", "-33.9", "0"}) {
    EnterParameters(latitude, "10.1", 15, 3, 2026, 12.00L);
    for (int hour = 0; hour < 24; hour += 5) {
      const long double jd = View.CurrentJD + hour / 24.0L;
      const TSkyInstant sky = ComputeSkyInstant(jd, View.Latitude, View.Longitude);
      for (int perspective = 0; perspective < 3; ++perspective) {
        for (int tilt : {0, 2, -3}) {
          SCOPED_TRACE(testing::Message()
                       << latitude << " h" << hour << " p" << perspective << " tilt " << tilt);
          SelectPerspective(perspective);
          for (int i = 0; i < std::abs(tilt); ++i) TiltView(tilt > 0 ? 1 : -1);
          ComputeOutsidePositions(jd);
          const long double cosZenith = DotProduct(ObserverInSkyFrame(), SunInViewFrame());
          EXPECT_NEAR(static_cast<double>(cosZenith),
                      static_cast<double>(std::sin(sky.SunAltitude)), 2e-6);
        }
      }
    }
  }
}

TEST_F(ViewGeometry, TiltingBackRaisesTheEclipticPole) {
  SelectPerspective(0);
  TiltView(1);
  EXPECT_NEAR(static_cast<double>(View.TiltAngle), 10 * M_PI / 180, 1e-12);
  TVector pole = MakeVector(0, 0, 1);
  RotateVector(View.ViewMatrix, pole);
  EXPECT_GT(pole.Y, 0.17L); // sin 10 degrees, upwards in the picture
  EXPECT_GT(pole.Z, 0.98L); // still towards the viewer
  TiltView(-1);
  TiltView(-1);
  pole = MakeVector(0, 0, 1);
  RotateVector(View.ViewMatrix, pole);
  EXPECT_LT(pole.Y, -0.17L);
  // A new perspective starts untilted.
  SelectPerspective(0);
  EXPECT_EQ(View.TiltAngle, 0);
}

TEST_F(ViewGeometry, PerspectiveTwoCannotBeTilted) {
  SelectPerspective(2);
  const TMatrix before = View.ViewMatrix;
  TiltView(1);
  EXPECT_EQ(View.TiltAngle, 0);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) EXPECT_EQ(View.ViewMatrix.M[i][j], before.M[i][j]);
  }
}

TEST_F(ViewGeometry, TheGlobeTurnFollowsEverySetter) {
  // GlobeToView must always turn a point with the matrices in force, after
  // whichever setter changed them last.
  auto expectTurnInForce = [] {
    const TMatrix M =
        MatrixProduct(View.ViewMatrix, MatrixProduct(View.EclipticTilt, View.GlobeSpin));
    TEarthPoint P, Q;
    P.Polar = {0.7f, 0.4f, 1.0f};
    EarthPolarToVector(P.Polar, P.Vector);
    GlobeToView(P, Q);
    TVector V = MakeVector(P.Vector.X, -P.Vector.Z, P.Vector.Y);
    RotateVector(M, V);
    EXPECT_NEAR(Q.Vector.X, V.X, 1e-6);
    EXPECT_NEAR(Q.Vector.Y, V.Y, 1e-6);
    EXPECT_NEAR(Q.Vector.Z, V.Z, 1e-6);
  };
  SelectPerspective(1);
  expectTurnInForce();
  TiltView(1);
  expectTurnInForce();
  ComputeOutsidePositions(View.CurrentJD + 0.3L);
  expectTurnInForce();
  SetGlobeSpin(RotationY(1.0L));
  expectTurnInForce();
  SetViewMatrix(RotationX(0.5L));
  expectTurnInForce();
}

TEST_F(ViewGeometry, GlobeTurnsEastward) {
  // Seen from the ecliptic north pole the Earth turns counter-clockwise: a
  // point of the equator moves by about 15 degrees an hour (between 13.8 and
  // 16.4 as the equator's picture is an ellipse).
  SelectPerspective(0);
  TEarthPoint equator;
  EarthPolarToVector(TEarthPolar{0.3f, 0, 1}, equator.Vector);
  auto angle = [&equator](long double jd) {
    ComputeOutsidePositions(jd);
    TEarthPoint Q;
    GlobeToView(equator, Q);
    return std::atan2(static_cast<double>(Q.Vector.Z), static_cast<double>(Q.Vector.X));
  };
  for (int hour = 0; hour < 24; hour += 3) {
    const long double jd = View.CurrentJD + hour / 24.0L;
    double turn = (angle(jd + 1.0L / 24) - angle(jd)) * 180 / M_PI;
    if (turn < -180) turn += 360;
    EXPECT_GT(turn, 13.5);
    EXPECT_LT(turn, 16.7);
  }
}

TEST_F(ViewGeometry, MoonInFrontFollowsTheViewer) {
  SelectPerspective(2);
  View.MoonVec = MakeVector(0, 10, -50); // north of the Earth: towards the viewer
  EXPECT_TRUE(MoonInFront());
  View.MoonVec = MakeVector(0, 10, 50);
  EXPECT_FALSE(MoonInFront());
  SelectPerspective(0);
  View.MoonVec = MakeVector(50, 0, 3); // north of the ecliptic
  EXPECT_TRUE(MoonInFront());
}

TEST_F(ViewGeometry, DaylightFollowsTheSunsAltitude) {
  EnterParameters("54.3", "10.1", 21, 6, 2026, 13.00L);
  ComputeInsidePositions();
  EXPECT_TRUE(View.SunUp);
  EXPECT_EQ(View.SkyColour, LightBlue);
  EXPECT_GT(View.SunAltitude, 50 * DegToRad);
  EXPECT_TRUE(View.SunSky.Visible);

  EnterParameters("54.3", "10.1", 21, 12, 2026, 1.00L);
  ComputeInsidePositions();
  EXPECT_TRUE(View.Night);
  EXPECT_EQ(View.SkyColour, Black);
  EXPECT_EQ(View.Date.Day, 21);
  EXPECT_NEAR(static_cast<double>(View.Time), 1.0, 1e-6);
}

TEST_F(ViewGeometry, InsidePositionsStayFiniteAtThePoles) {
  for (const char* latitude : {"90", "-90"}) {
    SCOPED_TRACE(latitude);
    EnterParameters(latitude, "0", 1, 1, 2026, 0.00L);
    SetInsideWindow();
    for (int hour = 0; hour < 48; hour += 7) {
      View.CurrentJD += hour / 24.0L;
      ComputeInsidePositions();
      for (long double value : {View.SunSky.U, View.SunSky.V, View.MoonSky.U, View.MoonSky.V,
                                View.LimbAngle, View.PhaseAngle, View.SunAltitude}) {
        EXPECT_TRUE(std::isfinite(value));
      }
    }
  }
}

TEST_F(ViewGeometry, LimbAnglePointsTowardsTheSun) {
  SetInsideWindow();
  const TVector moon = PolarToVector(TPolar{1, 0, 20 * DegToRad}); // in the south
  // The Sun in the west is on the right, in the east on the left, high above
  // the Moon upwards.
  const long double west =
      ComputeLimbAngle(PolarToVector(TPolar{1, 80 * DegToRad, 5 * DegToRad}), moon);
  const long double east =
      ComputeLimbAngle(PolarToVector(TPolar{1, -80 * DegToRad, 5 * DegToRad}), moon);
  const long double above = ComputeLimbAngle(MakeVector(0, 0, 1), moon);
  EXPECT_GT(std::cos(west), 0.5L);
  EXPECT_LT(std::cos(east), -0.5L);
  EXPECT_NEAR(static_cast<double>(above), M_PI / 2, 0.05);
  // Sun and Moon in one line: no great circle, the angle is defined as 0.
  EXPECT_EQ(ComputeLimbAngle(moon, moon), 0);
  TVector opposite = moon;
  ScaleVector(opposite, -1);
  EXPECT_EQ(ComputeLimbAngle(opposite, moon), 0);
}

// The batch routine of the globe gives each point what the three single
// routines give it, in every perspective and tilt, at times through a day,
// for points all over the sphere (the limb band and the far side among them).
TEST_F(ViewGeometry, GlobeToPixelsAgreesWithTheSingleRoutines) {
  std::vector<TEarthPoint> points;
  for (int lat = -90; lat <= 90; lat += 3)
    for (int lon = -180; lon < 180; lon += 7) {
      TEarthPoint P;
      P.Polar = {static_cast<float>(lon * DegToRad), static_cast<float>(lat * DegToRad), 1.0f};
      EarthPolarToVector(P.Polar, P.Vector);
      points.push_back(P);
    }
  std::vector<TSeenPixel> pixels(points.size());
  int seen = 0;
  for (int perspective = 0; perspective < 3; ++perspective)
    for (int tilt : {0, 2, -3})
      for (int hour = 0; hour < 24; hour += 7) {
        SCOPED_TRACE(testing::Message() << "p" << perspective << " tilt " << tilt << " h" << hour);
        SelectPerspective(perspective);
        for (int i = 0; i < std::abs(tilt); ++i) TiltView(tilt > 0 ? 1 : -1);
        ComputeOutsidePositions(View.CurrentJD + hour / 24.0L);
        GlobeToPixels(points.data(), points.size(), pixels.data());
        for (size_t i = 0; i < points.size(); ++i) {
          TEarthPoint Q;
          GlobeToView(points[i], Q);
          ASSERT_EQ(pixels[i].Seen, GlobeVisible(Q)) << i;
          if (!pixels[i].Seen) continue;
          ++seen;
          int x = 0, y = 0;
          GlobeProject(Q, x, y);
          ASSERT_EQ(pixels[i].X, x) << i;
          ASSERT_EQ(pixels[i].Y, y) << i;
        }
      }
  EXPECT_GT(seen, 1000);
}

// The same for points no outline file should hold but a damaged one may:
// not on the sphere, infinite or NaN, and pixels beyond the integer range,
// in batches of odd and even length. Every point is compared, seen or not.
TEST_F(ViewGeometry, GlobeToPixelsAgreesWithTheSingleRoutinesForOddPoints) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float values[] = {0.0f, -0.0f, 0.3f, -0.7f, 1.0f, 2.5f, -1e30f, 1e30f, inf, -inf, nan};
  std::vector<TEarthPoint> points;
  for (float x : values)
    for (float y : values)
      for (float z : values) {
        TEarthPoint P;
        P.Vector = {1.0f, x, y, z};
        points.push_back(P);
      }
  ComputeOutsidePositions(View.CurrentJD);
  for (const int radius : {100, 2000000000})
    for (const int centre : {540, -2000000000, 2000000000})
      for (const size_t count : {points.size(), points.size() - 1}) {
        SCOPED_TRACE(testing::Message()
                     << "r " << radius << " centre " << centre << " n " << count);
        View.EarthRadiusPx = radius;
        View.EarthCentreX = centre;
        View.EarthCentreY = -centre;
        std::vector<TSeenPixel> pixels(count);
        GlobeToPixels(points.data(), count, pixels.data());
        for (size_t i = 0; i < count; ++i) {
          TEarthPoint Q;
          GlobeToView(points[i], Q);
          int x = 0, y = 0;
          GlobeProject(Q, x, y);
          ASSERT_EQ(pixels[i].Seen, GlobeVisible(Q)) << i;
          ASSERT_EQ(pixels[i].X, x) << i;
          ASSERT_EQ(pixels[i].Y, y) << i;
        }
      }
}

TEST_F(ViewGeometry, AnInstantJustBeforeMidnightIsShownAsMidnightOfTheNextDay) {
  // Seconds before midnight the time rounds to the next minute, 0.00, and
  // the date is the next day's, across a month, a year and the calendar
  // reform (4.10.1582 was followed by 15.10.1582); seconds after it stays
  // on its own day.
  struct TCase {
    TCalendarDate Day, Next;
  };
  const TCase cases[] = {{{22, 12, 2026}, {23, 12, 2026}},
                         {{31, 12, 2026}, {1, 1, 2027}},
                         {{28, 2, 2024}, {29, 2, 2024}},
                         {{4, 10, 1582}, {15, 10, 1582}}};
  const long double tenSeconds = 10.0L / 86400;
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Day.Day << "." << c.Day.Month << "." << c.Day.Year);
    const long double midnight = JulianDate(c.Next, 0.0L);
    for (const bool inside : {false, true}) {
      if (inside)
        View.CurrentJD = midnight - tenSeconds;
      else
        ComputeOutsidePositions(midnight - tenSeconds);
      if (inside) ComputeInsidePositions();
      EXPECT_EQ(DayMonthYear(View.Date), DayMonthYear(c.Next));
      EXPECT_EQ(ShownTime(View.Time), " 0.00");
    }
    ComputeOutsidePositions(midnight - 40 * tenSeconds);
    EXPECT_EQ(DayMonthYear(View.Date), DayMonthYear(c.Day));
    EXPECT_EQ(ShownTime(View.Time), "23.53");
    ComputeOutsidePositions(midnight + tenSeconds);
    EXPECT_EQ(DayMonthYear(View.Date), DayMonthYear(c.Next));
    EXPECT_EQ(ShownTime(View.Time), " 0.00");
  }
}
