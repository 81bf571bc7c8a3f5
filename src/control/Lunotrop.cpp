#include "Lunotrop.h"

#include <QApplication>

#include <fstream>
#include <iostream>
#include <vector>

#include "Animation.h"
#include "Dateien.h"
#include "Eingabe.h"
#include "Erdmodul.h"
#include "FensterGraf.h"
#include "Kern2Graf.h"
#include "KernGraf.h"
#include "KeyCommands.h"
#include "Labels.h"
#include "ModulGraf.h"
#include "Parameter.h"
#include "ParameterFile.h"
#include "ViewState.h"

namespace {

constexpr long double DegreesToRadians = 0.017453292519943295769L;

// Set when the parameter file named on the command line could not be
// opened; shown on the start screen.
std::string StartMessage;

bool MainWindowIsActive() {
  return QApplication::activeModalWidget() == nullptr;
}

std::vector<std::string> ReadTextLines(const std::string& fileName) {
  std::vector<std::string> lines;
  std::ifstream file(ResolveFileName(fileName), std::ios::binary);
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(Cp1252ToUtf8(line));
  }
  return lines;
}

void ShowHelpTextFile() {
  int top = 0, bottom = 0;
  InputDialogBand(top, bottom); // the lines keep out of the dialog's way
  SetFont("Courier", 14, 1);
  int colour = Yellow;
  int y = 2 * CharHeight;
  const std::vector<std::string> lines = ReadTextLines("Lunotrop.txt");
  for (size_t i = 0; i < lines.size(); ++i) {
    if (top - 2 * CharHeight < y && y < bottom + 2 * CharHeight)
      while (y <= bottom + 2 * CharHeight) y += CharHeight;
    if (i == 3) {
      SetFont("Courier", 10, 0);
      colour = White;
    }
    OutTextXY(0, y, lines[i], colour);
    y += CharHeight;
  }
}

// A parameter file that does not convert ends the program, with a message
// the user can read before it goes.
[[noreturn]] void ParameterFileFailed(const std::string& message) {
  std::cerr << "lunotrop: " << message << "\n";
  SetFont("Courier", 20, 1);
  SetTextJustify(0, 0);
  SetTextBackground(White);
  OutTextXY(50, 50, message, LightRed);
  OutTextXY(50, 50 + 2 * CharHeight, "Ende mit der Eingabetaste.", LightRed);
  WaitForEnter();
  EndProgram(2);
}

// The questions of one parameter input.
void AskParameters() {
  Flags.PreviousLatitude = Param.Latitude;
  InputReal("Standort: geografische Breite in Grad", Param.LatitudeText, Param.Latitude);
  InputReal("geografische Länge in Grad", Param.LongitudeText, Param.Longitude);
  InputInteger("Starttag", Param.DayText, Param.StartDay);
  InputInteger("Monat", Param.MonthText, Param.StartMonth);
  InputInteger("Jahr", Param.YearText, Param.StartYear);
  InputReal("Uhrzeit (MEZ in hh.mm)", Param.StartTimeText, Param.StartTime);
  InputReal("Zeitschritt in hh.mm", Param.TimeStepText, Param.StepDays);
  InputInteger("Verzögerung in ms", Param.DelayText, Param.Delay);
  // The azimuth default follows the hemisphere: look south in the north.
  if (Param.Latitude >= 0) {
    Param.AzimuthText = "0";
    Param.CentralAzimuth = 0;
  } else {
    Param.AzimuthText = "180";
    Param.CentralAzimuth = 180;
  }
  if (!View.OutsideView) {
    InputReal("zentraler Azimut in Grad (Süden: 0)", Param.AzimuthText, Param.CentralAzimuth);
    InputReal("Abstand der Koordinatenlinien in Grad", Param.LineSpacingText, Param.LineSpacing);
    Param.LineSpacing *= DegreesToRadians;
    InputChar("Soll der Äquator gezeichnet werden (j/n) ?", Param.EquatorAnswer);
    Param.DrawEquator = Param.EquatorAnswer == "J" || Param.EquatorAnswer == "j";
    InputChar("Soll die Ekliptik gezeichnet werden (j/n) ?", Param.EclipticAnswer);
    Param.DrawEcliptic = Param.EclipticAnswer == "J" || Param.EclipticAnswer == "j";
  }
  Flags.SingleStep = true;
}

// Missing Earth data in the interactive program: the message at the text
// cursor, a wait for Enter, the end of the program.
void ConsoleEarthMessage(const std::string& line) {
  WriteLine(line);
  WaitForEnter();
  EndProgram(1);
}

} // namespace

void InitialiseParameters() {
  InitViewState();
  ResetPalette();
  Flags.FirstTimeDone = true;
  Flags.PictureCounter = 0;
}

