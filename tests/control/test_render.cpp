// lunotrop --render: the pictures of both views and the three perspectives
// without a display, their size and file format, and what bad input gives.
// The program runs as a process; where to look in its pictures comes from
// the same start done in the test process.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <fstream>
#include <sstream>

#include "Animation.h"
#include "Dateien.h"
#include "Erdmodul.h"
#include "KernGrafQt.h"
#include "KeyCommands.h"
#include "Parameter.h"
#include "Render.h"
#include "ViewGeometry.h"
#include "ViewPlaces.h"

namespace {

constexpr int Patience = 120000; // ms, also under the sanitizers on a loaded machine

struct TRun {
  int Status = -1;
  std::string Err;
};

class RenderTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Folder.isValid());
    SetDataFolders(LUNOTROP_SOURCE_DIR "/data");
  }

  QString Path(const QString& name) const { return Folder.filePath(name); }

  // A parameter file; view "p" is the inside view, "b" the outside view.
  QString WriteParameters(const QString& name, const std::string& view, const std::string& date,
                          const std::string& time, const std::string& step = "1.00",
                          const std::string& latitude = "54.3") {
    std::ofstream(Path(name).toStdString(), std::ios::binary)
        << view << " * Darstellung\r\n"
        << latitude << " * geogr. Breite\r\n10.1 * geogr. L\xE4nge\r\n"
        << date << " * Startdatum\r\n"
        << time << " * Startuhrzeit\r\n"
        << step << " * deltat\r\n30 * Verz\xF6gerung in ms\r\n0 * zentraler Azimut\r\n"
        << "30 * Abstand\r\nn\r\nn\r\nj\r\n";
    return Path(name);
  }

  TRun Render(const QStringList& arguments) {
    QProcess program;
    program.setWorkingDirectory(Folder.path());
    program.start(LUNOTROP_BINARY, arguments);
    TRun run;
    if (!program.waitForFinished(Patience)) {
      program.kill();
      program.waitForFinished();
      return run;
    }
    run.Err = program.readAllStandardError().toStdString();
    if (program.exitStatus() == QProcess::NormalExit) run.Status = program.exitCode();
    return run;
  }

  // The same start in the test process, so that View tells where things are.
  static void StartHere(const QString& parameterFile, int width, int height, int perspective,
                        int steps) {
    TRenderOptions options;
    options.ParameterFile = parameterFile.toStdString();
    options.Width = width;
    options.Height = height;
    options.Perspective = perspective;
    std::ostringstream err;
    ASSERT_EQ(StartHeadlessRun(options, err), 0) << err.str();
    for (int i = 0; i < steps; ++i) HeadlessTick(0);
  }

  QStringList Entries() const {
    return QDir(Folder.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
  }

  QTemporaryDir Folder;
};

} // namespace

TEST_F(RenderTest, InsideViewShowsTheSkyOfTheHour) {
  const QString noon = WriteParameters("mittag.dat", "p", "21.6.2024", "12.00");
  const QString midnight = WriteParameters("nacht.dat", "p", "21.12.2024", "0.00");
  ASSERT_EQ(Render({"--render", Path("mittag.png"), noon}).Status, 0);
  ASSERT_EQ(Render({"--render", Path("nacht.png"), midnight}).Status, 0);

  const QImage day(Path("mittag.png"));
  ASSERT_EQ(day.size(), QSize(1920, 1080));
  StartHere(noon, 1920, 1080, -1, 0);
  EXPECT_EQ(MostColour(day, SkyPlace()), LightBlue);
  EXPECT_EQ(MostColour(day, 10, 10), Black); // the title band
  // The Sun's disc where the views project it.
  EXPECT_EQ(MostColour(day, SkyPixelX(View.SunSky), SkyPixelY(View.SunSky), 3), Yellow);

  const QImage night(Path("nacht.png"));
  StartHere(midnight, 1920, 1080, -1, 0);
  EXPECT_EQ(MostColour(night, SkyPlace()), Black);
}

TEST_F(RenderTest, StepsMoveTheSun) {
  const QString noon = WriteParameters("mittag.dat", "p", "21.6.2024", "12.00");
  ASSERT_EQ(Render({"--render", Path("spaeter.png"), "--steps", "3", noon}).Status, 0);
  const QImage later(Path("spaeter.png"));
  StartHere(noon, 1920, 1080, -1, 0);
  const QPoint atNoon(SkyPixelX(View.SunSky), SkyPixelY(View.SunSky));
  StartHere(noon, 1920, 1080, -1, 3);
  const QPoint threeHoursLater(SkyPixelX(View.SunSky), SkyPixelY(View.SunSky));
  ASSERT_GT((threeHoursLater - atNoon).manhattanLength(), 60);
  EXPECT_EQ(MostColour(later, threeHoursLater, 3), Yellow);
  EXPECT_EQ(MostColour(later, atNoon, 3), LightBlue);
}

