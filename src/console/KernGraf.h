// KernGraf: the console screen. A framebuffer of the main window's client
// size on which every drawing operation draws at once; the main window only
// presents it, so a part of the window that was covered shows the picture
// again. Without a window (tests, --render) the framebuffer stands alone.
//
// Coordinates are integer pixels, origin top left, y downwards.
// Colours are indices 0..255 into ColourTable.
// Texts are UTF-8 std::string.
//
// This header is the console's drawing interface for the rest of the
// program and names no Qt type: a second front end (the browser) provides
// the same functions. The Qt front end implements them in KernGraf.cpp
// (screen, palette, primitives, pictures, damage), KernGrafText.cpp (fonts
// and text) and KernGrafLinien.cpp (thin lines).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Zahlen.h"

// The sixteen named colours.
constexpr int Black = 0, Blue = 1, Green = 2, Cyan = 3, Red = 4, Magenta = 5, Brown = 6,
              LightGray = 7, DarkGray = 8, LightBlue = 9, LightGreen = 10, LightCyan = 11,
              LightRed = 12, LightMagenta = 13, Yellow = 14, White = 15;

struct TPoint {
  int X = 0;
  int Y = 0;
};

// A rectangle of pixels: Left and Top inside, Right and Bottom just outside.
struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
// Inline: the damage records ask them for every pixel a globe sets.
inline bool RectIsEmpty(const TRect& r) {
  return r.Right <= r.Left || r.Bottom <= r.Top;
}
inline bool RectContains(const TRect& outer, const TRect& inner) {
  return outer.Left <= inner.Left && inner.Right <= outer.Right && outer.Top <= inner.Top &&
         inner.Bottom <= outer.Bottom;
}
inline TRect RectUnion(const TRect& a, const TRect& b) {
  if (RectIsEmpty(a)) return b;
  if (RectIsEmpty(b)) return a;
  return {a.Left < b.Left ? a.Left : b.Left, a.Top < b.Top ? a.Top : b.Top,
          a.Right > b.Right ? a.Right : b.Right, a.Bottom > b.Bottom ? a.Bottom : b.Bottom};
}

// A colour as the screen holds it: 0xAARRGGBB.
using TColourValue = uint32_t;

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

// ---- colours -------------------------------------------------------------
extern TColourValue ColourTable[256];
void SetPaletteColour(int index, int factor, int red, int green, int blue);
void ResetPalette();

// ---- primitives ------------------------------------------------------------
void ClearScreen();                                        // white, like the empty window
void PutPixel(int x, int y, int colour);                   // colour clamped to 0..255
TColourValue GetPixel(int x, int y);                       // black outside
void DrawLine(int x1, int y1, int x2, int y2, int colour); // end point not set
// The lines from each of the n points to the next: the pixels DrawLine sets
// drawing them one after another, reported as one rectangle round them all
// or line by line.
void DrawPolyline(int n, const TPoint* points, int colour);
void SetLineWidth(int width);
void SetFillStyle(int intensity, int colour, int borderColour);
void FillBar(int x, int y, int width, int height);
void FillPolygon(int n, const TPoint* points);
// The fill state of SetFillStyle (the colour of bars, polygons and
// ellipses, and their border), for drawing that sets its own and then gives
// the caller's back.
struct TFillState {
  TColourValue FillColour;
  bool BorderSolid;
  int BorderColour;
};
TFillState GetFillState();
void SetFillState(const TFillState& state);

// ---- text ------------------------------------------------------------------
void SetTextJustify(int horizontal, int vertical);
void SetTextBackground(int colour); // -1 = transparent
void OutTextXY(int x, int y, const std::string& text, int colour);
int TextWidth(const std::string& text);                    // in the current font
int TextHeight(const std::string& text);                   // in the current font
void SetFont(const std::string& name, int size, int bold); // bold: 1 = bold
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

