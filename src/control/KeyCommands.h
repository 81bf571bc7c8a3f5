// The key handler: called on every tick of the main window's timer. It starts
// the main routine while no run has started; afterwards it takes at most one
// key per tick, carries out its command and lets the animation take a step.
#pragma once

#include <string>

void KeyCommandHandler();

// One animation step as the key handler takes it: leaves a help screen if
// one stands (giving back the single-step setting it took), then draws the
// instant and advances it. The delay of the running animation comes before,
// in the key handler.
void TakeAnimationStep();

// The status line at the bottom of the screen.
extern const char* const StatusLineText;

// Name of the n-th saved picture: Lunotrop00.bmp .. Lunotrop99.bmp, then
// Lunotrop100.bmp and so on (.png in the browser, see PictureFileExtension).
std::string PictureName(int counter);
