// The parameter file: one complete set of parameters in 12 lines of
// Windows-1252 text with CR LF, each a value and a comment. F2 writes it as
// Lunotrop.dat in the current folder; a file named on the command line is
// read at the start instead of asking the questions.
#pragma once

#include <string>
#include <vector>

#include "Dateien.h"
#include "Parameter.h"

constexpr const char* ParameterFileName = "Lunotrop.dat";

struct TParameterFileResult {
  bool Ok = true;
  int Line = 0;        // the line whose value did not convert; 0 = the file itself
  std::string Message; // German, names the file (and the line)
  // Values beyond what the program can show are brought to the nearest one
  // it can (see the ranges in Parameter.h); one German note for each.
  std::vector<std::string> Notes;
};

// Reads the file into p, outsideView and singleStep. Nothing is changed when a
// value does not convert or the file cannot be opened. Values outside their
// ranges are clamped, with their texts; the file itself stays as it is. A decimal comma counts
// as a decimal point (the parameter input keeps commas, so saved files must
// load again).
TParameterFileResult ReadParameterFile(const std::string& fileName, TParameters& p,
                                       bool& outsideView, bool& singleStep);
// The same for the file's bytes, already read; fileName only names the file
// in the messages.
TParameterFileResult ParseParameterFile(const std::string& bytes, const std::string& fileName,
                                        TParameters& p, bool& outsideView, bool& singleStep);

// The 12 lines as the file holds them: Windows-1252, CR LF.
std::string ParameterFileBytes(const TParameters& p, bool outsideView);
// Writes the 12 lines atomically: the old file stays intact when the write
// fails, and the result says why in German.
TFileResult WriteParameterFile(const std::string& fileName, const TParameters& p, bool outsideView);