// ---- pictures: rectangles of the screen kept for later -----------------------
// A handle of a kept picture; 0 stands for none.
using TPicture = int;
// Keeps a copy of the screen rectangle (left, top)-(right, bottom), corners
// inclusive; parts outside the screen come out black. 0 for an empty or
// absurdly large rectangle.
TPicture GrabPicture(int left, int top, int right, int bottom);
// Draws the kept picture with its top left corner at (x, y).
void PutPicture(TPicture picture, int x, int y);
// Draws the part of the picture that lies in the rectangle (in the picture's
// own pixels) at the same place relative to (x, y), the picture's corner.
void PutPicturePart(TPicture picture, const TRect& part, int x, int y);
int PictureWidth(TPicture picture); // 0 for none
int PictureHeight(TPicture picture);
void FreePicture(TPicture picture);

// ---- damage: where drawing changed the screen --------------------------------
// A record of the rectangles that drawing has changed since it was last
// cleared. Every drawing operation adds the rectangle it may have changed to
// every watched record (a little more than it changed, never less).
// Rectangles whose union is hardly larger are joined, so a record stays
// short however much is drawn, and close to what was drawn.
constexpr size_t MaxDamageRects = 256; // a few curves of short lines fit without merging
struct TDamageRecord {
  std::vector<TRect> Rects;
  std::vector<long long> Drawn; // for each rectangle, the area of what was added into it
  size_t LastHit = 0;           // the rectangle the last one added fell into
  // At most this many rectangles: more follow what was drawn more closely,
  // fewer are quicker to hand on.
  size_t Capacity = MaxDamageRects;
};
void WatchDamage(TDamageRecord& record); // the console adds to it from now on
void UnwatchDamage(TDamageRecord& record);
void ClearDamage(TDamageRecord& record);
// Adds a rectangle, as the drawing operations do (clipped to the screen).
void AddDamage(TDamageRecord& record, const TRect& rect);
// For the front ends: every drawing operation hands the rectangle it may
// have changed to every watched record through this (KernGrafSchaden.cpp).
void ReportDamage(const TRect& drawn);
// A figure drawn in thousands of small pieces close together (the coasts
// of a globe) may be handed on as one: between BeginDamageGroup and
// EndDamageGroup the pieces only widen one rectangle, which EndDamageGroup
// hands on as if one operation had drawn it. Groups may nest.
void BeginDamageGroup();
void EndDamageGroup();
// A group for the lifetime of a block, ended however the block is left.
struct TDamageGroup {
  TDamageGroup() { BeginDamageGroup(); }
  ~TDamageGroup() { EndDamageGroup(); }
  TDamageGroup(const TDamageGroup&) = delete;
  TDamageGroup& operator=(const TDamageGroup&) = delete;
};
// For the front ends: true while a group is open, which then takes the
// rectangle; the front end's NotifyScreenChanged asks this first.
bool GatherDamage(const TRect& drawn);

// ---- texts: what stands on the screen, for checking a layout -----------------
// A record of the texts the screen shows, kept while it is watched (one
// record at a time). Every text drawn in a colour other than Black is noted
// with the box of its visible characters (blanks at either end left out);
// texts drawn in Black erase: they are not noted, and one drawn over the
// same text in the same box drops it. Drawing keeps the record
// true to the screen: an opaque fill, picture or text background that covers
// a noted box entirely drops the text, one that covers part of it marks the
// text cut; the same text drawn again in the same box replaces the old note.
// A picture kept while the record is watched carries the texts in its
// rectangle and brings them back wherever it is put. Boxes are not clipped:
// a text beyond the screen's edge keeps its whole box.
struct TShownText {
  TRect Box;
  std::string Text; // the visible characters, UTF-8
  int Colour = 0;
  bool Cut = false;
};
struct TTextRecord {
  std::vector<TShownText> Texts;
};
void WatchTexts(TTextRecord& record); // replaces a record watched before
void UnwatchTexts(TTextRecord& record);

// ---- prompted input (the dialog TEingabeDialog, in Eingabe.cpp) --------------
// Asks in the dialog; text is the default and gets the answer. A reason
// ("keine gültige Zahl") stands in red under the field: why the answer
// before was not taken.
void InputString(const std::string& prompt, std::string& text, const std::string& reason = "");
void InputChar(const std::string& prompt, std::string& letter); // one character, UTF-8
// The rows of the main window's client area that the dialog covers while it
// is open; text written during the input keeps out of this band.
void InputDialogBand(int& top, int& bottom);
