// The whole program in the test process: built as the program start builds
// it (main window, input dialog, console, the main routine and the key
// handler in their slots), run by the window's own 1 ms timer, answered by a
// dialog driver and typed at like a user. Each test gets a fresh program
// state and a working folder of its own with copies of the data files.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "Animation.h"
#include "Dateien.h"
#include "DialogDriver.h"
#include "Eingabe.h"
#include "FensterGraf.h"
#include "Grundfenster.h"
#include "InsideView.h"
#include "KernGraf.h"
#include "KernGrafQt.h"
#include "KeyCommands.h"
#include "Labels.h"
#include "Lunotrop.h"
#include "Parameter.h"
#include "ViewPlaces.h"
#include "ViewState.h"

namespace fs = std::filesystem;

// Generous: the suite runs beside others on two cores, and under the sanitizers.
constexpr int Patience = 60000; // ms

// Ticks of the main window's timer that reached the key handler.
inline int Ticks = 0;
inline void CountingKeyHandler() {
  ++Ticks;
  KeyCommandHandler();
}

inline int MostColour(int x, int y, int half = 4) {
  return MostColour(ScreenImage(), x, y, half);
}
inline int MostColour(const QPoint& p, int half = 4) {
  return MostColour(ScreenImage(), p, half);
}
inline int CountColour(const QRect& area, int colour) {
  return CountColour(ScreenImage(), area, colour);
}

inline std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The answers for the outside view's questions; the inside view adds four.
inline std::vector<QString> PlaceAndTime(const QString& latitude, const QString& day,
                                         const QString& month, const QString& year,
                                         const QString& time, const QString& step,
                                         const QString& delay) {
  return {latitude, "<Enter>", day, month, year, time, step, delay};
}
inline std::vector<QString> WithInsideQuestions(std::vector<QString> answers) {
  for (int i = 0; i < 4; ++i) answers.push_back("<Enter>");
  return answers;
}

// The offscreen platform cannot raise a window and says so at every start;
// everything else Qt says is passed on.
inline void QuietRaiseWarning() {
  static QtMessageHandler passOn = nullptr;
  static bool installed = false;
  if (installed) return;
  installed = true;
  passOn = qInstallMessageHandler(
      [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (message.contains("does not support raise()")) return;
        if (passOn != nullptr) passOn(type, context, message);
      });
}

class ProgramTest : public ::testing::Test {
protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QuietRaiseWarning();
    static int number = 0;
    Folder = fs::temp_directory_path() /
             ("lunotrop-program-" + std::to_string(::getpid()) + "-" + std::to_string(++number));
    fs::create_directories(Folder);
    Previous = fs::current_path();
    fs::current_path(Folder);
    // Only the working folder counts, as for a program started in it.
    SetDataFolders("");
    CopyData("ERDE_0.BIN");
    CopyData("Lunotrop.txt");
    ResetProgram();
  }

  void TearDown() override {
    StopProgram();
    fs::current_path(Previous);
    std::error_code ignored;
    fs::remove_all(Folder, ignored);
  }

  static void CopyData(const std::string& name) {
    fs::copy_file(fs::path(LUNOTROP_SOURCE_DIR "/data") / name, name,
                  fs::copy_options::overwrite_existing);
  }

  // The program's state as at its start.
  void ResetProgram() {
    StartFensterGraf((Folder / "lunotrop").string());
    Param = TParameters();
    Flags = TControlFlags();
    View = TViewState();
    ForgetBackgroundPictures();
    SkipDelay = false;
    Ticks = 0;
  }

  // The program start: window, dialog, console, slots; the timer then runs
  // the main routine. parameterFile as the command line's first argument.
  // The screen as it stands when the first question comes up; waits until
  // the run with these answers has started.
  QImage StartScreenBehindTheFirstDialog(std::vector<QString> answers) {
    QImage behindDialog;
    Start(std::move(answers));
    Driver->OnDialog = [&behindDialog](TEingabeDialog&) {
      if (behindDialog.isNull()) behindDialog = ScreenImage().copy();
    };
    if (!QTest::qWaitFor([] { return RunStarted; }, Patience)) return {};
    return behindDialog;
  }

  void Start(std::vector<QString> answers, const std::string& parameterFile = "") {
    Flags.StartedWithFile = !parameterFile.empty();
    Flags.ParameterFileName = parameterFile;
    Driver = std::make_unique<TDialogDriver>(std::move(answers));
    Window = new TGrundfenster(false);
    new TEingabeDialog(Window);
    StartConsole(false, false, 0, 10, "Courier");
    MainRoutineSlot = MainRoutine;
    KeyHandlerSlot = CountingKeyHandler;
    Window->ShowAndActivate();
  }

  void StartAndWait(std::vector<QString> answers, const std::string& parameterFile = "") {
    Start(std::move(answers), parameterFile);
    ASSERT_TRUE(QTest::qWaitFor([] { return RunStarted; }, Patience));
  }

  void StopProgram() {
    KeyHandlerSlot = NoOperation;
    MainRoutineSlot = NoOperation;
    delete Window;
    Window = nullptr;
    Driver.reset();
  }

  // A key typed in the main window; returns once the program has taken it
  // (a key only leaves the queue inside a tick, and the tick is over when
  // the wait looks again).
  bool Press(char key) {
    QTest::keyClick(Window, key);
    return QTest::qWaitFor([] { return !KeyPressed(); }, Patience);
  }
  bool Press(Qt::Key key) {
    QTest::keyClick(Window, key);
    return QTest::qWaitFor([] { return !KeyPressed(); }, Patience);
  }

  // Lets the timer tick n more times.
  static bool WaitTicks(int n) {
    const int until = Ticks + n;
    return QTest::qWaitFor([until] { return Ticks >= until; }, Patience);
  }

  // The instant the screen shows: the step has advanced it once since.
  static long double ShownJD() { return View.CurrentJD - View.TimeDirection * View.StepDays; }

  fs::path Folder, Previous;
  TGrundfenster* Window = nullptr;
  std::unique_ptr<TDialogDriver> Driver;
};

// Inside a death test, where the test's own clean-up never runs: the working
// folder goes with the program's end, and a program that does not end by
// itself in time ends with a status no test expects.
inline fs::path FolderOfTheDeathTest;
inline void RemoveFolderOfTheDeathTest() {
  std::error_code ignored;
  fs::current_path(fs::temp_directory_path(), ignored);
  fs::remove_all(FolderOfTheDeathTest, ignored);
}
inline void PrepareToEnd(const fs::path& folder) {
  FolderOfTheDeathTest = folder;
  AddExitRoutine(RemoveFolderOfTheDeathTest);
  QTimer::singleShot(Patience, [] {
    RemoveFolderOfTheDeathTest();
    std::_Exit(99);
  });
}
