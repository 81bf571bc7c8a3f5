#include "StatusLine.h"

#include <string>
#include <vector>

#include "Animation.h"
#include "InsideView.h"
#include "KernGraf.h"
#include "KeyCommands.h"
#include "Parameter.h"
#include "ViewCommands.h"

namespace {

// A piece of the line: where its baseline starts, and its words. The row
// counts in comparisons, as a window made higher moves the line down.
struct TStatusPiece {
  int X = 0, Y = 0;
  std::string Text;
  bool operator==(const TStatusPiece&) const = default;
};

// What was written last, to be erased before the Moon moves; the
// rectangles its letters took, and what was drawn anywhere since.
std::vector<TStatusPiece> Written;
TDamageRecord WrittenBox;
TDamageRecord DrawnSince;

// A step that may leave the line standing.
struct TDeferredErase {
  bool Pending = false; // EraseStatusLineWhenItMoves was called
  bool Decided = false; // the step has decided, before drawing
};
TDeferredErase Deferred;

// Room left free on either side of the Moon's disc.
constexpr int MoonGap = 6;

bool Meet(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// The line split at the last blank that leaves the first part ending left
// of x: the first part (possibly empty) and the rest.
std::vector<TStatusPiece> SplitBefore(const std::string& text, int x, int restX, int y) {
  size_t cut = 0;
  for (size_t blank = text.find(' '); blank != std::string::npos;
       blank = text.find(' ', blank + 1)) {
    if (TextWidth(text.substr(0, blank)) > x) break;
    cut = blank;
  }
  std::vector<TStatusPiece> pieces;
  if (cut > 0) pieces.push_back({0, y, text.substr(0, cut)});
  pieces.push_back({restX, y, text.substr(cut == 0 ? 0 : cut + 1)});
  return pieces;
}

std::vector<TStatusPiece> StatusPieces(int baseline) {
  const std::string text = StatusLineText;
  const TRect line{0, baseline - CharHeight, TextWidth(text), baseline};
  const TRect moon = MoonDiscBox();
  if (Flags.PendingClear || RectIsEmpty(moon) || !Meet(line, moon)) return {{0, baseline, text}};
  return SplitBefore(text, moon.Left - MoonGap, moon.Right + MoonGap, baseline);
}

void WritePieces(const std::vector<TStatusPiece>& pieces, int colour) {
  SetTextJustify(0, 0);
  SetTextBackground(-1);
  for (const TStatusPiece& piece : pieces) OutTextXY(piece.X, piece.Y, piece.Text, colour);
}

void WriteWrittenPieces(void* /*context*/) {
  WritePieces(Written, LightRed);
}

bool AnyMeet(const TDamageRecord& a, const TDamageRecord& b) {
  for (const TRect& r : a.Rects)
    for (const TRect& t : b.Rects)
      if (Meet(r, t)) return true;
  return false;
}

// Called by the step before it draws: the Moon's new place is known. A line
// that will be split elsewhere comes off now, as EraseStatusLine would have
// taken it off before the step; the old Moon, erased already, never lies
// under its letters, which keep clear of the Moon's disc.
void DecideErase(void* /*context*/) {
  Deferred.Decided = true;
  if (StatusPieces(MaxY() - 5) != Written) EraseStatusLine();
}

void EndDeferral() {
  ForgetBeforeNextOutsideDrawing();
  Deferred = {};
}

// The inside view's next step puts back from its picture what the line took.
void PutBackWhenInside() {
  if (!OutsideViewShown()) PutBackAtNextStep(WrittenBox.Rects);
}

void Forget() {
  Written.clear();
  UnwatchDamage(DrawnSince);
  ClearDamage(DrawnSince);
  ClearDamage(WrittenBox);
}

} // namespace

void WriteStatusLine() {
  const std::vector<TStatusPiece> pieces = StatusPieces(MaxY() - 5);
  if (Deferred.Pending) {
    const bool decided = Deferred.Decided;
    EndDeferral();
    // The same letters at the same place, and nothing drawn over them since
    // they were written: the line stands as it is.
    if (!Written.empty() && pieces == Written && !AnyMeet(DrawnSince, WrittenBox)) {
      ClearDamage(DrawnSince);
      return;
    }
    // A step that never came to drawing the outside view: nothing moved
    // under the line, so taking it off now is the same as before.
    if (!decided && pieces != Written) EraseStatusLine();
  }
  // The same letters again cover what the line took; other ones leave it.
  if (pieces != Written) PutBackWhenInside();
  Forget();
  Written = pieces;
  WatchDamage(WrittenBox);
  if (OutsideViewShown()) {
    WritePieces(Written, LightRed);
  } else {
    // Not put back by the inside view's next step, so that it may stand.
    // Where the step draws over it, the letters are written again on top:
    // they have no soft edges, so letters written twice are the same pixels.
    DrawKeptOverPicture(WriteWrittenPieces, nullptr);
  }
  UnwatchDamage(WrittenBox);
  WatchDamage(DrawnSince);
}

void EraseStatusLine() {
  if (OutsideViewShown()) WritePieces(Written, Black);
  PutBackWhenInside();
  Forget();
}

void EraseStatusLineWhenItMoves() {
  if (Flags.PendingClear || Written.empty()) {
    EraseStatusLine();
    return;
  }
  if (!OutsideViewShown()) {
    // Inside, the line never makes room for the Moon: whether it moves is
    // known now, and if it does, the step puts back what it took.
    if (StatusPieces(MaxY() - 5) != Written) {
      EraseStatusLine();
      return;
    }
    Deferred.Pending = true;
    Deferred.Decided = true;
    return;
  }
  Deferred.Pending = true;
  Deferred.Decided = false;
  CallBeforeNextOutsideDrawing(DecideErase, nullptr);
}
