// Dateien: the program's files and its one way of reporting problems.
// Data, help text, pictures and parameter files live in the current folder,
// and their names are not case-sensitive ("Erde.bin" finds "ERDE.BIN").
// Every file is read and written through here, so that every reader splits
// lines alike and every writer leaves either the old or the new file, never
// half of one. No Qt.
#pragma once

#include <string>
#include <vector>

// The outcome of a file operation. Message is a German sentence naming the
// file; Reason the part after the colon ("der Datenträger ist voll"), for
// callers that say it in their own words. Both are empty when Ok.
struct TFileResult {
  bool Ok = true;
  std::string Message;
  std::string Reason;
};

// For reading: the path under which the named file exists, compared without
// regard to case (an exact match wins), looked for in the current folder
// first and then in the data folders. If it exists nowhere, the name itself.
std::string ResolveFileName(const std::string& name);
// For writing: the existing file of that name in the current folder (any case),
// else the name itself, so a new file is created under the given spelling.
std::string ResolveFileNameForWriting(const std::string& name);

// True if the file can be opened for reading; an empty name gives false.
bool FileIsReadable(const std::string& name);

// Folders searched after the current folder for the shipped data files
// (for an installed program, its data folder). Empty by default.
void SetDataFolders(const std::string& folders); // separated by ':'
const std::vector<std::string>& DataFolders();
// The path of the named file in the folder ("" for the current folder),
// found without regard to case; "" if the folder has no such file.
std::string FindFileIn(const std::string& folder, const std::string& name);

// ---- reading ------------------------------------------------------------------
// The whole file (found as ResolveFileName finds it), byte for byte.
TFileResult ReadWholeFile(const std::string& name, std::string& bytes);
// The lines of a text, without their line ends (LF, CR LF or a CR alone). A
// Ctrl+Z ends the text, as in DOS files; a last line without a line end
// counts.
std::vector<std::string> SplitTextLines(const std::string& text);
// ReadWholeFile, then SplitTextLines. The bytes are kept as they are: the
// program's text files are Windows-1252 (see Cp1252ToUtf8).
TFileResult ReadTextLines(const std::string& name, std::vector<std::string>& lines);

// ---- writing --------------------------------------------------------------------
// Writes the bytes as the named file (found as ResolveFileNameForWriting
// finds it): first into a temporary file in the same folder, flushed to the
// disk, then renamed over the target. A failure at any point removes the
// temporary file and leaves an existing file as it was. A new file gets the
// usual permissions (0666 less the umask), a replaced one keeps its own.
TFileResult WriteFileAtomically(const std::string& name, const std::string& bytes);

// ---- problems -------------------------------------------------------------------
// "lunotrop: " and the message on standard error: the one place where the
// program reports a problem without a screen (or besides it).
void ReportProblem(const std::string& message);

// Windows-1252 <-> UTF-8 for the program's text files.
std::string Cp1252ToUtf8(const std::string& text);
std::string Utf8ToCp1252(const std::string& text); // unknown characters become '?'
