// Internals of the console shared by its own modules (KernGraf, KernGrafText,
// KernGrafLinien, Kern2Graf, FensterGraf): the painter on the framebuffer,
// the fill state and the report of what was drawn. Other subsystems draw
// only through KernGraf.h.
#pragma once

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <QRgb>

#include <vector>

#include "KernGraf.h"
#include "KernGrafQt.h"

// True once a framebuffer exists; every drawing operation does nothing before.
bool ScreenAttached();
// The framebuffer for drawing; valid while ScreenAttached().
QImage& Framebuffer();
// The framebuffer's pixels for setting them one by one (PutPixel, the thin
// lines): row y starts at Pixels + y * PixelsPerRow. Asking the QImage for
// its row costs a check for sharing and a call for every pixel; this is
// found once and kept until the framebuffer is replaced or handed out
// (ScreenImage), so a pixel never lands in a copy. No pixels (nullptr, size
// 0) before a framebuffer exists.
struct TScreenPixels {
  QRgb* Pixels = nullptr;
  qsizetype PixelsPerRow = 0;
  int Width = 0, Height = 0;
};
const TScreenPixels& ScreenPixels();

// The painter on the framebuffer, antialiasing off. It stays open from one
// drawing operation to the next, because opening a painter costs more than
// drawing a short line; it is opened here when it is not. Set its pen, brush
// and font only through the Use... functions below, which skip what is
// already set. After drawing, call NotifyScreenChanged.
QPainter& ScreenPainter();
// Ends the painter. Done before the framebuffer is replaced, and before it is
// handed out for reading: Qt copies an image with an open painter pixel by
// pixel at once (8 MB for a full screen), one without only when it is drawn
// on again while the copy lives.
void EndScreenPainter();

// ColourTable[index], the index clamped to 0..255 so that no caller can read
// outside the table.
QRgb ColourOf(int index);

// Pens of the screen painter: lines, outlines and borders in the current line
// width; the border pen of the fill state (none while the border style is
// none); the pen that colours text.
void UseLinePen(QRgb colour);
void UseBorderPen();
void UseTextPen(QRgb colour);
// The brush of FillPolygon and DrawEllipse: FillColour, solid.
void UseFillBrush();
// The current font of the console.
void UseCurrentFont();
// The painter forgets its font (the font changed).
void ForgetPainterFont();
// The line width of SetLineWidth.
int CurrentLineWidth();

// The region the window presents for the rectangles drawn into since it
// last did (FensterGrafGebiet.cpp): their union, each widened to whole bands
// of `grain` rows (never past screenHeight), as bands of rows that Qt takes
// without merging the rectangles one by one.
QRegion PresentRegion(const std::vector<TRect>& rects, int grain, int screenHeight);

// Reports a rectangle that drawing changed: to every watched damage record
// and to the main window (if any), which presents it again.
void NotifyScreenChanged(const TRect& drawn);
// Draws a picture with its top left corner at (x, y).
void DrawImage(const QImage& picture, int x, int y);
// The rectangle of the whole screen.
TRect WholeScreen();
// The box of a figure from left to right and top to bottom (in any order,
// any size), grown by margin on every side. Computed in 64 bits and clamped
// to just outside the screen, so no coordinate overflows.
TRect FigureBox(long long x1, long long y1, long long x2, long long y2, long long margin);

// KernGrafTextRecord: keeps the watched text record (KernGraf.h) true to the
// screen. Each does nothing while no record is watched.
// A text was drawn: the box of its visible characters, and whether its box
// was filled with a background first (drawnBox, which covers other texts).
void RecordText(const std::string& visibleText, const TRect& visibleBox, int colour,
                const TRect& drawnBox, bool opaque);
// An opaque area was painted.
void RecordCover(const QRegion& area);
void RecordCover(const TRect& area);
bool TextsWatched();
// The texts in the screen rectangle, relative to its top left corner, for a
// picture of it to carry.
std::vector<TShownText> TextsToCarry(const TRect& rect);
// A picture's part was put at the screen rectangle area; carried holds the
// picture's texts relative to the screen point (x, y) of its corner.
void RecordPicturePut(const std::vector<TShownText>& carried, const TRect& area, int x, int y);

// FensterGraf: waits in the window's event loop until a key is typed or the
// time is up (returns at once without a main window).
void WaitForKeyOrTime(int milliseconds);

// KernGrafText: makes the current font and its metrics (at the start, once
// the screen exists, and whenever the font changes); the current font.
void ApplyFont();
const QFont& ConsoleFont();
// KernGrafLinien: sets a one-pixel line whose ends both lie on the
// framebuffer pixel by pixel, exactly as Qt's aliased one-pixel line with
// square ends would, but for its end pixel, which DrawLine leaves out; false
// (nothing set) where it cannot, for the painter.
bool DrawThinLineWithoutEnd(int x1, int y1, int x2, int y2, QRgb colour);
