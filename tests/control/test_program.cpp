// The whole program driven as a user drives it: the questions of the
// parameter input with their defaults, the start screen, the parameter file
// named on the command line, and what the keys do during the animation.
#include <QDate>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QTime>

#include <cmath>

#include "ProgramTestSupport.h"

namespace {

const QString LatitudePrompt = "Standort: geografische Breite in Grad";
const QString DelayPrompt = QString::fromUtf8("Verzögerung in ms");
const std::vector<QString> AllPrompts = {
    LatitudePrompt,
    QString::fromUtf8("geografische Länge in Grad"),
    "Starttag",
    "Monat",
    "Jahr",
    "Uhrzeit (MEZ in hh.mm)",
    "Zeitschritt in hh.mm",
    DelayPrompt,
    QString::fromUtf8("zentraler Azimut in Grad (Süden: 0)"),
    "Abstand der Koordinatenlinien in Grad",
    QString::fromUtf8("Soll der Äquator gezeichnet werden (j/n) ?"),
    QString::fromUtf8("Soll die Ekliptik gezeichnet werden (j/n) ?")};

// A summer noon at the default place, one hour a step, 1 ms delay.
std::vector<QString> SummerNoon(const QString& time = "12.00") {
  return WithInsideQuestions(PlaceAndTime("<Enter>", "21", "6", "2024", time, "1.00", "1"));
}

constexpr long double OneHour = 1.0L / 24;

bool Near(long double a, long double b) {
  return std::fabs(a - b) < 1e-9L;
}

} // namespace

// ---- the parameter input ----------------------------------------------------------------

TEST_F(ProgramTest, FirstInputAsksItsQuestionsInOrderWithTheirDefaults) {
  const QDate dayBefore = QDate::currentDate();
  const QTime timeBefore = QTime::currentTime();
  StartAndWait(std::vector<QString>(12, "<Enter>"));
  const QDate dayAfter = QDate::currentDate();
  const QTime timeAfter = QTime::currentTime();

  EXPECT_EQ(Driver->Prompts(), AllPrompts);
  ASSERT_EQ(Driver->Seen.size(), 12u);
  auto shown = [this](int i) { return Driver->Seen[i].DefaultText; };
  EXPECT_EQ(shown(0), "54.3");
  EXPECT_EQ(shown(1), "10.1");
  // Today's date and the time now (the clock may have moved on meanwhile):
  // day and month in two characters, the year in four, the time as h.mm in six.
  auto date = [](const QDate& d) {
    return QStringList{QString::asprintf("%2d", d.day()), QString::asprintf("%2d", d.month()),
                       QString::asprintf("%4d", d.year())};
  };
  const QStringList seenDate{shown(2), shown(3), shown(4)};
  EXPECT_TRUE(seenDate == date(dayBefore) || seenDate == date(dayAfter))
      << seenDate.join('|').toStdString();
  auto time = [](const QTime& t) {
    return QString::asprintf("%6.2f", t.hour() + t.minute() / 100.0);
  };
  EXPECT_TRUE(shown(5) == time(timeBefore) || shown(5) == time(timeAfter))
      << shown(5).toStdString();
  EXPECT_EQ(shown(6), "0.05");
  EXPECT_EQ(shown(7), "30");
  EXPECT_EQ(shown(8), "0");
  EXPECT_EQ(shown(9), "30");
  EXPECT_EQ(shown(10), "n");
  EXPECT_EQ(shown(11), "n");
  for (const TSeen& seen : Driver->Seen) {
    EXPECT_EQ(seen.Title, "Eingabe");
    EXPECT_EQ(seen.Selected, seen.DefaultText); // typing replaces the default
  }

  EXPECT_EQ(Param.Latitude, 54.3L);
  EXPECT_EQ(Param.Longitude, 10.1L);
  EXPECT_EQ(Param.Delay, 30);
  EXPECT_FALSE(Param.DrawEquator);
  EXPECT_FALSE(Param.DrawEcliptic);
  EXPECT_NEAR(static_cast<double>(Param.LineSpacing), M_PI / 6, 1e-15);
  EXPECT_FALSE(View.OutsideView); // the inside view first
  EXPECT_TRUE(Flags.SingleStep);
  EXPECT_FALSE(Flags.Paused);
  EXPECT_FALSE(Driver->RanOut);
}

TEST_F(ProgramTest, SouthernPlaceLooksNorthAndOnlyJOrjMeansYes) {
  std::vector<QString> answers = PlaceAndTime("-33.9", "21", "6", "2024", "12.00", "1.00", "1");
  answers.insert(answers.end(), {"<Enter>", "<Enter>", "ja", "J"});
  StartAndWait(answers);
  ASSERT_EQ(Driver->Seen.size(), 12u);
  EXPECT_EQ(Driver->Seen[8].DefaultText, "180");
  EXPECT_EQ(Param.CentralAzimuth, 180);
  EXPECT_EQ(Param.EquatorAnswer, "a"); // the last letter of the answer
  EXPECT_FALSE(Param.DrawEquator);
  EXPECT_EQ(Param.EclipticAnswer, "J");
  EXPECT_TRUE(Param.DrawEcliptic);

  // ESC asks again, the last answers as defaults; latitude 0 looks south.
  Driver->Add(WithInsideQuestions(
      PlaceAndTime("0", "<Enter>", "<Enter>", "<Enter>", "<Enter>", "<Enter>", "<Enter>")));
  ASSERT_TRUE(Press(Qt::Key_Escape));
  ASSERT_EQ(Driver->Seen.size(), 24u);
  EXPECT_EQ(Driver->Seen[12].DefaultText, "-33.9");
  EXPECT_EQ(Driver->Seen[14].DefaultText, "21");
  EXPECT_EQ(Driver->Seen[20].DefaultText, "0");
  EXPECT_EQ(Driver->Seen[22].DefaultText, "a");
  EXPECT_EQ(Param.CentralAzimuth, 0);
  EXPECT_TRUE(RunStarted);
  EXPECT_FALSE(Flags.InputInProgress);
  EXPECT_FALSE(Driver->RanOut);
}

