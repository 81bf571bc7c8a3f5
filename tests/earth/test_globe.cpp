// The globe drawn on the console's framebuffer: coastlines where they belong,
// the far side left out, the 200-pixel rule, the pen-up rule of the border
// file and the view it is drawn through, the grid built once, the cities,
// and what a message about missing data does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "EarthTestFiles.h"
#include "ErdmodulIntern.h"
#include "FensterGraf.h"
#include "Kern2Graf.h"
#include "KernGraf.h"
#include "KernGrafQt.h"
#include "ModulGraf.h"

using namespace earthtest;

namespace {

// ---- an orthographic view of the globe -------------------------------------------
// The view frame: X to the right, Z up, Y away from the viewer, so the
// facing half has Y < 0 (as in the outside view).

struct TOrthoView {
  TMatrix Turn;
  long double Radius = 400;
  int CentreX = 960, CentreY = 540;
} Ortho;

void LookAt(long double lonDegrees, long double latDegrees, long double radius) {
  const long double lon = lonDegrees * DegToRad, lat = latDegrees * DegToRad;
  const long double east[3] = {-std::sin(lon), std::cos(lon), 0};
  const long double away[3] = {-std::cos(lat) * std::cos(lon), -std::cos(lat) * std::sin(lon),
                               -std::sin(lat)};
  const long double north[3] = {-std::sin(lat) * std::cos(lon), -std::sin(lat) * std::sin(lon),
                                std::cos(lat)};
  for (int c = 0; c < 3; ++c) {
    Ortho.Turn.M[0][c] = east[c];
    Ortho.Turn.M[1][c] = away[c];
    Ortho.Turn.M[2][c] = north[c];
  }
  Ortho.Radius = radius;
}

void OrthoToView(const TEarthPoint& p, TEarthPoint& q) {
  q = p;
  RotateEarthVector(Ortho.Turn, q.Vector);
}
bool OrthoVisible(const TEarthPoint& p) {
  return p.Vector.Y < 0;
}
bool OrthoAllHidden(const TEarthPoint& centre, float reach) {
  return centre.Vector.Y - reach > 1e-5f;
}
void OrthoProject(const TEarthPoint& p, int& x, int& y);
void OrthoToPixels(const TEarthPoint* points, size_t count, TSeenPixel* pixels) {
  for (size_t i = 0; i < count; ++i) {
    TEarthPoint q;
    OrthoToView(points[i], q);
    pixels[i].Seen = OrthoVisible(q);
    OrthoProject(q, pixels[i].X, pixels[i].Y);
  }
}
void OrthoProject(const TEarthPoint& p, int& x, int& y) {
  x = static_cast<int>(std::lround(Ortho.CentreX + Ortho.Radius * p.Vector.X));
  y = static_cast<int>(std::lround(Ortho.CentreY - Ortho.Radius * p.Vector.Z));
}
void OrthoPixel(long double lonDegrees, long double latDegrees, int& x, int& y) {
  TEarthPoint view;
  OrthoToView(EarthPointAt(static_cast<float>(lonDegrees * DegToRad),
                           static_cast<float>(latDegrees * DegToRad)),
              view);
  OrthoProject(view, x, y);
}

// ---- a flat view for exact pixels --------------------------------------------------
// 10 pixels per degree, (0, 0) at pixel (100, 800); longitudes of 100 degrees
// and more count as the far side.

void FlatToView(const TEarthPoint& p, TEarthPoint& q) {
  q = p;
}
bool FlatVisible(const TEarthPoint& p) {
  return p.Polar.Lon / DegToRad < 99.5L;
}
void FlatProject(const TEarthPoint& p, int& x, int& y) {
  x = static_cast<int>(std::lround(100 + 10 * p.Polar.Lon / DegToRad));
  y = static_cast<int>(std::lround(800 - 10 * p.Polar.Lat / DegToRad));
}
// The flat view moved 1000 pixels to the right.
void MovedProject(const TEarthPoint& p, int& x, int& y) {
  FlatProject(p, x, y);
  x += 1000;
}

const TGlobeView OrthoView{OrthoToView, OrthoVisible, OrthoProject};
const TGlobeView FlatView{FlatToView, FlatVisible, FlatProject};
const TGlobeView MovedView{FlatToView, FlatVisible, MovedProject};

// ---- the screen ----------------------------------------------------------------------

bool IsColour(int x, int y, int colour) {
  return (GetPixel(x, y) & 0xFFFFFF) == (ColourTable[colour] & 0xFFFFFF);
}

// True if some pixel of the square of half-width r round (x, y) has the colour.
bool ColourNear(int x, int y, int r, int colour) {
  for (int dx = -r; dx <= r; ++dx)
    for (int dy = -r; dy <= r; ++dy)
      if (IsColour(x + dx, y + dy, colour)) return true;
  return false;
}

// Text may be smoothed at its edges; its pixels are those with much red.
int CountReddish(int left, int top, int right, int bottom) {
  int n = 0;
  for (int x = left; x <= right; ++x)
    for (int y = top; y <= bottom; ++y) n += qRed(GetPixel(x, y)) > 100;
  return n;
}

int CountColour(int left, int top, int right, int bottom, int colour) {
  int n = 0;
  for (int x = left; x <= right; ++x)
    for (int y = top; y <= bottom; ++y) n += IsColour(x, y, colour);
  return n;
}

void BlackScreen() {
  SetFillStyle(255, Black, Black);
  FillBar(0, 0, MaxX() + 1, MaxY() + 1);
}

// The outside view's picture: a blue disk, the globe on top of it.
void DrawOrtho(bool grid, bool cities = false, bool borders = false, int width = 1,
               const TGlobeView& view = OrthoView) {
  BlackScreen();
  SetFillStyle(255, Blue, Blue);
  DrawEllipse(Ortho.CentreX, Ortho.CentreY, static_cast<int>(Ortho.Radius),
              static_cast<int>(Ortho.Radius));
  TGlobeStyle style;
  style.CoastWidth = width;
  style.BorderColour = LightGray;
  style.Borders = borders;
  style.Grid = grid;
  style.GridColour = Black;
  style.Cities = cities;
  style.CityColour = LightRed;
  DrawGlobe(view, style);
}

// White coastlines and, on request, yellow borders.
void DrawFlat(bool borders = false, const TGlobeView& view = FlatView) {
  BlackScreen();
  TGlobeStyle style;
  style.BorderColour = Yellow;
  style.Borders = borders;
  DrawGlobe(view, style);
}

class Globe : public EarthFolderTest {
protected:
  void SetUp() override {
    EarthFolderTest::SetUp();
    AttachScreen(1920, 1080);
    ResetPalette();
    Ortho = TOrthoView();
  }
  // Draws the given table instead of the coastline files.
  void UseCoastlines(std::vector<TSegment> table) {
    EarthModel.Coastlines = std::move(table);
    EarthModel.CoastlinesLoaded = true;
  }
};

// ---- the shipped coastlines ---------------------------------------------------------

TEST_F(Globe, ShippedCoastlinesWhereTheyBelong) {
  const std::string data = std::string(LUNOTROP_SOURCE_DIR) + "/data";
  if (!std::filesystem::exists(data + "/ERDE_0.BIN")) GTEST_SKIP() << "no shipped data";
  SetDataFolders(data);
  LookAt(0, 30, 450);
  DrawOrtho(true, true, true, 2);
  EXPECT_TRUE(Messages().empty());
  if (const char* png = std::getenv("LUNOTROP_GLOBE_PNG")) ScreenImage().save(png);

  int x, y;
  OrthoPixel(-5.6, 36.0, x, y); // Strait of Gibraltar
  EXPECT_TRUE(ColourNear(x, y, 3, White));
  OrthoPixel(-17.45, 14.7, x, y); // Dakar, the west tip of Africa
  EXPECT_TRUE(ColourNear(x, y, 3, White));
  OrthoPixel(12.1, 54.2, x, y); // Baltic coast
  EXPECT_TRUE(ColourNear(x, y, 3, White));
  // Inside Africa and out in the Atlantic there is no coast.
  OrthoPixel(12, 23, x, y);
  EXPECT_FALSE(ColourNear(x, y, 15, White));
  OrthoPixel(-30, 45, x, y);
  EXPECT_FALSE(ColourNear(x, y, 15, White));
  // Mirrored, Gibraltar would lie in the Mediterranean east of Tunisia.
  OrthoPixel(5.6, 36.0, x, y);
  EXPECT_FALSE(ColourNear(x, y, 3, White));
  // Nothing is drawn off the disk.
  EXPECT_EQ(CountColour(0, 0, 400, 1079, White), 0);
  EXPECT_EQ(CountColour(1520, 0, 1919, 1079, White), 0);
}

// The runs of points on the far side, left out at once, and the points
// turned and projected in batches give the very pixels that looking at
// every point gives: from many sides, with the shipped coasts and the
// grid, one and two pixels wide.
TEST_F(Globe, FarRunsLeftOutAtOnceGiveTheSamePicture) {
  const std::string data = std::string(LUNOTROP_SOURCE_DIR) + "/data";
  if (!std::filesystem::exists(data + "/ERDE_0.BIN")) GTEST_SKIP() << "no shipped data";
  SetDataFolders(data);
  TGlobeView quick = OrthoView;
  quick.AllHidden = OrthoAllHidden;
  quick.ToPixels = OrthoToPixels;
  for (int side = 0; side < 12; ++side) {
    LookAt(-170 + 31 * side, -80 + 15 * side, 100 + 30 * side);
    const int width = 1 + side % 2;
    DrawOrtho(true, false, false, width, OrthoView);
    const QImage everyPoint = ScreenImage().copy();
    DrawOrtho(true, false, false, width, quick);
    ASSERT_EQ(ScreenImage(), everyPoint) << "side " << side;
  }
  // Every run lies in its ball, and the runs take each point once.
  ASSERT_FALSE(EarthModel.Coastlines.empty());
  for (const TSegment& segment : EarthModel.Coastlines) {
    size_t next = 0;
    for (const TPointRun& run : segment.Runs) {
      ASSERT_EQ(run.First, next);
      next += run.Count;
      for (size_t i = run.First; i < next; ++i) {
        const TEarthVector& p = segment.Points[i].Vector;
        const TEarthVector& c = run.Centre.Vector;
        EXPECT_LE(std::hypot(p.X - c.X, p.Y - c.Y, p.Z - c.Z), run.Reach);
      }
    }
    EXPECT_EQ(next, segment.Points.size());
  }
}

// ---- hidden points and long jumps ----------------------------------------------------

TEST_F(Globe, FarSideAndHiddenPointsAreLeftOut) {
  UseCoastlines({
      Line({{10, 30}, {120, 30}, {30, 30}, {40, 30}}), // broken by a hidden point
      Line({{150, 10}, {160, 10}, {170, 20}}),         // all on the far side
      Line({{130, 50}, {50, 50}, {60, 50}}),           // starts hidden
  });
  DrawFlat();
  // No line across the hidden point from 10 to 30 degrees.
  EXPECT_FALSE(IsColour(250, 500, White));
  EXPECT_TRUE(IsColour(450, 500, White));
  // Nothing of the hidden segment.
  EXPECT_EQ(CountColour(1550, 550, 1850, 750, White), 0);
  // A hidden first point only moves the pen.
  EXPECT_FALSE(IsColour(1000, 300, White));
  EXPECT_TRUE(IsColour(650, 300, White));
}

TEST_F(Globe, PointsFarApartAreNotJoined) {
  UseCoastlines({
      Line({{0, 0}, {19.9, 0}}),    // 199 pixels apart in x: joined
      Line({{0, 10}, {20, 10}}),    // 200: not joined
      Line({{50, 30}, {50, 49.9}}), // 199 in y: joined
      Line({{60, 30}, {60, 50}}),   // 200: not joined
  });
  DrawFlat();
  EXPECT_TRUE(IsColour(200, 800, White));
  EXPECT_FALSE(IsColour(200, 700, White));
  EXPECT_TRUE(IsColour(600, 400, White));
  EXPECT_FALSE(IsColour(700, 400, White));
}

TEST_F(Globe, DenseLinesLookAsDrawnLineByLine) {
  // Points a pixel or less apart, some on the same pixel, in every direction.
  std::vector<std::pair<double, double>> wiggle;
  for (int k = 0; k < 400; ++k)
    wiggle.push_back({20 + 5 * std::cos(k * 0.02) + 0.04 * (k % 5), 40 + 5 * std::sin(k * 0.017)});
  const TSegment line = Line(wiggle);
  UseCoastlines({line});
  DrawFlat();
  std::vector<QRgb> drawn;
  for (int x = 200; x < 380; ++x)
    for (int y = 300; y < 480; ++y) drawn.push_back(GetPixel(x, y));

  BlackScreen();
  SetLineWidth(1);
  int x = 0, y = 0;
  FlatProject(line.Points[0], x, y);
  PenMoveTo(x, y);
  for (size_t i = 1; i < line.Points.size(); ++i) {
    FlatProject(line.Points[i], x, y);
    PenLineTo(x, y, White);
  }
  size_t at = 0, differ = 0, white = 0;
  for (int px = 200; px < 380; ++px)
    for (int py = 300; py < 480; ++py, ++at) {
      differ += GetPixel(px, py) != drawn[at];
      white += IsColour(px, py, White);
    }
  EXPECT_EQ(differ, 0u);
  EXPECT_GT(white, 300u);
}

// ---- the borders file -----------------------------------------------------------------

// A header of a file with one-byte deltas at (lon, lat) in degrees.
std::vector<uint8_t> BorderHeader(double lon, double lat, int count, bool penUp) {
  const int lonCode = static_cast<int>(std::lround((lon * DegToRad + Pi) / DeltaUnit));
  return Header(lonCode, LatCode(lat), count, penUp);
}

TEST_F(Globe, BorderSegmentsJoinUnlessThePenIsUp) {
  UseCoastlines({});
  std::vector<uint8_t> bytes;
  Append(bytes, BorderHeader(10, 10, 0, true));
  Append(bytes, BorderHeader(15, 10, 0, false)); // continues the line
  Append(bytes, BorderHeader(10, 20, 0, true));
  Append(bytes, BorderHeader(15, 20, 0, true)); // starts afresh
  Append(bytes, BorderHeader(10, 30, 2, true));
  Append(bytes, {0xFF, 0xFF}); // two deltas of about +0.7 lon, +0.3 lat
  Append(bytes, BorderHeader(30, 10, 3, true));
  Append(bytes, {0xF7}); // cut off after one of three deltas
  WriteBytes("grenze_1.bin", bytes);
  DrawFlat(true);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(IsColour(225, 700, Yellow));
  EXPECT_FALSE(IsColour(225, 600, Yellow));
  EXPECT_TRUE(ColourNear(205, 498, 1, Yellow));
  EXPECT_TRUE(IsColour(403, 700, Yellow));
  EXPECT_EQ(CountColour(420, 680, 520, 720, Yellow), 0);

  // The file is read again at every drawing.
  std::filesystem::remove("grenze_1.bin");
  DrawFlat(true);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], " \"grenze_1.bin\" nicht gefunden ! \a");
}

