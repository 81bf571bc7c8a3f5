// The main window: program start, key codes from real Qt key events, the
// timer, text screens, bitmap files, saving pictures and the end of the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <stdexcept>
#include <sys/resource.h>
#include <vector>

#include "ConsoleTestHelpers.h"
#include "FensterGraf.h"
#include "Grundfenster.h"
#include "Kern2Graf.h"
#include "KernGraf.h"
#include "KernGrafIntern.h"
#include "KernGrafQt.h"

namespace {

const QRgb WhitePixel = qRgb(255, 255, 255);

// All codes waiting in the key queue, oldest first; the queue is left empty.
std::vector<int> TakeKeys() {
  std::vector<int> codes;
  while (KeyPressed()) codes.push_back(ReadKey());
  return codes;
}

class MainWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    StartFensterGraf("/opt/lunotrop/Lunotrop");
    Window = new TGrundfenster(false);
    ResetPalette();
    SetFont("Courier", 10, 0);
    ClearScreen();
    ClearKeyQueue();
  }
  void TearDown() override {
    delete Window;
    ClearKeyQueue();
  }

  // The codes one key press puts into the queue.
  std::vector<int> Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    ClearKeyQueue();
    QTest::keyClick(Window, key, modifiers);
    return TakeKeys();
  }

  TGrundfenster* Window = nullptr;
};

using Codes = std::vector<int>;

} // namespace

// ---- program start -------------------------------------------------------------------

TEST(ProgramStart, NamesComeFromTheProgramPath) {
  StartFensterGraf("/home/lehrer/mond.projekt/Lunotrop.exe");
  EXPECT_EQ(ProgramName, "Lunotrop");
  EXPECT_EQ(HelpTextFileName, "/home/lehrer/mond.projekt/Lunotrop.txt");
  EXPECT_EQ(PictureFileName, "/home/lehrer/mond.projekt/Lunotrop.bmp");

  StartFensterGraf("C:\\Programme\\Mond.1\\LUNOTROP.EXE");
  EXPECT_EQ(ProgramName, "LUNOTROP");
  EXPECT_EQ(HelpTextFileName, "C:\\Programme\\Mond.1\\LUNOTROP.txt");

  // A Linux program has no extension; a point in the folder is no extension.
  StartFensterGraf("/opt/mond.1/lunotrop");
  EXPECT_EQ(ProgramName, "lunotrop");
  EXPECT_EQ(HelpTextFileName, "/opt/mond.1/lunotrop.txt");
  EXPECT_EQ(PictureFileName, "/opt/mond.1/lunotrop.bmp");

  StartFensterGraf("lunotrop");
  EXPECT_EQ(ProgramName, "lunotrop");
  EXPECT_EQ(HelpTextFileName, "lunotrop.txt");
}

TEST(ProgramStart, SlotsAndFlagsStartEmpty) {
  PutKey('x');
  RunStarted = true;
  TextScreenShown = true;
  TimerHookEnabled = false;
  StartFensterGraf("/opt/lunotrop/Lunotrop");
  EXPECT_EQ(MainRoutineSlot, &NoOperation);
  EXPECT_EQ(KeyHandlerSlot, &NoOperation);
  EXPECT_TRUE(TimerHookEnabled);
  EXPECT_FALSE(RunStarted);
  EXPECT_FALSE(TextScreenShown);
  EXPECT_FALSE(KeyPressed());
  EXPECT_EQ(ReadKey(), 0);
}

TEST(ProgramStart, DisplayAvailableFollowsTheEnvironment) {
  const auto keep = [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  };
  const auto platform = keep("QT_QPA_PLATFORM"), display = keep("DISPLAY"),
             wayland = keep("WAYLAND_DISPLAY");
  unsetenv("QT_QPA_PLATFORM");
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_FALSE(DisplayAvailable());
  setenv("DISPLAY", ":7", 1);
  EXPECT_TRUE(DisplayAvailable());
  setenv("QT_QPA_PLATFORM", "wayland", 1);
  EXPECT_FALSE(DisplayAvailable());
  setenv("QT_QPA_PLATFORM", "wayland;xcb", 1);
  EXPECT_TRUE(DisplayAvailable());
  unsetenv("DISPLAY");
  setenv("QT_QPA_PLATFORM", "offscreen:configfile=/tmp/x.json", 1);
  EXPECT_TRUE(DisplayAvailable());
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  EXPECT_FALSE(DisplayAvailable());
  const auto restore = [](const char* name, const std::optional<std::string>& value) {
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  };
  restore("QT_QPA_PLATFORM", platform);
  restore("DISPLAY", display);
  restore("WAYLAND_DISPLAY", wayland);
}