TEST_F(ProgramTest, RejectedAnswersSayWhyInTheDialogAndStayAsTheDefault) {
  const std::vector<QString> answers = {"abc",  "100",        "-91",   "54.3", "<Enter>", "1",
                                        "1",    "20266",      "-4713", "2026", "12.00",   "900000",
                                        "1.00", "2147483647", "0",     "10000"};
  StartAndWait(WithInsideQuestions(answers));
  // The reason each dialog shows: why the answer before it was not taken.
  const std::vector<QString> reasons = {"",
                                        "keine gültige Zahl",
                                        "Breite zwischen −90 und 90",
                                        "Breite zwischen −90 und 90",
                                        "",
                                        "",
                                        "",
                                        "",
                                        "Jahr zwischen −4712 und 9999",
                                        "Jahr zwischen −4712 und 9999",
                                        "",
                                        "",
                                        "Zeitschritt höchstens 876000 Stunden",
                                        "",
                                        "Verzögerung höchstens 10000 ms",
                                        "Verzögerung mindestens 1 ms"};
  ASSERT_EQ(Driver->Seen.size(), reasons.size() + 4);
  for (size_t i = 0; i < reasons.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Driver->Seen[i].Reason, reasons[i]);
    // A rejected answer is the default of the question asked again.
    if (!reasons[i].isEmpty()) {
      EXPECT_EQ(Driver->Seen[i].Prompt, Driver->Seen[i - 1].Prompt);
      EXPECT_EQ(Driver->Seen[i].DefaultText, answers[i - 1]);
    }
  }
  EXPECT_EQ(Param.Latitude, 54.3L);
  EXPECT_EQ(Param.StartYear, 2026);
  EXPECT_EQ(Param.StepDays, 1.00L);
  EXPECT_EQ(Param.Delay, 10000);
}

TEST_F(ProgramTest, OutsideViewAsksOnlyPlaceTimeStepAndDelay) {
  StartAndWait(SummerNoon());
  ASSERT_TRUE(Press('d'));
  EXPECT_TRUE(View.OutsideView);
  Driver->Add(std::vector<QString>(8, "<Enter>"));
  ASSERT_TRUE(Press(Qt::Key_Escape));
  ASSERT_EQ(Driver->Seen.size(), 20u);
  EXPECT_EQ(Driver->Seen.back().Prompt, DelayPrompt);
  EXPECT_TRUE(View.OutsideView);
  EXPECT_TRUE(RunStarted);
  // The outside view's start picture.
  ExpectEarthAndMoon(ScreenImage());
  EXPECT_TRUE(WaitTicks(20));
  EXPECT_EQ(Driver->Seen.size(), 20u); // no further question
}

TEST_F(ProgramTest, InsideSkyFollowsTheSun) {
  StartAndWait(SummerNoon());
  EXPECT_EQ(MostColour(SkyPlace().x(), SkyPlace().y()), LightBlue);
  // A winter midnight: night sky.
  Driver->Add(WithInsideQuestions(
      PlaceAndTime("<Enter>", "21", "12", "2024", "0.00", "<Enter>", "<Enter>")));
  ASSERT_TRUE(Press(Qt::Key_Escape));
  EXPECT_EQ(MostColour(SkyPlace().x(), SkyPlace().y()), Black);
}

TEST_F(ProgramTest, ANewInputWithTheSameSkyShowsTheWholeSkyAgain) {
  // The same place again: the sky pictures are kept, and the screen that the
  // input cleared must show all of the picture, not only what the step draws.
  StartAndWait(SummerNoon());
  ASSERT_EQ(MostColour(SkyPlace().x(), SkyPlace().y()), LightBlue);
  Driver->Add(std::vector<QString>(12, "<Enter>"));
  ASSERT_TRUE(Press(Qt::Key_Escape));
  EXPECT_EQ(MostColour(SkyPlace().x(), SkyPlace().y()), LightBlue);
  EXPECT_EQ(MostColour(MaxX() / 2, MaxY() - 100), LightGreen); // the ground
}

// ---- the start screen and the parameter file of the command line --------------------------