TEST_F(Globe, BordersAreDrawnThroughTheViewOfEachDrawing) {
  UseCoastlines({Line({{10, 40}, {15, 40}})});
  std::vector<uint8_t> bytes;
  Append(bytes, BorderHeader(10, 10, 0, true));
  Append(bytes, BorderHeader(15, 10, 0, false));
  WriteBytes("grenze_1.bin", bytes);

  DrawFlat(true, MovedView);
  // Coastline and border both where the moved view puts them ...
  EXPECT_TRUE(IsColour(1225, 400, White));
  EXPECT_TRUE(IsColour(1225, 700, Yellow));
  // ... and nothing where the flat view would.
  EXPECT_EQ(CountColour(150, 350, 300, 750, White), 0);
  EXPECT_EQ(CountColour(150, 350, 300, 750, Yellow), 0);

  // The next drawing uses its own view, not the one before.
  DrawFlat(true, FlatView);
  EXPECT_TRUE(IsColour(225, 700, Yellow));
  EXPECT_EQ(CountColour(1150, 350, 1300, 750, Yellow), 0);

  // A view without all three routines draws nothing.
  TGlobeView partial = FlatView;
  partial.Project = nullptr;
  DrawFlat(true, partial);
  EXPECT_EQ(CountColour(0, 0, 1919, 1079, Black), 1920 * 1080);
  EXPECT_TRUE(Messages().empty());
}

