// How the texts fit the screen. Screens up to 1280 pixels wide (the
// classroom projectors' 1024x768, laptops' 1280x800) get a compact layout:
// the outside panel's long lines are broken into shorter ones, the help
// panel moves left as far as its lines need, and the labels of the Moons
// stay on the square picture. Wider screens keep the full layout as it
// always was. No font gets smaller than "Courier" 10.
#pragma once

#include <string>
#include <vector>

constexpr int WidestCompactScreen = 1280; // pixels

bool CompactScreen();

// The text in as few lines as fit the width in the current font, broken at
// blanks so that the lines come out about equally long (a word wider than
// the width stands alone). Blanks at either end of the text are kept in the
// first and last line.
std::vector<std::string> FitLines(const std::string& text, int width);

// Writes the lines one CharHeight apart, the first with its bottom at y
// (left-aligned); returns the bottom of the line after the last.
int WriteLines(int x, int y, const std::vector<std::string>& lines, int colour);