// ---- key codes ---------------------------------------------------------------------------

TEST_F(MainWindowTest, EnterAndCursorKeys) {
  EXPECT_EQ(Press(Qt::Key_Return), Codes{23});
  EXPECT_EQ(Press(Qt::Key_Enter), Codes{23});
  EXPECT_EQ(Press(Qt::Key_Left), Codes{13});
  EXPECT_EQ(Press(Qt::Key_Right), Codes{14});
  EXPECT_EQ(Press(Qt::Key_Up), Codes{15});
  EXPECT_EQ(Press(Qt::Key_Down), Codes{16});
  EXPECT_EQ(Press(Qt::Key_Home), Codes{17});
  EXPECT_EQ(Press(Qt::Key_End), Codes{18});
  EXPECT_EQ(Press(Qt::Key_PageUp), Codes{19});
  EXPECT_EQ(Press(Qt::Key_PageDown), Codes{20});
  EXPECT_EQ(Press(Qt::Key_Insert), Codes{21});
  EXPECT_EQ(Press(Qt::Key_Delete), Codes{22}); // its DEL character gives no second code
  // Cursor and editing keys count with any modifiers.
  EXPECT_EQ(Press(Qt::Key_Left, Qt::ControlModifier), Codes{13});
  EXPECT_EQ(Press(Qt::Key_Delete, Qt::ShiftModifier | Qt::AltModifier), Codes{22});
}

TEST_F(MainWindowTest, FunctionKeysOnlyPlainOrWithShiftAlone) {
  EXPECT_EQ(Press(Qt::Key_F1), Codes{1});
  EXPECT_EQ(Press(Qt::Key_F2), Codes{2});
  EXPECT_EQ(Press(Qt::Key_F12), Codes{12});
  EXPECT_EQ(Press(Qt::Key_F1, Qt::ShiftModifier), Codes{28});
  EXPECT_EQ(Press(Qt::Key_F12, Qt::ShiftModifier), Codes{39});
  EXPECT_EQ(Press(Qt::Key_F1, Qt::ControlModifier), Codes{});
  EXPECT_EQ(Press(Qt::Key_F1, Qt::AltModifier), Codes{});
  EXPECT_EQ(Press(Qt::Key_F1, Qt::ShiftModifier | Qt::ControlModifier), Codes{});
  EXPECT_EQ(Press(Qt::Key_F13), Codes{});
}

