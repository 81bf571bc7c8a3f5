// The program's main module: the first-time initialisation, the start
// screen and the parameter input, run from the key handler on the timer tick.
#pragma once

#include <string>

void MainRoutine();
void FirstTimeInit();
void CheckEarthDataFiles();

// The view parts and the defaults of the first-time initialisation without
// the start screen (the headless pictures use it too).
void InitialiseParameters();

// Starts the Earth model for the interactive program: a message about
// missing Earth data stands on the screen until Enter ends the program.
void StartEarthModel();

// Starts the interactive program; returns the exit status of the window loop.
int RunInteractive(int argc, char** argv, const std::string& parameterFile, bool windowed);
