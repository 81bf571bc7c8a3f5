// Internals of the browser console shared by its own sources: the
// framebuffer in the module's memory, the rasterising helpers, the fill
// state, the report of what was drawn and the bridge to the page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KernGraf.h"

// ---- framebuffer ---------------------------------------------------------------
// The screen as the canvas takes it: one 32-bit word a pixel whose bytes are
// red, green, blue, alpha (so the page can hand the words to putImageData
// without converting them). Colours elsewhere are 0xAARRGGBB (TColourValue).
struct TFramebuffer {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  bool Valid(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
};
TFramebuffer& Framebuffer();
bool ScreenAttached();

// 0xAARRGGBB to the framebuffer's byte order and back; what is set is opaque.
inline uint32_t ToStored(TColourValue colour) {
  return 0xFF000000u | ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}
inline TColourValue FromStored(uint32_t stored) {
  return 0xFF000000u | ((stored & 0xFFu) << 16) | (stored & 0xFF00u) | ((stored >> 16) & 0xFFu);
}

// ColourTable[index], the index clamped to 0..255.
TColourValue ColourOf(int index);

// ---- rasterising (WebRaster.cpp) -------------------------------------------------
// Pixel centres decide: a pixel is set when its centre lies inside the figure.
// Figure coordinates put the corner of pixel (x, y) at (x, y).
struct TPointF {
  double X = 0, Y = 0;
};
void FillRectPixels(long long left, long long top, long long right, long long bottom,
                    TColourValue colour); // right and bottom exclusive
// Even-odd rule, as the window system fills the console's polygons.
void FillPolygonPixels(const std::vector<TPointF>& points, TColourValue colour);
void FillEllipsePixels(double centreX, double centreY, double radiusX, double radiusY,
                       TColourValue colour);
// A one-pixel line with both ends set, pixel for pixel as the desktop's.
void ThinLinePixels(int x1, int y1, int x2, int y2, TColourValue colour);
// A line of the given width through the centres of the end pixels: square
// ends up to width 2, round ends and joins from 3 on.
void WideLinePixels(int x1, int y1, int x2, int y2, int width, TColourValue colour);

// ---- state shared by the modules -------------------------------------------------
int CurrentLineWidth();
// Strokes the closed outline through the points with the border pen (if solid).
void StrokeBorder(const std::vector<TPoint>& points);

// Reports a rectangle that drawing changed: to every watched damage record
// and to the part of the screen the page shows again at the next present.
void NotifyScreenChanged(const TRect& drawn);
TRect WholeScreen();
TRect FigureBox(long long x1, long long y1, long long x2, long long y2, long long margin);
// The pixels of the screen rectangle (corners inclusive), black outside.
bool CopyScreen(int left, int top, int right, int bottom, int& width, int& height,
                std::vector<uint32_t>& pixels);

// ---- the page (WebPage.cpp) --------------------------------------------------------
// Adds a changed rectangle to what the next present shows.
void MarkForPresent(const TRect& drawn);
// Shows what changed since the last present on the canvas.
void PresentScreen();
// Takes the keys, mouse clicks, resizes and Ctrl+C the page has seen.
void PumpPageEvents();
// Gives the browser its turn for about the given milliseconds.
void YieldToBrowser(int milliseconds);
double NowMs(); // a monotonic clock
// KernGrafText: the metrics of the current font once the screen exists.
void ApplyFont();
// The dialog: true while it is open.
bool WebDialogOpen();