TEST_F(MainWindowTest, HeldMouseButtonCountsAsModifier) {
  QTest::mousePress(Window, Qt::LeftButton, {}, QPoint(20, 20));
  const Codes whileHeld = Press(Qt::Key_F1);
  const Codes cursorWhileHeld = Press(Qt::Key_Left);
  QTest::mouseRelease(Window, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(whileHeld, Codes{});
  EXPECT_EQ(cursorWhileHeld, Codes{13});
  EXPECT_EQ(Press(Qt::Key_F1), Codes{1});
}

TEST_F(MainWindowTest, CharactersKeepTheirCodes) {
  EXPECT_EQ(Press(Qt::Key_A), Codes{'a'});
  ClearKeyQueue();
  QTest::keyClicks(Window, "A*/+-<>0");
  EXPECT_EQ(TakeKeys(), (Codes{'A', '*', '/', '+', '-', '<', '>', '0'}));
  EXPECT_EQ(Press(Qt::Key_Escape), Codes{27});
  EXPECT_EQ(Press(Qt::Key_Backspace), Codes{8});
  EXPECT_EQ(Press(Qt::Key_Tab), Codes{9});
  // Keys of a German keyboard, as the platform delivers them.
  ClearKeyQueue();
  QKeyEvent umlaut(QEvent::KeyPress, Qt::Key_Adiaeresis, Qt::NoModifier, QString::fromUtf8("ä"));
  QApplication::sendEvent(Window, &umlaut);
  QKeyEvent euro(QEvent::KeyPress, Qt::Key_E, Qt::GroupSwitchModifier, QString::fromUtf8("€"));
  QApplication::sendEvent(Window, &euro);
  EXPECT_EQ(TakeKeys(), (Codes{0xE4, 0x80})); // Windows-1252
  EXPECT_EQ(Press(Qt::Key_X, Qt::AltModifier), Codes{});
  EXPECT_EQ(Press(Qt::Key_Shift), Codes{});
}

TEST_F(MainWindowTest, CtrlLettersAreControlCodes) {
  EXPECT_EQ(Press(Qt::Key_A, Qt::ControlModifier), Codes{1});
  EXPECT_EQ(Press(Qt::Key_B, Qt::ControlModifier), Codes{2});
  EXPECT_EQ(Press(Qt::Key_Z, Qt::ControlModifier), Codes{26});
  // Not exactly Ctrl: a code like any other Ctrl letter, no end.
  EXPECT_EQ(Press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier), Codes{3});
}

TEST_F(MainWindowTest, QueueHoldsAtMost255Codes) {
  ClearKeyQueue();
  for (int i = 0; i < 256; ++i) QTest::keyClick(Window, i < 255 ? Qt::Key_A : Qt::Key_B);
  const Codes codes = TakeKeys();
  ASSERT_EQ(codes.size(), 255u);
  EXPECT_EQ(codes.back(), 'a'); // the 256th key, "b", was dropped
  PutKey(0);
  PutKey(256);
  EXPECT_FALSE(KeyPressed());
}

TEST_F(MainWindowTest, CtrlCEndsTheProgram) {
  EXPECT_EXIT(
      {
        AddExitRoutine([] { std::fputs("Ende der Erde\n", stderr); });
        QTest::keyClick(Window, Qt::Key_C, Qt::ControlModifier);
      },
      ::testing::ExitedWithCode(0), "Ende der Erde");
}

TEST_F(MainWindowTest, ClosingTheWindowEndsTheProgram) {
  EXPECT_EXIT(Window->close(), ::testing::ExitedWithCode(0), "");
}

// ---- the window ------------------------------------------------------------------------------

