// The classroom's small screens, 1024x768 and 1280x800: every text the
// program writes stands whole on the screen, none over another. The program
// runs headless in the test process while the console keeps a record of the
// texts on the screen; the record is checked at every screen a user meets:
// the start screen, both views in every perspective, both help screens and
// the status line after a key, for a place in the north-east and one in the
// south-west.
#include <gtest/gtest.h>

#include <QRegion>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "Dateien.h"
#include "DialogDriver.h"
#include "Eingabe.h"
#include "FensterGraf.h"
#include "Grundfenster.h"
#include "KernGraf.h"
#include "KernGrafQt.h"
#include "KeyCommands.h"
#include "Lunotrop.h"
#include "Parameter.h"
#include "Render.h"
#include "ViewCommands.h"
#include "ViewGeometry.h"
#include "ViewPlaces.h"
#include "ViewState.h"

namespace {

constexpr int KeyF1 = 1, KeyUp = 15;

struct TScreenSize {
  int Width, Height;
};

void PrintTo(const TScreenSize& s, std::ostream* out) {
  *out << s.Width << "x" << s.Height;
}

std::string Describe(const TShownText& t) {
  std::ostringstream out;
  out << '"' << t.Text << "\" at (" << t.Box.Left << ", " << t.Box.Top << ")-(" << t.Box.Right
      << ", " << t.Box.Bottom << ")";
  return out.str();
}

bool Overlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

class SmallScreenTest : public ::testing::TestWithParam<TScreenSize> {
protected:
  void SetUp() override {
    ASSERT_TRUE(Folder.isValid());
    SetDataFolders(LUNOTROP_SOURCE_DIR "/data");
    WatchTexts(Record);
  }
  void TearDown() override { UnwatchTexts(Record); }

  int Width() const { return GetParam().Width; }
  int Height() const { return GetParam().Height; }

  // A parameter file; view "p" is the inside view, "b" the outside view.
  std::string Parameters(const std::string& view, const std::string& latitude,
                         const std::string& longitude) {
    const std::string path =
        Folder.filePath(QString::fromStdString(view + latitude + ".dat")).toStdString();
    std::ofstream(path, std::ios::binary)
        << view << " * Darstellung\r\n"
        << latitude << " * geogr. Breite\r\n"
        << longitude << " * geogr. L\xE4nge\r\n16.12.2026 * Startdatum\r\n"
        << "15.30 * Startuhrzeit\r\n1.00 * deltat\r\n30 * Verz\xF6gerung in ms\r\n"
        << "0 * zentraler Azimut\r\n30 * Abstand\r\nj\r\nj\r\nj\r\n";
    return path;
  }

  void Start(const std::string& parameterFile) {
    TRenderOptions options;
    options.ParameterFile = parameterFile;
    options.Width = Width();
    options.Height = Height();
    std::ostringstream err;
    ASSERT_EQ(StartHeadlessRun(options, err), 0) << err.str();
  }

  // Every text on the screen lies inside it, whole, and apart from the others.
  void ExpectReadable(const std::string& screen) {
    SCOPED_TRACE(screen);
    EXPECT_FALSE(Record.Texts.empty());
    const TRect whole{0, 0, Width(), Height()};
    for (size_t i = 0; i < Record.Texts.size(); ++i) {
      const TShownText& t = Record.Texts[i];
      EXPECT_TRUE(RectContains(whole, t.Box)) << "beyond the edge: " << Describe(t);
      EXPECT_FALSE(t.Cut) << "cut: " << Describe(t);
      for (size_t j = i + 1; j < Record.Texts.size(); ++j)
        EXPECT_FALSE(Overlap(t.Box, Record.Texts[j].Box))
            << "over each other: " << Describe(t) << " and " << Describe(Record.Texts[j]);
    }
  }

  std::string MoonAtTheStatusLine(const std::string& step);
  QTemporaryDir Folder;
  TTextRecord Record;
};

} // namespace

