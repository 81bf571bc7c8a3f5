// The built program on a real X server without a window manager, used as a
// person uses it: answer the questions in the input dialog, press keys in
// the main window, save pictures with "s" and end with Ctrl+C. The saved
// pictures are checked at the places the views' own state gives for the
// typed instant (the same start is done in the test process). Each test
// starts and stops its own Xvfb, of the screen size it needs.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <fstream>
#include <iostream>
#include <sstream>

#include "Dateien.h"
#include "Render.h"
#include "ViewGeometry.h"
#include "ViewPlaces.h"
#include "XServer.h"

namespace {

constexpr int Patience = 60000; // ms, for anything the program has to do

// The outside view's panel right of the square picture (of side MaxY): the
// date and clock lines at its top, and the part below the perspective's
// label (at y = 200), where nothing but the key list of F1 is white.
QRect PanelClock() {
  return QRect(MaxY() + 1, 10, MaxX() - MaxY(), 80);
}
QRect PanelBelowLabels() {
  return QRect(MaxY() + 1, 230, MaxX() - MaxY(), MaxY() - 260);
}

class ProgramWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* tool : {"Xvfb", "xdotool", "import"})
      if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " fehlt";
    ASSERT_TRUE(Folder.isValid());
    for (const char* name : {"ERDE_0.BIN", "Lunotrop.txt"})
      ASSERT_TRUE(QFile::copy(QString(LUNOTROP_SOURCE_DIR "/data/") + name, Folder.filePath(name)));
    ASSERT_TRUE(X.Start(Screen.width(), Screen.height())) << "kein freies Display für Xvfb";
    Environment = QProcessEnvironment::systemEnvironment();
    Environment.insert("DISPLAY", X.Display);
    Environment.insert("QT_QPA_PLATFORM", "xcb");
    SetDataFolders(LUNOTROP_SOURCE_DIR "/data");
  }

  void TearDown() override {
    if (Program.state() == QProcess::NotRunning) return;
    Program.kill();
    Program.waitForFinished(5000);
  }

  // Runs a helper program to its end: its exit code (-1 if it hung) and output.
  int Run(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessEnvironment(Environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForFinished(Patience)) {
      process.kill();
      process.waitForFinished(5000);
      return -1;
    }
    if (output != nullptr) *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }

  void StartProgram(const QStringList& arguments) {
    Program.setProcessEnvironment(Environment);
    Program.setWorkingDirectory(Folder.path());
    Program.setProcessChannelMode(QProcess::ForwardedChannels);
    Program.start(LUNOTROP_BINARY, arguments);
    ASSERT_TRUE(Program.waitForStarted(Patience));
  }

  // The id of the visible window with that title, once there is one.
  QString WaitForWindow(const QString& title) {
    QString ids;
    if (Run("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^" + title + "$"}, &ids) !=
        0)
      return {};
    return ids.split('\n', Qt::SkipEmptyParts).value(0);
  }

  bool WaitFor(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < Patience) {
      if (condition()) return true;
      QThread::msleep(20);
    }
    return false;
  }

  bool WaitForFocus(const QString& window) {
    return WaitFor([&] {
      QString focus;
      return Run("xdotool", {"getwindowfocus"}, &focus) == 0 && focus.trimmed() == window;
    });
  }

  // The input dialog if it is shown and has the keyboard focus, else "".
  QString FocusedDialog() {
    QString dialogs, focus;
    if (Run("xdotool", {"search", "--onlyvisible", "--name", "^Eingabe$"}, &dialogs) != 0)
      return {};
    if (Run("xdotool", {"getwindowfocus"}, &focus) != 0) return {};
    focus = focus.trimmed();
    return dialogs.split('\n', Qt::SkipEmptyParts).contains(focus) ? focus : QString();
  }

  // Answers the questions one after another; an empty answer takes the
  // default. Qt makes a new X window each time it shows the dialog, so the
  // next question is there when a dialog other than the last one answered
  // has the focus.
  void Answer(const QStringList& answers) {
    QString answered;
    for (int k = 0; k < answers.size(); ++k) {
      SCOPED_TRACE(k);
      QString dialog;
      ASSERT_TRUE(WaitFor([&] {
        dialog = FocusedDialog();
        return !dialog.isEmpty() && dialog != answered;
      }));
      if (!answers[k].isEmpty()) {
        ASSERT_EQ(Run("xdotool", {"type", "--delay", "30", answers[k]}), 0);
      }
      ASSERT_EQ(Run("xdotool", {"key", "Return"}), 0);
      answered = dialog;
    }
  }

  int Keys(const QStringList& keys) {
    return Run("xdotool", QStringList{"key", "--delay", "40"} + keys);
  }

  // A picture the program saved, once it is there whole (it is written
  // under another name and renamed).
  QImage WaitForPicture(const QString& name) {
    QImage picture;
    WaitFor([&] {
      return QFile::exists(Folder.filePath(name)) && picture.load(Folder.filePath(name));
    });
    return picture;
  }

  QImage Screenshot() {
    const QString file = Folder.filePath("bildschirm.png");
    QFile::remove(file);
    if (Run("import", {"-window", "root", "png:" + file}) != 0) return {};
    return QImage(file);
  }

  // Kiel at noon on 21 June 2024, steps of 5 minutes.
  QString WriteParameters(const std::string& view, int delay = 30) {
    const QString file = Folder.filePath("vergleich.dat");
    std::ofstream(file.toStdString(), std::ios::binary)
        << view << "\r\n54.3\r\n10.1\r\n21.6.2024\r\n12.00\r\n0.05\r\n"
        << delay << "\r\n0\r\n30\r\nn\r\nn\r\nj\r\n";
    return file;
  }

  // The same start in the test process, on a screen of the same size: its
  // views' state tells where things are in the program's window.
  void StartHere(const QString& parameterFile) {
    TRenderOptions options;
    options.ParameterFile = parameterFile.toStdString();
    options.Width = Screen.width();
    options.Height = Screen.height();
    std::ostringstream err;
    ASSERT_EQ(StartHeadlessRun(options, err), 0) << err.str();
  }

  QSize Screen{1920, 1080}; // of the Xvfb, set before SetUp
  TXServer X;
  QTemporaryDir Folder;
  QProcessEnvironment Environment;
  QProcess Program;
};