TEST_F(MainWindowTest, MaximisedWindowCoversTheScreen) {
  Window->ShowAndActivate();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
  EXPECT_EQ(Window->geometry(), QRect(0, 0, 1920, 1080));
  EXPECT_EQ(MaxX(), 1919);
  EXPECT_EQ(MaxY(), 1079);
  EXPECT_EQ(ScreenWidth, 1920);
  EXPECT_EQ(ScreenHeight, 1080);
  EXPECT_EQ(Window->cursor().shape(), Qt::CrossCursor);
  EXPECT_TRUE(Window->windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(MainWindowTest, WindowPresentsTheFramebuffer) {
  Window->ShowAndActivate();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
  SetFillStyle(255, Red, Red);
  FillBar(100, 100, 50, 50);
  const QImage shown = Window->grab().toImage();
  EXPECT_EQ(shown.pixel(120, 120), ColourTable[Red]);
  EXPECT_EQ(shown.pixel(MaxX(), MaxY()), WhitePixel);
}

TEST(WindowedMainWindow, IsANormalWindowWithItsOwnSize) {
  StartFensterGraf("/opt/lunotrop/Lunotrop");
  TGrundfenster window(true);
  window.ShowAndActivate();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_FALSE(window.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(MaxX(), window.width() - 1);
  EXPECT_LT(window.width(), 1920);
  window.resize(700, 500);
  (void)QTest::qWaitFor([] { return MaxX() == 699; }, 5000);
  EXPECT_EQ(MaxX(), 699);
  EXPECT_EQ(MaxY(), 499);
}

TEST_F(MainWindowTest, TimerCallsTheKeyHandlerWhileEnabled) {
  static int ticks = 0;
  ticks = 0;
  KeyHandlerSlot = [] { ++ticks; };
  Window->setWindowTitle("etwas anderes");
  (void)QTest::qWaitFor([this] { return ticks > 0 && Window->windowTitle() == "Lunotrop"; }, 5000);
  EXPECT_GT(ticks, 0);
  EXPECT_EQ(Window->windowTitle(), "Lunotrop"); // the caption is ProgramName again
  TimerHookEnabled = false;
  const int before = ticks;
  QTest::qWait(20);
  EXPECT_EQ(ticks, before);
  TimerHookEnabled = true;
  KeyHandlerSlot = NoOperation;
}

TEST_F(MainWindowTest, AnErrorInATickCostsOnlyThatTick) {
  static int ticks = 0;
  ticks = 0;
  KeyHandlerSlot = [] {
    ++ticks;
    throw std::runtime_error("kaputt");
  };
  ::testing::internal::CaptureStderr();
  (void)QTest::qWaitFor([] { return ticks > 1; }, 5000);
  const std::string messages = ::testing::internal::GetCapturedStderr();
  KeyHandlerSlot = NoOperation;
  EXPECT_GT(ticks, 1);
  EXPECT_NE(messages.find("Fehler: kaputt"), std::string::npos);
}

TEST_F(MainWindowTest, AKeyWakesTheTimerThatRestsWhileTheProgramWaits) {
  static int keySeen = 0;
  keySeen = 0;
  KeyHandlerSlot = [] {
    if (KeyPressed())
      keySeen = ReadKey();
    else
      WaitingForKey();
  };
  QTest::qWait(50); // the handler has found no key and let the timer rest
  QTest::keyClick(Window, Qt::Key_X);
  EXPECT_TRUE(QTest::qWaitFor([] { return keySeen == 'x'; }, 5000));
  KeyHandlerSlot = NoOperation;
}

TEST_F(MainWindowTest, OnlyATickThatWaitedLetsTheNextComeAtOnce) {
  // The running animation waits its delay in every tick; the tick after
  // needs no further millisecond. A tick that did not wait must never be
  // followed at once, or the program would spin; one that found no key
  // lets the timer rest.
  static bool waits = true;
  static int ticks = 0;
  waits = true;
  ticks = 0;
  KeyHandlerSlot = [] {
    ++ticks;
    if (waits) DelayMs(2);
  };
  ASSERT_TRUE(QTest::qWaitFor([] { return ticks >= 2; }, 5000));
  EXPECT_EQ(Window->TickInterval(), 0);
  waits = false;
  const int before = ticks;
  ASSERT_TRUE(QTest::qWaitFor([before] { return ticks >= before + 2; }, 5000));
  EXPECT_EQ(Window->TickInterval(), 1);
  KeyHandlerSlot = [] { WaitingForKey(); };
  EXPECT_TRUE(QTest::qWaitFor([this] { return Window->TickInterval() == 500; }, 5000));
  KeyHandlerSlot = NoOperation;
}

TEST_F(MainWindowTest, ADelayEndsEarlyOnAKeyAndLetsTheWindowWork) {
  // Ten seconds asked for; a key typed after a tenth of a second ends the
  // wait long before (the bound is loose: the suite shares two cores).
  QTimer::singleShot(100, Window, [this] { QTest::keyClick(Window, Qt::Key_X); });
  QElapsedTimer clock;
  clock.start();
  DelayMs(10000);
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(TakeKeys(), Codes{'x'});
  // Without a key the whole time passes.
  clock.restart();
  DelayMs(30);
  EXPECT_GE(clock.elapsed(), 30);
}

TEST_F(MainWindowTest, ANoticeStandsOverThePictureForItsTimeOnly) {
  SetFillStyle(255, Blue, Blue);
  FillBar(0, 0, MaxX() + 1, MaxY() + 1);
  ShowNotice("Bild gespeichert: Lunotrop00.bmp", Yellow, 300);
  EXPECT_EQ(CurrentNotice(), "Bild gespeichert: Lunotrop00.bmp");
  const QImage shown = Window->grab().toImage();
  int yellow = 0, black = 0;
  for (int y = MaxY() - 150; y < MaxY(); ++y)
    for (int x = 0; x <= MaxX(); ++x) {
      yellow += shown.pixel(x, y) == ColourTable[Yellow];
      black += shown.pixel(x, y) == ColourTable[Black];
    }
  EXPECT_GT(yellow, 100); // the text and its frame
  EXPECT_GT(black, 1000); // the box that keeps it readable on any picture
  EXPECT_EQ(GetPixel(MaxX() / 2, MaxY() - 60), ColourTable[Blue]); // not in the framebuffer
  QTest::qWait(400);
  EXPECT_EQ(CurrentNotice(), "");
  const QImage after = Window->grab().toImage();
  EXPECT_EQ(after.pixel(MaxX() / 2, MaxY() - 60), ColourTable[Blue]);
}

namespace {

// Records the regions the window presents.
struct TPresentRecorder {
  std::vector<QRegion> Painted;
};

} // namespace

TEST_F(MainWindowTest, TheWindowPresentsOnlyWhatWasDrawn) {
  Window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
  QTest::qWait(50);
  TPresentRecorder recorder;
  const QMetaObject::Connection watching =
      QObject::connect(Window, &TGrundfenster::Presented,
                       [&recorder](const QRegion& region) { recorder.Painted.push_back(region); });

  // Nothing drawn: nothing presented.
  QTest::qWait(50);
  EXPECT_TRUE(recorder.Painted.empty());

  // A short line and a text far from it: two small rectangles, not the
  // screen between them.
  DrawLine(10, 10, 60, 20, Red);
  OutTextXY(MaxX() - 100, MaxY() - 20, "Mond", Blue);
  QTest::qWait(50);
  ASSERT_EQ(recorder.Painted.size(), 1u);
  const QRegion painted = recorder.Painted[0];
  EXPECT_TRUE(painted.contains(QRect(10, 10, 51, 11)));
  EXPECT_TRUE(painted.contains(QPoint(MaxX() - 90, MaxY() - 25)));
  long long area = 0;
  for (const QRect& r : painted) area += static_cast<long long>(r.width()) * r.height();
  EXPECT_LT(area, 20000);

  // A whole screen: all of it.
  recorder.Painted.clear();
  ClearScreen();
  QTest::qWait(50);
  ASSERT_EQ(recorder.Painted.size(), 1u);
  EXPECT_TRUE(recorder.Painted[0].contains(QRect(0, 0, MaxX() + 1, MaxY() + 1)));
  QObject::disconnect(watching);
}

namespace {

// A rectangle widened to whole bands of `grain` rows as the present does:
// the top down, the bottom up but not past the screen.
QRect WidenedToBands(const TRect& r, int grain, int height) {
  const int top = r.Top >= 0 ? r.Top / grain * grain : -((-r.Top + grain - 1) / grain * grain);
  const int bottom = std::max(r.Bottom, std::min((r.Bottom + grain - 1) / grain * grain, height));
  return QRect(r.Left, top, r.Right - r.Left, bottom - top);
}

} // namespace

TEST(PresentRegion, IsTheUnionOfTheRectanglesWidenedToBands) {
  // Random heaps of rectangles on a small screen whose height is no whole
  // number of bands: overlapping, touching, empty, at the edges. The region
  // must hold exactly the pixels of the widened rectangles, each once, and
  // behave as a region built by Qt itself when Qt combines it further.
  constexpr int Width = 200, Height = 123, Grain = 8;
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> x(0, Width), y(0, Height), size(0, 40), count(0, 300);
  for (int round = 0; round < 40; ++round) {
    std::vector<TRect> rects;
    QRegion expected;
    const int n = count(random);
    for (int i = 0; i < n; ++i) {
      const int left = x(random), top = y(random);
      const TRect r{left, top, std::min(left + size(random), Width),
                    std::min(top + size(random) / 4, Height)};
      rects.push_back(r);
      if (!RectIsEmpty(r)) expected += WidenedToBands(r, Grain, Height);
    }
    const QRegion region = PresentRegion(rects, Grain, Height);
    EXPECT_TRUE(region.xored(expected).isEmpty()) << "round " << round;
    long long area = 0;
    for (const QRect& r : region) area += static_cast<long long>(r.width()) * r.height();
    long long pixels = 0;
    for (int py = 0; py < Height; ++py)
      for (int px = 0; px < Width; ++px) {
        const bool in = expected.contains(QPoint(px, py));
        pixels += in;
        ASSERT_EQ(region.contains(QPoint(px, py)), in) << round << ": " << px << "," << py;
      }
    EXPECT_EQ(area, pixels) << "round " << round << ": rectangles overlap";
    const QRect more(x(random), y(random), 30, 20);
    EXPECT_TRUE(region.united(more).xored(expected.united(more)).isEmpty()) << round;
    EXPECT_TRUE(region.subtracted(more).xored(expected.subtracted(more)).isEmpty()) << round;
  }
}

TEST(PresentRegion, NothingDrawnPresentsNothing) {
  EXPECT_TRUE(PresentRegion({}, 8, 100).isEmpty());
  EXPECT_TRUE(PresentRegion({TRect{5, 5, 5, 20}, TRect{0, 7, 30, 7}}, 8, 100).isEmpty());
}

TEST_F(MainWindowTest, WaitForEnterConsumesKeysUpToEnter) {
  QTimer::singleShot(10, Window, [this] {
    QTest::keyClick(Window, Qt::Key_X);
    QTest::keyClick(Window, Qt::Key_Return);
  });
  WaitForEnter();
  EXPECT_FALSE(KeyPressed());
}

TEST(WaitForEnterHeadless, ReturnsAtOnceWithoutAWindow) {
  ASSERT_FALSE(HaveMainWindow());
  WaitForEnter();
  SUCCEED();
}

// ---- text screen ------------------------------------------------------------------------------

class TextScreenTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(Folder.isValid());
    QFile file(Folder.filePath("HILFE.TXT"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Erste Zeile\r\nZweite Zeile mit \xE4\r\nDritte\r\n\x1A"
               "nach dem Dateiende\r\n");
    file.close();
    SetFillStyle(255, Black, Black);
    FillBar(0, 0, MaxX() + 1, MaxY() + 1);
  }
  QTemporaryDir Folder;
};

TEST_F(TextScreenTest, ShowsTheFileOnAWholeWhiteScreen) {
  SetFont("MS Sans Serif", 12, 1);
  const int top = 40;
  SetTextCursor(CharWidth, top);
  ShowTextFile(Folder.filePath("hilfe.txt").toStdString(), 10); // any case
  EXPECT_TRUE(TextScreenShown);
  EXPECT_EQ(GetPixel(MaxX(), MaxY()), WhitePixel);
  EXPECT_EQ(GetPixel(MaxX() / 2, MaxY() / 2), WhitePixel);
  // An empty line first, then three lines; the Ctrl+Z ends the text.
  SetFont("Courier", 10, 1);
  const int lineHeight = CharHeight;
  EXPECT_EQ(TextCursorY, top + 4 * lineHeight);
  // The lines stand on the cursor rows (bottom-aligned): ink above the
  // fourth row, none below it where the text after the Ctrl+Z would be.
  int inkInText = 0, inkAfter = 0;
  for (int x = 0; x < 300; ++x) {
    for (int y = top; y < top + 3 * lineHeight; ++y)
      if (GetPixel(x, y) != WhitePixel) ++inkInText;
    for (int y = top + 3 * lineHeight; y < top + 4 * lineHeight; ++y)
      if (GetPixel(x, y) != WhitePixel) ++inkAfter;
  }
  EXPECT_GT(inkInText, 100);
  EXPECT_EQ(inkAfter, 0);
}

TEST_F(TextScreenTest, RestoresTheFontAfterwards) {
  SetFont("MS Sans Serif", 12, 1);
  ShowTextFile(Folder.filePath("HILFE.TXT").toStdString(), 14);
  EXPECT_EQ(CurrentFontName(), "MS Sans Serif");
  EXPECT_EQ(CurrentFontSize(), 12);
  EXPECT_TRUE(CurrentFontBold());
}

TEST_F(TextScreenTest, MissingFileShowsNothing) {
  ShowTextFile(Folder.filePath("fehlt.txt").toStdString(), 10);
  ShowTextFile("", 10);
  EXPECT_FALSE(TextScreenShown);
  EXPECT_EQ(GetPixel(10, 10), ColourTable[Black]);
}

TEST_F(TextScreenTest, CharacterKeyClearsTheTextScreenSpecialKeyDoesNot) {
  ShowTextFile(Folder.filePath("HILFE.TXT").toStdString(), 10);
  ASSERT_TRUE(TextScreenShown);
  EXPECT_EQ(Press(Qt::Key_F1), Codes{1});
  EXPECT_TRUE(TextScreenShown);
  SetFillStyle(255, Red, Red);
  FillBar(0, 0, 50, 50);
  EXPECT_EQ(Press(Qt::Key_Q), Codes{'q'});
  EXPECT_FALSE(TextScreenShown);
  EXPECT_EQ(GetPixel(10, 10), WhitePixel);
}

TEST_F(TextScreenTest, MouseClickClearsOnlyATextScreen) {
  QTest::mouseClick(Window, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_EQ(GetPixel(10, 10), ColourTable[Black]); // no text screen: nothing happens
  ShowTextFile(Folder.filePath("HILFE.TXT").toStdString(), 10);
  SetFillStyle(255, Red, Red);
  FillBar(0, 0, 50, 50);
  QTest::mouseClick(Window, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_FALSE(TextScreenShown);
  EXPECT_EQ(GetPixel(10, 10), WhitePixel);
  EXPECT_FALSE(KeyPressed());
}

// ---- bitmap files --------------------------------------------------------------------------

class PictureFileTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(Folder.isValid());
    SetFillStyle(255, Yellow, Yellow);
    FillBar(10, 20, 100, 50);
    PutPixel(10, 20, Blue);
    PutPixel(109, 69, Red);
  }
  std::string PathOf(const char* name) { return Folder.filePath(name).toStdString(); }
  QTemporaryDir Folder;
};

TEST_F(PictureFileTest, SavedPictureIsA24BitBmpWithTheScreenPixels) {
  ASSERT_TRUE(SavePicture(PathOf("Lunotrop00.bmp"), 10, 20, 109, 69).Ok);
  QFile file(Folder.filePath("Lunotrop00.bmp"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  ASSERT_GT(bytes.size(), 54);
  EXPECT_EQ(bytes.left(2), QByteArray("BM"));
  EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24); // bits per pixel
  EXPECT_EQ(static_cast<unsigned char>(bytes[30]), 0);  // uncompressed
  const QImage saved(Folder.filePath("Lunotrop00.bmp"));
  ASSERT_EQ(saved.size(), QSize(100, 50));
  EXPECT_EQ(saved.pixel(0, 0), ColourTable[Blue]);
  EXPECT_EQ(saved.pixel(99, 49), ColourTable[Red]);
  EXPECT_EQ(saved.pixel(50, 25), ColourTable[Yellow]);
}

TEST_F(PictureFileTest, SavingReplacesAFileOfTheSameNameInAnyCase) {
  QFile old(Folder.filePath("BILD.BMP"));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("alt");
  old.close();
  ASSERT_TRUE(SavePicture(PathOf("bild.bmp"), 10, 20, 19, 29).Ok);
  EXPECT_EQ(QDir(Folder.path()).entryList(QDir::Files), QStringList{"BILD.BMP"});
  EXPECT_EQ(QImage(Folder.filePath("BILD.BMP")).size(), QSize(10, 10));
}

TEST_F(PictureFileTest, FailedSaveSaysWhy) {
  QFile blocker(Folder.filePath("keinordner"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  const TFileResult noFolder = SavePicture(PathOf("keinordner/Lunotrop00.bmp"), 0, 0, 99, 99);
  EXPECT_FALSE(noFolder.Ok);
  EXPECT_EQ(noFolder.Reason, "den Ordner gibt es nicht");
  EXPECT_NE(noFolder.Message.find("Das Bild \"" + PathOf("keinordner/Lunotrop00.bmp") +
                                  "\" kann nicht geschrieben werden"),
            std::string::npos);
  const TFileResult empty = SavePicture(PathOf("leer.bmp"), 10, 10, 5, 5); // no rectangle
  EXPECT_FALSE(empty.Ok);
  EXPECT_EQ(empty.Reason, "der Bildausschnitt ist leer");
  EXPECT_FALSE(QFile::exists(Folder.filePath("leer.bmp")));
}

TEST_F(PictureFileTest, PngNameGivesAPng) {
  ASSERT_TRUE(SavePicture(PathOf("bild.PNG"), 10, 20, 109, 69).Ok);
  QFile file(Folder.filePath("bild.PNG"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.read(8), QByteArray("\x89PNG\r\n\x1a\n"));
  const QImage saved(Folder.filePath("bild.PNG"));
  ASSERT_EQ(saved.size(), QSize(100, 50));
  EXPECT_EQ(saved.pixel(0, 0), ColourTable[Blue]);
}

TEST_F(PictureFileTest, FailedWriteLeavesTheOldFileIntact) {
  QFile old(Folder.filePath("Lunotrop01.bmp"));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("das alte Bild");
  old.close();
  // A file size limit makes the write fail even for root, who may write
  // into read-only folders.
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &small);
  const TFileResult written = SavePicture(PathOf("Lunotrop01.bmp"), 0, 0, 199, 199);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written.Ok);
  EXPECT_EQ(written.Reason, "die Datei wird zu groß");
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), QByteArray("das alte Bild"));
  EXPECT_EQ(QDir(Folder.path()).entryList(QDir::Files), QStringList{"Lunotrop01.bmp"});
}

TEST_F(PictureFileTest, BitmapFileIsDrawnAtItsPlace) {
  ASSERT_TRUE(SavePicture(PathOf("bild.bmp"), 10, 20, 109, 69).Ok);
  ClearScreen();
  int width = 0, height = 0;
  ASSERT_TRUE(ShowBitmapFile(PathOf("BILD.bmp"), 300, 400, width, height));
  EXPECT_EQ(width, 100);
  EXPECT_EQ(height, 50);
  EXPECT_EQ(GetPixel(300, 400), ColourTable[Blue]);
  EXPECT_EQ(GetPixel(399, 449), ColourTable[Red]);
  EXPECT_EQ(GetPixel(400, 450), WhitePixel);
  EXPECT_FALSE(ShowBitmapFile(PathOf("fehlt.bmp"), 0, 0, width, height));
  // A file that is no picture draws nothing and leaves the size alone.
  QFile text(Folder.filePath("kein.bmp"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("kein Bild");
  text.close();
  EXPECT_FALSE(ShowBitmapFile(PathOf("kein.bmp"), 0, 0, width, height));
  EXPECT_EQ(width, 100);
}

TEST_F(PictureFileTest, TheProgramsOwnPictureIsCentred) {
  ASSERT_TRUE(SavePicture(PathOf("Lunotrop.bmp"), 10, 20, 109, 69).Ok);
  ClearScreen();
  PictureFileName = PathOf("Lunotrop.bmp");
  int width = 0, height = 0;
  ASSERT_TRUE(ShowBitmapFile(PictureFileName, 0, 0, width, height));
  const int left = (MaxX() - 100) / 2, top = (MaxY() - 50) / 2;
  EXPECT_EQ(GetPixel(left, top), ColourTable[Blue]);
  EXPECT_EQ(GetPixel(left + 99, top + 49), ColourTable[Red]);
}

// ---- the end --------------------------------------------------------------------------------

TEST(EndProgram, RunsTheExitRoutinesLastFirstThenTheHandler) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        AddExitRoutine([] { std::fputs("eins\n", stderr); });
        AddExitRoutine([] { std::fputs("zwei\n", stderr); });
        SetEndProgramHandler([](int status) {
          std::fprintf(stderr, "Handler %d\n", status);
          std::_Exit(status);
        });
        EndProgram(7);
      },
      ::testing::ExitedWithCode(7), "zwei.*eins.*Handler 7");
}

TEST(EndProgram, EndsWithTheStatusWithoutAHandler) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(EndProgram(3), ::testing::ExitedWithCode(3), "");
}