TEST_P(SmallScreenTest, StartScreenKeepsItsLinesOnTheScreenAndOutOfTheDialogsWay) {
  // A main window of the screen's size with the dialog, as at the program's
  // start; the slots do nothing, so only the start screen is drawn.
  StartFensterGraf(Folder.filePath("lunotrop").toStdString());
  MainRoutineSlot = NoOperation;
  KeyHandlerSlot = NoOperation;
  TGrundfenster window(true);
  window.setGeometry(0, 0, Width(), Height());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_EQ(MaxX() + 1, Width());
  ASSERT_EQ(MaxY() + 1, Height());
  new TEingabeDialog(&window);
  StartConsole(false, false, 0, 10, "Courier");
  Flags = TControlFlags();

  FirstTimeInit(); // the defaults, then the start screen

  ASSERT_TRUE(Flags.StartScreenShown);
  ExpectReadable("start screen");
  // Every line of the help text that has something to read is there.
  std::vector<std::string> lines;
  ReadTextLines("Lunotrop.txt", lines);
  const auto written = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find_first_not_of(" \t\r") != std::string::npos;
  });
  // And the line that names the folder of the Earth data.
  EXPECT_EQ(Record.Texts.size(), static_cast<size_t>(written) + 1);
  EXPECT_EQ(Record.Texts.front().Text, "L U N O T R O P");
  EXPECT_EQ(Record.Texts.back().Text.rfind("Erddaten aus dem Ordner: ", 0), 0u);

  // The longest question: the dialog stands whole in the window, centred,
  // in the band that the lines keep free.
  TDialogDriver driver({"j"});
  std::string answer = "n";
  InputString("Soll die Ekliptik gezeichnet werden (j/n) ?", answer, "keine gültige Zahl");
  ASSERT_EQ(driver.Seen.size(), 1u);
  const TSeen& seen = driver.Seen[0];
  const QRect dialog(seen.Position - window.mapToGlobal(QPoint(0, 0)),
                     QSize(seen.Width, seen.Height));
  EXPECT_TRUE(QRect(0, 0, Width(), Height()).contains(dialog)) << dialog.x() << "," << dialog.y();
  EXPECT_LE(std::abs(dialog.center().x() - Width() / 2), 1);
  EXPECT_TRUE(QRect(0, 0, seen.Width, seen.Height).contains(seen.Label));
  EXPECT_TRUE(QRect(0, 0, seen.Width, seen.Height).contains(seen.Edit));
  int top = 0, bottom = 0;
  InputDialogBand(top, bottom);
  EXPECT_LE(top, dialog.top());
  EXPECT_GE(bottom, dialog.bottom());
  for (const TShownText& t : Record.Texts)
    EXPECT_TRUE(t.Box.Bottom <= top || t.Box.Top >= bottom) << "behind the dialog: " << Describe(t);

  // A parameter file named at the start that cannot be read: its message
  // stands at the bottom, the help text whole above it.
  Record.Texts.clear();
  Flags.StartedWithFile = true;
  Flags.ParameterFileName = "fehlt.dat";
  testing::internal::CaptureStderr();
  FirstTimeInit();
  testing::internal::GetCapturedStderr();
  ExpectReadable("start screen with a message");
  EXPECT_EQ(Record.Texts.size(), static_cast<size_t>(written) + 2);
}

TEST_P(SmallScreenTest, OutsideViewPanelHelpAndStatusLineInEveryPerspective) {
  for (const auto& [latitude, longitude] : {std::pair{"54.3", "10.1"}, {"-33.9", "-18.4"}}) {
    SCOPED_TRACE(latitude);
    Record.Texts.clear();
    Start(Parameters("b", latitude, longitude));
    ExpectReadable("start picture with the earlier Moons");
    HeadlessTick('x');
    ExpectReadable("first step with the status line");
    HeadlessTick(KeyF1);
    ExpectReadable("help");
    HeadlessTick('x');
    HeadlessTick(KeyUp);
    HeadlessTick(KeyUp);
    ExpectReadable("tilted picture");
    for (int perspective = 1; perspective <= 2; ++perspective) {
      HeadlessTick('h');
      ASSERT_EQ(View.Perspective, perspective);
      ExpectReadable("perspective " + std::to_string(perspective));
    }
    HeadlessTick(KeyF1);
    ExpectReadable("help in perspective 2");
  }
}

TEST_P(SmallScreenTest, InsideViewTitleHelpAndStatusLine) {
  for (const auto& [latitude, longitude] : {std::pair{"54.3", "10.1"}, {"-33.9", "-18.4"}}) {
    SCOPED_TRACE(latitude);
    Record.Texts.clear();
    Start(Parameters("p", latitude, longitude));
    ExpectReadable("sky");
    HeadlessTick('x');
    ExpectReadable("next step with the status line");
    HeadlessTick(KeyF1);
    ExpectReadable("help");
    HeadlessTick('x');
    ExpectReadable("after the help");
  }
}

// A parameter file whose outside view starts at the first hour from
// mid-December 2026 at which the Moon stands at the bottom left, where the
// status line runs, with the given step in hours.
std::string SmallScreenTest::MoonAtTheStatusLine(const std::string& step) {
  const std::string text = StatusLineText;
  Start(Parameters("b", "54.3", "10.1"));
  SetFont("Courier", 10, 0);
  const int lineTop = MaxY() - 5 - CharHeight, lineRight = TextWidth(text);
  const long double first = View.CurrentJD;
  bool found = false;
  for (long double jd = first; jd < first + 365 && !found; jd += 1.0L / 24) {
    ComputeOutsidePositions(jd);
    const TRect moon = MoonDiscBox();
    found = moon.Bottom > lineTop + 12 && moon.Left > 60 && moon.Right < lineRight - 60;
  }
  EXPECT_TRUE(found);
  const std::string date = std::to_string(View.Date.Day) + "." + std::to_string(View.Date.Month) +
                           "." + std::to_string(View.Date.Year);
  const std::string path = Folder.filePath("unten.dat").toStdString();
  std::ofstream(path, std::ios::binary) << "b\r\n54.3\r\n10.1\r\n"
                                        << date << "\r\n"
                                        << ClockText(View.Time) << "\r\n"
                                        << step << "\r\n30\r\n0\r\n30\r\nn\r\nn\r\nj\r\n";
  return path;
}