// ---- the grid --------------------------------------------------------------------------

TEST_F(Globe, GridIsBuiltOnceWithTheFirstSpacing) {
  UseCoastlines({});
  LookAt(0, 0, 400);
  DrawOrtho(true);
  ASSERT_TRUE(EarthModel.GridBuilt);
  ASSERT_EQ(EarthModel.GridLines.size(), 11u);
  for (const TSegment& s : EarthModel.GridLines) {
    ASSERT_EQ(s.Count, 37);
    // Each circle closes on its first point.
    EXPECT_NEAR(s.Points[36].Vector.X, s.Points[0].Vector.X, 1e-5);
    EXPECT_NEAR(s.Points[36].Vector.Y, s.Points[0].Vector.Y, 1e-5);
    EXPECT_NEAR(s.Points[36].Vector.Z, s.Points[0].Vector.Z, 1e-5);
  }
  for (int k = 0; k < 5; ++k)
    EXPECT_NEAR(EarthModel.GridLines[k].Points[5].Polar.Lat / DegToRad, -60 + 30 * k, 1e-4);
  // The meridian circles cross the equator (point 9) at -60 .. 90 degrees.
  for (int k = 0; k < 6; ++k) {
    const TEarthPolar& crossing = EarthModel.GridLines[5 + k].Points[9].Polar;
    EXPECT_NEAR(crossing.Lat, 0, 1e-5);
    EXPECT_LE(LonDifferenceDegrees(crossing.Lon, (-60 + 30 * k) * DegToRad), 1e-4);
  }
  // Drawn in black over the blue disk: the equator and the zero meridian.
  EXPECT_TRUE(IsColour(1000, 540, Black));
  EXPECT_TRUE(IsColour(960, 500, Black));
  EXPECT_TRUE(IsColour(1100, 700, Blue));

  // Another spacing later draws the same grid.
  TGlobeStyle style;
  style.Grid = true;
  style.GridDegrees = 45;
  DrawGlobe(OrthoView, style);
  EXPECT_EQ(EarthModel.GridLines.size(), 11u);
  EXPECT_NEAR(EarthModel.GridSpacing, 30 * DegToRad, 1e-12);
}

