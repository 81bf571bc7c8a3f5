// console_demo: a small program on the console. It starts like Lunotrop
// (module start, main window, dialog, console, the two slots), draws a
// picture that reaches all four edges of the window, and marks the keys it
// receives with green boxes in a row:
//   box 0: Enter (23)   box 1: cursor left (13)   box 2: Ctrl+A (1)
//   box 3: Shift+F1 (28)   box 4: "i" asked 54,3 through the dialog
//   box 5: Enter again after the dialog
// Any other key code turns box 6 red. "--window" opens a normal window.
#include <QApplication>

#include <cstdio>
#include <string>

#include "Eingabe.h"
#include "FensterGraf.h"
#include "Grundfenster.h"
#include "Kern2Graf.h"
#include "KernGraf.h"
#include "ModulGraf.h"

namespace {

int DrawnMaxX = -1, DrawnMaxY = -1;
int EnterCount = 0;
bool NumberAsked = false;

void MarkBox(int box, int colour) {
  SetFillStyle(255, colour, Black);
  FillBar(100 + 60 * box, 100, 40, 40);
}

// The picture, drawn again whenever the window has changed its size.
void DrawPicture() {
  ResetPalette();
  ClearScreen();
  SetFillStyle(255, LightBlue, LightBlue);
  FillBar(0, 0, MaxX() + 1, 8);
  FillBar(0, MaxY() - 7, MaxX() + 1, 8);
  FillBar(0, 0, 8, MaxY() + 1);
  FillBar(MaxX() - 7, 0, 8, MaxY() + 1);
  for (int box = 0; box < 7; ++box) MarkBox(box, LightGray);
  DrawHalfEllipse(MaxX() / 2, MaxY() / 2, 200, 120, 255, Yellow, true, true, 0);
  SetLineWidth(2);
  PenMoveTo(MaxX() / 2 - 200, MaxY() / 2 + 50);
  for (int i = 1; i <= 40; ++i)
    PenLineTo(MaxX() / 2 - 200 + 10 * i, MaxY() / 2 + 50 + (i % 2) * 30, Red);
  SetLineWidth(1);
  SetTextJustify(0, 0);
  SetTextBackground(-1);
  OutTextXY(100, 200, "Lunotrop - Konsole (Strg-C: Ende)", Black);
  DrawnMaxX = MaxX();
  DrawnMaxY = MaxY();
}

void DemoMain() {
  DrawPicture();
}

void DemoKeys() {
  // The main window counts as the active form while no dialog is open.
  if (QApplication::activeModalWidget() != nullptr) return;
  if (!RunStarted || DrawnMaxX != MaxX() || DrawnMaxY != MaxY()) {
    MainRoutineSlot();
    RunStarted = true;
  }
  const int key = ReadKey();
  switch (key) {
  case 0:
    return;
  case 23:
    ++EnterCount;
    MarkBox(NumberAsked && EnterCount >= 2 ? 5 : 0, Green);
    return;
  case 13:
    MarkBox(1, Green);
    return;
  case 1:
    MarkBox(2, Green);
    return;
  case 28:
    MarkBox(3, Green);
    return;
  case 'i': {
    std::string text = "1";
    long double value = 0;
    InputReal("Eine Zahl bitte", text, value);
    NumberAsked = true;
    MarkBox(4, value == 54.3L && text == "54,3" ? Green : Red);
    return;
  }
  default:
    MarkBox(6, Red);
    std::fprintf(stderr, "console_demo: Code %d\n", key);
  }
}

} // namespace

int main(int argc, char** argv) {
  if (!DisplayAvailable()) {
    std::fputs("console_demo: Das Programm braucht eine grafische Oberfläche.\n", stderr);
    return 2;
  }
  QApplication app(argc, argv);
  StartFensterGraf(argv[0]);
  const bool windowed = argc > 1 && std::string(argv[1]) == "--window";
  auto* window = new TGrundfenster(windowed);
  new TEingabeDialog(window);
  StartConsole(false, false, 0, 10, "Courier");
  MainRoutineSlot = DemoMain;
  KeyHandlerSlot = DemoKeys;
  window->ShowAndActivate();
  app.exec();
  EndProgram(0);
}