TEST_F(ProgramTest, StartScreenShowsTheHelpTextAndTakesErde0AsEarthData) {
  const QImage behindDialog = StartScreenBehindTheFirstDialog(SummerNoon());
  ASSERT_FALSE(behindDialog.isNull());
  // No message about missing Earth data, but the help text's yellow title.
  EXPECT_EQ(CountColour(behindDialog, QRect(0, 0, 1920, 200), LightRed), 0);
  EXPECT_GT(CountColour(behindDialog, QRect(0, 0, 1920, 100), Yellow), 100);
  EXPECT_GT(CountColour(behindDialog, QRect(0, 100, 1920, 400), White), 100);
  // The folder the Earth data comes from, named at the bottom.
  EXPECT_GT(CountColour(behindDialog, QRect(50, 1080 - 26, 1000, 16), White), 100);
}

TEST_F(ProgramTest, StartScreenSaysWhenEarthDataIsMissing) {
  fs::remove("ERDE_0.BIN");
  const QImage behindDialog = StartScreenBehindTheFirstDialog(SummerNoon());
  ASSERT_FALSE(behindDialog.isNull());
  // Two red lines on the white screen from (50, 50) on.
  EXPECT_GT(CountColour(behindDialog, QRect(50, 20, 1200, 100), LightRed), 200);
  EXPECT_EQ(ColourIndex(behindDialog.pixel(10, 10)), White);
  // Below them the folder that was searched, in black.
  EXPECT_GT(CountColour(behindDialog, QRect(50, 120, 1000, 60), Black), 100);
  EXPECT_EQ(Driver->Seen.size(), 12u); // the questions come all the same
}

TEST_F(ProgramTest, ParameterFileThatCannotBeOpenedIsReportedAndTheQuestionsAreAsked) {
  QImage behindDialog;
  testing::internal::CaptureStderr();
  Start(std::vector<QString>(12, "<Enter>"), "fehlt.dat");
  Driver->OnDialog = [&behindDialog](TEingabeDialog&) {
    if (behindDialog.isNull()) behindDialog = ScreenImage().copy();
  };
  const bool started = QTest::qWaitFor([] { return RunStarted; }, Patience);
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(started);
  EXPECT_NE(err.find("Die Parameterdatei \"fehlt.dat\" kann nicht gelesen werden."),
            std::string::npos)
      << err;
  // A red line near the bottom of the start screen.
  ASSERT_FALSE(behindDialog.isNull());
  EXPECT_GT(CountColour(behindDialog, QRect(50, 1000, 1000, 60), LightRed), 100);
  // The questions with the defaults.
  ASSERT_EQ(Driver->Seen.size(), 12u);
  EXPECT_EQ(Driver->Seen[0].DefaultText, "54.3");
  EXPECT_EQ(Driver->Seen[7].DefaultText, "30");

  // ESC asks again instead of ending the program.
  Driver->Add(std::vector<QString>(12, "<Enter>"));
  ASSERT_TRUE(Press(Qt::Key_Escape));
  EXPECT_EQ(Driver->Seen.size(), 24u);
  EXPECT_TRUE(RunStarted);
}

TEST_F(ProgramTest, ParameterFileWithABadValueEndsTheProgramAfterEnter) {
  std::ofstream("falsch.dat", std::ios::binary)
      << "p * Darstellung\r\nNordpol * geogr. Breite\r\n10.1\r\n 1. 1.2026\r\n12.00\r\n"
         "1.00\r\n1\r\n0\r\n30\r\nn\r\nn\r\nj\r\n";
  EXPECT_EXIT(
      {
        PrepareToEnd(Folder);
        // Enter once the message stands on the screen.
        QTimer enter;
        QObject::connect(&enter, &QTimer::timeout, [] {
          if (Grundfenster == nullptr || CountColour(QRect(50, 20, 1500, 120), LightRed) < 100)
            return;
          std::fputs("Meldung gesehen\n", stderr);
          QTest::keyClick(Grundfenster, Qt::Key_Return);
        });
        enter.start(20);
        Start({}, "falsch.dat");
        QTest::qWait(Patience);
      },
      ::testing::ExitedWithCode(2), "Zeile 2.*Nordpol.*keine g.ltige Zahl.*Meldung gesehen");
}

TEST_F(ProgramTest, MissingEarthDataIsSaidReadablyOnTheOutsideViewUntilEnter) {
  fs::remove("ERDE_0.BIN");
  EXPECT_EXIT(
      {
        PrepareToEnd(Folder);
        StartEarthModel();
        // Enter once the message stands readable on the black screen: red
        // text and the white line that says what ends it.
        QTimer enter;
        QObject::connect(&enter, &QTimer::timeout, [] {
          if (Grundfenster == nullptr || !View.OutsideView) return;
          const QRect message(50, 40, 1500, 120);
          if (CountColour(message, LightRed) < 100 || CountColour(message, White) < 100) return;
          std::fputs("Meldung gesehen\n", stderr);
          QTest::keyClick(Grundfenster, Qt::Key_Return);
        });
        enter.start(20);
        Start(SummerNoon());
        if (!QTest::qWaitFor([] { return RunStarted; }, Patience)) std::_Exit(3);
        QTest::keyClick(Grundfenster, Qt::Key_D);
        QTest::qWait(Patience);
      },
      ::testing::ExitedWithCode(1), "Meldung gesehen");
}

// ---- time: steps, direction, pause, single step -------------------------------------------

