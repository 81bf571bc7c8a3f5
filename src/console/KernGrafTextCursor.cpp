// KernGraf, the text cursor: texts written one after the other and line by
// line, as a text screen does. Plain C++ on the console's interface: both
// front ends compile this same file.
#include <algorithm>
#include <climits>

#include "KernGraf.h"

// ---- module state --------------------------------------------------------------
int TextCursorX = 0, TextCursorY = 0;
int TextColour = Black;

namespace {

int ClampToInt(long long v) {
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

void NewLine() {
  TextCursorX = CharWidth;
  TextCursorY = ClampToInt(static_cast<long long>(TextCursorY) + CharHeight);
}

} // namespace

void SetTextCursor(int x, int y) {
  TextCursorX = x;
  TextCursorY = y;
}

void WriteText(const std::string& text) {
  const int w = TextWidth(text);
  if (static_cast<long long>(MaxX()) < static_cast<long long>(TextCursorX) + w) NewLine();
  OutTextXY(TextCursorX, TextCursorY, text, TextColour);
  TextCursorX = ClampToInt(static_cast<long long>(TextCursorX) + w);
}

void WriteLine(const std::string& text) {
  OutTextXY(TextCursorX, TextCursorY, text, TextColour);
  TextCursorX = CharWidth;
  if (TextCursorY < ScreenHeight) TextCursorY += CharHeight;
}