void FirstTimeInit() {
  StartMessage.clear(); // a message belongs to the start that found the fault
  InitialiseParameters();
  if (Flags.StartedWithFile) {
    bool outside = false;
    const TParameterFileResult r =
        ReadParameterFile(Flags.ParameterFileName, Param, outside, Flags.SingleStep);
    if (r.Ok) {
      View.OutsideView = outside;
      return;
    }
    if (r.Line != 0) ParameterFileFailed(r.Message);
    // A file that cannot be opened: say so and ask as without a file.
    std::cerr << "lunotrop: " << r.Message << "\n";
    StartMessage = r.Message + " Bitte die Werte eingeben.";
    Flags.StartedWithFile = false;
  }

  int day = 1, month = 1, year = 2000, hour = 0, minute = 0, second = 0, hundredths = 0;
  GetDateNow(day, month, year);
  Param.StartDay = day;
  Param.StartMonth = month;
  Param.StartYear = year;
  Param.DayText = FormatReal(day, 2.0L);
  Param.MonthText = FormatReal(month, 2.0L);
  Param.YearText = FormatReal(year, 4.0L);
  GetTimeNow(hour, minute, second, hundredths);
  Param.StartTimeText = FormatReal(hour + minute * 0.01L, 2.2L);

  Param.LatitudeText = "54.3";
  Flags.PreviousLatitude = 0;
  Param.LongitudeText = "10.1";
  Param.TimeStepText = "0.05";
  Param.DelayText = "30";
  Param.LineSpacingText = "30";
  Param.EquatorAnswer = "n";
  Param.EclipticAnswer = "n";
  Param.AzimuthText = "0";
  Flags.InputDoneOnce = false;
  CheckEarthDataFiles();
  View.OutsideView = false;
}

void CheckEarthDataFiles() {
  // ERDE_0.BIN is the Earth data the globe prefers; its presence is enough.
  if (!FileIsReadable("ECLGRAPH.DAT") && !FileIsReadable("Erde.bin") &&
      !FileIsReadable("ERDE_0.BIN")) {
    SetFont("Courier", 20, 1);
    OutTextXY(50, 50, "Das Programm benötigt zur Darstellung der Erdkugel", LightRed);
    OutTextXY(50, 50 + 2 * CharHeight, " eine der Dateien \"ECLGRAPH.DAT\" oder \"Erde.bin\" !",
              LightRed);
    Flags.StartScreenShown = true;
  } else {
    Flags.StartScreenShown = false;
    SetFillStyle(255, Black, Black);
    FillBar(0, 0, MaxX() + 1, MaxY() + 1);
    SetTextBackground(Black);
    if (FileIsReadable("Lunotrop.txt")) {
      ShowHelpTextFile();
      Flags.StartScreenShown = true;
    }
  }
  if (!StartMessage.empty()) {
    SetFont("Courier", 10, 1);
    SetTextJustify(0, 0);
    OutTextXY(50, MaxY() - 30, StartMessage, LightRed);
    Flags.StartScreenShown = true;
  }
}

void MainRoutine() {
  if (!MainWindowIsActive()) return; // a dialog of this routine is open
  if (!Flags.FirstTimeDone) FirstTimeInit();
  if (!Flags.StartScreenShown) {
    SetFillStyle(255, Black, Black);
    FillBar(0, 0, MaxX(), MaxY());
  }
  ResetPalette();
  if (!Flags.StartedWithFile || Flags.InputDoneOnce) AskParameters();
  Flags.StartScreenShown = false;
  Flags.InputDoneOnce = true;
  SetUpView();
  AnimationStep();
  RunStarted = true;
  Flags.InputInProgress = false;
  Flags.Paused = false;
}

int RunInteractive(int argc, char** argv, const std::string& parameterFile, bool windowed) {
  if (!DisplayAvailable()) {
    std::cerr << "lunotrop: Das Programm braucht eine grafische Oberfläche (X11 oder Wayland).\n"
                 "Ohne Bildschirm gehen: lunotrop --ephemeris DATEI (Tabelle) und\n"
                 "lunotrop --render BILD DATEI (Bild). Hilfe: lunotrop --help\n";
    return 1;
  }
  QApplication app(argc, argv);
  StartFensterGraf(argv[0]);
  StartErdmodul();
  SetEarthMessageHandler(ConsoleEarthMessage);
  Flags.FirstTimeDone = false;
  Flags.StartedWithFile = !parameterFile.empty();
  Flags.ParameterFileName = parameterFile;

  TGrundfenster* window = new TGrundfenster(windowed);
  new TEingabeDialog(window);
  StartConsole(false, false, 0, 10, "Courier");
  MainRoutineSlot = MainRoutine;
  KeyHandlerSlot = KeyCommandHandler;
  window->ShowAndActivate();
  const int status = app.exec();
  EndProgram(status);
}
