// Lunotrop in the browser: the page starts the program with no argument or
// with the parameter file it has put into the working folder (loaded from
// ?datei=, chosen with "Parameterdatei laden" or dropped onto the page).
// The Earth data and the start text lie in /data of the page's file system.
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "Dateien.h"
#include "Lunotrop.h"

int main(int argc, char** argv) {
  SetDataFolders("/data");
  // The page's file system starts with a mask that leaves new files
  // unreadable; files written for the user must be read back for the
  // download.
  umask(022);
  // Files the user saves (pictures, Lunotrop.dat) are written here and then
  // handed to the browser as downloads.
  if (chdir("/home/web_user") != 0) ReportProblem("Der Arbeitsordner fehlt.");
  const std::string parameterFile = argc > 1 ? argv[1] : "";
  return RunInteractive(argc, argv, parameterFile, false);
}