// ---- cities ------------------------------------------------------------------------------

TEST_F(Globe, CitiesOnTheNearSideOnly) {
  UseCoastlines({});
  WriteText("CITY.DAT", "% Orte\nName,Breite,Laenge\nVorn,0,0\nHinten,0,150\n");
  LookAt(0, 0, 400);
  DrawOrtho(false, true);
  ASSERT_EQ(EarthModel.CityNames.size(), 2u);
  // The dot: nine pixels round the place.
  EXPECT_EQ(CountColour(959, 539, 961, 541, LightRed), 9);
  EXPECT_FALSE(IsColour(958, 540, LightRed));
  // The name begins 6 pixels to the right, centred on the dot's row.
  EXPECT_GT(CountReddish(966, 530, 1040, 550), 10);
  EXPECT_EQ(CountReddish(920, 525, 957, 555), 0);
  EXPECT_EQ(CountReddish(959, 500, 1040, 528), 0);
  // The far one: neither dot nor name where it would project.
  EXPECT_EQ(CountReddish(1140, 520, 1260, 560), 0);
}

// ---- messages ------------------------------------------------------------------------------

// EndProgram ends the test run instead of the program; the tests below
// install this so that a call shows as an exception.
struct TEndOfProgram : std::runtime_error {
  int Status;
  explicit TEndOfProgram(int status) : std::runtime_error("EndProgram"), Status(status) {}
};
void ThrowAtEndOfProgram(int status) {
  throw TEndOfProgram(status);
}

