// KernGraf, the colours: the table of 256 colour indices with the sixteen
// named colours of the palette. Plain C++ on the console's interface: both
// front ends compile this same file.
#include <algorithm>
#include <cstdint>

#include "KernGraf.h"

// ---- module state --------------------------------------------------------------
TColourValue ColourTable[256];

namespace {

// The 16-colour palette, levels 0..63.
const int Palette[16][3] = {{0, 0, 0},    {0, 0, 40},  {0, 40, 0},   {0, 40, 40},
                            {40, 7, 7},   {40, 0, 40}, {40, 30, 0},  {49, 49, 49},
                            {26, 26, 26}, {0, 0, 63},  {9, 63, 9},   {0, 63, 63},
                            {63, 10, 10}, {44, 0, 63}, {63, 63, 18}, {63, 63, 63}};

// An opaque colour as the screen holds it, 0xAARRGGBB.
TColourValue Rgb(int red, int green, int blue) {
  return 0xFF000000u | (static_cast<uint32_t>(red) << 16) | (static_cast<uint32_t>(green) << 8) |
         static_cast<uint32_t>(blue);
}

int ClampByte(long long v) {
  return static_cast<int>(std::clamp<long long>(v, 0, 255));
}

// The table holds the palette from the start, so that nothing can draw with
// undefined colours even before ResetPalette.
struct TInitialColours {
  TInitialColours() {
    for (int i = 0; i < 256; ++i)
      ColourTable[i] = Rgb(4 * Palette[i % 16][0], 4 * Palette[i % 16][1], 4 * Palette[i % 16][2]);
    ColourTable[15] = Rgb(255, 255, 255);
  }
} InitialColours;

} // namespace

void SetPaletteColour(int index, int factor, int red, int green, int blue) {
  if (index < 0 || index > 255) return;
  // Stored directly: the display shows every colour exactly.
  ColourTable[index] = Rgb(ClampByte(static_cast<long long>(factor) * red),
                           ClampByte(static_cast<long long>(factor) * green),
                           ClampByte(static_cast<long long>(factor) * blue));
}

void ResetPalette() {
  for (int i = 0; i < 256; ++i)
    SetPaletteColour(i, 4, Palette[i % 16][0], Palette[i % 16][1], Palette[i % 16][2]);
  // Only the first White is pure white; its repetitions keep 252.
  SetPaletteColour(White, 1, 255, 255, 255);
  SetTextBackground(White);
}
