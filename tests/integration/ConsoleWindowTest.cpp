// The console's main window on a real X server without a window manager:
// console_demo must cover the whole 1920x1080 screen, receive keys typed with
// xdotool (also after its input dialog has closed), take an answer typed
// into the dialog, and end on Ctrl+C. The test starts and stops its own Xvfb.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "XServer.h"

namespace {

const QRgb LightBlue = qRgb(0, 0, 252); // the demo's frame
const QRgb Green = qRgb(0, 160, 0);     // a box whose key arrived
const QRgb Grey = qRgb(196, 196, 196);  // a box still waiting

class ConsoleWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
      GTEST_SKIP() << "Xvfb ist nicht installiert";
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty());
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("import")).isEmpty());
    ASSERT_TRUE(Folder.isValid());
    ASSERT_TRUE(X.Start()) << "kein freies Display für Xvfb";
    Environment = QProcessEnvironment::systemEnvironment();
    Environment.insert(QStringLiteral("DISPLAY"), X.Display);
    Environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  }

  void TearDown() override {
    if (Demo.state() != QProcess::NotRunning) {
      Demo.kill();
      Demo.waitForFinished(5000);
    }
  }

  // Runs a helper program to its end; its exit code, or -1 if it hung.
  int Run(const QString& program, const QStringList& arguments, int timeoutMs = 20000) {
    QProcess process;
    process.setProcessEnvironment(Environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
      process.kill();
      process.waitForFinished(5000);
      return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }

  int Keys(const QStringList& keys) {
    return Run("xdotool", QStringList{"key", "--delay", "40"} + keys);
  }

  QImage Screenshot() {
    const QString file = Folder.filePath(QStringLiteral("bildschirm.png"));
    QFile::remove(file);
    if (Run("import", {"-window", "root", "png:" + file}) != 0) return {};
    return QImage(file);
  }

  // Screenshots until the boxes show the expected colours (or 15 s pass).
  QImage WaitForBoxes(const std::vector<std::pair<int, QRgb>>& boxes) {
    QElapsedTimer clock;
    clock.start();
    QImage shot;
    while (clock.elapsed() < 15000) {
      shot = Screenshot();
      bool all = !shot.isNull();
      for (const auto& [box, colour] : boxes) all = all && shot.pixel(BoxCentre(box)) == colour;
      if (all) break;
      QThread::msleep(100);
    }
    return shot;
  }

  static QPoint BoxCentre(int box) { return QPoint(120 + 60 * box, 120); }

  TXServer X;
  QTemporaryDir Folder;
  QProcessEnvironment Environment;
  QProcess Demo;
};

} // namespace

TEST_F(ConsoleWindowTest, CoversTheScreenTakesKeysAndEndsOnCtrlC) {
  Demo.setProcessEnvironment(Environment);
  Demo.setProcessChannelMode(QProcess::ForwardedChannels);
  Demo.start(QStringLiteral(CONSOLE_DEMO), {});
  ASSERT_TRUE(Demo.waitForStarted(10000));
  ASSERT_EQ(Run("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^console_demo$"}), 0);

  // Enter, cursor left, Ctrl+A and Shift+F1 arrive as their codes.
  ASSERT_EQ(Keys({"Return", "Left", "ctrl+a", "shift+F1"}), 0);
  QImage shot = WaitForBoxes({{0, Green}, {1, Green}, {2, Green}, {3, Green}});
  ASSERT_EQ(shot.size(), QSize(1920, 1080));
  for (int box = 0; box < 4; ++box) EXPECT_EQ(shot.pixel(BoxCentre(box)), Green) << box;

  // The window reaches all four corners of the screen.
  for (const QPoint corner : {QPoint(0, 0), QPoint(1919, 0), QPoint(0, 1079), QPoint(1919, 1079)})
    EXPECT_EQ(shot.pixel(corner), LightBlue) << corner.x() << "," << corner.y();
  EXPECT_EQ(shot.pixel(960, 600), qRgb(255, 255, 255));

  // "i" opens the dialog; the answer is typed there, and afterwards the main
  // window has the keyboard again.
  ASSERT_EQ(Keys({"i"}), 0);
  ASSERT_EQ(Run("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^Eingabe$"}), 0);
  ASSERT_EQ(Run("xdotool", {"type", "--delay", "40", "54,3"}), 0);
  ASSERT_EQ(Keys({"Return"}), 0);
  shot = WaitForBoxes({{4, Green}});
  EXPECT_EQ(shot.pixel(BoxCentre(4)), Green);
  ASSERT_EQ(Keys({"Return"}), 0);
  shot = WaitForBoxes({{5, Green}});
  EXPECT_EQ(shot.pixel(BoxCentre(5)), Green);
  EXPECT_EQ(shot.pixel(BoxCentre(6)), Grey);       // no stray key code
  shot.save(QStringLiteral("console_window.png")); // kept in the test's folder to look at

  // Ctrl+C ends the program.
  ASSERT_EQ(Keys({"ctrl+c"}), 0);
  ASSERT_TRUE(Demo.waitForFinished(10000));
  EXPECT_EQ(Demo.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(Demo.exitCode(), 0);
}