TEST_F(Globe, DefaultMessageIsReportedAndTheProgramGoesOn) {
  SetEarthMessageHandler(nullptr);
  SetEndProgramHandler(ThrowAtEndOfProgram);
  testing::internal::CaptureStderr();
  EXPECT_NO_THROW(DrawFlat());
  const std::string err = testing::internal::GetCapturedStderr();
  // The line without its bell and blanks, after the program's prefix.
  EXPECT_EQ(err,
            "lunotrop: Weder \"ECLGRAPH.DAT\" noch \"ERDE.BIN\" noch \"ERDE_0.BIN\" gefunden !\n");
  EXPECT_FALSE(EarthModel.CoastlinesLoaded);
  EXPECT_EQ(CountColour(0, 0, 1919, 1079, Black), 1920 * 1080); // no data drawn

  // The next drawing looks again and finds the file that has come.
  std::vector<uint8_t> coast = Header(LonCode(20), LatCode(40), 1);
  Append(coast, {0x37, 0xE4}); // about +5 degrees east
  WriteBytes("ERDE_0.BIN", coast);
  testing::internal::CaptureStderr();
  EXPECT_NO_THROW(DrawFlat(true));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "lunotrop: \"grenze_1.bin\" nicht gefunden !\n");
  SetEndProgramHandler(nullptr);
  EXPECT_TRUE(EarthModel.CoastlinesLoaded);
  EXPECT_TRUE(ColourNear(325, 400, 1, White));
  EXPECT_EQ(CountColour(0, 0, 1919, 1079, Yellow), 0);
}

TEST_F(Globe, StartRegistersTheReleaseAtTheEndOfTheProgram) {
  UseCoastlines({Line({{10, 40}, {15, 40}})});
  StartErdmodul();
  StartErdmodul(); // harmless
  SetEndProgramHandler(ThrowAtEndOfProgram);
  EXPECT_THROW(EndProgram(0), TEndOfProgram);
  SetEndProgramHandler(nullptr);
  EXPECT_FALSE(EarthModel.CoastlinesLoaded);
  EXPECT_TRUE(EarthModel.Coastlines.empty());
}

} // namespace
