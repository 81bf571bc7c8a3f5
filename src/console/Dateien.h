// File names of the program: data, help text, pictures and parameter files
// live in the current folder, and their names are not case-sensitive
// ("Erde.bin" finds "ERDE.BIN"). No Qt.
#pragma once

#include <string>

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

// Windows-1252 <-> UTF-8 for the program's text files.
std::string Cp1252ToUtf8(const std::string& text);
std::string Utf8ToCp1252(const std::string& text); // unknown characters become '?'