TEST_F(RenderTest, AKeyAfterTheHelpClearsItAndGivesBackTheSingleStepSetting) {
  const QString noon = WriteParameters("mittag.dat", "b", "21.6.2024", "12.00");
  StartHere(noon, 1920, 1080, -1, 0);
  HeadlessTick('x'); // clears the start picture
  ASSERT_FALSE(Flags.SingleStep);
  HeadlessTick(1); // F1: the help panel right of the picture
  EXPECT_TRUE(Flags.SingleStep);
  EXPECT_TRUE(Flags.PendingClear);
  // The first line of the help: "e": Einzelschritt an/aus.
  const QRect firstLine(MaxY() - 150, CharHeight, 20 * CharWidth, CharHeight);
  EXPECT_GT(CountColour(ScreenImage(), firstLine, White), 50);
  HeadlessTick('x');
  EXPECT_FALSE(Flags.PendingClear);
  EXPECT_FALSE(Flags.SingleStep);
  EXPECT_EQ(CountColour(ScreenImage(), firstLine, White), 0);
}

TEST_F(RenderTest, OutsideViewInEachPerspectiveEvenFromAnInsideViewFile) {
  // The full Moon of a summer night: above the horizon, far from the ecliptic
  // pole view's x axis, about which perspective 1 turns the picture.
  const QString inside = WriteParameters("innen.dat", "p", "22.6.2024", "0.00");
  QPoint moonBefore(-1000, -1000);
  for (int perspective = 0; perspective <= 2; ++perspective) {
    SCOPED_TRACE(perspective);
    const QString picture = Path(QString("perspektive%1.png").arg(perspective));
    ASSERT_EQ(
        Render({"--render", picture, "--perspective", QString::number(perspective), inside}).Status,
        0);
    const QImage shot(picture);
    StartHere(inside, 1920, 1080, perspective, 0);
    ASSERT_TRUE(View.OutsideView);
    ASSERT_TRUE(MoonDrawable());
    ExpectEarthAndMoon(shot);
    // Each perspective puts the Moon somewhere else.
    int x = 0, y = 0;
    MoonPixel(x, y);
    EXPECT_GT((QPoint(x, y) - moonBefore).manhattanLength(), 40);
    moonBefore = QPoint(x, y);
    // Only perspective 2 has the horizon line through the top of the Earth.
    const int horizonY = View.EarthCentreY - View.EarthRadiusPx;
    EXPECT_EQ(ColourIndex(shot.pixel(5, horizonY)), perspective == 2 ? DarkGray : Black);
  }

  // An outside-view file without --perspective: the start picture.
  const QString outside = WriteParameters("aussen.dat", "b", "21.6.2024", "12.00");
  ASSERT_EQ(Render({"--render", Path("aussen.png"), outside}).Status, 0);
  StartHere(outside, 1920, 1080, -1, 0);
  ExpectEarthAndMoon(QImage(Path("aussen.png")));
}

// ---- what the keys leave behind -------------------------------------------------------------

namespace {

// Pixels of the disc (x, y, r - 3) that are black: none for a drawn body.
int BlackInDisc(int x, int y, int r) {
  int black = 0;
  for (int dy = -r + 3; dy <= r - 3; ++dy)
    for (int dx = -r + 3; dx <= r - 3; ++dx)
      if (dx * dx + dy * dy <= (r - 3) * (r - 3) && ColourIndex(GetPixel(x + dx, y + dy)) == Black)
        ++black;
  return black;
}

// The first instant from jd on (hourly, within two months) at which the
// outside view puts the Moon's centre within the box.
long double MoonNear(long double jd, const QRect& box) {
  for (int hour = 0; hour < 24 * 60; ++hour) {
    ComputeOutsidePositions(jd + hour / 24.0L);
    int x = 0, y = 0;
    MoonPixel(x, y);
    if (box.contains(x, y)) return jd + hour / 24.0L;
  }
  ADD_FAILURE() << "the Moon never comes there";
  return jd;
}

} // namespace

TEST_F(RenderTest, TiltingInPerspectiveZeroLeavesTheMoonWhole) {
  // The Moon right of the Earth at the height of its top, where the
  // perspective 2 labels stood, which were erased there at every frame.
  const QString file = WriteParameters("kippen.dat", "b", "1.3.2026", "0.00");
  StartHere(file, 1920, 1080, 0, 0);
  HeadlessTick('x'); // clears the start picture
  const int top = View.EarthCentreY - View.EarthRadiusPx;
  View.CurrentJD = MoonNear(View.CurrentJD, QRect(MaxY() - 80, top - 20, 50, 40));
  HeadlessTick('x');
  for (const int key : {15, 16}) { // up, then down
    HeadlessTick(key);
    int x = 0, y = 0;
    MoonPixel(x, y);
    EXPECT_EQ(BlackInDisc(x, y, View.MoonRadiusPx), 0) << "key " << key;
  }
}

