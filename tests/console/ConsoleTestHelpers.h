// Helpers for the console tests: a fresh framebuffer in a known state.
#pragma once

#include <QImage>
#include <QRgb>

#include "KernGraf.h"

// A white framebuffer of the given size with the start state of the console:
// palette loaded, alignment (0, 0), fill white with a solid border, line
// width 1, "Courier" 10 and the text cursor one character in.
inline void ResetConsole(int width = 640, int height = 480) {
  SetScreenSize(width, height);
  AttachScreen(width, height);
  StartKernGraf();
  ResetPalette();
  SetFont("Courier", 10, 0);
  ClearScreen();
  SetTextCursor(CharWidth, CharHeight);
}

inline QRgb Rgb(int red, int green, int blue) {
  return qRgb(red, green, blue);
}
