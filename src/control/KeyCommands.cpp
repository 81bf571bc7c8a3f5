#include "KeyCommands.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>

#include "Animation.h"
#include "FensterGraf.h"
#include "Help.h"
#include "InsideView.h"
#include "Kern2Graf.h"
#include "KernGraf.h"
#include "Labels.h"
#include "ModulGraf.h"
#include "OutsideView.h"
#include "Parameter.h"
#include "ParameterFile.h"
#include "ViewGeometry.h"
#include "ViewState.h"

const char* const StatusLineText = " weiter mit Tastendruck (\"Esc: neue Eingabe, \"F1\": Hilfe, "
                                   "\"Strg-C\": Abbruch des Programms)";

namespace {

// Key codes of the console.
constexpr int KeyF1 = 1, KeyF2 = 2, KeyLeft = 13, KeyRight = 14, KeyUp = 15, KeyDown = 16,
              KeyEsc = 27;

int LastKey = 0;

// Makes the next step redraw the instant that is on the screen.
void StepBack() {
  View.CurrentJD -= View.TimeDirection * View.StepDays;
}

void Tilt(bool up) {
  DrawMoon(Black);
  DrawEarth(Black);
  TiltView(up ? 1 : -1);
  DrawEarthAndMoon();
  DrawViewFrame();
}

// Radii grow and shrink by a tenth. A small radius would not grow at all by
// rounding (4 * 1.1 rounds to 4), so ">" always adds at least one pixel.
int Larger(int radius) {
  const int grown = RoundEven(radius * 1.1L);
  return std::min(MaxRadiusPx, std::max(grown, radius + 1));
}
int Smaller(int radius) {
  return RoundEven(radius * 0.9L);
}

void ChangeSizes(bool larger) {
  if (!View.OutsideView) {
    View.DiscRadius = larger ? Larger(View.DiscRadius) : Smaller(View.DiscRadius);
  } else if (larger) {
    View.EarthRadiusPx = Larger(View.EarthRadiusPx);
  } else {
    SetFillStyle(255, Black, Black);
    DrawEllipse(View.EarthCentreX, View.EarthCentreY, View.EarthRadiusPx + 10,
                View.EarthRadiusPx + 10);
    View.EarthRadiusPx = Smaller(View.EarthRadiusPx);
  }
  StepBack();
}

void SwitchView() {
  View.OutsideView = !View.OutsideView;
  if (View.OutsideView)
    SetOutsideWindow();
  else
    SetInsideWindow();
  SetFillStyle(255, Black, Black);
  FillBar(0, 0, MaxX() + 1, MaxY() + 1); // the whole screen, last row and column too
  StepBack();
}

void NextPerspective() {
  DrawMoon(Black);
  const int next = (View.Perspective + 1) % 3;
  if (next == 0) {
    DrawSunMarker(Black);
    DrawOutsideHorizon(Black);
  }
  DrawEarth(Black);
  SelectPerspective(next);
  if (next == 2) DrawOutsideHorizon(Black);
  DrawEarthAndMoon();
  if (!View.OutsideView) MarkInsideViewChanged(); // the next step puts the sky back
  StepBack();
}

void SightLines() {
  DrawSightLines();
}

// Returns false when the picture could not be written.
bool SaveScreenPicture() {
  const std::string name = PictureName(Flags.PictureCounter);
  const int top = View.OutsideView ? 0 : View.TitleBase - 50;
  if (!SavePicture(name, 0, top, MaxX(), MaxY())) return false;
  ++Flags.PictureCounter;
  return true;
}

void SaveParameters() {
  const TParameterFileResult r = WriteParameterFile(ParameterFileName, Param, View.OutsideView);
  if (!r.Ok) std::cerr << "lunotrop: " << r.Message << "\n";
}

// Keys after which the animation takes no step this tick.
bool TakesNoStep(int key) {
  return key == KeyF1 || key == KeyUp || key == KeyDown || key == KeyEsc || key == 'a' ||
         key == 'l' || key == 's';
}

} // namespace

std::string PictureName(int counter) {
  std::string digits = std::to_string(counter);
  if (digits.size() < 2) digits = "0" + digits;
  return "Lunotrop" + digits + ".bmp";
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

  LastKey = ReadKey();
  if (View.OutsideView && LastKey != KeyF1 && LastKey != 's' && !View.MoonShown) {
    // The first key clears the start picture with the earlier Moons. Not
    // "s": it takes no step that would draw Earth and Moon again, and the
    // picture it saves must show what the screen shows.
    SetFillStyle(255, Black, Black);
    FillBar(0, 0, MaxY(), MaxY());
    View.MoonShown = true;
  }

  switch (LastKey) {
  case KeyF1:
    ShowHelp();
    break;
  case KeyF2:
    SaveParameters();
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
    if (View.OutsideView) Tilt(true);
    break;
  case KeyDown:
    if (View.OutsideView) Tilt(false);
    break;
  case KeyEsc:
    if (Flags.StartedWithFile) EndProgram(0);
    Flags.InputInProgress = true;
    MainRoutineSlot();
    break;
  case '*':
    View.StepDays = std::clamp(View.StepDays * 2, -MaxStepDays, MaxStepDays);
    break;
  case '+':
    StepBack();
    View.TimeDirection = 1;
    break;
  case '-':
    StepBack();
    View.TimeDirection = -View.TimeDirection;
    break;
  case '/':
    View.StepDays *= 0.5L;
    break;
  case '<':
    ChangeSizes(false);
    break;
  case '>':
    ChangeSizes(true);
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
  case 'l':
    if (!View.OutsideView) SightLines();
    break;
  case 'p':
    Flags.Paused = true;
    break;
  case 's':
    if (!SaveScreenPicture()) return; // reported by SavePicture; the program goes on
    break;
  default:
    break;
  }

  if (!TakesNoStep(LastKey)) AnimationStep();

  SetTextJustify(0, 0);
  SetTextBackground(-1);
  OutTextXY(0, MaxY() - 5, StatusLineText, LightRed);
}
