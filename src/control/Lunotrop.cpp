#include "Lunotrop.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "Animation.h"
#include "Dateien.h"
#include "Erdmodul.h"
#include "FensterGraf.h"
#include "Kern2Graf.h"
#include "KernGraf.h"
#include "KeyCommands.h"
#include "Mathe.h"
#include "ModulGraf.h"
#include "Parameter.h"
#include "ParameterFile.h"
#include "ViewCommands.h"
#include "ViewState.h"

namespace {

// Set when the parameter file named on the command line could not be
// opened; shown on the start screen.
std::string StartMessage;

// A folder as the start screen names it: its full path.
std::string ShownFolder(const std::string& folder) {
  std::error_code error;
  const std::filesystem::path path =
      std::filesystem::absolute(folder.empty() ? std::string(".") : folder, error);
  return error ? folder : path.lexically_normal().string();
}

// The lines of the start screen's help text, in UTF-8.
std::vector<std::string> HelpTextLines() {
  std::vector<std::string> lines;
  ReadTextLines("Lunotrop.txt", lines);
  for (std::string& line : lines) line = Cp1252ToUtf8(line);
  return lines;
}

bool IsBlank(const std::string& line) {
  return line.find_first_not_of(" \t\r") == std::string::npos;
}

// The rows (bottom y) of the help text's lines: the first three a title in
// large letters, the rest small, the band of the dialog and gap lines above
// and below it left free. With leaveOutBlank the empty lines take no room
// (row -1). Sets the fonts the lines are written in.
std::vector<int> HelpTextRows(const std::vector<std::string>& lines, int gap, bool leaveOutBlank) {
  int top = 0, bottom = 0;
  InputDialogBand(top, bottom); // the lines keep out of the dialog's way
  SetFont("Courier", 14, 1);
  std::vector<int> rows;
  int y = 2 * CharHeight;
  for (size_t i = 0; i < lines.size(); ++i) {
    const bool leftOut = leaveOutBlank && IsBlank(lines[i]);
    if (!leftOut && top - gap * CharHeight < y && y < bottom + gap * CharHeight)
      while (y <= bottom + gap * CharHeight) y += CharHeight;
    if (i == 3) SetFont("Courier", 10, 0);
    rows.push_back(leftOut ? -1 : y);
    if (!leftOut) y += CharHeight;
  }
  return rows;
}

// The bottom of the lowest line, or 0.
int LowestRow(const std::vector<int>& rows) {
  return rows.empty() ? 0 : *std::max_element(rows.begin(), rows.end());
}

void ShowHelpTextFile() {
  const std::vector<std::string> lines = HelpTextLines();
  // The lines stop above the line that names the Earth data's folder and
  // above the message at the bottom, if there is one.
  SetFont("Courier", 10, 1);
  const int lowest = StartMessage.empty() ? MaxY() - 10 - CharHeight - 2 : MaxY() - 30 - CharHeight;
  // Two lines off the dialog; on a screen too low for all of the text one
  // line, and if even that is too much the empty lines take no room.
  std::vector<int> rows = HelpTextRows(lines, 2, false);
  if (LowestRow(rows) > lowest) rows = HelpTextRows(lines, 1, false);
  if (LowestRow(rows) > lowest) rows = HelpTextRows(lines, 1, true);
  SetFont("Courier", 14, 1);
  int colour = Yellow;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i == 3) {
      SetFont("Courier", 10, 0);
      colour = White;
    }
    if (rows[i] >= 0) OutTextXY(0, rows[i], lines[i], colour);
  }
}

// A parameter file that does not convert ends the program, with a message
// the user can read before it goes.
[[noreturn]] void ParameterFileFailed(const std::string& message) {
  ReportProblem(message);
  SetFont("Courier", 20, 1);
  SetTextJustify(0, 0);
  SetTextBackground(White);
  OutTextXY(50, 50, message, LightRed);
  OutTextXY(50, 50 + 2 * CharHeight, "Ende mit der Eingabetaste.", LightRed);
  WaitForEnter();
  EndProgram(2);
}

// Values of the command line's file that the program cannot show were
// clamped: the first picture says so for a while, standard error too.
void ReportClampedValues(const std::vector<std::string>& notes) {
  std::string all;
  for (const std::string& note : notes) {
    ReportProblem(note);
    all += (all.empty() ? "" : " ") + note;
  }
  if (!all.empty()) ShowNotice(all, Yellow, 8000);
}

