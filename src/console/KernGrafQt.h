// The Qt face of the console screen, for the Qt front end's own modules
// (the main window, the dialog), for main() and for tests: the framebuffer
// and kept pictures as QImage, and the fonts as QFont. The rest of the
// program draws only through KernGraf.h.
#pragma once

#include <QFont>
#include <QImage>

#include <string>

#include "KernGraf.h"

// The framebuffer for reading (pictures, tests): a copy taken of it keeps
// what the screen shows now.
const QImage& ScreenImage();
// The framebuffer for a copy made at once and not kept (the main window's
// repaint). The console's painter stays open on it, so the next step's
// drawing need not set one up again; a copy kept would change with it.
const QImage& ScreenToPresent();
// A copy of the screen rectangle (left, top)-(right, bottom), corners
// inclusive; parts outside the framebuffer come out black.
QImage GrabScreen(int left, int top, int right, int bottom);
// The kept picture behind a handle (a null image for none).
QImage PictureImage(TPicture picture);

// The Qt font for a Windows font name: "Courier" becomes "Liberation Mono",
// "MS Sans Serif" (and "Arial", "System") "Liberation Sans", "Times New
// Roman" "Liberation Serif"; not antialiased. pixelHeight is the em height.
QFont MakeFont(const std::string& name, int pixelHeight, bool bold);

// Called after drawing with the rectangle drawn into, so the main window can
// schedule a repaint of it.
void SetScreenChangedHook(void (*hook)(const TRect& drawn));