TEST_F(RenderTest, TiltKeysInPerspectiveTwoChangeNothing) {
  const QString file = WriteParameters("horizont.dat", "b", "16.12.2026", "15.30");
  StartHere(file, 1920, 1080, 2, 1);
  const QImage before = ScreenImage().copy();
  HeadlessTick(15);
  HeadlessTick(16);
  EXPECT_TRUE(ScreenImage() == before);
}

TEST_F(RenderTest, TheSetSunsMarkerGoesWithoutTakingTheHorizonOrItsLabel) {
  // Kiel at dusk in perspective 2: the Sun sets in the west, right, where
  // the horizon line ends under its label "Horizont".
  const QString file = WriteParameters("abend.dat", "b", "16.12.2026", "15.30", "0.10");
  StartHere(file, 1920, 1080, 2, 0);
  for (int step = 0; step < 12; ++step) HeadlessTick(0);
  ASSERT_LT(View.SunVec.Y, 0); // set
  const int y = View.EarthCentreY - View.EarthRadiusPx;
  // The horizon line runs unbroken from the left edge to the square's edge.
  int gaps = 0;
  for (int x = 0; x < MaxY(); ++x) gaps += ColourIndex(GetPixel(x, y)) == Black;
  EXPECT_EQ(gaps, 0);
  // "Horizont" stands whole right-aligned at the square's edge: grey text.
  EXPECT_GT(CountColour(ScreenImage(),
                        QRect(MaxY() - 8 * CharWidth, y - CharHeight, 8 * CharWidth, CharHeight),
                        LightGray),
            120);
}

TEST_F(RenderTest, SizeAndFormatFollowTheOptions) {
  const QString noon = WriteParameters("mittag.dat", "p", "21.6.2024", "12.00");
  ASSERT_EQ(Render({"--render", Path("klein.bmp"), "--size", "800x600", noon}).Status, 0);
  ASSERT_EQ(Render({"--render", Path("klein.PNG"), "--size", "800x600", noon}).Status, 0);

  const QImage bmp(Path("klein.bmp"), "BMP");
  ASSERT_EQ(bmp.size(), QSize(800, 600));
  std::ifstream file(Path("klein.bmp").toStdString(), std::ios::binary);
  char header[30] = {};
  file.read(header, sizeof header);
  EXPECT_EQ(std::string(header, 2), "BM");
  EXPECT_EQ(header[28], 24); // bits a pixel

  const QImage png(Path("klein.PNG"), "PNG");
  ASSERT_EQ(png.size(), QSize(800, 600));
  StartHere(noon, 800, 600, -1, 0);
  EXPECT_EQ(MostColour(bmp, SkyPlace()), LightBlue);
  EXPECT_EQ(MostColour(png, SkyPlace()), LightBlue);
}

TEST_F(RenderTest, MissingEarthDataFailsTheRunWithoutAPicture) {
  // In the test process, where the shipped data can be hidden: an empty
  // folder, no data folders and no coastlines loaded before.
  const QString outside = WriteParameters("aussen.dat", "b", "21.6.2024", "12.00");
  const QString inside = WriteParameters("innen.dat", "p", "21.6.2024", "12.00");
  const QString oldFolder = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(Folder.path()));
  SetDataFolders("");
  ReleaseEarthModel();
  const QStringList before = Entries();

  // The outside view draws the Earth at the start, the inside view after
  // the key 'd' has switched to it; either way the message comes once,
  // however often the Earth is drawn, and no picture is written.
  struct TCase {
    QString ParameterFile;
    std::string Keys;
  };
  for (const TCase& c : {TCase{outside, ""}, TCase{inside, "d"}}) {
    SCOPED_TRACE(c.ParameterFile.toStdString());
    TRenderOptions options;
    options.Output = Path("bild.png").toStdString();
    options.ParameterFile = c.ParameterFile.toStdString();
    options.Keys = c.Keys;
    options.Steps = 3;
    std::ostringstream err;
    testing::internal::CaptureStderr();
    const int status = RenderPicture(options, err);
    const std::string stderrText = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 2);
    EXPECT_EQ(stderrText, "lunotrop: Weder \"ECLGRAPH.DAT\" noch \"ERDE.BIN\" noch "
                          "\"ERDE_0.BIN\" gefunden !\n");
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(Entries(), before);
  }

  // With the data back, the next run draws its picture.
  SetDataFolders(LUNOTROP_SOURCE_DIR "/data");
  TRenderOptions options;
  options.Output = Path("bild.png").toStdString();
  options.ParameterFile = outside.toStdString();
  std::ostringstream err;
  EXPECT_EQ(RenderPicture(options, err), 0) << err.str();
  EXPECT_TRUE(QFile::exists(Path("bild.png")));
  QDir::setCurrent(oldFolder);
}

