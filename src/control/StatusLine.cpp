#include "StatusLine.h"

#include <string>
#include <vector>

#include "KernGraf.h"
#include "KeyCommands.h"
#include "Parameter.h"
#include "ViewCommands.h"

namespace {

struct TStatusPiece {
  int X = 0;
  std::string Text;
};

// What was written last, to be erased before the Moon moves.
std::vector<TStatusPiece> Written;

// Room left free on either side of the Moon's disc.
constexpr int MoonGap = 6;

bool Meet(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// The line split at the last blank that leaves the first part ending left
// of x: the first part (possibly empty) and the rest.
std::vector<TStatusPiece> SplitBefore(const std::string& text, int x, int restX) {
  size_t cut = 0;
  for (size_t blank = text.find(' '); blank != std::string::npos;
       blank = text.find(' ', blank + 1)) {
    if (TextWidth(text.substr(0, blank)) > x) break;
    cut = blank;
  }
  std::vector<TStatusPiece> pieces;
  if (cut > 0) pieces.push_back({0, text.substr(0, cut)});
  pieces.push_back({restX, text.substr(cut == 0 ? 0 : cut + 1)});
  return pieces;
}

std::vector<TStatusPiece> StatusPieces(int baseline) {
  const std::string text = StatusLineText;
  const TRect line{0, baseline - CharHeight, TextWidth(text), baseline};
  const TRect moon = MoonDiscBox();
  if (Flags.PendingClear || RectIsEmpty(moon) || !Meet(line, moon)) return {{0, text}};
  return SplitBefore(text, moon.Left - MoonGap, moon.Right + MoonGap);
}

void WritePieces(const std::vector<TStatusPiece>& pieces, int colour) {
  SetTextJustify(0, 0);
  SetTextBackground(-1);
  for (const TStatusPiece& piece : pieces) OutTextXY(piece.X, MaxY() - 5, piece.Text, colour);
}

} // namespace

void WriteStatusLine() {
  Written = StatusPieces(MaxY() - 5);
  WritePieces(Written, LightRed);
}

void EraseStatusLine() {
  if (OutsideViewShown()) WritePieces(Written, Black);
  Written.clear();
}
