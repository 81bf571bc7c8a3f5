// KernGraf: the console screen. A framebuffer (QImage, RGB32) of the main
// window's client size on which every drawing operation draws at once with
// QPainter, antialiasing off. The main window only presents the framebuffer,
// so a part of the window that was covered shows the picture again.
// Without a window (tests, --render) the framebuffer stands alone.
//
// Coordinates are integer pixels, origin top left, y downwards.
// Colours are indices 0..255 into ColourTable.
// Texts are UTF-8 std::string.
#pragma once

#include <QFont>
#include <QImage>
#include <QRgb>

#include <cstdint>
#include <string>

#include "Zahlen.h"

// The sixteen named colours.
constexpr int Black = 0, Blue = 1, Green = 2, Cyan = 3, Red = 4, Magenta = 5, Brown = 6,
              LightGray = 7, DarkGray = 8, LightBlue = 9, LightGreen = 10, LightCyan = 11,
              LightRed = 12, LightMagenta = 13, Yellow = 14, White = 15;

struct TPoint {
  int X = 0;
  int Y = 0;
};

// ---- module start ----------------------------------------------------------
// Text alignment (0, 0), fill colour white, border style solid, border colour
// and text background 0, line width 1. Part of StartFensterGraf.
void StartKernGraf();

// ---- screen --------------------------------------------------------------
// Creates (or resizes, keeping what fits) the framebuffer. The main window
// calls it from its resize event; headless users call it once.
void AttachScreen(int width, int height);
// Display size, read once when the main window is created (headless: the
// framebuffer size).
void SetScreenSize(int width, int height);
extern int ScreenWidth, ScreenHeight;
int MaxX(); // framebuffer width - 1
int MaxY(); // framebuffer height - 1
const QImage& ScreenImage();
// Called after drawing, so the main window can schedule a repaint.
void SetScreenChangedHook(void (*hook)());

// ---- colours -------------------------------------------------------------
extern QRgb ColourTable[256];
void SetPaletteColour(int index, int factor, int red, int green, int blue);
void ResetPalette();

// ---- primitives ------------------------------------------------------------
void ClearScreen();                                        // white, like the empty window
void PutPixel(int x, int y, int colour);                   // colour clamped to 0..255
QRgb GetPixel(int x, int y);                               // for tests; black outside
void DrawLine(int x1, int y1, int x2, int y2, int colour); // end point not set
void SetLineWidth(int width);
void SetFillStyle(int intensity, int colour, int borderColour);
void FillBar(int x, int y, int width, int height);
void FillPolygon(int n, const TPoint* points);

// ---- text ------------------------------------------------------------------
void SetTextJustify(int horizontal, int vertical);
void SetTextBackground(int colour); // -1 = transparent
void OutTextXY(int x, int y, const std::string& text, int colour);
int TextWidth(const std::string& text);                    // in the current font
int TextHeight(const std::string& text);                   // in the current font
void SetFont(const std::string& name, int size, int bold); // bold: 1 = bold
// The Qt font for a Windows font name: "Courier" becomes "Liberation Mono",
// "MS Sans Serif" (and "Arial", "System") "Liberation Sans", "Times New
// Roman" "Liberation Serif"; not antialiased. pixelHeight is the em height.
QFont MakeFont(const std::string& name, int pixelHeight, bool bold);
// Font size in points to pixels at 96 DPI (10 points = 13 pixels).
int PointsToPixels(int points);
void SetFontSize(int size);
void SetTextSize(int size);
const std::string& CurrentFontName();
int CurrentFontSize();
bool CurrentFontBold();
extern int CharWidth, CharHeight; // of "T" in the current font
extern int TextCursorX, TextCursorY;
extern int TextColour;
void SetTextCursor(int x, int y);
void WriteText(const std::string& text);
void WriteLine(const std::string& text);

// ---- pictures ------------------------------------------------------------
// A copy of the screen rectangle (left, top)-(right, bottom), corners inclusive.
QImage GrabScreen(int left, int top, int right, int bottom);
// Draws a picture with its top left corner at (x, y).
void DrawPicture(const QImage& picture, int x, int y);

// ---- start -----------------------------------------------------------------
// SetFont, ClearScreen, optionally ShowTextFile(HelpTextFileName, 10) and
// ShowBitmapFile(PictureFileName, 0, 0).
void StartConsole(bool showTextScreen, bool showPicture, int bold, int fontSize,
                  const std::string& fontName);

// ---- prompted input (the dialog TEingabeDialog) ---------------------------
void InputString(const std::string& prompt, std::string& text);
void InputChar(const std::string& prompt, std::string& letter); // one character, UTF-8