TEST_F(RenderTest, BadInputIsReportedAndWritesNothing) {
  const QString good = WriteParameters("gut.dat", "p", "21.6.2024", "12.00");
  const QString bad = WriteParameters("schlecht.dat", "p", "21.6.2024", "zwölf");
  struct TCase {
    QStringList Arguments;
    std::string Message;
  };
  const QString out = Path("bild.png");
  const std::vector<TCase> cases = {
      {{"--render", out, Path("fehlt.dat")}, "kann nicht gelesen werden"},
      {{"--render", out, bad}, "Zeile 5"},
      {{"--render", out}, "--render braucht genau eine Parameterdatei."},
      {{"--render", out, "--size", "0x0", good}, "--size braucht die Form"},
      {{"--render", out, "--size", "groß", good}, "--size braucht die Form"},
      {{"--render", out, "--size", "10x10", good}, "Ungültige Angaben"},
      {{"--render", out, "--size", "16000x9000", good}, "Ungültige Angaben"},
      {{"--render", out, "--size", "99999x600", good}, "Ungültige Angaben"},
      {{"--render", out, "--perspective", "3", good}, "--perspective braucht 0, 1 oder 2."},
      {{"--render", out, "--perspective", "-1", good}, "--perspective braucht 0, 1 oder 2."},
      {{"--render", out, "--steps", "-1", good}, "--steps braucht eine ganze Zahl ab 0."},
      {{"--render", out, "--steps", "viele", good}, "--steps braucht eine ganze Zahl ab 0."},
      {{"--render", out, "--keys", "{oben}", good}, "--keys kennt nur Zeichen"},
      {{"--render", out, "--keys", "\x1b", good}, "Esc fragt die Eingaben neu ab"},
      {{"--render", Path("bild.jpg"), good}, "muss auf .bmp oder .png enden"},
      {{"--render", Path("bild"), good}, "muss auf .bmp oder .png enden"},
      {{"--render", Path("gibt/es/nicht/bild.png"), good}, "kann nicht geschrieben werden"},
  };
  const QStringList before = Entries();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Arguments.join(' ').toStdString());
    const TRun run = Render(c.Arguments);
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find("lunotrop: "), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
    // No picture and no half-written temporary file.
    EXPECT_EQ(Entries(), before);
  }
}

TEST_F(RenderTest, InsideTheStatusLineStandsFromStepToStepAndComesBackWhole) {
  // Night, so that the line's red letters stand on the dark ground.
  const QString night = WriteParameters("nacht.dat", "p", "21.12.2024", "22.00", "0.02");
  StartHere(night, 1024, 768, -1, 2);
  const QRect line(0, MaxY() - 24, MaxX() + 1, 25);
  const QImage standing = ScreenImage().copy(line);
  ASSERT_GT(CountColour(standing, standing.rect(), LightRed), 200);
  const TRect lineRect{0, line.top(), MaxX() + 1, MaxY() + 1};
  auto drawnOnLine = [&lineRect](const TDamageRecord& drawn) {
    for (const TRect& r : drawn.Rects)
      if (r.Left < lineRect.Right && lineRect.Left < r.Right && r.Top < lineRect.Bottom &&
          lineRect.Top < r.Bottom)
        return true;
    return false;
  };

  // A step with nothing near the line neither puts the line's place back
  // nor writes it again.
  auto stepTouchesLine = [&drawnOnLine] {
    TDamageRecord drawn;
    WatchDamage(drawn);
    HeadlessTick(0);
    UnwatchDamage(drawn);
    return drawnOnLine(drawn);
  };
  EXPECT_FALSE(stepTouchesLine());
  EXPECT_EQ(ScreenImage().copy(line), standing);

  // Something drawn over part of it, as a body low in the sky could be:
  // the next step puts the ground back there and the letters on top, and
  // the steps after it leave the line standing again.
  SetFillStyle(255, Yellow, Yellow);
  FillBar(40, MaxY() - 14, 160, MaxY() - 2);
  EXPECT_TRUE(stepTouchesLine());
  EXPECT_EQ(ScreenImage().copy(line), standing);
  EXPECT_FALSE(stepTouchesLine());
  EXPECT_FALSE(stepTouchesLine());

  // A key that takes the line off before its step: the same line after it.
  HeadlessTick('+');
  EXPECT_EQ(ScreenImage().copy(line), standing);
}
