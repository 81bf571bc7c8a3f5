#include "KeyCommands.h"

#include <algorithm>
#include <cstdint>

#include "Animation.h"
#include "Dateien.h"
#include "FensterGraf.h"
#include "Help.h"
#include "Kern2Graf.h"
#include "KernGraf.h"
#include "Parameter.h"
#include "ParameterFile.h"
#include "StatusLine.h"
#include "ViewCommands.h"

const char* const StatusLineText = " weiter mit Tastendruck (\"Esc: neue Eingabe, \"F1\": Hilfe, "
                                   "\"Strg-C\": Abbruch des Programms)";

namespace {

// Key codes of the console.
constexpr int KeyF1 = 1, KeyF2 = 2, KeyLeft = 13, KeyRight = 14, KeyUp = 15, KeyDown = 16,
              KeyEsc = 27;

int LastKey = 0;

// What was written, or why not, shows over the picture for two seconds (and
// a failure on standard error too). The notice is not part of the picture,
// so a picture saved while it stands does not show it.
void ReportSaving(const TFileResult& result, const std::string& done, const std::string& failed) {
  if (result.Ok) {
    ShowNotice(done, LightGreen);
  } else {
    ReportProblem(result.Message);
    ShowNotice(failed + result.Reason, LightRed, 4000);
  }
}

// Returns false when the picture could not be written.
bool SaveScreenPicture() {
  const std::string name = PictureName(Flags.PictureCounter);
  const TFileResult saved = SavePicture(name, 0, SavedPictureTop(), MaxX(), MaxY());
  ReportSaving(saved, "Bild gespeichert: " + name, "Bild nicht gespeichert: ");
  if (!saved.Ok) return false;
  HandFileToUser(name);
  ++Flags.PictureCounter;
  return true;
}

// Returns false when the file could not be written.
bool SaveParameters() {
  const TFileResult saved = WriteParameterFile(ParameterFileName, Param, OutsideViewShown());
  ReportSaving(saved, std::string("Eingaben gespeichert: ") + ParameterFileName,
               "Eingaben nicht gespeichert: ");
  if (saved.Ok) HandFileToUser(ParameterFileName);
  return saved.Ok;
}

// Keys after which the animation takes no step this tick.
bool TakesNoStep(int key) {
  return key == KeyF1 || key == KeyUp || key == KeyDown || key == KeyEsc || key == 'l' ||
         key == 's';
}

} // namespace

void TakeAnimationStep() {
  if (Flags.PendingClear) {
    // A help screen stands: start from a black screen and give back the
    // single-step setting it took.
    ClearForStep();
    Flags.PendingClear = false;
    Flags.SingleStep = Flags.SavedSingleStep;
  }
  AnimationStep();
}

std::string PictureName(int counter) {
  std::string digits = std::to_string(counter);
  if (digits.size() < 2) digits = "0" + digits;
  return "Lunotrop" + digits + "." + PictureFileExtension();
}

void KeyCommandHandler() {
  if (!RunStarted) MainRoutineSlot();
  if (Flags.InputInProgress || !RunStarted) return;
  if (KeyPressed() && Flags.Paused) {
    Flags.Paused = false;
    ReadKey(); // it only ends the pause
  }
  if (Flags.Paused || (Flags.SingleStep && !KeyPressed())) {
    WaitingForKey();
    return;
  }

  // The delay paces the running animation. It comes before the step, while
  // the last picture stands with its status line, so that the step and the
  // status line after it reach the screen together; a key typed meanwhile
  // ends the wait and is answered in this tick. What a key asks for (the
  // next picture in single-step mode, another view, other sizes) comes at
  // once.
  if (!KeyPressed() && !SkipDelay) DelayMs(Param.Delay);
  LastKey = ReadKey();
  // F1 and "s" leave the picture as it stands. A plain step of the
  // animation leaves the status line to the step, which knows where the
  // Moon goes.
  if (LastKey == 0)
    EraseStatusLineWhenItMoves();
  else if (LastKey != KeyF1 && LastKey != 's')
    EraseStatusLine();
  // The first key clears the start picture with the earlier Moons. Not
  // "s": it takes no step that would draw Earth and Moon again, and the
  // picture it saves must show what the screen shows.
  if (LastKey != KeyF1 && LastKey != 's') ClearStartPicture();

  switch (LastKey) {
  case KeyF1:
    ShowHelp();
    break;
  case KeyF2:
    if (!SaveParameters()) return; // said on the screen; the program goes on
    break;
  case KeyLeft:
    // Doubled in 64 bits: a delay typed near the int range must not wrap
    // round to a short one.
    Param.Delay = static_cast<int32_t>(std::clamp<int64_t>(2 * int64_t{Param.Delay}, 1, MaxDelay));
    break;
  case KeyRight:
    if (Param.Delay >= 2) Param.Delay /= 2;
    break;
  case KeyUp:
    if (OutsideViewShown()) TiltPicture(true);
    break;
  case KeyDown:
    if (OutsideViewShown()) TiltPicture(false);
    break;
  case KeyEsc:
    if (Flags.StartedWithFile) EndProgram(0);
    Flags.InputInProgress = true;
    MainRoutineSlot();
    break;
  case '*':
    DoubleTimeStep();
    break;
  case '+':
    TimeForward();
    break;
  case '-':
    ReverseTime();
    break;
  case '/':
    HalveTimeStep();
    break;
  case '<':
    ChangeBodySizes(false);
    break;
  case '>':
    ChangeBodySizes(true);
    break;
  case 'd':
    SwitchView();
    break;
  case 'e':
    Flags.SingleStep = !Flags.SingleStep;
    break;
  case 'h':
    NextPerspective();
    break; // in the inside view the step paints over it
  case 'a':
    if (!OutsideViewShown()) ToggleEquatorialGrid();
    break;
  case 't':
    if (!OutsideViewShown()) ToggleSeenSky();
    break;
  case 'l':
    if (!OutsideViewShown()) ShowSightLines();
    break;
  case 'p':
    Flags.Paused = true;
    break;
  case 's':
    if (!SaveScreenPicture()) return; // said on the screen; the program goes on
    break;
  default:
    break;
  }

  if (!TakesNoStep(LastKey)) TakeAnimationStep();

  WriteStatusLine();
}