TEST_F(ProgramTest, PlusAndMinusRedrawTheInstantOnTheScreen) {
  StartAndWait(SummerNoon());
  EXPECT_EQ(Labels.TitleText, "21.6.2024, 12.00 Uhr");
  auto titleBand = [] { return ScreenImage().copy(0, 0, MaxX() + 1, View.TitleBase); };

  ASSERT_TRUE(Press('x')); // a key without a command steps in single-step mode
  EXPECT_EQ(Labels.TitleText, "21.6.2024, 13.00 Uhr");
  const QImage at13 = titleBand();
  ASSERT_TRUE(Press('+'));
  EXPECT_EQ(Labels.TitleText, "21.6.2024, 13.00 Uhr");
  EXPECT_EQ(titleBand(), at13);
  ASSERT_TRUE(Press('x'));
  EXPECT_EQ(Labels.TitleText, "21.6.2024, 14.00 Uhr");
  EXPECT_NE(titleBand(), at13);

  // "-" redraws and turns time round; a second "-" turns it forward again.
  ASSERT_TRUE(Press('-'));
  EXPECT_EQ(Labels.TitleText, "21.6.2024, 14.00 Uhr");
  EXPECT_EQ(View.TimeDirection, -1);
  ASSERT_TRUE(Press('x'));
  EXPECT_EQ(Labels.TitleText, "21.6.2024, 13.00 Uhr");
  EXPECT_EQ(titleBand(), at13);
  ASSERT_TRUE(Press('-'));
  EXPECT_EQ(Labels.TitleText, "21.6.2024, 13.00 Uhr");
  EXPECT_EQ(View.TimeDirection, 1);
  ASSERT_TRUE(Press('x'));
  EXPECT_EQ(Labels.TitleText, "21.6.2024, 14.00 Uhr");
  // "+" while time runs backwards turns it forward.
  ASSERT_TRUE(Press('-'));
  ASSERT_TRUE(Press('+'));
  EXPECT_EQ(View.TimeDirection, 1);
  EXPECT_EQ(Labels.TitleText, "21.6.2024, 14.00 Uhr");
}

TEST_F(ProgramTest, SingleStepWaitsForKeysAndETogglesIt) {
  StartAndWait(SummerNoon());
  const long double start = View.CurrentJD;
  ASSERT_TRUE(WaitTicks(30));
  EXPECT_EQ(View.CurrentJD, start); // nothing moves without a key

  ASSERT_TRUE(Press('e'));
  EXPECT_FALSE(Flags.SingleStep);
  EXPECT_TRUE(QTest::qWaitFor([start] { return View.CurrentJD > start + 5 * OneHour; }, Patience));

  ASSERT_TRUE(Press('e'));
  EXPECT_TRUE(Flags.SingleStep);
  const long double held = View.CurrentJD;
  ASSERT_TRUE(WaitTicks(30));
  EXPECT_EQ(View.CurrentJD, held);
}

TEST_F(ProgramTest, PauseTakesOneMoreStepAndTheNextKeyOnlyEndsIt) {
  StartAndWait(SummerNoon());
  const long double start = View.CurrentJD;
  ASSERT_TRUE(Press('p'));
  EXPECT_TRUE(Flags.Paused);
  EXPECT_TRUE(Near(View.CurrentJD, start + OneHour)); // one more step
  ASSERT_TRUE(WaitTicks(30));
  EXPECT_TRUE(Near(View.CurrentJD, start + OneHour));
  // The key that ends the pause is used up: time keeps its direction.
  ASSERT_TRUE(Press('-'));
  EXPECT_FALSE(Flags.Paused);
  EXPECT_EQ(View.TimeDirection, 1);
  EXPECT_TRUE(Near(View.CurrentJD, start + OneHour));
  ASSERT_TRUE(Press('x'));
  EXPECT_TRUE(Near(View.CurrentJD, start + 2 * OneHour));

  // In continuous mode too; the key "e" that ends the pause leaves the mode.
  ASSERT_TRUE(Press('e'));
  ASSERT_TRUE(Press('p'));
  ASSERT_TRUE(Flags.Paused);
  const long double held = View.CurrentJD;
  ASSERT_TRUE(WaitTicks(30));
  EXPECT_EQ(View.CurrentJD, held);
  ASSERT_TRUE(Press('e'));
  EXPECT_FALSE(Flags.Paused);
  EXPECT_FALSE(Flags.SingleStep);
  EXPECT_TRUE(QTest::qWaitFor([held] { return View.CurrentJD > held + 3 * OneHour; }, Patience));
}

// ---- help ---------------------------------------------------------------------------------

