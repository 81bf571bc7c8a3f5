// Internals of the console shared by its own modules (KernGraf, Kern2Graf,
// FensterGraf): the painter on the framebuffer and the fill state. Other
// subsystems draw only through the public console headers.
#pragma once

#include <QBrush>
#include <QPainter>
#include <QPen>

#include "KernGraf.h"

// True once a framebuffer exists; every drawing operation does nothing before.
bool ScreenAttached();

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

// The fill state of SetFillStyle: the brush of FillBar, FillPolygon and
// DrawEllipse and the border pen around them.
struct TFillState {
  QRgb FillColour;
  bool BorderSolid;
  int BorderColour;
};
TFillState GetFillState();
void SetFillState(const TFillState& state);

// Tells the main window (if any) to present the framebuffer again.
void NotifyScreenChanged();