// The questions of one parameter input.
void AskParameters() {
  InputReal("Standort: geografische Breite in Grad", Param.LatitudeText, Param.Latitude,
            &LatitudeRange);
  InputReal("geografische Länge in Grad", Param.LongitudeText, Param.Longitude, &LongitudeRange);
  InputInteger("Starttag", Param.DayText, Param.StartDay);
  InputInteger("Monat", Param.MonthText, Param.StartMonth);
  InputInteger("Jahr", Param.YearText, Param.StartYear, &YearRange);
  InputReal("Uhrzeit (MEZ in hh.mm)", Param.StartTimeText, Param.StartTime);
  InputReal("Zeitschritt in hh.mm", Param.TimeStepText, Param.StepDays, &StepRange);
  InputInteger("Verzögerung in ms", Param.DelayText, Param.Delay, &DelayRange);
  // The azimuth default follows the hemisphere: look south in the north.
  if (Param.Latitude >= 0) {
    Param.AzimuthText = "0";
    Param.CentralAzimuth = 0;
  } else {
    Param.AzimuthText = "180";
    Param.CentralAzimuth = 180;
  }
  if (!OutsideViewShown()) {
    InputReal("zentraler Azimut in Grad (Süden: 0)", Param.AzimuthText, Param.CentralAzimuth);
    InputReal("Abstand der Koordinatenlinien in Grad", Param.LineSpacingText, Param.LineSpacing,
              &LineSpacingRange);
    Param.LineSpacing *= DegToRad;
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
  // Readable on the black outside view as on the white start: white on a
  // black box, with what the program waits for.
  std::string text;
  for (const char c : line)
    if (c != '\a') text += c;
  SetFont("Courier", 20, 1);
  SetTextJustify(0, 0);
  SetTextBackground(Black);
  OutTextXY(50, 50 + 2 * CharHeight, text, LightRed);
  OutTextXY(50, 50 + 3 * CharHeight, " Ende mit der Eingabetaste.", White);
  WaitForEnter();
  EndProgram(1);
}

} // namespace

void StartEarthModel() {
  StartErdmodul();
  SetEarthMessageHandler(ConsoleEarthMessage);
}

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
      ChooseView(outside);
      ReportClampedValues(r.Notes);
      return;
    }
    if (r.Line != 0) ParameterFileFailed(r.Message);
    // A file that cannot be opened: say so and ask as without a file.
    ReportProblem(r.Message);
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
  Param.LongitudeText = "10.1";
  Param.TimeStepText = "0.05";
  Param.DelayText = "30";
  Param.LineSpacingText = "30";
  Param.EquatorAnswer = "n";
  Param.EclipticAnswer = "n";
  Param.AzimuthText = "0";
  Flags.InputDoneOnce = false;
  CheckEarthDataFiles();
  ChooseView(false);
}

void CheckEarthDataFiles() {
  // ERDE_0.BIN is the Earth data the globe prefers; its presence is enough.
  // All of it comes from one folder, which the start screen names.
  const std::string folder = EarthDataFolder();
  const std::string folderLine = "Erddaten aus dem Ordner: " + ShownFolder(folder);
  if (!FileIsReadable(EarthFile("ECLGRAPH.DAT")) && !FileIsReadable(EarthFile("Erde.bin")) &&
      !FileIsReadable(EarthFile("ERDE_0.BIN"))) {
    SetFont("Courier", 20, 1);
    OutTextXY(50, 50, "Das Programm benötigt zur Darstellung der Erdkugel", LightRed);
    OutTextXY(50, 50 + 2 * CharHeight, " eine der Dateien \"ECLGRAPH.DAT\" oder \"Erde.bin\" !",
              LightRed);
    const int below = 50 + 4 * CharHeight;
    SetFont("Courier", 10, 1);
    OutTextXY(50, below, "Gesucht im Ordner: " + ShownFolder(folder), Black);
    Flags.StartScreenShown = true;
  } else {
    Flags.StartScreenShown = false;
    SetFillStyle(255, Black, Black);
    FillBar(0, 0, MaxX() + 1, MaxY() + 1);
    SetTextBackground(Black);
    if (FileIsReadable("Lunotrop.txt")) {
      ShowHelpTextFile();
      SetFont("Courier", 10, 0);
      SetTextJustify(0, 0);
      OutTextXY(50, MaxY() - 10, folderLine, White);
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
  if (ModalDialogOpen()) return; // a dialog of this routine is open
  if (!Flags.FirstTimeDone) FirstTimeInit();
  if (!Flags.StartScreenShown) {
    SetFillStyle(255, Black, Black);
    FillBar(0, 0, MaxX(), MaxY());
  }
  ResetPalette();
  if (!Flags.StartedWithFile || Flags.InputDoneOnce) AskParameters();
  Flags.StartScreenShown = false;
  Flags.InputDoneOnce = true;
  SetUpView(ViewSetupFromParameters());
  // The outside view's start picture covers a help screen that stood.
  if (OutsideViewShown()) Flags.PendingClear = false;
  TakeAnimationStep(); // the answers were keys: the first picture at once
  RunStarted = true;
  Flags.InputInProgress = false;
  Flags.Paused = false;
}

int RunInteractive(int argc, char** argv, const std::string& parameterFile, bool windowed) {
  if (!DisplayAvailable()) {
    ReportProblem("Das Programm braucht eine grafische Oberfläche (X11 oder Wayland).\n"
                  "Ohne Bildschirm gehen: lunotrop --ephemeris DATEI (Tabelle) und\n"
                  "lunotrop --render BILD DATEI (Bild). Hilfe: lunotrop --help");
    return 1;
  }
  StartEarthModel();
  Flags.FirstTimeDone = false;
  Flags.StartedWithFile = !parameterFile.empty();
  Flags.ParameterFileName = parameterFile;
  return RunMainWindow(argc, argv, windowed, MainRoutine, KeyCommandHandler);
}
