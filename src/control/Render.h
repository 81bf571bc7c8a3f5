// Headless pictures: what the screen shows after the parameter input with a
// parameter file's values, and after further steps of the animation, drawn
// without a window and saved as BMP or PNG.
#pragma once

#include <ostream>
#include <string>

struct TRenderOptions {
  std::string Output; // .bmp or .png
  std::string ParameterFile;
  int Steps = 0; // steps of the continuous animation after the start picture
  int Width = 1920, Height = 1080;
  int Perspective = -1; // 0..2: the outside view in that perspective; -1: the file's view
  std::string Keys;     // key codes typed one per tick after the start, before the steps
};

// The key codes of a --keys text: every character is the key of that
// character, and {hoch}, {runter}, {links}, {rechts}, {F1}, {F2} are the
// cursor and function keys. False (with a German message) for an unknown
// name or Esc, which would ask the parameters in a dialog.
bool ParseKeyNames(const std::string& text, std::string& codes, std::string& message);

// Needs a QGuiApplication (any platform, offscreen will do). Returns the exit
// status: 0, or 2 for bad input (German message on err, no file written).
// Missing or damaged Earth data is bad input as well; its message goes to
// standard error through ReportProblem.
int RenderPicture(const TRenderOptions& options, std::ostream& err);

// The start of a headless run without the steps and the saving: the screen
// of the given size, the parameter file's values, the set-up of the view and
// its first step, then the perspective keys; the animation then runs
// continuously. Returns 0, or 2 with a German message on err (or, for the
// Earth data, on standard error).
int StartHeadlessRun(const TRenderOptions& options, std::ostream& err);
// One tick of the main window's timer, with a key (0: none).
void HeadlessTick(int key);