TEST_F(ProgramTest, HelpWaitsForAKeyAndGivesBackSingleStep) {
  StartAndWait(SummerNoon());
  // Inside view, single step on: the key list in the title band.
  const QRect bandLeft(0, 0, 500, View.TitleBase - 30);
  ASSERT_EQ(CountColour(bandLeft, White), 0);
  long double before = View.CurrentJD;
  ASSERT_TRUE(Press(Qt::Key_F1));
  EXPECT_GT(CountColour(bandLeft, White), 200);
  EXPECT_GT(CountColour(QRect(0, 0, 250, 20), LightRed), 20); // " weiter mit Tastendruck!"
  EXPECT_EQ(View.CurrentJD, before);                          // no step
  EXPECT_TRUE(Flags.SingleStep);
  ASSERT_TRUE(Press('x'));
  EXPECT_TRUE(Flags.SingleStep);
  EXPECT_FALSE(Flags.PendingClear);
  EXPECT_TRUE(Near(View.CurrentJD, before + OneHour));
  EXPECT_EQ(CountColour(bandLeft, White), 0); // cleared and redrawn

  // Single step off: the help holds the animation until the next key.
  ASSERT_TRUE(Press('e'));
  ASSERT_TRUE(Press(Qt::Key_F1));
  EXPECT_TRUE(Flags.SingleStep);
  before = View.CurrentJD;
  ASSERT_TRUE(WaitTicks(30));
  EXPECT_EQ(View.CurrentJD, before);
  ASSERT_TRUE(Press('x'));
  EXPECT_FALSE(Flags.SingleStep);
  EXPECT_TRUE(
      QTest::qWaitFor([before] { return View.CurrentJD > before + 3 * OneHour; }, Patience));

  // Outside view: the panel right of x0 = MaxY - 150, its last line 5 pixels
  // above the bottom.
  ASSERT_TRUE(Press('e'));
  ASSERT_TRUE(Press('d'));
  const int x0 = MaxY() - 150;
  const QRect longLines(1360, 180, 100, 180); // where the perspective lines reach
  const QRect lastLine(x0, MaxY() - 20, 200, 16);
  ASSERT_EQ(CountColour(longLines, White), 0);
  ASSERT_EQ(CountColour(lastLine, LightRed), 0);
  before = View.CurrentJD;
  ASSERT_TRUE(Press(Qt::Key_F1));
  EXPECT_GT(CountColour(longLines, White), 50);
  EXPECT_GT(CountColour(lastLine, LightRed), 20);
  EXPECT_EQ(CountColour(QRect(x0, MaxY() - 4, 200, 5), LightRed), 0);
  EXPECT_EQ(View.CurrentJD, before);
  ASSERT_TRUE(Press('x'));
  EXPECT_EQ(CountColour(longLines, White), 0);
  EXPECT_TRUE(Flags.SingleStep);
}

// ---- pictures and the parameter file ------------------------------------------------------

TEST_F(ProgramTest, SAgainAndAgainSavesNumberedPicturesOfTheScreen) {
  StartAndWait(SummerNoon());
  const long double before = View.CurrentJD;
  ASSERT_TRUE(Press('s'));
  // The notice stands over the picture in the window, not in the picture.
  EXPECT_EQ(CurrentNotice(), "Bild gespeichert: Lunotrop00.bmp");
  const QImage window = Window->grab().toImage();
  int noticePixels = 0;
  for (int y = MaxY() - 120; y < MaxY() - 20; ++y)
    for (int x = 0; x <= MaxX(); ++x)
      noticePixels += window.pixel(x, y) != ScreenImage().pixel(x, y);
  EXPECT_GT(noticePixels, 2000);
  for (int i = 1; i < 3; ++i) ASSERT_TRUE(Press('s'));
  EXPECT_EQ(CurrentNotice(), "Bild gespeichert: Lunotrop02.bmp");
  EXPECT_EQ(View.CurrentJD, before); // saving takes no step
  EXPECT_EQ(Flags.PictureCounter, 3);
  // The inside view from 50 pixels above the title band's bottom row down.
  const QSize inside(MaxX() + 1, MaxY() - (View.TitleBase - 50) + 1);
  for (const char* name : {"Lunotrop00.bmp", "Lunotrop01.bmp", "Lunotrop02.bmp"}) {
    const QImage picture(name);
    EXPECT_EQ(picture.size(), inside) << name;
  }
  const QImage first("Lunotrop00.bmp");
  const QPoint sky = SkyPlace();
  EXPECT_EQ(MostColour(first, sky.x(), sky.y() - (View.TitleBase - 50)), LightBlue);

  // The outside view: the whole screen, 24 bits a pixel.
  ASSERT_TRUE(Press('d'));
  ASSERT_TRUE(Press('s'));
  const QImage outside("Lunotrop03.bmp");
  ASSERT_EQ(outside.size(), QSize(1920, 1080));
  const std::string header = ReadBytes("Lunotrop03.bmp").substr(0, 30);
  EXPECT_EQ(header.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(header[28]), 24);
  ExpectEarthAndMoon(outside);

  // From the hundredth picture on three digits; an old file is replaced.
  Flags.PictureCounter = 100;
  std::ofstream("Lunotrop100.bmp") << "alt";
  ASSERT_TRUE(Press('s'));
  EXPECT_EQ(QImage("Lunotrop100.bmp").size(), QSize(1920, 1080));
  EXPECT_EQ(Flags.PictureCounter, 101);
}