TEST_P(SmallScreenTest, MoonStaysWholeWhereItMeetsTheStatusLine) {
  // The run starts where the Moon meets the status line, a minute a step.
  const std::string text = StatusLineText;
  const std::string path = MoonAtTheStatusLine("0.01");
  const int lineTop = MaxY() - 5 - CharHeight;
  Record.Texts.clear();
  Start(path);

  for (int step = 0; step < 4; ++step) {
    SCOPED_TRACE(step);
    HeadlessTick(step == 0 ? 'x' : 0);
    // The Moon's disc holds only its own two greys.
    const TRect moon = MoonDiscBox();
    const QPoint centre((moon.Left + moon.Right) / 2, (moon.Top + moon.Bottom) / 2);
    const int r = (moon.Right - moon.Left) / 2 - 2;
    int foreign = 0;
    for (int y = -r; y <= r; ++y)
      for (int x = -r; x <= r; ++x) {
        if (x * x + y * y > r * r) continue;
        const int colour = ColourIndex(ScreenImage().pixel(centre + QPoint(x, y)));
        foreign += colour != LightGray && colour != DarkGray;
      }
    EXPECT_EQ(foreign, 0);
    // The status line's words are all there, whole, beside the Moon, and no
    // red letter of an earlier step is left on the square picture in its row.
    std::string words;
    QRegion letters;
    for (const TShownText& t : Record.Texts) {
      if (t.Colour != LightRed || t.Box.Bottom != MaxY() - 5 || t.Text == "F1: Hilfe") continue;
      EXPECT_FALSE(t.Cut) << Describe(t);
      EXPECT_FALSE(Overlap(t.Box, moon)) << Describe(t);
      words += (words.empty() ? "" : " ") + t.Text;
      letters += QRect(t.Box.Left, t.Box.Top, t.Box.Right - t.Box.Left, t.Box.Bottom - t.Box.Top);
    }
    EXPECT_EQ(" " + words, text);
    int strayRed = 0;
    for (int y = lineTop; y < MaxY() - 5; ++y) {
      for (int x = 0; x < MaxY(); ++x) {
        const bool red = ColourIndex(ScreenImage().pixel(x, y)) == LightRed;
        strayRed += red && !letters.contains(QPoint(x, y));
      }
    }
    EXPECT_EQ(strayRed, 0);
  }
}

// The running animation leaves the status line standing while the Moon is
// away from it and takes it off only when the Moon's passage splits it anew.
// Its screens are the very screens of the same steps asked for one by one
// with a key, which takes the line off before every step: during and
// after the Moon's passage through it, two hours a step.
TEST_P(SmallScreenTest, RunningStepsShowWhatStepsByKeyShow) {
  const std::string path = MoonAtTheStatusLine("2.00");
  std::vector<QImage> byKey;
  Start(path);
  for (int step = 0; step < 40; ++step) {
    HeadlessTick('x');
    byKey.push_back(ScreenImage().copy());
  }
  Start(path);
  for (int step = 0; step < 40; ++step) {
    HeadlessTick(step == 0 ? 'x' : 0);
    ASSERT_EQ(ScreenImage(), byKey[static_cast<size_t>(step)]) << "step " << step;
  }
}

// A window made higher while the animation runs: the next running step
// writes the status line at the new bottom, although its words stay.
TEST_P(SmallScreenTest, StatusLineFollowsAHigherWindow) {
  Start(Parameters("b", "54.3", "10.1"));
  HeadlessTick('x');
  HeadlessTick(0);
  AttachScreen(Width(), Height() + 60);
  HeadlessTick(0);
  SetFont("Courier", 10, 0);
  int red = 0;
  for (int y = MaxY() - 5 - CharHeight; y < MaxY() - 5; ++y)
    for (int x = 0; x < TextWidth(StatusLineText); ++x)
      red += ColourIndex(ScreenImage().pixel(x, y)) == LightRed;
  EXPECT_GT(red, 100);
}

INSTANTIATE_TEST_SUITE_P(Classroom, SmallScreenTest,
                         ::testing::Values(TScreenSize{1024, 768}, TScreenSize{1280, 800}),
                         [](const auto& info) {
                           return std::to_string(info.param.Width) + "x" +
                                  std::to_string(info.param.Height);
                         });
