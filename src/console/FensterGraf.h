// FensterGraf: the main window (TGrundfenster, see Grundfenster.h), the key
// queue, the program's procedure slots, text screens and picture files, and
// the start and the end of the program.
//
// The program is a sequential routine driven by the window's 1 ms timer:
// every tick calls the procedure in KeyHandlerSlot (while TimerHookEnabled).
// This header names no Qt type: it is part of the console's interface that
// a second front end provides.
#pragma once

#include <string>

#include "Dateien.h"

// ---- program-wide state ------------------------------------------------------
extern std::string ProgramName;      // program file name without folder and extension
extern std::string HelpTextFileName; // program path with extension "txt"
extern std::string PictureFileName;  // program path with extension "bmp"
extern void (*MainRoutineSlot)();
extern void (*KeyHandlerSlot)();
extern bool TimerHookEnabled;
extern bool RunStarted;
extern bool TextScreenShown;
void NoOperation();
// Module start of KernGraf and FensterGraf from the program's full path.
void StartFensterGraf(const std::string& programPath);

// ---- key queue ----------------------------------------------------------------
// Codes: characters keep their code, Enter = 23, F1..F12 = 1..12,
// Shift+F1..F12 = 28..39, left 13, right 14, up 15, down 16, Home 17, End 18,
// PgUp 19, PgDn 20, Insert 21, Delete 22. At most 255 codes wait.
int ReadKey(); // 0 if empty
bool KeyPressed();
void PutKey(int code); // appends if fewer than 255 wait
// The program waits for a key (single step, pause, a help screen): until the
// next key arrives the timer may tick only twice a second instead of every
// millisecond; a key makes it tick every millisecond again at once. The
// ticks in between would do nothing, so nothing changes but the CPU load
// while a class looks at a picture.
void WaitingForKey();
void ClearKeyQueue();
// What a front end does for the shared key queue (FensterGrafTasten.cpp):
// a key has come, so tick at once again and end a wait; the program waits
// for a key, so the ticks may rest.
void WakeForKey();
void RestUntilKey();

// ---- the start -------------------------------------------------------------------
// Makes the application and the main window (maximised and borderless, or
// with windowed a normal window of 1024 x 768), starts the console with the font "Courier" at size
// 10, puts the two routines into their slots and runs the window system's message loop until the
// program ends. Returns the exit status.
int RunMainWindow(int argc, char** argv, bool windowed, void (*mainRoutine)(),
                  void (*keyHandler)());
// SetFont, ClearScreen, optionally ShowTextFile(HelpTextFileName, 10) and
// ShowBitmapFile(PictureFileName, 0, 0).
void StartConsole(bool showTextScreen, bool showPicture, int bold, int fontSize,
                  const std::string& fontName);
// True while a modal dialog (the input dialog) is open over the main window.
bool ModalDialogOpen();

// ---- text screen and picture files --------------------------------------------
void ShowTextFile(const std::string& fileName, int fontSize);
// Returns false if the file is not readable or no picture; otherwise width and
// height are the picture's size. The picture named PictureFileName is centred.
bool ShowBitmapFile(const std::string& fileName, int x, int y, int& width, int& height);
// Saves the screen rectangle (corners inclusive) as a 24-bit picture: PNG if
// the name ends in ".png" (any case), else BMP. Written atomically (see
// WriteFileAtomically), so a failed write leaves an existing file as it was.
TFileResult SavePicture(const std::string& fileName, int x1, int y1, int x2, int y2);

// ---- files for the user --------------------------------------------------------
// The extension of the pictures the program saves for the user ("s"):
// "bmp" on the desktop, "png" in the browser, which shows that one itself.
std::string PictureFileExtension();
// Called after a file was written for the user (a picture, the parameter
// file). The desktop leaves it in the working folder; the browser, whose
// files live in the page's memory, offers it as a download of that name.
void HandFileToUser(const std::string& fileName);

// ---- notices -----------------------------------------------------------------------
// A short message the main window shows over the picture for the given time,
// in a black box near the bottom, readable on any background. It is not
// drawn on the framebuffer: a picture saved meanwhile does not show it, and
// the animation does not wipe it. A new notice replaces the one before.
// Without a main window it is only kept, for CurrentNotice.
void ShowNotice(const std::string& text, int colour, int milliseconds = 2000);
// The notice shown now, "" when none is.
std::string CurrentNotice();

// ---- waiting and ending ---------------------------------------------------------
// Waits until Enter (code 23) is typed in the main window, while the window
// keeps handling its events. Headless: returns at once.
void WaitForEnter();
// Ends the program at once with the given exit status (runs the end-of-program
// routines first). Tests may install a handler that is called instead.
[[noreturn]] void EndProgram(int status);
void SetEndProgramHandler(void (*handler)(int status)); // handler must not return
void AddExitRoutine(void (*routine)());

// True if a main window exists (false headless).
bool HaveMainWindow();

// True if a window system can be reached: $DISPLAY or $WAYLAND_DISPLAY is
// set, or QT_QPA_PLATFORM names a platform that needs neither (offscreen,
// ...). Needs no Qt, so main() can ask before making the QApplication,
// which would otherwise abort.
bool DisplayAvailable();