// The same on screens of other sizes.
class ProgramWindowOnScreen : public ProgramWindowTest,
                              public ::testing::WithParamInterface<QSize> {
protected:
  void SetUp() override {
    Screen = GetParam();
    ProgramWindowTest::SetUp();
  }
};

std::string ScreenName(const ::testing::TestParamInfo<QSize>& info) {
  return std::to_string(info.param.width()) + "x" + std::to_string(info.param.height());
}

} // namespace

// A screen size in test names and failures as "1024x768".
void PrintTo(const QSize& size, std::ostream* out) {
  *out << size.width() << "x" << size.height();
}

INSTANTIATE_TEST_SUITE_P(Screens, ProgramWindowOnScreen,
                         ::testing::Values(QSize(1920, 1080), QSize(1024, 768)), ScreenName);

TEST_P(ProgramWindowOnScreen, QuestionsKeysPicturesAndCtrlC) {
  StartProgram({});
  // The place as offered, a summer noon, and the offered step and delay;
  // then the inside view's questions as offered.
  Answer({"", "", "21", "6", "2024", "12.00", "", "", "", "", "", ""});
  if (HasFatalFailure()) return;
  const QString window = WaitForWindow("lunotrop");
  ASSERT_FALSE(window.isEmpty());
  ASSERT_TRUE(WaitForFocus(window));

  StartHere(WriteParameters("p"));
  if (HasFatalFailure()) return;
  const QSize screen(MaxX() + 1, MaxY() + 1);
  ASSERT_EQ(screen, Screen);

  // The inside view at noon: day sky, the Sun where the views put it.
  ASSERT_EQ(Keys({"s"}), 0);
  const QImage inside = WaitForPicture("Lunotrop00.bmp");
  const int top = View.TitleBase - 50;
  ASSERT_EQ(inside.size(), QSize(screen.width(), screen.height() - top));
  EXPECT_EQ(MostColour(inside, SkyPlace() - QPoint(0, top)), LightBlue);
  EXPECT_EQ(MostColour(inside, SkyPixelX(View.SunSky), SkyPixelY(View.SunSky) - top, 3), Yellow);

  // "d": the outside view of the same instant.
  ASSERT_EQ(Keys({"d", "s"}), 0);
  HeadlessTick('d');
  const QImage outside = WaitForPicture("Lunotrop01.bmp");
  ASSERT_EQ(outside.size(), screen);
  ExpectEarthAndMoon(outside);

  // "e": the animation runs on its own, the clock in the panel right of the
  // square picture changes; "e" again holds it.
  const QRect clock = PanelClock();
  ASSERT_EQ(Keys({"e"}), 0);
  EXPECT_TRUE(WaitFor([&] { return Screenshot().copy(clock) != outside.copy(clock); }));
  ASSERT_EQ(Keys({"e"}), 0);

  // F1: the key list in the panel; the next key takes it away.
  ASSERT_EQ(Keys({"F1"}), 0);
  const QRect longLines = PanelBelowLabels();
  EXPECT_TRUE(WaitFor([&] { return CountColour(Screenshot(), longLines, White) > 50; }));
  ASSERT_EQ(Keys({"x"}), 0);
  EXPECT_TRUE(WaitFor([&] { return CountColour(Screenshot(), longLines, White) == 0; }));

  ASSERT_EQ(Keys({"ctrl+c"}), 0);
  ASSERT_TRUE(Program.waitForFinished(Patience));
  EXPECT_EQ(Program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(Program.exitCode(), 0);
}

// The longest delay, 10 000 ms: the program still answers keys and Ctrl+C
// at once, as the wait lets the window take its events every 5 ms and a key
// ends it. The times from sending a key to its effect are printed.
TEST_F(ProgramWindowTest, KeysAndCtrlCAnsweredAtOnceDuringALongDelay) {
  const QString file = WriteParameters("p", 10000);
  StartHere(file);
  if (HasFatalFailure()) return;
  StartProgram({file}); // drawn at once from the file, in single-step mode
  const QString window = WaitForWindow("lunotrop");
  ASSERT_FALSE(window.isEmpty());
  ASSERT_TRUE(WaitForFocus(window));
  const QPoint sky = SkyPlace();
  ASSERT_TRUE(WaitFor([&] { return MostColour(Screenshot(), sky) == LightBlue; }));

  // "e" ends the wait before the first step, which draws the Sun; the tick
  // that then reads "e" runs the animation on, with 10 s before each step.
  ASSERT_EQ(Keys({"e"}), 0);
  const QPoint sun(SkyPixelX(View.SunSky), SkyPixelY(View.SunSky));
  ASSERT_TRUE(WaitFor([&] { return MostColour(Screenshot(), sun, 3) == Yellow; }));
  QThread::msleep(500);

  // "d" ends the wait and is answered at once: the inside view is left (the
  // outside view is drawn by the step after the next wait).
  QElapsedTimer clock;
  clock.start();
  ASSERT_EQ(Keys({"d"}), 0);
  ASSERT_TRUE(WaitFor([&] { return MostColour(Screenshot(), sky) == Black; }));
  const qint64 viewLeft = clock.elapsed();

  // "s" ends that wait as well: the step draws the outside view, and the
  // picture saved right after it shows Earth and Moon where the views put
  // them.
  HeadlessTick('d');
  clock.restart();
  ASSERT_EQ(Keys({"s"}), 0);
  const QImage outside = WaitForPicture("Lunotrop00.bmp");
  const qint64 saved = clock.elapsed();
  ASSERT_EQ(outside.size(), Screen);
  ExpectEarthAndMoon(outside);

  // Without a key the next step waits its 10 s: a second later the panel
  // still shows the same time, and the status line stands under the
  // picture meanwhile (it used to be erased for the whole wait).
  const QImage panel = Screenshot().copy(PanelClock());
  QThread::msleep(1000);
  const QImage waiting = Screenshot();
  EXPECT_EQ(waiting.copy(PanelClock()), panel);
  int statusPixels = 0;
  for (int y = MaxY() - 30; y <= MaxY(); ++y)
    for (int x = 0; x < 300; ++x) statusPixels += waiting.pixel(x, y) != qRgb(0, 0, 0);
  EXPECT_GT(statusPixels, 100);

  clock.restart();
  ASSERT_EQ(Keys({"ctrl+c"}), 0);
  ASSERT_TRUE(Program.waitForFinished(Patience));
  const qint64 ended = clock.elapsed();
  EXPECT_EQ(Program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(Program.exitCode(), 0);

  std::cout << "Verzögerung 10000 ms: \"d\" verlässt die Ansicht nach " << viewLeft
            << " ms, \"s\" speichert die Ansicht von außen nach " << saved
            << " ms, Strg+C beendet das Programm nach " << ended << " ms.\n";
  RecordProperty("ViewLeftMs", static_cast<int>(viewLeft));
  RecordProperty("SavedMs", static_cast<int>(saved));
  RecordProperty("CtrlCExitMs", static_cast<int>(ended));
  // Each used to wait for the rest of the delay, up to 10 s.
  EXPECT_LT(viewLeft, 2000);
  EXPECT_LT(saved, 2000);
  EXPECT_LT(ended, 2000);
}

TEST_F(ProgramWindowTest, WindowOptionOpensAWindowSmallerThanTheScreen) {
  StartProgram({"--window"});
  const QString window = WaitForWindow("lunotrop");
  ASSERT_FALSE(window.isEmpty());
  QString geometry;
  ASSERT_EQ(Run("xdotool", {"getwindowgeometry", window}, &geometry), 0);
  // "Geometry: 1024x768"
  const QStringList size =
      geometry.section("Geometry:", 1).trimmed().section('\n', 0, 0).split('x');
  ASSERT_EQ(size.size(), 2) << geometry.toStdString();
  EXPECT_LT(size[0].toInt(), 1920);
  EXPECT_LT(size[1].toInt(), 1080);
  EXPECT_GT(size[0].toInt(), 300);

  // Esc in the input dialog ends the program.
  ASSERT_TRUE(WaitFor([&] { return !FocusedDialog().isEmpty(); }));
  ASSERT_EQ(Keys({"Escape"}), 0);
  ASSERT_TRUE(Program.waitForFinished(Patience));
  EXPECT_EQ(Program.exitCode(), 0);
}
