// KernGraf, the font asked for: its name, size and weight. Plain C++ on the
// console's interface: both front ends compile this same file and make the
// font itself in their own ApplyFont.
#include "KernGraf.h"

// Makes the current font of the front end from the name, size and weight
// asked for (KernGrafText.cpp, WebText.cpp).
void ApplyFont();

namespace {

std::string FontName = "Courier";
int FontSize = 10;
bool FontBold = false;

} // namespace

void SetFont(const std::string& name, int size, int bold) {
  FontName = name;
  FontSize = size;
  FontBold = bold == 1;
  ApplyFont();
}

void SetFontSize(int size) {
  FontSize = size;
  ApplyFont();
}

void SetTextSize(int size) {
  SetFontSize(size);
}

const std::string& CurrentFontName() {
  return FontName;
}

int CurrentFontSize() {
  return FontSize;
}

bool CurrentFontBold() {
  return FontBold;
}
