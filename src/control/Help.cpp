#include "Help.h"

#include <algorithm>

#include "KernGraf.h"
#include "Parameter.h"
#include "ScreenLayout.h"
#include "ViewCommands.h"

namespace {

struct THelpLine {
  int Row; // y = Row * CharHeight; 0 = the prompt to go on (see PromptRow)
  int Colour;
  const char* Text;
};

// The outside view's panel: y in steps of two line heights.
const THelpLine OutsideHelp[] = {
    {2, White, "\"e\": Einzelschritt an/aus"},
    {4, White, "\"p\": Pause an/aus"},
    {6, White, "\"*\",\"/\"  : Zeitschritt größer/kleiner"},
    {8, White, "\"<=\",\"=>\": Verzögerung größer/kleiner"},
    {10, White, "\"^\",\"v\"  : Kippen des Bildes nach hinten/vorn"},
    {12, White, "\"-\",\"+\"  : Richtung des Zeitschrittes"},
    {14, White, "\">\",\"<\"  : Mond und Sonne oder Erde größer/kleiner"},
    {16, White, "Wechsel der Perspektive (bei der Ansicht von außen):"},
    {18, White, "\"h\"      : (1. Klick) Blick über den Breitenkreis des Standortes,"},
    {20, White, "         : (2. Klick) Blick über Horizont bei ruhender Erde,"},
    {22, White, "         : (3. Klick) Blick vom Ekliptiknordpol.        "},
    {24, White, "\"s\": Bildspeicherung"},
    {26, White, " F2: Abspeichern der Eingabeparameter"},
    {28, LightRed, "\"d\": Wechsel zur Ansicht von innen"},
    {0, LightRed, "weiter mit Tastendruck !"},
};

// The inside view's band: one line height apart.
const THelpLine InsideHelp[] = {
    {1, LightRed, " weiter mit Tastendruck!"},
    {2, White, "    \"e\"    : Einzelschritt an/aus"},
    {3, White, "    \"s\"    : Speichern des Bildes"},
    {4, White, "    \"a\"    : Einblenden der Äquatorialkoordinaten"},
    {5, White, "    \"p\"    : Pause an/aus"},
    {6, White, "    \"+\"    : positive Zeitrichtung"},
    {7, White, "    \"-\"    : Änderung der Zeitrichtung"},
    // "t" in the free room right of "l", in the column of "<=" and F2 below.
    {8, White, "    \"l\"    : Visierlinien zu Sonne und Mond        \"t\": Himmel wie beobachtet"},
    {9, White,
     "  \"*\",\"/\"  : Zeitschritt größer/kleiner            \"<=\",\"=>\": Verzögerung "
     "größer/kleiner"},
    {10, White,
     "  \">\",\"<\"  : Sonne und Mond größer/kleiner                F2: Abspeichern der "
     "Eingabeparameter"},
    {11, White, "   \"ESC\"   : Neueingabe der Parameter "},
    {12, White, "  \"Ctrl C\" : Abbruch des Programmes"},
    {13, LightRed, "    \"d\"    : Wechsel zur Ansicht von außen"},
};

// The outside panel's prompt to go on stands at the bottom; on a compact
// screen the panel reaches into the key handler's status line there, so
// the prompt follows the list instead.
int PromptRow() {
  return CompactScreen() ? 30 * CharHeight : MaxY() - 5;
}

void WriteHelpLines(int x, const THelpLine* lines, int count) {
  for (int i = 0; i < count; ++i) {
    const int y = lines[i].Row == 0 ? PromptRow() : lines[i].Row * CharHeight;
    OutTextXY(x, y, lines[i].Text, lines[i].Colour);
  }
}

// Where the outside panel starts: 150 pixels inside the square picture of
// side MaxY at the left, on a compact screen as far left as its widest line
// needs to end inside the screen.
int OutsidePanelLeft(const THelpLine* lines, int count) {
  const int left = MaxY() - 150;
  if (!CompactScreen()) return left;
  int widest = 0;
  for (int i = 0; i < count; ++i) widest = std::max(widest, TextWidth(lines[i].Text));
  return std::max(0, std::min(left, MaxX() - CharWidth - widest));
}

} // namespace

void ShowHelp() {
  // The help waits for a key like single-step mode; the next step restores it.
  Flags.SavedSingleStep = Flags.SingleStep;
  Flags.SingleStep = true;
  SetFillStyle(255, Black, Black);
  SetTextJustify(0, 0);
  SetTextBackground(Black);
  if (OutsideViewShown()) {
    const int count = sizeof OutsideHelp / sizeof OutsideHelp[0];
    const int x0 = OutsidePanelLeft(OutsideHelp, count);
    FillBar(x0, 0, MaxX(), MaxY());
    WriteHelpLines(x0, OutsideHelp, count);
  } else {
    FillBar(0, 0, MaxX(), InsideTitleBase());
    SetTextSize(10);
    WriteHelpLines(0, InsideHelp, sizeof InsideHelp / sizeof InsideHelp[0]);
  }
  Flags.PendingClear = true;
}