TEST_F(ProgramTest, F2WritesTheParameterFileAndAStartWithItDrawsAtOnce) {
  std::vector<QString> answers =
      PlaceAndTime("54,3", "7", "5", "2026", "9.05", "<Enter>", "1"); // a decimal comma
  answers.insert(answers.end(), {"<Enter>", "15", "j", "ja"});
  StartAndWait(answers);
  ASSERT_TRUE(Press('d'));
  ASSERT_TRUE(Press('e')); // single step off: the file says "j" all the same
  const long double before = View.CurrentJD;
  ASSERT_TRUE(Press(Qt::Key_F2));
  const std::string expected = "b * Darstellung (Phase (p)/Bewegung)\r\n"
                               "54,3 * geogr. Breite\r\n"
                               "10.1 * geogr. L\xE4nge\r\n"
                               "7.5.2026 * Startdatum\r\n"
                               "9.05 * Startuhrzeit\r\n"
                               "0.05 * deltat\r\n"
                               "1 * Verz\xF6gerung in ms\r\n"
                               "0 * zentraler Azimut\r\n"
                               "15 * Abstand der Koordinatenlinien\r\n"
                               "j * Zeichnung der \xC4quators (j/n)?\r\n"
                               "a * Zeichnung der Ekliptik (j/n)?\r\n"
                               "j * Einzelschritt (j/n)?\r\n";
  EXPECT_EQ(ReadBytes("Lunotrop.dat"), expected);
  EXPECT_EQ(CurrentNotice(), "Eingaben gespeichert: Lunotrop.dat");
  // The written texts are the parameters' texts as typed.
  EXPECT_EQ(Param.LatitudeText, "54,3");
  EXPECT_EQ(Param.DayText + "." + Param.MonthText + "." + Param.YearText, "7.5.2026");
  ASSERT_TRUE(Press('e'));
  EXPECT_GT(View.CurrentJD, before); // F2 is followed by a step

  // A new start with the file: no question, the outside view at once.
  StopProgram();
  ResetProgram();
  StartAndWait({}, "Lunotrop.dat");
  EXPECT_TRUE(Driver->Seen.empty());
  EXPECT_TRUE(View.OutsideView);
  EXPECT_EQ(Param.LatitudeText, "54,3");
  EXPECT_EQ(Param.Latitude, 54.3L);
  EXPECT_EQ(Param.StartDay, 7);
  EXPECT_EQ(Param.StartTime, 9.05L);
  EXPECT_EQ(Param.Delay, 1);
  EXPECT_TRUE(Param.DrawEquator);
  EXPECT_FALSE(Param.DrawEcliptic);
  EXPECT_TRUE(Flags.SingleStep);
  ExpectEarthAndMoon(ScreenImage());
  // A picture saved now shows it as it stands.
  ASSERT_TRUE(Press('s'));
  ExpectEarthAndMoon(QImage("Lunotrop00.bmp"));
  ExpectEarthAndMoon(ScreenImage());

  // ESC ends a program started with a parameter file.
  EXPECT_EXIT(
      {
        PrepareToEnd(Folder);
        QTest::keyClick(Window, Qt::Key_Escape);
        QTest::qWait(Patience);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(ProgramTest, PictureOrParameterFileThatCannotBeWrittenSaysSoAndLeavesTheOldOne) {
  StartAndWait(SummerNoon());
  // A folder stands where the files would go; it stays as it is.
  fs::create_directory("Lunotrop00.bmp");
  std::ofstream("Lunotrop00.bmp/drin") << "x";
  fs::create_directory("Lunotrop.dat");
  std::ofstream("Lunotrop.dat/drin") << "x";

  testing::internal::CaptureStderr();
  const bool saved = Press('s');
  std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(saved);
  EXPECT_NE(err.find("Lunotrop00.bmp"), std::string::npos) << err;
  EXPECT_EQ(CurrentNotice(), "Bild nicht gespeichert: dort steht ein Ordner gleichen Namens");
  EXPECT_GT(CountColour(Window->grab().toImage(), QRect(0, MaxY() - 120, MaxX(), 100), LightRed),
            50);
  EXPECT_EQ(Flags.PictureCounter, 0);
  EXPECT_TRUE(fs::is_directory("Lunotrop00.bmp"));
  EXPECT_EQ(ReadBytes("Lunotrop00.bmp/drin"), "x");

  testing::internal::CaptureStderr();
  const long double before = View.CurrentJD;
  const bool written = Press(Qt::Key_F2);
  err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(written);
  EXPECT_NE(err.find("Lunotrop.dat"), std::string::npos) << err;
  EXPECT_EQ(CurrentNotice(), "Eingaben nicht gespeichert: dort steht ein Ordner gleichen Namens");
  EXPECT_EQ(ReadBytes("Lunotrop.dat/drin"), "x");
  EXPECT_TRUE(Near(View.CurrentJD, before)); // the tick ends there, without a step
  ASSERT_TRUE(Press('x'));
  EXPECT_TRUE(Near(View.CurrentJD, before + OneHour)); // the program goes on

  // Once the folder is gone the same number is used.
  fs::remove_all("Lunotrop00.bmp");
  ASSERT_TRUE(Press('s'));
  EXPECT_TRUE(fs::is_regular_file("Lunotrop00.bmp"));
  EXPECT_EQ(Flags.PictureCounter, 1);
}

// ---- delay, tilt, perspective, sizes --------------------------------------------------------

TEST_F(ProgramTest, CursorLeftAndRightDoubleAndHalveTheDelay) {
  StartAndWait(
      WithInsideQuestions(PlaceAndTime("<Enter>", "21", "6", "2024", "12.00", "1.00", "3")));
  ASSERT_EQ(Param.Delay, 3);
  ASSERT_TRUE(Press(Qt::Key_Right));
  EXPECT_EQ(Param.Delay, 1);
  ASSERT_TRUE(Press(Qt::Key_Right));
  EXPECT_EQ(Param.Delay, 1); // never below 1 ms
  ASSERT_TRUE(Press(Qt::Key_Left));
  EXPECT_EQ(Param.Delay, 2);
  ASSERT_TRUE(Press(Qt::Key_Left));
  EXPECT_EQ(Param.Delay, 4);

  // At most 10 s, also from a delay typed far beyond that.
  SkipDelay = true;
  Param.Delay = 6000;
  ASSERT_TRUE(Press(Qt::Key_Left));
  EXPECT_EQ(Param.Delay, 10000);
  ASSERT_TRUE(Press(Qt::Key_Left));
  EXPECT_EQ(Param.Delay, 10000);
  Param.Delay = 2000000000;
  ASSERT_TRUE(Press(Qt::Key_Left));
  EXPECT_EQ(Param.Delay, 10000);
  ASSERT_TRUE(Press(Qt::Key_Right));
  EXPECT_EQ(Param.Delay, 5000);
}

TEST_F(ProgramTest, WhatAKeyAsksForComesAtOnceWhateverTheDelay) {
  // Ten seconds between pictures of the running animation; a picture a key
  // asks for does not wait for them.
  QElapsedTimer clock;
  clock.start();
  StartAndWait(
      WithInsideQuestions(PlaceAndTime("<Enter>", "21", "6", "2024", "12.00", "1.00", "10000")));
  const long double before = View.CurrentJD;
  ASSERT_TRUE(Press('x')); // single step: the next picture
  ASSERT_TRUE(Press('d')); // the outside view
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_TRUE(Near(View.CurrentJD, before + OneHour)); // 'd' shows the same instant again
  EXPECT_TRUE(View.OutsideView);
  ExpectEarthAndMoon(ScreenImage());
  // The next key does not clear a start picture: the outside view after
  // "d" has none.
  ASSERT_TRUE(Press('x'));
  ExpectEarthAndMoon(ScreenImage());
  EXPECT_LT(clock.elapsed(), 5000);
}

namespace {

// The area of the regions the window presents.
struct TPaintedArea {
  long long Area = 0;
  int Paints = 0;
  void Add(const QRegion& region) {
    ++Paints;
    for (const QRect& r : region) Area += static_cast<long long>(r.width()) * r.height();
  }
};

} // namespace

TEST_F(ProgramTest, AStepPresentsWhatItChangedAndWaitingPresentsNothing) {
  StartAndWait(SummerNoon());
  ASSERT_TRUE(Press('d'));
  ASSERT_TRUE(Press('x'));
  QTest::qWait(100);
  TPaintedArea painted;
  const QMetaObject::Connection watching =
      QObject::connect(Window, &TGrundfenster::Presented,
                       [&painted](const QRegion& region) { painted.Add(region); });
  // Single-step mode without a key: the ticks change nothing.
  ASSERT_TRUE(WaitTicks(10));
  QTest::qWait(50);
  EXPECT_EQ(painted.Paints, 0);
  // One step of the outside view: Earth, Moon and the texts of the instant,
  // far less than the screen. The panel keeps what did not change, and the
  // rows of the date and time are cleared only as wide as their texts (the
  // rows across the whole panel made it 11 % of the screen).
  ASSERT_TRUE(Press('x'));
  QTest::qWait(100);
  EXPECT_GE(painted.Paints, 1);
  EXPECT_LT(painted.Area, 1920LL * 1080 / 12);
  QObject::disconnect(watching);
}

TEST_F(ProgramTest, KeysWithoutStepAndTiltOnlyOutside) {
  StartAndWait(SummerNoon());
  ASSERT_TRUE(Press('x'));
  const long double before = View.CurrentJD;
  const QImage screen = ScreenImage().copy();
  // Inside view: cursor up and down do nothing at all.
  ASSERT_TRUE(Press(Qt::Key_Up));
  ASSERT_TRUE(Press(Qt::Key_Down));
  EXPECT_EQ(View.CurrentJD, before);
  EXPECT_EQ(ScreenImage(), screen);
  // "a" has no command and takes no step; "l" draws the sight lines only.
  ASSERT_TRUE(Press('a'));
  EXPECT_EQ(View.CurrentJD, before);
  ASSERT_TRUE(Press('l'));
  EXPECT_EQ(View.CurrentJD, before);
  EXPECT_GT(CountColour(QRect(0, 0, MaxX() + 1, MaxY() + 1), Yellow),
            CountColour(screen, screen.rect(), Yellow));

  // Outside view: tilted by 10 degrees a key, no step.
  ASSERT_TRUE(Press('d'));
  const long double outside = View.CurrentJD;
  ASSERT_TRUE(Press(Qt::Key_Up));
  EXPECT_NEAR(static_cast<double>(View.TiltAngle), M_PI / 18, 1e-12);
  ASSERT_TRUE(Press(Qt::Key_Up));
  ASSERT_TRUE(Press(Qt::Key_Down));
  EXPECT_NEAR(static_cast<double>(View.TiltAngle), M_PI / 18, 1e-12);
  EXPECT_EQ(View.CurrentJD, outside);
  ExpectEarthAndMoon(ScreenImage());
}

TEST_F(ProgramTest, HCyclesThePerspectivesOfTheOutsideView) {
  StartAndWait(SummerNoon());
  ASSERT_TRUE(Press('d'));
  const long double shown = ShownJD();
  const int horizonY = View.EarthCentreY - View.EarthRadiusPx;
  EXPECT_EQ(View.Perspective, 0);
  ASSERT_TRUE(Press('h'));
  EXPECT_EQ(View.Perspective, 1);
  ASSERT_TRUE(Press('h'));
  EXPECT_EQ(View.Perspective, 2);
  // Perspective 2 draws the horizon line through the top of the Earth disc.
  EXPECT_EQ(ColourIndex(GetPixel(5, horizonY)), DarkGray);
  ASSERT_TRUE(Press('h'));
  EXPECT_EQ(View.Perspective, 0);
  EXPECT_EQ(ColourIndex(GetPixel(5, horizonY)), Black);
  EXPECT_TRUE(Near(ShownJD(), shown)); // each redraws the same instant
}

TEST_F(ProgramTest, ContinuousOutsideViewLeavesNoTrailOfMoons) {
  StartAndWait(SummerNoon());
  ASSERT_TRUE(Press('e'));
  ASSERT_TRUE(Press('d'));
  const long double from = View.CurrentJD;
  ASSERT_TRUE(QTest::qWaitFor([from] { return View.CurrentJD > from + 2; }, Patience));
  ASSERT_TRUE(Press('e'));
  // Two days: the Moon has moved by more than its size, and only its last
  // picture is left (the lit and the dark half of one disc).
  const QRect square(0, 0, MaxY() + 1, MaxY() + 1);
  const QRect earth(View.EarthCentreX - 110, View.EarthCentreY - 110, 221, 221);
  const int discArea = static_cast<int>(M_PI * 24 * 24);
  const int moonPixels = CountColour(square, LightGray) + CountColour(square, DarkGray) -
                         CountColour(earth, LightGray) - CountColour(earth, DarkGray);
  EXPECT_LT(moonPixels, 1.2 * discArea);
  EXPECT_GT(moonPixels, 0.8 * discArea);
}

TEST_F(ProgramTest, StatusLineStandsAtTheBottom) {
  StartAndWait(SummerNoon());
  ASSERT_TRUE(Press('x'));
  // Red text whose bottom is 5 pixels above the last row, from the left edge.
  EXPECT_GT(CountColour(QRect(0, MaxY() - 20, 700, 16), LightRed), 200);
  EXPECT_EQ(CountColour(QRect(0, MaxY() - 4, 700, 5), LightRed), 0);
  EXPECT_GT(CountColour(QRect(0, MaxY() - 20, 10, 16), LightRed), 0);
}

TEST_F(ProgramTest, CapsKeepRepeatedKeysInBounds) {
  // The largest step the input takes; "*" stops at 36 500 days.
  StartAndWait(
      WithInsideQuestions(PlaceAndTime("<Enter>", "21", "6", "2024", "12.00", "876000.00", "1")));
  EXPECT_EQ(View.StepDays, MaxStepDays);
  ASSERT_TRUE(Press('*'));
  EXPECT_EQ(View.StepDays, MaxStepDays);
  View.StepDays = -30000;
  ASSERT_TRUE(Press('*'));
  EXPECT_EQ(View.StepDays, -MaxStepDays);
  ASSERT_TRUE(Press('/'));
  EXPECT_EQ(View.StepDays, -MaxStepDays / 2);

  // Sun and Moon of the inside view: ">" always grows a small disc.
  View.DiscRadius = 4;
  ASSERT_TRUE(Press('>'));
  EXPECT_EQ(View.DiscRadius, 5);
  ASSERT_TRUE(Press('<'));
  ASSERT_TRUE(Press('<'));
  EXPECT_EQ(View.DiscRadius, 4);

  // The Earth: at most 10 000 pixels, and a small one still drawn.
  ASSERT_TRUE(Press('d'));
  View.EarthRadiusPx = 9500;
  ASSERT_TRUE(Press('>'));
  EXPECT_EQ(View.EarthRadiusPx, 10000);
  ASSERT_TRUE(Press('>'));
  EXPECT_EQ(View.EarthRadiusPx, 10000);
  View.EarthRadiusPx = 5;
  ASSERT_TRUE(Press('<'));
  EXPECT_EQ(View.EarthRadiusPx, 4);
  ASSERT_TRUE(Press('<'));
  EXPECT_EQ(View.EarthRadiusPx, 4);
  // Disc and observer's dot are still drawn.
  const QRect small(View.EarthCentreX - 5, View.EarthCentreY - 5, 11, 11);
  EXPECT_GT(CountColour(small, LightBlue) + CountColour(small, DarkGray) +
                CountColour(small, LightRed),
            20);
  ASSERT_TRUE(Press('>'));
  EXPECT_EQ(View.EarthRadiusPx, 5);
}
